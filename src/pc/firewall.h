// Windows' firewall as it concerns phones: read through its policy interface, which needs no
// administrator rights, and mended by an elevated copy of the program.
#pragma once
#include "pc/firewall_rules.h"

// How the firewall treats phones on their network now; tests replace it.
extern FirewallVerdict (*readFirewall)();

// Removes this program's inbound Block rules, each as the object read, and adds the Allow rules
// the installer adds (TCP and UDP port 4026 from the local subnet, on private and domain
// networks) where none lets phones in; true once every step is done. Needs administrator rights;
// tests replace it.
extern bool (*allowPhonesThroughFirewall)();

// Windows' firewall as it concerns phones: read through its policy interface, which needs no
// administrator rights, and mended by an elevated copy of the program.
#pragma once

enum class FirewallVerdict {
    Unknown,          // it cannot be read (the interface is missing or fails, as under Wine)
    Open,             // phones reach the program
    Blocked,          // phones are kept out, and an administrator can mend it
    BlockedByPolicy,  // phones are kept out by the organization's policy, which overrides local rules
};

// How the firewall treats phones on the networks in use now; tests replace it.
extern FirewallVerdict (*readFirewall)();

// Removes this program's inbound Block rules and adds the Allow rules the installer adds (TCP and
// UDP port 4026 from the local subnet, on private and domain networks); true once done. Needs
// administrator rights; tests replace it.
extern bool (*allowPhonesThroughFirewall)();

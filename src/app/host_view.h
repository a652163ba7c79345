// What the user sees of the PC itself: its name, the address to type into the phone, and a word
// when Windows' firewall keeps phones out of the network it is on.
#pragma once
#include <windows.h>

void WriteComputerName();
void RefreshLocalAddress();
// A balloon, once per network, when the default route's network is public.
void WarnOfPublicNetwork();

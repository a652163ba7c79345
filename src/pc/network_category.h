// Windows' category of the network phones come from (that of the adapter whose address the window
// shows, not a VPN's that holds the default route): public, private or domain, which is also the
// firewall profile that applies to phones on it.
#pragma once
#include <windows.h>

#include <cstdint>

// The phones' network, with its firewall profile bit (PROFILE_PUBLIC, PROFILE_PRIVATE or
// PROFILE_DOMAIN); false when the PC has no such network or it cannot be read.
bool ReadPhonesNetwork(GUID& network, uint32_t& profile);

// True, with the network's identity, when the phones' network is public. Tests replace it: Wine
// has no network categories.
extern bool (*phonesNetworkIsPublic)(GUID& network);

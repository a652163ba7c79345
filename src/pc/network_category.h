// Windows' category of the network that carries the default route: public, private or domain,
// which is also the firewall profile that applies to phones on it.
#pragma once
#include <windows.h>

#include <cstdint>

// The default route's network, with its firewall profile bit (PROFILE_PUBLIC, PROFILE_PRIVATE or
// PROFILE_DOMAIN); false when there is no default route or its network cannot be read.
bool ReadDefaultRouteNetwork(GUID& network, uint32_t& profile);

// True, with the network's identity, when the default route's network is public. Tests replace
// it: Wine has no network categories.
extern bool (*defaultRouteNetworkIsPublic)(GUID& network);

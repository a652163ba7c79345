// Whether Windows treats the network that carries the default route as public, where its firewall
// keeps phones out.
#pragma once
#include <windows.h>

// True, with the network's identity, when the default route's network is public. Tests replace it:
// Wine has no network categories.
extern bool (*defaultRouteNetworkIsPublic)(GUID& network);

// The PC's own IPv4 subnets, read from its interfaces, and the rule for the phone's address.
// Used on the UI thread only.
#pragma once
#include <winsock2.h>

// Reads the subnets again; when they cannot be read the last ones read are kept.
void ReadLocalSubnets();
bool IsLocalPeer(in_addr address);

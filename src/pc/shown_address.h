// Which of the PC's addresses a phone on its network can reach, to be shown to the user. Free of
// the platform, so that the PCs users have (virtual adapters, VPNs that tunnel everything, no
// default route) are tested natively; host.cpp reads the adapters and routes.
#pragma once
#include <cstdint>
#include <vector>

// One IPv4 address of the PC, host byte order, with what a phone needs of its adapter.
struct AddressCandidate {
    uint32_t address;
    uint8_t prefixLength;
    uint32_t interfaceIndex;
    bool lanAdapter;   // an Ethernet or Wi-Fi adapter that is up: a phone's kind of network
    uint32_t gateway;  // the adapter's IPv4 gateway, 0 for none
};

// One IPv4 route: the length of its destination prefix, the interface it leaves through, and its
// metric as Windows ranks it (the route's own plus its interface's).
struct Route {
    uint8_t prefixLength;
    uint32_t interfaceIndex;
    uint32_t metric;
};

// The address to show, with its interface (0 for loopback): among the addresses of Ethernet and
// Wi-Fi adapters with a gateway on their own network, the one whose adapter holds the
// lowest-metric default route (0.0.0.0/0: a VPN's or a virtual adapter's route never wins over
// it, and a full-tunnel VPN's 0.0.0.0/1 halves never count); else the first such address; else the
// first of a LAN adapter, then the first that is not loopback, then loopback. Its adapter's
// network is the one phones come from.
struct ShownAddress {
    uint32_t address;
    uint32_t interfaceIndex;
};
ShownAddress ChooseShownAddress(const std::vector<AddressCandidate>& own, const std::vector<Route>& routes);

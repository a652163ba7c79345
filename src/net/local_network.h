// Which hosts may drive this PC (only those on a local network), and which of the PC's addresses
// a phone can reach. Free of the platform, so that the rules are tested natively; the PC's own
// addresses are read by host.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

// One IPv4 address of the PC: the address and its on-link prefix length in host byte order, and
// the interface that holds it.
struct HostAddress {
    uint32_t address;
    uint8_t prefixLength;
    uint32_t interfaceIndex;
};

// True for loopback, the private ranges, link-local, the shared range that VPN overlays use, and
// any address inside one of the PC's own subnets. The address is in host byte order.
bool IsLocalNetworkAddress(uint32_t address, const HostAddress* own, size_t count);

// The address to show the user, host byte order: the first of the interface that holds the
// default route (0 when there is none), else the PC's first address that is not loopback, else
// loopback.
uint32_t ChooseShownAddress(const HostAddress* own, size_t count, uint32_t defaultRouteInterface);

// One IPv4 route of the PC: the length of its destination prefix, the interface it leaves
// through, and its metric as Windows ranks it (the route's own plus its interface's).
struct Route {
    uint8_t prefixLength;
    uint32_t interfaceIndex;
    uint32_t metric;
};

// The interface of the default route (0.0.0.0/0) with the lowest metric, 0 when there is none.
// Narrower routes never count: a full-tunnel VPN adds 0.0.0.0/1 and 128.0.0.0/1 beside the
// default route, and the phone on the PC's own network cannot reach the tunnel's address.
uint32_t ChooseDefaultRouteInterface(const Route* routes, size_t count);

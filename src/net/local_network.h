// Which hosts may drive this PC: only those on a local network. Free of the platform, so that the
// rule is tested natively; the PC's own addresses are read by pc/host.cpp.
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

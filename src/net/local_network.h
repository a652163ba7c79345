// Which hosts may drive this PC: only those on a local network. Free of the platform, so that
// the rule is tested natively; the PC's own subnets are read by local_subnets.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

// One of the PC's IPv4 interfaces: its address and on-link prefix length, host byte order.
struct Subnet {
    uint32_t address;
    uint8_t prefixLength;
};

// True for loopback, the private ranges, link-local, the shared range that VPN overlays use, and
// any address inside one of the subnets given. The address is in host byte order.
bool IsLocalNetworkAddress(uint32_t address, const Subnet* subnets, size_t count);

#include "net/local_network.h"

static bool InRange(uint32_t address, uint32_t network, unsigned prefixLength)
{
    const uint32_t mask = prefixLength == 0 ? 0 : ~uint32_t(0) << (32 - prefixLength);
    return (address & mask) == (network & mask);
}

// A subnet wider than this is no local network (a VPN's default route can look like one), so it
// admits nothing beyond the fixed ranges.
constexpr unsigned WIDEST_SUBNET = 8;

bool IsLocalNetworkAddress(uint32_t address, const HostAddress* own, size_t count)
{
    static const struct {
        uint32_t address;
        unsigned prefixLength;
    } fixedRanges[] = {
        {0x7F000000, 8},   // loopback
        {0x0A000000, 8},   // private
        {0xAC100000, 12},  // private
        {0xC0A80000, 16},  // private
        {0xA9FE0000, 16},  // link-local
        {0x64400000, 10},  // shared address space (carrier-grade NAT, VPN overlays)
    };
    for (const auto& range : fixedRanges)
        if (InRange(address, range.address, range.prefixLength)) return true;
    for (size_t i = 0; i < count; ++i)
        if (own[i].prefixLength >= WIDEST_SUBNET && own[i].prefixLength <= 32 &&
            InRange(address, own[i].address, own[i].prefixLength))
            return true;
    return false;
}

// An address another device could reach this PC at.
static bool Reachable(uint32_t address) { return address != 0 && !InRange(address, 0x7F000000, 8); }

uint32_t ChooseShownAddress(const HostAddress* own, size_t count, uint32_t defaultRouteInterface)
{
    // Virtual adapters (Hyper-V, WSL, VPNs) are often listed first; the default route's interface
    // is the one a phone on the PC's network reaches.
    for (size_t i = 0; i < count; ++i)
        if (defaultRouteInterface != 0 && own[i].interfaceIndex == defaultRouteInterface && Reachable(own[i].address))
            return own[i].address;
    for (size_t i = 0; i < count; ++i)
        if (Reachable(own[i].address)) return own[i].address;
    return 0x7F000001;
}

uint32_t ChooseDefaultRouteInterface(const Route* routes, size_t count)
{
    const Route* best = nullptr;
    for (size_t i = 0; i < count; ++i)
        if (routes[i].prefixLength == 0 && (!best || routes[i].metric < best->metric)) best = &routes[i];
    return best ? best->interfaceIndex : 0;
}

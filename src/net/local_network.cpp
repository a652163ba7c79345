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

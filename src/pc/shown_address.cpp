#include "pc/shown_address.h"

static bool SameNetwork(uint32_t a, uint32_t b, unsigned prefixLength)
{
    const uint32_t mask = prefixLength == 0 ? 0 : prefixLength >= 32 ? ~uint32_t(0) : ~uint32_t(0) << (32 - prefixLength);
    return (a & mask) == (b & mask);
}

// An address another device could reach this PC at.
static bool Usable(uint32_t address) { return address != 0 && (address >> 24) != 127; }

// The lowest metric of a default route through the interface, or none.
static bool DefaultRouteMetric(const std::vector<Route>& routes, uint32_t interfaceIndex, uint32_t& metric)
{
    bool found = false;
    for (const Route& route : routes)
        if (route.prefixLength == 0 && route.interfaceIndex == interfaceIndex && (!found || route.metric < metric)) {
            metric = route.metric;
            found = true;
        }
    return found;
}

ShownAddress ChooseShownAddress(const std::vector<AddressCandidate>& own, const std::vector<Route>& routes)
{
    const AddressCandidate *routed = nullptr, *withGateway = nullptr, *onLan = nullptr, *any = nullptr;
    uint32_t routedMetric = 0;
    for (const AddressCandidate& candidate : own) {
        if (!Usable(candidate.address)) continue;
        if (!any) any = &candidate;
        if (!candidate.lanAdapter) continue;
        if (!onLan) onLan = &candidate;
        if (candidate.gateway == 0 || !SameNetwork(candidate.gateway, candidate.address, candidate.prefixLength))
            continue;
        if (!withGateway) withGateway = &candidate;
        uint32_t metric = 0;
        if (DefaultRouteMetric(routes, candidate.interfaceIndex, metric) && (!routed || metric < routedMetric)) {
            routed = &candidate;
            routedMetric = metric;
        }
    }
    for (const AddressCandidate* chosen : {routed, withGateway, onLan, any})
        if (chosen) return {chosen->address, chosen->interfaceIndex};
    return {0x7F000001, 0};
}

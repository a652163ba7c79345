// Which of the PC's addresses the window shows, on the PCs users have.
#include <gtest/gtest.h>

#include "pc/shown_address.h"
#include "support/dotted_address.h"

namespace {

TEST(ShownAddressTest, TheLanAdapterAPhoneCanReachWhateverElseHoldsARoute)
{
    const AddressCandidate loopback = {Address("127.0.0.1"), 8, 1, false, 0},
                           hyperV = {Address("172.20.16.1"), 20, 7, true, 0},  // an Ethernet switch, no gateway
                           vpn = {Address("10.8.0.5"), 24, 30, false, Address("10.8.0.1")},
                           wifi = {Address("192.168.1.20"), 24, 12, true, Address("192.168.1.1")},
                           wifiDown = {Address("192.168.1.20"), 24, 12, false, Address("192.168.1.1")},
                           ethernet = {Address("192.168.2.30"), 24, 9, true, Address("192.168.2.1")},
                           farGateway = {Address("192.168.3.40"), 24, 14, true, Address("10.0.0.1")},
                           unset = {Address("0.0.0.0"), 0, 12, true, 0};
    const Route wifiRoute = {0, 12, 35}, ethernetRoute = {0, 9, 25}, vpnDefault = {0, 30, 1}, vpnHalf = {1, 30, 1},
                subnet = {24, 12, 1};
    const struct {
        const char* name;
        std::vector<AddressCandidate> own;
        std::vector<Route> routes;
        const char* shown;
        uint32_t interfaceIndex;  // whose network phones come from
    } cases[] = {
        {"Wi-Fi behind Hyper-V's switch", {loopback, hyperV, wifi}, {subnet, wifiRoute}, "192.168.1.20", 12},
        {"a full-tunnel VPN with the lower metric", {loopback, vpn, wifi}, {vpnDefault, wifiRoute}, "192.168.1.20", 12},
        {"a VPN's two halves", {vpn, wifi}, {vpnHalf, wifiRoute}, "192.168.1.20", 12},
        {"the lower of two LAN routes", {wifi, ethernet}, {wifiRoute, ethernetRoute}, "192.168.2.30", 9},
        {"no default route", {loopback, hyperV, vpn, wifi}, {subnet}, "192.168.1.20", 12},
        {"a gateway off the adapter's network", {farGateway, ethernet}, {{0, 14, 1}}, "192.168.2.30", 9},
        {"only a LAN adapter without a gateway", {loopback, vpn, hyperV}, {vpnDefault}, "172.20.16.1", 7},
        {"an adapter that is down", {vpn, wifiDown}, {vpnDefault, wifiRoute}, "10.8.0.5", 30},
        {"an address not yet set", {loopback, unset}, {wifiRoute}, "127.0.0.1", 0},
        {"nothing", {}, {}, "127.0.0.1", 0},
    };
    for (const auto& c : cases) {
        const ShownAddress shown = ChooseShownAddress(c.own, c.routes);
        EXPECT_EQ(shown.address, Address(c.shown)) << c.name;
        EXPECT_EQ(shown.interfaceIndex, c.interfaceIndex) << c.name;
    }
}

}  // namespace

// The rules for which hosts may drive this PC, at the edges of every range, and for which of the
// PC's addresses is shown to the user.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <iterator>
#include <vector>

#include "net/local_network.h"

namespace {

uint32_t Address(const char* dotted)
{
    in_addr address = {};
    EXPECT_EQ(inet_pton(AF_INET, dotted, &address), 1) << dotted;
    return ntohl(address.s_addr);
}

TEST(LocalNetworkTest, FixedRangesAndThePcsOwnSubnets)
{
    const HostAddress subnets[] = {{Address("203.0.113.77"), 24, 1}, {Address("198.51.100.9"), 32, 1},
                                   {Address("44.0.0.1"), 7, 1},  // wider than any local network: ignored
                                   {Address("45.1.2.3"), 0, 1},  {Address("46.1.2.3"), 33, 1}};
    const struct {
        const char* address;
        bool local;
    } cases[] = {
        {"127.0.0.0", true},        {"127.255.255.255", true},  {"126.255.255.255", false}, {"128.0.0.0", false},
        {"10.0.0.0", true},         {"10.255.255.255", true},   {"9.255.255.255", false},   {"11.0.0.0", false},
        {"172.16.0.0", true},       {"172.31.255.255", true},   {"172.15.255.255", false},  {"172.32.0.0", false},
        {"192.168.0.0", true},      {"192.168.255.255", true},  {"192.167.255.255", false}, {"192.169.0.0", false},
        {"169.254.0.0", true},      {"169.254.255.255", true},  {"169.253.255.255", false}, {"169.255.0.0", false},
        {"100.64.0.0", true},       {"100.127.255.255", true},  {"100.63.255.255", false},  {"100.128.0.0", false},
        {"203.0.113.0", true},      {"203.0.113.255", true},    {"203.0.112.255", false},   {"203.0.114.0", false},
        {"198.51.100.9", true},     {"198.51.100.8", false},    {"198.51.100.10", false},
        {"44.1.2.3", false},        {"45.9.9.9", false},        {"46.1.2.3", false},
        {"8.8.8.8", false},         {"0.0.0.0", false},         {"255.255.255.255", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsLocalNetworkAddress(Address(c.address), subnets, std::size(subnets)), c.local) << c.address;
    EXPECT_FALSE(IsLocalNetworkAddress(Address("203.0.113.1"), nullptr, 0)) << "without the PC's subnets";
    const HostAddress widest[] = {{Address("44.0.0.1"), 8, 1}};
    EXPECT_TRUE(IsLocalNetworkAddress(Address("44.255.0.9"), widest, 1)) << "a /8 of the PC's own is local";
}

TEST(ShownAddressTest, TheDefaultRoutesInterfaceElseTheFirstOtherElseLoopback)
{
    const HostAddress loopback = {Address("127.0.0.1"), 8, 1}, virtualAdapter = {Address("172.20.16.1"), 20, 7},
                      wifi = {Address("192.168.1.20"), 24, 12}, wifiSecond = {Address("192.168.1.21"), 24, 12},
                      unset = {Address("0.0.0.0"), 0, 12};
    const struct {
        std::vector<HostAddress> own;
        uint32_t defaultRoute;
        const char* shown;
    } cases[] = {
        {{loopback, virtualAdapter, wifi, wifiSecond}, 12, "192.168.1.20"},
        {{loopback, unset, virtualAdapter, wifi}, 12, "192.168.1.20"},
        {{loopback, virtualAdapter, wifi}, 0, "172.20.16.1"},   // no default route
        {{loopback, virtualAdapter, wifi}, 99, "172.20.16.1"},  // a route through an interface without IPv4
        {{loopback, virtualAdapter}, 1, "172.20.16.1"},         // only loopback on the route's interface
        {{loopback, unset}, 12, "127.0.0.1"},
        {{}, 0, "127.0.0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseShownAddress(c.own.data(), c.own.size(), c.defaultRoute), Address(c.shown)) << c.shown;
}

TEST(ShownAddressTest, TheDefaultRouteIsTheZeroPrefixWithTheLowestMetric)
{
    const Route wifi = {0, 12, 35}, ethernet = {0, 7, 25}, vpnLow = {1, 30, 1}, vpnHigh = {1, 30, 1},
                subnet = {24, 12, 1};
    const struct {
        const char* name;
        std::vector<Route> routes;
        uint32_t chosen;
    } cases[] = {
        {"one default route", {subnet, wifi}, 12},
        {"a full-tunnel VPN beside it", {vpnLow, wifi, vpnHigh}, 12},
        {"the lower of two", {wifi, ethernet}, 7},
        {"the lower of two, listed first", {ethernet, wifi}, 7},
        {"none", {subnet, vpnLow}, 0},
        {"an empty table", {}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDefaultRouteInterface(c.routes.data(), c.routes.size()), c.chosen) << c.name;
}

}  // namespace

// The rule for which hosts may drive this PC, at the edges of every range.
#include <gtest/gtest.h>

#include <iterator>

#include "net/local_network.h"
#include "support/dotted_address.h"

namespace {

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

}  // namespace

// What Windows' firewall does to phones on their network, from the rules it reports,
// and which rules the mend removes and adds.
#include <gtest/gtest.h>

#include "pc/firewall_rules.h"

namespace {

constexpr uint32_t PRIVATE_AND_DOMAIN = PROFILE_PRIVATE | PROFILE_DOMAIN, ALL = 0x7FFFFFFF;
constexpr RuleProgram THIS = RuleProgram::ThisProgram, ANY = RuleProgram::Any, OTHER = RuleProgram::Other;

FirewallRule Allow(int32_t protocol, const std::wstring& ports = L"4026", RuleProgram program = THIS,
                   uint32_t profiles = PRIVATE_AND_DOMAIN)
{
    return {true, true, true, profiles, protocol, ports, program, false};
}

FirewallRule Block(int32_t protocol, const std::wstring& ports = L"", RuleProgram program = THIS, uint32_t profiles = ALL)
{
    return {true, true, false, profiles, protocol, ports, program, true};
}

FirewallRule Disabled(FirewallRule rule)
{
    rule.enabled = false;
    return rule;
}

FirewallRule Outbound(FirewallRule rule)
{
    rule.inbound = false;
    return rule;
}

FirewallRule SomeRemotes(FirewallRule rule)
{
    rule.everyRemoteAddress = false;
    return rule;
}

using Verdict = FirewallVerdict;

TEST(FirewallRulesTest, TheVerdictForTheDefaultRoutesNetworkAndWhetherTheMendHelps)
{
    const FirewallRule tcp = Allow(PROTOCOL_TCP), udp = Allow(PROTOCOL_UDP);
    const struct {
        const char* name;
        uint32_t profile;
        bool enabled, blockingAll, policy;
        std::vector<FirewallRule> rules;
        Verdict verdict;
    } cases[] = {
        {"the installer's rules", PROFILE_PRIVATE, true, false, false, {tcp, udp}, Verdict::Open},
        {"a private Wi-Fi beside a public virtual adapter, which the user's rule closes", PROFILE_PRIVATE, true, false,
         false, {tcp, udp, Block(PROTOCOL_ANY, L"", THIS, PROFILE_PUBLIC)}, Verdict::Open},
        {"no default route", 0, true, false, false, {}, Verdict::Unknown},
        {"no rules: the mend adds them", PROFILE_PRIVATE, true, false, false, {}, Verdict::Blocked},
        {"no rules on a public network: the mend's rules do not cover it", PROFILE_PUBLIC, true, false, false, {},
         Verdict::BlockedForGood},
        {"the firewall off", PROFILE_PRIVATE, false, false, false, {}, Verdict::Open},
        {"all inbound blocked", PROFILE_PRIVATE, true, true, false, {tcp, udp}, Verdict::BlockingAll},
        {"the organization's policy", PROFILE_PRIVATE, true, false, true, {}, Verdict::BlockedByPolicy},
        {"only TCP", PROFILE_PRIVATE, true, false, false, {tcp}, Verdict::Blocked},
        {"the dismissed question's Block rules", PROFILE_PRIVATE, true, false, false,
         {tcp, udp, Block(PROTOCOL_TCP), Block(PROTOCOL_UDP)}, Verdict::Blocked},
        {"a Block rule for the port, any program: beyond the mend", PROFILE_PRIVATE, true, false, false,
         {tcp, udp, Block(PROTOCOL_TCP, L"4000-4100", ANY)}, Verdict::BlockedForGood},
        {"a Block rule for another program", PROFILE_PRIVATE, true, false, false, {tcp, udp, Block(PROTOCOL_ANY, L"", OTHER)},
         Verdict::Open},
        {"a Block rule for some remote addresses: nothing true to say", PROFILE_PRIVATE, true, false, false,
         {tcp, udp, SomeRemotes(Block(PROTOCOL_TCP, L"", ANY))}, Verdict::Unknown},
        {"a Block rule for other ports", PROFILE_PRIVATE, true, false, false, {tcp, udp, Block(PROTOCOL_TCP, L"80,443", ANY)},
         Verdict::Open},
        {"a disabled Block rule", PROFILE_PRIVATE, true, false, false, {tcp, udp, Disabled(Block(PROTOCOL_ANY))},
         Verdict::Open},
        {"an outbound Block rule", PROFILE_PRIVATE, true, false, false, {tcp, udp, Outbound(Block(PROTOCOL_ANY))},
         Verdict::Open},
        {"a Block rule for the public profile", PROFILE_PRIVATE, true, false, false,
         {tcp, udp, Block(PROTOCOL_ANY, L"", THIS, PROFILE_PUBLIC)}, Verdict::Open},
        {"a Store app's or a service's Allow rule for any port", PROFILE_PRIVATE, true, false, false,
         {Allow(PROTOCOL_ANY, L"", OTHER)}, Verdict::Blocked},
        {"disabled Allow rules", PROFILE_PRIVATE, true, false, false, {Disabled(tcp), Disabled(udp)}, Verdict::Blocked},
        {"outbound Allow rules", PROFILE_PRIVATE, true, false, false, {Outbound(tcp), Outbound(udp)}, Verdict::Blocked},
        {"one Allow rule for any protocol and program", PROFILE_PRIVATE, true, false, false,
         {Allow(PROTOCOL_ANY, L"", ANY)}, Verdict::Open},
        {"any port, written Any and *", PROFILE_PRIVATE, true, false, false,
         {Allow(PROTOCOL_TCP, L"any"), Allow(PROTOCOL_UDP, L"*")}, Verdict::Open},
        {"port lists and ranges", PROFILE_PRIVATE, true, false, false,
         {Allow(PROTOCOL_TCP, L"80,4026,443"), Allow(PROTOCOL_UDP, L"4000-4100")}, Verdict::Open},
        {"lists and ranges without the port", PROFILE_PRIVATE, true, false, false,
         {Allow(PROTOCOL_TCP, L"80,4025,RPC"), Allow(PROTOCOL_UDP, L"4027-4100")}, Verdict::Blocked},
        {"allowed on private only, on a domain network", PROFILE_DOMAIN, true, false, false,
         {Allow(PROTOCOL_TCP, L"4026", THIS, PROFILE_PRIVATE), Allow(PROTOCOL_UDP, L"4026", THIS, PROFILE_PRIVATE)},
         Verdict::Blocked},
    };
    for (const auto& c : cases) {
        const FirewallState state = {c.profile, c.enabled, c.blockingAll, c.policy, c.rules};
        EXPECT_EQ(int(JudgeFirewall(state, 4026)), int(c.verdict)) << c.name;
    }
}

TEST(FirewallRulesTest, TheMendRemovesOnlyThisProgramsInboundBlockRulesAndAddsOnlyWhatIsMissing)
{
    const FirewallRule tcp = Allow(PROTOCOL_TCP), udp = Allow(PROTOCOL_UDP);
    const struct {
        const char* name;
        std::vector<FirewallRule> rules;
        std::vector<size_t> removed;
        bool addTcp, addUdp;
    } cases[] = {
        {"nothing there", {}, {}, true, true},
        {"the installer's rules", {tcp, udp}, {}, false, false},
        {"the dismissed question's rules, beside another program's and any program's",
         {Block(PROTOCOL_TCP), Block(PROTOCOL_ANY, L"", OTHER), Disabled(Block(PROTOCOL_UDP, L"4026")),
          Block(PROTOCOL_ANY, L"", ANY), Outbound(Block(PROTOCOL_TCP)), SomeRemotes(Block(PROTOCOL_UDP)), tcp},
         {0, 2, 5}, false, true},
        {"rules on the private profile only", {Allow(PROTOCOL_TCP, L"4026", THIS, PROFILE_PRIVATE), udp}, {}, true, false},
        {"another program's Allow rules", {Allow(PROTOCOL_TCP, L"4026", OTHER), Allow(PROTOCOL_UDP, L"4026", OTHER)}, {},
         true, true},
        {"the user's own Block rule for public networks stays",
         {Block(PROTOCOL_TCP, L"", THIS, PROFILE_PUBLIC), Block(PROTOCOL_UDP, L"", THIS, PROFILE_PUBLIC | PROFILE_PRIVATE), tcp,
          udp},
         {1}, false, false},
    };
    for (const auto& c : cases) {
        const FirewallMend mend = PlanMend(c.rules, 4026);
        EXPECT_EQ(mend.remove, c.removed) << c.name;
        EXPECT_EQ(mend.addTcp, c.addTcp) << c.name;
        EXPECT_EQ(mend.addUdp, c.addUdp) << c.name;
    }
}

}  // namespace

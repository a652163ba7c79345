// When Windows' firewall keeps phones out, from the rules it reports.
#include <gtest/gtest.h>

#include "net/firewall_rules.h"

namespace {

const std::wstring PROGRAM = L"C:\\Program Files\\Palvenor Server\\PalvenorServer.exe";
const Environment ENVIRONMENT = {{L"ProgramFiles", L"C:\\Program Files"}, {L"SystemRoot", L"C:\\Windows"}};
constexpr uint32_t PRIVATE_AND_DOMAIN = PROFILE_PRIVATE | PROFILE_DOMAIN, ALL = 0x7FFFFFFF;

FirewallRule Allow(int32_t protocol, const std::wstring& ports = L"4026", const std::wstring& program = PROGRAM,
                   uint32_t profiles = PRIVATE_AND_DOMAIN)
{
    return {true, true, true, profiles, protocol, ports, program};
}

FirewallRule Block(int32_t protocol, const std::wstring& ports = L"", const std::wstring& program = PROGRAM,
                   uint32_t profiles = ALL)
{
    return {true, true, false, profiles, protocol, ports, program};
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

TEST(FirewallRulesTest, PhonesAreBlockedUnlessBothProtocolsAreAllowedAndNothingBlocks)
{
    const FirewallRule tcp = Allow(PROTOCOL_TCP), udp = Allow(PROTOCOL_UDP);
    const struct {
        const char* name;
        uint32_t inUse, enabled, blockingAll;
        std::vector<FirewallRule> rules;
        bool blocked;
    } cases[] = {
        {"the installer's rules", PROFILE_PRIVATE, ALL, 0, {tcp, udp}, false},
        {"no rules", PROFILE_PRIVATE, ALL, 0, {}, true},
        {"the firewall off", PROFILE_PRIVATE, 0, 0, {}, false},
        {"off for the profile in use", PROFILE_PRIVATE, PROFILE_PUBLIC, 0, {}, false},
        {"all inbound blocked", PROFILE_PRIVATE, ALL, PROFILE_PRIVATE, {tcp, udp}, true},
        {"all blocked on a profile not in use", PROFILE_PRIVATE, ALL, PROFILE_PUBLIC, {tcp, udp}, false},
        {"only TCP", PROFILE_PRIVATE, ALL, 0, {tcp}, true},
        {"only UDP", PROFILE_PRIVATE, ALL, 0, {udp}, true},
        {"the dismissed question's Block rules", PROFILE_PRIVATE, ALL, 0,
         {tcp, udp, Block(PROTOCOL_TCP), Block(PROTOCOL_UDP)}, true},
        {"a Block rule for UDP only", PROFILE_PRIVATE, ALL, 0, {tcp, udp, Block(PROTOCOL_UDP)}, true},
        {"a Block rule for another program", PROFILE_PRIVATE, ALL, 0,
         {tcp, udp, Block(PROTOCOL_ANY, L"", L"C:\\Games\\game.exe")}, false},
        {"a Block rule for the port, any program", PROFILE_PRIVATE, ALL, 0,
         {tcp, udp, Block(PROTOCOL_TCP, L"4000-4100", L"")}, true},
        {"a Block rule for other ports", PROFILE_PRIVATE, ALL, 0, {tcp, udp, Block(PROTOCOL_TCP, L"80,443", L"")},
         false},
        {"a disabled Block rule", PROFILE_PRIVATE, ALL, 0, {tcp, udp, Disabled(Block(PROTOCOL_ANY))}, false},
        {"an outbound Block rule", PROFILE_PRIVATE, ALL, 0, {tcp, udp, Outbound(Block(PROTOCOL_ANY))}, false},
        {"a Block rule for the public profile", PROFILE_PRIVATE, ALL, 0,
         {tcp, udp, Block(PROTOCOL_ANY, L"", PROGRAM, PROFILE_PUBLIC)}, false},
        {"allowed on private only, on a domain network", PROFILE_DOMAIN, ALL, 0,
         {Allow(PROTOCOL_TCP, L"4026", PROGRAM, PROFILE_PRIVATE), Allow(PROTOCOL_UDP, L"4026", PROGRAM, PROFILE_PRIVATE)},
         true},
        {"disabled Allow rules", PROFILE_PRIVATE, ALL, 0, {Disabled(tcp), Disabled(udp)}, true},
        {"outbound Allow rules", PROFILE_PRIVATE, ALL, 0, {Outbound(tcp), Outbound(udp)}, true},
        {"one Allow rule for any protocol", PROFILE_PRIVATE, ALL, 0, {Allow(PROTOCOL_ANY, L"")}, false},
        {"any port, written Any and *", PROFILE_PRIVATE, ALL, 0,
         {Allow(PROTOCOL_TCP, L"Any"), Allow(PROTOCOL_UDP, L"*")}, false},
        {"port lists and ranges", PROFILE_PRIVATE, ALL, 0,
         {Allow(PROTOCOL_TCP, L"80,4026,443"), Allow(PROTOCOL_UDP, L"4000-4100")}, false},
        {"lists and ranges without the port", PROFILE_PRIVATE, ALL, 0,
         {Allow(PROTOCOL_TCP, L"80,4025,RPC"), Allow(PROTOCOL_UDP, L"4027-4100")}, true},
        {"the program in another case and with a variable", PROFILE_PRIVATE, ALL, 0,
         {Allow(PROTOCOL_TCP, L"4026", L"%programfiles%\\palvenor server\\PALVENORSERVER.EXE"),
          Allow(PROTOCOL_UDP, L"4026", L"%ProgramFiles%\\Palvenor Server\\PalvenorServer.exe")},
         false},
        {"an unknown variable", PROFILE_PRIVATE, ALL, 0,
         {Allow(PROTOCOL_TCP, L"4026", L"%Nowhere%\\PalvenorServer.exe"), udp}, true},
        {"another program's Allow rules", PROFILE_PRIVATE, ALL, 0,
         {Allow(PROTOCOL_TCP, L"4026", L"C:\\Other\\PalvenorServer.exe"), udp}, true},
        {"any program's Allow rules", PROFILE_PRIVATE, ALL, 0,
         {Allow(PROTOCOL_TCP, L"4026", L""), Allow(PROTOCOL_UDP, L"4026", L"")}, false},
        {"two networks, one of them open", PROFILE_PRIVATE | PROFILE_PUBLIC, ALL, 0, {tcp, udp}, true},
        {"two networks, both open", PROFILE_PRIVATE | PROFILE_DOMAIN, ALL, 0, {tcp, udp}, false},
    };
    for (const auto& c : cases) {
        const FirewallState state = {c.inUse, c.enabled, c.blockingAll, c.rules};
        EXPECT_EQ(PhonesBlocked(state, PROGRAM, 4026, ENVIRONMENT), c.blocked) << c.name;
    }
}

TEST(FirewallRulesTest, OnlyInboundBlockRulesForThisProgramAreItsOwnToRemove)
{
    const struct {
        FirewallRule rule;
        bool own;
    } cases[] = {
        {Block(PROTOCOL_TCP), true},
        {Disabled(Block(PROTOCOL_UDP, L"4026")), true},
        {Block(PROTOCOL_ANY, L"", L"%ProgramFiles%\\PALVENOR SERVER\\palvenorserver.exe"), true},
        {Block(PROTOCOL_ANY, L"", L""), false},  // any program's: not this program's to remove
        {Block(PROTOCOL_ANY, L"", L"C:\\Games\\game.exe"), false},
        {Outbound(Block(PROTOCOL_TCP)), false},
        {Allow(PROTOCOL_TCP), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlocksProgram(c.rule, PROGRAM, ENVIRONMENT), c.own) << std::string(c.rule.application.begin(), c.rule.application.end());
}

}  // namespace

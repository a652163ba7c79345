#include "pc/firewall_rules.h"

#include <cwchar>

#include "base/ascii.h"

static bool IsAny(const std::wstring& ports)
{
    static const wchar_t any[] = L"any";
    if (ports.size() != 3) return false;
    for (size_t i = 0; i < 3; ++i)
        if (FoldAsciiCase(ports[i]) != any[i]) return false;
    return true;
}

// "", "*" and "Any" mean every port; otherwise a list of ports and ranges, which may also hold
// names such as "RPC" that never mean a plain port.
static bool CoversPort(const std::wstring& ports, uint16_t port)
{
    if (ports.empty() || ports == L"*" || IsAny(ports)) return true;
    size_t start = 0;
    while (start <= ports.size()) {
        size_t end = ports.find(L',', start);
        if (end == std::wstring::npos) end = ports.size();
        const std::wstring item = ports.substr(start, end - start);
        wchar_t* rest = nullptr;
        const unsigned long low = std::wcstoul(item.c_str(), &rest, 10);
        unsigned long high = low;
        if (rest != item.c_str() && *rest == L'-') high = std::wcstoul(rest + 1, &rest, 10);
        if (rest != item.c_str() && *rest == L'\0' && low <= port && port <= high) return true;
        start = end + 1;
    }
    return false;
}

// Whether the rule applies to what a phone sends this program on the port with the protocol, on
// the profile.
static bool Applies(const FirewallRule& rule, uint32_t profile, int32_t protocol, uint16_t port)
{
    if (!rule.enabled || !rule.inbound || !(rule.profiles & profile) || rule.program == RuleProgram::Other)
        return false;
    if (rule.protocol != PROTOCOL_ANY && rule.protocol != protocol) return false;
    // A rule for any protocol names no ports.
    return rule.protocol == PROTOCOL_ANY || CoversPort(rule.localPorts, port);
}

// What the rules do to a phone's traffic of the protocol on the profile.
enum class Outcome { Allowed, Blocked, PartlyBlocked };

static Outcome RulesFor(const std::vector<FirewallRule>& rules, uint32_t profile, int32_t protocol, uint16_t port)
{
    bool allowed = false, partlyBlocked = false;
    for (const FirewallRule& rule : rules) {
        if (!Applies(rule, profile, protocol, port)) continue;
        if (rule.allow)
            allowed = true;
        else if (rule.everyRemoteAddress)
            return Outcome::Blocked;  // Block rules win over Allow rules
        else
            partlyBlocked = true;
    }
    if (!allowed) return Outcome::Blocked;
    return partlyBlocked ? Outcome::PartlyBlocked : Outcome::Allowed;
}

// The verdict of the rules alone: Open, Blocked, or Unknown when a Block rule for some remote
// addresses may or may not cover the phone.
static FirewallVerdict RulesVerdict(const std::vector<FirewallRule>& rules, uint32_t profile, uint16_t port)
{
    bool unsure = false;
    for (int32_t protocol : {PROTOCOL_TCP, PROTOCOL_UDP}) {
        const Outcome outcome = RulesFor(rules, profile, protocol, port);
        if (outcome == Outcome::Blocked) return FirewallVerdict::Blocked;
        if (outcome == Outcome::PartlyBlocked) unsure = true;
    }
    return unsure ? FirewallVerdict::Unknown : FirewallVerdict::Open;
}

static bool IsOwnBlockRule(const FirewallRule& rule)
{
    return rule.inbound && !rule.allow && rule.program == RuleProgram::ThisProgram &&
           (rule.profiles & (PROFILE_PRIVATE | PROFILE_DOMAIN)) != 0;
}

FirewallRule MendRule(int32_t protocol, uint16_t port)
{
    return {true, true, true, PROFILE_PRIVATE | PROFILE_DOMAIN, protocol, std::to_wstring(port),
            RuleProgram::ThisProgram, false};
}

static bool HasAllowRule(const std::vector<FirewallRule>& rules, uint32_t profile, int32_t protocol, uint16_t port)
{
    for (const FirewallRule& rule : rules)
        if (rule.allow && Applies(rule, profile, protocol, port)) return true;
    return false;
}

FirewallMend PlanMend(const std::vector<FirewallRule>& rules, uint16_t port)
{
    FirewallMend mend = {{}, false, false};
    for (size_t i = 0; i < rules.size(); ++i)
        if (IsOwnBlockRule(rules[i])) mend.remove.push_back(i);
    // Added only where no rule already lets the protocol in on both profiles the mend serves.
    const auto lacks = [&](int32_t protocol) {
        return !HasAllowRule(rules, PROFILE_PRIVATE, protocol, port) ||
               !HasAllowRule(rules, PROFILE_DOMAIN, protocol, port);
    };
    mend.addTcp = lacks(PROTOCOL_TCP);
    mend.addUdp = lacks(PROTOCOL_UDP);
    return mend;
}

// The rules as they would be once the mend is done.
static std::vector<FirewallRule> Mended(const std::vector<FirewallRule>& rules, uint16_t port)
{
    const FirewallMend mend = PlanMend(rules, port);
    std::vector<FirewallRule> mended;
    for (const FirewallRule& rule : rules)
        if (!IsOwnBlockRule(rule)) mended.push_back(rule);
    if (mend.addTcp) mended.push_back(MendRule(PROTOCOL_TCP, port));
    if (mend.addUdp) mended.push_back(MendRule(PROTOCOL_UDP, port));
    return mended;
}

FirewallVerdict JudgeFirewall(const FirewallState& state, uint16_t port)
{
    // Without a network no phone reaches the PC anyway: nothing to say.
    if (state.profile == 0) return FirewallVerdict::Unknown;
    if (!state.enabled) return FirewallVerdict::Open;
    if (state.blockingAll) return FirewallVerdict::BlockingAll;
    const FirewallVerdict now = RulesVerdict(state.rules, state.profile, port);
    if (now != FirewallVerdict::Blocked) return now;
    if (state.policyOverrides) return FirewallVerdict::BlockedByPolicy;
    // The link is offered only where the mend changes the verdict.
    return RulesVerdict(Mended(state.rules, port), state.profile, port) == FirewallVerdict::Blocked
               ? FirewallVerdict::BlockedForGood
               : FirewallVerdict::Blocked;
}

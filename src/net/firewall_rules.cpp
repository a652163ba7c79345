#include "net/firewall_rules.h"

#include <cwchar>

#include "base/ascii.h"

static bool SameText(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
    return true;
}

// The path with each %NAME% the environment knows replaced; an unknown one stays as written.
static std::wstring Expanded(const std::wstring& path, const Environment& environment)
{
    std::wstring result;
    for (size_t i = 0; i < path.size();) {
        const size_t end = path[i] == L'%' ? path.find(L'%', i + 1) : std::wstring::npos;
        bool known = false;
        if (end != std::wstring::npos)
            for (const auto& variable : environment)
                if (SameText(variable.first, path.substr(i + 1, end - i - 1))) {
                    result += variable.second;
                    i = end + 1;
                    known = true;
                    break;
                }
        if (!known) result += path[i++];
    }
    return result;
}

// "", "*" and "Any" mean every port; otherwise a list of ports and ranges, which may also hold
// names such as "RPC" that never mean a plain port.
static bool CoversPort(const std::wstring& ports, uint16_t port)
{
    if (ports.empty() || ports == L"*" || SameText(ports, L"Any")) return true;
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

static bool CoversProtocol(int32_t ruleProtocol, int32_t protocol)
{
    return ruleProtocol == PROTOCOL_ANY || ruleProtocol == protocol;
}

// Whether the rule names this program, in any case and with the environment's variables.
static bool NamesProgram(const FirewallRule& rule, const std::wstring& program, const Environment& environment)
{
    return SameText(Expanded(rule.application, environment), program);
}

// Whether the rule applies to what a phone sends this program on the port with the protocol,
// on the profile.
static bool Applies(const FirewallRule& rule, uint32_t profile, int32_t protocol, const std::wstring& program,
                    uint16_t port, const Environment& environment)
{
    if (!rule.enabled || !rule.inbound || !(rule.profiles & profile) || !CoversProtocol(rule.protocol, protocol))
        return false;
    // A rule for any protocol names no ports.
    if (rule.protocol != PROTOCOL_ANY && !CoversPort(rule.localPorts, port)) return false;
    return rule.application.empty() || NamesProgram(rule, program, environment);
}

bool PhonesBlocked(const FirewallState& state, const std::wstring& program, uint16_t port,
                   const Environment& environment)
{
    for (uint32_t profile : {PROFILE_DOMAIN, PROFILE_PRIVATE, PROFILE_PUBLIC}) {
        if (!(state.profilesInUse & profile) || !(state.enabled & profile)) continue;
        if (state.blockingAll & profile) return true;
        for (int32_t protocol : {PROTOCOL_TCP, PROTOCOL_UDP}) {
            bool allowed = false;
            for (const FirewallRule& rule : state.rules) {
                if (!Applies(rule, profile, protocol, program, port, environment)) continue;
                if (!rule.allow) return true;  // Block rules win over Allow rules
                allowed = true;
            }
            if (!allowed) return true;
        }
    }
    return false;
}

bool BlocksProgram(const FirewallRule& rule, const std::wstring& program, const Environment& environment)
{
    return rule.inbound && !rule.allow && !rule.application.empty() && NamesProgram(rule, program, environment);
}

#include "net/firewall.h"

#include <windows.h>
#include <netfw.h>

#include <string>

#include "base/program_path.h"
#include "base/wire.h"
#include "net/firewall_rules.h"

namespace {

// The names under which the installer adds its rules, which the mend replaces.
const wchar_t* const RULE_NAMES[] = {L"Palvenor Server (TCP)", L"Palvenor Server (UDP)"};

// Releases a COM interface when it goes out of scope.
template <typename Interface>
struct Held {
    Interface* pointer = nullptr;
    ~Held()
    {
        if (pointer) pointer->Release();
    }
    Interface* operator->() const { return pointer; }
    Interface** operator&() { return &pointer; }
};

// A BSTR freed when it goes out of scope.
struct Text {
    BSTR value = nullptr;
    explicit Text(const wchar_t* text = nullptr) : value(text ? SysAllocString(text) : nullptr) {}
    ~Text() { SysFreeString(value); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    std::wstring String() const { return value ? std::wstring(value, SysStringLen(value)) : std::wstring(); }
};

// The variables a rule's program path is written with.
Environment ReadEnvironment()
{
    Environment environment;
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot", L"windir",
                                L"SystemDrive", L"USERPROFILE", L"LOCALAPPDATA", L"APPDATA", L"ProgramData"}) {
        wchar_t value[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
        if (length && length < MAX_PATH) environment.emplace_back(name, value);
    }
    return environment;
}

bool OpenPolicy(Held<INetFwPolicy2>& policy)
{
    (void)CoInitialize(nullptr);  // balanced by the end of the process
    return SUCCEEDED(CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwPolicy2),
                                      reinterpret_cast<void**>(&policy)));
}

// Calls visit with each rule the firewall has; false when they cannot be listed.
template <typename Visit>
bool ForEachRule(INetFwRules* rules, Visit visit)
{
    Held<IUnknown> listing;
    Held<IEnumVARIANT> each;
    if (FAILED(rules->get__NewEnum(&listing)) ||
        FAILED(listing->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&each))))
        return false;
    VARIANT item;
    VariantInit(&item);
    while (each->Next(1, &item, nullptr) == S_OK) {
        Held<INetFwRule> rule;
        if (item.vt == VT_DISPATCH && item.pdispVal &&
            SUCCEEDED(item.pdispVal->QueryInterface(__uuidof(INetFwRule), reinterpret_cast<void**>(&rule))))
            visit(rule.pointer);
        VariantClear(&item);
    }
    return true;
}

FirewallRule Described(INetFwRule* rule)
{
    FirewallRule described = {};
    VARIANT_BOOL enabled = VARIANT_FALSE;
    NET_FW_RULE_DIRECTION direction = NET_FW_RULE_DIR_OUT;
    NET_FW_ACTION action = NET_FW_ACTION_BLOCK;
    LONG profiles = 0, protocol = 0;
    Text ports, application;
    (void)rule->get_Enabled(&enabled);
    (void)rule->get_Direction(&direction);
    (void)rule->get_Action(&action);
    (void)rule->get_Profiles(&profiles);
    (void)rule->get_Protocol(&protocol);
    (void)rule->get_LocalPorts(&ports.value);
    (void)rule->get_ApplicationName(&application.value);
    described.enabled = enabled != VARIANT_FALSE;
    described.inbound = direction == NET_FW_RULE_DIR_IN;
    described.allow = action == NET_FW_ACTION_ALLOW;
    described.profiles = uint32_t(profiles);
    described.protocol = int32_t(protocol);
    described.localPorts = ports.String();
    described.application = application.String();
    return described;
}

FirewallVerdict AskThePolicy()
{
    Held<INetFwPolicy2> policy;
    if (!OpenPolicy(policy)) return FirewallVerdict::Unknown;
    FirewallState state = {};
    long inUse = 0;
    if (FAILED(policy->get_CurrentProfileTypes(&inUse))) return FirewallVerdict::Unknown;
    state.profilesInUse = uint32_t(inUse);
    for (uint32_t profile : {PROFILE_DOMAIN, PROFILE_PRIVATE, PROFILE_PUBLIC}) {
        if (!(state.profilesInUse & profile)) continue;
        VARIANT_BOOL on = VARIANT_FALSE, blockingAll = VARIANT_FALSE;
        if (FAILED(policy->get_FirewallEnabled(NET_FW_PROFILE_TYPE2(profile), &on)) ||
            FAILED(policy->get_BlockAllInboundTraffic(NET_FW_PROFILE_TYPE2(profile), &blockingAll)))
            return FirewallVerdict::Unknown;
        if (on != VARIANT_FALSE) state.enabled |= profile;
        if (blockingAll != VARIANT_FALSE) state.blockingAll |= profile;
    }
    Held<INetFwRules> rules;
    if (FAILED(policy->get_Rules(&rules)) ||
        !ForEachRule(rules.pointer, [&](INetFwRule* rule) { state.rules.push_back(Described(rule)); }))
        return FirewallVerdict::Unknown;
    if (!PhonesBlocked(state, ProgramPath(), SERVICE_PORT, ReadEnvironment())) return FirewallVerdict::Open;
    NET_FW_MODIFY_STATE modify = NET_FW_MODIFY_STATE_OK;
    const bool policyRules = SUCCEEDED(policy->get_LocalPolicyModifyState(&modify)) &&
                             modify == NET_FW_MODIFY_STATE_GP_OVERRIDE;
    return policyRules ? FirewallVerdict::BlockedByPolicy : FirewallVerdict::Blocked;
}

// The names of the inbound Block rules that name this program, as a dismissed question leaves them.
std::vector<std::wstring> OwnBlockRules(INetFwRules* rules, const std::wstring& program, bool& listed)
{
    std::vector<std::wstring> names;
    const Environment environment = ReadEnvironment();
    listed = ForEachRule(rules, [&](INetFwRule* rule) {
        Text name;
        if (BlocksProgram(Described(rule), program, environment) && SUCCEEDED(rule->get_Name(&name.value)))
            names.push_back(name.String());
    });
    return names;
}

bool AddAllowRule(INetFwRules* rules, const wchar_t* name, LONG protocol, const std::wstring& program)
{
    Held<INetFwRule> rule;
    if (FAILED(CoCreateInstance(__uuidof(NetFwRule), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwRule),
                                reinterpret_cast<void**>(&rule))))
        return false;
    Text ruleName(name), application(program.c_str()), port(std::to_wstring(SERVICE_PORT).c_str()),
        remote(L"LocalSubnet");
    return SUCCEEDED(rule->put_Name(ruleName.value)) && SUCCEEDED(rule->put_ApplicationName(application.value)) &&
           SUCCEEDED(rule->put_Protocol(protocol)) && SUCCEEDED(rule->put_LocalPorts(port.value)) &&
           SUCCEEDED(rule->put_RemoteAddresses(remote.value)) &&
           SUCCEEDED(rule->put_Direction(NET_FW_RULE_DIR_IN)) && SUCCEEDED(rule->put_Action(NET_FW_ACTION_ALLOW)) &&
           SUCCEEDED(rule->put_Profiles(LONG(PROFILE_PRIVATE | PROFILE_DOMAIN))) &&
           SUCCEEDED(rule->put_Enabled(VARIANT_TRUE)) && SUCCEEDED(rules->Add(rule.pointer));
}

bool MendThePolicy()
{
    Held<INetFwPolicy2> policy;
    Held<INetFwRules> rules;
    const std::wstring program = ProgramPath();
    if (program.empty() || !OpenPolicy(policy) || FAILED(policy->get_Rules(&rules))) return false;
    bool listed = false;
    std::vector<std::wstring> remove = OwnBlockRules(rules.pointer, program, listed);
    if (!listed) return false;
    for (const wchar_t* name : RULE_NAMES) remove.push_back(name);
    for (const std::wstring& name : remove) {
        Text removed(name.c_str());
        (void)rules->Remove(removed.value);  // one already gone is no failure
    }
    return AddAllowRule(rules.pointer, RULE_NAMES[0], PROTOCOL_TCP, program) &&
           AddAllowRule(rules.pointer, RULE_NAMES[1], PROTOCOL_UDP, program);
}

}  // namespace

FirewallVerdict (*readFirewall)() = AskThePolicy;
bool (*allowPhonesThroughFirewall)() = MendThePolicy;

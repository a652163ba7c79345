#include "pc/firewall.h"

#include <windows.h>
#include <netfw.h>

#include <string>

#include "base/com.h"
#include "base/program_path.h"
#include "base/wire.h"
#include "pc/network_category.h"

namespace {

// The names the installer gives its rules, which the mend gives the rules it adds.
const wchar_t* const RULE_NAMES[] = {FIREWALL_TCP_RULE, FIREWALL_UDP_RULE};

bool OpenPolicy(ComReference<INetFwPolicy2>& policy)
{
    return SUCCEEDED(CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwPolicy2),
                                      reinterpret_cast<void**>(&policy)));
}

// Every rule the firewall has, as the objects themselves; false when they cannot be listed.
bool ListRules(INetFwRules* rules, std::vector<ComReference<INetFwRule>>& listed)
{
    ComReference<IUnknown> listing;
    ComReference<IEnumVARIANT> each;
    if (FAILED(rules->get__NewEnum(&listing)) ||
        FAILED(listing->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&each))))
        return false;
    VARIANT item;
    VariantInit(&item);
    while (each->Next(1, &item, nullptr) == S_OK) {
        ComReference<INetFwRule> rule;
        if (item.vt == VT_DISPATCH && item.pdispVal &&
            SUCCEEDED(item.pdispVal->QueryInterface(__uuidof(INetFwRule), reinterpret_cast<void**>(&rule))))
            listed.push_back(std::move(rule));
        VariantClear(&item);
    }
    return true;
}

// Whether the rule's program is this one, compared as Windows compares file names, with the
// variables it may be written with expanded.
bool NamesThisProgram(const std::wstring& application, const std::wstring& program)
{
    wchar_t expanded[MAX_PATH * 2];
    const DWORD length = ExpandEnvironmentStringsW(application.c_str(), expanded, ARRAYSIZE(expanded));
    if (length == 0 || length > ARRAYSIZE(expanded)) return false;
    return CompareStringOrdinal(expanded, -1, program.c_str(), int(program.size()), TRUE) == CSTR_EQUAL;
}

RuleProgram ProgramOf(INetFwRule* rule, const std::wstring& program)
{
    OwnedBstr application, service, package;
    (void)rule->get_ApplicationName(&application.value);
    (void)rule->get_ServiceName(&service.value);
    ComReference<INetFwRule3> packaged;  // Windows 8 and later
    if (SUCCEEDED(rule->QueryInterface(__uuidof(INetFwRule3), reinterpret_cast<void**>(&packaged))))
        (void)packaged->get_LocalAppPackageId(&package.value);
    if (!service.String().empty() || !package.String().empty()) return RuleProgram::Other;
    if (application.String().empty()) return RuleProgram::Any;
    return NamesThisProgram(application.String(), program) ? RuleProgram::ThisProgram : RuleProgram::Other;
}

FirewallRule DescribeRule(INetFwRule* rule, const std::wstring& program)
{
    VARIANT_BOOL enabled = VARIANT_FALSE;
    NET_FW_RULE_DIRECTION direction = NET_FW_RULE_DIR_OUT;
    NET_FW_ACTION action = NET_FW_ACTION_BLOCK;
    LONG profiles = 0, protocol = 0;
    OwnedBstr ports, remote;
    (void)rule->get_Enabled(&enabled);
    (void)rule->get_Direction(&direction);
    (void)rule->get_Action(&action);
    (void)rule->get_Profiles(&profiles);
    (void)rule->get_Protocol(&protocol);
    (void)rule->get_LocalPorts(&ports.value);
    (void)rule->get_RemoteAddresses(&remote.value);
    const std::wstring remoteAddresses = remote.String();
    return {enabled != VARIANT_FALSE,
            direction == NET_FW_RULE_DIR_IN,
            action == NET_FW_ACTION_ALLOW,
            uint32_t(profiles),
            int32_t(protocol),
            ports.String(),
            ProgramOf(rule, program),
            remoteAddresses.empty() || remoteAddresses == L"*"};
}

// Every rule the policy has, as the objects and as they are described; false when they cannot be
// listed.
bool ReadRules(INetFwPolicy2* policy, const std::wstring& program, ComReference<INetFwRules>& rules,
               std::vector<ComReference<INetFwRule>>& listed, std::vector<FirewallRule>& described)
{
    if (FAILED(policy->get_Rules(&rules)) || !ListRules(rules.pointer, listed)) return false;
    for (const auto& rule : listed) described.push_back(DescribeRule(rule.pointer, program));
    return true;
}

FirewallVerdict AskThePolicy()
{
    GUID network = {};
    FirewallState state = {};
    if (!ReadPhonesNetwork(network, state.profile)) return FirewallVerdict::Unknown;
    ComReference<INetFwPolicy2> policy;
    if (!OpenPolicy(policy)) return FirewallVerdict::Unknown;
    const auto profile = NET_FW_PROFILE_TYPE2(state.profile);
    VARIANT_BOOL on = VARIANT_FALSE, blockingAll = VARIANT_FALSE;
    if (FAILED(policy->get_FirewallEnabled(profile, &on)) ||
        FAILED(policy->get_BlockAllInboundTraffic(profile, &blockingAll)))
        return FirewallVerdict::Unknown;
    state.enabled = on != VARIANT_FALSE;
    state.blockingAll = blockingAll != VARIANT_FALSE;
    NET_FW_MODIFY_STATE modify = NET_FW_MODIFY_STATE_OK;
    state.policyOverrides =
        SUCCEEDED(policy->get_LocalPolicyModifyState(&modify)) && modify == NET_FW_MODIFY_STATE_GP_OVERRIDE;
    ComReference<INetFwRules> rules;
    std::vector<ComReference<INetFwRule>> listed;
    if (!ReadRules(policy.pointer, ProgramPath(), rules, listed, state.rules)) return FirewallVerdict::Unknown;
    return JudgeFirewall(state, SERVICE_PORT);
}

// Removes the very rule object read: renamed first to a name nothing else bears, then removed by
// that name, so that no other rule of its old name (Windows' prompt gives its Allow and Block
// rules one name) goes with it.
bool RemoveRule(INetFwRules* rules, INetFwRule* rule)
{
    GUID unique = {};
    wchar_t name[64] = L"Palvenor Server removal ";
    if (FAILED(CoCreateGuid(&unique)) || !StringFromGUID2(unique, name + lstrlenW(name), 40)) return false;
    OwnedBstr newName(name);
    return SUCCEEDED(rule->put_Name(newName.value)) && SUCCEEDED(rules->Remove(newName.value));
}

bool AddAllowRule(INetFwRules* rules, const wchar_t* name, const FirewallRule& wanted, const std::wstring& program)
{
    ComReference<INetFwRule> rule;
    if (FAILED(CoCreateInstance(__uuidof(NetFwRule), nullptr, CLSCTX_INPROC_SERVER, __uuidof(INetFwRule),
                                reinterpret_cast<void**>(&rule))))
        return false;
    OwnedBstr ruleName(name), application(program.c_str()), port(wanted.localPorts.c_str()), remote(L"LocalSubnet");
    return SUCCEEDED(rule->put_Name(ruleName.value)) && SUCCEEDED(rule->put_ApplicationName(application.value)) &&
           SUCCEEDED(rule->put_Protocol(wanted.protocol)) && SUCCEEDED(rule->put_LocalPorts(port.value)) &&
           SUCCEEDED(rule->put_RemoteAddresses(remote.value)) &&
           SUCCEEDED(rule->put_Direction(NET_FW_RULE_DIR_IN)) && SUCCEEDED(rule->put_Action(NET_FW_ACTION_ALLOW)) &&
           SUCCEEDED(rule->put_Profiles(LONG(wanted.profiles))) && SUCCEEDED(rule->put_Enabled(VARIANT_TRUE)) &&
           SUCCEEDED(rules->Add(rule.pointer));
}

bool MendThePolicy()
{
    ComReference<INetFwPolicy2> policy;
    ComReference<INetFwRules> rules;
    std::vector<ComReference<INetFwRule>> listed;
    std::vector<FirewallRule> described;
    const std::wstring program = ProgramPath();
    if (program.empty() || !OpenPolicy(policy) || !ReadRules(policy.pointer, program, rules, listed, described))
        return false;
    const FirewallMend mend = PlanMend(described, SERVICE_PORT);
    for (size_t index : mend.remove)
        if (!RemoveRule(rules.pointer, listed[index].pointer)) return false;
    if (mend.addTcp && !AddAllowRule(rules.pointer, RULE_NAMES[0], MendRule(PROTOCOL_TCP, SERVICE_PORT), program))
        return false;
    return !mend.addUdp || AddAllowRule(rules.pointer, RULE_NAMES[1], MendRule(PROTOCOL_UDP, SERVICE_PORT), program);
}

}  // namespace

FirewallVerdict (*readFirewall)() = AskThePolicy;
bool (*allowPhonesThroughFirewall)() = MendThePolicy;

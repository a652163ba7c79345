// Whether Windows' firewall lets phones reach this program, and what the mend would change,
// decided from what the firewall reports: free of the platform, so that every kind of rule and
// every PC users have is tested natively. firewall.cpp reads the firewall and mends it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The firewall's profile bits (NET_FW_PROFILE2_...) and protocol numbers (NET_FW_IP_PROTOCOL_...).
constexpr uint32_t PROFILE_DOMAIN = 0x1;
constexpr uint32_t PROFILE_PRIVATE = 0x2;
constexpr uint32_t PROFILE_PUBLIC = 0x4;
constexpr int32_t PROTOCOL_TCP = 6;
constexpr int32_t PROTOCOL_UDP = 17;
constexpr int32_t PROTOCOL_ANY = 256;

// Which programs a rule is for, as the reader found by comparing its path the way Windows compares
// file names. A rule for a Store app's package or for a service is never this program's.
enum class RuleProgram : uint8_t { Any, ThisProgram, Other };

// One rule as the firewall reports it.
struct FirewallRule {
    bool enabled;
    bool inbound;
    bool allow;                // false: a Block rule
    uint32_t profiles;         // the profile bits it applies to
    int32_t protocol;          // PROTOCOL_TCP, PROTOCOL_UDP, PROTOCOL_ANY, or another protocol
    std::wstring localPorts;   // "" or "*" for any, else "4026", "4000-4100", "80,443,4026", ...
    RuleProgram program;
    bool everyRemoteAddress;   // false: limited to some remote addresses ("LocalSubnet", a list)
};

// What the firewall reports for the network phones come from.
struct FirewallState {
    uint32_t profile;      // that network's profile bit; 0 when the PC has no such network
    bool enabled;          // the firewall is on for that profile
    bool blockingAll;      // it blocks all inbound traffic there, whatever the rules
    bool policyOverrides;  // the organization's policy sets the rules, overriding the PC's own
    std::vector<FirewallRule> rules;
};

enum class FirewallVerdict {
    Unknown,          // it cannot be read, or nothing true can be said
    Open,             // phones reach the program
    Blocked,          // phones are kept out, and the mend lets them in
    BlockedForGood,   // phones are kept out by rules the mend does not touch
    BlockingAll,      // the profile blocks all inbound traffic: no rule can open it
    BlockedByPolicy,  // the organization's policy keeps them out
};

FirewallVerdict JudgeFirewall(const FirewallState& state, uint16_t port);

// What the mend changes: the rules to remove, by their place in the list read (this program's own
// inbound Block rules for private or domain networks, as a dismissed question leaves them; one the
// user set for public networks only stays), and the Allow rules to add where none lets that
// protocol in on private and domain networks.
struct FirewallMend {
    std::vector<size_t> remove;
    bool addTcp;
    bool addUdp;
};
FirewallMend PlanMend(const std::vector<FirewallRule>& rules, uint16_t port);
// The rule the mend adds for the protocol: this program, the port, the local subnet, private and
// domain networks.
FirewallRule MendRule(int32_t protocol, uint16_t port);

// Whether Windows' firewall lets phones reach this program, decided from what the firewall reports:
// free of the platform, so that every kind of rule is tested natively. firewall.cpp reads the
// firewall and mends it.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The firewall's profile bits (NET_FW_PROFILE2_...) and protocol numbers (NET_FW_IP_PROTOCOL_...).
constexpr uint32_t PROFILE_DOMAIN = 0x1;
constexpr uint32_t PROFILE_PRIVATE = 0x2;
constexpr uint32_t PROFILE_PUBLIC = 0x4;
constexpr int32_t PROTOCOL_TCP = 6;
constexpr int32_t PROTOCOL_UDP = 17;
constexpr int32_t PROTOCOL_ANY = 256;

// One rule as the firewall reports it.
struct FirewallRule {
    bool enabled;
    bool inbound;
    bool allow;                // false: a Block rule
    uint32_t profiles;         // the profile bits it applies to
    int32_t protocol;          // PROTOCOL_TCP, PROTOCOL_UDP, PROTOCOL_ANY, or another protocol
    std::wstring localPorts;   // "" or "*" for any, else "4026", "4000-4100", "80,443,4026", ...
    std::wstring application;  // "" for any program, else its path, perhaps with %VARIABLES%
};

// What the firewall reports for the networks the PC is on now.
struct FirewallState {
    uint32_t profilesInUse;     // profile bits
    uint32_t enabled;           // profile bits where the firewall is on
    uint32_t blockingAll;       // profile bits where it blocks all inbound traffic, whatever the rules
    std::vector<FirewallRule> rules;
};

// The environment a rule's program path may name, as (name, value) pairs: "ProgramFiles", ...
using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

// True when, on a profile in use with the firewall on, phones cannot reach this program on the
// port: all inbound traffic is blocked, an enabled inbound Block rule covers the program or TCP or
// UDP port, or no enabled inbound Allow rule lets both TCP and UDP in on the port.
bool PhonesBlocked(const FirewallState& state, const std::wstring& program, uint16_t port,
                   const Environment& environment);

// Whether the rule is an inbound Block rule for this very program, as Windows adds when the user
// dismisses its question at the program's first listen.
bool BlocksProgram(const FirewallRule& rule, const std::wstring& program, const Environment& environment);

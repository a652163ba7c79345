// Who may drive this PC: the phone's protocol has no authentication, so a connection counts as a
// phone only when it behaves like one, and a device other than the PC itself only once the user
// allowed it. Free of the platform, so that every decision is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the first bytes of a connection say. A web page can make a browser open a connection to
// any port, which then speaks first: HTTP, a TLS handshake, or STUN (its TURN client over TCP).
// The phone sends nothing, or bytes that start none of them.
enum class ConnectionStart { Undecided, Phone, Http, Tls, Stun };
ConnectionStart ClassifyConnectionStart(const unsigned char* bytes, size_t count);

// A device the user allowed: its IPv4 address (host byte order) and, where the PC could learn it,
// its hardware address.
struct TrustedPhone {
    uint32_t address;
    bool macKnown;
    uint8_t mac[6];
};

// One stored entry: "192.168.1.20" or "192.168.1.20 0a-1b-2c-3d-4e-5f". False for anything else,
// which is then never trusted.
bool ParseTrustedPhone(const std::string& text, TrustedPhone& phone);
std::string FormatTrustedPhone(const TrustedPhone& phone);

// The list as the registry stores it: each entry followed by a nul, an empty entry last. A damaged
// or foreign entry counts for nothing; the others still do.
std::vector<TrustedPhone> ParseTrustedList(const std::wstring& stored);
std::wstring FormatTrustedList(const std::vector<TrustedPhone>& trusted);

// The device connecting now.
struct Device {
    uint32_t address;  // host byte order
    bool macKnown;
    uint8_t mac[6];
};

// Whether a remembered entry vouches for the device: the same address, and the same hardware
// address where one was remembered.
bool IsRemembered(const std::vector<TrustedPhone>& trusted, const Device& device);

// Far more than anyone allows; a PC in use for years keeps the newest.
constexpr size_t MOST_TRUSTED_PHONES = 1000;
// Adds the device at the end, unless the list already vouches for it (false: nothing changed);
// the oldest entries go to keep at most MOST_TRUSTED_PHONES.
bool AddTrustedPhone(std::vector<TrustedPhone>& trusted, const Device& device);

// The devices the user refused, or whose question lapsed: each is not asked about again for a
// minute from then. Times are milliseconds of a steady clock.
constexpr uint64_t REFUSAL_MS = 60 * 1000;
struct Refusal {
    uint32_t address;
    uint64_t at;
};
void NoteRefusal(std::vector<Refusal>& refusals, uint32_t address, uint64_t now);
// Whether the device was refused less than a minute ago; older refusals are forgotten.
bool RefusedRecently(std::vector<Refusal>& refusals, uint32_t address, uint64_t now);

enum class Admission { Serve, Ask, Close };

struct TrustFacts {
    bool pcItself;         // loopback, or one of the PC's own addresses
    bool remembered;       // IsRemembered
    bool refusedRecently;  // the user refused it, or let its prompt lapse, within the last minute
    bool promptOpen;       // another device is waiting for the user's answer
};

Admission DecideAdmission(const TrustFacts& facts);

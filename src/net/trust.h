// Who may drive this PC: the phone's protocol has no authentication, so a connection counts as a
// phone only when it behaves like one, and a device other than the PC itself only once the user
// allowed it. Free of the platform, so that every decision is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What the first bytes of a connection say. A web page can make a browser open a connection to
// any port, which then speaks first: HTTP, a TLS handshake, or STUN (its TURN client over TCP, or
// ICE over TCP, which frames each message with a 2-byte length). The phone sends nothing, or bytes
// that start none of them; Silent is a connection that sent nothing in its first second.
enum class ConnectionStart { Undecided, Phone, Http, Tls, Stun, Silent };
ConnectionStart ClassifyConnectionStart(const unsigned char* bytes, size_t count);

// The devices the user refused, or whose question lapsed: each is not asked about again for a
// minute from then. Times are milliseconds of a steady clock.
constexpr uint64_t REFUSAL_MS = 60 * 1000;
struct Refusal {
    uint32_t address;
    uint64_t at;
};
void NoteRefusal(std::vector<Refusal>& refusals, uint32_t address, uint64_t now);
// Whether the device was refused less than a minute ago; older refusals are forgotten.
bool RefusalHolds(std::vector<Refusal>& refusals, uint32_t address, uint64_t now);

// Wait: asked once the question open now ends.
enum class Admission { Serve, Ask, Wait, Close };

struct TrustFacts {
    bool pcItself;         // loopback, or one of the PC's own addresses
    bool remembered;       // a remembered entry vouches for it
    bool refusedRecently;  // refused, its question lapsed, or it left while asked, within the last minute
    bool promptOpen;       // another device is waiting for the user's answer
};

Admission DecideAdmission(const TrustFacts& facts);

// A program of the PC itself drives this user's desktop only from this user's own session: never
// another user's, a service's (session 0) or a Remote Desktop session's. One the network stack
// names no owner for (it has gone already) counts as this session's.
constexpr uint32_t NO_OWNER_SESSION = 0xFFFFFFFF;
bool SessionMayDrive(uint32_t ownerSession, uint32_t ownSession);

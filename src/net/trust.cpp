#include "net/trust.h"

namespace {

// How far the bytes so far agree with a start: not at all, in every byte they hold, or all of it.
enum class Match { No, Partly, Whole };

// A known start; a zero bit in the mask lets that bit of the byte through, and no mask compares
// every bit.
struct KnownStart {
    const char* pattern;
    size_t length;
    const char* mask;
    ConnectionStart kind;
};

Match Compare(const unsigned char* bytes, size_t count, const KnownStart& start)
{
    for (size_t i = 0; i < start.length; ++i) {
        if (i == count) return Match::Partly;
        const unsigned char mask = start.mask ? static_cast<unsigned char>(start.mask[i]) : 0xFF;
        if ((bytes[i] & mask) != static_cast<unsigned char>(start.pattern[i])) return Match::No;
    }
    return Match::Whole;
}

#define KNOWN(pattern, kind) {pattern, sizeof pattern - 1, nullptr, ConnectionStart::kind}
const KnownStart knownStarts[] = {
    // A TLS record of a handshake: content type 22, then the major version 3.
    KNOWN("\x16\x03", Tls),
    // A STUN message: the type's two top bits zero, any type and length, the magic cookie 0x2112A442.
    {"\0\0\0\0\x21\x12\xA4\x42", 8, "\xC0\0\0\0\xFF\xFF\xFF\xFF", ConnectionStart::Stun},
    // The same after the 2-byte length that frames each message of ICE over TCP.
    {"\0\0\0\0\0\0\x21\x12\xA4\x42", 10, "\0\0\xC0\0\0\0\xFF\xFF\xFF\xFF", ConnectionStart::Stun},
    KNOWN("GET ", Http), KNOWN("POST ", Http), KNOWN("HEAD ", Http), KNOWN("PUT ", Http), KNOWN("DELETE ", Http),
    KNOWN("OPTIONS ", Http), KNOWN("PATCH ", Http), KNOWN("CONNECT ", Http), KNOWN("PRI * HTTP", Http),
};
#undef KNOWN

}  // namespace

ConnectionStart ClassifyConnectionStart(const unsigned char* bytes, size_t count)
{
    if (count == 0) return ConnectionStart::Undecided;
    bool couldStillBe = false;
    for (const KnownStart& start : knownStarts) {
        const Match match = Compare(bytes, count, start);
        if (match == Match::Whole) return start.kind;
        if (match == Match::Partly) couldStillBe = true;
    }
    return couldStillBe ? ConnectionStart::Undecided : ConnectionStart::Phone;
}

static void ForgetOldRefusals(std::vector<Refusal>& refusals, uint64_t now)
{
    for (size_t i = refusals.size(); i-- > 0;)
        if (now - refusals[i].at >= REFUSAL_MS) refusals.erase(refusals.begin() + std::ptrdiff_t(i));
}

void NoteRefusal(std::vector<Refusal>& refusals, uint32_t address, uint64_t now)
{
    ForgetOldRefusals(refusals, now);
    refusals.push_back({address, now});
}

bool RefusalHolds(std::vector<Refusal>& refusals, uint32_t address, uint64_t now)
{
    ForgetOldRefusals(refusals, now);
    for (const Refusal& refusal : refusals)
        if (refusal.address == address) return true;
    return false;
}

Admission DecideAdmission(const TrustFacts& facts)
{
    if (facts.pcItself || facts.remembered) return Admission::Serve;
    if (facts.refusedRecently) return Admission::Close;
    return facts.promptOpen ? Admission::Wait : Admission::Ask;
}

bool SessionMayDrive(uint32_t ownerSession, uint32_t ownSession)
{
    return ownerSession == NO_OWNER_SESSION || ownerSession == ownSession;
}

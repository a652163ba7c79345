#include "net/trust.h"

#include <cstdio>
#include <cstring>

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

// Parses exactly "a.b.c.d" as this program writes it: each part 0-255, no sign, space or
// leading zero, nothing after.
static bool ParseAddress(const std::string& text, uint32_t& address)
{
    unsigned parts[4];
    if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u", &parts[0], &parts[1], &parts[2], &parts[3]) != 4) return false;
    address = 0;
    for (unsigned part : parts) {
        if (part > 255) return false;
        address = (address << 8) | part;
    }
    return FormatTrustedPhone(TrustedPhone{address, false, {}}) == text;
}

static int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Exactly "0a-1b-2c-3d-4e-5f", lower case.
static bool ParseMac(const std::string& text, uint8_t (&mac)[6])
{
    if (text.size() != 17) return false;
    for (size_t i = 0; i < 6; ++i) {
        const int high = HexValue(text[3 * i]), low = HexValue(text[3 * i + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[3 * i + 2] != '-')) return false;
        mac[i] = uint8_t(high * 16 + low);
    }
    return true;
}

bool ParseTrustedPhone(const std::string& text, TrustedPhone& phone)
{
    const size_t space = text.find(' ');
    phone = TrustedPhone{};
    if (!ParseAddress(text.substr(0, space), phone.address)) return false;
    if (space == std::string::npos) return true;
    phone.macKnown = ParseMac(text.substr(space + 1), phone.mac);
    return phone.macKnown;
}

std::string FormatTrustedPhone(const TrustedPhone& phone)
{
    char text[40];
    int length = std::snprintf(text, sizeof text, "%u.%u.%u.%u", phone.address >> 24, (phone.address >> 16) & 0xFF,
                               (phone.address >> 8) & 0xFF, phone.address & 0xFF);
    if (phone.macKnown)
        std::snprintf(text + length, sizeof text - size_t(length), " %02x-%02x-%02x-%02x-%02x-%02x", phone.mac[0],
                      phone.mac[1], phone.mac[2], phone.mac[3], phone.mac[4], phone.mac[5]);
    return text;
}

std::vector<TrustedPhone> ParseTrustedList(const std::wstring& stored)
{
    std::vector<TrustedPhone> trusted;
    for (size_t start = 0, end; start < stored.size() && stored[start]; start = end + 1) {
        end = stored.find(L'\0', start);
        if (end == std::wstring::npos) end = stored.size();  // an unterminated last entry
        const std::wstring wide = stored.substr(start, end - start);
        // Entries are plain ASCII; any other character makes the entry foreign.
        if (wide.find_first_not_of(L" -.0123456789abcdef") != std::wstring::npos) continue;
        TrustedPhone phone;
        if (ParseTrustedPhone(std::string(wide.begin(), wide.end()), phone)) trusted.push_back(phone);
    }
    return trusted;
}

std::wstring FormatTrustedList(const std::vector<TrustedPhone>& trusted)
{
    std::wstring stored;
    for (const TrustedPhone& phone : trusted) {
        const std::string entry = FormatTrustedPhone(phone);
        stored.append(entry.begin(), entry.end());
        stored.push_back(L'\0');
    }
    stored.push_back(L'\0');
    return stored;
}

bool AddTrustedPhone(std::vector<TrustedPhone>& trusted, const Device& device)
{
    if (IsRemembered(trusted, device)) return false;
    TrustedPhone phone = {device.address, device.macKnown, {}};
    std::memcpy(phone.mac, device.mac, sizeof phone.mac);
    trusted.push_back(phone);
    if (trusted.size() > MOST_TRUSTED_PHONES)
        trusted.erase(trusted.begin(), trusted.end() - std::ptrdiff_t(MOST_TRUSTED_PHONES));
    return true;
}

bool IsRemembered(const std::vector<TrustedPhone>& trusted, const Device& device)
{
    for (const TrustedPhone& phone : trusted) {
        if (phone.address != device.address) continue;
        if (!phone.macKnown) return true;
        if (device.macKnown && std::memcmp(phone.mac, device.mac, sizeof phone.mac) == 0) return true;
    }
    return false;
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

bool RefusedRecently(std::vector<Refusal>& refusals, uint32_t address, uint64_t now)
{
    ForgetOldRefusals(refusals, now);
    for (const Refusal& refusal : refusals)
        if (refusal.address == address) return true;
    return false;
}

Admission DecideAdmission(const TrustFacts& facts)
{
    if (facts.pcItself || facts.remembered) return Admission::Serve;
    if (facts.refusedRecently || facts.promptOpen) return Admission::Close;
    return Admission::Ask;
}

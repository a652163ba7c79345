#include "net/trust.h"

#include <cstdio>
#include <cstring>

ConnectionStart ClassifyConnectionStart(const unsigned char* bytes, size_t count)
{
    if (count == 0) return ConnectionStart::Undecided;
    // A TLS record of a handshake: content type 22, then the major version 3.
    if (bytes[0] == 0x16) {
        if (count == 1) return ConnectionStart::Undecided;
        if (bytes[1] == 0x03) return ConnectionStart::Tls;
    }
    static const char* const requests[] = {"GET ",     "POST ",  "HEAD ",     "PUT ",      "DELETE ",
                                           "OPTIONS ", "PATCH ", "CONNECT ", "PRI * HTTP"};
    bool couldStillBe = false;
    for (const char* request : requests) {
        const size_t length = std::strlen(request);
        const size_t compared = count < length ? count : length;
        if (std::memcmp(bytes, request, compared) != 0) continue;
        if (compared == length) return ConnectionStart::Http;
        couldStillBe = true;
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

bool IsRemembered(const std::vector<TrustedPhone>& trusted, const Device& device)
{
    for (const TrustedPhone& phone : trusted) {
        if (phone.address != device.address) continue;
        if (!phone.macKnown) return true;
        if (device.macKnown && std::memcmp(phone.mac, device.mac, sizeof phone.mac) == 0) return true;
    }
    return false;
}

Admission DecideAdmission(const TrustFacts& facts)
{
    if (facts.pcItself || facts.remembered) return Admission::Serve;
    if (facts.refusedRecently || facts.promptOpen) return Admission::Close;
    return Admission::Ask;
}

#include "net/trusted_list.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "base/user_text.h"

// "a.b.c.d", host byte order.
static std::wstring DottedAddress(uint32_t address)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                  address & 0xFF);
    return text;
}

// Parses exactly "a.b.c.d" as this program writes it: each part 0-255, no sign, space or leading
// zero, nothing after.
static bool ParseAddress(const std::wstring& text, uint32_t& address)
{
    unsigned parts[4];
    wchar_t rest = 0;
    if (text.size() > 15 ||
        std::swscanf(text.c_str(), L"%3u.%3u.%3u.%3u%lc", &parts[0], &parts[1], &parts[2], &parts[3], &rest) != 4)
        return false;
    address = 0;
    for (unsigned part : parts) {
        if (part > 255) return false;
        address = (address << 8) | part;
    }
    return text == DottedAddress(address);
}

static int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// Exactly "0a-1b-2c-3d-4e-5f", lower case.
static bool ParseMac(const std::wstring& text, uint8_t (&mac)[6])
{
    if (text.size() != 17) return false;
    for (size_t i = 0; i < 6; ++i) {
        const int high = HexValue(text[3 * i]), low = HexValue(text[3 * i + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[3 * i + 2] != L'-')) return false;
        mac[i] = uint8_t(high * 16 + low);
    }
    return true;
}

// Decimal digits only, at most twenty.
static bool ParseTime(const std::wstring& text, uint64_t& time)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    time = 0;
    for (wchar_t digit : text) {
        const uint64_t next = time * 10 + uint64_t(digit - L'0');
        if (next / 10 != time) return false;  // past 64 bits
        time = next;
    }
    return true;
}

static std::wstring CleanName(const std::wstring& name) { return CutToCharacters(OneLine(name), LONGEST_NAME); }

bool ParseTrustedPhone(const std::wstring& text, TrustedPhone& phone)
{
    phone = TrustedPhone{};
    const size_t tab = text.find(L'\t');
    const std::wstring device = text.substr(0, tab);
    const size_t space = device.find(L' ');
    if (!ParseAddress(device.substr(0, space), phone.address)) return false;
    if (space != std::wstring::npos && !(phone.macKnown = ParseMac(device.substr(space + 1), phone.mac))) return false;
    if (tab == std::wstring::npos) return true;  // written before times and names were kept
    const size_t nameTab = text.find(L'\t', tab + 1);
    if (!ParseTime(text.substr(tab + 1, nameTab == std::wstring::npos ? std::wstring::npos : nameTab - tab - 1),
                   phone.lastConnected))
        return false;
    if (nameTab == std::wstring::npos) return true;
    const std::wstring name = text.substr(nameTab + 1);
    if (name.size() < 2 || (name[0] != L'g' && name[0] != L'l')) return false;
    phone.name = CleanName(name.substr(1));
    phone.nameGiven = name[0] == L'g' && !phone.name.empty();
    return true;
}

std::wstring FormatHardwareAddress(const uint8_t (&mac)[6])
{
    wchar_t text[18];
    std::swprintf(text, 18, L"%02x-%02x-%02x-%02x-%02x-%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

std::wstring FormatTrustedPhone(const TrustedPhone& phone)
{
    std::wstring entry = DottedAddress(phone.address);
    if (phone.macKnown) entry += L" " + FormatHardwareAddress(phone.mac);
    entry += L"\t" + std::to_wstring(phone.lastConnected);
    if (!phone.name.empty()) entry += std::wstring(L"\t") + (phone.nameGiven ? L'g' : L'l') + phone.name;
    return entry;
}

TrustedList ParseTrustedList(const std::wstring& stored)
{
    TrustedList list;
    for (size_t start = 0, end; start < stored.size() && stored[start]; start = end + 1) {
        end = stored.find(L'\0', start);
        if (end == std::wstring::npos) end = stored.size();  // an unterminated last entry
        const std::wstring entry = stored.substr(start, end - start);
        TrustedPhone phone;
        if (ParseTrustedPhone(entry, phone))
            list.phones.push_back(phone);
        else
            list.unreadable.push_back(entry);
    }
    return list;
}

std::wstring FormatTrustedList(const TrustedList& list)
{
    std::wstring stored;
    for (const TrustedPhone& phone : list.phones) stored += FormatTrustedPhone(phone) + L'\0';
    for (const std::wstring& entry : list.unreadable) stored += entry + L'\0';
    stored.push_back(L'\0');
    return stored;
}

static bool VouchesFor(const TrustedPhone& phone, const Device& device)
{
    if (phone.address != device.address) return false;
    if (phone.macKnown) return device.macKnown && std::memcmp(phone.mac, device.mac, sizeof phone.mac) == 0;
    return !device.onOwnNetwork;
}

bool IsRemembered(const std::vector<TrustedPhone>& phones, const Device& device)
{
    for (const TrustedPhone& phone : phones)
        if (VouchesFor(phone, device)) return true;
    return false;
}

bool SameEntry(const TrustedPhone& a, const TrustedPhone& b)
{
    return a.address == b.address && a.macKnown == b.macKnown &&
           (!a.macKnown || std::memcmp(a.mac, b.mac, sizeof a.mac) == 0);
}

bool NoteConnected(TrustedList& list, const Device& device, uint64_t now)
{
    bool found = false;
    for (TrustedPhone& phone : list.phones)
        if (VouchesFor(phone, device)) {
            phone.lastConnected = now;
            found = true;
        }
    return found;
}

TrustedPhone EntryOf(const Device& device)
{
    TrustedPhone phone = {device.address, device.macKnown, {}, 0, {}, false};
    std::memcpy(phone.mac, device.mac, sizeof phone.mac);
    return phone;
}

void AddTrustedPhone(TrustedList& list, const Device& device, uint64_t now, const std::wstring& lookedUpName)
{
    if (device.macKnown)
        for (size_t i = list.phones.size(); i-- > 0;)
            if (list.phones[i].address == device.address && !list.phones[i].macKnown)
                list.phones.erase(list.phones.begin() + std::ptrdiff_t(i));
    if (!NoteConnected(list, device, now)) {
        TrustedPhone phone = EntryOf(device);
        phone.lastConnected = now;
        list.phones.push_back(phone);
    }
    if (!lookedUpName.empty()) (void)NamePhone(list, EntryOf(device), lookedUpName, false);
    while (list.phones.size() > MOST_TRUSTED_PHONES) {
        size_t oldest = 0;
        for (size_t i = 1; i < list.phones.size(); ++i)
            if (list.phones[i].lastConnected < list.phones[oldest].lastConnected) oldest = i;
        list.phones.erase(list.phones.begin() + std::ptrdiff_t(oldest));
    }
}

// Names one entry; false when nothing changed.
static bool Name(TrustedPhone& phone, const std::wstring& name, bool given)
{
    if (phone.nameGiven && !given) return false;
    const std::wstring cut = CleanName(name);
    if (phone.name == cut && phone.nameGiven == (given && !cut.empty())) return false;
    phone.name = cut;
    phone.nameGiven = given && !cut.empty();  // an emptied name may be looked up again
    return true;
}

bool NamePhone(TrustedList& list, const TrustedPhone& entry, const std::wstring& name, bool given)
{
    for (TrustedPhone& phone : list.phones)
        if (SameEntry(phone, entry)) return Name(phone, name, given);
    return false;
}

bool DropFromList(TrustedList& list, const TrustedPhone& entry)
{
    for (auto phone = list.phones.begin(); phone != list.phones.end(); ++phone)
        if (SameEntry(*phone, entry)) {
            list.phones.erase(phone);
            return true;
        }
    return false;
}

std::wstring NameFromHostName(const std::wstring& hostName)
{
    if (hostName.empty() || hostName.find_first_not_of(L"0123456789.") == std::wstring::npos) return L"";
    return CleanName(hostName.substr(0, hostName.find(L'.')));
}

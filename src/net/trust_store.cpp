#include "net/trust_store.h"

#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstring>
#include <string>

#include "net/wire.h"

static const wchar_t TRUSTED_VALUE[] = L"Trusted phones";
// Far more than anyone allows; a larger value is not this program's.
constexpr DWORD MOST_STORED_BYTES = 64 * 1024;
constexpr ULONGLONG REFUSAL_MS = 60 * 1000;

Device SeeDevice(in_addr address)
{
    Device device = {ntohl(address.s_addr), false, {}};
    MIB_IPNET_TABLE2* table = nullptr;
    if (GetIpNetTable2(AF_INET, &table) != NO_ERROR) return device;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPNET_ROW2& row = table->Table[i];
        if (row.Address.Ipv4.sin_addr.s_addr != address.s_addr || row.PhysicalAddressLength != sizeof device.mac ||
            row.State == NlnsUnreachable || row.State == NlnsIncomplete)
            continue;
        std::memcpy(device.mac, row.PhysicalAddress, sizeof device.mac);
        device.macKnown = true;
        break;
    }
    FreeMibTable(table);
    return device;
}

std::vector<TrustedPhone> ReadTrustedPhones()
{
    std::vector<TrustedPhone> trusted;
    std::wstring stored(MOST_STORED_BYTES / sizeof(wchar_t), L'\0');
    DWORD size = MOST_STORED_BYTES;
    if (RegGetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, TRUSTED_VALUE, RRF_RT_REG_MULTI_SZ, nullptr, &stored[0],
                     &size) != ERROR_SUCCESS)
        return trusted;
    stored.resize(size / sizeof(wchar_t));
    for (size_t start = 0, end; start < stored.size() && stored[start]; start = end + 1) {
        end = stored.find(L'\0', start);
        if (end == std::wstring::npos) break;
        const std::wstring wide = stored.substr(start, end - start);
        TrustedPhone phone;
        // Entries are plain ASCII; any other character makes the entry foreign.
        const bool ascii = wide.find_first_not_of(L" -.0123456789abcdef") == std::wstring::npos;
        if (ascii && ParseTrustedPhone(std::string(wide.begin(), wide.end()), phone)) trusted.push_back(phone);
    }
    return trusted;
}

static void StoreTrustedPhones(const std::vector<TrustedPhone>& trusted)
{
    std::wstring stored;
    for (const TrustedPhone& phone : trusted) {
        const std::string entry = FormatTrustedPhone(phone);
        stored.append(entry.begin(), entry.end());
        stored.push_back(L'\0');
    }
    stored.push_back(L'\0');
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;  // not remembered: the device is asked about again next time
    (void)RegSetValueExW(key, TRUSTED_VALUE, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(stored.data()),
                         DWORD(stored.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

void RememberPhone(const Device& device)
{
    std::vector<TrustedPhone> trusted = ReadTrustedPhones();
    if (IsRemembered(trusted, device)) return;
    TrustedPhone phone = {device.address, device.macKnown, {}};
    std::memcpy(phone.mac, device.mac, sizeof phone.mac);
    trusted.push_back(phone);
    StoreTrustedPhones(trusted);
}

void ForgetTrustedPhones() { (void)RegDeleteKeyValueW(HKEY_CURRENT_USER, SETTINGS_KEY, TRUSTED_VALUE); }

struct Refusal {
    uint32_t address;
    ULONGLONG at;
};
static std::vector<Refusal> refusals;

static void ForgetOldRefusals()
{
    const ULONGLONG now = GetTickCount64();
    for (size_t i = refusals.size(); i-- > 0;)
        if (now - refusals[i].at >= REFUSAL_MS) refusals.erase(refusals.begin() + std::ptrdiff_t(i));
}

void NoteRefused(in_addr address)
{
    ForgetOldRefusals();
    refusals.push_back({address.s_addr, GetTickCount64()});
}

bool RefusedRecently(in_addr address)
{
    ForgetOldRefusals();
    for (const Refusal& refusal : refusals)
        if (refusal.address == address.s_addr) return true;
    return false;
}

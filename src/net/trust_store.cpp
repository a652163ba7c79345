#include "net/trust_store.h"

#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstring>
#include <string>

#include "base/wire.h"

static const wchar_t TRUSTED_VALUE[] = L"Trusted phones";

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

// The stored value, whatever its size; false when it cannot be read (ERROR_FILE_NOT_FOUND in
// error when there is none).
static bool ReadStoredList(std::wstring& stored, LSTATUS& error)
{
    DWORD size = 0;
    error = RegGetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, TRUSTED_VALUE, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size);
    // The value may grow between the calls: a few tries at the size asked for.
    for (int tries = 0; error == ERROR_SUCCESS || (error == ERROR_MORE_DATA && tries < 4); ++tries) {
        stored.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = DWORD(stored.size() * sizeof(wchar_t));
        error = RegGetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, TRUSTED_VALUE, RRF_RT_REG_MULTI_SZ, nullptr, &stored[0],
                             &size);
        if (error == ERROR_SUCCESS) {
            stored.resize(size / sizeof(wchar_t));
            return true;
        }
    }
    return false;
}

std::vector<TrustedPhone> ReadTrustedPhones()
{
    std::wstring stored;
    LSTATUS error;
    return ReadStoredList(stored, error) ? ParseTrustedList(stored) : std::vector<TrustedPhone>();
}

bool RememberPhone(const Device& device)
{
    std::wstring stored;
    LSTATUS error;
    // A value that cannot be read (of another type, or damaged) is never overwritten by a list
    // that would lack what it held.
    if (!ReadStoredList(stored, error) && error != ERROR_FILE_NOT_FOUND) return false;
    std::vector<TrustedPhone> trusted = ParseTrustedList(stored);
    if (!AddTrustedPhone(trusted, device)) return true;  // remembered already
    const std::wstring list = FormatTrustedList(trusted);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS written = RegSetValueExW(key, TRUSTED_VALUE, 0, REG_MULTI_SZ,
                                           reinterpret_cast<const BYTE*>(list.data()),
                                           DWORD(list.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

void ForgetTrustedPhones() { (void)RegDeleteKeyValueW(HKEY_CURRENT_USER, SETTINGS_KEY, TRUSTED_VALUE); }

static std::vector<Refusal> refusals;

void NoteRefused(in_addr address) { NoteRefusal(refusals, address.s_addr, GetTickCount64()); }

bool RefusedRecently(in_addr address) { return RefusedRecently(refusals, address.s_addr, GetTickCount64()); }

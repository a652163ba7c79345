#include "net/trust_store.h"

#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstring>
#include <memory>
#include <new>

#include "base/owned.h"
#include "base/ui_thread.h"
#include "base/unix_time.h"
#include "base/wire.h"
#include "net/trust.h"

static const wchar_t TRUSTED_VALUE[] = L"Trusted phones";

// Whether the address is on one of the PC's own networks: reached without a gateway, not loopback.
// A route that cannot be read counts as one, on no interface: there only a hardware address
// vouches, and none can be read, so the device is asked about and never remembered.
static bool AskTheRoute(uint32_t address, NET_LUID& interfaceLuid)
{
    if ((address >> 24) == 127) return false;
    SOCKADDR_INET destination = {};
    destination.Ipv4.sin_family = AF_INET;
    destination.Ipv4.sin_addr.s_addr = htonl(address);
    MIB_IPFORWARD_ROW2 route = {};
    SOCKADDR_INET source = {};
    interfaceLuid = NET_LUID{};
    if (GetBestRoute2(nullptr, 0, nullptr, &destination, 0, &route, &source) != NO_ERROR) return true;
    interfaceLuid = route.InterfaceLuid;
    return route.NextHop.Ipv4.sin_addr.s_addr == 0 && route.InterfaceLuid.Info.IfType != IF_TYPE_SOFTWARE_LOOPBACK;
}

bool (*routeToDevice)(uint32_t address, NET_LUID& interfaceLuid) = AskTheRoute;
NETIO_STATUS(WINAPI* resolveNeighbour)(PMIB_IPNET_ROW2 row, const SOCKADDR_INET* source) = ResolveIpNetEntry2;

// The hardware address in the neighbour table, where it holds one for the address on the interface
// the route leaves through: another adapter's row for the same address (Wi-Fi beside Ethernet, a
// virtual switch, a VPN) is another network's device.
static void ReadNeighbourTable(uint32_t address, const NET_LUID& interfaceLuid, Device& device)
{
    MIB_IPNET_TABLE2* table = nullptr;
    if (GetIpNetTable2(AF_INET, &table) != NO_ERROR) return;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPNET_ROW2& row = table->Table[i];
        if (row.Address.Ipv4.sin_addr.s_addr != htonl(address) || row.InterfaceLuid.Value != interfaceLuid.Value ||
            row.PhysicalAddressLength != sizeof device.mac || row.State == NlnsUnreachable ||
            row.State == NlnsIncomplete)
            continue;
        std::memcpy(device.mac, row.PhysicalAddress, sizeof device.mac);
        device.macKnown = true;
        break;
    }
    FreeMibTable(table);
}

// The device as SeeDevice sees it, with the interface its route leaves through.
static Device SeeDeviceOn(uint32_t address, NET_LUID& interfaceLuid)
{
    Device device = {address, false, {}};
    device.onOwnNetwork = routeToDevice(address, interfaceLuid);
    ReadNeighbourTable(address, interfaceLuid, device);
    return device;
}

Device SeeDevice(uint32_t address)
{
    NET_LUID interfaceLuid = {};
    return SeeDeviceOn(address, interfaceLuid);
}

// Every Forget so far, counted, the latest with what they forgot: a device whose hardware address
// was still being learnt when it was forgotten is not written back once it is learnt.
static uint64_t forgets = 0;
struct Forgetting {
    uint64_t number;
    bool all;
    uint32_t address;
};
static std::vector<Forgetting> lastForgets;
constexpr size_t MOST_FORGETS_KEPT = 16;

static void NoteForgetting(bool all, uint32_t address)
{
    if (lastForgets.size() == MOST_FORGETS_KEPT) lastForgets.erase(lastForgets.begin());
    lastForgets.push_back({++forgets, all, address});
}

// Whether the device was forgotten after the forget numbered since; where that is no longer known,
// it counts as forgotten.
static bool ForgottenSince(uint64_t since, uint32_t address)
{
    if (since == forgets) return false;
    if (lastForgets.front().number > since + 1) return true;
    for (const Forgetting& forgetting : lastForgets)
        if (forgetting.number > since && (forgetting.all || forgetting.address == address)) return true;
    return false;
}

namespace {

struct Learning {
    uint32_t address;
    uint64_t since;  // the forgets counted when the lookup started
    std::function<void(const Device&)> learnt;
};

// The neighbour lookup names the interface: without one Windows refuses it.
DWORD WINAPI Learn(void* argument)
{
    const std::unique_ptr<Learning> learning(static_cast<Learning*>(argument));
    NET_LUID interfaceLuid = {};
    Device device = SeeDeviceOn(learning->address, interfaceLuid);
    if (!device.macKnown && device.onOwnNetwork && interfaceLuid.Value != 0) {  // no route: nothing to ask
        MIB_IPNET_ROW2 row = {};
        row.InterfaceLuid = interfaceLuid;
        row.Address.Ipv4.sin_family = AF_INET;
        row.Address.Ipv4.sin_addr.s_addr = htonl(learning->address);
        if (resolveNeighbour(&row, nullptr) == NO_ERROR && row.PhysicalAddressLength == sizeof device.mac) {
            std::memcpy(device.mac, row.PhysicalAddress, sizeof device.mac);
            device.macKnown = true;
        }
    }
    (void)RunOnUiThread([device, since = learning->since, learnt = std::move(learning->learnt)] {
        if (!ForgottenSince(since, device.address)) learnt(device);
    });
    return 0;
}

}  // namespace

void LearnDevice(uint32_t address, std::function<void(const Device&)> learnt)
{
    auto* learning = new (std::nothrow) Learning{address, forgets, std::move(learnt)};
    // It ends by itself, with its word handed over; its handle is not kept.
    if (OwnedHandle(learning ? CreateThread(nullptr, 0, Learn, learning, 0, nullptr) : nullptr)) return;
    Device device = SeeDevice(address);  // no worker: what the table holds now
    if (learning) learning->learnt(device);
    delete learning;
}

// The stored value, whatever its size; false when it cannot be read (ERROR_FILE_NOT_FOUND in
// error when there is none, ERROR_UNSUPPORTED_TYPE for a value of another type).
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

// The list as stored, or none at all; false when the value is there but cannot be read.
static bool ReadList(TrustedList& list, LSTATUS& error)
{
    std::wstring stored;
    if (ReadStoredList(stored, error)) {
        list = ParseTrustedList(stored);
        return true;
    }
    list = TrustedList{};
    return error == ERROR_FILE_NOT_FOUND;
}

static void (*tellChanged)() = nullptr;

// In its own turn: a change made while the list's window ends an edit is shown after it.
static void TellListChanged()
{
    if (tellChanged) (void)RunOnUiThread(tellChanged);
}

static bool WriteList(const TrustedList& list)
{
    const std::wstring stored = FormatTrustedList(list);
    OwnedKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS written = RegSetValueExW(key.get(), TRUSTED_VALUE, 0, REG_MULTI_SZ,
                                           reinterpret_cast<const BYTE*>(stored.data()),
                                           DWORD(stored.size() * sizeof(wchar_t)));
    if (written != ERROR_SUCCESS) return false;
    TellListChanged();
    return true;
}

// Reads the list, changes it and writes it back when the change says it changed; true only then.
// A value that cannot be read is never overwritten by a list that would lack what it held.
template <typename Change>
static bool UpdateList(Change change)
{
    TrustedList list;
    LSTATUS error;
    return ReadList(list, error) && change(list) && WriteList(list);
}

std::vector<TrustedPhone> ReadTrustedPhones()
{
    TrustedList list;
    LSTATUS error;
    (void)ReadList(list, error);  // unreadable: nobody is remembered
    return list.phones;
}

static uint64_t Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return SecondsSince1970(now);
}

Remembered RememberDevice(const Device& device, const std::wstring& lookedUpName)
{
    if (device.onOwnNetwork && !device.macKnown) return Remembered::NoHardwareAddress;
    TrustedList list;
    LSTATUS error;
    if (!ReadList(list, error)) return error == ERROR_UNSUPPORTED_TYPE ? Remembered::ForeignValue : Remembered::Failed;
    AddTrustedPhone(list, device, Now(), lookedUpName);
    return WriteList(list) ? Remembered::Yes : Remembered::Failed;
}

void NoteConnectedNow(uint32_t address)
{
    const Device device = SeeDevice(address);
    (void)UpdateList([&](TrustedList& list) { return NoteConnected(list, device, Now()); });
}

void NoteLookedUpName(const Device& device, const std::wstring& name)
{
    (void)UpdateList([&](TrustedList& list) { return NamePhone(list, EntryOf(device), name, false); });
}

bool RenamePhone(const TrustedPhone& entry, const std::wstring& name)
{
    return UpdateList([&](TrustedList& list) { return NamePhone(list, entry, name, true); });
}

bool ForgetStoredPhone(const TrustedPhone& entry)
{
    NoteForgetting(false, entry.address);
    return UpdateList([&](TrustedList& list) { return DropFromList(list, entry); });
}

void ForgetTrustedPhones()
{
    NoteForgetting(true, 0);
    (void)RegDeleteKeyValueW(HKEY_CURRENT_USER, SETTINGS_KEY, TRUSTED_VALUE);
    TellListChanged();
}

void WatchTrustedList(void (*changed)()) { tellChanged = changed; }

static std::vector<Refusal> refusals;

void NoteRefused(uint32_t address) { NoteRefusal(refusals, address, GetTickCount64()); }

bool RefusedRecently(uint32_t address) { return RefusalHolds(refusals, address, GetTickCount64()); }

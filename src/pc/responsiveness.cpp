#include "pc/responsiveness.h"

#include <vector>

#include "base/loaded_functions.h"

static bool LoadFromSystemFolder(WlanFunctions& functions)
{
    functions = {Load(WLAN_OPEN_HANDLE), Load(WLAN_ENUM_INTERFACES), Load(WLAN_QUERY_INTERFACE),
                 Load(WLAN_SET_INTERFACE), Load(WLAN_CLOSE_HANDLE), Load(WLAN_FREE_MEMORY)};
    return functions.open && functions.enumerate && functions.query && functions.set && functions.close &&
           functions.freeMemory;
}

bool (*loadWlan)(WlanFunctions& functions) = LoadFromSystemFolder;

BOOL(WINAPI* setProcessInformation)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD) = Load(SET_PROCESS_INFORMATION);

namespace {

// One adapter's setting as it was before the phone: put back as it was read, and only then.
struct Setting {
    GUID adapter;
    WLAN_INTF_OPCODE opcode;
    BOOL before;
};

WlanFunctions wlan;
HANDLE client = nullptr;  // held while a phone is served
std::vector<Setting> changed;
bool served = false;

bool Read(const GUID& adapter, WLAN_INTF_OPCODE opcode, BOOL& value)
{
    DWORD size = 0;
    void* data = nullptr;
    if (wlan.query(client, &adapter, opcode, nullptr, &size, &data, nullptr) != ERROR_SUCCESS || !data) return false;
    const bool read = size >= sizeof value;
    if (read) value = *static_cast<const BOOL*>(data);
    wlan.freeMemory(data);
    return read;
}

bool Write(const GUID& adapter, WLAN_INTF_OPCODE opcode, BOOL value)
{
    return wlan.set(client, &adapter, opcode, sizeof value, &value, nullptr) == ERROR_SUCCESS;
}

// Sets the adapter's setting to wanted, remembering what it was; a setting that cannot be read is
// left alone, since it could not be put back.
void Change(const GUID& adapter, WLAN_INTF_OPCODE opcode, BOOL wanted)
{
    BOOL before = FALSE;
    if (!Read(adapter, opcode, before) || before == wanted || !Write(adapter, opcode, wanted)) return;
    changed.push_back({adapter, opcode, before});
}

void KeepWifiAwake()
{
    if (!loadWlan(wlan)) return;
    DWORD version = 0;
    if (wlan.open(2, nullptr, &version, &client) != ERROR_SUCCESS) {
        client = nullptr;
        return;
    }
    WLAN_INTERFACE_INFO_LIST* adapters = nullptr;
    if (wlan.enumerate(client, nullptr, &adapters) != ERROR_SUCCESS || !adapters) return;
    for (DWORD i = 0; i < adapters->dwNumberOfItems; ++i) {
        const GUID adapter = adapters->InterfaceInfo[i].InterfaceGuid;
        Change(adapter, wlan_intf_opcode_media_streaming_mode, TRUE);
        Change(adapter, wlan_intf_opcode_background_scan_enabled, FALSE);
    }
    wlan.freeMemory(adapters);
}

void LetWifiRest()
{
    if (!client) return;
    for (const Setting& setting : changed) (void)Write(setting.adapter, setting.opcode, setting.before);
    changed.clear();
    (void)wlan.close(client, nullptr);
    client = nullptr;
}

// Served: execution speed is in the control mask and not in the state, so Windows never slows the
// process; otherwise the control mask is empty, and Windows decides as it does by default.
void LetWindowsThrottle(bool throttled)
{
    PROCESS_POWER_THROTTLING_STATE state = {PROCESS_POWER_THROTTLING_CURRENT_VERSION,
                                            throttled ? 0u : PROCESS_POWER_THROTTLING_EXECUTION_SPEED, 0};
    if (setProcessInformation)
        (void)setProcessInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
}

}  // namespace

void KeepResponsive(bool phoneServed)
{
    if (phoneServed == served) return;
    served = phoneServed;
    if (served)
        KeepWifiAwake();
    else
        LetWifiRest();
    LetWindowsThrottle(!served);
}

// What the user sees of the phone, through the window's labels and the tray's records, and what a
// served phone changes on the PC, through stand-ins for the WLAN service and power throttling
// (Wine's WLAN service lists no adapter and refuses the throttling call).
#include <winsock2.h>
#include <windows.h>
#include <wtsapi32.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/messages.h"
#include "app/window.h"
#include "pc/responsiveness.h"
#include "resources/resource.h"
#include "support/net_fixture.h"
#include "support/win_test_support.h"

namespace {

// Two adapters, streaming off and scanning on; the second cannot read its streaming mode.
constexpr WLAN_INTF_OPCODE STREAMING = wlan_intf_opcode_media_streaming_mode;
BOOL settings[2][2];  // by adapter, then streaming and scanning
int openHandles = 0;
ULONG throttleControl = ~0u, throttleState = ~0u;

bool LoadStandIn(WlanFunctions& f)
{
    f.open = [](DWORD, PVOID, PDWORD, PHANDLE client) -> DWORD { return *client = reinterpret_cast<HANDLE>(INT_PTR(++openHandles)), 0; };
    f.close = [](HANDLE, PVOID) -> DWORD { return --openHandles, 0; };
    f.freeMemory = [](PVOID memory) { std::free(memory); };
    f.enumerate = [](HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST* list) -> DWORD {
        *list = static_cast<WLAN_INTERFACE_INFO_LIST*>(
            std::calloc(1, sizeof(WLAN_INTERFACE_INFO_LIST) + 2 * sizeof(WLAN_INTERFACE_INFO)));
        (*list)->dwNumberOfItems = 2;
        (*list)->InterfaceInfo[1].InterfaceGuid.Data1 = 1;
        return 0;
    };
    f.query = [](HANDLE, const GUID* adapter, WLAN_INTF_OPCODE opcode, PVOID, PDWORD size, PVOID* data,
                 PWLAN_OPCODE_VALUE_TYPE) -> DWORD {
        if (adapter->Data1 == 1 && opcode == STREAMING) return ERROR_NOT_SUPPORTED;
        *data = std::malloc(*size = sizeof(BOOL));
        *static_cast<BOOL*>(*data) = settings[adapter->Data1][opcode != STREAMING];
        return 0;
    };
    f.set = [](HANDLE, const GUID* adapter, WLAN_INTF_OPCODE opcode, DWORD, const PVOID data, PVOID) -> DWORD {
        return settings[adapter->Data1][opcode != STREAMING] = *static_cast<const BOOL*>(data), 0;
    };
    return true;
}

BOOL WINAPI RecordThrottling(HANDLE, PROCESS_INFORMATION_CLASS kind, LPVOID value, DWORD size)
{
    const auto* state = static_cast<PROCESS_POWER_THROTTLING_STATE*>(value);
    if (kind != ProcessPowerThrottling || size != sizeof *state) return FALSE;
    throttleControl = state->ControlMask, throttleState = state->StateMask;
    return TRUE;
}

class PhoneStatusTest : public NetTest {
protected:
    void SetUp() override
    {
        for (auto& adapter : settings) adapter[0] = FALSE, adapter[1] = TRUE;
        loadWlan = LoadStandIn;
        setProcessInformation = RecordThrottling;
        NetTest::SetUp();
    }
    void TearDown() override
    {
        NetTest::TearDown();
        loadWlan = savedLoad;
        setProcessInformation = savedThrottle;
    }
    static void Notice(WPARAM event) { SendMessageW(statusWindow.window, WM_WTSSESSION_CHANGE, event, 1); }
    static HICON TrayPicture() { return TrayCallsSoFar().empty() ? nullptr : TrayCallsSoFar().back().record.hIcon; }

    decltype(loadWlan) savedLoad = loadWlan;
    decltype(setProcessInformation) savedThrottle = setProcessInformation;
};

// Served: the first adapter streams and stops scanning, the second keeps the streaming mode it
// could not read (and scans no more), the WLAN handle is held and the process is not throttled.
// Not served: every setting as it was read, the handle closed, throttling left to Windows.
TEST_F(PhoneStatusTest, ThePcIsKeptQuickOnlyWhileAPhoneIsServedAndPutBackAfter)
{
    SOCKET phone = INVALID_SOCKET;
    HICON connectedPicture = nullptr;
    const struct {
        const char* step;
        std::function<void()> act;
        bool served;
    } steps[] = {
        {"a phone connects", [&] { phone = Connect(); connectedPicture = TrayPicture(); }, true},
        {"paused", [&] { Proc(WM_COMMAND, IDM_PAUSE); }, false},
        {"resumed", [&] { Proc(WM_COMMAND, IDM_PAUSE); }, true},
        {"locked", [] { Notice(WTS_SESSION_LOCK); }, false},
        {"unlocked", [] { Notice(WTS_SESSION_UNLOCK); }, true},
        {"the phone leaves", [&] { closesocket(phone); ExpectNotConnectedAfterMonitor(); }, false},
        {"another connects", [&] { phone = Connect(); }, true},
        {"another user at the screen", [] { Notice(WTS_CONSOLE_DISCONNECT); }, false},
    };
    for (const auto& step : steps) {
        step.act();
        // The second adapter's streaming mode, which could not be read, is never changed.
        const BOOL served = step.served, expected[2][2] = {{served, !served}, {FALSE, !served}};
        EXPECT_EQ(std::memcmp(settings, expected, sizeof settings), 0) << step.step;
        EXPECT_EQ(openHandles, step.served ? 1 : 0) << step.step;
        EXPECT_EQ(throttleControl, step.served ? ULONG(PROCESS_POWER_THROTTLING_EXECUTION_SPEED) : 0u) << step.step;
        EXPECT_EQ(throttleState, 0u) << step.step;
    }

    // Away with a phone connected: no address, no connected picture, and the tip says why.
    EXPECT_EQ(Label(StatusValue::PhoneAddress), L"0.0.0.0");
    EXPECT_NE(TrayPicture(), connectedPicture);
    EXPECT_NE(LastTrayTip().find(Label(StatusValue::Connection)), std::wstring::npos);

    // Back while another program holds the port: said, with neither address nor picture, until
    // the retry takes the port.
    const sockaddr_in port = {AF_INET, htons(4026), {}, {}};
    SOCKET other = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(bind(other, reinterpret_cast<const sockaddr*>(&port), sizeof port), 0);
    Notice(WTS_CONSOLE_CONNECT);
    EXPECT_EQ(Label(StatusValue::Connection), L"Port 4026 is in use by another program");
    EXPECT_EQ(Label(StatusValue::PhoneAddress), L"0.0.0.0");
    EXPECT_NE(TrayPicture(), connectedPicture);
    EXPECT_NE(LastTrayTip().find(L"NOT CONNECTED"), std::wstring::npos);
    closesocket(other);
    closesocket(phone);
    Proc(WM_TIMER, PORT_RETRY_TIMER_ID);
    EXPECT_EQ(Label(StatusValue::Connection), L"Not connected");
}

}  // namespace

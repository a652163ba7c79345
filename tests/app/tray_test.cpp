// The tray records as the shell receives them.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/status_window.h"
#include "app/messages.h"
#include "app/tray.h"
#include "app/link_label.h"
#include "net/network_category.h"
#include "net/connection.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/net_fixture.h"
#include "support/win_test_support.h"

namespace {

using TrayTest = AppTest;

TEST_F(TrayTest, IconsHaveTheSizeTheNotificationAreaAsksFor)
{
    for (HICON icon : {notConnectedRecord.hIcon, connectedRecord.hIcon}) {
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour;
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST_F(TrayTest, ANewNotificationAreaGetsTheIconAgainWithItsCurrentLook)
{
    ApplyTrayRecordWithBalloon(connectedRecord, L"iPod/iPhone connected");
    ClearTrayCalls();
    Send(RegisterWindowMessageW(L"TaskbarCreated"));
    Send(WM_DPICHANGED, MAKEWPARAM(192, 192));
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_ADD));
    EXPECT_EQ(calls[1].message, DWORD(NIM_MODIFY));
    for (const auto& call : calls) {
        EXPECT_STREQ(call.record.szTip, L"Quorvane Palvenor Server for Windows - CONNECTED");
        EXPECT_EQ(call.record.uFlags & NIF_INFO, 0u) << "the balloon came again";
        EXPECT_EQ(call.record.uID, 101u);
    }
    EXPECT_EQ(calls.back().record.hIcon, connectedRecord.hIcon) << "icons loaded anew at the new scale";
}

TEST_F(TrayTest, AddingShowsNoBalloonAndRemovingUsesTheSharedIdentity)
{
    AddTrayIcon();
    ApplyTrayRecordWithBalloon(connectedRecord, L"iPod/iPhone connected");
    RemoveTrayIcon();
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_ADD));
    EXPECT_EQ(calls[0].record.hIcon, notConnectedRecord.hIcon);
    EXPECT_STREQ(calls[0].record.szInfo, L"");
    EXPECT_EQ(calls[1].message, DWORD(NIM_MODIFY));
    EXPECT_EQ(calls[1].record.hIcon, connectedRecord.hIcon);
    EXPECT_STREQ(calls[1].record.szInfo, L"iPod/iPhone connected");
    EXPECT_EQ(calls[2].message, DWORD(NIM_DELETE));
    EXPECT_EQ(calls[2].record.hWnd, statusWindow.window);
    EXPECT_EQ(calls[2].record.uID, 101u);
}

TEST_F(TrayTest, EveryApplicationCarriesTheTextLastWritten)
{
    ApplyTrayRecord(notConnectedRecord);
    ApplyTrayRecordWithBalloon(notConnectedRecord, L"first");
    ApplyTrayRecord(notConnectedRecord);
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_STREQ(calls[0].record.szInfo, L"");
    EXPECT_STREQ(calls[1].record.szInfo, L"first");
    EXPECT_STREQ(calls[2].record.szInfo, L"first");
}

TEST_F(TrayTest, LongBalloonTextIsCutToTheField)
{
    const std::wstring text(400, L'x');
    ApplyTrayRecordWithBalloon(notConnectedRecord, text.c_str());
    EXPECT_EQ(std::wstring(notConnectedRecord.szInfo), text.substr(0, 255));
    EXPECT_EQ(notConnectedRecord.hBalloonIcon, nullptr) << "written past szInfo";
}

// The network the stand-in says Windows treats as public; none while its first word is zero.
GUID publicNetwork = {};
bool StandInNetworkIsPublic(GUID& network)
{
    network = publicNetwork;
    return publicNetwork.Data1 != 0;
}

std::vector<std::wstring> openedPages;
void RecordOpenedPage(const wchar_t* address) { openedPages.push_back(address); }

TEST_F(TrayTest, APublicNetworkIsToldOnceEachAndTheBalloonOpensNetworkSettings)
{
    defaultRouteNetworkIsPublic = StandInNetworkIsPublic;
    openWebPage = RecordOpenedPage;
    const wchar_t warning[] = L"Windows treats this network as public, so phones cannot reach this PC. To use "
                              L"Palvenor here, make it a private network in Windows Settings.";
    const struct {
        unsigned long network;  // 0: private
        bool told;
    } changes[] = {{0, false}, {1, true}, {1, false}, {2, true}, {0, false}, {1, false}};
    for (const auto& change : changes) {
        publicNetwork = GUID{change.network, 0, 0, {0}};
        ClearTrayCalls();
        Proc(WM_ADDRESS_CHANGED);
        const auto calls = TrayCallsSoFar();
        ASSERT_EQ(calls.size(), change.told ? 1u : 0u) << "network " << change.network;
        for (const auto& call : calls) EXPECT_STREQ(call.record.szInfo, warning);
    }
    Proc(WM_TRAY_CALLBACK, TRAY_ICON_ID, NIN_BALLOONUSERCLICK);
    ApplyTrayRecordWithBalloon(connectedRecord, L"iPod/iPhone connected");
    Proc(WM_TRAY_CALLBACK, TRAY_ICON_ID, NIN_BALLOONUSERCLICK);  // another balloon's click opens nothing
    EXPECT_EQ(openedPages, std::vector<std::wstring>{L"ms-settings:network-status"});
    publicNetwork = GUID{};
}

// Opens the tray menu as a right press on the icon does, reads the state of "Disconnect" while it
// is open, and closes it as the user would with Escape.
UINT DisconnectStateInTheOpenMenu()
{
    std::atomic<UINT> state{0xFFFFFFFFu};
    std::thread user([&] {
        for (int i = 0; i < 100 && state == 0xFFFFFFFFu; ++i) {
            // Popup menus are windows of class #32768; an earlier one may linger hidden.
            for (HWND menu = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); menu;
                 menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
                if (!IsWindowVisible(menu)) continue;
                HMENU shown = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                if (shown) state = GetMenuState(shown, IDM_DISCONNECT, MF_BYCOMMAND);
            }
            Sleep(50);
        }
        keybd_event(VK_ESCAPE, 0, 0, 0);
        keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    });
    StatusWindowProc(statusWindow.window, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_RBUTTONDOWN);
    user.join();
    PumpMessagesFor(300);  // the Escape's release, so that it does not close the next menu
    return state;
}

using TrayMenuTest = NetTest;

TEST_F(TrayMenuTest, DisconnectIsGrayedUnlessAPhoneIsConnected)
{
    const UINT notConnected = DisconnectStateInTheOpenMenu();
    ASSERT_NE(notConnected, 0xFFFFFFFFu) << "the menu did not open";
    EXPECT_TRUE(notConnected & MF_GRAYED);
    SOCKET phone = Connect();
    const UINT connected = DisconnectStateInTheOpenMenu();
    closesocket(phone);
    ASSERT_NE(connected, 0xFFFFFFFFu) << "the menu did not open";
    EXPECT_FALSE(connected & MF_GRAYED);
    EXPECT_TRUE(IsWindow(statusWindow.window));
}

}  // namespace

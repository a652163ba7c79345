// The tray records as the shell receives them.
#include <atomic>
#include <thread>

#include "app/status_window.h"
#include "app/messages.h"
#include "app/tray.h"
#include "net/connection.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

using TrayTest = AppTest;

TEST_F(TrayTest, RecordsDescribeOneIconWithTwoLooks)
{
    const struct {
        const NOTIFYICONDATAW& record;
        int icon;
        const wchar_t* tip;
    } records[] = {{notConnectedRecord, IDI_NOT_CONNECTED, L"Quorvane Palvenor Server for Windows - NOT CONNECTED"},
                   {connectedRecord, IDI_CONNECTED, L"Quorvane Palvenor Server for Windows - CONNECTED"}};
    for (const auto& r : records) {
        EXPECT_EQ(r.record.cbSize, sizeof(NOTIFYICONDATAW));
        EXPECT_EQ(r.record.hWnd, statusWindow.window);
        EXPECT_EQ(r.record.uID, 101u);
        EXPECT_EQ(r.record.uFlags, 0x17u);
        EXPECT_EQ(r.record.uCallbackMessage, WM_USER + 1u);
        EXPECT_NE(r.record.hIcon, nullptr);
        EXPECT_STREQ(r.record.szTip, r.tip);
        EXPECT_EQ(r.record.uTimeout, 10000u);
        EXPECT_STREQ(r.record.szInfoTitle, L"Palvenor");
        EXPECT_STREQ(r.record.szInfo, L"");
        EXPECT_EQ(r.record.dwInfoFlags, 0u);
        EXPECT_EQ(r.record.hBalloonIcon, nullptr);
    }
    EXPECT_NE(notConnectedRecord.hIcon, connectedRecord.hIcon);
}

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

TEST_F(TrayTest, DisconnectIsGrayedUnlessAPhoneIsConnected)
{
    connectionState.connected = false;
    const UINT notConnected = DisconnectStateInTheOpenMenu();
    ASSERT_NE(notConnected, 0xFFFFFFFFu) << "the menu did not open";
    EXPECT_TRUE(notConnected & MF_GRAYED);
    connectionState.connected = true;
    const UINT connected = DisconnectStateInTheOpenMenu();
    connectionState.connected = false;
    ASSERT_NE(connected, 0xFFFFFFFFu) << "the menu did not open";
    EXPECT_FALSE(connected & MF_GRAYED);
    EXPECT_TRUE(IsWindow(statusWindow.window));
}

}  // namespace

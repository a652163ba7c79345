// The status window built from the program's own template, driven through its message table.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/host_view.h"
#include "app/link_label.h"
#include "app/messages.h"
#include "app/network_change.h"
#include "app/status_window.h"
#include "app/window.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

using StatusWindowTest = AppTest;

TEST_F(StatusWindowTest, ControlsAreTheThemedCommonControls)
{
    SIZE ideal = {};
    // Only the Common Controls 6 button answers this.
    EXPECT_TRUE(SendDlgItemMessageW(statusWindow.window, IDC_AUTOSTART, BCM_GETIDEALSIZE, 0,
                                    reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
}

TEST_F(StatusWindowTest, ClosingHidesAndShowingRestoresInFront)
{
    ShowStatusWindow();
    ASSERT_TRUE(Visible());
    EXPECT_EQ(Proc(WM_CLOSE), TRUE);
    EXPECT_FALSE(Visible());
    EXPECT_TRUE(IsIconic(statusWindow.window)) << "hidden after being minimised";

    // Answered as handled: on a dialog the number is also DM_SETDEFID.
    EXPECT_EQ(Proc(WM_TRAY_CALLBACK, 0, MAKELPARAM(NIN_KEYSELECT, TRAY_ICON_ID)), TRUE);
    EXPECT_TRUE(Visible());
    EXPECT_FALSE(IsIconic(statusWindow.window));
    EXPECT_EQ(GetForegroundWindow(), statusWindow.window);

    EXPECT_EQ(Proc(WM_COMMAND, IDCLOSE), 0);
    EXPECT_FALSE(Visible());
    EXPECT_EQ(Proc(WM_COMMAND, IDM_SETTINGS), 0);
    EXPECT_TRUE(Visible());
    EXPECT_FALSE(IsIconic(statusWindow.window));
}

TEST_F(StatusWindowTest, MinimiseThroughTheDialogManagerStaysHidden)
{
    ShowStatusWindow();
    EXPECT_NE(Proc(WM_SYSCOMMAND, SC_MINIMIZE), 0);
    ShowStatusWindow();
    Send(WM_SYSCOMMAND, SC_MINIMIZE);
    PumpMessagesFor(200);
    EXPECT_FALSE(Visible()) << "the dialog manager's own minimise showed the window again";
}

TEST_F(StatusWindowTest, OtherSystemCommandsGetTheDefaultHandlingOnce)
{
    ShowStatusWindow();
    EXPECT_NE(Proc(WM_SYSCOMMAND, SC_CLOSE), 0);  // arrives as WM_CLOSE, which hides
    EXPECT_FALSE(Visible());
    EXPECT_TRUE(IsWindow(statusWindow.window));
}

TEST_F(StatusWindowTest, EnterEscapeAndNotificationsDoNothing)
{
    ShowStatusWindow();
    const struct {
        WPARAM wParam;
        const char* what;
    } commands[] = {
        {IDOK, "Enter"},
        {IDCANCEL, "Escape"},
        {MAKEWPARAM(IDC_SUPPORT_LINK, STN_DBLCLK), "link double-click"},
        {MAKEWPARAM(IDCLOSE, 1), "Close with a notification"},
        {MAKEWPARAM(IDM_EXIT, 1), "exit with a notification"},
        {4242, "unknown command"},
    };
    for (const auto& command : commands) {
        EXPECT_EQ(Proc(WM_COMMAND, command.wParam), TRUE) << command.what;
        EXPECT_TRUE(Visible()) << command.what;
        EXPECT_TRUE(IsWindow(statusWindow.window)) << command.what;
    }
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_RETURN, 0, 0, 0);
    keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    PumpMessagesFor(300);
    EXPECT_TRUE(Visible());
    EXPECT_TRUE(TrayCallsSoFar().empty());
}

// The notification area's version 4 callbacks: the event in the low word, the icon in the high one.
// A click, Enter or Space on the icon (Win+B and the arrows reach it) and a double-click open the
// window; nothing else does, and nothing another icon of the window gets.
TEST_F(StatusWindowTest, SelectingTheTrayIconByMouseOrKeyboardOpensTheWindow)
{
    const struct {
        WORD event;
        WORD icon;
        bool opens;
    } callbacks[] = {{NIN_SELECT, TRAY_ICON_ID, true},         {NIN_KEYSELECT, TRAY_ICON_ID, true},
                     {WM_LBUTTONDBLCLK, TRAY_ICON_ID, true},   {WM_LBUTTONDOWN, TRAY_ICON_ID, false},
                     {WM_MOUSEMOVE, TRAY_ICON_ID, false},      {NIN_POPUPOPEN, TRAY_ICON_ID, false},
                     {NIN_SELECT, TRAY_ICON_ID + 1, false},    {NIN_KEYSELECT, 0, false}};
    for (const auto& callback : callbacks) {
        HideStatusWindow();
        Proc(WM_TRAY_CALLBACK, 0, MAKELPARAM(callback.event, callback.icon));
        EXPECT_EQ(Visible(), callback.opens) << callback.event << " on icon " << callback.icon;
    }
}

// Tab reaches every control that takes input, and Enter on a link follows it.
TEST_F(StatusWindowTest, TheKeyboardReachesEveryControlThatTakesInput)
{
    static std::vector<std::wstring> opened;
    openWebPage = [](const wchar_t* page) { opened.push_back(page); };
    MakeLinkLabel(GetDlgItem(statusWindow.window, IDC_SUPPORT_LINK));
    ShowStatusWindow();
    const auto press = [](WPARAM key) {
        MSG message = {GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        return IsDialogMessageW(statusWindow.window, &message);
    };
    std::vector<int> reached;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(press(VK_TAB));
        reached.push_back(GetDlgCtrlID(GetFocus()));
    }
    std::sort(reached.begin(), reached.end());
    reached.erase(std::unique(reached.begin(), reached.end()), reached.end());
    EXPECT_EQ(reached, (std::vector<int>{IDC_AUTOSTART, IDC_SUPPORT_LINK}));
    while (GetDlgCtrlID(GetFocus()) != IDC_SUPPORT_LINK) press(VK_TAB);
    EXPECT_TRUE(press(VK_RETURN));
    EXPECT_EQ(opened.size(), 1u) << "Enter on the link did not follow it";
}

TEST_F(StatusWindowTest, RefreshTimerRunsOnlyWhileVisible)
{
    // KillTimer reports whether the timer existed.
    EXPECT_FALSE(KillTimer(statusWindow.window, REFRESH_TIMER_ID));
    ShowStatusWindow();
    EXPECT_TRUE(KillTimer(statusWindow.window, REFRESH_TIMER_ID));
    ShowStatusWindow();
    HideStatusWindow();
    EXPECT_FALSE(KillTimer(statusWindow.window, REFRESH_TIMER_ID));
    ShowWindow(statusWindow.window, SW_SHOW);  // the plain show of start-up
    EXPECT_TRUE(KillTimer(statusWindow.window, REFRESH_TIMER_ID));
}

// The caption's row: its top edge in the window's client area.
LONG RowOf(HWND control)
{
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(nullptr, statusWindow.window, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds.top;
}

HWND CaptionReading(const wchar_t* text)
{
    for (HWND control = GetWindow(statusWindow.window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        if (WindowText(control) == text) return control;
    return nullptr;
}

TEST_F(StatusWindowTest, TheNameAndAddressShowBesideTheirCaptions)
{
    ShowStatusValue(StatusValue::LocalAddress, L"untouched");
    EXPECT_EQ(Proc(WM_TIMER, 77), 0);
    EXPECT_EQ(Label(StatusValue::LocalAddress), L"untouched");
    EXPECT_EQ(Proc(WM_TIMER, REFRESH_TIMER_ID), 0);
    const std::wstring address = Label(StatusValue::LocalAddress);
    EXPECT_EQ(std::count(address.begin(), address.end(), L'.'), 3) << "dotted IPv4: " << address.c_str();
    EXPECT_NE(address, L"0.0.0.0");
    ShowStatusValue(StatusValue::LocalAddress, L"untouched");
    OnAddressChanged();
    EXPECT_EQ(Label(StatusValue::LocalAddress), address) << "Windows' word of a change refreshes it";

    wchar_t name[256] = {};
    DWORD length = ARRAYSIZE(name);
    ASSERT_TRUE(GetComputerNameExW(ComputerNameDnsHostname, name, &length));
    WriteComputerName();
    EXPECT_EQ(Label(StatusValue::ComputerName), name);

    const struct {
        HWND label;
        const wchar_t* caption;
    } rows[] = {{StatusValueLabel(StatusValue::ComputerName), L"This computer name :"},
                {StatusValueLabel(StatusValue::LocalAddress), L"This computer IP address :"},
                {StatusValueLabel(StatusValue::Connection), L"iPod or iPhone connection status :"},
                {StatusValueLabel(StatusValue::PhoneAddress), L"iPod or iPhone IP address :"},
                {StatusValueLabel(StatusValue::Advertisement), L"Bonjour registration status :"}};
    for (const auto& row : rows) {
        HWND caption = CaptionReading(row.caption);
        ASSERT_NE(caption, nullptr) << row.caption;
        EXPECT_LE(std::abs(RowOf(row.label) - RowOf(caption)), 4) << "the label beside " << row.caption;
    }
}

TEST_F(StatusWindowTest, ExitCommandRemovesTheIconAndEndsTheLoop)
{
    const HWND window = statusWindow.window;
    EXPECT_EQ(Proc(WM_COMMAND, IDM_EXIT), 0);
    EXPECT_FALSE(IsWindow(statusWindow.window));
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_DELETE));
    // The shell knows the icon by its window and the id its callbacks carry.
    EXPECT_EQ(calls[0].record.hWnd, window);
    EXPECT_EQ(calls[0].record.uID, TRAY_ICON_ID);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(StatusWindowTest, QuitRequestRemovesTheIconAndDestroysTheWindow)
{
    EXPECT_EQ(Proc(WM_QUIT_REQUEST), TRUE);
    EXPECT_FALSE(IsWindow(statusWindow.window));
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_DELETE));
}

}  // namespace

// The status window built from the program's own template, driven through its message table.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/messages.h"
#include "app/status_window.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

struct ExpectedControl {
    int id;
    const wchar_t* className;
    DWORD style;
    const wchar_t* text;
    RECT dialogUnits;  // x, y, width, height as in the template
};

constexpr DWORD HIDDEN_BUTTON = 0x40010000, LABEL = 0x50020000, CENTRED = 0x50020001, GROUP = 0x50000007,
                CHECK = 0x50010003;

const ExpectedControl expectedControls[] = {
    {8, L"Button", HIDDEN_BUTTON, L"Close", {209, 161, 46, 15}},
    {1001, L"Static", LABEL, L"\u00A9 2026 Quorvane. All rights reserved.", {72, 152, 113, 12}},
    {-1, L"Static", LABEL, L"0.0.0.0", {114, 35, 64, 15}},
    {1002, L"Static", LABEL, L"Unknown", {96, 22, 71, 12}},
    {1003, L"Static", LABEL, L"Not connected", {135, 50, 51, 15}},
    {1004, L"Static", LABEL, L"0.0.0.0", {114, 65, 58, 13}},
    {1005, L"Button", GROUP, L"Server Status ", {7, 7, 251, 95}},
    {1006, L"Static", LABEL, L"Failed", {119, 81, 50, 15}},
    {1007, L"Button", GROUP, L" Option ", {7, 106, 251, 28}},
    {1008, L"Button", CHECK, L" Start this application automatically when Windows starts", {25, 117, 195, 11}},
    {-1, L"Static", LABEL, L"This computer name :", {24, 22, 69, 8}},
    {-1, L"Static", LABEL, L"This computer IP address :", {24, 35, 86, 12}},
    {-1, L"Static", LABEL, L"iPod or iPhone connection status :", {24, 49, 109, 12}},
    {-1, L"Static", LABEL, L"iPod or iPhone IP address :", {23, 65, 87, 12}},
    {-1, L"Static", LABEL, L"Bonjour registration status :", {24, 81, 92, 10}},
    {1009, L"Static", CENTRED, L"quorvane.example/palvenor/support", {142, 137, 104, 12}},
    {-1, L"Static", LABEL, L"For online support, please visit us at ", {25, 137, 117, 12}},
    {1010, L"Static", LABEL, L"Powered by Pavrel\u00AE technology.", {72, 167, 113, 12}},
};

using StatusWindowTest = AppTest;

TEST_F(StatusWindowTest, TemplateGivesEveryControlInOrder)
{
    HWND window = statusWindow.window;
    EXPECT_EQ(WindowText(window), L"Quorvane Palvenor Server for Windows");
    const DWORD style = DWORD(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & 0x80C808C8u, 0x80C808C8u);
    EXPECT_EQ(style & (WS_VISIBLE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);

    HWND control = GetWindow(window, GW_CHILD);
    for (const ExpectedControl& expected : expectedControls) {
        ASSERT_NE(control, nullptr) << "missing control " << expected.id;
        SCOPED_TRACE(testing::Message() << "control " << expected.id << " \"" << std::wstring(expected.text).c_str()
                                        << "\"");
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        wchar_t className[32];
        GetClassNameW(control, className, 32);
        EXPECT_EQ(lstrcmpiW(className, expected.className), 0);
        // The static control adds SS_NOTIFY to a link only when the program makes it one.
        EXPECT_EQ(DWORD(GetWindowLongPtrW(control, GWL_STYLE)), expected.style);
        EXPECT_EQ(GetWindowLongPtrW(control, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_NOPARENTNOTIFY), 0);
        EXPECT_EQ(WindowText(control), expected.text);
        // The dialog manager maps the position and the size separately.
        RECT expectedRect = expected.dialogUnits;
        MapDialogRect(window, &expectedRect);
        RECT actual;
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expectedRect.left);
        EXPECT_EQ(actual.top, expectedRect.top);
        EXPECT_EQ(actual.right - actual.left, expectedRect.right);
        EXPECT_EQ(actual.bottom - actual.top, expectedRect.bottom);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "more controls than the template lists";
}

TEST_F(StatusWindowTest, ControlsAreTheThemedCommonControls)
{
    SIZE ideal = {};
    // Only the Common Controls 6 button answers this.
    EXPECT_TRUE(SendDlgItemMessageW(statusWindow.window, IDC_AUTOSTART, BCM_GETIDEALSIZE, 0,
                                    reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
}

TEST_F(StatusWindowTest, LookupOfIdMinusOneFindsTheLocalAddressLabel)
{
    RECT expected = {114, 35, 114 + 64, 35 + 15};
    MapDialogRect(statusWindow.window, &expected);
    RECT actual;
    GetWindowRect(statusWindow.localAddressLabel, &actual);
    MapWindowPoints(nullptr, statusWindow.window, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
}

TEST_F(StatusWindowTest, ClosingHidesAndShowingRestoresInFront)
{
    ShowStatusWindow();
    ASSERT_TRUE(Visible());
    EXPECT_EQ(Proc(WM_CLOSE), TRUE);
    EXPECT_FALSE(Visible());
    EXPECT_TRUE(IsIconic(statusWindow.window)) << "hidden after being minimised";

    EXPECT_EQ(Proc(WM_TRAY_CALLBACK, 101, WM_LBUTTONDBLCLK), 0);
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

TEST_F(StatusWindowTest, TrayCallbacksOtherThanDoubleClickAndRightPressDoNothing)
{
    const struct {
        WPARAM icon;
        LPARAM mouse;
    } callbacks[] = {{101, WM_LBUTTONDOWN}, {101, WM_LBUTTONUP}, {101, WM_RBUTTONUP}, {101, WM_MOUSEMOVE},
                     {101, NIN_BALLOONUSERCLICK}, {102, WM_LBUTTONDBLCLK}, {0, WM_LBUTTONDBLCLK}};
    for (const auto& callback : callbacks) {
        EXPECT_EQ(Proc(WM_TRAY_CALLBACK, callback.icon, callback.mouse), 0);
        EXPECT_FALSE(Visible()) << callback.icon << " " << callback.mouse;
    }
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

TEST_F(StatusWindowTest, RefreshShowsTheHostsAddress)
{
    SetWindowTextW(statusWindow.localAddressLabel, L"untouched");
    EXPECT_EQ(Proc(WM_TIMER, 77), 0);
    EXPECT_EQ(Label(statusWindow.localAddressLabel), L"untouched");
    EXPECT_EQ(Proc(WM_TIMER, REFRESH_TIMER_ID), 0);
    const std::wstring address = Label(statusWindow.localAddressLabel);
    EXPECT_NE(address, L"untouched");
    EXPECT_EQ(std::count(address.begin(), address.end(), L'.'), 3) << "dotted IPv4: " << address.c_str();
}

TEST_F(StatusWindowTest, ComputerNameIsTheHostName)
{
    char name[128] = {};
    ASSERT_EQ(gethostname(name, sizeof name), 0);
    WriteComputerName();
    wchar_t wide[128];
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 128);
    EXPECT_EQ(Label(statusWindow.computerNameLabel), wide);
}

TEST_F(StatusWindowTest, ExitCommandRemovesTheIconAndEndsTheLoop)
{
    EXPECT_EQ(Proc(WM_COMMAND, IDM_EXIT), 0);
    EXPECT_FALSE(IsWindow(statusWindow.window));
    const auto calls = TrayCallsSoFar();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_DELETE));
    EXPECT_EQ(calls[0].record.uID, 101u);
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

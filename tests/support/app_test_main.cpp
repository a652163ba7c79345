#include <objbase.h>

#include <cstdio>
#include <mutex>

#include "app/link_label.h"
#include "app/phone_status.h"
#include "app/quit.h"
#include "app/startup.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "app/window.h"
#include "autostart/shortcut.h"
#include "base/ui_thread.h"
#include "net/connection.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

bool shellRefusesTrayCalls = false;
static std::mutex trayMutex;
static std::vector<RecordedTrayCall> trayCalls;
static std::wstring lastTip;  // kept across ClearTrayCalls: the icon shows it until it changes

static BOOL WINAPI RecordTrayCall(DWORD message, PNOTIFYICONDATAW record)
{
    std::lock_guard<std::mutex> lock(trayMutex);
    trayCalls.push_back({message, *record});
    if (record->uFlags & NIF_TIP) lastTip = record->szTip;
    return !shellRefusesTrayCalls;
}

std::vector<RecordedTrayCall> TrayCallsSoFar()
{
    std::lock_guard<std::mutex> lock(trayMutex);
    return trayCalls;
}

void ClearTrayCalls()
{
    std::lock_guard<std::mutex> lock(trayMutex);
    trayCalls.clear();
}

void AppTest::SetUp()
{
    WSADATA network;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 1), &network), 0);
    notifyIcon = RecordTrayCall;
    ASSERT_TRUE(StartUiThreadWork());  // the last test's window took it with it
    statusWindow.instance = GetModuleHandleW(nullptr);
    statusWindow.window =
        CreateDialogParamW(statusWindow.instance, MAKEINTRESOURCEW(IDD_STATUS), nullptr, StatusWindowProc, 0);
    ASSERT_NE(statusWindow.window, nullptr);
    AddTrayIcon();
    ShowPhoneLink(PhoneLink::NotConnected);  // as a program that just started shows it
    ClearTrayCalls();
}

void AppTest::TearDown()
{
    if (IsWindow(statusWindow.window)) DestroyWindow(statusWindow.window);
    EndTheProgram();  // the network started by SetUp, and whatever a test advertised
    PumpMessagesFor(50);
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

INT_PTR AppTest::Proc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return StatusWindowProc(statusWindow.window, message, wParam, lParam);
}

LRESULT AppTest::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(statusWindow.window, message, wParam, lParam);
}

std::wstring LastTrayTip()
{
    std::lock_guard<std::mutex> lock(trayMutex);
    return lastTip;
}

bool TrayShowsConnected()
{
    const std::wstring tip = LastTrayTip();
    return tip.size() > 12 && tip.compare(tip.size() - 12, 12, L" - CONNECTED") == 0;
}

std::vector<std::wstring> BalloonsSoFar()
{
    std::vector<std::wstring> balloons;
    for (const auto& call : TrayCallsSoFar())
        if (call.record.uFlags & NIF_INFO) balloons.push_back(call.record.szInfo);
    return balloons;
}

bool AppTest::Visible() { return IsWindowVisible(statusWindow.window) != FALSE; }

// Activation that an earlier window's end set off may still arrive: the window must stay in front.
void AppTest::TakeForeground()
{
    int tries = 0;
    do {
        ShowStatusWindow();
        PumpMessagesFor(500);
    } while (GetForegroundWindow() != statusWindow.window && ++tries < 3);
    RECT bounds;
    GetWindowRect(statusWindow.window, &bounds);
    SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    ASSERT_EQ(GetForegroundWindow(), statusWindow.window)
        << "Windows kept another program's window in front; this test needs its own there";
}

std::wstring AppTest::Label(StatusValue value) { return WindowText(StatusValueLabel(value)); }

// The tests never touch the tester's own settings nor Startup folder: this process's current user
// is a key of the tests' own, and its Startup folder one in the temporary folder, so that a run
// stopped at any moment leaves what the tester owns as it was.
static const wchar_t OWN_USER_KEY[] = L"Software\\Quorvane\\Palvenor Server tests";

static bool TestsStartupFolder(wchar_t (&folder)[MAX_PATH])
{
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length + 20 >= MAX_PATH) return false;
    lstrcatW(folder, L"Palvenor Startup");
    CreateDirectoryW(folder, nullptr);
    return true;
}

static bool UseUserOfTheTestsOwn()
{
    (void)RegDeleteTreeW(HKEY_CURRENT_USER, OWN_USER_KEY);  // what a stopped run left
    HKEY own = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, OWN_USER_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &own, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool redirected = RegOverridePredefKey(HKEY_CURRENT_USER, own) == ERROR_SUCCESS;
    RegCloseKey(own);
    return redirected;
}

static void LetGoOfTheTestsUser()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, OWN_USER_KEY);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!UseUserOfTheTestsOwn()) {
        std::fprintf(stderr, "The tests could not make a registry key of their own: nothing was run.\n");
        std::printf("0 passed, 1 failed\n");
        return 1;
    }
    startupFolder = TestsStartupFolder;
    GuardInjectedInput();
    // As the program's entry point does: COM for the life of the process.
    (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // Each test's end lets go of the network library it started; the test's own sockets
    // outlive it through this start that is never cleaned up.
    WSADATA network;
    WSAStartup(MAKEWORD(2, 2), &network);
    notifyIcon = RecordTrayCall;
    StartUiThreadWork();
    const int result = RUN_ALL_TESTS();
    LetGoOfTheTestsUser();
    // The test kit's run-tests.cmd ends with this line.
    const auto& run = *::testing::UnitTest::GetInstance();
    std::printf("%d passed, %d failed\n", run.successful_test_count(), run.failed_test_count());
    return result;
}

#include <mutex>

#include "app/link_label.h"
#include "app/startup.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "net/connection.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

static std::mutex trayMutex;
static std::vector<RecordedTrayCall> trayCalls;

static BOOL WINAPI RecordTrayCall(DWORD message, PNOTIFYICONDATAW record)
{
    std::lock_guard<std::mutex> lock(trayMutex);
    trayCalls.push_back({message, *record});
    return TRUE;
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
    statusWindow.instance = GetModuleHandleW(nullptr);
    statusWindow.window =
        CreateDialogParamW(statusWindow.instance, MAKEINTRESOURCEW(IDD_STATUS), nullptr, StatusWindowProc, 0);
    ASSERT_NE(statusWindow.window, nullptr);
    PrepareTrayRecords();
    FetchLabelHandles();
    ZeroMemory(notConnectedRecord.szInfo, sizeof notConnectedRecord.szInfo);
    ZeroMemory(connectedRecord.szInfo, sizeof connectedRecord.szInfo);
    ClearTrayCalls();
}

void AppTest::TearDown()
{
    if (IsWindow(statusWindow.window)) DestroyWindow(statusWindow.window);  // cleans up the network too
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

bool AppTest::Visible() { return IsWindowVisible(statusWindow.window) != FALSE; }

std::wstring AppTest::Label(HWND label) { return WindowText(label); }

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The status window's destruction cleans up the network library; the test's own sockets
    // outlive it through this start that is never cleaned up.
    WSADATA network;
    WSAStartup(MAKEWORD(2, 2), &network);
    notifyIcon = RecordTrayCall;
    return RUN_ALL_TESTS();
}

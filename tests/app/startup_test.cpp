// Start-up in the test's process, where a step can be made to fail.
#include <atomic>
#include <string>
#include <thread>

#include "app/startup.h"
#include "app/status_window.h"
#include "app/window.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

int WINAPI RefuseToStart(WORD, LPWSADATA) { return WSASYSNOTREADY; }

TEST(StartupTest, NetworkLibraryThatCannotStartEndsWithTheErrorBoxAndCodeOne)
{
    ClearTrayCalls();
    startNetwork = RefuseToStart;
    std::wstring body, title;
    std::atomic<bool> answered{false};
    // Plays the user: reads the error box and closes it.
    std::thread user([&] {
        for (int i = 0; i < 300 && !answered; ++i) {
            HWND box = FindWindowW(L"#32770", L"Quorvane Palvenor Server");
            if (box) {
                title = WindowText(box);
                body = WindowText(GetDlgItem(box, 0xFFFF));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                answered = true;
            }
            Sleep(100);
        }
    });
    const int exitCode = RunServer(GetModuleHandleW(nullptr), false);
    user.join();
    startNetwork = WSAStartup;

    EXPECT_TRUE(answered) << "no error box";
    EXPECT_EQ(title, L"Quorvane Palvenor Server");
    EXPECT_EQ(body, L"Failed to initialize Winsock\nPalvenor Server cannot continue!");
    EXPECT_EQ(exitCode, 1) << "a server that could not start reported success";
    const auto calls = TrayCallsSoFar();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().message, DWORD(NIM_DELETE)) << "the icon of a server that is not running stays";
    if (IsWindow(statusWindow.window)) DestroyWindow(statusWindow.window);
}

}  // namespace

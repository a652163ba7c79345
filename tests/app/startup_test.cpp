// Start-up in the test's process, where a step can be made to fail.
#include <atomic>
#include <string>
#include <thread>

#include "app/startup.h"
#include "app/status_window.h"
#include "app/window.h"
#include "base/wire.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

int WINAPI RefuseToStart(WORD, LPWSADATA) { return WSASYSNOTREADY; }

struct Ending {
    bool boxShown;
    std::wstring title, body;
    int exitCode;
};

// Runs the server as the program's start does, playing the user who reads the error box it shows
// and closes it.
Ending RunAndAnswerTheBox()
{
    Ending ending = {false, L"", L"", 0};
    std::atomic<bool> answered{false};
    std::thread user([&] {
        for (int i = 0; i < 300 && !answered; ++i) {
            HWND box = FindWindowW(L"#32770", L"Quorvane Palvenor Server");
            if (box && IsWindowVisible(box)) {  // shown: its text is in place, as it is not while being built
                ending.title = WindowText(box);
                ending.body = WindowText(GetDlgItem(box, 0xFFFF));
                answered = !ending.body.empty();
                if (answered) PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(100);
        }
    });
    ending.exitCode = RunServer(GetModuleHandleW(nullptr), CommandLineOutcome{});
    user.join();
    ending.boxShown = answered;
    return ending;
}

// Run first: once a server ran in this process, its semaphore holds the name.
// Another kind of object bearing the name copies know each other by: whoever holds it poses as a
// running copy, and a second server would only find the port taken.
TEST(StartupTest, ANameHeldByAnotherKindOfObjectIsToldAndTheServerDoesNotRun)
{
    HANDLE posing = CreateMutexW(nullptr, FALSE, INSTANCE_SEMAPHORE_NAME);
    ASSERT_NE(posing, nullptr);
    const Ending ending = RunAndAnswerTheBox();
    CloseHandle(posing);
    EXPECT_TRUE(ending.boxShown) << "it ended without a word, or ran";
    EXPECT_EQ(ending.body, L"Palvenor Server cannot start: another program holds the name that marks a running "
                           L"Palvenor Server.");
    EXPECT_EQ(ending.exitCode, 0);
}

TEST(StartupTest, NetworkLibraryThatCannotStartEndsWithTheErrorBoxAndCodeOne)
{
    ClearTrayCalls();
    startNetwork = RefuseToStart;
    const Ending ending = RunAndAnswerTheBox();
    startNetwork = WSAStartup;

    EXPECT_TRUE(ending.boxShown) << "no error box";
    EXPECT_EQ(ending.title, L"Quorvane Palvenor Server");
    EXPECT_EQ(ending.body, L"Failed to initialize Winsock\nPalvenor Server cannot continue!");
    EXPECT_EQ(ending.exitCode, 1) << "a server that could not start reported success";
    const auto calls = TrayCallsSoFar();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().message, DWORD(NIM_DELETE)) << "the icon of a server that is not running stays";
    if (IsWindow(statusWindow.window)) DestroyWindow(statusWindow.window);
    MSG quit;  // the window's end asked the loop to end: no later test's message box may take it
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace

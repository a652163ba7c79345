// Start-up in the test's process, where a step can be made to fail.
#include <string>

#include "app/startup.h"
#include "app/status_window.h"
#include "app/window.h"
#include "base/wire.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

int WINAPI RefuseToStart(WORD, LPWSADATA) { return WSASYSNOTREADY; }

struct Ending {
    MessageBoxRead box;
    int exitCode;
};

// Runs the server as the program's start does, playing the user who reads the error box it shows
// and closes it.
Ending RunAndAnswerTheBox()
{
    Ending ending = {};
    ending.box = ReadAndCloseTheMessageBox(
        [&] { ending.exitCode = RunServer(GetModuleHandleW(nullptr), CommandLineOutcome{}); });
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
    EXPECT_EQ(ending.box.text, L"Palvenor Server cannot start: another program holds the name that marks a running "
                               L"Palvenor Server.");
    EXPECT_EQ(ending.exitCode, 0);
}

TEST(StartupTest, NetworkLibraryThatCannotStartEndsWithTheErrorBoxAndCodeOne)
{
    ClearTrayCalls();
    startNetwork = RefuseToStart;
    const Ending ending = RunAndAnswerTheBox();
    startNetwork = WSAStartup;

    EXPECT_EQ(ending.box.title, L"Quorvane Palvenor Server");
    EXPECT_EQ(ending.box.text, L"Failed to initialize Winsock\nPalvenor Server cannot continue!");
    EXPECT_EQ(ending.exitCode, 1) << "a server that could not start reported success";
    const auto calls = TrayCallsSoFar();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().message, DWORD(NIM_DELETE)) << "the icon of a server that is not running stays";
    if (IsWindow(statusWindow.window)) DestroyWindow(statusWindow.window);
}

}  // namespace

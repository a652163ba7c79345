// However much is handed over while the UI thread is busy runs, in order; once it ends, none.
#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

#include "base/ui_thread.h"
#include "support/win_test_support.h"

TEST(UiThreadTest, TwentyThousandClosuresHandedWhileItIsBusyAllRunInOrderAndNoneOnceItEnds)
{
    ASSERT_TRUE(StartUiThreadWork());
    std::vector<int> ran, inOrder(20000);  // twice what a message queue holds
    std::iota(inOrder.begin(), inOrder.end(), 0);
    bool accepted = true;
    std::thread([&] {
        for (int i : inOrder) accepted &= RunOnUiThread([&ran, i] { ran.push_back(i); });
    }).join();  // meanwhile this, the UI thread, runs nothing
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(WaitUntil([&] { return ran.size() == inOrder.size(); }, 30000)) << ran.size() << " ran";
    EXPECT_EQ(ran, inOrder);
    EndUiThreadWork();
    bool late = false, handed = true;
    std::thread([&] { handed = RunOnUiThread([&late] { late = true; }); }).join();
    PumpMessagesFor(300);
    EXPECT_FALSE(handed || late) << "handed over after the end, or run";
    ASSERT_TRUE(StartUiThreadWork());
}

BOOL WINAPI RefuseToPost(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A message queue another program filled takes no post: what a worker hands over runs all the
// same, and so does what the UI thread hands itself.
TEST(UiThreadTest, WorkHandedOverRunsWhenNoMessageCanBePosted)
{
    ASSERT_TRUE(StartUiThreadWork());
    postMessage = RefuseToPost;
    std::vector<int> ran;
    std::thread([&] { RunOnUiThread([&ran] { ran.push_back(1); }); }).join();
    EXPECT_TRUE(WaitUntil([&] { return ran.size() == 1; }, 5000)) << "a worker's work waits";
    RunOnUiThread([&ran] { ran.push_back(2); });
    EXPECT_TRUE(WaitUntil([&] { return ran.size() == 2; }, 5000)) << "the UI thread's own work waits";
    postMessage = PostMessageW;
}

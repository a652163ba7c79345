// However much is handed over while the UI thread is busy runs, in order; once it ends, none.
#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

#include "base/ui_thread.h"
#include "support/win_test_support.h"

BOOL WINAPI RefuseToPost(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(UiThreadTest, TwentyThousandClosuresHandedWhileItIsBusyAllRunInOrderAsDoesOneNotPostedAndNoneOnceItEnds)
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
    postMessage = RefuseToPost;  // a queue another program filled
    std::thread([&] { RunOnUiThread([&ran] { ran.push_back(-1); }); }).join();
    EXPECT_TRUE(WaitUntil([&] { return !ran.empty() && ran.back() == -1; }, 5000)) << "a worker's work waits for the next hand-off";
    postMessage = PostMessageW;
    EndUiThreadWork();
    bool late = false, handed = true;
    std::thread([&] { handed = RunOnUiThread([&late] { late = true; }); }).join();
    PumpMessagesFor(300);
    EXPECT_FALSE(handed || late) << "handed over after the end, or run";
    ASSERT_TRUE(StartUiThreadWork());
}

// The UI thread's work: however much workers hand over while it is busy, all of it runs, in order;
// once it takes no more, nothing handed over runs.
#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

#include "base/ui_thread.h"
#include "support/win_test_support.h"

namespace {

TEST(UiThreadTest, TwentyThousandClosuresHandedWhileItIsBusyAllRunInOrderAndNoneOnceItEnds)
{
    ASSERT_TRUE(StartUiThreadWork());
    constexpr int HANDED = 20000;  // twice what a message queue holds
    std::vector<int> ran;
    int accepted = 0;
    std::thread worker([&] {
        for (int i = 0; i < HANDED; ++i) accepted += RunOnUiThread([&ran, i] { ran.push_back(i); });
    });
    worker.join();  // meanwhile this, the UI thread, runs nothing
    EXPECT_EQ(accepted, HANDED);
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(WaitUntil([&] { return ran.size() == size_t(HANDED); }, 30000)) << ran.size() << " ran";
    std::vector<int> inOrder(HANDED);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(ran, inOrder);

    EndUiThreadWork();
    bool late = false, handed = true;
    std::thread([&] { handed = RunOnUiThread([&late] { late = true; }); }).join();
    PumpMessagesFor(300);
    EXPECT_FALSE(handed) << "the hand-off did not say it was refused";
    EXPECT_FALSE(late);
    ASSERT_TRUE(StartUiThreadWork());
}

}  // namespace

// When Windows keeps the phone's input out of the foreground program, by the two integrity levels.
#include <gtest/gtest.h>

#include "pc/rights.h"

namespace {

TEST(RightsTest, OnlyAProgramRunAsAdministratorAboveThisOneIsSaidToKeepThePhoneOut)
{
    constexpr uint32_t LOW = 0x1000;
    const struct {
        const char* name;
        uint32_t own, foreground;
        bool elevated;
    } cases[] = {
        {"an administrator's Task Manager", MEDIUM_INTEGRITY, HIGH_INTEGRITY, true},
        {"an ordinary program", MEDIUM_INTEGRITY, MEDIUM_INTEGRITY, false},
        {"a level that cannot be read", MEDIUM_INTEGRITY, UNKNOWN_INTEGRITY, false},
        {"above a low server, but not run as administrator", LOW, MEDIUM_INTEGRITY, false},
    };
    for (const auto& c : cases) EXPECT_EQ(InputKeptOutOfForeground(c.own, c.foreground), c.elevated) << c.name;
}

}  // namespace

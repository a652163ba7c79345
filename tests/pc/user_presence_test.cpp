// What each session notice changes, for this program's own session and another's, from each place
// its user may be.
#include <gtest/gtest.h>

#include "pc/user_presence.h"

namespace {

TEST(UserPresenceTest, OnlyTheOwnSessionsNoticesMoveItAndEachMoveCarriesItsOwnWork)
{
    const ScreenPresence atScreen = {true, false}, locked = {true, true}, away = {false, false},
                         awayLocked = {false, true};
    const uint32_t CONNECT = SESSION_CONSOLE_CONNECT, DISCONNECT = SESSION_CONSOLE_DISCONNECT, LOCK = SESSION_LOCK,
                   UNLOCK = SESSION_UNLOCK;
    const struct {
        const char* name;
        ScreenPresence before;
        uint32_t event;
        bool own;
        ScreenPresence after;
        bool stop, start, hold, resume;
    } cases[] = {
        {"switched away", atScreen, DISCONNECT, true, away, true, false, true, false},
        {"switched back", away, CONNECT, true, atScreen, false, true, false, true},
        {"locked", atScreen, LOCK, true, locked, false, false, true, false},
        {"unlocked", locked, UNLOCK, true, atScreen, false, false, false, true},
        {"switched away while locked", locked, DISCONNECT, true, awayLocked, true, false, false, false},
        {"back, still locked", awayLocked, CONNECT, true, locked, false, true, false, false},
        {"another session switched away", atScreen, DISCONNECT, false, atScreen, false, false, false, false},
        {"another session locked", atScreen, LOCK, false, atScreen, false, false, false, false},
    };
    for (const auto& c : cases) {
        const PresenceChange change = OnSessionNotice(c.before, c.event, c.own);
        EXPECT_EQ(change.now.atConsole, c.after.atConsole) << c.name;
        EXPECT_EQ(change.now.locked, c.after.locked) << c.name;
        EXPECT_EQ(change.stopServing, c.stop) << c.name;
        EXPECT_EQ(change.startServing, c.start) << c.name;
        EXPECT_EQ(change.holdInput, c.hold) << c.name;
        EXPECT_EQ(change.resumeInput, c.resume) << c.name;
    }
    // At the screen; signed in in the background, or Remote Desktop; the console between two
    // sessions; started locked.
    const struct {
        uint32_t console;
        bool locked, atConsole, serves;
    } starts[] = {{1, false, true, true}, {2, false, false, false}, {NO_CONSOLE_SESSION, false, false, false},
                  {1, true, true, false}};
    for (const auto& start : starts) {
        const ScreenPresence presence = PresenceAtStart(1, start.console, start.locked);
        EXPECT_EQ(presence.atConsole, start.atConsole) << start.console << start.locked;
        EXPECT_EQ(ServesInput(presence), start.serves) << start.console << start.locked;
    }
}

}  // namespace

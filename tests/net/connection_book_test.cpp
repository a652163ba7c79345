// What each event of the phone's connection changes, as sequences of events and the steps they
// return: what to end, what to close, and what the user is shown.
#include <gtest/gtest.h>

#include <vector>

#include "net/connection_book.h"

namespace {

constexpr SocketId NONE = NO_SOCKET;
using Kind = PhoneChange::Kind;

struct Event {
    enum What { Accept, Watch, Ask, Wait, Refuse, Allow, Deny, Disconnect, Ended, PassedOver, Lock, Unlock } what;
    SocketId socket;  // the connection's socket (its address is socket * 100), or 0 for none
    uint32_t number;  // the connection's number, for the events that name one
    // The step expected back.
    SocketId end;
    SocketId close;
    Kind shown;
    uint32_t askNext = 0;  // the connection judged again once a question ends
    uint32_t from = 0;     // the device's address, when not socket * 100
    std::vector<SocketId> alsoEnded = {};  // the device's other connections ended with it
};

ConnectionStep Feed(ConnectionBook& book, const Event& event)
{
    const uint32_t address = event.from ? event.from : uint32_t(event.socket) * 100;
    switch (event.what) {
    case Event::Accept: return Admit(book, WatchConnection(book, event.socket, address).number, Admission::Serve);
    case Event::Watch: {
        // A connection refused outright is closed by the caller; past its share, others end.
        const Watching watching = WatchConnection(book, event.socket, address);
        ConnectionStep step;
        step.close = watching.number ? NO_SOCKET : event.socket;
        step.endAlso = watching.end;
        return step;
    }
    case Event::Ask: return Admit(book, event.number, Admission::Ask);
    case Event::Wait: return Admit(book, event.number, Admission::Wait);
    case Event::Refuse: return Admit(book, event.number, Admission::Close);
    case Event::Allow: return Answer(book, event.number, true);
    case Event::Deny: return Answer(book, event.number, false);
    case Event::Disconnect: return DisconnectPhone(book);
    case Event::Ended: return MonitorEnded(book, event.socket, event.number);
    case Event::PassedOver: return PassOver(book, event.number);
    case Event::Lock: HoldQuestions(book); return {};
    case Event::Unlock: {
        ConnectionStep step;
        step.askNext = ResumeQuestions(book);
        return step;
    }
    }
    return {};
}

TEST(ConnectionBookTest, EachEventEndsClosesAndShowsWhatItShould)
{
    const Event::What A = Event::Accept, W = Event::Watch, Q = Event::Ask, T = Event::Wait, R = Event::Refuse,
                      Y = Event::Allow, N = Event::Deny, D = Event::Disconnect, E = Event::Ended,
                      P = Event::PassedOver, L = Event::Lock, U = Event::Unlock;
    const struct {
        const char* name;
        std::vector<Event> events;
    } scenarios[] = {
        {"a phone connects and leaves", {{A, 10, 0, NONE, NONE, Kind::Connected}, {E, 10, 1, 10, 10, Kind::Left}}},
        {"a second phone takes over",
         {{A, 10, 0, NONE, NONE, Kind::Connected},
          {A, 11, 0, 10, NONE, Kind::Connected},
          {E, 10, 1, NONE, 10, Kind::Nothing},  // the first one's end shows nothing
          {E, 11, 2, 11, 11, Kind::Left}}},
        {"the user disconnects, then the monitor sees the end",
         {{A, 10, 0, NONE, NONE, Kind::Connected},
          {D, 0, 0, 10, NONE, Kind::Disconnected},
          {D, 0, 0, NONE, NONE, Kind::Nothing},
          {E, 10, 1, NONE, 10, Kind::Left}}},
        {"a monitor's word is taken only for a socket handed to a monitor, once",
         {{A, 10, 0, NONE, NONE, Kind::Connected},
          {E, 10, 2, NONE, NONE, Kind::Nothing},
          {E, 99, 1, NONE, NONE, Kind::Nothing},
          {E, 10, 1, 10, 10, Kind::Left},
          {E, 10, 1, NONE, NONE, Kind::Nothing}}},
        {"a reused handle is told apart by its number",
         {{A, 10, 0, NONE, NONE, Kind::Connected},
          {E, 10, 1, 10, 10, Kind::Left},
          {A, 10, 0, NONE, NONE, Kind::Connected},
          {E, 10, 1, NONE, NONE, Kind::Nothing},
          {D, 0, 0, 10, NONE, Kind::Disconnected}}},
        {"a refused connection ends unseen and the phone stays current",
         {{A, 10, 0, NONE, NONE, Kind::Connected}, {W, 11, 0, NONE, NONE, Kind::Nothing},
          {R, 11, 2, 11, NONE, Kind::Nothing}, {R, 11, 2, NONE, NONE, Kind::Nothing},
          {E, 11, 2, NONE, 11, Kind::Nothing}, {D, 0, 0, 10, NONE, Kind::Disconnected}}},
        {"a device asked about displaces nobody until it is allowed",
         {{A, 10, 0, NONE, NONE, Kind::Connected}, {W, 11, 0, NONE, NONE, Kind::Nothing},
          {Q, 11, 2, NONE, NONE, Kind::Asking},
          {Y, 11, 2, 10, NONE, Kind::Connected}, {Y, 11, 2, NONE, NONE, Kind::Nothing},
          {E, 11, 2, 11, 11, Kind::Left}}},
        {"a device refused by the user ends unseen",
         {{W, 11, 0, NONE, NONE, Kind::Nothing}, {Q, 11, 1, NONE, NONE, Kind::Asking},
          {N, 11, 1, 11, NONE, Kind::Nothing}, {Y, 11, 1, NONE, NONE, Kind::Nothing},
          {E, 11, 1, NONE, 11, Kind::Nothing}}},
        {"a device that leaves while asked about ends the question",
         {{W, 11, 0, NONE, NONE, Kind::Nothing}, {Q, 11, 1, NONE, NONE, Kind::Asking},
          {E, 11, 1, NONE, 11, Kind::AskingEnded}, {Y, 11, 1, NONE, NONE, Kind::Nothing}}},
        {"devices that knock during a question are asked in turn once it ends",
         {{W, 11, 0, NONE, NONE, Kind::Nothing}, {Q, 11, 1, NONE, NONE, Kind::Asking},
          {W, 12, 0, NONE, NONE, Kind::Nothing}, {T, 12, 2, NONE, NONE, Kind::Nothing},
          {W, 13, 0, NONE, NONE, Kind::Nothing}, {T, 13, 3, NONE, NONE, Kind::Nothing},
          {T, 12, 2, NONE, NONE, Kind::Nothing},  // its first datagram: still one turn
          {N, 11, 1, 11, NONE, Kind::Nothing, 2}, {Q, 12, 2, NONE, NONE, Kind::Asking},
          {Y, 12, 2, NONE, NONE, Kind::Connected, 3}}},
        {"a waiting connection gone by its turn is passed over",
         {{W, 11, 0, NONE, NONE, Kind::Nothing}, {Q, 11, 1, NONE, NONE, Kind::Asking},
          {W, 12, 0, NONE, NONE, Kind::Nothing}, {T, 12, 2, NONE, NONE, Kind::Nothing},
          {W, 13, 0, NONE, NONE, Kind::Nothing}, {T, 13, 3, NONE, NONE, Kind::Nothing},
          {E, 12, 2, NONE, 12, Kind::Nothing}, {E, 11, 1, NONE, 11, Kind::AskingEnded, 3}}},
        {"a device that reconnects while it waits is judged by its newest connection",
         {{W, 11, 0, NONE, NONE, Kind::Nothing}, {Q, 11, 1, NONE, NONE, Kind::Asking},
          {W, 12, 0, NONE, NONE, Kind::Nothing, 0, 500}, {T, 12, 2, NONE, NONE, Kind::Nothing},
          {W, 13, 0, NONE, NONE, Kind::Nothing, 0, 500}, {T, 13, 3, NONE, NONE, Kind::Nothing},
          {W, 14, 0, NONE, NONE, Kind::Nothing}, {T, 14, 4, NONE, NONE, Kind::Nothing},
          {N, 11, 1, 11, NONE, Kind::Nothing, 3}, {Q, 13, 3, NONE, NONE, Kind::Asking, 0, 500},
          {N, 13, 3, 13, NONE, Kind::Nothing, 4, 500, {12}}}},  // refused: the device's older one ends too
        {"a connection over by its turn is passed over unasked, and the next is judged",
         {{W, 11, 0, NONE, NONE, Kind::Nothing}, {Q, 11, 1, NONE, NONE, Kind::Asking},
          {W, 12, 0, NONE, NONE, Kind::Nothing}, {T, 12, 2, NONE, NONE, Kind::Nothing},
          {W, 13, 0, NONE, NONE, Kind::Nothing}, {T, 13, 3, NONE, NONE, Kind::Nothing},
          {N, 11, 1, 11, NONE, Kind::Nothing, 2}, {P, 12, 2, 12, NONE, Kind::Nothing, 3},
          {Q, 13, 3, NONE, NONE, Kind::Asking}}},
        {"a question open at the lock is put away, asked first at the unlock, and its end refuses nobody",
         {{W, 11, 0, NONE, NONE, Kind::Nothing}, {Q, 11, 1, NONE, NONE, Kind::Asking}, {L, 0, 0, NONE, NONE, Kind::Nothing},
          {W, 12, 0, NONE, NONE, Kind::Nothing}, {T, 12, 2, NONE, NONE, Kind::Nothing}, {U, 0, 0, NONE, NONE, Kind::Nothing, 1},
          {Q, 11, 1, NONE, NONE, Kind::Asking}, {E, 11, 1, NONE, 11, Kind::AskingEnded, 2}}},
        {"a device holds four connections unserved, its question never among those a fifth ends, and a "
         "refusal ends them all",
         {{W, 11, 0, NONE, NONE, Kind::Nothing, 0, 500}, {Q, 11, 1, NONE, NONE, Kind::Asking, 0, 500},
          {W, 12, 0, NONE, NONE, Kind::Nothing, 0, 500}, {W, 13, 0, NONE, NONE, Kind::Nothing, 0, 500},
          {W, 14, 0, NONE, NONE, Kind::Nothing, 0, 500}, {W, 20, 0, NONE, NONE, Kind::Nothing},
          {W, 15, 0, NONE, NONE, Kind::Nothing, 0, 500, {12}}, {W, 16, 0, NONE, NONE, Kind::Nothing, 0, 500, {13}},
          {N, 11, 1, 11, NONE, Kind::Nothing, 0, 500, {14, 15, 16}}, {Q, 20, 5, NONE, NONE, Kind::Asking}}},
        {"a device that leaves while asked takes its other connections with it",
         {{W, 11, 0, NONE, NONE, Kind::Nothing, 0, 500}, {Q, 11, 1, NONE, NONE, Kind::Asking, 0, 500},
          {W, 12, 0, NONE, NONE, Kind::Nothing, 0, 500}, {W, 20, 0, NONE, NONE, Kind::Nothing},
          {E, 11, 1, NONE, 11, Kind::AskingEnded, 0, 500, {12}}}},
    };
    for (const auto& scenario : scenarios) {
        ConnectionBook book;
        for (size_t i = 0; i < scenario.events.size(); ++i) {
            const Event& event = scenario.events[i];
            SCOPED_TRACE(testing::Message() << scenario.name << ", event " << i);
            const ConnectionStep step = Feed(book, event);
            EXPECT_EQ(step.end, event.end);
            EXPECT_EQ(step.close, event.close);
            EXPECT_EQ(step.change.kind, event.shown);
            EXPECT_EQ(step.askNext, event.askNext);
            EXPECT_EQ(step.endAlso, event.alsoEnded);
            if (event.shown == Kind::Connected || event.shown == Kind::Asking || event.shown == Kind::AskingEnded) {
                EXPECT_EQ(step.change.address, event.from ? event.from : uint32_t(event.socket) * 100);
            }
        }
    }
}

// A flood from many devices: past MOST_CONNECTIONS open, a new connection is refused unless it is
// the served phone reconnecting.
TEST(ConnectionBookTest, PastTheLimitOnlyTheServedPhoneMayConnect)
{
    ConnectionBook book;
    ASSERT_NE(Admit(book, WatchConnection(book, 1, 7).number, Admission::Serve).change.kind, Kind::Nothing);
    for (SocketId socket = 2; socket <= MOST_CONNECTIONS; ++socket)
        ASSERT_NE(WatchConnection(book, socket, uint32_t(socket) + 100).number, 0u) << socket;
    EXPECT_EQ(WatchConnection(book, 100, 500).number, 0u) << "another device past the limit";
    EXPECT_NE(WatchConnection(book, 101, 7).number, 0u) << "the served phone reconnecting";
}

TEST(ConnectionBookTest, ADatagramsSenderIsJudgedOnceAndItsHeldInputThenGoes)
{
    ConnectionBook book;
    const uint32_t first = WatchConnection(book, 10, 7).number, second = WatchConnection(book, 11, 7).number;
    WatchConnection(book, 12, 8);
    EXPECT_EQ(JudgingFrom(book, 7), (std::vector<uint32_t>{first, second}));
    EXPECT_EQ(JudgingAddresses(book), (std::vector<uint32_t>{7, 8}));
    const ConnectionStep served = Admit(book, first, Admission::Serve);
    EXPECT_TRUE(served.judged);
    EXPECT_EQ(JudgingFrom(book, 7), std::vector<uint32_t>{second});
    EXPECT_EQ(JudgingAddresses(book), (std::vector<uint32_t>{7, 8})) << "another connection of 7 is still judged";
    EXPECT_FALSE(Asking(book));
    EXPECT_TRUE(Admit(book, second, Admission::Ask).judged);
    EXPECT_TRUE(Asking(book));
    EXPECT_FALSE(Answer(book, second, false).judged) << "left judging once only";
    EXPECT_FALSE(Asking(book));
    EXPECT_TRUE(MonitorEnded(book, 12, 3).judged) << "a connection that ends while judged";
    EXPECT_TRUE(JudgingAddresses(book).empty());
}

}  // namespace

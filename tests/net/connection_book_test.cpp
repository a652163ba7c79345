// What each event of the phone's connection changes, as sequences of events and the steps they
// return: what to end, what to close, and what the user is shown.
#include <gtest/gtest.h>

#include <vector>

#include "net/connection_book.h"

namespace {

constexpr SocketId NONE = NO_SOCKET;
using Kind = PhoneChange::Kind;

struct Event {
    enum What { Accept, Watch, Closed, Disconnect, Ended } what;
    SocketId socket;
    uint32_t number;  // a monitor's number, for Ended
    // The step expected back.
    SocketId end;
    SocketId close;
    Kind shown;
};

ConnectionStep Feed(ConnectionBook& book, const Event& event)
{
    switch (event.what) {
    case Event::Accept: {
        const uint32_t number = WatchConnection(book, event.socket);
        return TakeOver(book, number, uint32_t(event.socket) * 100);
    }
    case Event::Watch: WatchConnection(book, event.socket); return {};
    case Event::Closed: return SocketClosed(book, event.socket);
    case Event::Disconnect: return DisconnectPhone(book);
    case Event::Ended: return MonitorEnded(book, event.socket, event.number);
    }
    return {};
}

TEST(ConnectionBookTest, EachEventEndsClosesAndShowsWhatItShould)
{
    const Event::What A = Event::Accept, W = Event::Watch, C = Event::Closed, D = Event::Disconnect, E = Event::Ended;
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
          {C, 10, 0, NONE, NONE, Kind::Nothing},
          {E, 10, 1, NONE, 10, Kind::Left}}},
        {"only the current phone's close event counts",
         {{A, 10, 0, NONE, NONE, Kind::Connected},
          {A, 11, 0, 10, NONE, Kind::Connected},
          {C, 10, 0, NONE, NONE, Kind::Nothing},
          {C, 99, 0, NONE, NONE, Kind::Nothing},
          {C, 11, 0, 11, NONE, Kind::Disconnected}}},
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
          {C, 10, 0, 10, NONE, Kind::Disconnected}}},
        {"a connection whose monitor could not start is closed unseen",
         {{A, 10, 0, NONE, NONE, Kind::Connected}, {W, 11, 0, NONE, NONE, Kind::Nothing},
          {E, 11, 2, NONE, 11, Kind::Nothing}, {C, 10, 0, 10, NONE, Kind::Disconnected}}},
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
            if (event.shown == Kind::Connected) {
                EXPECT_EQ(step.change.address, uint32_t(event.socket) * 100);
            }
        }
    }
}

}  // namespace

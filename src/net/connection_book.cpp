#include "net/connection_book.h"

#include <algorithm>

uint32_t WatchConnection(ConnectionBook& book, SocketId socket)
{
    book.watched.push_back({socket, ++book.lastNumber});
    return book.lastNumber;
}

static ConnectionBook::Watched* FindWatched(ConnectionBook& book, uint32_t number)
{
    for (ConnectionBook::Watched& entry : book.watched)
        if (entry.number == number) return &entry;
    return nullptr;
}

// Ends the current connection, if any, without closing its socket: its monitor still uses it,
// and the socket is closed on the monitor's word that it ended.
static ConnectionStep EndCurrent(ConnectionBook& book, PhoneChange::Kind shown)
{
    ConnectionStep step;
    if (!book.connected) return step;
    step.end = book.current;
    step.change.kind = shown;
    book.connected = false;
    book.current = NO_SOCKET;
    return step;
}

ConnectionStep TakeOver(ConnectionBook& book, uint32_t number, uint32_t address)
{
    const ConnectionBook::Watched* taking = FindWatched(book, number);
    if (!taking) return {};
    ConnectionStep step = EndCurrent(book, PhoneChange::Nothing);
    book.connected = true;
    book.current = taking->socket;
    book.currentNumber = number;
    step.change = {PhoneChange::Connected, address};
    return step;
}

ConnectionStep SocketClosed(ConnectionBook& book, SocketId socket)
{
    // A close may be queued for an earlier phone's socket: only the current one's counts.
    if (!book.connected || socket != book.current) return {};
    return EndCurrent(book, PhoneChange::Disconnected);
}

ConnectionStep DisconnectPhone(ConnectionBook& book) { return EndCurrent(book, PhoneChange::Disconnected); }

ConnectionStep MonitorEnded(ConnectionBook& book, SocketId socket, uint32_t number)
{
    const auto entry = std::find_if(book.watched.begin(), book.watched.end(), [&](const ConnectionBook::Watched& w) {
        return w.socket == socket && w.number == number;
    });
    if (entry == book.watched.end()) return {};  // no monitor of ours: another process's message
    book.watched.erase(entry);
    ConnectionStep step;
    // The end of the current phone's connection is shown even after a Disconnect ended it here:
    // only now is it over for the phone too. A connection taken over earlier shows nothing.
    if (number == book.currentNumber) {
        step = EndCurrent(book, PhoneChange::Left);
        step.change.kind = PhoneChange::Left;
    }
    step.close = socket;  // after the end: the handle is not reused before it is shut down
    return step;
}

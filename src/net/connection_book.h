// Which phone connection is current, and what each event changes: the decisions of the phone's
// connection, free of the platform so that they are tested natively. The connection code feeds
// it the events it sees and carries out the steps it returns; only the UI thread touches it.
#pragma once
#include <cstdint>
#include <vector>

// A socket handle as a plain number (Windows' SOCKET is pointer-sized).
using SocketId = uint64_t;
constexpr SocketId NO_SOCKET = ~SocketId(0);

// What the user is to be shown after an event.
struct PhoneChange {
    enum Kind : uint8_t {
        Nothing,
        Connected,     // a phone is now the current one (it may have taken over from another)
        Disconnected,  // the current connection was ended on this side
        Left,          // the current connection is over: the phone closed it, or its end was seen
    } kind = Nothing;
    uint32_t address = 0;  // the connected phone's IPv4 address, network order
};

// What the connection code does for an event, in this order: end a connection (shut it down and
// act on no more of its input), close a socket, then serve the connected phone and show the change.
struct ConnectionStep {
    SocketId end = NO_SOCKET;
    SocketId close = NO_SOCKET;
    PhoneChange change;
};

struct ConnectionBook {
    // Every socket handed to a monitor, with its number, until the monitor reports its end: only
    // these are ever closed on a monitor's word.
    struct Watched {
        SocketId socket;
        uint32_t number;
    };
    std::vector<Watched> watched;
    bool connected = false;
    SocketId current = NO_SOCKET;
    uint32_t currentNumber = 0;
    // Grows by one per accepted connection. Socket handles are reused by the platform, so a
    // monitor's word is matched by this number too, never by the handle alone.
    uint32_t lastNumber = 0;
};

// Records a socket about to be handed to a monitor; returns its number.
uint32_t WatchConnection(ConnectionBook& book, SocketId socket);
// The watched connection with this number becomes the current phone; the one before it ends.
ConnectionStep TakeOver(ConnectionBook& book, uint32_t number, uint32_t address);
// The platform reports this socket closed.
ConnectionStep SocketClosed(ConnectionBook& book, SocketId socket);
// The user's Disconnect.
ConnectionStep DisconnectPhone(ConnectionBook& book);
// A monitor's word that it no longer uses its socket (also for a monitor that could not start).
ConnectionStep MonitorEnded(ConnectionBook& book, SocketId socket, uint32_t number);

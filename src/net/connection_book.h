// Which phone connection is current, and what each event changes: the decisions of the phone's
// connection, free of the platform so that they are tested natively. The connection code feeds
// it the events it sees and carries out the steps it returns; only the UI thread touches it.
// An IPv4 address is a uint32_t in host byte order here and everywhere in the program; it is
// turned into network order only where a socket call takes one.
#pragma once
#include <cstdint>
#include <vector>

#include "net/trust.h"

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
        Asking,        // a device the user has not allowed wants to connect: ask the user
        AskingEnded,   // the device being asked about has gone: the question is moot
    } kind = Nothing;
    uint32_t address = 0;  // Connected, Left, Asking, AskingEnded: the device's IPv4 address
    uint32_t number = 0;   // Asking: the connection the user's answer is for
};

// What the connection code does for an event, in this order: end a connection (shut it down; for
// the current one, act on no more of its input), close a socket, serve the connected phone, tell
// the receiver which addresses are being judged when that changed, then show the change.
struct ConnectionStep {
    SocketId end = NO_SOCKET;
    bool endsCurrent = false;     // the connection ended is the current phone's
    // The device's other connections that end with it, unseen: a refusal is the whole device's.
    std::vector<SocketId> endAlso;
    SocketId close = NO_SOCKET;
    bool judged = false;          // a connection left judging (a phone served from it gets its held input)
    PhoneChange change;
    // The question ended: the device waiting longest is judged again, by its newest connection.
    uint32_t askNext = 0;
};

struct ConnectionBook {
    // Every socket handed to a monitor, until the monitor reports its end: only these are ever
    // closed on a monitor's word.
    struct Watched {
        SocketId socket;
        uint32_t number;
        uint32_t address;
        enum Stage : uint8_t {
            Judging,   // until its first bytes or datagram show whether it is a phone, or its
                       // question's turn comes
            Asking,    // kept open, its input ignored, until the user answers
            Admitted,  // the current phone, or one taken over since
            Ending,    // ended on this side; its monitor has yet to report
        } stage;
    };
    std::vector<Watched> watched;
    // Connections of devices to be asked once the question open now ends, oldest first.
    std::vector<uint32_t> waiting;
    // While the screen is locked nobody can be asked: every device to be asked waits.
    bool questionsHeld = false;
    bool connected = false;
    SocketId current = NO_SOCKET;
    uint32_t currentNumber = 0;
    uint32_t currentAddress = 0;
    // Grows by one per accepted connection. Socket handles are reused by the platform, so a
    // monitor's word is matched by this number too, never by the handle alone.
    uint32_t lastNumber = 0;
};

// What one device may hold unserved (being judged, waiting or asked about): far more than a phone
// opens while it reconnects. And what may be open in all, each with its monitor's thread.
constexpr size_t MOST_UNSERVED_PER_DEVICE = 4;
constexpr size_t MOST_CONNECTIONS = 64;

struct Watching {
    uint32_t number = 0;          // 0: refused, too many are open; the caller closes the socket
    std::vector<SocketId> end;    // the device's oldest connections not asked about, past its share
};
// Records a socket about to be handed to a monitor, to be judged. Past MOST_CONNECTIONS it is
// refused, unless it comes from the phone served now (reconnecting); past the device's share its
// oldest connection not being asked about ends, so that a phone never ends its own question.
Watching WatchConnection(ConnectionBook& book, SocketId socket, uint32_t address);
// The connection with this number, or null once its monitor has reported its end.
const ConnectionBook::Watched* FindWatched(const ConnectionBook& book, uint32_t number);
// The numbers of the connections from this address still being judged.
std::vector<uint32_t> JudgingFrom(const ConnectionBook& book, uint32_t address);
// The addresses of every connection being judged, each once.
std::vector<uint32_t> JudgingAddresses(const ConnectionBook& book);
// Whether a device is waiting for the user's answer, or questions are held: another must wait.
bool Asking(const ConnectionBook& book);
// A judged connection: served (it becomes the current phone and the one before it ends), asked
// about, left waiting for the question open now to end, or closed without a word.
ConnectionStep Admit(ConnectionBook& book, uint32_t number, Admission admission);
// A connection found over when its question's turn came: closed without a word, and the next in
// line is judged.
ConnectionStep PassOver(ConnectionBook& book, uint32_t number);
// The user's answer for a connection asked about: a refusal ends every connection of the device.
ConnectionStep Answer(ConnectionBook& book, uint32_t number, bool allowed);
// The user's Disconnect.
ConnectionStep DisconnectPhone(ConnectionBook& book);
// The user left the screen: every connection ends, the current one as a Disconnect ends it and the
// one asked about unrefused; returns their sockets, to be shut down.
std::vector<SocketId> EndEveryConnection(ConnectionBook& book);
// The screen locked: the question open now is put away (its device waits first in line), and
// every device to be asked waits. Returns whether a question was put away.
bool HoldQuestions(ConnectionBook& book);
// The screen unlocked: the connection to ask about first, or 0.
uint32_t ResumeQuestions(ConnectionBook& book);
// A monitor's word that it no longer uses its socket (also for a monitor that could not start). A
// device that leaves while asked about takes every connection of its own with it.
ConnectionStep MonitorEnded(ConnectionBook& book, SocketId socket, uint32_t number);

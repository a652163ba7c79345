#include "net/connection.h"

#include <new>
#include <utility>
#include <vector>

#include "base/owned.h"
#include "base/ui_thread.h"
#include "base/wire.h"
#include "net/local_network.h"
#include "net/monitor.h"
#include "net/owner_session.h"
#include "net/receiver.h"
#include "net/sockets.h"
#include "net/trust_store.h"

static bool InLocalRange(uint32_t device) { return IsLocalNetworkAddress(device, nullptr, 0); }
static bool IsLoopback(uint32_t device) { return (device >> 24) == 127; }

bool (*deviceIsLocal)(uint32_t device) = InLocalRange;
bool (*deviceIsPcItself)(uint32_t device) = IsLoopback;

static ConnectionBook connections;
static OwnedSocket listener;
static HWND listenWindow = nullptr;
static ShowChange show = nullptr;

// Every accepted socket with its monitor's wake event, owned here from the accept until the
// monitor reports its end. Never destroyed: a monitor may still run as the process ends.
struct Accepted {
    OwnedSocket socket;
    OwnedHandle wake;
};
static std::vector<Accepted>& accepted = *new std::vector<Accepted>;

static Accepted* AcceptedOf(SOCKET socket)
{
    for (Accepted& entry : accepted)
        if (entry.socket.get() == socket) return &entry;
    return nullptr;
}

// Closes the socket, and its monitor's wake event with it.
static void CloseConnection(SOCKET socket)
{
    if (Accepted* entry = AcceptedOf(socket)) {
        *entry = std::move(accepted.back());
        accepted.pop_back();
    }
}

bool Listen(HWND window, UINT socketEvent, ShowChange shown)
{
    listenWindow = window;
    show = shown;
    if (listener) return true;
    OwnedSocket candidate(socket(AF_INET, SOCK_STREAM, 0));
    // A full backlog refuses phones that connect in a burst, as one does on reconnecting.
    if (!candidate || !BindServicePortExclusively(candidate.get(), SERVICE_PORT) ||
        listen(candidate.get(), SOMAXCONN) == SOCKET_ERROR ||
        WSAAsyncSelect(candidate.get(), window, socketEvent, FD_ACCEPT) == SOCKET_ERROR)
        return false;
    listener = std::move(candidate);
    return true;
}

void StopListening() { listener.Reset(); }

bool PhoneConnected() { return connections.connected; }

static PhoneChange HandleConnectionJudged(uint32_t number, ConnectionStart start);
static PhoneChange HandleMonitorEnded(SocketId socket, uint32_t number);

// What a monitor saw, on the UI thread.
static void OnJudged(uint32_t number, ConnectionStart start) { show(HandleConnectionJudged(number, start)); }
static void OnEnded(SOCKET socket, uint32_t number) { show(HandleMonitorEnded(SocketId(socket), number)); }

static void AskInTurn(uint32_t number)
{
    (void)RunOnUiThread([number] { OnJudged(number, ConnectionStart::Phone); });
}

// Ends a connection this side: its monitor wakes and reports the end, after which the socket is
// closed.
static void EndConnection(SocketId socket)
{
    (void)shutdown(SOCKET(socket), SD_BOTH);
    if (Accepted* entry = AcceptedOf(SOCKET(socket))) SetEvent(entry->wake.get());
}

// A datagram from the PC itself is taken only from a program of this session.
static bool SentFromThisSession(uint32_t address, uint16_t port) { return HeldInThisSession(Transport::Udp, address, port); }

// Carries out a step in its order, and hands back what the user is to be shown.
static PhoneChange TakeStep(const ConnectionStep& step)
{
    if (step.end != NO_SOCKET) {
        EndConnection(step.end);
        if (step.endsCurrent) StopServingInput();
    }
    for (SocketId socket : step.endAlso) EndConnection(socket);
    if (step.close != NO_SOCKET) CloseConnection(SOCKET(step.close));
    if (step.change.kind == PhoneChange::Connected)
        ServeInputFrom(step.change.address, step.judged,
                       deviceIsPcItself(step.change.address) ? SentFromThisSession : nullptr);
    if (step.judged) AwaitInputFrom(JudgingAddresses(connections));
    const uint32_t device = step.change.address;
    // Its last connection is when it connected or left.
    if (step.change.kind == PhoneChange::Connected || step.change.kind == PhoneChange::Left) NoteConnectedNow(device);
    // A device that leaves while asked is not asked again for a minute, as if refused: one that
    // reconnects over and over would otherwise hold the only question.
    if (step.change.kind == PhoneChange::AskingEnded) NoteRefused(device);
    // The next device's question, on its own turn through the window.
    if (step.askNext) AskInTurn(step.askNext);
    return step.change;
}

// Hands the connection to a new monitor, and the socket to the accepted ones; false, with nothing
// started, when none can be (the socket is then closed, here or at the monitor's end).
static bool StartMonitor(OwnedSocket phone, uint32_t number)
{
    OwnedHandle wake(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!wake) return false;
    const SOCKET lentSocket = phone.get();
    const HANDLE lent = wake.get();
    try {
        accepted.push_back({std::move(phone), std::move(wake)});
    } catch (const std::bad_alloc&) {
        return false;  // both closed with the entry that could not be kept
    }
    auto* watched = new (std::nothrow) MonitoredConnection{lentSocket, lent, number, OnJudged, OnEnded};
    // Monitors end by themselves and nobody waits for them, so the thread's handle is not kept.
    const OwnedHandle thread(watched ? CreateThread(nullptr, 0, RunConnectionMonitor, watched, 0, nullptr) : nullptr);
    if (!thread) delete watched;  // both go when the socket is closed at its end
    return bool(thread);
}

// The peer's address and port; false when they cannot be read.
static bool ReadPeer(SOCKET phone, sockaddr_in& peer)
{
    int peerLength = sizeof peer;
    return getpeername(phone, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 && peer.sin_family == AF_INET;
}

// The phone's address, or false when it cannot be read or is not on a local network.
static bool AcceptablePeer(SOCKET phone, uint32_t& address)
{
    sockaddr_in peer = {};
    if (!ReadPeer(phone, peer)) return false;
    address = ntohl(peer.sin_addr.s_addr);
    return deviceIsLocal(address);
}

// A program of the PC itself drives this user's desktop only from this user's session. Asked as
// the connection is to be admitted, not at every accept: the table of connections is long to read
// during a flood, most of which never lives to be judged.
static bool FromAnotherSession(const ConnectionBook::Watched& entry)
{
    sockaddr_in peer = {};
    return deviceIsPcItself(entry.address) && ReadPeer(SOCKET(entry.socket), peer) &&
           !HeldInThisSession(Transport::Tcp, entry.address, ntohs(peer.sin_port));
}

PhoneChange AcceptConnection()
{
    OwnedSocket phone(accept(listener.get(), nullptr, nullptr));
    if (!phone) return {};  // the phone left before it was taken: nothing changes

    // The accepted socket inherits the listener's notification; its monitor takes its own.
    WSAAsyncSelect(phone.get(), listenWindow, 0, 0);

    uint32_t address = 0;
    if (!AcceptablePeer(phone.get(), address)) return {};  // refused: the user sees nothing change
    const SocketId id = SocketId(phone.get());
    Watching watching;
    try {
        watching = WatchConnection(connections, id, address);
        AwaitInputFrom(JudgingAddresses(connections));
    } catch (const std::bad_alloc&) {
        // No memory to record it: as if refused. One recorded goes on, its datagrams not held.
    }
    if (watching.number == 0) return {};  // too many open, or no memory: as if refused
    for (SocketId socket : watching.end) EndConnection(socket);
    const uint32_t number = watching.number;
    if (!StartMonitor(std::move(phone), number)) return TakeStep(MonitorEnded(connections, id, number));
    return {};  // the monitor judges it within a second
}

// Whether a device that behaves like a phone is served, asked about or closed.
static Admission AdmissionOf(uint32_t address)
{
    const TrustFacts facts = {deviceIsPcItself(address), IsRemembered(ReadTrustedPhones(), SeeDevice(address)),
                              RefusedRecently(address), Asking(connections)};
    return DecideAdmission(facts);
}

// Whether the peer has not closed the connection: its end may already be known while its monitor's
// word waits in the queue. Non-blocking, as the monitor's event selection left the socket; a
// peek takes nothing from the monitor.
static bool StillOpen(SocketId socket)
{
    char byte;
    const int peeked = recv(SOCKET(socket), &byte, 1, MSG_PEEK);
    return peeked > 0 || (peeked == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK);
}

// The connection is a phone, by its first bytes or by its first datagram. No question is asked
// for a connection already over: it leaves without a word, refusing nobody (the device may be
// back already on a connection of its own), and the next in line is judged.
static PhoneChange AdmitPhone(uint32_t number)
{
    const ConnectionBook::Watched* entry = FindWatched(connections, number);
    if (!entry) return {};
    if (FromAnotherSession(*entry)) return TakeStep(Admit(connections, number, Admission::Close));  // unseen
    const Admission admission = AdmissionOf(entry->address);
    if (admission == Admission::Ask && !StillOpen(entry->socket)) return TakeStep(PassOver(connections, number));
    return TakeStep(Admit(connections, number, admission));
}

static PhoneChange HandleConnectionJudged(uint32_t number, ConnectionStart start)
{
    if (start != ConnectionStart::Phone && start != ConnectionStart::Silent)
        return TakeStep(Admit(connections, number, Admission::Close));  // a browser: no word to the user
    const ConnectionBook::Watched* entry = FindWatched(connections, number);
    if (!entry || entry->stage != ConnectionBook::Watched::Judging) return {};  // judged by a datagram, or gone
    // A program of the PC itself that has said nothing (a browser's preconnect, which a web page
    // can aim here) takes over from a phone elsewhere only at its first datagram. From the
    // phone's own address it may: that address's datagrams already drive the PC.
    if (start == ConnectionStart::Silent && connections.connected && connections.currentAddress != entry->address &&
        deviceIsPcItself(entry->address))
        return {};
    return AdmitPhone(number);
}

PhoneChange HandleInputArrived(uint32_t address)
{
    PhoneChange shown;
    // The latest connection from the address is the one that counts; earlier ones end with it.
    for (uint32_t number : JudgingFrom(connections, address)) {
        const PhoneChange change = AdmitPhone(number);
        if (change.kind != PhoneChange::Nothing) shown = change;
    }
    return shown;
}

PhoneChange AnswerDevice(uint32_t number, bool allowed)
{
    const ConnectionBook::Watched* entry = FindWatched(connections, number);
    if (!entry || entry->stage != ConnectionBook::Watched::Asking) return {};
    if (!allowed) NoteRefused(entry->address);
    return TakeStep(Answer(connections, number, allowed));
}

PhoneChange ForgetDevice(const TrustedPhone& entry)
{
    if (!ForgetStoredPhone(entry) || !connections.connected || connections.currentAddress != entry.address) return {};
    const uint32_t device = connections.currentAddress;
    // The phone connected now goes at once unless another entry still vouches for it.
    if (deviceIsPcItself(device) || IsRemembered(ReadTrustedPhones(), SeeDevice(device))) return {};
    return TakeStep(DisconnectPhone(connections));
}

PhoneChange ForgetEveryDevice()
{
    ForgetTrustedPhones();
    if (!connections.connected || deviceIsPcItself(connections.currentAddress)) return {};
    return TakeStep(DisconnectPhone(connections));
}

PhoneChange Disconnect() { return TakeStep(DisconnectPhone(connections)); }

static PhoneChange HandleMonitorEnded(SocketId socket, uint32_t number) { return TakeStep(MonitorEnded(connections, socket, number)); }

void EndEveryConnection()
{
    for (SocketId socket : EndEveryConnection(connections)) {
        // Reset, not closed gracefully: with the phone out of reach a closing connection would
        // linger, and a listener that accepted keeps its exclusive port while any of its
        // connections does, from the copy at the screen.
        const linger abort = {1, 0};
        (void)setsockopt(SOCKET(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
        EndConnection(socket);
    }
    StopServingInput();
    AwaitInputFrom({});
}

bool HoldQuestions() { return HoldQuestions(connections); }

void ResumeQuestions()
{
    if (const uint32_t next = ResumeQuestions(connections)) AskInTurn(next);
}

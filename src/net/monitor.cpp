#include "net/monitor.h"

#include "base/owned.h"
#include "base/ui_thread.h"
#include "base/wire.h"
#include "net/trust.h"

namespace {

struct Watch {
    SOCKET socket;
    HANDLE events[2];  // the wake event, then the socket's own
};

enum class Happened { Silence, Data, Over };

// Waits up to the given time for the phone to send something or for the connection to end.
Happened WaitForPhone(const Watch& watch, ULONGLONG milliseconds)
{
    const DWORD woken = WaitForMultipleObjects(2, watch.events, FALSE, DWORD(milliseconds));
    if (woken == WAIT_TIMEOUT) return Happened::Silence;
    WSANETWORKEVENTS happened = {};
    if (woken != WAIT_OBJECT_0 + 1 || WSAEnumNetworkEvents(watch.socket, watch.events[1], &happened) != 0 ||
        (happened.lNetworkEvents & FD_CLOSE))
        return Happened::Over;
    return Happened::Data;
}

// Reads once what the connection sent, keeping its first bytes for judging and dropping the rest:
// the phone sends nothing that is acted on here. One read per wake, so that a connection that keeps
// sending is still judged on time and ended when told; false once the connection is over.
bool Read(SOCKET socket, unsigned char (&first)[INPUT_PACKET_SIZE], size_t& kept)
{
    char buffer[4096];
    const int received = recv(socket, buffer, sizeof buffer, 0);
    if (received <= 0) return received < 0 && WSAGetLastError() == WSAEWOULDBLOCK;
    for (int i = 0; i < received && kept < sizeof first; ++i) first[kept++] = static_cast<unsigned char>(buffer[i]);
    return true;
}

void SendHeartbeat(SOCKET socket)
{
    static const char heartbeat[INPUT_PACKET_SIZE] = {};  // an input packet of four zero words
    (void)send(socket, heartbeat, sizeof heartbeat, 0);  // a broken connection shows as its close
}

// A wait on events rather than a blocking receive: a receive that timed out leaves the socket in
// an undefined state, and neither a receive nor a select wakes for this side's own shutdown on
// every system, where the wake event does. The heartbeat's silence counts from the accept.
void WatchUntilClosed(const MonitoredConnection& watched, const Watch& watch)
{
    unsigned char first[INPUT_PACKET_SIZE];
    size_t kept = 0;
    bool judged = false;
    ULONGLONG now = GetTickCount64();
    const ULONGLONG judgeBy = now + JUDGING_MS;
    ULONGLONG beatAt = now + HEARTBEAT_SILENCE_MS;
    for (;;) {
        if (!judged) {
            ConnectionStart start = ClassifyConnectionStart(first, kept);
            if (start == ConnectionStart::Undecided && now >= judgeBy)
                start = kept == 0 ? ConnectionStart::Silent : ConnectionStart::Phone;
            if (start != ConnectionStart::Undecided) {
                if (!RunOnUiThread([tell = watched.judged, number = watched.number, start] { tell(number, start); }))
                    return;
                judged = true;
            }
        }
        const ULONGLONG until = judged || beatAt < judgeBy ? beatAt : judgeBy;
        switch (WaitForPhone(watch, until > now ? until - now : 0)) {
        case Happened::Over: return;
        case Happened::Data:
            if (!Read(watch.socket, first, kept)) return;
            beatAt = GetTickCount64() + HEARTBEAT_SILENCE_MS;  // whatever the phone sends postpones it
            break;
        case Happened::Silence:
            if (GetTickCount64() >= beatAt) {
                SendHeartbeat(watch.socket);
                beatAt = GetTickCount64() + HEARTBEAT_SILENCE_MS;
            }
            break;
        }
        now = GetTickCount64();
    }
}

}  // namespace

DWORD WINAPI RunConnectionMonitor(LPVOID argument)
{
    const MonitoredConnection watched = *static_cast<MonitoredConnection*>(argument);
    delete static_cast<MonitoredConnection*>(argument);

    WSAEVENT arrived = WSACreateEvent();
    if (arrived != WSA_INVALID_EVENT) {
        const Watch watch = {watched.socket, {watched.wake, arrived}};
        if (WSAEventSelect(watched.socket, arrived, FD_READ | FD_CLOSE) == 0) WatchUntilClosed(watched, watch);
        WSACloseEvent(arrived);
    }
    // The last use of the socket and the event here; the UI thread, their owner, closes both when
    // told. With the UI thread gone the program is ending, and they go with it.
    (void)RunOnUiThread([tell = watched.ended, socket = watched.socket, number = watched.number] { tell(socket, number); });
    return 0;
}

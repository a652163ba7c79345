#include "net/monitor.h"

#include "net/wire.h"

static void SendHeartbeat(SOCKET socket)
{
    static const char heartbeat[INPUT_PACKET_SIZE] = {};  // an input packet of four zero words
    (void)send(socket, heartbeat, sizeof heartbeat, 0);  // a broken connection shows as its close
}

// Reads whatever the phone sent; false once the connection is over.
static bool Drain(SOCKET socket)
{
    for (;;) {
        char buffer[64];
        const int received = recv(socket, buffer, sizeof buffer, 0);
        if (received > 0) continue;  // whatever the phone sends only postpones the heartbeat
        return received < 0 && WSAGetLastError() == WSAEWOULDBLOCK;
    }
}

// A wait on events rather than a blocking receive: a receive that timed out leaves the socket in
// an undefined state, and neither a receive nor a select wakes for this side's own shutdown on
// every system, where the wake event does.
static void WatchUntilClosed(SOCKET socket, HANDLE wake)
{
    WSAEVENT arrived = WSACreateEvent();
    if (arrived == WSA_INVALID_EVENT) return;
    const HANDLE events[] = {wake, arrived};
    if (WSAEventSelect(socket, arrived, FD_READ | FD_CLOSE) == 0) {
        for (;;) {
            const DWORD woken = WaitForMultipleObjects(2, events, FALSE, HEARTBEAT_SILENCE_MS);
            if (woken == WAIT_TIMEOUT) {
                SendHeartbeat(socket);
                continue;
            }
            WSANETWORKEVENTS happened = {};
            if (woken != WAIT_OBJECT_0 + 1 || WSAEnumNetworkEvents(socket, arrived, &happened) != 0 ||
                (happened.lNetworkEvents & FD_CLOSE) || !Drain(socket))
                break;
        }
    }
    WSACloseEvent(arrived);
}

DWORD WINAPI RunConnectionMonitor(LPVOID argument)
{
    const MonitoredConnection watched = *static_cast<MonitoredConnection*>(argument);
    delete static_cast<MonitoredConnection*>(argument);

    WatchUntilClosed(watched.socket, watched.wake);
    // The last use of the socket and the event here; the UI thread closes both on this message.
    // With the window gone nobody else ever will.
    if (!PostMessageW(watched.window, watched.message, WPARAM(watched.socket), LPARAM(watched.number))) {
        closesocket(watched.socket);
        CloseHandle(watched.wake);
    }
    return 0;
}

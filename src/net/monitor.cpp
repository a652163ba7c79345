#include "net/monitor.h"

#include "net/connection.h"

static void SendHeartbeat(SOCKET socket)
{
    static const char heartbeat[16] = {};  // an input packet of four zero words
    (void)send(socket, heartbeat, sizeof heartbeat, 0);  // a broken connection shows in the next receive
}

static void WatchUntilClosed(SOCKET socket)
{
    for (;;) {
        char buffer[16];
        const int received = recv(socket, buffer, sizeof buffer, 0);
        if (received > 0) continue;  // whatever the phone sends only postpones the heartbeat
        if (received == 0 || WSAGetLastError() != WSAETIMEDOUT) return;
        SendHeartbeat(socket);
    }
}

DWORD WINAPI RunConnectionMonitor(LPVOID argument)
{
    const MonitoredConnection watched = *static_cast<MonitoredConnection*>(argument);
    delete static_cast<MonitoredConnection*>(argument);

    const DWORD timeout = HEARTBEAT_SILENCE_MS;
    (void)setsockopt(watched.socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    WatchUntilClosed(watched.socket);
    // The last use of the socket here; the UI thread closes it on this message. With the window
    // gone nobody else ever will.
    if (!PostMessageW(watched.window, WM_MONITOR_ENDED, WPARAM(watched.socket), LPARAM(watched.number)))
        closesocket(watched.socket);
    return 0;
}

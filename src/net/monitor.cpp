#include "net/monitor.h"

#include <windows.h>

#include "app/status_window.h"
#include "app/tray.h"
#include "net/connection.h"

static void SendHeartbeat(SOCKET socket)
{
    static const char heartbeat[16] = {};  // an input packet of four zero words
    (void)send(socket, heartbeat, sizeof heartbeat, 0);  // a broken connection shows in the next receive
}

// Receives until the connection ends; false when it ended because a newer phone took over.
static bool WatchUntilClosed(const MonitoredConnection& watched)
{
    for (;;) {
        char buffer[16];
        const int received = recv(watched.socket, buffer, sizeof buffer, 0);
        if (!IsCurrentConnection(watched.number)) return false;
        if (received > 0) continue;  // whatever the phone sends only postpones the heartbeat
        if (received == 0) return true;
        if (WSAGetLastError() != WSAETIMEDOUT) return true;
        if (connectionState.connectionSocket.load() != watched.socket) return true;  // taken for closing
        SendHeartbeat(watched.socket);
    }
}

DWORD WINAPI RunConnectionMonitor(LPVOID argument)
{
    const MonitoredConnection watched = *static_cast<MonitoredConnection*>(argument);
    delete static_cast<MonitoredConnection*>(argument);

    if (!IsCurrentConnection(watched.number)) return 0;  // taken over before this thread ran
    const DWORD timeout = HEARTBEAT_SILENCE_MS;
    (void)setsockopt(watched.socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    if (!WatchUntilClosed(watched)) return 0;

    SOCKET taken;
    if (!EndConnectionIfCurrent(watched.number, watched.socket, taken)) return 0;
    SetWindowTextW(statusWindow.phoneAddressLabel, L"0.0.0.0");
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Disconnected");
    ApplyTrayRecordWithBalloon(notConnectedRecord, L"iPod/iPhone disconnected.");
    FinishMonitoredDisconnect(taken);
    return 0;
}

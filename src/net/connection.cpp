#include "net/connection.h"

#include "net/connection_report.h"
#include "net/local_subnets.h"
#include "net/monitor.h"
#include "net/receiver.h"

ConnectionState connectionState;

// Where the listener's notifications and the monitors' reports go.
static HWND notifiedWindow = nullptr;

// Hands watched to a new monitor, or frees it when no thread can be started.
static bool StartMonitor(MonitoredConnection* watched)
{
    // Monitors end by themselves and nobody waits for them, so the handle is not kept.
    HANDLE thread = CreateThread(nullptr, 0, RunConnectionMonitor, watched, 0, nullptr);
    if (!thread) {
        delete watched;
        return false;
    }
    CloseHandle(thread);
    return true;
}

SOCKET CreateListener(HWND window)
{
    notifiedWindow = window;
    ReadLocalSubnets();
    SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
    if (listener == INVALID_SOCKET) return INVALID_SOCKET;
    if (!BindServicePortExclusively(listener, SERVICE_PORT) || listen(listener, 0) == SOCKET_ERROR ||
        WSAAsyncSelect(listener, window, WM_SOCKET_EVENT, FD_ACCEPT | FD_CLOSE) == SOCKET_ERROR) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    return listener;
}

// Ends the current connection, if any, without closing its socket: the shutdown makes its
// monitor's receive return, and the socket is closed when the monitor reports that it ended.
static void EndCurrentConnection()
{
    if (!connectionState.connected) return;
    (void)shutdown(connectionState.connectionSocket, SD_BOTH);
    connectionState.connectionSocket = INVALID_SOCKET;
    connectionState.connected = false;
    StopServingInput();
}

void HandleSocketEvent(WPARAM socket, LPARAM lParam)
{
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_ACCEPT: AcceptConnection(); break;
    // An accepted socket inherits the listener's notifications until the accept cancels them, so
    // a close may be queued for an earlier phone's socket: only the current one's counts.
    case FD_CLOSE:
        if (connectionState.connected && SOCKET(socket) == connectionState.connectionSocket) Disconnect();
        break;
    default: break;
    }
}

// The phone's address, or false when it cannot be read or is not on a local network.
static bool AcceptablePeer(SOCKET phone, in_addr& address)
{
    sockaddr_in peer = {};
    int peerLength = sizeof peer;
    if (getpeername(phone, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0 || peer.sin_family != AF_INET)
        return false;
    address = peer.sin_addr;
    return IsLocalPeer(address);
}

void AcceptConnection()
{
    SOCKET phone = accept(connectionState.listenSocket, nullptr, nullptr);
    if (phone == INVALID_SOCKET) return;  // the phone left before it was taken: nothing changes

    // The accepted socket inherits the listener's notifications, which must go before it can block.
    WSAAsyncSelect(phone, notifiedWindow, 0, 0);
    u_long nonBlocking = 0;
    ioctlsocket(phone, FIONBIO, &nonBlocking);

    in_addr address = {};
    const uint32_t number = connectionState.connectionNumber + 1;
    // Refused, or without a monitor to watch it: closed at once, and the user sees nothing change.
    if (!AcceptablePeer(phone, address) || !StartMonitor(new MonitoredConnection{phone, number, notifiedWindow})) {
        closesocket(phone);
        return;
    }
    // A second phone takes over: the first phone sees its connection end.
    EndCurrentConnection();
    connectionState.connectionSocket = phone;
    connectionState.connectionNumber = number;
    connectionState.connected = true;
    ServeInputFrom(address.s_addr);
    ReportPhoneConnected(address);
}

void Disconnect()
{
    EndCurrentConnection();
    ReportPhoneDisconnected();
}

void HandleMonitorEnded(WPARAM socket, LPARAM number)
{
    closesocket(SOCKET(socket));  // the monitor no longer uses it
    if (uint32_t(number) != connectionState.connectionNumber) return;  // taken over earlier: nothing to show
    EndCurrentConnection();
    ReportPhoneLeft();
}

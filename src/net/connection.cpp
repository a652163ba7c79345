#include "net/connection.h"

#include <windows.h>

#include "app/messages.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "net/monitor.h"
#include "net/receiver.h"

ConnectionState connectionState;

// Serialises the changes of which connection is current (accept, disconnect, the monitor's end),
// so a monitor that ends never clears the flag or takes the socket of a newer connection. Held
// only for these few words and closes: never across a call that sends a window message.
static SRWLOCK connectionLock = SRWLOCK_INIT;

static bool StartWorker(LPTHREAD_START_ROUTINE body, void* argument)
{
    // Workers end by themselves and nobody waits for them, so the handle is not kept.
    HANDLE thread = CreateThread(nullptr, 0, body, argument, 0, nullptr);
    if (!thread) return false;
    CloseHandle(thread);
    return true;
}

// Each socket is closed by whoever took it out of connectionSocket, so it is closed exactly once.
static void CloseConnectionSocket(SOCKET socket)
{
    if (socket == INVALID_SOCKET) return;
    shutdown(socket, SD_BOTH);
    closesocket(socket);
}

SOCKET CreateListener()
{
    WriteComputerName();
    SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
    if (listener == INVALID_SOCKET) return INVALID_SOCKET;
    const int reuse = 1;
    (void)setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(SERVICE_PORT);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR ||
        listen(listener, 0) == SOCKET_ERROR ||
        WSAAsyncSelect(listener, statusWindow.window, WM_SOCKET_EVENT, FD_ACCEPT | FD_CLOSE) == SOCKET_ERROR) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    return listener;
}

void HandleSocketEvent(LPARAM lParam)
{
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_ACCEPT: AcceptConnection(); break;
    case FD_CLOSE:
        if (connectionState.connected.load() == 1) Disconnect();
        break;
    default: break;
    }
}

void AcceptConnection()
{
    SOCKET phone = accept(connectionState.listenSocket, nullptr, nullptr);
    if (phone == INVALID_SOCKET) return;  // the phone left before it was taken: nothing changes

    // The accepted socket inherits the listener's notifications, which must go before it can block.
    WSAAsyncSelect(phone, statusWindow.window, 0, 0);
    u_long nonBlocking = 0;
    ioctlsocket(phone, FIONBIO, &nonBlocking);

    sockaddr_in peer = {};
    int peerLength = sizeof peer;
    if (getpeername(phone, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) peer.sin_addr.s_addr = 0;

    AcquireSRWLockExclusive(&connectionLock);
    const uint32_t number = connectionState.connectionNumber.fetch_add(1) + 1;
    connectionState.phoneAddress.store(peer.sin_addr.s_addr);
    connectionState.connected.store(1);
    // A second phone takes over: the first phone's socket is closed now, so that phone sees
    // its connection end; its monitor finds the number changed and ends quietly.
    const SOCKET previous = connectionState.connectionSocket.exchange(phone);
    ReleaseSRWLockExclusive(&connectionLock);
    CloseConnectionSocket(previous);

    WriteAddressLabel(statusWindow.phoneAddressLabel, peer.sin_addr);
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Connected");
    ApplyTrayRecordWithBalloon(connectedRecord, L"iPod/iPhone connected");

    MonitoredConnection* watched = new MonitoredConnection{phone, number};
    if (!StartWorker(RunConnectionMonitor, watched)) delete watched;
    (void)StartWorker(RunInputReceiver, nullptr);
}

static void ShowNotConnected()
{
    ApplyTrayRecord(notConnectedRecord);
    SetWindowTextW(statusWindow.phoneAddressLabel, L"0.0.0.0");
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Not connected");
}

void Disconnect()
{
    AcquireSRWLockExclusive(&connectionLock);
    const SOCKET socket = connectionState.connectionSocket.exchange(INVALID_SOCKET);
    connectionState.connected.store(0);
    ReleaseSRWLockExclusive(&connectionLock);
    CloseConnectionSocket(socket);
    ShowNotConnected();
}

bool IsCurrentConnection(uint32_t number) { return connectionState.connectionNumber.load() == number; }

bool EndConnectionIfCurrent(uint32_t number, SOCKET watched, SOCKET& taken)
{
    AcquireSRWLockExclusive(&connectionLock);
    const bool current = IsCurrentConnection(number);
    taken = INVALID_SOCKET;
    if (current) {
        connectionState.connected.store(0);
        // Already taken, and closed, when the UI thread's Disconnect came first.
        SOCKET expected = watched;
        if (connectionState.connectionSocket.compare_exchange_strong(expected, INVALID_SOCKET)) taken = watched;
    }
    ReleaseSRWLockExclusive(&connectionLock);
    return current;
}

void FinishMonitoredDisconnect(SOCKET taken)
{
    CloseConnectionSocket(taken);
    ShowNotConnected();
}

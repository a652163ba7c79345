// The connection monitor: the worker thread that watches one phone's TCP connection. It judges
// the connection by its first bytes, answers silence with heartbeats, and never closes the
// socket: when the connection ends, or when the UI thread sets its wake event, it tells the UI
// thread, which owns the socket and the event and closes them.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

#include "net/trust.h"

// What a monitor watches; allocated by the accept, owned and freed by the monitor.
struct MonitoredConnection {
    SOCKET socket;
    HANDLE wake;  // set when this side ends the connection
    uint32_t number;
    // Called on the UI thread: how the connection started, within a second; that it is over.
    void (*judged)(uint32_t number, ConnectionStart start);
    void (*ended)(SOCKET socket, uint32_t number);
};

constexpr DWORD HEARTBEAT_SILENCE_MS = 5000;
// A phone sends nothing that needs longer to judge; a browser speaks at once.
constexpr DWORD JUDGING_MS = 1000;

DWORD WINAPI RunConnectionMonitor(LPVOID connection);

// The connection monitor: the worker thread that watches one phone's TCP connection and answers
// silence with heartbeats. It never closes the socket: when the connection ends it posts
// WM_MONITOR_ENDED and the UI thread, which owns the socket, closes it.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

// What a monitor watches; allocated by the accept, owned and freed by the monitor.
struct MonitoredConnection {
    SOCKET socket;
    uint32_t number;
    HWND window;  // told when the connection ends
};

constexpr DWORD HEARTBEAT_SILENCE_MS = 5000;

DWORD WINAPI RunConnectionMonitor(LPVOID connection);

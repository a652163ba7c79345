// The connection monitor: the worker thread that watches one phone's TCP connection and answers
// silence with heartbeats. It never closes the socket: when the connection ends, or when the UI
// thread sets its wake event, it posts its window's message, and the UI thread, which owns the
// socket and the event, closes them.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

// What a monitor watches; allocated by the accept, owned and freed by the monitor.
struct MonitoredConnection {
    SOCKET socket;
    HANDLE wake;  // set when this side ends the connection
    uint32_t number;
    HWND window;   // told when the connection ends:
    UINT message;  // the socket in wParam, the number in lParam
};

constexpr DWORD HEARTBEAT_SILENCE_MS = 5000;

DWORD WINAPI RunConnectionMonitor(LPVOID connection);

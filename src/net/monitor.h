// The connection monitor: the worker thread that watches one phone's TCP connection, answers
// silence with heartbeats and ends the connection for the whole program when it closes.
#pragma once
#include <winsock2.h>

#include <cstdint>

// What a monitor watches; allocated by the accept, owned and freed by the monitor.
struct MonitoredConnection {
    SOCKET socket;
    uint32_t number;
};

constexpr DWORD HEARTBEAT_SILENCE_MS = 5000;

DWORD WINAPI RunConnectionMonitor(LPVOID connection);

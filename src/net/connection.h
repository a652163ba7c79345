// The phone's connection: the TCP listener, accepting a phone, and ending its connection.
#pragma once
#include <winsock2.h>

#include <atomic>
#include <cstdint>

constexpr u_short SERVICE_PORT = 4026;

// Shared by the UI thread, the connection monitor and the input receiver; every field a worker
// touches is an atomic word.
struct ConnectionState {
    SOCKET listenSocket = INVALID_SOCKET;                   // set once at start-up
    std::atomic<SOCKET> connectionSocket{INVALID_SOCKET};  // the current phone's, until taken for closing
    std::atomic<long> connected{0};                         // 1 while a phone is connected
    // Grows by one per accepted phone. Socket handle values are reused by the platform, so a
    // worker asks "is this still my connection?" by this number, never by the handle.
    std::atomic<uint32_t> connectionNumber{0};
    // The current phone's IPv4 address in network order: the only sender whose input is acted on.
    std::atomic<uint32_t> phoneAddress{0};
};

extern ConnectionState connectionState;

SOCKET CreateListener();
void HandleSocketEvent(LPARAM lParam);
void AcceptConnection();
void Disconnect();

bool IsCurrentConnection(uint32_t number);
// The connection monitor's end of its connection, in two steps around its own messages to the
// user. The first clears the flag and takes the watched socket, unless a newer connection has
// taken over (then it returns false and changes nothing) or the UI thread took the socket first.
bool EndConnectionIfCurrent(uint32_t number, SOCKET watched, SOCKET& taken);
// The second closes what the first took and leaves the status at "Not connected".
void FinishMonitoredDisconnect(SOCKET taken);

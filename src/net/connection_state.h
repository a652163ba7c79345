// The connection state: the one record that the phone connection's threads share.
#pragma once
#include <atomic>
#include <cstdint>

#include "net/sockets.h"

constexpr uint16_t SERVICE_PORT = 4026;

// Written by the UI thread and the connection monitor, read by the input receiver; every field
// a worker touches is an atomic word.
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

// The connection state: which phone connection is current. Only the UI thread reads or writes it.
#pragma once
#include <cstdint>

#include "net/sockets.h"

constexpr uint16_t SERVICE_PORT = 4026;

struct ConnectionState {
    SOCKET listenSocket = INVALID_SOCKET;      // set once at start-up
    SOCKET connectionSocket = INVALID_SOCKET;  // the current phone's, until its connection is ended
    bool connected = false;
    // Grows by one per accepted phone. Socket handle values are reused by the platform, so the
    // monitor's word that its connection ended is matched by this number, never by the handle.
    uint32_t connectionNumber = 0;
};

extern ConnectionState connectionState;

// The owner of a socket, the one place a socket is closed; the same on Windows and on POSIX
// systems, so that the input receiver and the phone simulator also build natively.
#pragma once
#ifdef _WIN32
#include <winsock2.h>
#else
#include <unistd.h>
using SOCKET = int;
constexpr SOCKET INVALID_SOCKET = -1;
#endif

#include "base/owner.h"

struct CloseSocket {
    void operator()(SOCKET socket) const
    {
#ifdef _WIN32
        closesocket(socket);
#else
        close(socket);
#endif
    }
};
using OwnedSocket = Owned<SOCKET, INVALID_SOCKET, CloseSocket>;

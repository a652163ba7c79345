// The socket names the input receiver uses, the same on Windows and on POSIX systems, so that
// the receiver also builds natively (its benchmark runs it both ways).
#pragma once
#include <cstdint>

#include "base/owned_socket.h"

#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
using SocketLength = int;
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

using SocketLength = socklen_t;
#endif

// Binds every interface's port so that no other program can bind it too: on Windows another
// socket could otherwise share the port with SO_REUSEADDR and see or steal the phone's traffic.
inline bool BindServicePortExclusively(SOCKET socket, uint16_t port)
{
#ifdef _WIN32
    const BOOL exclusive = TRUE;
    if (setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                   sizeof exclusive) != 0)
        return false;
#endif
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    return bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// Whether a failed receive leaves the socket unusable, rather than reporting one bad datagram
// (too long, or an earlier send's failure that Windows reports on the next receive).
inline bool ReceiveFailureIsLasting()
{
#ifdef _WIN32
    const int error = WSAGetLastError();
    return error != WSAEMSGSIZE && error != WSAECONNRESET && error != WSAENETRESET && error != WSAEINTR;
#else
    return errno != EINTR;
#endif
}

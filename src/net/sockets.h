// The socket names the input receiver uses, the same on Windows and on POSIX systems, so that
// the receiver also builds natively (its benchmark runs it both ways).
#pragma once
#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
using SocketLength = int;
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

using SOCKET = int;
constexpr SOCKET INVALID_SOCKET = -1;
inline int closesocket(SOCKET socket) { return close(socket); }
using SocketLength = socklen_t;
using DWORD = uint32_t;
using LPVOID = void*;
#define WINAPI
#endif

// Which user's program is at the other end of a connection or datagram from the PC itself. Such a
// program drives this user's desktop only when it runs in this user's own session: a program of
// another signed-in user, a service or a Remote Desktop session is no phone of this user's.
// UI thread and the input receiver's thread.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

#include "net/trust.h"

enum class Transport { Tcp, Udp };

// Whether the program that holds this local address and port (as the other end sees them) runs in
// this session. Where the network stack names no owner (the program has gone already), it counts
// as this session's.
bool HeldInThisSession(Transport transport, uint32_t address, uint16_t port);
// The session this program runs in.
uint32_t ThisSession();

// The session of the process that holds the address and port, or NO_OWNER_SESSION where none is
// named. Tests replace it: Wine names process 0, nobody, for every row.
extern uint32_t (*ownerSession)(Transport transport, uint32_t address, uint16_t port);

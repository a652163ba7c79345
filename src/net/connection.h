// The phone's connection: the TCP listener, accepting a phone, and ending its connection.
#pragma once
#include <winsock2.h>

#include <cstdint>

#include "net/connection_state.h"

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

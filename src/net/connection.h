// The phone's connection: the TCP listener, accepting a phone, and ending its connection. All of
// it runs on the UI thread, which alone decides which connection is current; the connection
// monitors only report back through the window's message queue.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include "net/connection_state.h"

// The listener's notifications: the socket in wParam, the event and error in lParam.
constexpr UINT WM_SOCKET_EVENT = WM_USER + 2;
// A monitor's word that its connection has ended: the socket in wParam, its number in lParam.
constexpr UINT WM_MONITOR_ENDED = WM_USER + 4;

// Listens on TCP port 4026 with notifications to window; INVALID_SOCKET when that fails. Also
// reads the local subnets that phones are accepted from.
SOCKET CreateListener(HWND window);
void HandleSocketEvent(WPARAM socket, LPARAM lParam);
void AcceptConnection();
// Ends the current connection for the user's Disconnect; its monitor reports the end later.
void Disconnect();
void HandleMonitorEnded(WPARAM socket, LPARAM number);

// The phone's connection: the TCP listener, accepting a phone, and ending its connection. All of
// it runs on the UI thread, which alone decides which connection is current; each function
// returns what the user is to be shown.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include "net/connection_book.h"

// Listens on TCP port 4026: the listener's notifications go to window as socketMessage, the
// monitors' words that their connections ended as monitorMessage. True once listening, also when
// it already was; false while the port cannot be had.
bool Listen(HWND window, UINT socketMessage, UINT monitorMessage);
// Closes the listener (phones already connected stay).
void StopListening();

PhoneChange HandleSocketEvent(WPARAM socket, LPARAM event);
// Ends the current connection for the user's Disconnect; its monitor reports the end later.
PhoneChange Disconnect();
PhoneChange HandleMonitorEnded(WPARAM socket, LPARAM number);

bool PhoneConnected();

// A device's name, as the network knows it: a reverse lookup of its address, which home routers
// answer with the name a phone gave itself ("pixel-seven.lan"). It can take seconds, so it runs on
// a thread of its own and never holds anything up.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string>

// Posts message to window when the name is found: the address (network order) in wParam, and in
// lParam a std::wstring* holding the name (NameFromHostName), which the window then owns and
// deletes. Nothing is posted when there is no name.
void LookUpDeviceName(in_addr address, HWND window, UINT message);

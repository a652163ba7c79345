// A device's name, as the network knows it: a reverse lookup of its address, which home routers
// answer with the name a phone gave itself ("pixel-seven.lan"). It can take seconds, so it runs on
// a thread of its own and never holds anything up.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>

#include <functional>
#include <string>

// Hands found the name (NameFromHostName) on the UI thread once it is found; nothing when there
// is none.
void LookUpDeviceName(uint32_t address, std::function<void(const std::wstring&)> found);
// The reverse lookup itself (GetNameInfoW), on the worker; tests give their devices names.
extern int(WSAAPI* reverseLookup)(const SOCKADDR* address, socklen_t length, PWCHAR host, DWORD hostLength,
                                  PWCHAR service, DWORD serviceLength, INT flags);

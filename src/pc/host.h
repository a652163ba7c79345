// The PC itself: its name, its IPv4 addresses and subnets, the interface of its default route,
// and Windows' word that they changed. Everything is read afresh at each ask: networks come and
// go while the program runs. Used on the UI thread.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "net/local_network.h"

// The PC's DNS host name; empty when it cannot be had.
void ReadHostName(wchar_t (&name)[256]);
// The PC's IPv4 addresses; false, with the list left as it was, when they cannot be read.
bool ReadHostAddresses(std::vector<HostAddress>& addresses);
// The address a phone on the PC's network can reach (see shown_address.h); false when the
// addresses cannot be read.
bool ShownHostAddress(uint32_t& address);
// The adapter of that address, whose network phones come from; false for none (loopback only).
bool ShownAddressAdapter(GUID& adapter);
// Whether a phone at this address may connect: on a local network by the PC's subnets as they are
// now (the last ones read, when they cannot be read now).
bool IsLocalPeer(uint32_t address);
// Loopback, or one of the PC's own addresses: a program on the PC itself.
bool IsPcItself(uint32_t address);
// From now on, changed is called on the UI thread whenever Windows reports an address change.
bool WatchAddressChanges(void (*changed)());

// An IPv4 address in dotted form.
std::wstring FormatAddress(uint32_t address);

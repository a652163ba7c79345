// The devices the user allowed, kept per user in the registry so that they survive restarts; the
// devices refused in the last minute; and what the PC sees of a device now. UI thread only.
#pragma once
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <functional>
#include <string>
#include <vector>

#include "net/trusted_list.h"

// The device at this address as the PC sees it now: whether it is on one of the PC's own
// networks, and its hardware address where the neighbour table has it (a device that has just
// connected). Quick: nothing is asked of the network.
Device SeeDevice(uint32_t address);
// The device with its hardware address, asked of the network on the interface its route leaves
// through where the neighbour table lacks it; that can take seconds, so it runs on a worker, and
// learnt is handed the device on the UI thread (macKnown false where none could be had), unless
// the device was forgotten meanwhile: a Forget is never undone by a lookup under way.
void LearnDevice(uint32_t address, std::function<void(const Device&)> learnt);

// The network stack's word, which tests replace to meet devices on a network of their own: true,
// with the interface, for a device reached without a gateway; the neighbour lookup on that
// interface.
extern bool (*routeToDevice)(uint32_t address, NET_LUID& interfaceLuid);
extern NETIO_STATUS(WINAPI* resolveNeighbour)(PMIB_IPNET_ROW2 row, const SOCKADDR_INET* source);

// The stored list; a damaged or foreign entry, or a value of another type, counts for nothing.
std::vector<TrustedPhone> ReadTrustedPhones();

enum class Remembered { Yes, NoHardwareAddress, ForeignValue, Failed };
// Adds the device (as LearnDevice gave it) to the stored list, marked connected now, with the name
// looked up for it. A device on the PC's own network is remembered only with its hardware
// address: an entry without one would vouch for any later device at that address. Anything but
// Yes: the device is asked about again next time. A stored value that cannot be read (of another
// type) is left as it is, and so are the entries this program cannot read.
Remembered RememberDevice(const Device& device, const std::wstring& lookedUpName);
// The device connected or left now: the entries that vouch for it say so.
void NoteConnectedNow(uint32_t address);
// The name found for a device once it was remembered: its own entry's, unless the user gave one.
void NoteLookedUpName(const Device& device, const std::wstring& name);
// The user's own name for the entry; false when nothing was written (the entry is gone, the name
// is as it was, or the write failed).
bool RenamePhone(const TrustedPhone& entry, const std::wstring& name);
// Forgets the one entry; false when nothing was written (it was gone already, or the write failed).
bool ForgetStoredPhone(const TrustedPhone& entry);
void ForgetTrustedPhones();
// From now on, changed is called on the UI thread, in its own turn, after each change of the list.
void WatchTrustedList(void (*changed)());

// The user refused the device, let its question lapse, or it left while asked: for a minute it is
// not asked about.
void NoteRefused(uint32_t address);
bool RefusedRecently(uint32_t address);

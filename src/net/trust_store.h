// The devices the user allowed, kept per user in the registry so that they survive restarts; the
// devices refused in the last minute; and what the PC sees of a device now. UI thread only.
#pragma once
#include <winsock2.h>

#include <string>
#include <vector>

#include "net/trusted_list.h"

// The device at this address, with its hardware address where the PC's neighbour table has it
// (a device on one of the PC's own networks, which has just connected).
Device SeeDevice(in_addr address);

// The stored list; a damaged or foreign entry, or a value of another type, counts for nothing.
std::vector<TrustedPhone> ReadTrustedPhones();

enum class Remembered { Yes, NoHardwareAddress, ForeignValue, Failed };
// Adds the device to the stored list, marked connected now. A device on
// the PC's own network is remembered only with its hardware address, resolved when the neighbour
// table lacks it: an entry without one would vouch for any later device at that address. Anything
// but Yes: the device is asked about again next time. A stored value that cannot be read (of
// another type) is left as it is, and so are the entries this program cannot read.
Remembered RememberPhone(in_addr address);
// The device connected or left now: the entries that vouch for it say so.
void NoteConnectedNow(in_addr address);
// The name found for the device at the address, for the entries at that address without a given one.
void NoteLookedUpName(in_addr address, const std::wstring& name);
// The user's own name for the entry; false when it could not be written.
bool RenamePhone(const TrustedPhone& entry, const std::wstring& name);
// Forgets the one entry; false when it could not be written.
bool ForgetPhone(const TrustedPhone& entry);
void ForgetTrustedPhones();

// The user refused the device, let its question lapse, or it left while asked: for a minute it is
// not asked about.
void NoteRefused(in_addr address);
bool RefusedRecently(in_addr address);

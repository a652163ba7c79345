// The devices the user allowed, kept per user in the registry so that they survive restarts; the
// devices refused in the last minute; and what the PC sees of a device now. UI thread only.
#pragma once
#include <winsock2.h>

#include <vector>

#include "net/trust.h"

// The device at this address, with its hardware address where the PC's neighbour table has it
// (a device on one of the PC's own networks, which has just connected).
Device SeeDevice(in_addr address);

// The stored list; a damaged or foreign entry, or a value of another type, counts for nothing.
std::vector<TrustedPhone> ReadTrustedPhones();
// Adds the device to the stored list; false when it could not be remembered (the device is then
// asked about again next time). A stored value that cannot be read is left as it is.
bool RememberPhone(const Device& device);
void ForgetTrustedPhones();

// The user refused the device, or let its question lapse: for a minute it is not asked about.
void NoteRefused(in_addr address);
bool RefusedRecently(in_addr address);

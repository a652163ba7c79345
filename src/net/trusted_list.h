// The devices the user allowed, as the per-user store keeps them: each one's address, hardware
// address where the PC could learn it, the time it last connected and its name. Free of the
// platform, so that every stored form is tested natively; trust_store.cpp reads and writes it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The device connecting now.
struct Device {
    uint32_t address;  // host byte order
    bool macKnown;
    uint8_t mac[6];
};

struct TrustedPhone {
    uint32_t address;  // host byte order
    bool macKnown;
    uint8_t mac[6];
    uint64_t lastConnected;  // seconds since 1970 (UTC); 0 for an entry from before times were kept
    std::wstring name;       // empty: none yet
    bool nameGiven;          // the user gave the name, which a looked-up one never replaces
};

// The stored list: the entries this program reads, and those it cannot, which it keeps as they are.
struct TrustedList {
    std::vector<TrustedPhone> phones;
    std::vector<std::wstring> unreadable;
};

// Far more than anyone allows; a PC in use for years keeps the newest by last connection.
constexpr size_t MOST_TRUSTED_PHONES = 1000;
// A name is the user's text, cut to this many UTF-16 units.
constexpr size_t LONGEST_NAME = 64;

// One stored entry: "192.168.1.20" or "192.168.1.20 0a-1b-2c-3d-4e-5f", as earlier versions wrote
// them, then a tab and the time, then a tab, 'g' (given) or 'l' (looked up) and the name. False
// for anything else.
bool ParseTrustedPhone(const std::wstring& text, TrustedPhone& phone);
std::wstring FormatTrustedPhone(const TrustedPhone& phone);

// A hardware address as the store and the trusted phones' window write it: "0a-1b-2c-3d-4e-5f".
std::wstring FormatHardwareAddress(const uint8_t (&mac)[6]);

// The list as the registry stores it: each entry followed by a nul, an empty entry last.
TrustedList ParseTrustedList(const std::wstring& stored);
std::wstring FormatTrustedList(const TrustedList& list);

// Whether a remembered entry vouches for the device: the same address, and the same hardware
// address where one was remembered.
bool IsRemembered(const std::vector<TrustedPhone>& phones, const Device& device);
// The same entry: its address and hardware address.
bool SameEntry(const TrustedPhone& a, const TrustedPhone& b);

// Adds the device (or finds the entry that vouches for it) and marks it connected now; the entry
// connected longest ago goes past MOST_TRUSTED_PHONES.
void AddTrustedPhone(TrustedList& list, const Device& device, uint64_t now);
// Marks the entries that vouch for the device connected now; false when none does.
bool NoteConnected(TrustedList& list, const Device& device, uint64_t now);
// Names the entry; a looked-up name never replaces one the user gave. False when nothing changed.
bool NamePhone(TrustedList& list, const TrustedPhone& entry, const std::wstring& name, bool given);
// The name looked up for the device at the address (host byte order), for each entry there
// without a name the user gave. False when nothing changed.
bool NameLookedUp(TrustedList& list, uint32_t address, const std::wstring& name);
// Removes the entry; false when it was not there.
bool ForgetPhone(TrustedList& list, const TrustedPhone& entry);

// The name a host name gives a device: its first label ("pixel-seven" of "pixel-seven.lan"), cut
// to LONGEST_NAME; empty for an address written as a name.
std::wstring NameFromHostName(const std::wstring& hostName);

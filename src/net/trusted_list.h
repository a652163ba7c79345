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
    // Reached without a gateway: every device there has a hardware address the PC can learn, and
    // any other device on that network can take the address.
    bool onOwnNetwork = false;
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
// A name is the user's text or the network's, one line of it cut to this many characters.
constexpr size_t LONGEST_NAME = 64;

// One stored entry: "192.168.1.20" or "192.168.1.20 0a-1b-2c-3d-4e-5f", as earlier versions wrote
// them, then a tab and the time, then a tab, 'g' (given) or 'l' (looked up) and the name (a longer
// one, written by hand or by a later version, is read cut to its length). False for anything else.
bool ParseTrustedPhone(const std::wstring& text, TrustedPhone& phone);
std::wstring FormatTrustedPhone(const TrustedPhone& phone);

// A hardware address as the store and the trusted phones' window write it: "0a-1b-2c-3d-4e-5f".
std::wstring FormatHardwareAddress(const uint8_t (&mac)[6]);

// The list as the registry stores it: each entry followed by a nul, an empty entry last.
TrustedList ParseTrustedList(const std::wstring& stored);
std::wstring FormatTrustedList(const TrustedList& list);

// Whether a remembered entry vouches for the device: the same address, and the same hardware
// address where one was remembered; an entry without one vouches only for a device beyond the
// PC's own network, where no hardware address can be learnt.
bool IsRemembered(const std::vector<TrustedPhone>& phones, const Device& device);
// The same entry: its address and hardware address.
bool SameEntry(const TrustedPhone& a, const TrustedPhone& b);

// Adds the device (or finds the entry that vouches for it) and marks it connected now, with the
// name looked up for it, if any; an entry at its address without a hardware address gives way to
// one with it, and the entry connected longest ago goes past MOST_TRUSTED_PHONES.
void AddTrustedPhone(TrustedList& list, const Device& device, uint64_t now, const std::wstring& lookedUpName = L"");
// Marks the entries that vouch for the device connected now; false when none does.
bool NoteConnected(TrustedList& list, const Device& device, uint64_t now);
// The entry that remembers the device: its address and hardware address.
TrustedPhone EntryOf(const Device& device);
// Names the entry, one line cut to LONGEST_NAME; a looked-up name never replaces one the user
// gave. False when nothing changed.
bool NamePhone(TrustedList& list, const TrustedPhone& entry, const std::wstring& name, bool given);
// Removes the entry; false when it was not there.
bool DropFromList(TrustedList& list, const TrustedPhone& entry);

// The name a host name gives a device: its first label ("pixel-seven" of "pixel-seven.lan"), one
// line cut to LONGEST_NAME; empty for an address written as a name.
std::wstring NameFromHostName(const std::wstring& hostName);

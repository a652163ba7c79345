// What the phone app, other copies of this program and its installer rely on, fixed for good: the
// port, the packet, the service type, how copies find each other, and the settings the installer
// leaves for the program. The program, the phone simulator and the installer (through defines
// that its build reads from here) all take them from this file.
#pragma once

// The texts that the resource script and the installer read from here too: the product's name,
// the status window's title, and the name of the Startup shortcut that starts the program at log-on.
#define PRODUCT_NAME_TEXT "Palvenor Server"
#define STATUS_WINDOW_TITLE_TEXT "Quorvane Palvenor Server for Windows"
#define STARTUP_SHORTCUT_TEXT "Quorvane Palvenor Server.lnk"

#ifndef RC_INVOKED
#include <cstdint>

constexpr uint16_t SERVICE_PORT = 4026;  // TCP for the phone's presence, UDP for its input
// Four big-endian 32-bit words; the heartbeat is the same layout, all zero.
constexpr int INPUT_PACKET_SIZE = 16;
constexpr char SERVICE_TYPE[] = "_Pavrel._tcp";

// Every running copy holds this named semaphore; its status window has this title and ends the
// program when it is posted the quit request.
constexpr wchar_t INSTANCE_SEMAPHORE_NAME[] = L"PavrelServer";
// A narrow text the resource script also reads, as the wide text the program uses.
#define WIRE_WIDEN2(text) L##text
#define WIRE_WIDEN(text) WIRE_WIDEN2(text)
constexpr wchar_t STATUS_WINDOW_TITLE[] = WIRE_WIDEN(STATUS_WINDOW_TITLE_TEXT);
constexpr wchar_t STARTUP_SHORTCUT_NAME[] = WIRE_WIDEN(STARTUP_SHORTCUT_TEXT);
constexpr unsigned QUIT_REQUEST_MESSAGE = 0x0403;

// The program's settings, per user under HKEY_CURRENT_USER and, from the installer, for the whole
// machine under HKEY_LOCAL_MACHINE: the installer's choice of a start at log-on (a DWORD, 1 or 0)
// and that choice's mark (a string, new at each install), which each user's copy applies once.
constexpr wchar_t SETTINGS_KEY[] = L"Software\\Quorvane\\Palvenor Server";
constexpr wchar_t START_AT_LOGON_VALUE[] = L"Start at log-on";
constexpr wchar_t CHOICE_MARK_VALUE[] = L"Installer choice";

// The inbound firewall rules the installer adds and the program's mend adds again, by name.
constexpr wchar_t FIREWALL_TCP_RULE[] = L"Palvenor Server (TCP)";
constexpr wchar_t FIREWALL_UDP_RULE[] = L"Palvenor Server (UDP)";
#endif

// What the phone app, other copies of this program and its installer rely on, fixed for good: the
// port, the packet, the service type, how copies find each other, and the settings the installer
// leaves for the program. The program, the phone simulator and the installer (through defines
// that its build reads from here) all take them from this file.
#pragma once
#include <cstdint>

constexpr uint16_t SERVICE_PORT = 4026;  // TCP for the phone's presence, UDP for its input
// Four big-endian 32-bit words; the heartbeat is the same layout, all zero.
constexpr int INPUT_PACKET_SIZE = 16;
constexpr char SERVICE_TYPE[] = "_Pavrel._tcp";

// Every running copy holds this named semaphore; its status window has this title and ends the
// program when it is posted the quit request (WM_USER + 3).
constexpr wchar_t INSTANCE_SEMAPHORE_NAME[] = L"PavrelServer";
constexpr wchar_t STATUS_WINDOW_TITLE[] = L"Quorvane Palvenor Server for Windows";
constexpr unsigned QUIT_REQUEST_MESSAGE = 0x0403;

// The program's settings, per user under HKEY_CURRENT_USER and, from the installer, for the whole
// machine under HKEY_LOCAL_MACHINE: the installer's choice of a start at log-on (a DWORD, 1 or 0)
// and that choice's mark (a string, new at each install), which each user's copy applies once.
constexpr wchar_t SETTINGS_KEY[] = L"Software\\Quorvane\\Palvenor Server";
constexpr wchar_t START_AT_LOGON_VALUE[] = L"Start at log-on";
constexpr wchar_t CHOICE_MARK_VALUE[] = L"Installer choice";

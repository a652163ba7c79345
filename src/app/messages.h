// The program's private window messages, timers and identifiers: every number the status window
// answers has its home here. Lower layers that post are handed their window and message.
#pragma once
#include <windows.h>

#include "base/wire.h"

constexpr UINT WM_TRAY_CALLBACK = WM_USER + 1;
// The listener's accepts: the event and error in lParam.
constexpr UINT WM_SOCKET_EVENT = WM_USER + 2;
// Posted by another copy's "-quit" and "-uninstall", and by the installer.
constexpr UINT WM_QUIT_REQUEST = QUIT_REQUEST_MESSAGE;
// A monitor's word that its connection has ended: the socket in wParam, its number in lParam.
constexpr UINT WM_MONITOR_ENDED = WM_USER + 4;
// Windows' DNS-SD service answered the registration: wParam 0, or the error.
constexpr UINT WM_ADVERTISEMENT_OUTCOME = WM_USER + 5;
// Windows reports that an IP address of the PC came or went.
constexpr UINT WM_ADDRESS_CHANGED = WM_USER + 6;
// A monitor's word on how its connection started: its number in wParam, a ConnectionStart in lParam.
constexpr UINT WM_CONNECTION_JUDGED = WM_USER + 7;
// The receiver's word that a datagram came from an address being judged: the address in wParam.
constexpr UINT WM_INPUT_ARRIVED = WM_USER + 8;
// The user's answer to the trust prompt: the connection's number in wParam, 1 (allowed) or 0 in lParam.
constexpr UINT WM_DEVICE_ANSWERED = WM_USER + 9;
// The elevated copy that mends the firewall has ended.
constexpr UINT WM_FIREWALL_MENDED = WM_USER + 10;

constexpr UINT TRAY_ICON_ID = 101;

constexpr UINT_PTR REFRESH_TIMER_ID = 101;  // the address label, while the window is visible
constexpr UINT REFRESH_PERIOD_MS = 10000;
constexpr UINT_PTR PORT_RETRY_TIMER_ID = 102;  // while another program holds the port
constexpr UINT PORT_RETRY_PERIOD_MS = 10000;
constexpr UINT_PTR PROMPT_READY_TIMER_ID = 103;  // the trust prompt's buttons come alive
constexpr UINT PROMPT_READY_MS = 1000;
constexpr UINT_PTR PROMPT_LAPSE_TIMER_ID = 104;  // the trust prompt goes unanswered
constexpr UINT PROMPT_LAPSE_MS = 30000;
constexpr UINT_PTR NETWORK_SETTLED_TIMER_ID = 105;  // the advertisement anew after network changes
constexpr UINT NETWORK_SETTLED_MS = 2000;

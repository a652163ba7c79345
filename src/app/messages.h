// The program's private window messages, timers and identifiers: every number the status window
// answers has its home here. Lower layers that post are handed their window and message.
//
// The messages numbered from WM_USER came first and keep their numbers: the quit request's is
// posted by other copies and by installers in use. On a dialog, WM_USER to WM_USER + 2 are also
// the dialog manager's own (DM_GETDEFID, DM_SETDEFID, DM_REPOSITION), so the status window's
// procedure answers every private message as handled and the dialog manager never acts on one.
// New messages come from WM_APP up.
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
// Another window came to the foreground.
constexpr UINT WM_FOREGROUND_CHANGED = WM_APP + 1;
// The receiver acted on the phone's input after it was asked to tell (TellOfNextInputServed).
constexpr UINT WM_INPUT_SERVED = WM_APP + 2;
// Sent by the trusted phones' window: forget the TrustedPhone that lParam points to.
constexpr UINT WM_FORGET_PHONE = WM_APP + 4;

constexpr UINT PRIVATE_MESSAGES[] = {
    WM_TRAY_CALLBACK,     WM_SOCKET_EVENT,       WM_QUIT_REQUEST,    WM_MONITOR_ENDED,
    WM_ADVERTISEMENT_OUTCOME, WM_ADDRESS_CHANGED, WM_CONNECTION_JUDGED, WM_INPUT_ARRIVED,
    WM_DEVICE_ANSWERED,   WM_FIREWALL_MENDED,    WM_FOREGROUND_CHANGED, WM_INPUT_SERVED,
    WM_FORGET_PHONE,
};
// Each private message has a number of its own, and none new is numbered where the dialog
// manager's and the early ones are.
constexpr bool PrivateMessagesNumberedSafely()
{
    const size_t count = sizeof PRIVATE_MESSAGES / sizeof *PRIVATE_MESSAGES;
    for (size_t i = 0; i < count; ++i) {
        if (PRIVATE_MESSAGES[i] > WM_USER + 10 && PRIVATE_MESSAGES[i] < WM_APP) return false;
        for (size_t j = i + 1; j < count; ++j)
            if (PRIVATE_MESSAGES[i] == PRIVATE_MESSAGES[j]) return false;
    }
    return true;
}
static_assert(PrivateMessagesNumberedSafely(), "private messages share a number, or a new one is below WM_APP");

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

// The program's private window messages, timers and identifiers: every number the status window
// answers has its home here. Only what Windows, the shell or another process sends is a message;
// workers hand the UI thread their work through RunOnUiThread.
//
// The quit request's number stays: it is posted by other copies and by installers in use. On a
// dialog, WM_USER to WM_USER + 2 are also the dialog manager's own (DM_GETDEFID, DM_SETDEFID,
// DM_REPOSITION), so the status window's procedure answers every private message as handled and
// the dialog manager never acts on one.
#pragma once
#include <windows.h>

#include "base/wire.h"

constexpr UINT WM_TRAY_CALLBACK = WM_USER + 1;
// The listener's accepts: the event and error in lParam.
constexpr UINT WM_SOCKET_EVENT = WM_USER + 2;
// Posted by another copy's "-quit" and "-uninstall", and by the installer.
constexpr UINT WM_QUIT_REQUEST = QUIT_REQUEST_MESSAGE;
// Posted by a copy started while this one runs: the user is looking for the window.
constexpr UINT WM_SHOW_REQUEST = WM_USER + 4;

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
// Early at log-on Remote Desktop's services may not take the session's registration yet.
constexpr UINT_PTR SESSION_WATCH_TIMER_ID = 106;
constexpr UINT SESSION_WATCH_RETRY_MS = 5000;
constexpr UINT_PTR CONSOLE_ASK_TIMER_ID = 107;  // the console was between two sessions
constexpr UINT CONSOLE_ASK_MS = 1000;

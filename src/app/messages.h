// The private window messages and identifiers that the status window's message table answers.
#pragma once
#include <windows.h>

constexpr UINT WM_TRAY_CALLBACK = WM_USER + 1;
constexpr UINT WM_QUIT_REQUEST = WM_USER + 3;
// The phone's connection has two of its own, WM_USER + 2 and + 4 (net/connection.h), and the
// advertisement one, WM_USER + 5 (advertise/advertise.h).

constexpr UINT TRAY_ICON_ID = 101;
constexpr UINT_PTR REFRESH_TIMER_ID = 101;
constexpr UINT REFRESH_PERIOD_MS = 10000;

constexpr wchar_t STATUS_WINDOW_TITLE[] = L"Quorvane Palvenor Server for Windows";

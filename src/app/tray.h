// The tray icon: it draws the look it is handed (the phone's record decides it) and keeps it only to
// hand the shell again, and a balloon only ever says what it was given.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <vector>

// The shell call that adds, changes and removes the icon; tests put a recorder here.
extern BOOL(WINAPI* notifyIcon)(DWORD message, PNOTIFYICONDATAW record);

// Adds the icon with the look last handed, and asks for the current notification-icon conventions.
void AddTrayIcon();
void RemoveTrayIcon();
// The icon's picture (a phone connected or not), its tip's text after the program's name, and
// the menu's state: Disconnect for a connected phone, Pause input checked while paused.
struct TrayLook {
    bool connected;
    UINT tip;
    bool paused;
};
void ShowTrayLook(const TrayLook& look);
// A balloon on the icon's current look; a click on it opens link (a page or a settings address).
// None is shown in the user's quiet time (a new user's first hour), when Windows would dismiss it
// unseen: false then, and a balloon meant to be said once is said at its next occasion.
bool ShowBalloon(const wchar_t* text, const wchar_t* link = nullptr);
// The balloon once for each network, which told remembers once it is shown.
void ShowBalloonOncePerNetwork(std::vector<GUID>& told, const GUID& network, const wchar_t* text,
                               const wchar_t* link = nullptr);
// Windows' word on whether the user may be shown notifications; tests replace it.
extern HRESULT(WINAPI* queryNotificationState)(QUERY_USER_NOTIFICATION_STATE* state);

// The status window's rows owned by the tray.
INT_PTR OnTrayCallback(WPARAM anchor, LPARAM event);
INT_PTR OnTaskbarCreated();
INT_PTR OnDpiChanged();

// The tray icon. Callers say what the user is to know (the phone's connection, a pause, something
// that just happened); the icon alone chooses its picture and its tip, so they always show the
// connection's state, and a balloon only ever says what it was given.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <vector>

// The shell call that adds, changes and removes the icon; tests put a recorder here.
extern BOOL(WINAPI* notifyIcon)(DWORD message, PNOTIFYICONDATAW record);

// Adds the icon, not connected, and asks for the current notification-icon conventions.
void AddTrayIcon();
void RemoveTrayIcon();
// The look and tip of a phone connected or not; a pause shows in the tip of either.
void ShowTrayConnected(bool connected);
void ShowTrayPaused(bool paused);
// Another user is at the screen: the tip says phones are served in their session.
void ShowTrayAway(bool away);
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

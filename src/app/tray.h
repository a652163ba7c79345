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
// A balloon on the icon's current look; a click on it opens link (a page or a settings address).
void ShowBalloon(const wchar_t* text, const wchar_t* link = nullptr);
// The balloon once for each network, which told remembers.
void ShowBalloonOncePerNetwork(std::vector<GUID>& told, const GUID& network, const wchar_t* text,
                               const wchar_t* link = nullptr);

// The status window's rows owned by the tray.
INT_PTR OnTrayCallback(WPARAM anchor, LPARAM event);
INT_PTR OnTaskbarCreated();
INT_PTR OnDpiChanged();

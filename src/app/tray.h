// The tray icon: it draws the look it is handed (the phone's record decides it) and keeps it only to
// hand the shell again, and a balloon only ever says what it was given.
#pragma once
#include <windows.h>
#include <shellapi.h>

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
// unseen. True when it was said: the shell took it while Windows accepts notifications.
bool ShowBalloon(const wchar_t* text, const wchar_t* link = nullptr);

// What a balloon said once is about: a network, a window, or neither (once in all).
struct BalloonSubject {
    GUID network;
    HWND window;
};
// The balloon, unless one of this topic (the id of its text) was said about this subject already.
// It counts as said only as ShowBalloon says: one the user could not see (quiet time, away or busy,
// a presentation or a full-screen program) is said at its next occasion. The tray keeps the one
// memory of what was said; a window's is forgotten with the window.
void ShowBalloonOnce(UINT topic, const BalloonSubject& subject, const wchar_t* text, const wchar_t* link = nullptr);
bool BalloonSaid(UINT topic, const BalloonSubject& subject);
// Windows' word on whether the user may be shown notifications; tests replace it.
extern HRESULT(WINAPI* queryNotificationState)(QUERY_USER_NOTIFICATION_STATE* state);

// The status window's rows owned by the tray.
INT_PTR OnTrayCallback(WPARAM anchor, LPARAM event);
INT_PTR OnTaskbarCreated();
INT_PTR OnDpiChanged();

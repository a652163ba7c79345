// Which session is at the screen: Windows runs one copy per signed-in user, and only the one whose
// user is at the console serves phones. Away, it frees both ports for that copy; locked, it keeps
// the phone connected but acts on none of its input and asks nobody about a device.
#pragma once
#include <windows.h>

// At start-up: registers for the session's notices (again every few seconds until Windows takes
// it) and compares its session with the console's, asking again a moment later while the console
// is between two sessions; a session locked at start counts as locked until the unlock. True when
// phones are to be served now.
bool WatchSession();
// Before the window is destroyed.
void StopWatchingSession();
// WM_WTSSESSION_CHANGE: the event in wParam, the session's id in lParam.
INT_PTR OnSessionChange(WPARAM event, LPARAM session);
// The timers' ticks: the registration tried again, the console asked again.
void RetryWatchingSession();
void AskTheConsoleAgain();

// Windows' answers, which tests replace.
extern BOOL(WINAPI* registerSessionNotices)(HWND window, DWORD flags);
extern DWORD(WINAPI* activeConsoleSession)();
extern bool (*sessionLockedNow)();

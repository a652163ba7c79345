// Which session is at the screen: Windows runs one copy per signed-in user, and only the one whose
// user is at the console serves phones. Away, it frees both ports for that copy; locked, it keeps
// the phone connected but acts on none of its input and asks nobody about a device.
#pragma once
#include <windows.h>

// At start-up: registers for the session's notices and compares its session with the console's;
// true when phones are to be served now.
bool WatchSession();
// Before the window is destroyed.
void StopWatchingSession();
// WM_WTSSESSION_CHANGE: the event in wParam, the session's id in lParam.
INT_PTR OnSessionChange(WPARAM event, LPARAM session);

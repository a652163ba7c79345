// What the user sees when Windows keeps the phone's input out of the foreground window (a program
// run as administrator): a line in the status window while that window is in front, and one
// balloon per such window once a phone's input is acted on while it is.
#pragma once
#include <windows.h>

// Starts following the foreground window.
void WatchForeground();
INT_PTR OnForegroundChanged();
INT_PTR OnInputServed();

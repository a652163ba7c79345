// The foreground window, and whether Windows lets this program's input reach it. Read when the
// foreground changes, never for each datagram. UI thread only.
#pragma once
#include <windows.h>

#include <string>

// From now on, changed is called whenever another window comes to the foreground, in its own turn.
bool WatchForegroundChanges(void (*changed)());

// The foreground window when Windows keeps this program's input out of it, with its title; null
// otherwise. Tests replace it: Wine has no integrity levels.
struct ElevatedWindow {
    HWND window;
    std::wstring title;
};
extern ElevatedWindow (*readElevatedForeground)();

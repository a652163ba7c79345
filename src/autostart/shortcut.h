// The shortcut in the user's Startup folder that starts the program at log-on.
#pragma once
#include <windows.h>

HRESULT CreateStartupShortcut();
BOOL DeleteStartupShortcut();
BOOL StartupShortcutExists();

// The user's Startup folder, as the shell names it; tests give a folder of their own.
extern bool (*startupFolder)(wchar_t (&folder)[MAX_PATH]);

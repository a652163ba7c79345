// The shortcut in the user's Startup folder that starts the program at log-on.
#pragma once
#include <windows.h>

HRESULT CreateStartupShortcut();
BOOL DeleteStartupShortcut();
BOOL StartupShortcutExists();

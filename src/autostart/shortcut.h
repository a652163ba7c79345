// The shortcut in the user's Startup folder that starts the program at log-on.
#pragma once
#include <windows.h>

HRESULT CreateStartupShortcut();
BOOL DeleteStartupShortcut();
BOOL StartupShortcutExists();
HRESULT CreateShellLink(const wchar_t* targetPath, const wchar_t* linkPath, const wchar_t* description);

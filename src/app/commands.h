// What the tray menu's commands and the status window's check box do.
#pragma once
#include <windows.h>

INT_PTR OnSettingsCommand();
INT_PTR OnDisconnectCommand();
INT_PTR OnPauseCommand();
INT_PTR OnForgetCommand();
// Forgets the one trusted phone that entry points to (a TrustedPhone); connected now, it goes at once.
INT_PTR OnForgetPhone(LPARAM entry);
// The start at log-on, as the user ticked it; the box then shows what the Startup folder holds.
INT_PTR OnAutostartClicked(HWND window);

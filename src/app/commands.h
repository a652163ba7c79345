// What the tray menu's commands and the status window's check box do.
#pragma once
#include <windows.h>

INT_PTR OnSettingsCommand();
INT_PTR OnDisconnectCommand();
INT_PTR OnPauseCommand();
INT_PTR OnForgetCommand();
// The start at log-on, as the user ticked it; the box then shows what the Startup folder holds.
INT_PTR OnAutostartClicked(HWND window);

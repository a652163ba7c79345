// What the tray menu's commands, the status window's check box and another copy's start do.
#pragma once
#include <windows.h>

INT_PTR OnSettingsCommand();
// The window shown by a start (the first after the installer, "-showui", a second copy's): with
// the line that says where the icon lives, since the user may not know.
void ShowStatusWindowFromStart();
INT_PTR OnShowRequest();
INT_PTR OnDisconnectCommand();
INT_PTR OnPauseCommand();
INT_PTR OnForgetCommand();
// The start at log-on, as the user ticked it; the box then shows what the Startup folder holds.
INT_PTR OnAutostartClicked(HWND window);

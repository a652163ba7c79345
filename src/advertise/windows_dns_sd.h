// Registration with Windows' own DNS-SD service, for PCs without Bonjour.
#pragma once
#include <windows.h>

// Asks for the registration; true when the service took the request, whose outcome is then
// posted to window as WM_ADVERTISEMENT_OUTCOME.
bool RegisterWithWindows(HWND window);
void DeregisterFromWindows();

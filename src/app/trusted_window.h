// The window "Trusted phones": every device the user allowed, newest first, with its name,
// address, hardware address and last connection; one can be renamed in place or forgotten, or all
// of them. One per program; it follows what happens while it is open.
#pragma once
#include <windows.h>

// Opens the window, or brings the open one to the front.
INT_PTR OnTrustedPhonesCommand();
// The stored list changed: the open window shows it anew.
void RefreshTrustedPhones();
// The open window, or null; its keyboard messages go through the dialog manager.
HWND TrustedPhonesWindow();

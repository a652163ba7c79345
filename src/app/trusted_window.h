// The window "Trusted phones": every device the user allowed, newest first, with its name,
// address, hardware address and last connection; one can be renamed in place or forgotten, or all
// of them. One per program; it follows what happens while it is open.
#pragma once
#include <windows.h>

#include "net/trusted_list.h"

// Opens the window, or brings the open one to the front.
INT_PTR OnTrustedPhonesCommand();
// The stored list changed: the open window shows it anew. The window follows the store itself.
void RefreshTrustedPhones();
// Forgets one trusted phone, as the window's Forget does: connected now, it goes at once.
void ForgetTrustedPhone(const TrustedPhone& entry);
// The open window, or null.
HWND TrustedPhonesWindow();

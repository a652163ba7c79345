// What the user sees of the service advertisement.
#pragma once
#include <windows.h>

// "Registered", or "Failed" with the balloon that tells the user how phones can still connect,
// and the status window shown.
void ShowAdvertisement(bool registered);

// The status window's row for the outcome that Windows' DNS-SD service reports later.
INT_PTR OnAdvertisementOutcome(WPARAM status);

// What the user sees of trusting a device beyond the question itself: the name looked up while it
// is asked about, kept with it once allowed, and a word when an allowed phone cannot be remembered.
#pragma once
#include <windows.h>

// A name was found: wParam the address, lParam the std::wstring* this takes over.
INT_PTR OnDeviceNamed(WPARAM address, LPARAM name);
// The user's answer to the question about the connection with this number.
INT_PTR OnDeviceAnswered(WPARAM number, LPARAM allowed);

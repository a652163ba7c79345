// The status window: its handles and labels, showing and hiding, and the message table that
// every part of the program is reached through.
#pragma once
#include <windows.h>

// Process-wide handles, set by start-up and held for the life of the process.
struct StatusWindowHandles {
    HINSTANCE instance;
    HWND window;
    HWND localAddressLabel;
    HWND phoneAddressLabel;
    HWND computerNameLabel;
    HWND connectionStatusLabel;
    HWND advertisementStatusLabel;
};

extern StatusWindowHandles statusWindow;

INT_PTR CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ShowStatusWindow();
void HideStatusWindow();
void FetchLabelHandles();

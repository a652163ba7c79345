// The status window's handles, and showing and hiding it: what every view reads, so it reads none
// of them back.
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

// Finds the labels of the window just created.
void FetchLabelHandles();
void ShowStatusWindow();
void HideStatusWindow();

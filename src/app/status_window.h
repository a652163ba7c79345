// The status window: its handles and labels, showing and hiding, the local address and the
// message table that every part of the program is reached through.
#pragma once
#include <winsock2.h>
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

// The host's IPv4 addresses, collected once at start-up; only entry 0 is ever shown.
extern sockaddr_in localAddresses[8];

INT_PTR CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ShowStatusWindow();
void HideStatusWindow();
void FetchLabelHandles();
void WriteComputerName();
void CollectLocalAddresses();
void RefreshLocalAddress();

// An IPv4 address in dotted form, widened into a cleared 64-character buffer.
void FormatAddress(in_addr address, wchar_t (&text)[64]);
void WriteAddressLabel(HWND label, in_addr address);

// The link label: a plain static control made to look and act as a web link, by replacing the
// window procedures of the control and its parent and keeping their state in window properties.
#pragma once
#include <windows.h>

extern const wchar_t SUPPORT_PAGE[];

// Opens a web page; tests replace it so that no browser starts.
extern void (*openWebPage)(const wchar_t* address);

BOOL MakeLinkLabel(HWND label);
LRESULT CALLBACK LinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The status window's row for a click on the support link.
INT_PTR OnSupportLinkClicked();

// The status window's handles, its values, and showing and hiding it: what every view uses, so it
// uses none of them back.
#pragma once
#include <windows.h>

// Process-wide handles, set by start-up and held for the life of the process.
struct StatusWindowHandles {
    HINSTANCE instance;
    HWND window;
};

extern StatusWindowHandles statusWindow;

// The values the window shows, each beside its caption.
enum class StatusValue { ComputerName, LocalAddress, Connection, PhoneAddress, Advertisement };
// The window shows the text as the value; its labels are its own.
void ShowStatusValue(StatusValue value, const wchar_t* text);
// The value's label, for what measures or reads it.
HWND StatusValueLabel(StatusValue value);
void ShowStatusWindow();
void HideStatusWindow();

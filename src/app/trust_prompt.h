// The question to the user about a device that wants to connect: "Allow this phone?". At most one
// is open; it answers itself "Don't allow" when closed or left unanswered until it lapses.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// The user's answer, on the UI thread once the question has closed.
using DeviceAnswer = void (*)(uint32_t number, bool allowed);

// Opens the question about the device at this address, whose connection has this number.
void OpenDevicePrompt(uint32_t address, uint32_t number, DeviceAnswer answer);
// The name found for the question with this number: while it is open, it shows beside the address.
void ShowDeviceName(uint32_t number, const std::wstring& name);
// The device has gone: the question closes unanswered.
void CloseDevicePrompt();
// The open question's window, or null.
HWND DevicePrompt();

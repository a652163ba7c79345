// The service advertisement: Bonjour's DNS-SD registration where its library is installed,
// otherwise Windows' own DNS-SD service, held for the life of the process.
#pragma once
#include <windows.h>

enum class Advertisement { Registered, Pending, Failed };

// Pending: Windows' service answers later, by posting outcomeMessage to window (wParam 0 when
// the service is registered, otherwise the error).
// The PC is named by its DNS host name, computer.
Advertisement AdvertiseService(HWND window, UINT outcomeMessage, const wchar_t* computer);
// Withdraws what was registered, once, so that phones learn at once that the PC has gone.
void WithdrawAdvertisement();

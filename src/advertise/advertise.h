// The service advertisement: Bonjour's DNS-SD registration where its library is installed,
// otherwise Windows' own DNS-SD service, held for the life of the process.
#pragma once
#include <windows.h>

constexpr char SERVICE_TYPE[] = "_Pavrel._tcp";

// The outcome of a registration that Windows' service answers later, posted to the window given
// to AdvertiseService: wParam is 0 when the service is registered, otherwise the error.
constexpr UINT WM_ADVERTISEMENT_OUTCOME = WM_USER + 5;

enum class Advertisement { Registered, Pending, Failed };

Advertisement AdvertiseService(HWND window);
// Withdraws what was registered, once, so that phones learn at once that the PC has gone.
void WithdrawAdvertisement();

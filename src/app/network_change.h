// What follows a change of the PC's networks: Windows' word that an address came or went, and a
// resume from sleep, after which the advertisement may be lost though nothing else says so.
#pragma once
#include <windows.h>

INT_PTR OnAddressChanged();
INT_PTR OnPowerBroadcast(WPARAM event);
// The advertisement is made anew once the changes have settled.
INT_PTR OnNetworkSettled();

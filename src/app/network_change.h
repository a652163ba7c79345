// What follows a change of the PC's networks: Windows' word that an address came or went, and a
// resume from sleep, after which the advertisement may be lost though nothing else says so.
#pragma once
#include <windows.h>

// Windows reports that an IP address of the PC came or went.
void OnAddressChanged();
INT_PTR OnPowerBroadcast(WPARAM event);
// Once the changes have settled: the firewall is read again and the advertisement made anew.
INT_PTR OnNetworkSettled();

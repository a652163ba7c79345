// The service advertisement: Bonjour's DNS-SD registration where its library is installed,
// otherwise Windows' own DNS-SD service, held for the life of the process.
#pragma once

enum class Advertisement { Registered, Pending, Failed };

// Windows' service's later answer, on the UI thread: whether the service is registered.
using AdvertisementOutcome = void (*)(bool registered);

// Pending: Windows' service answers later, through outcome. The PC is named by its DNS host
// name, computer.
Advertisement AdvertiseService(AdvertisementOutcome outcome, const wchar_t* computer);
// Withdraws what was registered, once, so that phones learn at once that the PC has gone.
void WithdrawAdvertisement();

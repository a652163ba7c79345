#include "advertise/advertise.h"

#include <winsock2.h>

#include "advertise/dns_sd_client.h"
#include "advertise/windows_dns_sd.h"
#include "base/library_function.h"
#include "base/wire.h"

// Bonjour's registration stays in force for as long as the process holds its reference.
static DNSServiceRef serviceReference = nullptr;
static DNSServiceRefDeallocateFunction deallocate = nullptr;

static bool RegisterWithBonjour()
{
    // Only from the system folder, where Bonjour installs it: a copy beside the program, in the
    // current folder or on the PATH would otherwise be run at every log-on.
    HMODULE library = LoadLibraryExW(DNS_SD_LIBRARY, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return false;
    const auto registerService = LibraryFunction<DNSServiceRegisterFunction>(library, "DNSServiceRegister");
    if (!registerService) return false;
    deallocate = LibraryFunction<DNSServiceRefDeallocateFunction>(library, "DNSServiceRefDeallocate");
    return registerService(&serviceReference, 0, 0, "", SERVICE_TYPE, "", "", htons(SERVICE_PORT), 0, nullptr,
                           nullptr, nullptr) == 0;
}

Advertisement AdvertiseService(AdvertisementOutcome outcome, const wchar_t* computer)
{
    serviceReference = nullptr;
    if (RegisterWithBonjour()) return Advertisement::Registered;
    serviceReference = nullptr;  // whatever a refusing library left there is not a registration
    return RegisterWithWindows(outcome, computer) ? Advertisement::Pending : Advertisement::Failed;
}

void WithdrawAdvertisement()
{
    if (serviceReference && deallocate) deallocate(serviceReference);
    serviceReference = nullptr;
    DeregisterFromWindows();
}

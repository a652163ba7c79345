#include "advertise/advertise.h"

#include <winsock2.h>

#include "advertise/windows_dns_sd.h"
#include "base/dns_sd_client.h"
#include "base/loaded_functions.h"
#include "base/wire.h"

// Bonjour's registration stays in force for as long as the process holds its reference.
static DNSServiceRef serviceReference = nullptr;
static DNSServiceRefDeallocateFunction deallocate = nullptr;

// From the system folder, where Bonjour installs it.
static bool RegisterWithBonjour()
{
    const auto registerService = Load(DNS_SERVICE_REGISTER);
    if (!registerService) return false;
    deallocate = Load(DNS_SERVICE_REF_DEALLOCATE);
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

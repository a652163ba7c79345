#include "advertise/advertise.h"

#include <winsock2.h>
#include <windows.h>

#include "advertise/dns_sd_client.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "net/connection.h"

// The registration stays in force for as long as the process holds it.
static DNSServiceRef serviceReference = nullptr;

static const wchar_t ADVERTISEMENT_FAILURE[] =
    L"Palvenor Server is unable to access Apple's Bonjour software.\n\nTo use Palvenor, you must enable Bonjour, "
    L"OR enter the IP address of this computer in the Palvenor app.";

static DNSServiceErrorType Register()
{
    // Only from the system folder, where Bonjour installs it: a copy beside the program, in the
    // current folder or on the PATH would otherwise be run at every log-on.
    HMODULE library = LoadLibraryExW(DNS_SD_LIBRARY, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return DNS_SERVICE_ERR_UNKNOWN;
    const auto registerService =
        reinterpret_cast<DNSServiceRegisterFunction>(reinterpret_cast<void*>(GetProcAddress(library, "DNSServiceRegister")));
    if (!registerService) return DNS_SERVICE_ERR_UNKNOWN;
    return registerService(&serviceReference, 0, 0, "", SERVICE_TYPE, "", "", htons(SERVICE_PORT), 0, nullptr,
                           nullptr, nullptr);
}

int AdvertiseService()
{
    serviceReference = nullptr;
    const DNSServiceErrorType result = Register();
    if (result == 0) return 0;
    ApplyTrayRecordWithBalloon(notConnectedRecord, ADVERTISEMENT_FAILURE);
    ShowWindow(statusWindow.window, SW_SHOW);
    return result;
}

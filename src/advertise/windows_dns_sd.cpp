#include "advertise/windows_dns_sd.h"

#include <atomic>
#include <string>

#include "advertise/advertise.h"
#include "advertise/dns_service_client.h"
#include "advertise/library_function.h"
#include "net/connection_state.h"

static DnsServiceFreeInstanceFunction freeInstance = nullptr;
static DnsServiceRegisterFunction deregister = nullptr;
// The request and its instance stay with the process once taken: the service may use them until
// the process ends, and the deregistration hands the same request back.
static DnsServiceRegisterRequest request = {};
// Read by the service's thread too: the completion of the deregistration is not an outcome to show.
static std::atomic<bool> registered{false};

// Called by the service on a thread of its own, with a copy of the instance to free.
static VOID WINAPI OnRegistrationComplete(DWORD status, PVOID window, DnsServiceInstance* copy)
{
    if (copy) freeInstance(copy);
    if (registered) PostMessageW(static_cast<HWND>(window), WM_ADVERTISEMENT_OUTCOME, WPARAM(status), 0);
}

bool RegisterWithWindows(HWND window)
{
    HMODULE library = LoadLibraryExW(L"dnsapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return false;
    const auto construct = LibraryFunction<DnsServiceConstructInstanceFunction>(library, "DnsServiceConstructInstance");
    const auto registerService = LibraryFunction<DnsServiceRegisterFunction>(library, "DnsServiceRegister");
    freeInstance = LibraryFunction<DnsServiceFreeInstanceFunction>(library, "DnsServiceFreeInstance");
    deregister = LibraryFunction<DnsServiceRegisterFunction>(library, "DnsServiceDeRegister");
    if (!construct || !registerService || !freeInstance || !deregister) return false;  // before Windows 10 1903

    wchar_t computer[256] = {};
    DWORD length = ARRAYSIZE(computer);
    if (!GetComputerNameExW(ComputerNameDnsHostname, computer, &length) || length == 0) return false;
    const std::wstring serviceType(SERVICE_TYPE, SERVICE_TYPE + sizeof SERVICE_TYPE - 1);  // plain ASCII
    const std::wstring instanceName = std::wstring(computer) + L"." + serviceType + L".local";
    const std::wstring hostName = std::wstring(computer) + L".local";
    // With no property, Windows announces an empty TXT record, which the DNS-SD rules forbid and
    // some phone resolvers reject.
    PCWSTR keys[] = {L"txtvers"};
    PCWSTR values[] = {L"1"};
    DnsServiceInstance* instance = construct(instanceName.c_str(), hostName.c_str(), nullptr, nullptr,
                                             SERVICE_PORT, 0, 0, 1, keys, values);
    if (!instance) return false;

    request.version = DNS_SERVICE_REQUEST_VERSION;
    request.interfaceIndex = 0;  // every interface
    request.serviceInstance = instance;
    request.registerCompletionCallback = OnRegistrationComplete;
    request.queryContext = window;
    request.unicastEnabled = FALSE;  // multicast, as phones browse
    registered = true;  // before the call: the answer may come before it returns
    if (registerService(&request, nullptr) != DNS_SERVICE_PENDING) {
        registered = false;
        freeInstance(instance);
        request.serviceInstance = nullptr;
        return false;
    }
    return true;
}

void DeregisterFromWindows()
{
    if (!registered.exchange(false)) return;
    (void)deregister(&request, nullptr);
}

#include "advertise/windows_dns_sd.h"

#include <atomic>
#include <string>

#include "base/dns_service_client.h"
#include "base/loaded_functions.h"
#include "base/ui_thread.h"
#include "base/wire.h"

static DnsServiceFreeInstanceFunction freeInstance = nullptr;
static DnsServiceRegisterFunction deregister = nullptr;
static DnsServiceRegisterCancelFunction cancelRegistration = nullptr;
// The request and its instance stay with the process once taken: the service may use them until
// the process ends. The deregistration hands the same instance back in a request of its own, with
// a completion of its own.
static DnsServiceRegisterRequest request = {};
static DnsServiceRegisterRequest withdrawal = {};
static DnsServiceCancel cancelHandle = {};
static void (*tellOutcome)(bool registered) = nullptr;
// Each registration's number, handed to the service as its context: the completion of one
// cancelled or withdrawn earlier, however late it comes, is never taken for the current one's.
static std::atomic<uintptr_t> registrationNumber{0};
// Set by the service's thread when the deregistration is complete.
static HANDLE deregistered = nullptr;

// Where the registration stands; read and moved on by the service's thread too.
enum Phase { Unregistered, Asked, Registered, Withdrawing };
static std::atomic<int> phase{Unregistered};

// Called by the service on a thread of its own, with a copy of the instance to free.
static VOID WINAPI OnRegistrationComplete(DWORD status, PVOID number, DnsServiceInstance* copy)
{
    if (copy) freeInstance(copy);
    if (uintptr_t(number) != registrationNumber) return;
    int asked = Asked;
    if (phase.compare_exchange_strong(asked, status == 0 ? Registered : Unregistered))
        (void)RunOnUiThread([tell = tellOutcome, status] { tell(status == 0); });
}

static VOID WINAPI OnDeregistrationComplete(DWORD, PVOID, DnsServiceInstance* copy)
{
    if (copy) freeInstance(copy);
    SetEvent(deregistered);
}

bool RegisterWithWindows(void (*outcome)(bool registered), const wchar_t* computer)
{
    const auto construct = Load(DNS_SERVICE_CONSTRUCT_INSTANCE);
    const auto registerService = Load(DNS_SERVICE_REGISTER_WINDOWS);
    freeInstance = Load(DNS_SERVICE_FREE_INSTANCE);
    deregister = Load(DNS_SERVICE_DEREGISTER);
    cancelRegistration = Load(DNS_SERVICE_REGISTER_CANCEL);
    if (!construct || !registerService || !freeInstance || !deregister || !cancelRegistration)
        return false;  // before Windows 10 1903
    if (!deregistered) deregistered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!deregistered) return false;

    if (computer[0] == L'\0') return false;
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
    request.queryContext = reinterpret_cast<void*>(++registrationNumber);
    request.unicastEnabled = FALSE;  // multicast, as phones browse
    tellOutcome = outcome;
    phase = Asked;  // before the call: the answer may come before it returns
    if (registerService(&request, &cancelHandle) != DNS_SERVICE_PENDING) {
        phase = Unregistered;
        freeInstance(instance);
        request.serviceInstance = nullptr;
        return false;
    }
    return true;
}

void DeregisterFromWindows()
{
    int asked = Asked;
    if (phase.compare_exchange_strong(asked, Unregistered)) {
        (void)cancelRegistration(&cancelHandle);
        return;
    }
    int registered = Registered;
    if (!phase.compare_exchange_strong(registered, Withdrawing)) return;
    ResetEvent(deregistered);
    withdrawal = request;
    withdrawal.registerCompletionCallback = OnDeregistrationComplete;
    if (deregister(&withdrawal, nullptr) == DNS_SERVICE_PENDING) (void)WaitForSingleObject(deregistered, 1000);
    phase = Unregistered;
}

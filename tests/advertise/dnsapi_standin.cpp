// A stand-in for dnsapi.dll, for tests only: Wine's has none of the DNS-SD service functions.
// DnsServiceRegister writes the request to the file named by PALVENOR_STANDIN_RECORD, returns
// PALVENOR_DNSAPI_RESULT (9506, "pending", when unset) and, when pending, reports
// PALVENOR_DNSAPI_STATUS (0 when unset) through the completion callback from another thread after
// PALVENOR_DNSAPI_ANSWER_MS (50 when unset), as Windows does. DnsServiceDeRegister completes the
// same way after PALVENOR_DNSAPI_DEREGISTER_MS, writing "deregistered" just before its callback; a
// cancel is written too. The few functions other Wine libraries import from dnsapi.dll answer "nothing".
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <thread>

#include "base/dns_service_client.h"

static long Setting(const char* name, long unset)
{
    char text[32] = {};
    return GetEnvironmentVariableA(name, text, sizeof text) > 0 ? std::atol(text) : unset;
}

static void Record(const char* format, ...)
{
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("PALVENOR_STANDIN_RECORD", path, MAX_PATH) == 0) return;
    FILE* file = std::fopen(path, "a");
    if (!file) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fclose(file);
}

static wchar_t* Copy(PCWSTR text)
{
    if (!text) return nullptr;
    wchar_t* copy = static_cast<wchar_t*>(std::calloc(std::wcslen(text) + 1, sizeof(wchar_t)));
    std::wcscpy(copy, text);
    return copy;
}

extern "C" __declspec(dllexport) DnsServiceInstance* WINAPI DnsServiceConstructInstance(
    PCWSTR name, PCWSTR host, DWORD* ip4, void* ip6, WORD port, WORD priority, WORD weight, DWORD count,
    PCWSTR* keys, PCWSTR* values)
{
    auto* instance = static_cast<DnsServiceInstance*>(std::calloc(1, sizeof(DnsServiceInstance)));
    instance->instanceName = Copy(name);
    instance->hostName = Copy(host);
    instance->ip4Address = ip4;
    instance->ip6Address = ip6;
    instance->port = port;
    instance->priority = priority;
    instance->weight = weight;
    instance->propertyCount = count;
    instance->keys = static_cast<PWSTR*>(std::calloc(count + 1, sizeof(PWSTR)));
    instance->values = static_cast<PWSTR*>(std::calloc(count + 1, sizeof(PWSTR)));
    for (DWORD i = 0; i < count; ++i) {
        instance->keys[i] = Copy(keys[i]);
        instance->values[i] = Copy(values[i]);
    }
    return instance;
}

extern "C" __declspec(dllexport) VOID WINAPI DnsServiceFreeInstance(DnsServiceInstance* instance)
{
    if (!instance) return;
    for (DWORD i = 0; i < instance->propertyCount; ++i) {
        std::free(instance->keys[i]);
        std::free(instance->values[i]);
    }
    std::free(instance->keys);
    std::free(instance->values);
    std::free(instance->instanceName);
    std::free(instance->hostName);
    std::free(instance);
}

static DnsServiceInstance* CopyInstance(const DnsServiceInstance* original)
{
    return DnsServiceConstructInstance(original->instanceName, original->hostName, nullptr, nullptr, original->port,
                                       original->priority, original->weight, original->propertyCount,
                                       const_cast<PCWSTR*>(original->keys), const_cast<PCWSTR*>(original->values));
}

// Calls the request's callback from another thread after the delay; afterwards writes what.
static void CompleteLater(const DnsServiceRegisterRequest* request, DWORD status, DWORD delayMs, const char* what)
{
    DnsServiceInstance* copy = CopyInstance(request->serviceInstance);
    const DnsServiceRegisterComplete callback = request->registerCompletionCallback;
    void* context = request->queryContext;
    std::thread([=] {
        Sleep(delayMs);
        if (what) Record("%s\n", what);
        callback(status, context, copy);
    }).detach();
}

static DWORD Answer(const DnsServiceRegisterRequest* request)
{
    const DWORD result = DWORD(Setting("PALVENOR_DNSAPI_RESULT", 9506));
    if (result != 9506 || !request->registerCompletionCallback) return result;
    CompleteLater(request, DWORD(Setting("PALVENOR_DNSAPI_STATUS", 0)), DWORD(Setting("PALVENOR_DNSAPI_ANSWER_MS", 50)),
                  nullptr);
    return result;
}

extern "C" __declspec(dllexport) DWORD WINAPI DnsServiceRegister(DnsServiceRegisterRequest* request, void* cancel)
{
    const DnsServiceInstance* instance = request->serviceInstance;
    Record("register\nversion=%lu\ninterface=%lu\ninstance=%ls\nhost=%ls\nport=%u\nproperties=%lu\n",
           request->version, request->interfaceIndex, instance->instanceName, instance->hostName,
           unsigned(instance->port), instance->propertyCount);
    for (DWORD i = 0; i < instance->propertyCount; ++i) Record("%ls=%ls\n", instance->keys[i], instance->values[i]);
    Record("callback=%s\nunicast=%d\ncancel=%s\n", request->registerCompletionCallback ? "set" : "null",
           int(request->unicastEnabled), cancel ? "set" : "null");
    return Answer(request);
}

extern "C" __declspec(dllexport) DWORD WINAPI DnsServiceDeRegister(DnsServiceRegisterRequest* request, void*)
{
    Record("deregister\ninstance=%ls\n", request->serviceInstance ? request->serviceInstance->instanceName : L"null");
    CompleteLater(request, 0, DWORD(Setting("PALVENOR_DNSAPI_DEREGISTER_MS", 50)), "deregistered");
    return 9506;
}

extern "C" __declspec(dllexport) DWORD WINAPI DnsServiceRegisterCancel(void* cancel)
{
    Record("cancel=%s\n", cancel ? "set" : "null");
    return ERROR_SUCCESS;
}

// What iphlpapi.dll and netapi32.dll import from dnsapi.dll: no configuration, no answers.
extern "C" __declspec(dllexport) LONG WINAPI DnsQueryConfig(int, DWORD, PCWSTR, void*, void*, DWORD* length)
{
    if (length) *length = 0;
    return 9852;  // DNS_ERROR_NO_DNS_SERVERS
}

extern "C" __declspec(dllexport) LONG WINAPI DnsQuery_W(PCWSTR, WORD, DWORD, void*, void** results, void*)
{
    if (results) *results = nullptr;
    return 9003;  // DNS_ERROR_RCODE_NAME_ERROR
}

extern "C" __declspec(dllexport) VOID WINAPI DnsRecordListFree(void*, int) {}

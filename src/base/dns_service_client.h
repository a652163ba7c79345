// The few declarations of Windows' own DNS-SD interface (dnsapi.dll, Windows 10 1903 and later)
// that the program calls, with the layouts of windns.h. The functions are looked up at run time,
// so the program still starts on systems without them; the SDK declares them only for builds
// aimed at Windows 10, which this program is not.
#pragma once
#include <windows.h>

struct DnsServiceInstance {
    LPWSTR instanceName;
    LPWSTR hostName;
    DWORD* ip4Address;
    void* ip6Address;
    WORD port;
    WORD priority;
    WORD weight;
    DWORD propertyCount;
    PWSTR* keys;
    PWSTR* values;
    DWORD interfaceIndex;
};

typedef VOID(WINAPI* DnsServiceRegisterComplete)(DWORD status, PVOID context, DnsServiceInstance* instance);

struct DnsServiceRegisterRequest {
    ULONG version;
    ULONG interfaceIndex;
    DnsServiceInstance* serviceInstance;
    DnsServiceRegisterComplete registerCompletionCallback;
    PVOID queryContext;
    HANDLE credentials;
    BOOL unicastEnabled;
};

typedef DnsServiceInstance*(WINAPI* DnsServiceConstructInstanceFunction)(
    PCWSTR serviceName, PCWSTR hostName, DWORD* ip4, void* ip6, WORD port, WORD priority, WORD weight,
    DWORD propertiesCount, PCWSTR* keys, PCWSTR* values);
typedef VOID(WINAPI* DnsServiceFreeInstanceFunction)(DnsServiceInstance* instance);
struct DnsServiceCancel {
    PVOID reserved;
};

typedef DWORD(WINAPI* DnsServiceRegisterFunction)(DnsServiceRegisterRequest* request, DnsServiceCancel* cancel);
typedef DWORD(WINAPI* DnsServiceRegisterCancelFunction)(DnsServiceCancel* cancel);

constexpr ULONG DNS_SERVICE_REQUEST_VERSION = 1;  // DNS_QUERY_REQUEST_VERSION1
constexpr DWORD DNS_SERVICE_PENDING = 9506;       // DNS_REQUEST_PENDING: the answer comes through the callback

// Every function the program looks up at run time, each declared once here by its library, its
// name and its type, so that the program still starts where one is missing: each is null there,
// and every caller checks it before the call. Libraries come from the system folder only: a copy
// beside the program, in the current folder or on the PATH would otherwise run in this process.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <wlanapi.h>

#include "base/dns_sd_client.h"
#include "base/dns_service_client.h"

template <typename Function>
struct LoadedFunction {
    const wchar_t* library;
    const char* name;
};

// The function, or null where the library or the function is missing.
template <typename Function>
Function Load(const LoadedFunction<Function>& function)
{
    HMODULE library = LoadLibraryExW(function.library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, function.name)))
                   : nullptr;
}

// Windows 10 1607 and later; before it the whole session has one scale.
constexpr LoadedFunction<UINT(WINAPI*)(HWND)> GET_DPI_FOR_WINDOW = {L"user32.dll", "GetDpiForWindow"};
// Windows Vista and later; before it there is no quiet time.
constexpr LoadedFunction<HRESULT(WINAPI*)(QUERY_USER_NOTIFICATION_STATE*)> QUERY_USER_NOTIFICATION_STATE_FUNCTION = {
    L"shell32.dll", "SHQueryUserNotificationState"};
// Windows 8 and later.
constexpr LoadedFunction<BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD)> SET_PROCESS_INFORMATION = {
    L"kernel32.dll", "SetProcessInformation"};

// The WLAN service's client, where the service is installed.
constexpr LoadedFunction<decltype(&WlanOpenHandle)> WLAN_OPEN_HANDLE = {L"wlanapi.dll", "WlanOpenHandle"};
constexpr LoadedFunction<decltype(&WlanEnumInterfaces)> WLAN_ENUM_INTERFACES = {L"wlanapi.dll", "WlanEnumInterfaces"};
constexpr LoadedFunction<decltype(&WlanQueryInterface)> WLAN_QUERY_INTERFACE = {L"wlanapi.dll", "WlanQueryInterface"};
constexpr LoadedFunction<decltype(&WlanSetInterface)> WLAN_SET_INTERFACE = {L"wlanapi.dll", "WlanSetInterface"};
constexpr LoadedFunction<decltype(&WlanCloseHandle)> WLAN_CLOSE_HANDLE = {L"wlanapi.dll", "WlanCloseHandle"};
constexpr LoadedFunction<decltype(&WlanFreeMemory)> WLAN_FREE_MEMORY = {L"wlanapi.dll", "WlanFreeMemory"};

// Bonjour's DNS-SD client, where it is installed.
constexpr LoadedFunction<DNSServiceRegisterFunction> DNS_SERVICE_REGISTER = {DNS_SD_LIBRARY, "DNSServiceRegister"};
constexpr LoadedFunction<DNSServiceRefDeallocateFunction> DNS_SERVICE_REF_DEALLOCATE = {DNS_SD_LIBRARY,
                                                                                        "DNSServiceRefDeallocate"};

// Windows' own DNS-SD service, Windows 10 1903 and later.
constexpr LoadedFunction<DnsServiceConstructInstanceFunction> DNS_SERVICE_CONSTRUCT_INSTANCE = {
    L"dnsapi.dll", "DnsServiceConstructInstance"};
constexpr LoadedFunction<DnsServiceRegisterFunction> DNS_SERVICE_REGISTER_WINDOWS = {L"dnsapi.dll",
                                                                                     "DnsServiceRegister"};
constexpr LoadedFunction<DnsServiceFreeInstanceFunction> DNS_SERVICE_FREE_INSTANCE = {L"dnsapi.dll",
                                                                                      "DnsServiceFreeInstance"};
constexpr LoadedFunction<DnsServiceRegisterFunction> DNS_SERVICE_DEREGISTER = {L"dnsapi.dll", "DnsServiceDeRegister"};
constexpr LoadedFunction<DnsServiceRegisterCancelFunction> DNS_SERVICE_REGISTER_CANCEL = {L"dnsapi.dll",
                                                                                          "DnsServiceRegisterCancel"};

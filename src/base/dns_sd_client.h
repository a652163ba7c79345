// The few declarations of the DNS Service Discovery client interface that the program calls.
// The library is loaded at run time, so the program starts where it is not installed.
#pragma once
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define DNSSD_API __stdcall
#else
#define DNSSD_API
#endif

typedef struct _DNSServiceRef_t* DNSServiceRef;
typedef uint32_t DNSServiceFlags;
typedef int32_t DNSServiceErrorType;

typedef void(DNSSD_API* DNSServiceRegisterReply)(DNSServiceRef service, DNSServiceFlags flags,
                                                  DNSServiceErrorType error, const char* name,
                                                  const char* type, const char* domain, void* context);

typedef DNSServiceErrorType(DNSSD_API* DNSServiceRegisterFunction)(
    DNSServiceRef* service, DNSServiceFlags flags, uint32_t interfaceIndex, const char* name, const char* type,
    const char* domain, const char* host, uint16_t port, uint16_t txtLength, const void* txtRecord,
    DNSServiceRegisterReply callback, void* context);

// Ends a registration: the service withdraws it at once.
typedef void(DNSSD_API* DNSServiceRefDeallocateFunction)(DNSServiceRef service);

constexpr wchar_t DNS_SD_LIBRARY[] = L"dnssd.dll";

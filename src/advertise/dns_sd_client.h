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

// The library's code for an error it has no better name for; used when it cannot be loaded.
constexpr DNSServiceErrorType DNS_SERVICE_ERR_UNKNOWN = -65537;

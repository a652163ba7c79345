// A stand-in for the DNS-SD client library, for tests only. It exports DNSServiceRegister,
// writes every argument it receives to the file named by PALVENOR_STANDIN_RECORD, and returns
// the code in PALVENOR_STANDIN_RESULT (0 when unset); DNSServiceRefDeallocate is recorded too.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "base/dns_sd_client.h"

static FILE* OpenRecord()
{
    char path[MAX_PATH] = {};
    return GetEnvironmentVariableA("PALVENOR_STANDIN_RECORD", path, MAX_PATH) > 0 ? std::fopen(path, "a") : nullptr;
}

static void WriteText(FILE* file, const char* name, const char* value)
{
    if (value)
        std::fprintf(file, "%s=\"%s\"\n", name, value);
    else
        std::fprintf(file, "%s=null\n", name);
}

extern "C" __declspec(dllexport) DNSServiceErrorType DNSSD_API DNSServiceRegister(
    DNSServiceRef* service, DNSServiceFlags flags, uint32_t interfaceIndex, const char* name, const char* type,
    const char* domain, const char* host, uint16_t port, uint16_t txtLength, const void* txtRecord,
    DNSServiceRegisterReply callback, void* context)
{
    if (FILE* file = OpenRecord()) {
        std::fprintf(file, "call\n");
        std::fprintf(file, "service=%s\n", service ? (*service ? "filled" : "null") : "missing");
        std::fprintf(file, "flags=%u\ninterface=%u\n", unsigned(flags), unsigned(interfaceIndex));
        WriteText(file, "name", name);
        WriteText(file, "type", type);
        WriteText(file, "domain", domain);
        WriteText(file, "host", host);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&port);
        std::fprintf(file, "port-bytes=%02x %02x\n", bytes[0], bytes[1]);
        std::fprintf(file, "txt-length=%u\ntxt=%s\n", unsigned(txtLength), txtRecord ? "set" : "null");
        std::fprintf(file, "callback=%s\ncontext=%s\n", callback ? "set" : "null", context ? "set" : "null");
        std::fclose(file);
    }
    char text[32] = {};
    const DNSServiceErrorType result =
        GetEnvironmentVariableA("PALVENOR_STANDIN_RESULT", text, sizeof text) > 0 ? std::atoi(text) : 0;
    if (result == 0 && service) *service = reinterpret_cast<DNSServiceRef>(0x1);
    return result;
}

extern "C" __declspec(dllexport) void DNSSD_API DNSServiceRefDeallocate(DNSServiceRef service)
{
    FILE* file = OpenRecord();
    if (!file) return;
    std::fprintf(file, "deallocate=%s\n", service ? "filled" : "null");
    std::fclose(file);
}

#include "net/device_name.h"

#include <ws2tcpip.h>

#include <memory>
#include <new>

#include "base/owned.h"
#include "base/ui_thread.h"
#include "net/trusted_list.h"

int(WSAAPI* reverseLookup)(const SOCKADDR*, socklen_t, PWCHAR, DWORD, PWCHAR, DWORD, INT) = GetNameInfoW;

namespace {

struct Lookup {
    uint32_t address;
    std::function<void(const std::wstring&)> found;
};

DWORD WINAPI LookUp(void* argument)
{
    const std::unique_ptr<Lookup> lookup(static_cast<Lookup*>(argument));
    sockaddr_in device = {};
    device.sin_family = AF_INET;
    device.sin_addr.s_addr = htonl(lookup->address);
    wchar_t host[NI_MAXHOST] = {};
    if (reverseLookup(reinterpret_cast<const sockaddr*>(&device), sizeof device, host, NI_MAXHOST, nullptr, 0,
                      NI_NAMEREQD) != 0)
        return 0;
    const std::wstring name = NameFromHostName(host);
    if (!name.empty()) (void)RunOnUiThread([name, found = std::move(lookup->found)] { found(name); });
    return 0;
}

}  // namespace

void LookUpDeviceName(uint32_t address, std::function<void(const std::wstring&)> found)
{
    auto* lookup = new (std::nothrow) Lookup{address, std::move(found)};
    // It ends by itself; its handle is not kept.
    if (!OwnedHandle(lookup ? CreateThread(nullptr, 0, LookUp, lookup, 0, nullptr) : nullptr))
        delete lookup;  // no name: the address stands for it
}

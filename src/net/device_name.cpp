#include "net/device_name.h"

#include <ws2tcpip.h>

#include <new>

#include "net/trusted_list.h"

namespace {

struct Lookup {
    in_addr address;
    HWND window;
    UINT message;
};

DWORD WINAPI LookUp(void* argument)
{
    const Lookup lookup = *static_cast<Lookup*>(argument);
    delete static_cast<Lookup*>(argument);
    sockaddr_in device = {};
    device.sin_family = AF_INET;
    device.sin_addr = lookup.address;
    wchar_t host[NI_MAXHOST] = {};
    if (GetNameInfoW(reinterpret_cast<const sockaddr*>(&device), sizeof device, host, NI_MAXHOST, nullptr, 0,
                     NI_NAMEREQD) != 0)
        return 0;
    auto* name = new (std::nothrow) std::wstring(NameFromHostName(host));
    if (!name || name->empty() || !PostMessageW(lookup.window, lookup.message, lookup.address.s_addr, LPARAM(name)))
        delete name;
    return 0;
}

}  // namespace

void LookUpDeviceName(in_addr address, HWND window, UINT message)
{
    auto* lookup = new (std::nothrow) Lookup{address, window, message};
    HANDLE thread = lookup ? CreateThread(nullptr, 0, LookUp, lookup, 0, nullptr) : nullptr;
    if (!thread) {
        delete lookup;  // no name: the address stands for it
        return;
    }
    CloseHandle(thread);  // it ends by itself
}

#include "pc/host.h"

#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include "base/ui_thread.h"
#include "pc/shown_address.h"

// Every adapter's record, or false. The buffer holds the records that point into it.
static bool ReadAdapters(std::vector<unsigned char>& buffer)
{
    const ULONG flags =
        GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_INCLUDE_GATEWAYS;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    // An adapter may come between the two calls: a few tries at the size asked for.
    for (ULONG size = 16 * 1024, tries = 0; result == ERROR_BUFFER_OVERFLOW && tries < 4; ++tries) {
        buffer.resize(size);
        result = GetAdaptersAddresses(AF_INET, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()),
                                      &size);
    }
    return result == NO_ERROR;
}

static const IP_ADAPTER_ADDRESSES* FirstAdapter(const std::vector<unsigned char>& buffer)
{
    return reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
}

void ReadHostName(wchar_t (&name)[256])
{
    DWORD length = ARRAYSIZE(name);
    if (!GetComputerNameExW(ComputerNameDnsHostname, name, &length)) name[0] = L'\0';
}

// Calls visit with each IPv4 address in the adapters' records (host byte order), with its adapter
// and its on-link prefix length.
template <typename Visit>
static void ForEachAddress(const std::vector<unsigned char>& buffer, Visit visit)
{
    for (const auto* adapter = FirstAdapter(buffer); adapter; adapter = adapter->Next)
        for (const auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
            if (address->sin_family == AF_INET)
                visit(*adapter, ntohl(address->sin_addr.s_addr), unicast->OnLinkPrefixLength);
        }
}

bool ReadHostAddresses(std::vector<HostAddress>& addresses)
{
    std::vector<unsigned char> buffer;
    if (!ReadAdapters(buffer)) return false;
    addresses.clear();
    ForEachAddress(buffer, [&](const IP_ADAPTER_ADDRESSES& adapter, uint32_t address, uint8_t prefixLength) {
        addresses.push_back(HostAddress{address, prefixLength, adapter.IfIndex});
    });
    return true;
}

// The default routes, read from the routing table, each with its metric as Windows ranks it: the
// route's own plus its interface's, from the adapter's record (an interface without one ranks last).
static std::vector<Route> DefaultRoutes(const std::vector<unsigned char>& buffer)
{
    std::vector<Route> routes;
    MIB_IPFORWARD_TABLE2* table = nullptr;
    if (GetIpForwardTable2(AF_INET, &table) != NO_ERROR) return routes;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2& row = table->Table[i];
        if (row.DestinationPrefix.PrefixLength != 0) continue;
        ULONGLONG metric = 0xFFFFFFFFull;
        for (const auto* adapter = FirstAdapter(buffer); adapter; adapter = adapter->Next)
            if (adapter->IfIndex == row.InterfaceIndex) metric = ULONGLONG(adapter->Ipv4Metric) + row.Metric;
        routes.push_back({0, row.InterfaceIndex, metric > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(metric)});
    }
    FreeMibTable(table);
    return routes;
}

// The adapter's first IPv4 gateway, host byte order; 0 for none.
static uint32_t GatewayOf(const IP_ADAPTER_ADDRESSES* adapter)
{
    for (const auto* gateway = adapter->FirstGatewayAddress; gateway; gateway = gateway->Next) {
        const auto* address = reinterpret_cast<const sockaddr_in*>(gateway->Address.lpSockaddr);
        if (address->sin_family == AF_INET) return ntohl(address->sin_addr.s_addr);
    }
    return 0;
}

static ShownAddress ChooseFrom(const std::vector<unsigned char>& buffer)
{
    std::vector<AddressCandidate> candidates;
    ForEachAddress(buffer, [&](const IP_ADAPTER_ADDRESSES& adapter, uint32_t address, uint8_t prefixLength) {
        const bool lan = (adapter.IfType == IF_TYPE_ETHERNET_CSMACD || adapter.IfType == IF_TYPE_IEEE80211) &&
                         adapter.OperStatus == IfOperStatusUp;
        candidates.push_back({address, prefixLength, adapter.IfIndex, lan, GatewayOf(&adapter)});
    });
    return ChooseShownAddress(candidates, DefaultRoutes(buffer));
}

bool ShownHostAddress(uint32_t& address)
{
    std::vector<unsigned char> buffer;
    if (!ReadAdapters(buffer)) return false;
    address = ChooseFrom(buffer).address;
    return true;
}

bool ShownAddressAdapter(GUID& adapter)
{
    std::vector<unsigned char> buffer;
    if (!ReadAdapters(buffer)) return false;
    const DWORD index = ChooseFrom(buffer).interfaceIndex;
    for (const auto* entry = FirstAdapter(buffer); index != 0 && entry; entry = entry->Next) {
        if (entry->IfIndex != index) continue;
        wchar_t name[64] = {};
        MultiByteToWideChar(CP_ACP, 0, entry->AdapterName, -1, name, ARRAYSIZE(name));
        return SUCCEEDED(CLSIDFromString(name, &adapter));
    }
    return false;
}

bool IsLocalPeer(uint32_t address)
{
    static std::vector<HostAddress> own;  // the last ones read
    (void)ReadHostAddresses(own);
    return IsLocalNetworkAddress(address, own.data(), own.size());
}

bool IsPcItself(uint32_t host)
{
    if ((host >> 24) == 127) return true;
    std::vector<HostAddress> own;
    (void)ReadHostAddresses(own);
    for (const HostAddress& mine : own)
        if (mine.address == host) return true;
    return false;
}

// Who is told of Windows' notifications; set once, before they start.
static void (*tellChanged)() = nullptr;

// Called by Windows on a thread of its own.
static VOID NETIOAPI_API_ OnAddressChange(PVOID, PMIB_UNICASTIPADDRESS_ROW, MIB_NOTIFICATION_TYPE)
{
    (void)RunOnUiThread(tellChanged);
}

bool WatchAddressChanges(void (*changed)())
{
    tellChanged = changed;
    // Held for the life of the process, which ends the notifications with it.
    HANDLE notification = nullptr;
    return NotifyUnicastIpAddressChange(AF_INET, OnAddressChange, nullptr, FALSE, &notification) == NO_ERROR;
}

std::wstring FormatAddress(uint32_t address)
{
    in_addr dotted = {};
    dotted.s_addr = htonl(address);
    wchar_t text[16];
    return InetNtopW(AF_INET, &dotted, text, ARRAYSIZE(text)) ? text : L"";
}

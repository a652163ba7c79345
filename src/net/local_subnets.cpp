#include "net/local_subnets.h"

#include <iphlpapi.h>

#include <vector>

#include "net/local_network.h"

static std::vector<Subnet> localSubnets;

void ReadLocalSubnets()
{
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    std::vector<unsigned char> buffer(16 * 1024);
    ULONG size = ULONG(buffer.size());
    ULONG result = GetAdaptersAddresses(AF_INET, flags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) {  // more interfaces than expected: once more at the size asked for
        buffer.resize(size);
        result = GetAdaptersAddresses(AF_INET, flags, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR) return;
    std::vector<Subnet> found;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next)
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
            if (address->sin_family == AF_INET)
                found.push_back(Subnet{ntohl(address->sin_addr.s_addr), unicast->OnLinkPrefixLength});
        }
    localSubnets.swap(found);
}

bool IsLocalPeer(in_addr address)
{
    return IsLocalNetworkAddress(ntohl(address.s_addr), localSubnets.data(), localSubnets.size());
}

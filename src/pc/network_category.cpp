#include "pc/network_category.h"

#include <netlistmgr.h>

#include "base/com.h"
#include "pc/firewall_rules.h"
#include "pc/host.h"

static uint32_t ProfileOf(NLM_NETWORK_CATEGORY category)
{
    switch (category) {
    case NLM_NETWORK_CATEGORY_PRIVATE: return PROFILE_PRIVATE;
    case NLM_NETWORK_CATEGORY_DOMAIN_AUTHENTICATED: return PROFILE_DOMAIN;
    default: return PROFILE_PUBLIC;
    }
}

// The connection's network and its profile, when the connection goes through the adapter.
static bool NetworkThrough(INetworkConnection* connection, const GUID& adapter, GUID& network, uint32_t& profile)
{
    GUID through = {};
    if (FAILED(connection->GetAdapterId(&through)) || !IsEqualGUID(through, adapter)) return false;
    ComReference<INetwork> candidate;
    if (FAILED(connection->GetNetwork(&candidate))) return false;
    NLM_NETWORK_CATEGORY category = NLM_NETWORK_CATEGORY_PUBLIC;
    const bool read = SUCCEEDED(candidate->GetCategory(&category)) && SUCCEEDED(candidate->GetNetworkId(&network));
    profile = ProfileOf(category);
    return read;
}

bool ReadPhonesNetwork(GUID& network, uint32_t& profile)
{
    GUID adapter = {};
    if (!ShownAddressAdapter(adapter)) return false;
    ComReference<INetworkListManager> manager;
    if (FAILED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL, IID_INetworkListManager,
                                reinterpret_cast<void**>(&manager))))
        return false;
    ComReference<IEnumNetworkConnections> connections;
    if (FAILED(manager->GetNetworkConnections(&connections))) return false;
    ComReference<INetworkConnection> connection;
    while (connections->Next(1, &connection, nullptr) == S_OK)
        if (NetworkThrough(connection.pointer, adapter, network, profile)) return true;
    return false;
}

static bool AskNetworkListManager(GUID& network)
{
    uint32_t profile = 0;
    return ReadPhonesNetwork(network, profile) && profile == PROFILE_PUBLIC;
}

bool (*phonesNetworkIsPublic)(GUID& network) = AskNetworkListManager;

#include "net/network_category.h"

#include <netlistmgr.h>

#include "net/host.h"

// The connection's network when it goes through adapter and Windows treats it as public.
static bool PublicNetworkOf(INetworkConnection* connection, const GUID& adapter, GUID& network)
{
    GUID through = {};
    if (FAILED(connection->GetAdapterId(&through)) || !IsEqualGUID(through, adapter)) return false;
    INetwork* candidate = nullptr;
    if (FAILED(connection->GetNetwork(&candidate))) return false;
    NLM_NETWORK_CATEGORY category = NLM_NETWORK_CATEGORY_PRIVATE;
    const bool isPublic = SUCCEEDED(candidate->GetCategory(&category)) && category == NLM_NETWORK_CATEGORY_PUBLIC &&
                          SUCCEEDED(candidate->GetNetworkId(&network));
    candidate->Release();
    return isPublic;
}

static bool AskNetworkListManager(GUID& network)
{
    GUID adapter = {};
    if (!DefaultRouteAdapter(adapter)) return false;
    (void)CoInitialize(nullptr);  // balanced by the end of the process
    INetworkListManager* manager = nullptr;
    if (FAILED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL, IID_INetworkListManager,
                                reinterpret_cast<void**>(&manager))))
        return false;
    IEnumNetworkConnections* connections = nullptr;
    bool isPublic = false;
    if (SUCCEEDED(manager->GetNetworkConnections(&connections))) {
        INetworkConnection* connection = nullptr;
        while (!isPublic && connections->Next(1, &connection, nullptr) == S_OK) {
            isPublic = PublicNetworkOf(connection, adapter, network);
            connection->Release();
        }
        connections->Release();
    }
    manager->Release();
    return isPublic;
}

bool (*defaultRouteNetworkIsPublic)(GUID& network) = AskNetworkListManager;

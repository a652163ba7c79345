#include "app/host_view.h"

#include <vector>

#include "app/texts.h"
#include "app/tray.h"
#include "app/window.h"
#include "pc/host.h"
#include "pc/network_category.h"
#include "resources/resource.h"

void WriteComputerName()
{
    wchar_t name[256];
    ReadHostName(name);  // an unobtainable name leaves the label empty
    ShowStatusValue(StatusValue::ComputerName, name);
}

void RefreshLocalAddress()
{
    uint32_t address = 0;
    if (!ShownHostAddress(address)) return;  // unreadable: the label stays as it was
    ShowStatusValue(StatusValue::LocalAddress, FormatAddress(address).c_str());
}

void WarnOfPublicNetwork()
{
    BalloonSubject network = {};
    if (phonesNetworkIsPublic(network.network))
        ShowBalloonOnce(IDS_PUBLIC_NETWORK, network, LoadText(IDS_PUBLIC_NETWORK).c_str(), L"ms-settings:network-status");
}

#include "app/host_view.h"

#include <vector>

#include "app/status_window.h"
#include "app/tray.h"
#include "net/host.h"
#include "net/network_category.h"

void WriteComputerName()
{
    wchar_t name[256];
    ReadHostName(name);  // an unobtainable name leaves the label empty
    SetWindowTextW(statusWindow.computerNameLabel, name);
}

void RefreshLocalAddress()
{
    in_addr address = {};
    if (!ShownHostAddress(address)) return;  // unreadable: the label stays as it was
    wchar_t text[16];
    FormatAddress(address, text);
    SetWindowTextW(statusWindow.localAddressLabel, text);
}

INT_PTR OnAddressChanged()
{
    RefreshLocalAddress();
    WarnOfPublicNetwork();
    return FALSE;
}

static const wchar_t PUBLIC_NETWORK_WARNING[] =
    L"Windows treats this network as public, so phones cannot reach this PC. To use Palvenor here, make it a "
    L"private network in Windows Settings.";

void WarnOfPublicNetwork()
{
    static std::vector<GUID> warned;  // the networks the user was told of
    GUID network = {};
    if (!defaultRouteNetworkIsPublic(network)) return;
    for (const GUID& told : warned)
        if (IsEqualGUID(told, network)) return;
    warned.push_back(network);
    ShowBalloon(PUBLIC_NETWORK_WARNING, L"ms-settings:network-status");
}

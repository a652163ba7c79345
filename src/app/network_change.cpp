#include "app/network_change.h"

#include "app/firewall_view.h"
#include "app/host_view.h"
#include "app/messages.h"
#include "app/serving.h"
#include "app/window.h"

// Changes come in bursts (an adapter waking brings several addresses), and each withdrawal may
// wait for the DNS-SD service: the advertisement follows the last of them.
static void AdvertiseOnceSettled()
{
    SetTimer(statusWindow.window, NETWORK_SETTLED_TIMER_ID, NETWORK_SETTLED_MS, nullptr);
}

INT_PTR OnAddressChanged()
{
    RefreshLocalAddress();
    WarnOfPublicNetwork();
    ShowFirewall();
    AdvertiseOnceSettled();
    return FALSE;
}

INT_PTR OnPowerBroadcast(WPARAM event)
{
    if (event == PBT_APMRESUMEAUTOMATIC) return OnAddressChanged();
    return FALSE;
}

INT_PTR OnNetworkSettled()
{
    KillTimer(statusWindow.window, NETWORK_SETTLED_TIMER_ID);
    Readvertise();
    return FALSE;
}

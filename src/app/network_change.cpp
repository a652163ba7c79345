#include "app/network_change.h"

#include "app/firewall_view.h"
#include "app/host_view.h"
#include "app/messages.h"
#include "app/serving.h"
#include "app/window.h"

// Changes come in bursts (an adapter waking brings several addresses), each withdrawal may wait
// for the DNS-SD service and each reading of the firewall goes through all its rules: both follow
// the last of them.
INT_PTR OnAddressChanged()
{
    RefreshLocalAddress();
    WarnOfPublicNetwork();
    SetTimer(statusWindow.window, NETWORK_SETTLED_TIMER_ID, NETWORK_SETTLED_MS, nullptr);
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
    ShowFirewall();
    Readvertise();
    return FALSE;
}

#include "app/network_change.h"

#include "app/firewall_view.h"
#include "app/host_view.h"
#include "app/messages.h"
#include "app/serving.h"
#include "app/window.h"

// Changes come in bursts (an adapter waking brings several addresses), each withdrawal may wait
// for the DNS-SD service, each reading of the firewall goes through all its rules, and right after
// a change Windows calls a network it is still identifying public: all of them follow the last.
void OnAddressChanged()
{
    RefreshLocalAddress();
    SetTimer(statusWindow.window, NETWORK_SETTLED_TIMER_ID, NETWORK_SETTLED_MS, nullptr);
}

INT_PTR OnPowerBroadcast(WPARAM event)
{
    if (event != PBT_APMRESUMEAUTOMATIC) return FALSE;
    OnAddressChanged();
    return TRUE;
}

INT_PTR OnNetworkSettled()
{
    KillTimer(statusWindow.window, NETWORK_SETTLED_TIMER_ID);
    WarnOfPublicNetwork();
    ShowFirewall();
    Readvertise();
    return FALSE;
}

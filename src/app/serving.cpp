#include "app/serving.h"

#include "advertise/advertise.h"
#include "app/advertisement_view.h"
#include "app/connection_view.h"
#include "app/messages.h"
#include "app/status_window.h"
#include "net/connection.h"
#include "net/receiver.h"

// Called on the receiver's thread.
static void PostInputArrived(uint32_t address)
{
    PostMessageW(statusWindow.window, WM_INPUT_ARRIVED, WPARAM(address), 0);
}

bool OpenServicePort()
{
    const bool listening = Listen(statusWindow.window, {WM_SOCKET_EVENT, WM_CONNECTION_JUDGED, WM_MONITOR_ENDED});
    return StartInputReceiver(PostInputArrived) && listening;
}

// While Windows' DNS-SD service has not answered yet the label reads "Registered": it takes
// almost every request, and a failure it reports later replaces the label and tells the user.
static void Advertise()
{
    ShowAdvertisement(AdvertiseService(statusWindow.window, WM_ADVERTISEMENT_OUTCOME) != Advertisement::Failed);
}

void StartServing()
{
    if (OpenServicePort()) {
        Advertise();
        return;
    }
    SetWindowTextW(statusWindow.advertisementStatusLabel, L"");
    ShowPortInUse();
    SetTimer(statusWindow.window, PORT_RETRY_TIMER_ID, PORT_RETRY_PERIOD_MS, nullptr);
}

void RetryServing()
{
    if (!OpenServicePort()) return;
    KillTimer(statusWindow.window, PORT_RETRY_TIMER_ID);
    ShowNotConnected();
    Advertise();
}

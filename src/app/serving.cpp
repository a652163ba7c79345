#include "app/serving.h"

#include "advertise/advertise.h"
#include "app/advertisement_view.h"
#include "app/connection_view.h"
#include "app/elevated_window_view.h"
#include "app/messages.h"
#include "app/trust_prompt.h"
#include "app/window.h"
#include "base/ui_thread.h"
#include "net/connection.h"
#include "net/receiver.h"
#include "pc/host.h"

// Both ports are held: phones can connect, and the service is advertised.
static bool portsHeld = false;

void TellInputArrived(uint32_t address)
{
    (void)RunOnUiThread([address] { ShowInputArrived(address); });
}

void TellInputServed() { (void)RunOnUiThread(OnInputServed); }

// Both ports or neither: with only the connection's, a phone would be shown connected while its
// input went to the program that holds the other.
bool OpenServicePort()
{
    if (!Listen(statusWindow.window, WM_SOCKET_EVENT, ShowPhoneChange)) return false;
    if (StartInputReceiver(TellInputArrived, TellInputServed)) return portsHeld = true;
    StopListening();  // no accept has been taken: its notification comes after this
    return false;
}

// While Windows' DNS-SD service has not answered yet the label reads "Registered": it takes
// almost every request, and a failure it reports later replaces the label and tells the user.
static void Advertise()
{
    wchar_t computer[256];
    ReadHostName(computer);
    ShowAdvertisement(AdvertiseService(ShowAdvertisement, computer) != Advertisement::Failed);
}

void StartServing()
{
    if (OpenServicePort()) {
        ShowNotConnected();
        Advertise();
        return;
    }
    ShowStatusValue(StatusValue::Advertisement, L"");
    ShowPortInUse();
    SetTimer(statusWindow.window, PORT_RETRY_TIMER_ID, PORT_RETRY_PERIOD_MS, nullptr);
}

void StopServing()
{
    KillTimer(statusWindow.window, PORT_RETRY_TIMER_ID);
    EndEveryConnection();
    CloseDevicePrompt();  // its device's connection has ended, unrefused
    StopListening();
    StopInputReceiver();
    if (portsHeld) WithdrawAdvertisement();
    portsHeld = false;
    ShowStatusValue(StatusValue::Advertisement, L"");
}

void RetryServing()
{
    if (!OpenServicePort()) return;
    KillTimer(statusWindow.window, PORT_RETRY_TIMER_ID);
    ShowNotConnected();  // replaces "Port 4026 is in use": no phone could connect until now
    Advertise();
}

void Readvertise()
{
    if (!portsHeld) return;  // nothing is advertised while another program holds the port
    WithdrawAdvertisement();
    Advertise();
}

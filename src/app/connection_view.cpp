#include "app/connection_view.h"

#include "app/phone_status.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/trust_prompt.h"
#include "app/device_trust.h"
#include "net/connection.h"
#include "resources/resource.h"

static void ShowConnected(uint32_t address)
{
    ShowPhoneLink(PhoneLink::Connected, address);
    ShowBalloon(LoadText(IDS_PHONE_CONNECTED).c_str());
}

// A question shows while no phone is connected, and goes with its device.
static void ShowAsking(bool asking)
{
    if (!PhoneConnected()) ShowPhoneLink(asking ? PhoneLink::Asking : PhoneLink::NotConnected);
}

void ShowPhoneChange(const PhoneChange& change)
{
    switch (change.kind) {
    case PhoneChange::Connected:
        ShowConnected(change.address);
        break;
    case PhoneChange::Disconnected: ShowNotConnected(); break;  // ended here: the user knows
    case PhoneChange::Left:
        ShowNotConnected();
        ShowBalloon(LoadText(IDS_PHONE_LEFT).c_str());
        break;
    case PhoneChange::Asking:
        ShowAsking(true);
        AskAboutDevice(change.address, change.number, OnDeviceAnswered);
        break;
    case PhoneChange::AskingEnded:
        ShowAsking(false);
        CloseDevicePrompt();
        break;
    case PhoneChange::Nothing: break;
    }
}

void ShowInputArrived(uint32_t address) { ShowPhoneChange(HandleInputArrived(address)); }

void ShowNotConnected() { ShowPhoneLink(PhoneLink::NotConnected); }

void ShowPortInUse()
{
    ShowPhoneLink(PhoneLink::PortInUse);
    ShowBalloon(LoadText(IDS_PORT_IN_USE_BALLOON).c_str());
}

void OnDeviceAnswered(uint32_t number, bool allowed)
{
    const PhoneChange change = AnswerDevice(number, allowed);
    ShowPhoneChange(change);
    ShowAsking(false);
    if (change.kind == PhoneChange::Connected) RememberAllowedDevice(change.address, change.number);
}

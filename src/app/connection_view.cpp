#include "app/connection_view.h"

#include "app/texts.h"
#include "app/tray.h"
#include "app/trust_prompt.h"
#include "app/trust_view.h"
#include "app/window.h"
#include "net/connection.h"
#include "pc/host.h"
#include "resources/resource.h"

static void ShowConnected(uint32_t address)
{
    ShowStatusValue(StatusValue::PhoneAddress, FormatAddress(address).c_str());
    ShowStatusValue(StatusValue::Connection, LoadText(IDS_CONNECTED).c_str());
    ShowTrayConnected(true);
    ShowBalloon(LoadText(IDS_PHONE_CONNECTED).c_str());
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
    case PhoneChange::Asking: AskAboutDevice(change.address, change.number, OnDeviceAnswered); break;
    case PhoneChange::AskingEnded: CloseDevicePrompt(); break;
    case PhoneChange::Nothing: break;
    }
}

void ShowInputArrived(uint32_t address) { ShowPhoneChange(HandleInputArrived(address)); }

void ShowNotConnected()
{
    ShowStatusValue(StatusValue::PhoneAddress, L"0.0.0.0");
    ShowStatusValue(StatusValue::Connection, LoadText(IDS_NOT_CONNECTED).c_str());
    ShowTrayConnected(false);
}

// Nothing can be connected while the port is not served: the icon already shows no phone.
void ShowPortInUse()
{
    ShowStatusValue(StatusValue::Connection, LoadText(IDS_PORT_IN_USE).c_str());
    ShowBalloon(LoadText(IDS_PORT_IN_USE_BALLOON).c_str());
}

void OnDeviceAnswered(uint32_t number, bool allowed)
{
    const PhoneChange change = AnswerDevice(number, allowed);
    ShowPhoneChange(change);
    if (change.kind == PhoneChange::Connected) RememberAllowedDevice(change.address, change.number);
}

void ShowAway(bool away)
{
    ShowTrayAway(away);
    if (away) ShowStatusValue(StatusValue::Connection, LoadText(IDS_AWAY).c_str());
}

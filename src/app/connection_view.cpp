#include "app/connection_view.h"

#include "app/texts.h"
#include "app/tray.h"
#include "app/trust_prompt.h"
#include "app/window.h"
#include "net/host.h"
#include "resources/resource.h"

static void ShowConnected(uint32_t address)
{
    in_addr phone = {};
    phone.s_addr = address;
    wchar_t text[16];
    FormatAddress(phone, text);
    SetWindowTextW(statusWindow.phoneAddressLabel, text);
    SetWindowTextW(statusWindow.connectionStatusLabel, Text(IDS_CONNECTED).c_str());
    ShowTrayConnected(true);
    ShowBalloon(Text(IDS_PHONE_CONNECTED).c_str());
}

void ShowPhoneChange(const PhoneChange& change)
{
    switch (change.kind) {
    case PhoneChange::Connected: ShowConnected(change.address); break;
    case PhoneChange::Disconnected: ShowNotConnected(); break;  // ended here: the user knows
    case PhoneChange::Left:
        ShowNotConnected();
        ShowBalloon(Text(IDS_PHONE_LEFT).c_str());
        break;
    case PhoneChange::Asking: AskAboutDevice(change.address, change.number); break;
    case PhoneChange::AskingEnded: CloseDevicePrompt(); break;
    case PhoneChange::Nothing: break;
    }
}

void ShowNotConnected()
{
    SetWindowTextW(statusWindow.phoneAddressLabel, L"0.0.0.0");
    SetWindowTextW(statusWindow.connectionStatusLabel, Text(IDS_NOT_CONNECTED).c_str());
    ShowTrayConnected(false);
}

// Nothing can be connected while the port is not served: the icon already shows no phone.
void ShowPortInUse()
{
    SetWindowTextW(statusWindow.connectionStatusLabel, Text(IDS_PORT_IN_USE).c_str());
    ShowBalloon(Text(IDS_PORT_IN_USE_BALLOON).c_str());
}

#include "app/connection_view.h"

#include "app/status_window.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/trust_prompt.h"
#include "net/host.h"
#include "resources/resource.h"

static void ShowNotConnectedLabels()
{
    SetWindowTextW(statusWindow.phoneAddressLabel, L"0.0.0.0");
    SetWindowTextW(statusWindow.connectionStatusLabel, Text(IDS_NOT_CONNECTED).c_str());
}

static void ShowConnected(uint32_t address)
{
    in_addr phone = {};
    phone.s_addr = address;
    wchar_t text[16];
    FormatAddress(phone, text);
    SetWindowTextW(statusWindow.phoneAddressLabel, text);
    SetWindowTextW(statusWindow.connectionStatusLabel, Text(IDS_CONNECTED).c_str());
    ApplyTrayRecordWithBalloon(connectedRecord, Text(IDS_PHONE_CONNECTED).c_str());
}

void ShowPhoneChange(const PhoneChange& change)
{
    switch (change.kind) {
    case PhoneChange::Connected: ShowConnected(change.address); break;
    // Ended here: the record goes with whatever balloon text it last held.
    case PhoneChange::Disconnected: ShowNotConnected(); break;
    case PhoneChange::Left:
        ApplyTrayRecordWithBalloon(notConnectedRecord, Text(IDS_PHONE_LEFT).c_str());
        ShowNotConnectedLabels();
        break;
    case PhoneChange::Asking: AskAboutDevice(change.address, change.number); break;
    case PhoneChange::AskingEnded: CloseDevicePrompt(); break;
    case PhoneChange::Nothing: break;
    }
}

void ShowNotConnected()
{
    ApplyTrayRecord(notConnectedRecord);
    ShowNotConnectedLabels();
}

void ShowPortInUse()
{
    SetWindowTextW(statusWindow.connectionStatusLabel, Text(IDS_PORT_IN_USE).c_str());
    ApplyTrayRecordWithBalloon(notConnectedRecord, Text(IDS_PORT_IN_USE_BALLOON).c_str());
}

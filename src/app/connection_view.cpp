#include "app/connection_view.h"

#include "app/status_window.h"
#include "app/tray.h"
#include "app/trust_prompt.h"
#include "net/host.h"

static void ShowNotConnectedLabels()
{
    SetWindowTextW(statusWindow.phoneAddressLabel, L"0.0.0.0");
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Not connected");
}

static void ShowConnected(uint32_t address)
{
    in_addr phone = {};
    phone.s_addr = address;
    wchar_t text[16];
    FormatAddress(phone, text);
    SetWindowTextW(statusWindow.phoneAddressLabel, text);
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Connected");
    ApplyTrayRecordWithBalloon(connectedRecord, L"iPod/iPhone connected");
}

void ShowPhoneChange(const PhoneChange& change)
{
    switch (change.kind) {
    case PhoneChange::Connected: ShowConnected(change.address); break;
    // Ended here: the record goes with whatever balloon text it last held.
    case PhoneChange::Disconnected: ShowNotConnected(); break;
    case PhoneChange::Left:
        ApplyTrayRecordWithBalloon(notConnectedRecord, L"iPod/iPhone disconnected.");
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
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Port 4026 is in use by another program");
    ApplyTrayRecordWithBalloon(notConnectedRecord,
                               L"Port 4026 is in use by another program, so phones cannot connect. Palvenor Server "
                               L"tries again every 10 seconds.");
}

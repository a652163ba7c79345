// What the user sees of the phone's connection: the status window's labels and the tray icon.
#include "app/status_window.h"
#include "app/tray.h"
#include "net/connection_report.h"

static void ShowNotConnectedLabels()
{
    SetWindowTextW(statusWindow.phoneAddressLabel, L"0.0.0.0");
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Not connected");
}

void ReportPhoneConnected(in_addr phone)
{
    WriteAddressLabel(statusWindow.phoneAddressLabel, phone);
    SetWindowTextW(statusWindow.connectionStatusLabel, L"Connected");
    ApplyTrayRecordWithBalloon(connectedRecord, L"iPod/iPhone connected");
}

// The record goes with whatever balloon text it last held.
void ReportPhoneDisconnected()
{
    ApplyTrayRecord(notConnectedRecord);
    ShowNotConnectedLabels();
}

void ReportPhoneLeft()
{
    ApplyTrayRecordWithBalloon(notConnectedRecord, L"iPod/iPhone disconnected.");
    ShowNotConnectedLabels();
}

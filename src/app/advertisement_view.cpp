#include "app/advertisement_view.h"

#include "app/status_window.h"
#include "app/tray.h"

static const wchar_t ADVERTISEMENT_FAILURE[] =
    L"Palvenor Server is unable to access Apple's Bonjour software.\n\nTo use Palvenor, you must enable Bonjour, "
    L"OR enter the IP address of this computer in the Palvenor app.";

void ShowAdvertisement(bool registered)
{
    SetWindowTextW(statusWindow.advertisementStatusLabel, registered ? L"Registered" : L"Failed");
    if (registered) return;
    ApplyTrayRecordWithBalloon(notConnectedRecord, ADVERTISEMENT_FAILURE);
    ShowWindow(statusWindow.window, SW_SHOW);
}

INT_PTR OnAdvertisementOutcome(WPARAM status)
{
    ShowAdvertisement(status == 0);
    return FALSE;
}

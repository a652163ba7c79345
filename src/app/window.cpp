#include "app/window.h"

#include "resources/resource.h"

StatusWindowHandles statusWindow;

void FetchLabelHandles()
{
    statusWindow.localAddressLabel = GetDlgItem(statusWindow.window, IDC_LOCAL_ADDRESS);
    statusWindow.phoneAddressLabel = GetDlgItem(statusWindow.window, IDC_PHONE_ADDRESS);
    statusWindow.computerNameLabel = GetDlgItem(statusWindow.window, IDC_COMPUTER_NAME);
    statusWindow.connectionStatusLabel = GetDlgItem(statusWindow.window, IDC_CONNECTION_STATUS);
    statusWindow.advertisementStatusLabel = GetDlgItem(statusWindow.window, IDC_ADVERTISEMENT_STATUS);
}

void ShowStatusWindow()
{
    ShowWindow(statusWindow.window, SW_SHOW);        // visible, which starts the refresh timer
    ShowWindow(statusWindow.window, SW_SHOWNORMAL);  // restored from the minimised state hiding leaves
    SetForegroundWindow(statusWindow.window);
}

void HideStatusWindow()
{
    ShowWindow(statusWindow.window, SW_MINIMIZE);
    ShowWindow(statusWindow.window, SW_HIDE);
}

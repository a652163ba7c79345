#include "app/window.h"

#include "resources/resource.h"

StatusWindowHandles statusWindow;

static int ControlOf(StatusValue value)
{
    switch (value) {
    case StatusValue::ComputerName: return IDC_COMPUTER_NAME;
    case StatusValue::LocalAddress: return IDC_LOCAL_ADDRESS;
    case StatusValue::Connection: return IDC_CONNECTION_STATUS;
    case StatusValue::PhoneAddress: return IDC_PHONE_ADDRESS;
    case StatusValue::Advertisement: return IDC_ADVERTISEMENT_STATUS;
    }
    return 0;
}

HWND StatusValueLabel(StatusValue value) { return GetDlgItem(statusWindow.window, ControlOf(value)); }

void ShowStatusValue(StatusValue value, const wchar_t* text) { SetWindowTextW(StatusValueLabel(value), text); }

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

#include "app/tray.h"

#include "app/messages.h"
#include "app/status_window.h"
#include "net/connection.h"
#include "net/receiver.h"
#include "resources/resource.h"

NOTIFYICONDATAW notConnectedRecord;
NOTIFYICONDATAW connectedRecord;
BOOL(WINAPI* notifyIcon)(DWORD, PNOTIFYICONDATAW) = Shell_NotifyIconW;

static void PrepareRecord(NOTIFYICONDATAW& record, WORD iconId, const wchar_t* tip)
{
    record.cbSize = sizeof(NOTIFYICONDATAW);
    record.hWnd = statusWindow.window;
    record.uID = TRAY_ICON_ID;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    record.uCallbackMessage = WM_TRAY_CALLBACK;
    record.hIcon = LoadIconW(statusWindow.instance, MAKEINTRESOURCEW(iconId));
    lstrcpynW(record.szTip, tip, ARRAYSIZE(record.szTip));
    record.uTimeout = 10000;
    lstrcpynW(record.szInfoTitle, L"Palvenor", ARRAYSIZE(record.szInfoTitle));
}

void PrepareTrayRecords()
{
    PrepareRecord(notConnectedRecord, IDI_NOT_CONNECTED, L"Quorvane Palvenor Server for Windows - NOT CONNECTED");
    PrepareRecord(connectedRecord, IDI_CONNECTED, L"Quorvane Palvenor Server for Windows - CONNECTED");
}

// Hands a record to the shell, first writing its balloon text when one is given.
static void Notify(DWORD message, NOTIFYICONDATAW& record, const wchar_t* balloonText = nullptr)
{
    if (balloonText) lstrcpynW(record.szInfo, balloonText, ARRAYSIZE(record.szInfo));
    notifyIcon(message, &record);
}

void AddTrayIcon() { Notify(NIM_ADD, notConnectedRecord); }

void ApplyTrayRecord(NOTIFYICONDATAW& record) { Notify(NIM_MODIFY, record); }

void ApplyTrayRecordWithBalloon(NOTIFYICONDATAW& record, const wchar_t* balloonText)
{
    Notify(NIM_MODIFY, record, balloonText);
}

// The shell knows the icon by window and identifier, which both records share.
void RemoveTrayIcon() { Notify(NIM_DELETE, notConnectedRecord); }

void ShowTrayMenu()
{
    HMENU menu = LoadMenuW(statusWindow.instance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    HMENU popup = GetSubMenu(menu, 0);
    EnableMenuItem(popup, IDM_DISCONNECT,
                   MF_BYCOMMAND | (connectionState.connected ? MF_ENABLED : MF_GRAYED));
    POINT pointer;
    GetCursorPos(&pointer);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(statusWindow.window);
    TrackPopupMenu(popup, TPM_BOTTOMALIGN, pointer.x, pointer.y, 0, statusWindow.window, nullptr);
    DestroyMenu(menu);
}

INT_PTR OnTrayCallback(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != TRAY_ICON_ID) return FALSE;
    if (mouseMessage == WM_LBUTTONDBLCLK) ShowStatusWindow();
    if (mouseMessage == WM_RBUTTONDOWN) ShowTrayMenu();
    return FALSE;
}

INT_PTR OnExitCommand()
{
    if (connectionState.connected) Disconnect();
    RemoveTrayIcon();
    DestroyWindow(statusWindow.window);
    return FALSE;
}

INT_PTR OnDisconnectCommand()
{
    // The phone may have gone while the menu was open.
    if (connectionState.connected) Disconnect();
    return FALSE;
}

INT_PTR OnQuitRequest()
{
    StopServingInput();  // nothing the phone holds pressed outlives the program
    RemoveTrayIcon();
    DestroyWindow(statusWindow.window);
    return TRUE;
}

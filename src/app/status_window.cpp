#include "app/status_window.h"

#include "advertise/advertise.h"
#include "app/advertisement_view.h"
#include "app/link_label.h"
#include "app/messages.h"
#include "app/tray.h"
#include "autostart/shortcut.h"
#include "net/connection.h"
#include "net/local_subnets.h"
#include "resources/resource.h"

StatusWindowHandles statusWindow;
sockaddr_in localAddresses[8];

void FormatAddress(in_addr address, wchar_t (&text)[64])
{
    ZeroMemory(text, sizeof text);
    wsprintfW(text, L"%S", inet_ntoa(address));
}

void WriteAddressLabel(HWND label, in_addr address)
{
    wchar_t text[64];
    FormatAddress(address, text);
    SetWindowTextW(label, text);
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

void FetchLabelHandles()
{
    // The local-address label has no id of its own: it is the first id -1 control in template order.
    statusWindow.localAddressLabel = GetDlgItem(statusWindow.window, -1);
    statusWindow.phoneAddressLabel = GetDlgItem(statusWindow.window, IDC_PHONE_ADDRESS);
    statusWindow.computerNameLabel = GetDlgItem(statusWindow.window, IDC_COMPUTER_NAME);
    statusWindow.connectionStatusLabel = GetDlgItem(statusWindow.window, IDC_CONNECTION_STATUS);
    statusWindow.advertisementStatusLabel = GetDlgItem(statusWindow.window, IDC_ADVERTISEMENT_STATUS);
}

void WriteComputerName()
{
    char name[128] = {};
    (void)gethostname(name, sizeof name);  // an unobtainable name leaves the label empty
    name[sizeof name - 1] = '\0';
    wchar_t wideName[128] = {};
    MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 128);
    SetWindowTextW(statusWindow.computerNameLabel, wideName);
}

void CollectLocalAddresses()
{
    char name[256] = {};
    if (gethostname(name, sizeof name) != 0) return;
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list) return;
    for (int i = 0; i < 8 && host->h_addr_list[i]; ++i)
        CopyMemory(&localAddresses[i].sin_addr, host->h_addr_list[i], sizeof(in_addr));
}

void RefreshLocalAddress()
{
    ReadLocalSubnets();  // a network joined since start-up is local too
    // A name that cannot be had, or a lookup that finds nothing, leaves the label as it was.
    char name[80] = {};
    if (gethostname(name, sizeof name) != 0) return;
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list) return;
    wchar_t text[64] = {};
    // The label ends with the last address of the list.
    for (int i = 0; host->h_addr_list[i]; ++i) {
        in_addr address;
        CopyMemory(&address, host->h_addr_list[i], sizeof address);
        FormatAddress(address, text);
    }
    SetWindowTextW(statusWindow.localAddressLabel, text);
}

static INT_PTR OnDestroy()
{
    WithdrawAdvertisement();
    WSACleanup();
    PostQuitMessage(0);
    return TRUE;
}

static INT_PTR OnClose()
{
    HideStatusWindow();
    return TRUE;
}

// The address is refreshed only while someone can see it.
static INT_PTR OnShowWindow(HWND window, WPARAM beingShown)
{
    if (beingShown == TRUE)
        SetTimer(window, REFRESH_TIMER_ID, REFRESH_PERIOD_MS, nullptr);
    else
        KillTimer(window, REFRESH_TIMER_ID);
    return FALSE;
}

static INT_PTR OnTimer(WPARAM timer)
{
    if (timer == REFRESH_TIMER_ID) RefreshLocalAddress();
    return FALSE;
}

// Every system command is reported as handled: for SC_MINIMIZE the dialog manager's own
// minimise would show the just-hidden window again, and for the others the default handling
// would otherwise run a second time.
static INT_PTR OnSysCommand(HWND window, WPARAM command, LPARAM lParam)
{
    if (command == SC_MINIMIZE)
        HideStatusWindow();
    else
        DefWindowProcW(window, WM_SYSCOMMAND, command, lParam);
    return TRUE;
}

static INT_PTR OnCloseCommand()
{
    HideStatusWindow();
    return FALSE;
}

static INT_PTR OnAutostartClicked(HWND window)
{
    // An automatic check box has already toggled itself when it reports the click.
    if (SendDlgItemMessageW(window, IDC_AUTOSTART, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
        (void)CreateStartupShortcut();
    else
        (void)DeleteStartupShortcut();
    return TRUE;
}

static INT_PTR OnSettingsCommand()
{
    ShowStatusWindow();
    return FALSE;
}

// Matched on the whole wParam: only clicks and menu choices (notification code 0) have a row;
// Enter (IDOK) and Escape (IDCANCEL) fall under "any other" and do nothing.
static INT_PTR OnCommand(HWND window, WPARAM command)
{
    switch (command) {
    case IDCLOSE: return OnCloseCommand();
    case IDC_AUTOSTART: return OnAutostartClicked(window);
    case IDC_SUPPORT_LINK: return OnSupportLinkClicked();
    case IDM_EXIT: return OnExitCommand();
    case IDM_DISCONNECT: return OnDisconnectCommand();
    case IDM_SETTINGS: return OnSettingsCommand();
    default: return TRUE;
    }
}

static INT_PTR OnSocketEvent(WPARAM socket, LPARAM lParam)
{
    HandleSocketEvent(socket, lParam);
    return FALSE;
}

static INT_PTR OnMonitorEnded(WPARAM socket, LPARAM number)
{
    HandleMonitorEnded(socket, number);
    return FALSE;
}

// Explorer broadcasts this when it starts, after a crash or an update too.
static const UINT WM_TASKBAR_CREATED = RegisterWindowMessageW(L"TaskbarCreated");

// Messages whose numbers are only known at run time.
static INT_PTR OnRegisteredMessage(UINT message)
{
    if (WM_TASKBAR_CREATED != 0 && message == WM_TASKBAR_CREATED) return OnTaskbarCreated();
    return FALSE;
}

INT_PTR CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_DESTROY: return OnDestroy();
    case WM_CLOSE: return OnClose();
    case WM_SHOWWINDOW: return OnShowWindow(window, wParam);
    case WM_TIMER: return OnTimer(wParam);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_TRAY_CALLBACK: return OnTrayCallback(wParam, lParam);
    case WM_SOCKET_EVENT: return OnSocketEvent(wParam, lParam);
    case WM_MONITOR_ENDED: return OnMonitorEnded(wParam, lParam);
    case WM_QUIT_REQUEST: return OnQuitRequest();
    case WM_ADVERTISEMENT_OUTCOME: return OnAdvertisementOutcome(wParam);
    case WM_DPICHANGED: return OnDpiChanged();
    default: return OnRegisteredMessage(message);
    }
}

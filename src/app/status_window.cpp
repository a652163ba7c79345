#include "app/status_window.h"

#include "app/advertisement_view.h"
#include "app/commands.h"
#include "app/connection_view.h"
#include "app/firewall_view.h"
#include "app/host_view.h"
#include "app/elevated_window_view.h"
#include "app/link_label.h"
#include "app/messages.h"
#include "app/network_change.h"
#include "app/quit.h"
#include "app/serving.h"
#include "app/session_watch.h"
#include "app/status_layout.h"
#include "app/texts.h"
#include "app/tray.h"
#include "app/trusted_window.h"
#include "app/window.h"
#include "net/connection.h"
#include "resources/resource.h"

static INT_PTR OnInitDialog(HWND window)
{
    SetDlgItemTextW(window, IDC_CONNECTION_STATUS, LoadText(IDS_NOT_CONNECTED).c_str());
    return TRUE;
}

// Where the user chooses which icons stay on the taskbar rather than in its overflow.
static INT_PTR OnTaskbarLinkClicked()
{
    openWebPage(L"ms-settings:taskbar");
    return TRUE;
}

static INT_PTR OnClose()
{
    HideStatusWindow();
    return TRUE;
}

// The address is refreshed only while someone can see it, and at once as it opens; the firewall is
// read as it opens.
static INT_PTR OnShowWindow(HWND window, WPARAM beingShown)
{
    if (beingShown != TRUE) {
        KillTimer(window, REFRESH_TIMER_ID);
        ShowTrayHintLine(false);  // opened again, it is from the icon
        return FALSE;
    }
    SetTimer(window, REFRESH_TIMER_ID, REFRESH_PERIOD_MS, nullptr);
    RefreshLocalAddress();
    ShowFirewall();
    return FALSE;
}

static INT_PTR OnTimer(WPARAM timer)
{
    switch (timer) {
    case REFRESH_TIMER_ID: RefreshLocalAddress(); return FALSE;
    case PORT_RETRY_TIMER_ID: RetryServing(); return FALSE;
    case NETWORK_SETTLED_TIMER_ID: return OnNetworkSettled();
    case SESSION_WATCH_TIMER_ID: RetryWatchingSession(); return FALSE;
    case CONSOLE_ASK_TIMER_ID: AskTheConsoleAgain(); return FALSE;
    default: return FALSE;
    }
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

// Matched on the whole wParam: only clicks and menu choices (notification code 0) have a row;
// Enter (IDOK) and Escape (IDCANCEL) fall under "any other" and do nothing.
static INT_PTR OnCommand(HWND window, WPARAM command)
{
    switch (command) {
    case IDCLOSE: return OnCloseCommand();
    case IDC_AUTOSTART: return OnAutostartClicked(window);
    case IDC_SUPPORT_LINK: return OnSupportLinkClicked();
    case IDC_FIREWALL_LINK: return OnAllowPhonesClicked();
    case IDC_TASKBAR_LINK: return OnTaskbarLinkClicked();
    case IDM_EXIT: return OnExitCommand();
    case IDM_DISCONNECT: return OnDisconnectCommand();
    case IDM_PAUSE: return OnPauseCommand();
    case IDM_FORGET: return OnForgetCommand();
    case IDM_TRUSTED: return OnTrustedPhonesCommand();
    case IDM_SETTINGS: return OnSettingsCommand();
    default: return TRUE;
    }
}

// The listener asks for nothing but its accepts.
static INT_PTR OnSocketEvent(LPARAM event)
{
    if (WSAGETSELECTEVENT(event) == FD_ACCEPT) ShowPhoneChange(AcceptConnection());
    return TRUE;
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
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_DESTROY: return OnDestroy();
    case WM_CLOSE: return OnClose();
    case WM_SHOWWINDOW: return OnShowWindow(window, wParam);
    case WM_TIMER: return OnTimer(wParam);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_TRAY_CALLBACK: return OnTrayCallback(wParam, lParam);
    case WM_SOCKET_EVENT: return OnSocketEvent(lParam);
    case WM_QUIT_REQUEST: return OnQuitRequest();
    case WM_SHOW_REQUEST: return OnShowRequest();
    case WM_POWERBROADCAST: return OnPowerBroadcast(wParam);
    case WM_DPICHANGED: return OnDpiChanged();
    case WM_WTSSESSION_CHANGE: return OnSessionChange(wParam, lParam);
    default: return OnRegisteredMessage(message);
    }
}

#include "app/tray.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/link_label.h"
#include "app/messages.h"
#include "app/texts.h"
#include "app/window.h"
#include "base/loaded_functions.h"
#include "resources/resource.h"

BOOL(WINAPI* notifyIcon)(DWORD, PNOTIFYICONDATAW) = Shell_NotifyIconW;

static HRESULT WINAPI AskTheShell(QUERY_USER_NOTIFICATION_STATE* state)
{
    const auto query = Load(QUERY_USER_NOTIFICATION_STATE_FUNCTION);
    return query ? query(state) : E_NOTIMPL;
}

HRESULT(WINAPI* queryNotificationState)(QUERY_USER_NOTIFICATION_STATE*) = AskTheShell;

// What the icon shows; the shell is handed a copy of it at every change.
static NOTIFYICONDATAW icon;
static HICON iconLooks[2];  // not connected, connected
static TrayLook look = {false, IDS_TIP_NOT_CONNECTED, false};
// What a click on the balloon shown last opens, if anything.
static const wchar_t* balloonLink = nullptr;

// Loads both looks at the size the notification area draws them, so the shell never stretches a
// picture drawn for another; the icons they replace are destroyed.
static void LoadLooks()
{
    const WORD ids[] = {IDI_NOT_CONNECTED, IDI_CONNECTED};
    for (int i = 0; i < 2; ++i) {
        HICON previous = iconLooks[i];
        if (FAILED(LoadIconMetric(statusWindow.instance, MAKEINTRESOURCEW(ids[i]), LIM_SMALL, &iconLooks[i])))
            iconLooks[i] = nullptr;
        if (previous) DestroyIcon(previous);
    }
}

// Hands the icon to the shell as the state is now, without a balloon: its look, and the tip
// "Quorvane Palvenor Server for Windows - " and the state, in the user's language.
static void Notify(DWORD message)
{
    icon.hIcon = iconLooks[look.connected ? 1 : 0];
    const std::wstring tip = std::wstring(STATUS_WINDOW_TITLE) + L" - " + LoadText(look.tip);
    lstrcpynW(icon.szTip, tip.c_str(), ARRAYSIZE(icon.szTip));
    NOTIFYICONDATAW record = icon;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    (void)notifyIcon(message, &record);  // a shell that is not there yet adds it on TaskbarCreated
}

// Adds the icon and asks for version 4: the menu comes on WM_CONTEXTMENU (the right button's
// release, Shift+F10, the menu key) and the keyboard's selection (Win+B, the arrows, Enter) comes
// as NIN_KEYSELECT.
static void AddToShell()
{
    Notify(NIM_ADD);
    NOTIFYICONDATAW record = icon;
    record.uVersion = NOTIFYICON_VERSION_4;
    (void)notifyIcon(NIM_SETVERSION, &record);
}

void AddTrayIcon()
{
    icon = NOTIFYICONDATAW{};
    icon.cbSize = sizeof icon;
    icon.hWnd = statusWindow.window;
    icon.uID = TRAY_ICON_ID;
    icon.uCallbackMessage = WM_TRAY_CALLBACK;
    LoadLooks();
    AddToShell();
}

// The shell knows the icon by window and identifier.
void RemoveTrayIcon() { Notify(NIM_DELETE); }

void ShowTrayLook(const TrayLook& shown)
{
    look = shown;
    Notify(NIM_MODIFY);
}

bool ShowBalloon(const wchar_t* text, const wchar_t* link)
{
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    const bool known = SUCCEEDED(queryNotificationState(&state));
    if (known && state == QUNS_QUIET_TIME) return false;
    NOTIFYICONDATAW record = icon;
    record.uFlags = NIF_INFO;
    // Nothing it says is urgent: in a new user's first hour, Windows holds it back.
    record.dwInfoFlags = NIIF_RESPECT_QUIET_TIME;
    lstrcpynW(record.szInfoTitle, L"Palvenor", ARRAYSIZE(record.szInfoTitle));
    lstrcpynW(record.szInfo, text, ARRAYSIZE(record.szInfo));
    record.uTimeout = 10000;  // before Windows Vista; later ones follow the accessibility settings
    balloonLink = link;
    return notifyIcon(NIM_MODIFY, &record) && (!known || state == QUNS_ACCEPTS_NOTIFICATIONS);
}

namespace {

struct Said {
    UINT topic;
    BalloonSubject subject;
};
std::vector<Said> said;

}  // namespace

bool BalloonSaid(UINT topic, const BalloonSubject& subject)
{
    said.erase(std::remove_if(said.begin(), said.end(),
                              [](const Said& once) { return once.subject.window && !IsWindow(once.subject.window); }),
               said.end());
    return std::any_of(said.begin(), said.end(), [&](const Said& once) {
        return once.topic == topic && IsEqualGUID(once.subject.network, subject.network) &&
               once.subject.window == subject.window;
    });
}

void ShowBalloonOnce(UINT topic, const BalloonSubject& subject, const wchar_t* text, const wchar_t* link)
{
    if (!BalloonSaid(topic, subject) && ShowBalloon(text, link)) said.push_back({topic, subject});
}

// "Settings" is the default, bold item: what a double-click or Enter on the icon does.
static void ShowTrayMenu(POINT at)
{
    HMENU menu = LoadMenuW(statusWindow.instance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, IDM_SETTINGS, FALSE);
    EnableMenuItem(popup, IDM_DISCONNECT, MF_BYCOMMAND | (look.connected ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(popup, IDM_PAUSE, MF_BYCOMMAND | (look.paused ? MF_CHECKED : MF_UNCHECKED));
    // Without the foreground the menu would not close when the user clicks elsewhere, and
    // without a message after it, it would not close the next time either.
    SetForegroundWindow(statusWindow.window);
    const UINT alignment = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    TrackPopupMenu(popup, alignment | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, statusWindow.window, nullptr);
    PostMessageW(statusWindow.window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

// Version 4's callback: the event in the low word of lParam, the icon in the high word, and
// where the menu belongs (the pointer, or the icon for the keyboard) in wParam's coordinates.
INT_PTR OnTrayCallback(WPARAM anchor, LPARAM event)
{
    if (HIWORD(event) != TRAY_ICON_ID) return TRUE;
    switch (LOWORD(event)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case WM_LBUTTONDBLCLK: ShowStatusWindow(); break;
    case WM_CONTEXTMENU: ShowTrayMenu(POINT{GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)}); break;
    case NIN_BALLOONUSERCLICK:
        if (balloonLink) openWebPage(balloonLink);
        break;
    default: break;
    }
    return TRUE;  // handled, so that the dialog manager never takes it for DM_SETDEFID
}

// A restarted Explorer has a new notification area, empty until each program adds its icon again.
INT_PTR OnTaskbarCreated()
{
    LoadLooks();
    AddToShell();
    return FALSE;
}

// The notification area's size may have changed with the scale. Returns FALSE so that the dialog
// manager goes on to scale the window for the new monitor.
INT_PTR OnDpiChanged()
{
    LoadLooks();
    Notify(NIM_MODIFY);
    return FALSE;
}

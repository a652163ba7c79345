#include "app/tray.h"

#include "advertise/library_function.h"
#include "app/connection_view.h"
#include "app/link_label.h"
#include "app/messages.h"
#include "app/status_window.h"
#include "app/texts.h"
#include "net/connection.h"
#include "net/receiver.h"
#include "net/trust_store.h"
#include "resources/resource.h"

NOTIFYICONDATAW notConnectedRecord;
NOTIFYICONDATAW connectedRecord;
BOOL(WINAPI* notifyIcon)(DWORD, PNOTIFYICONDATAW) = Shell_NotifyIconW;

// The look the icon has now: the record applied last.
static NOTIFYICONDATAW* shownRecord = &notConnectedRecord;
// What a click on the balloon shown last opens, if anything.
static const wchar_t* balloonLink = nullptr;

// The size of a small icon at the status window's scale. Before Windows 10 (1607) the whole
// session has one scale, and the plain metric gives it.
static int SmallIconSize()
{
    typedef UINT(WINAPI * DpiForWindowFunction)(HWND);
    typedef int(WINAPI * MetricsForDpiFunction)(int, UINT);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    const auto dpiForWindow = LibraryFunction<DpiForWindowFunction>(user, "GetDpiForWindow");
    const auto metricsForDpi = LibraryFunction<MetricsForDpiFunction>(user, "GetSystemMetricsForDpi");
    if (dpiForWindow && metricsForDpi) return metricsForDpi(SM_CXSMICON, dpiForWindow(statusWindow.window));
    return GetSystemMetrics(SM_CXSMICON);
}

// Loads both looks at the current scale, so the shell never stretches a picture drawn for
// another; the icons they replace are destroyed.
static void LoadTrayIcons()
{
    const int size = SmallIconSize();
    const struct {
        NOTIFYICONDATAW& record;
        WORD id;
    } looks[] = {{notConnectedRecord, IDI_NOT_CONNECTED}, {connectedRecord, IDI_CONNECTED}};
    for (const auto& look : looks) {
        HICON previous = look.record.hIcon;
        look.record.hIcon = static_cast<HICON>(
            LoadImageW(statusWindow.instance, MAKEINTRESOURCEW(look.id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        if (previous) DestroyIcon(previous);
    }
}

static void PrepareRecord(NOTIFYICONDATAW& record)
{
    record.cbSize = sizeof(NOTIFYICONDATAW);
    record.hWnd = statusWindow.window;
    record.uID = TRAY_ICON_ID;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    record.uCallbackMessage = WM_TRAY_CALLBACK;
    record.uTimeout = 10000;
    lstrcpynW(record.szInfoTitle, L"Palvenor", ARRAYSIZE(record.szInfoTitle));
}

// "Quorvane Palvenor Server for Windows - " and the state, in the user's language.
static void WriteTip(NOTIFYICONDATAW& record, UINT state)
{
    const std::wstring tip = std::wstring(STATUS_WINDOW_TITLE) + L" - " + Text(state);
    lstrcpynW(record.szTip, tip.c_str(), ARRAYSIZE(record.szTip));
}

// Both looks' tips: a pause shows in either.
static void WriteTips()
{
    const bool paused = InputPaused();
    WriteTip(notConnectedRecord, paused ? IDS_TIP_PAUSED : IDS_TIP_NOT_CONNECTED);
    WriteTip(connectedRecord, paused ? IDS_TIP_PAUSED : IDS_TIP_CONNECTED);
}

void PrepareTrayRecords()
{
    PrepareRecord(notConnectedRecord);
    PrepareRecord(connectedRecord);
    WriteTips();
    shownRecord = &notConnectedRecord;
    LoadTrayIcons();
}

// Hands a record to the shell, first writing its balloon text when one is given.
static void Notify(DWORD message, NOTIFYICONDATAW& record, const wchar_t* balloonText = nullptr)
{
    if (balloonText) {
        lstrcpynW(record.szInfo, balloonText, ARRAYSIZE(record.szInfo));
        balloonLink = nullptr;
    }
    notifyIcon(message, &record);
    if (message != NIM_DELETE) shownRecord = &record;
}

// Gives the shell the icon again, with its current look and tip but no balloon.
static void RefreshTrayIcon(DWORD message)
{
    LoadTrayIcons();
    NOTIFYICONDATAW record = *shownRecord;
    record.uFlags &= ~NIF_INFO;
    notifyIcon(message, &record);
}

void AddTrayIcon() { Notify(NIM_ADD, notConnectedRecord); }

void ApplyTrayRecord(NOTIFYICONDATAW& record) { Notify(NIM_MODIFY, record); }

void ApplyTrayRecordWithBalloon(NOTIFYICONDATAW& record, const wchar_t* balloonText)
{
    Notify(NIM_MODIFY, record, balloonText);
}

void ShowBalloon(const wchar_t* text, const wchar_t* link)
{
    Notify(NIM_MODIFY, *shownRecord, text);
    balloonLink = link;
}

// The shell knows the icon by window and identifier, which both records share.
void RemoveTrayIcon() { Notify(NIM_DELETE, notConnectedRecord); }

void ShowTrayMenu()
{
    HMENU menu = LoadMenuW(statusWindow.instance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    HMENU popup = GetSubMenu(menu, 0);
    EnableMenuItem(popup, IDM_DISCONNECT,
                   MF_BYCOMMAND | (PhoneConnected() ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(popup, IDM_PAUSE, MF_BYCOMMAND | (InputPaused() ? MF_CHECKED : MF_UNCHECKED));
    POINT pointer;
    GetCursorPos(&pointer);
    // Without the foreground the menu would not close when the user clicks elsewhere, and
    // without a message after it, it would not close the next time either.
    SetForegroundWindow(statusWindow.window);
    const UINT alignment = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    TrackPopupMenu(popup, alignment | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0,
                   statusWindow.window, nullptr);
    PostMessageW(statusWindow.window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

INT_PTR OnTrayCallback(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != TRAY_ICON_ID) return FALSE;
    if (mouseMessage == WM_LBUTTONDBLCLK) ShowStatusWindow();
    if (mouseMessage == WM_RBUTTONDOWN) ShowTrayMenu();
    if (mouseMessage == NIN_BALLOONUSERCLICK && balloonLink) openWebPage(balloonLink);
    return FALSE;
}

INT_PTR OnDisconnectCommand()
{
    ShowPhoneChange(Disconnect());  // the phone may have gone while the menu was open
    return FALSE;
}

INT_PTR OnPauseCommand()
{
    PauseInput(!InputPaused());
    WriteTips();
    RefreshTrayIcon(NIM_MODIFY);
    return FALSE;
}

// The current phone stays until its connection ends; every other device is asked again.
INT_PTR OnForgetCommand()
{
    ForgetTrustedPhones();
    return FALSE;
}

// A restarted Explorer has a new notification area, empty until each program adds its icon again.
INT_PTR OnTaskbarCreated()
{
    RefreshTrayIcon(NIM_ADD);
    return FALSE;
}

// Returns FALSE so that the dialog manager goes on to scale the window for the new monitor.
INT_PTR OnDpiChanged()
{
    RefreshTrayIcon(NIM_MODIFY);
    return FALSE;
}

#include "app/trusted_window.h"

#include <commctrl.h>
#include <winsock2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/connection_view.h"
#include "app/messages.h"
#include "app/texts.h"
#include "app/window.h"
#include "base/loaded_functions.h"
#include "base/ui_thread.h"
#include "base/unix_time.h"
#include "net/connection.h"
#include "net/trust_store.h"
#include "pc/host.h"
#include "resources/resource.h"

static HWND trustedWindow = nullptr;
// The entries as the list shows them, row by row.
static std::vector<TrustedPhone> rows;
// While a name is edited in place the list is not rebuilt (the row would move under the edit), and
// the new name goes to the entry whose row was edited.
static bool editing = false;
static bool refreshWaiting = false;
static TrustedPhone edited;

HWND TrustedPhonesWindow() { return trustedWindow; }

static HWND List() { return GetDlgItem(trustedWindow, IDC_TRUSTED_LIST); }

// The time in the user's own date and time formats; empty when it is not known.
static std::wstring TimeText(uint64_t secondsSince1970)
{
    if (secondsSince1970 == 0) return L"";
    const FILETIME utc = FileTimeOf(secondsSince1970);
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return L"";
    wchar_t date[80] = {}, time[80] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, ARRAYSIZE(date), nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, ARRAYSIZE(time));
    return std::wstring(date) + L" " + time;
}

// A device without a name shows its address in its place.
static std::wstring NameText(const TrustedPhone& phone)
{
    return phone.name.empty() ? FormatAddress(phone.address) : phone.name;
}

static void SetCell(int row, int column, const std::wstring& text)
{
    LVITEMW cell = {};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(List(), LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&cell));
}

// The selected row, or -1.
static int Selected() { return int(SendMessageW(List(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }

static void EnableButtons()
{
    const bool selected = Selected() >= 0;
    EnableWindow(GetDlgItem(trustedWindow, IDC_RENAME), selected);
    EnableWindow(GetDlgItem(trustedWindow, IDC_FORGET_ONE), selected);
    EnableWindow(GetDlgItem(trustedWindow, IDC_FORGET_ALL), !rows.empty());
}

void RefreshTrustedPhones()
{
    if (!trustedWindow) return;
    if (editing) {
        refreshWaiting = true;
        return;
    }
    const int selected = Selected();
    const TrustedPhone kept = selected >= 0 && size_t(selected) < rows.size() ? rows[size_t(selected)] : TrustedPhone{};
    rows = ReadTrustedPhones();
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TrustedPhone& a, const TrustedPhone& b) { return a.lastConnected > b.lastConnected; });
    SendMessageW(List(), WM_SETREDRAW, FALSE, 0);
    SendMessageW(List(), LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::wstring name = NameText(rows[i]);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = int(i);
        item.pszText = const_cast<wchar_t*>(name.c_str());
        SendMessageW(List(), LVM_INSERTITEMW, 0, LPARAM(&item));
        SetCell(int(i), 1, FormatAddress(rows[i].address));
        SetCell(int(i), 2, rows[i].macKnown ? FormatHardwareAddress(rows[i].mac) : L"");
        SetCell(int(i), 3, TimeText(rows[i].lastConnected));
        if (selected >= 0 && SameEntry(rows[i], kept)) {
            LVITEMW state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(List(), LVM_SETITEMSTATE, i, LPARAM(&state));
        }
    }
    SendMessageW(List(), WM_SETREDRAW, TRUE, 0);
    EnableButtons();
}

// The scale the columns were last laid out at.
static UINT columnsDpi = 0;

static UINT DpiOf(HWND window)
{
    const auto dpiForWindow = Load(GET_DPI_FOR_WINDOW);
    if (dpiForWindow) return dpiForWindow(window);
    HDC screen = GetDC(nullptr);
    const UINT dpi = UINT(GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The columns, in dialog units so that they grow with the font and the scale.
static void AddColumns(HWND window)
{
    columnsDpi = DpiOf(window);
    const struct {
        UINT text;
        int width;
    } columns[] = {{IDS_COLUMN_NAME, 90}, {IDS_COLUMN_ADDRESS, 60}, {IDS_COLUMN_HARDWARE, 75}, {IDS_COLUMN_LAST, 80}};
    for (int i = 0; i < 4; ++i) {
        RECT width = {0, 0, columns[i].width, 0};
        MapDialogRect(window, &width);
        const std::wstring text = LoadText(columns[i].text);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = width.right;
        column.pszText = const_cast<wchar_t*>(text.c_str());
        column.iSubItem = i;
        SendMessageW(GetDlgItem(window, IDC_TRUSTED_LIST), LVM_INSERTCOLUMNW, WPARAM(i), LPARAM(&column));
    }
    SendDlgItemMessageW(window, IDC_TRUSTED_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                        LVS_EX_FULLROWSELECT);
}

static INT_PTR OnInitTrusted(HWND window)
{
    trustedWindow = window;
    AddColumns(window);
    RefreshTrustedPhones();
    SetFocus(GetDlgItem(window, IDC_TRUSTED_LIST));
    return FALSE;  // the focus is set
}

static INT_PTR CloseTrusted()
{
    DestroyWindow(trustedWindow);
    return TRUE;
}

static INT_PTR OnDestroyTrusted()
{
    trustedWindow = nullptr;
    editing = refreshWaiting = false;
    rows.clear();
    return TRUE;
}

static INT_PTR RenameSelected()
{
    const int selected = Selected();
    if (selected < 0) return TRUE;
    SetFocus(List());
    SendMessageW(List(), LVM_EDITLABELW, WPARAM(selected), 0);
    return TRUE;
}

void ForgetTrustedPhone(const TrustedPhone& entry) { ShowPhoneChange(ForgetDevice(entry)); }

// The selected device only: every other stays trusted.
static INT_PTR ForgetSelected()
{
    const int selected = Selected();
    if (selected < 0 || size_t(selected) >= rows.size()) return TRUE;
    ForgetTrustedPhone(rows[size_t(selected)]);
    return TRUE;
}

// As the tray's "Forget trusted phones", once the user confirms it.
static INT_PTR ForgetAll()
{
    if (MessageBoxW(trustedWindow, LoadText(IDS_FORGET_ALL_CONFIRM).c_str(), MESSAGE_CAPTION,
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        ShowPhoneChange(ForgetEveryDevice());
    return TRUE;
}

static INT_PTR OnBeginLabelEdit(const NMLVDISPINFOW& item)
{
    const size_t row = size_t(item.item.iItem);
    const bool editable = row < rows.size();
    if (editable) {
        editing = true;
        edited = rows[row];
    }
    SetWindowLongPtrW(trustedWindow, DWLP_MSGRESULT, !editable);
    return TRUE;
}

// The name the user typed; the address a nameless row shows, left as it was, gives none. The list
// then shows what is stored (a name cut to its length), not what was typed.
static INT_PTR OnEndLabelEdit(const NMLVDISPINFOW& item)
{
    SetWindowLongPtrW(trustedWindow, DWLP_MSGRESULT, FALSE);
    editing = false;
    const bool renamed = item.item.pszText && item.item.pszText != NameText(edited) &&
                         RenamePhone(edited, item.item.pszText);  // else cancelled, or as it was
    // Rebuilt once the list view has ended the edit, not while it is still ending it; a rename
    // is shown when the store tells of it, in its own turn.
    if (!renamed && refreshWaiting) (void)RunOnUiThread(RefreshTrustedPhones);
    refreshWaiting = false;
    return TRUE;
}

static INT_PTR OnListKey(WORD key)
{
    if (key == VK_DELETE) return ForgetSelected();
    if (key == VK_F2) return RenameSelected();
    return TRUE;
}

static INT_PTR OnTrustedNotify(const NMHDR& header)
{
    if (header.idFrom != IDC_TRUSTED_LIST) return FALSE;
    switch (header.code) {
    case LVN_BEGINLABELEDITW: return OnBeginLabelEdit(reinterpret_cast<const NMLVDISPINFOW&>(header));
    case LVN_ENDLABELEDITW: return OnEndLabelEdit(reinterpret_cast<const NMLVDISPINFOW&>(header));
    case LVN_KEYDOWN: return OnListKey(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
    case LVN_ITEMCHANGED: EnableButtons(); return TRUE;
    default: return FALSE;
    }
}

static INT_PTR OnTrustedCommand(WPARAM command)
{
    switch (command) {
    case IDC_RENAME: return RenameSelected();
    case IDC_FORGET_ONE: return ForgetSelected();
    case IDC_FORGET_ALL: return ForgetAll();
    case IDCANCEL: return CloseTrusted();
    default: return FALSE;
    }
}

// Moved to a monitor of another scale: the dialog manager scales the window and its controls, and
// the columns, which the list keeps as its own, follow at the same rate.
static INT_PTR OnTrustedDpiChanged(WPARAM dpi)
{
    const UINT now = LOWORD(dpi);
    for (int column = 0; column < 4 && columnsDpi != 0; ++column) {
        const int width = int(SendMessageW(List(), LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
        SendMessageW(List(), LVM_SETCOLUMNWIDTH, WPARAM(column), MulDiv(width, int(now), int(columnsDpi)));
    }
    columnsDpi = now;
    return FALSE;  // the dialog manager goes on to scale the window
}

static INT_PTR CALLBACK TrustedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitTrusted(window);
    case WM_COMMAND: return OnTrustedCommand(wParam);
    case WM_NOTIFY: return OnTrustedNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE: return CloseTrusted();
    case WM_DESTROY: return OnDestroyTrusted();
    case WM_DPICHANGED: return OnTrustedDpiChanged(wParam);
    default: return FALSE;
    }
}

INT_PTR OnTrustedPhonesCommand()
{
    const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    (void)InitCommonControlsEx(&classes);  // registered once; the window fails to open without it
    WatchTrustedList(RefreshTrustedPhones);
    if (!trustedWindow &&
        !CreateDialogParamW(statusWindow.instance, MAKEINTRESOURCEW(IDD_TRUSTED_PHONES), nullptr, TrustedProc, 0))
        return TRUE;
    ShowWindow(trustedWindow, SW_SHOWNORMAL);
    SetForegroundWindow(trustedWindow);
    return TRUE;
}

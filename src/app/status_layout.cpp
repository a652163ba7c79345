#include "app/status_layout.h"

#include <windows.h>

#include "app/window.h"
#include "resources/resource.h"

// The lines' heights in dialog units, as the template leaves room for them.
constexpr int FIREWALL_ROW_HEIGHT = 30;
constexpr int ELEVATED_WINDOW_ROW_HEIGHT = 28;
constexpr int TRAY_HINT_ROW_HEIGHT = 32;

static RECT ClientRectOf(HWND control, HWND window)
{
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

// Shows or hides a line (and its link, if any), making or giving back its room.
static void ShowLine(int noteId, int linkId, int rowHeight, bool shown, bool withLink)
{
    HWND window = statusWindow.window;
    HWND note = GetDlgItem(window, noteId), link = linkId ? GetDlgItem(window, linkId) : nullptr;
    // The line's own style says whether it has its room, whether or not the window is visible.
    const bool hadRoom = (GetWindowLongPtrW(note, GWL_STYLE) & WS_VISIBLE) != 0;
    ShowWindow(note, shown ? SW_SHOWNA : SW_HIDE);
    if (link) ShowWindow(link, shown && withLink ? SW_SHOWNA : SW_HIDE);
    if (shown == hadRoom) return;
    RECT row = {0, 0, 0, rowHeight};
    MapDialogRect(window, &row);  // at the window's own font and scale
    const int moved = shown ? row.bottom : -row.bottom;
    const LONG lineTop = ClientRectOf(note, window).top;
    // What stands below the line moves; what encloses it (the group around it) grows.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == note || child == link) continue;
        const RECT bounds = ClientRectOf(child, window);
        if (bounds.top >= lineTop)
            SetWindowPos(child, nullptr, bounds.left, bounds.top + moved, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        else if (bounds.bottom > lineTop)
            SetWindowPos(child, nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top + moved,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame;
    GetWindowRect(window, &frame);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + moved,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowFirewallLine(bool shown, bool withLink)
{
    ShowLine(IDC_FIREWALL_NOTE, IDC_FIREWALL_LINK, FIREWALL_ROW_HEIGHT, shown, withLink);
}

void ShowElevatedWindowLine(bool shown) { ShowLine(IDC_ELEVATED_WINDOW_NOTE, 0, ELEVATED_WINDOW_ROW_HEIGHT, shown, false); }

void ShowTrayHintLine(bool shown) { ShowLine(IDC_TRAY_HINT, IDC_TASKBAR_LINK, TRAY_HINT_ROW_HEIGHT, shown, true); }

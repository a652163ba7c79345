#include "app/link_label.h"

#include <shellapi.h>
#include <windowsx.h>

#include "base/wire.h"
#include "resources/resource.h"

const wchar_t SUPPORT_PAGE[] = L"https://" WIRE_WIDEN(SUPPORT_PAGE_HOST_AND_PATH);

static void OpenWithShell(const wchar_t* address)
{
    (void)ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);  // failure shows nothing
}

void (*openWebPage)(const wchar_t* address) = OpenWithShell;

static const wchar_t ORIGINAL_PROC[] = L"_Hyperlink_Original_Proc_";
static const wchar_t ORIGINAL_FONT[] = L"_Hyperlink_Original_Font_";
static const wchar_t UNDERLINE_FONT[] = L"_Hyperlink_Underline_Font_";
static const wchar_t FROM_STATIC[] = L"_Hyperlink_From_Static_";

static WNDPROC OriginalProc(HWND window) { return reinterpret_cast<WNDPROC>(GetPropW(window, ORIGINAL_PROC)); }

static void Subclass(HWND window, WNDPROC procedure)
{
    SetPropW(window, ORIGINAL_PROC, reinterpret_cast<HANDLE>(GetWindowLongPtrW(window, GWLP_WNDPROC)));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

// Puts the previous procedure back and hands it the WM_DESTROY.
static LRESULT Unsubclass(HWND window, WNDPROC previous, WPARAM wParam, LPARAM lParam)
{
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(window, ORIGINAL_PROC);
    return CallWindowProcW(previous, window, WM_DESTROY, wParam, lParam);
}

// Keeps the label's font and makes its underlined copy for hovering. A control without a font
// of its own draws with the system font; its underline copy is made from the default GUI font.
static void AdoptFont(HWND label, HFONT font)
{
    SetPropW(label, ORIGINAL_FONT, font);
    LOGFONTW description = {};
    GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    description.lfUnderline = TRUE;
    HGDIOBJ previous = GetPropW(label, UNDERLINE_FONT);
    SetPropW(label, UNDERLINE_FONT, CreateFontIndirectW(&description));
    if (previous) DeleteObject(previous);
}

// A font that is neither of the label's own comes from the dialog manager, which scales the
// window's fonts when it moves to a monitor of another scale: the underline copy follows it.
static void FollowNewFont(HWND label, WPARAM font)
{
    const HANDLE given = reinterpret_cast<HANDLE>(font);
    if (given != GetPropW(label, ORIGINAL_FONT) && given != GetPropW(label, UNDERLINE_FONT))
        AdoptFont(label, reinterpret_cast<HFONT>(font));
}

BOOL MakeLinkLabel(HWND label)
{
    HWND parent = GetParent(label);
    // A second link on the same window finds its parent already hooked.
    if (parent && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC)) != LinkParentProc)
        Subclass(parent, LinkParentProc);

    SetWindowLongPtrW(label, GWL_STYLE, GetWindowLongPtrW(label, GWL_STYLE) | SS_NOTIFY);
    Subclass(label, LinkLabelProc);

    AdoptFont(label, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SetPropW(label, FROM_STATIC, reinterpret_cast<HANDLE>(1));
    return TRUE;
}

LRESULT CALLBACK LinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC previous = OriginalProc(window);
    if (message == WM_DESTROY) return Unsubclass(window, previous, wParam, lParam);
    if (message == WM_CTLCOLORSTATIC && GetPropW(reinterpret_cast<HWND>(lParam), FROM_STATIC)) {
        // Only the text colour changes, to the theme's own for links (a high-contrast theme's too);
        // the background stays as the window's own handling chose.
        const LRESULT brush = CallWindowProcW(previous, window, message, wParam, lParam);
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_HOTLIGHT));
        return brush;
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

static void ShowFont(HWND label, const wchar_t* property)
{
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetPropW(label, property)), FALSE);
    InvalidateRect(label, nullptr, FALSE);
}

// The pointer counts as over the label while the label holds the mouse capture.
static void TrackHover(HWND label, LPARAM position)
{
    if (GetCapture() != label) {
        ShowFont(label, UNDERLINE_FONT);
        SetCapture(label);
        return;
    }
    POINT pointer = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ClientToScreen(label, &pointer);
    RECT bounds;
    GetWindowRect(label, &bounds);
    if (PtInRect(&bounds, pointer)) return;
    ShowFont(label, ORIGINAL_FONT);
    ReleaseCapture();
}

static LRESULT DestroyLink(HWND label, WNDPROC previous, WPARAM wParam, LPARAM lParam)
{
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetPropW(label, ORIGINAL_FONT)), FALSE);
    RemovePropW(label, ORIGINAL_FONT);
    DeleteObject(static_cast<HGDIOBJ>(GetPropW(label, UNDERLINE_FONT)));
    RemovePropW(label, UNDERLINE_FONT);
    RemovePropW(label, FROM_STATIC);
    return Unsubclass(label, previous, wParam, lParam);
}

// Enter and Space on a link with the keyboard focus follow it, as a click does.
static bool IsFollowKey(WPARAM key) { return key == VK_RETURN || key == VK_SPACE; }

static LRESULT DialogCodeOf(HWND label, WNDPROC previous, WPARAM wParam, LPARAM lParam)
{
    const LRESULT code = CallWindowProcW(previous, label, WM_GETDLGCODE, wParam, lParam);
    const MSG* key = reinterpret_cast<const MSG*>(lParam);
    return key && key->message == WM_KEYDOWN && IsFollowKey(key->wParam) ? code | DLGC_WANTMESSAGE : code;
}

static void Follow(HWND label)
{
    SendMessageW(GetParent(label), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
                 reinterpret_cast<LPARAM>(label));
}

// A focus rectangle around the text while the link has the keyboard focus, unless the user has
// not used the keyboard in this window yet.
static LRESULT PaintWithFocus(HWND label, WNDPROC previous, WPARAM wParam, LPARAM lParam)
{
    const LRESULT painted = CallWindowProcW(previous, label, WM_PAINT, wParam, lParam);
    if (GetFocus() != label || (SendMessageW(label, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) return painted;
    wchar_t text[256] = {};
    GetWindowTextW(label, text, ARRAYSIZE(text));
    HDC dc = GetDC(label);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT bounds = {};
    DrawTextW(dc, text, -1, &bounds, DT_CALCRECT | DT_SINGLELINE);
    DrawFocusRect(dc, &bounds);
    SelectObject(dc, font);
    ReleaseDC(label, dc);
    return painted;
}

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC previous = OriginalProc(label);
    switch (message) {
    case WM_GETDLGCODE: return DialogCodeOf(label, previous, wParam, lParam);
    case WM_KEYDOWN:
        if (!IsFollowKey(wParam)) break;
        Follow(label);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(label, nullptr, TRUE); break;
    case WM_PAINT: return PaintWithFocus(label, previous, wParam, lParam);
    case WM_SETCURSOR: {
        HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
        SetCursor(hand ? hand : LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    case WM_MOUSEMOVE: TrackHover(label, lParam); break;
    case WM_SETFONT: FollowNewFont(label, wParam); break;
    case WM_DESTROY: return DestroyLink(label, previous, wParam, lParam);
    default: break;
    }
    return CallWindowProcW(previous, label, message, wParam, lParam);
}

INT_PTR OnSupportLinkClicked()
{
    openWebPage(SUPPORT_PAGE);
    return TRUE;
}

// Each language's status window as its users see it: every caption, and every value the program
// writes there, whole, measured with the dialog's own font.
#include <windows.h>

#include <string>
#include <vector>

#include "app/status_window.h"
#include "app/window.h"
#include "languages.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

// Every language the program speaks, from the build's list; English first, which the others must
// differ from.
const LANGID languages[] = {PALVENOR_LANGUAGE_IDS};

// One text of the language's string table, found as the loader does: sixteen to a block.
std::wstring TextIn(LANGID language, UINT id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    const auto* text = block ? static_cast<const WCHAR*>(LockResource(LoadResource(module, block))) : nullptr;
    if (!text) return L"";
    for (UINT i = 0; i < id % 16; ++i) text += 1 + *text;
    return std::wstring(text + 1, *text);
}

// The line with the longest title the window shows, in wide letters.
std::wstring ElevatedWindowLine(LANGID language)
{
    const std::wstring format = TextIn(language, IDS_ELEVATED_WINDOW);
    const size_t at = format.find(L"%s");
    if (at == std::wstring::npos) return L"";
    return format.substr(0, at) + std::wstring(31, L'W') + L"\u2026" + format.substr(at + 2);
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// What part of the control's text does not fit: empty when it all does.
std::wstring Overflow(HWND control)
{
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    RECT room;
    GetClientRect(control, &room);
    if (lstrcmpiW(className, L"Button") == 0) {
        const LONG_PTR kind = style & BS_TYPEMASK;
        // A check box's text follows its box; a group box's title sits between its corners.
        room.right -= kind == BS_GROUPBOX ? 16 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
        if (kind == BS_GROUPBOX) room.bottom = LONG_MAX;  // a title is one line: only its width counts
    }
    const std::wstring text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, room.right, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    if (needed.right <= room.right && needed.bottom <= room.bottom) return L"";
    return text + L" needs " + std::to_wstring(needed.right) + L"x" + std::to_wstring(needed.bottom) + L", has " +
           std::to_wstring(room.right) + L"x" + std::to_wstring(room.bottom);
}

using LanguagesTest = AppTest;

TEST_F(LanguagesTest, EveryLanguagesWindowIsTranslatedAndNoTextIsCutOff)
{
    HMODULE module = GetModuleHandleW(nullptr);
    std::wstring english;
    for (const LANGID language : languages) {
        SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << language);
        HRSRC found = FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(IDD_STATUS), language);
        ASSERT_NE(found, nullptr);
        HWND dialog = CreateDialogIndirectParamW(
            module, static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found))), nullptr, PlainDialog, 0);
        ASSERT_NE(dialog, nullptr);
        const std::wstring title = WindowText(GetDlgItem(dialog, IDC_SERVER_STATUS_GROUP));
        if (english.empty())
            english = title;
        else
            EXPECT_NE(title, english) << "not translated";
        // The longest values the program writes beside the captions.
        const struct {
            int label;
            std::vector<std::wstring> values;
        } values[] = {
            {IDC_CONNECTION_STATUS,
             {TextIn(language, IDS_NOT_CONNECTED), TextIn(language, IDS_CONNECTED),
              TextIn(language, IDS_PORT_IN_USE)}},
            {IDC_ADVERTISEMENT_STATUS, {TextIn(language, IDS_REGISTERED), TextIn(language, IDS_FAILED)}},
            {IDC_FIREWALL_NOTE,
             {TextIn(language, IDS_FIREWALL_BLOCKED), TextIn(language, IDS_FIREWALL_POLICY),
              TextIn(language, IDS_FIREWALL_BLOCKING_ALL), TextIn(language, IDS_FIREWALL_MEND_FAILED)}},
            {IDC_ELEVATED_WINDOW_NOTE, {ElevatedWindowLine(language)}},
            {IDC_COMPUTER_NAME, {L"DESKTOP-MMMMMMM"}},
            {IDC_PHONE_ADDRESS, {L"255.255.255.255"}},
        };
        for (const auto& row : values)
            for (const std::wstring& value : row.values) {
                ASSERT_FALSE(value.empty());
                SetDlgItemTextW(dialog, row.label, value.c_str());
                EXPECT_EQ(Overflow(GetDlgItem(dialog, row.label)), L"");
            }
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(control) == IDCLOSE) continue;  // never shown
            EXPECT_EQ(Overflow(control), L"");
        }
        DestroyWindow(dialog);
        // The trusted phones' window: its buttons' captions.
        dialog = CreateDialogIndirectParamW(module, static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(
                     module, FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(IDD_TRUSTED_PHONES), language)))),
                                            nullptr, PlainDialog, 0);
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
            EXPECT_EQ(Overflow(control), L"");
        DestroyWindow(dialog);
    }
}

}  // namespace

// The window "Trusted phones" as the user works it: opened from the tray menu, the stored devices
// listed newest first, one renamed in place and one forgotten from the keyboard.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/trusted_window.h"
#include "app/window.h"
#include "base/wire.h"
#include "net/trust_store.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

using TrustedWindowTest = AppTest;

std::wstring Cell(HWND list, int row, int column)
{
    wchar_t text[128] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = ARRAYSIZE(text);
    SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&item));
    return text;
}

std::vector<std::wstring> Names(HWND list)
{
    std::vector<std::wstring> names;
    for (int row = 0; row < int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++row) names.push_back(Cell(list, row, 0));
    return names;
}

void Select(HWND list, int row)
{
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
}

TEST_F(TrustedWindowTest, ItListsRenamesAndForgetsFromTheKeyboard)
{
    ForgetTrustedPhones();
    const wchar_t nul = L'\0';
    const std::wstring stored = std::wstring(L"10.1.0.1 0a-1b-2c-3d-4e-5f\t1765000000\tgAnna\u2019s phone") + nul +
                                L"10.1.0.2\t1765100000" + nul + L"10.1.0.3" + nul + nul;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Trusted phones", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(stored.data()),
                   DWORD(stored.size() * sizeof(wchar_t)));
    RegCloseKey(key);

    Send(WM_COMMAND, IDM_TRUSTED);
    HWND window = TrustedPhonesWindow();
    ASSERT_NE(window, nullptr);
    Send(WM_COMMAND, IDM_TRUSTED);
    EXPECT_EQ(TrustedPhonesWindow(), window) << "a second window";
    EXPECT_EQ(WindowText(window), L"Trusted phones");
    HWND list = GetDlgItem(window, IDC_TRUSTED_LIST);
    EXPECT_EQ(GetFocus(), list) << "the list comes first";
    // Newest first; a device without a name shows its address.
    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"10.1.0.2", L"Anna\u2019s phone", L"10.1.0.3"}));
    EXPECT_EQ(Cell(list, 1, 1), L"10.1.0.1");
    EXPECT_EQ(Cell(list, 1, 2), L"0a-1b-2c-3d-4e-5f");
    EXPECT_FALSE(Cell(list, 1, 3).empty()) << "its last connection";
    EXPECT_TRUE(Cell(list, 2, 3).empty()) << "an entry from before times were kept";

    Select(list, 0);
    SendMessageW(list, WM_KEYDOWN, VK_F2, 0);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr) << "F2 renames in place";
    SetWindowTextW(edit, L"Kitchen tablet");
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessagesFor(100);
    EXPECT_EQ(Cell(list, 0, 0), L"Kitchen tablet");
    bool renamed = false;
    for (const TrustedPhone& phone : ReadTrustedPhones())
        renamed |= phone.address == 0x0A010002 && phone.name == L"Kitchen tablet" && phone.nameGiven;
    EXPECT_TRUE(renamed) << "the name was not stored as the user's own";

    Select(list, 2);
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    PumpMessagesFor(100);
    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"Kitchen tablet", L"Anna\u2019s phone"}));
    EXPECT_EQ(ReadTrustedPhones().size(), 2u);

    // On a monitor of twice the scale, the columns keep their share of the list.
    const int nameWidth = int(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    RECT frame;
    GetWindowRect(window, &frame);
    HDC dc = GetDC(window);
    const UINT dpi = UINT(GetDeviceCaps(dc, LOGPIXELSX));
    ReleaseDC(window, dc);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), LPARAM(&frame));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 2 * nameWidth);

    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(TrustedPhonesWindow(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    ForgetTrustedPhones();
}

}  // namespace

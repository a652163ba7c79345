// The support link: properties, colour, cursor, hover and click on the real status window.
#include <string>

#include "app/link_label.h"
#include "app/status_window.h"
#include "app/window.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

std::vector<std::wstring> openedPages;
void RecordOpenedPage(const wchar_t* address) { openedPages.push_back(address); }

const wchar_t* const labelProperties[] = {L"_Hyperlink_Original_Proc_", L"_Hyperlink_Original_Font_",
                                          L"_Hyperlink_Underline_Font_", L"_Hyperlink_From_Static_"};

class LinkLabelTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        openedPages.clear();
        openWebPage = RecordOpenedPage;
        link = GetDlgItem(statusWindow.window, IDC_SUPPORT_LINK);
        originalFont = reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0));
        ASSERT_TRUE(MakeLinkLabel(link));
    }
    HFONT ShownFont() { return reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)); }
    LRESULT MoveTo(int x, int y) { return SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

    HWND link = nullptr;
    HFONT originalFont = nullptr;
};

TEST_F(LinkLabelTest, MakingALinkSubclassesBothWindowsWithPointerSizedProcedures)
{
    EXPECT_TRUE(GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(link, GWLP_WNDPROC)), LinkLabelProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(statusWindow.window, GWLP_WNDPROC)), LinkParentProc);
    EXPECT_NE(GetPropW(statusWindow.window, L"_Hyperlink_Original_Proc_"), nullptr);
    for (const wchar_t* name : labelProperties) EXPECT_NE(GetPropW(link, name), nullptr) << name;
    EXPECT_EQ(GetPropW(link, L"_Hyperlink_Original_Font_"), originalFont);
    LOGFONTW underlined = {};
    GetObjectW(GetPropW(link, L"_Hyperlink_Underline_Font_"), sizeof underlined, &underlined);
    EXPECT_TRUE(underlined.lfUnderline);
    EXPECT_EQ(SUPPORT_PAGE, std::wstring(L"https://") + WindowText(link));
}

TEST_F(LinkLabelTest, ParentColoursOnlyTheLinkInTheSystemsLinkColour)
{
    HDC dc = GetDC(link);
    SetTextColor(dc, RGB(1, 2, 3));
    const LRESULT brush = SendMessageW(statusWindow.window, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(link));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_HOTLIGHT));
    EXPECT_NE(brush, 0) << "the dialog's own background brush is kept";
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(statusWindow.window, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(StatusValueLabel(StatusValue::ComputerName)));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT)) << "another label keeps the normal colour";
    ReleaseDC(link, dc);
}

TEST_F(LinkLabelTest, HandCursorOverTheLink)
{
    EXPECT_EQ(SendMessageW(link, WM_SETCURSOR, WPARAM(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(LinkLabelTest, HoverUnderlinesAndCapturesLeavingRestores)
{
    RECT client;
    GetClientRect(link, &client);
    MoveTo(2, 2);
    EXPECT_EQ(ShownFont(), GetPropW(link, L"_Hyperlink_Underline_Font_"));
    EXPECT_EQ(GetCapture(), link);
    MoveTo(client.right - 1, client.bottom - 1);  // still inside: nothing changes
    EXPECT_EQ(GetCapture(), link);
    EXPECT_EQ(ShownFont(), GetPropW(link, L"_Hyperlink_Underline_Font_"));
    MoveTo(client.right, 2);  // the right edge counts as outside
    EXPECT_EQ(ShownFont(), originalFont);
    EXPECT_NE(GetCapture(), link);
}

TEST_F(LinkLabelTest, HoverFollowsAFontScaledForAnotherMonitor)
{
    LOGFONTW description = {};
    GetObjectW(originalFont, sizeof description, &description);
    description.lfHeight *= 2;  // as the dialog manager sends at twice the scale
    HFONT scaled = CreateFontIndirectW(&description);
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
    MoveTo(2, 2);
    LOGFONTW shown = {};
    GetObjectW(ShownFont(), sizeof shown, &shown);
    EXPECT_EQ(shown.lfHeight, description.lfHeight);
    EXPECT_TRUE(shown.lfUnderline);
    MoveTo(-50, -50);
    EXPECT_EQ(ShownFont(), scaled);
    DestroyWindow(statusWindow.window);  // gives the label its font back before it is deleted
    DeleteObject(scaled);
}

TEST_F(LinkLabelTest, ClickOpensThePageOnceAndDoubleClickNotAgain)
{
    EXPECT_EQ(Proc(WM_COMMAND, MAKEWPARAM(IDC_SUPPORT_LINK, STN_CLICKED)), TRUE);
    EXPECT_EQ(Proc(WM_COMMAND, MAKEWPARAM(IDC_SUPPORT_LINK, STN_DBLCLK)), TRUE);
    ASSERT_EQ(openedPages.size(), 1u);
    EXPECT_EQ(openedPages[0], L"https://quorvane.example/palvenor/support");
}

TEST_F(LinkLabelTest, RealClickOnTheControlReachesTheMessageTable)
{
    ShowWindow(statusWindow.window, SW_SHOW);
    PumpMessagesFor(300);
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    PumpMessagesFor(100);
    EXPECT_EQ(openedPages.size(), 1u);
}

TEST_F(LinkLabelTest, SecondLinkOnTheSameParentDoesNotSubclassItAgain)
{
    HWND other = StatusValueLabel(StatusValue::ComputerName);
    const HANDLE parentOriginal = GetPropW(statusWindow.window, L"_Hyperlink_Original_Proc_");
    MakeLinkLabel(other);
    EXPECT_EQ(GetPropW(statusWindow.window, L"_Hyperlink_Original_Proc_"), parentOriginal);
    HDC dc = GetDC(other);
    SendMessageW(statusWindow.window, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(other));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_HOTLIGHT));
    ReleaseDC(other, dc);
}

// Counts the link properties left on a window once its WM_DESTROY has been handled.
HWND watchedWindows[2];
int propertiesLeft[2] = {-1, -1};

BOOL CALLBACK CountProperty(HWND, LPWSTR name, HANDLE, ULONG_PTR count)
{
    if (!IS_INTRESOURCE(name) && wcsncmp(name, L"_Hyperlink_", 11) == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    for (int i = 0; i < 2; ++i) {
        if (code != HC_ACTION || message->message != WM_DESTROY || message->hwnd != watchedWindows[i]) continue;
        propertiesLeft[i] = 0;
        EnumPropsExW(message->hwnd, CountProperty, reinterpret_cast<LPARAM>(&propertiesLeft[i]));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(LinkLabelTest, DestroyingTheWindowRemovesEveryPropertyAndTheUnderlineFont)
{
    const HGDIOBJ underline = GetPropW(link, L"_Hyperlink_Underline_Font_");
    HWND window = statusWindow.window;
    watchedWindows[0] = window;
    watchedWindows[1] = link;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
    DestroyWindow(window);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(propertiesLeft[0], 0) << "on the status window";
    EXPECT_EQ(propertiesLeft[1], 0) << "on the link";
    EXPECT_FALSE(IsWindow(link));
    LOGFONTW description;
    EXPECT_EQ(GetObjectW(underline, sizeof description, &description), 0) << "the underline font still exists";
}

TEST_F(LinkLabelTest, ControlWithoutFontStillBecomesALink)
{
    HWND plain = CreateWindowW(L"Static", L"plain", WS_CHILD | WS_VISIBLE, 0, 0, 50, 10, statusWindow.window, nullptr,
                               nullptr, nullptr);
    ASSERT_EQ(SendMessageW(plain, WM_GETFONT, 0, 0), 0);
    EXPECT_TRUE(MakeLinkLabel(plain));
    LOGFONTW underlined = {};
    ASSERT_NE(GetObjectW(GetPropW(plain, L"_Hyperlink_Underline_Font_"), sizeof underlined, &underlined), 0);
    EXPECT_TRUE(underlined.lfUnderline);
    SendMessageW(plain, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(GetCapture(), plain);
    SendMessageW(plain, WM_MOUSEMOVE, 0, MAKELPARAM(-5, 1));
    EXPECT_NE(GetCapture(), plain);
    DestroyWindow(plain);
    for (const wchar_t* name : labelProperties) EXPECT_EQ(GetPropW(plain, name), nullptr) << name;
}

}  // namespace

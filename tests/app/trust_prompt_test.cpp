// The question about a device that wants to connect, as the user meets it.
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "app/connection_view.h"
#include "app/status_window.h"
#include "app/trust_prompt.h"
#include "app/device_trust.h"
#include "app/window.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

using TrustPromptTest = AppTest;

TEST_F(TrustPromptTest, ItAsksUnderItsOwnTitleAndNothingAnswersItInItsFirstSecond)
{
    // The user is typing in another program, which keeps the keyboard while the prompt shows.
    HWND typing = CreateWindowExW(0, L"Edit", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(typing, nullptr);
    SetForegroundWindow(typing);
    SetFocus(typing);
    PumpMessagesFor(100);
    AskAboutDevice(0x0A4D0002, 4242, OnDeviceAnswered);
    HWND prompt = FindWindowW(nullptr, L"Allow this phone?");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt, DevicePrompt());
    EXPECT_TRUE(IsWindowVisible(prompt));
    PumpMessagesFor(100);
    EXPECT_EQ(GetForegroundWindow(), typing) << "the prompt took the keyboard";
    EXPECT_EQ(GetFocus(), typing);
    DestroyWindow(typing);
    EXPECT_TRUE(GetWindowLongPtrW(prompt, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(FindWindowExW(prompt, nullptr, L"Static",
                            L"A phone at 10.77.0.2 wants to control the mouse and keyboard of this PC."),
              nullptr);
    // The name found for this question comes beside the address, whatever it holds, an "&" shown
    // as itself; another question's name does not.
    OnDeviceNamed(4241, L"other");
    OnDeviceNamed(4242, L"pixel-%1 & co");
    HWND text = FindWindowExW(prompt, nullptr, L"Static",
                              L"A phone \u201cpixel-%1 & co\u201d at 10.77.0.2 wants to control the mouse and "
                              L"keyboard of this PC.");
    EXPECT_NE(text, nullptr);
    HWND buttons[] = {FindWindowExW(prompt, nullptr, L"Button", L"Allow"),
                      FindWindowExW(prompt, nullptr, L"Button", L"Don't allow")};
    for (HWND button : buttons) {
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(IsWindowEnabled(button));
        EXPECT_NE(GetWindowLongPtrW(button, GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON) << "a default button";
    }
    // Clicks on the buttons in the first second, and what the dialog manager makes of Enter and
    // Escape at any time, answer nothing.
    for (HWND button : buttons) SendMessageW(button, BM_CLICK, 0, 0);
    PumpMessagesFor(1000);
    for (HWND button : buttons) EXPECT_TRUE(IsWindowEnabled(button));
    SendMessageW(prompt, WM_COMMAND, IDOK, 0);
    SendMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(prompt)) << "answered by a click in its first second, by Enter or by Escape";
    SendMessageW(buttons[1], BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(prompt));
    EXPECT_EQ(DevicePrompt(), nullptr);
}

}  // namespace

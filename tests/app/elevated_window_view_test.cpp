// The line and the balloon when Windows keeps the phone out of the foreground window, with the
// integrity levels behind their seam: Wine has none.
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/elevated_window_view.h"
#include "app/messages.h"
#include "app/status_window.h"
#include "app/window.h"
#include "pc/foreground.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

ElevatedWindow foreground = {nullptr, L""};
ElevatedWindow StandInForeground() { return foreground; }

using ElevatedWindowViewTest = AppTest;

bool LineShown()
{
    return (GetWindowLongPtrW(GetDlgItem(statusWindow.window, IDC_ELEVATED_WINDOW_NOTE), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Two elevated windows (one with a long title, shortened) and an ordinary one come to the front in
// turn; input served while an elevated one is in front brings its balloon, once for each window.
TEST_F(ElevatedWindowViewTest, TheLineFollowsTheForegroundAndEachWindowGetsOneBalloonWhenInputIsServed)
{
    const auto saved = readElevatedForeground;
    readElevatedForeground = StandInForeground;
    HWND taskManager = CreateWindowW(L"Static", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    HWND editor = CreateWindowW(L"Static", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const std::wstring longTitle = L"Registry Editor - HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows";
    const std::wstring taskLine = L"Windows does not let the phone control \u201cTask Manager\u201d, which runs as administrator.";
    const std::wstring editorLine = L"Windows does not let the phone control \u201c" + longTitle.substr(0, 31) +
                                    L"\u2026\u201d, which runs as administrator.";
    const struct {
        const char* name;
        ElevatedWindow front;
        bool inputServed;
        std::wstring line;  // empty: none
        std::vector<std::wstring> balloons;
    } steps[] = {
        {"Task Manager in front, input served", {taskManager, L"Task Manager"}, true, taskLine, {taskLine}},
        {"an ordinary window", ElevatedWindow{nullptr, L""}, true, L"", {}},
        {"the editor, shortened", {editor, longTitle}, true, editorLine, {editorLine}},
        {"Task Manager again: told already", {taskManager, L"Task Manager"}, true, taskLine, {}},
    };
    for (const auto& step : steps) {
        foreground = step.front;
        ClearTrayCalls();
        OnForegroundChanged();
        if (step.inputServed) OnInputServed();
        EXPECT_EQ(LineShown(), !step.line.empty()) << step.name;
        if (!step.line.empty()) {
            EXPECT_EQ(WindowText(GetDlgItem(statusWindow.window, IDC_ELEVATED_WINDOW_NOTE)), step.line) << step.name;
        }
        EXPECT_EQ(BalloonsSoFar(), step.balloons) << step.name;
    }
    foreground = ElevatedWindow{nullptr, L""};
    OnForegroundChanged();
    readElevatedForeground = saved;
    DestroyWindow(taskManager);
    DestroyWindow(editor);
}

}  // namespace

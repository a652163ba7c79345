// The program's own status window, tray and connection in the test's process, with the tray's
// shell call replaced by a recorder.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window.h"

struct RecordedTrayCall {
    DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    NOTIFYICONDATAW record;
};

std::vector<RecordedTrayCall> TrayCallsSoFar();
extern bool shellRefusesTrayCalls;  // the recorder records them all, and answers as a shell that refused
void ClearTrayCalls();
// What the tray shows: the tip of its look now, whether that look is the connected one, and the
// text of each balloon since the calls were last cleared.
std::wstring LastTrayTip();
bool TrayShowsConnected();
std::vector<std::wstring> BalloonsSoFar();

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The status window's dialog procedure's own result for a message.
    INT_PTR Proc(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A message sent through the dialog manager, as the system delivers it.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool Visible();
    // The status window in front, the pointer over it: where the keys and buttons a test injects
    // go, rather than to another program's window. Fails where Windows refuses it.
    void TakeForeground();
    std::wstring Label(StatusValue value);
};

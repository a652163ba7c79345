// The Startup-folder shortcut, read back through the shell's own link object.
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <thread>

#include "app/status_window.h"
#include "app/window.h"
#include "autostart/shortcut.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/win_test_support.h"

namespace {

std::wstring ShortcutPath()
{
    wchar_t folder[MAX_PATH];
    startupFolder(folder);
    return std::wstring(folder) + L"\\Quorvane Palvenor Server.lnk";
}

bool ShortcutFileExists() { return GetFileAttributesW(ShortcutPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

struct ShortcutContents {
    std::wstring target, description, arguments;
};

ShortcutContents ReadShortcut()
{
    ShortcutContents contents;
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return contents;
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(file->Load(ShortcutPath().c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, 0);
        contents.target = text;
        text[0] = 0;
        link->GetDescription(text, MAX_PATH);
        contents.description = text;
        text[0] = 0;
        link->GetArguments(text, MAX_PATH);
        contents.arguments = text;
    }
    file->Release();
    link->Release();
    return contents;
}

std::wstring OwnPath()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

class ShortcutTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        DeleteFileW(ShortcutPath().c_str());
    }
    void TearDown() override
    {
        DeleteFileW(ShortcutPath().c_str());
        AppTest::TearDown();
    }
};

TEST_F(ShortcutTest, CreatePointsAtTheProgramWithItsDescriptionAndNoArguments)
{
    EXPECT_FALSE(StartupShortcutExists());
    EXPECT_EQ(CreateStartupShortcut(), S_OK);
    ASSERT_TRUE(ShortcutFileExists());
    EXPECT_TRUE(StartupShortcutExists());
    const ShortcutContents contents = ReadShortcut();
    EXPECT_EQ(lstrcmpiW(contents.target.c_str(), OwnPath().c_str()), 0) << contents.target.c_str();
    EXPECT_EQ(contents.description, L"Quorvane Palvenor Server for Windows");
    EXPECT_EQ(contents.arguments, L"");
    EXPECT_TRUE(DeleteStartupShortcut());
    EXPECT_FALSE(ShortcutFileExists());
    EXPECT_FALSE(DeleteStartupShortcut()) << "deleting what is not there reports it";
}

TEST_F(ShortcutTest, CreatingAgainReplacesAnyFileOfThatName)
{
    HANDLE junk = CreateFileW(ShortcutPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(junk, "not a shortcut", 14, &written, nullptr);
    CloseHandle(junk);
    EXPECT_TRUE(StartupShortcutExists()) << "any readable file of that name counts";
    EXPECT_EQ(CreateStartupShortcut(), S_OK);
    EXPECT_EQ(ReadShortcut().description, L"Quorvane Palvenor Server for Windows");
}

TEST_F(ShortcutTest, CheckBoxCreatesAndDeletesEachTime)
{
    HWND box = GetDlgItem(statusWindow.window, IDC_AUTOSTART);
    for (int round = 0; round < 3; ++round) {
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(Proc(WM_COMMAND, IDC_AUTOSTART), TRUE);
        EXPECT_TRUE(ShortcutFileExists()) << round;
        SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_EQ(Proc(WM_COMMAND, IDC_AUTOSTART), TRUE);
        EXPECT_FALSE(ShortcutFileExists()) << round;
    }
}

TEST_F(ShortcutTest, ClickingTheBoxTogglesItAndTheFile)
{
    ShowWindow(statusWindow.window, SW_SHOW);
    HWND box = GetDlgItem(statusWindow.window, IDC_AUTOSTART);
    SendMessageW(box, BM_CLICK, 0, 0);
    PumpMessagesFor(100);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(ShortcutFileExists());
    SendMessageW(box, BM_CLICK, 0, 0);
    PumpMessagesFor(100);
    EXPECT_FALSE(ShortcutFileExists());
}

// Clicks the box from a state the Startup folder will not take, and gives the text of the message
// that explains it, or "" when none came. A thread answers the message box as the user would.
std::wstring ClickBoxAndReadTheMessage(HWND box)
{
    std::wstring said;
    std::thread user([&] {
        for (int i = 0; i < 600 && said.empty(); ++i, Sleep(50))
            for (HWND found = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); found;
                 found = FindWindowExW(nullptr, found, L"#32770", nullptr)) {
                // Read once shown: a box still being built has no text yet, and closed only then.
                if (GetWindow(found, GW_OWNER) != statusWindow.window || !IsWindowVisible(found)) continue;
                said = WindowText(GetDlgItem(found, 0xFFFF));  // the message box's text
                if (!said.empty()) PostMessageW(found, WM_COMMAND, IDOK, 0);
            }
    });
    SendMessageW(box, BM_CLICK, 0, 0);  // the message box's own loop runs inside
    user.join();
    return said;
}

TEST_F(ShortcutTest, TheBoxShowsTheFoldersRealStateAndAFailureSaysWhy)
{
    ShowWindow(statusWindow.window, SW_SHOW);
    HWND box = GetDlgItem(statusWindow.window, IDC_AUTOSTART);
    // A folder of the shortcut's name: nothing can be written there.
    ASSERT_TRUE(CreateDirectoryW(ShortcutPath().c_str(), nullptr));
    const std::wstring notCreated = ClickBoxAndReadTheMessage(box);
    RemoveDirectoryW(ShortcutPath().c_str());
    EXPECT_EQ(notCreated.rfind(L"The shortcut in your Startup folder could not be created", 0), 0u) << notCreated;
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // A read-only shortcut cannot be deleted.
    ASSERT_EQ(CreateStartupShortcut(), S_OK);
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    SetFileAttributesW(ShortcutPath().c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring notDeleted = ClickBoxAndReadTheMessage(box);
    SetFileAttributesW(ShortcutPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(notDeleted.rfind(L"The shortcut in your Startup folder could not be removed", 0), 0u) << notDeleted;
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(ShortcutFileExists());
}

}  // namespace

#include "autostart/shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>

#include "base/com.h"
#include "base/program_path.h"
#include "base/wire.h"

static bool AskTheShell(wchar_t (&folder)[MAX_PATH])
{
    PIDLIST_ABSOLUTE location = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, &location))) return false;
    const BOOL found = SHGetPathFromIDListW(location, folder);
    CoTaskMemFree(location);
    return found && folder[0] != L'\0';
}

bool (*startupFolder)(wchar_t (&folder)[MAX_PATH]) = AskTheShell;

// The shortcut's full path, built afresh each time. A Startup folder that cannot be found, or
// a path that would not fit in MAX_PATH, gives false: no shortcut is written to a cut path.
static bool BuildShortcutPath(wchar_t (&path)[MAX_PATH])
{
    path[0] = L'\0';
    if (!startupFolder(path)) return false;
    if (wcslen(path) + 1 + wcslen(STARTUP_SHORTCUT_NAME) >= MAX_PATH) return false;
    wcscat_s(path, MAX_PATH, L"\\");
    wcscat_s(path, MAX_PATH, STARTUP_SHORTCUT_NAME);
    return true;
}

static HRESULT CreateShellLink(const wchar_t* targetPath, const wchar_t* linkPath, const wchar_t* description)
{
    ComReference<IShellLinkW> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(result)) return result;
    link->SetPath(targetPath);
    link->SetDescription(description);
    ComReference<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    return SUCCEEDED(result) ? file->Save(linkPath, TRUE) : result;
}

HRESULT CreateStartupShortcut()
{
    wchar_t linkPath[MAX_PATH];
    if (!BuildShortcutPath(linkPath)) return E_FAIL;
    const std::wstring program = ProgramPath();
    if (program.empty()) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    return CreateShellLink(program.c_str(), linkPath, STATUS_WINDOW_TITLE);
}

BOOL DeleteStartupShortcut()
{
    wchar_t linkPath[MAX_PATH];
    return BuildShortcutPath(linkPath) && DeleteFileW(linkPath);
}

BOOL StartupShortcutExists()
{
    wchar_t linkPath[MAX_PATH];
    if (!BuildShortcutPath(linkPath)) return FALSE;
    FILE* file = nullptr;
    if (_wfopen_s(&file, linkPath, L"rt") != 0 || !file) return FALSE;
    fclose(file);
    return TRUE;
}

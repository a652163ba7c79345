#include "autostart/installer_choice.h"

#include <windows.h>

#include "autostart/shortcut.h"
#include "base/owned.h"
#include "base/wire.h"

// The choice's mark under root; false when there is none.
static bool ReadMark(HKEY root, wchar_t (&mark)[64])
{
    DWORD size = sizeof mark;
    return RegGetValueW(root, SETTINGS_KEY, CHOICE_MARK_VALUE, RRF_RT_REG_SZ, nullptr, mark, &size) == ERROR_SUCCESS;
}

InstallersChoice ApplyInstallersChoice()
{
    wchar_t mark[64] = {}, applied[64] = {};
    if (!ReadMark(HKEY_LOCAL_MACHINE, mark)) return InstallersChoice::None;  // not installed, or by hand
    const bool markedBefore = ReadMark(HKEY_CURRENT_USER, applied);
    if (markedBefore && lstrcmpW(mark, applied) == 0) return InstallersChoice::None;
    DWORD start = 0, size = sizeof start;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, START_AT_LOGON_VALUE, RRF_RT_REG_DWORD, nullptr, &start,
                     &size) == ERROR_SUCCESS &&
        start == 1)
        (void)CreateStartupShortcut();
    else
        (void)DeleteStartupShortcut();
    OwnedKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return InstallersChoice::None;  // applied again at the next start, and shown then
    (void)RegSetValueExW(key.get(), CHOICE_MARK_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(mark),
                         DWORD((lstrlenW(mark) + 1) * sizeof(wchar_t)));
    return markedBefore ? InstallersChoice::Applied : InstallersChoice::AppliedFirst;
}

// The running program's own path, which the Startup shortcut, the firewall's rules and the
// elevated copy all name.
#pragma once
#include <windows.h>

#include <string>

// Empty when it cannot be had whole: a path cut to fit would name another file.
inline std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

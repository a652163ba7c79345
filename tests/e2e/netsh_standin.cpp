// A stand-in for netsh.exe, for tests only: Wine's accepts everything and does nothing. This one
// appends its arguments, one command line a line, to the file named by PALVENOR_NETSH_RECORD and
// succeeds. The wine_start fixture puts it in the prefix's system folder.
#include <windows.h>

#include <cstdio>

int wmain()
{
    // The arguments are the command line after the program's name, quoted or not.
    const wchar_t* line = GetCommandLineW();
    const wchar_t end = *line == L'"' ? L'"' : L' ';
    for (++line; *line && *line != end; ++line) {
    }
    if (*line == L'"') ++line;
    while (*line == L' ') ++line;

    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"PALVENOR_NETSH_RECORD", path, MAX_PATH) == 0) return 0;
    char text[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text, nullptr, nullptr);
    FILE* file = _wfopen(path, L"a");
    if (!file) return 1;
    std::fprintf(file, "%s\n", text);
    std::fclose(file);
    return 0;
}

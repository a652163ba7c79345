// A stand-in for the system command the installer runs (netsh.exe), for tests only:
// Wine's accepts everything and does nothing. Named as the command, it appends its arguments,
// one command line a line, to the file named by PALVENOR_<NAME>_RECORD and succeeds. When its
// first argument is a folder, a second line tells how many entries the folder held at that
// moment. The wine_start fixture puts it in the prefix's system folder; a copy run from anywhere
// else records in PALVENOR_PLANTED_RECORD instead.
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>

// The command line after the program's name, quoted or not.
static const wchar_t* Arguments()
{
    const wchar_t* line = GetCommandLineW();
    const wchar_t end = *line == L'"' ? L'"' : L' ';
    for (++line; *line && *line != end; ++line) {
    }
    if (*line == L'"') ++line;
    while (*line == L' ') ++line;
    return line;
}

// "NETSH" for ...\netsh.exe.
static std::wstring OwnName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.find(L'.'));
    for (wchar_t& c : name) c = wchar_t(std::towupper(c));
    return name;
}

static int EntriesIn(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do count += wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

// A copy run from anywhere but the system folder was planted, and records that it ran.
static bool Planted()
{
    wchar_t own[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring folder = own;
    folder = folder.substr(0, folder.find_last_of(L"\\/"));
    return lstrcmpiW(folder.c_str(), system) != 0;
}

int wmain(int argc, wchar_t** argv)
{
    wchar_t path[MAX_PATH] = {};
    const std::wstring record = Planted() ? L"PALVENOR_PLANTED_RECORD" : L"PALVENOR_" + OwnName() + L"_RECORD";
    if (GetEnvironmentVariableW(record.c_str(), path, MAX_PATH) == 0) return 0;
    char text[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, Arguments(), -1, text, sizeof text, nullptr, nullptr);
    FILE* file = _wfopen(path, L"a");
    if (!file) return 1;
    std::fprintf(file, "%s\n", text);
    const DWORD attributes = argc > 1 ? GetFileAttributesW(argv[1]) : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        std::fprintf(file, "entries=%d\n", EntriesIn(argv[1]));
    std::fclose(file);
    return 0;
}

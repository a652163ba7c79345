// probe: a test-only helper that looks at the running server from outside, as the shell and the
// user would: it finds the status window by its title, reads its labels and state, and posts it
// commands and tray callbacks. Usage:
//   probe wait-window MS        exit 0 once the window exists
//   probe wait-gone MS          exit 0 once it no longer exists
//   probe state                 print the labels, visibility and check state, one per line
//   probe post MESSAGE WPARAM LPARAM
//   probe shortcut PATH         print the target of a shortcut, read through the shell
//   probe window TITLE          exit 0 when a top-level window has this title
//   probe click TITLE BUTTON    click the window's button once it is enabled (3 s at most)
//   probe hold PATH MS          keep the file open for MS milliseconds, as a running copy holds its
//                               program, printing "held" once it is open
//   probe screenshot PATH [TITLE]  write the status window (or the window of that title), as the
//                               screen shows it, to a 24-bit BMP
//   probe witness               another program's window in front, with the keyboard, until it is
//                               closed; then print how many keys, clicks and wheel turns reached it
//   probe close TITLE           close the window of that title
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "base/wire.h"

static HWND Server() { return FindWindowW(nullptr, STATUS_WINDOW_TITLE); }

static void PrintUtf8(const char* key, const std::wstring& value)
{
    char text[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, text, sizeof text, nullptr, nullptr);
    std::printf("%s=%s\n", key, text);
}

static std::wstring LoadText(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR ignored;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
    return text;
}

static bool WaitFor(bool present, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while ((Server() != nullptr) != present) {
        if (GetTickCount64() >= end) return false;
        Sleep(50);
    }
    return true;
}

static int PrintState()
{
    HWND window = Server();
    if (!window) return 1;
    PrintUtf8("computer", LoadText(GetDlgItem(window, 1002)));
    PrintUtf8("local", LoadText(GetDlgItem(window, 1011)));
    PrintUtf8("status", LoadText(GetDlgItem(window, 1003)));
    PrintUtf8("phone", LoadText(GetDlgItem(window, 1004)));
    PrintUtf8("advertisement", LoadText(GetDlgItem(window, 1006)));
    std::printf("visible=%d\n", IsWindowVisible(window) ? 1 : 0);
    std::printf("hint=%d\n", IsWindowVisible(GetDlgItem(window, 1015)) ? 1 : 0);
    std::printf("checked=%d\n", int(SendMessageW(GetDlgItem(window, 1008), BM_GETCHECK, 0, 0)));
    return 0;
}

static int Hold(const wchar_t* path, DWORD milliseconds)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(milliseconds);
    CloseHandle(file);
    return 0;
}

// NIM_SETVERSION succeeds only for an icon the shell has.
static int PrintShortcut(const wchar_t* path)
{
    if (FAILED(CoInitialize(nullptr))) return 1;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = {};
    wchar_t arguments[MAX_PATH] = {};
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result)) result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) result = file->Load(path, STGM_READ);
    if (SUCCEEDED(result)) result = link->GetPath(target, MAX_PATH, nullptr, 0);
    if (SUCCEEDED(result)) result = link->GetArguments(arguments, MAX_PATH);
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    if (FAILED(result)) return 1;
    PrintUtf8("target", target);
    PrintUtf8("arguments", arguments);
    return 0;
}

static int Click(const wchar_t* title, const wchar_t* text)
{
    HWND window = FindWindowW(nullptr, title);
    HWND button = window ? FindWindowExW(window, nullptr, L"Button", text) : nullptr;
    if (!button) return 1;
    for (int i = 0; i < 60 && !IsWindowEnabled(button); ++i) Sleep(50);
    DWORD_PTR ignored;
    return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) ? 0 : 1;
}

static int Screenshot(const wchar_t* path, HWND window)
{
    RECT bounds;
    if (!window || !GetWindowRect(window, &bounds)) return 1;
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string pixels(size_t((width * 3 + 3) & ~3) * size_t(height), '\0');
    GetDIBits(memory, picture, 0, UINT(height), &pixels[0], reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {0x4D42, DWORD(sizeof file + sizeof info + pixels.size()), 0, 0,
                             DWORD(sizeof file + sizeof info)};
    FILE* out = _wfopen(path, L"wb");
    if (!out) return 1;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    return 0;
}

static int received = 0;

static LRESULT CALLBACK WitnessProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const UINT reaching[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                             WM_XBUTTONDOWN, WM_MOUSEWHEEL, WM_MOUSEHWHEEL};
    for (UINT kind : reaching) received += message == kind;
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

static int Witness()
{
    const WNDCLASSW type = {0, WitnessProc, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr,
                            L"PalvenorWitness"};
    RegisterClassW(&type);
    SetForegroundWindow(CreateWindowW(type.lpszClassName, L"Palvenor witness", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                      0, 800, 600, nullptr, nullptr, type.hInstance, nullptr));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    std::printf("received=%d\n", received);
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    const DWORD number = argc > 2 ? DWORD(std::wcstoul(argv[2], nullptr, 0)) : 0;
    if (command == L"wait-window") return WaitFor(true, number) ? 0 : 1;
    if (command == L"wait-gone") return WaitFor(false, number) ? 0 : 1;
    if (command == L"state") return PrintState();
    if (command == L"shortcut" && argc == 3) return PrintShortcut(argv[2]);
    if (command == L"hold" && argc == 4) return Hold(argv[2], DWORD(std::wcstoul(argv[3], nullptr, 10)));
    if (command == L"window" && argc == 3) return FindWindowW(nullptr, argv[2]) ? 0 : 1;
    if (command == L"witness") return Witness();
    if (command == L"close" && argc == 3) return PostMessageW(FindWindowW(nullptr, argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"click" && argc == 4) return Click(argv[2], argv[3]);
    if (command == L"screenshot" && argc == 3) return Screenshot(argv[2], Server());
    if (command == L"screenshot" && argc == 4) return Screenshot(argv[2], FindWindowW(nullptr, argv[3]));
    if (command == L"post" && argc == 5) {
        HWND window = Server();
        if (!window) return 1;
        return PostMessageW(window, UINT(number), WPARAM(std::wcstoull(argv[3], nullptr, 0)),
                            LPARAM(std::wcstoll(argv[4], nullptr, 0)))
                   ? 0
                   : 1;
    }
    return 2;
}

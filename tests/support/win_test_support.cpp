#include "support/win_test_support.h"

#include <cstdio>

#include <ws2tcpip.h>

#include <mutex>
#include <utility>

std::wstring ProgramDirectory()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length);
    return directory.substr(0, directory.find_last_of(L"\\/"));
}

static void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring FreshDirectory(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"palvenor-" + name;
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool CopyInto(const std::wstring& file, const std::wstring& folder)
{
    const std::wstring name = file.substr(file.find_last_of(L"\\/") + 1);
    return CopyFileW(file.c_str(), (folder + L"\\" + name).c_str(), FALSE) != 0;
}

void PumpMessagesFor(DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now), QS_ALLINPUT);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        PumpMessagesFor(20);
    }
    return true;
}

static HANDLE TestJob()
{
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        return created;
    }();
    return job;
}

static HANDLE Start(const std::wstring& commandLine, HANDLE output)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION process = {};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    AssignProcessToJobObject(TestJob(), process.hProcess);
    CloseHandle(process.hThread);
    return process.hProcess;
}

HANDLE StartProcess(const std::wstring& commandLine) { return Start(commandLine, nullptr); }

int RunProcess(const std::wstring& commandLine, DWORD timeoutMs, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (output) CreatePipe(&read, &write, &inherit, 0);
    HANDLE process = Start(commandLine, write);
    if (write) CloseHandle(write);
    if (!process) {
        if (read) CloseHandle(read);
        return -3;
    }
    std::string collected;
    if (read) {
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) collected.append(buffer, got);
        CloseHandle(read);
    }
    int result = -2;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        result = int(code);
    } else {
        TerminateProcess(process, 1);
    }
    CloseHandle(process);
    if (output) *output = collected;
    return result;
}

void KillProcess(HANDLE& process)
{
    if (!process) return;
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
    process = nullptr;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &length);
    return text;
}

SOCKET ConnectPhone(const char* from)
{
    SOCKET phone = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in source = {};
    source.sin_family = AF_INET;
    InetPtonA(AF_INET, from, &source.sin_addr);
    if (bind(phone, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
        closesocket(phone);
        return INVALID_SOCKET;
    }
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(4026);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(phone, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        closesocket(phone);
        return INVALID_SOCKET;
    }
    return phone;
}

// True when the socket has something to read (or has ended) before the tick count reaches end.
static bool ReadableBefore(SOCKET socket, ULONGLONG end)
{
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait = {long((end - now) / 1000), long((end - now) % 1000 * 1000)};
    return select(0, &readable, nullptr, nullptr, &wait) > 0;
}

std::string ReceiveFor(SOCKET socket, size_t count, DWORD timeoutMs)
{
    std::string received;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (received.size() < count && ReadableBefore(socket, end)) {
        char buffer[64];
        const int got = recv(socket, buffer, int(std::min<size_t>(sizeof buffer, count - received.size())), 0);
        if (got <= 0) break;
        received.append(buffer, size_t(got));
    }
    return received;
}

bool ConnectionEnds(SOCKET socket, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (ReadableBefore(socket, end)) {
        char buffer[64];
        if (recv(socket, buffer, sizeof buffer, 0) <= 0) return true;  // heartbeats are read past
    }
    return false;
}

static std::mutex watchMutex;
static std::vector<WatchedInput> watched;
static HANDLE watchThread;
static DWORD watchThreadId;

static LRESULT CALLBACK WatchMouse(int code, WPARAM message, LPARAM data)
{
    if (code == HC_ACTION) {
        const MSLLHOOKSTRUCT* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        std::lock_guard<std::mutex> lock(watchMutex);
        watched.push_back({true, message, event->mouseData, event->pt});
    }
    return CallNextHookEx(nullptr, code, message, data);
}

static LRESULT CALLBACK WatchKeyboard(int code, WPARAM message, LPARAM data)
{
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        std::lock_guard<std::mutex> lock(watchMutex);
        watched.push_back({false, message, event->vkCode, {0, 0}});
    }
    return CallNextHookEx(nullptr, code, message, data);
}

// Low-level hooks live on a thread of their own, which runs its messages until told to quit.
struct Hooks {
    HOOKPROC mouse, keyboard;
    HANDLE ready;
};

static DWORD WINAPI RunHooks(LPVOID argument)
{
    const Hooks hooks = *static_cast<Hooks*>(argument);
    HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, hooks.mouse, GetModuleHandleW(nullptr), 0);
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, hooks.keyboard, GetModuleHandleW(nullptr), 0);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the start is reported
    SetEvent(hooks.ready);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    UnhookWindowsHookEx(mouse);
    UnhookWindowsHookEx(keyboard);
    return 0;
}

static HANDLE StartHooks(HOOKPROC mouse, HOOKPROC keyboard, DWORD* threadId)
{
    Hooks hooks = {mouse, keyboard, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, RunHooks, &hooks, 0, threadId);
    WaitForSingleObject(hooks.ready, 5000);
    CloseHandle(hooks.ready);
    return thread;
}

// While the tests run: an injected key, button or wheel reaches only the tests' own windows. One
// aimed at another program's window in front is held back here, and said once; moves pass.
static bool Ours(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

static bool ForegroundIsOurs() { return Ours(GetForegroundWindow()); }

static void SayHeldBack()
{
    static bool said = false;
    if (!std::exchange(said, true))
        std::fprintf(stderr, "Input the tests made was held back from another program's window in front; a test "
                             "that needs it fails.\n");
}

static LRESULT CALLBACK GuardMouse(int code, WPARAM message, LPARAM data)
{
    const MSLLHOOKSTRUCT* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    // A button or wheel goes to the window under the pointer, and the keyboard's focus follows it.
    if (code == HC_ACTION && (event->flags & LLMHF_INJECTED) && message != WM_MOUSEMOVE &&
        !(ForegroundIsOurs() && Ours(WindowFromPoint(event->pt)))) {
        SayHeldBack();
        return 1;
    }
    return CallNextHookEx(nullptr, code, message, data);
}

static LRESULT CALLBACK GuardKeyboard(int code, WPARAM message, LPARAM data)
{
    const KBDLLHOOKSTRUCT* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && (event->flags & LLKHF_INJECTED) && !ForegroundIsOurs()) {
        SayHeldBack();
        return 1;
    }
    return CallNextHookEx(nullptr, code, message, data);
}

void GuardInjectedInput() { CloseHandle(StartHooks(GuardMouse, GuardKeyboard, nullptr)); }  // for the whole run

// A user's pointer speed and acceleration, kept while a watch measures relative moves one pixel
// per count; changed for this session only, never in the user's profile.
static int userMouse[3];
static int userMouseSpeed;

void StartInputWatch()
{
    ClearWatchedInput();
    SystemParametersInfoW(SPI_GETMOUSE, 0, userMouse, 0);
    SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &userMouseSpeed, 0);
    int oneToOne[3] = {0, 0, 0};
    SystemParametersInfoW(SPI_SETMOUSE, 0, oneToOne, 0);
    SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(10)), 0);
    watchThread = StartHooks(WatchMouse, WatchKeyboard, &watchThreadId);
}

std::vector<WatchedInput> WatchedInputSoFar()
{
    std::lock_guard<std::mutex> lock(watchMutex);
    return watched;
}

void ClearWatchedInput()
{
    std::lock_guard<std::mutex> lock(watchMutex);
    watched.clear();
}

void StopInputWatch()
{
    PostThreadMessageW(watchThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(watchThread, 5000);
    CloseHandle(watchThread);
    SystemParametersInfoW(SPI_SETMOUSE, 0, userMouse, 0);
    SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(userMouseSpeed)), 0);
}

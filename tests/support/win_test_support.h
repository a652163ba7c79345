// Helpers for the tests that run under Wine: other processes, waiting while messages flow,
// the windows of the running server, and input watched through low-level hooks.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The folder of the running test program, where the server and phonesim are built too.
std::wstring ProgramDirectory();
// A new empty folder for one test.
std::wstring FreshDirectory(const std::wstring& name);
bool CopyInto(const std::wstring& file, const std::wstring& folder);

// Runs the calling thread's messages until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
void PumpMessagesFor(DWORD milliseconds);

// Every process a test starts belongs to one job that is killed when the test program ends,
// so none outlives a failed test.
HANDLE StartProcess(const std::wstring& commandLine);
// Runs a program to its end; returns its exit code, or -2 when it did not end in time.
int RunProcess(const std::wstring& commandLine, DWORD timeoutMs, std::string* output = nullptr);
void KillProcess(HANDLE& process);

// Text of a window of any process.
std::wstring WindowText(HWND window);

// Connects to TCP port 4026 on loopback the way the phone does, from this loopback address (a
// device of its own); INVALID_SOCKET on failure.
SOCKET ConnectPhone(const char* from = "127.0.0.1");
// Reads until count bytes arrived, the connection ended or the time is up; returns the bytes.
std::string ReceiveFor(SOCKET socket, size_t count, DWORD timeoutMs);
// True when the peer has ended the connection (orderly or by reset) within the time.
bool ConnectionEnds(SOCKET socket, DWORD timeoutMs);

// From now on, no key, button or wheel event the tests inject reaches another program's window
// in front: it is held back, and said once. Moving the pointer is allowed.
void GuardInjectedInput();

// Input seen by low-level hooks in a thread of the test program. While watched, relative moves go
// one pixel per count (the user's speed and acceleration come back at the stop).
struct WatchedInput {
    bool mouse;
    WPARAM message;  // WM_LBUTTONDOWN, WM_MOUSEWHEEL, WM_KEYDOWN, ...
    DWORD code;      // virtual key, or mouseData for buttons and wheels
    POINT point;
};
void StartInputWatch();
std::vector<WatchedInput> WatchedInputSoFar();
void ClearWatchedInput();
void StopInputWatch();

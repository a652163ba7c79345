#include "base/ui_thread.h"

#include <windows.h>

#include <deque>
#include <mutex>
#include <new>

namespace {

constexpr UINT WM_RUN_WORK = WM_APP;

HWND worksWindow = nullptr;
std::mutex queueLock;
std::deque<std::function<void()>> queue;

// One message for each closure: each runs in its turn among the window's other messages.
LRESULT CALLBACK WorksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_RUN_WORK) return DefWindowProcW(window, message, wParam, lParam);
    std::function<void()> work;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        if (queue.empty()) return 0;
        work = std::move(queue.front());
        queue.pop_front();
    }
    work();
    return 0;
}

}  // namespace

bool StartUiThreadWork()
{
    if (worksWindow) return true;
    WNDCLASSW type = {};
    type.lpfnWndProc = WorksProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"Palvenor UI thread work";
    if (!RegisterClassW(&type) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    worksWindow = CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance,
                                  nullptr);
    return worksWindow != nullptr;
}

bool RunOnUiThread(std::function<void()> work)
{
    std::lock_guard<std::mutex> lock(queueLock);
    try {
        queue.push_back(std::move(work));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (worksWindow && PostMessageW(worksWindow, WM_RUN_WORK, 0, 0)) return true;
    queue.pop_back();
    return false;
}

#include "base/ui_thread.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <new>
#include <utility>

namespace {

constexpr UINT WM_RUN_WORK = WM_APP;

HWND worksWindow = nullptr;
std::mutex queueLock;
// Each closure with its number, by which one whose message could not be posted is taken back.
std::deque<std::pair<uint64_t, std::function<void()>>> queue;
uint64_t lastNumber = 0;

bool TakeNext(std::function<void()>& work)
{
    std::lock_guard<std::mutex> lock(queueLock);
    if (queue.empty()) return false;
    work = std::move(queue.front().second);
    queue.pop_front();
    return true;
}

// Each message runs what is queued, in order; a closure that runs a modal loop lets the next
// message go on from where it stands.
LRESULT CALLBACK WorksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_RUN_WORK) return DefWindowProcW(window, message, wParam, lParam);
    std::function<void()> work;
    while (TakeNext(work)) work();
    return 0;
}

void TakeBack(uint64_t number)
{
    std::lock_guard<std::mutex> lock(queueLock);
    for (auto queued = queue.begin(); queued != queue.end(); ++queued)
        if (queued->first == number) {
            queue.erase(queued);
            return;
        }
}

bool Queue(std::function<void()> work, bool waitWhileFull)
{
    uint64_t number = 0;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        try {
            queue.emplace_back(number = ++lastNumber, std::move(work));
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    // A full queue empties in time, unless it is the caller's own.
    const bool mayWait =
        waitWhileFull && worksWindow && GetWindowThreadProcessId(worksWindow, nullptr) != GetCurrentThreadId();
    while (!worksWindow || !PostMessageW(worksWindow, WM_RUN_WORK, 0, 0)) {
        if (!mayWait || !IsWindow(worksWindow)) {
            TakeBack(number);
            return false;
        }
        Sleep(50);
    }
    return true;
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

bool RunOnUiThread(std::function<void()> work) { return Queue(std::move(work), false); }

bool HandToUiThread(std::function<void()> work) { return Queue(std::move(work), true); }

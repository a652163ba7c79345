#include "base/ui_thread.h"

#include <windows.h>

#include <deque>
#include <mutex>
#include <new>
#include <utility>

namespace {

constexpr UINT WM_RUN_WORK = WM_APP;
// Arms the backstop timer, which runs what is queued when the message that stands for it could
// not be posted (another program filled the UI thread's message queue): a timer's message is made
// when it is due, never queued, so it always comes.
constexpr UINT WM_ARM_BACKSTOP = WM_APP + 1;
constexpr UINT_PTR BACKSTOP_TIMER_ID = 1;
constexpr UINT BACKSTOP_MS = 100;

// The queue and its window. Never destroyed: a worker may still hand work over while the process
// ends and its statics go.
struct Works {
    std::mutex lock;
    std::deque<std::function<void()>> queue;
    HWND window = nullptr;
    // One message at a time stands for the whole queue, so that the message queue's limit never
    // drops work however much is handed over.
    bool posted = false;
    bool taking = false;
};
Works& works = *new Works;

// Posts the message that stands for the queue. Where it cannot be posted, the backstop is armed
// through a sent message instead, which no limit of posted messages holds back: on the UI thread
// it arms the timer at once, and from a worker it reaches the UI thread at its next look for
// messages, where it only arms the timer, so that no work runs in the middle of another call.
void PostForQueue(HWND window)
{
    if (postMessage(window, WM_RUN_WORK, 0, 0)) return;
    {
        std::lock_guard<std::mutex> guard(works.lock);
        works.posted = false;
    }
    SendNotifyMessageW(window, WM_ARM_BACKSTOP, 0, 0);
}

// Runs the closure at the front; another message follows for the rest, so that a closure that runs
// a modal loop lets the queue go on from where it stands, in order.
void RunNext(HWND window)
{
    std::function<void()> work;
    bool more = false;
    {
        std::lock_guard<std::mutex> guard(works.lock);
        if (works.queue.empty()) {
            works.posted = false;
            return;
        }
        work = std::move(works.queue.front());
        works.queue.pop_front();
        more = !works.queue.empty();
        works.posted = more;
    }
    if (more) PostForQueue(window);
    work();
}

void ArmBackstop(HWND window) { SetTimer(window, BACKSTOP_TIMER_ID, BACKSTOP_MS, nullptr); }

void RunOnBackstop(HWND window)
{
    KillTimer(window, BACKSTOP_TIMER_ID);
    RunNext(window);
}

LRESULT CALLBACK WorksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_RUN_WORK: RunNext(window); return 0;
    case WM_ARM_BACKSTOP: ArmBackstop(window); return 0;
    case WM_TIMER: RunOnBackstop(window); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

BOOL(WINAPI* postMessage)(HWND, UINT, WPARAM, LPARAM) = PostMessageW;

bool StartUiThreadWork()
{
    if (works.window) return true;
    WNDCLASSW type = {};
    type.lpfnWndProc = WorksProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"Palvenor UI thread work";
    if (!RegisterClassW(&type) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    HWND window = CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance,
                                  nullptr);
    std::lock_guard<std::mutex> guard(works.lock);
    works.window = window;
    works.taking = window != nullptr;
    works.posted = false;
    return works.taking;
}

bool RunOnUiThread(std::function<void()> work)
{
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> guard(works.lock);
        if (!works.taking) return false;
        try {
            works.queue.push_back(std::move(work));
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (works.posted) return true;  // the message already posted runs this too
        works.posted = true;
        window = works.window;
    }
    PostForQueue(window);
    return true;
}

void EndUiThreadWork()
{
    HWND window = nullptr;
    std::deque<std::function<void()>> dropped;  // destroyed outside the lock
    {
        std::lock_guard<std::mutex> guard(works.lock);
        works.taking = false;
        dropped.swap(works.queue);
        window = std::exchange(works.window, nullptr);
    }
    if (window) DestroyWindow(window);
}

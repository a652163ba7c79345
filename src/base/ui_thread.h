// The one way work reaches the UI thread from a worker: a closure, run there in the order handed,
// through one message to a window of its own. What a closure needs it captures by value (numbers,
// strings), never a pointer to something that may be gone by the time it runs.
#pragma once
#include <functional>

// Called once on the UI thread, before any worker hands it work; false when its window cannot be
// made.
bool StartUiThreadWork();
// From any thread, the UI thread's own too (the work then runs in its turn, after what is queued).
// False, with the work dropped, when its message cannot be posted: the window is gone, or its
// queue is full.
bool RunOnUiThread(std::function<void()> work);
// From a worker, for work that must not be lost: waits while the UI thread's queue is full, and is
// false, the work dropped, only once the window is gone. Never while holding a lock the UI thread
// may take.
bool HandToUiThread(std::function<void()> work);

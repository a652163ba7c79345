// The one way work reaches the UI thread from a worker: a closure, run there in the order handed,
// through one message to a window of its own. What a closure needs it captures by value (numbers,
// strings), never a pointer to something that may be gone by the time it runs.
#pragma once
#include <functional>

// Called once on the UI thread, before any worker hands it work; false when its window cannot be
// made.
bool StartUiThreadWork();
// From any thread; false, with the work dropped, when the UI thread cannot be reached.
bool RunOnUiThread(std::function<void()> work);

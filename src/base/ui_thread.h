// The one way work reaches the UI thread from a worker: a closure, run there in the order handed.
// What a closure needs it captures by value (numbers, strings), never a pointer to something that
// may be gone by the time it runs.
#pragma once
#include <windows.h>

#include <functional>

// Called once on the UI thread, before any worker hands it work; false when its window cannot be
// made. Called again after EndUiThreadWork, it takes work anew.
bool StartUiThreadWork();
// From any thread, the UI thread's own too (the work then runs in its turn, after what is queued).
// Nothing handed over is lost while the UI thread takes work, however much is handed at once and
// however long the UI thread is busy; it never waits, so it may be called holding any lock. False,
// with the work not run, once the UI thread takes no more.
bool RunOnUiThread(std::function<void()> work);
// The UI thread takes no more work: what is queued is dropped unrun, and every later hand-off is
// refused. On the UI thread, as the program ends.
void EndUiThreadWork();

// How the message that stands for the queue is posted; tests give one that fails, as a message
// queue that another program filled does.
extern BOOL(WINAPI* postMessage)(HWND, UINT, WPARAM, LPARAM);

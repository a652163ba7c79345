// Owners of what Windows hands out: kernel handles and registry keys, each closed by its one owner
// when it goes.
#pragma once
#include <windows.h>

#include "base/owner.h"

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct CloseRegistryKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

// Events, threads, processes, tokens, mutexes: null when there is none. (The few calls that fail
// with INVALID_HANDLE_VALUE are not kept in one.)
using OwnedHandle = Owned<HANDLE, nullptr, CloseKernelHandle>;
using OwnedKey = Owned<HKEY, nullptr, CloseRegistryKey>;

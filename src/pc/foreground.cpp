#include "pc/foreground.h"

#include <vector>

#include "base/owned.h"
#include "base/ui_thread.h"
#include "pc/rights.h"

// The integrity level of the process's token; UNKNOWN_INTEGRITY when it cannot be read.
static uint32_t IntegrityOf(HANDLE process)
{
    OwnedHandle token;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return UNKNOWN_INTEGRITY;
    DWORD size = 0;
    (void)GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size ? size : 1);
    uint32_t level = UNKNOWN_INTEGRITY;
    if (size && GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size)) {
        const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
        const UCHAR count = *GetSidSubAuthorityCount(label->Label.Sid);
        if (count > 0) level = *GetSidSubAuthority(label->Label.Sid, DWORD(count - 1));
    }
    return level;
}

static uint32_t IntegrityOfWindowsProcess(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    const OwnedHandle process(id ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id) : nullptr);
    if (!process) return UNKNOWN_INTEGRITY;  // a protected process: nothing can be said
    return IntegrityOf(process.get());
}

static ElevatedWindow AskTheSystem()
{
    HWND foreground = GetForegroundWindow();
    if (!foreground ||
        !InputKeptOutOfForeground(IntegrityOf(GetCurrentProcess()), IntegrityOfWindowsProcess(foreground)))
        return {nullptr, {}};
    wchar_t title[256] = {};
    GetWindowTextW(foreground, title, ARRAYSIZE(title));
    return {foreground, title};
}

ElevatedWindow (*readElevatedForeground)() = AskTheSystem;

// Who is told; set once, before the hook starts.
static void (*tellChanged)() = nullptr;

// Out of context: called on the thread that set the hook, from its message loop.
static void CALLBACK OnForegroundEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD)
{
    (void)RunOnUiThread(tellChanged);
}

bool WatchForegroundChanges(void (*changed)())
{
    tellChanged = changed;
    // Held for the life of the process, which ends the hook with it.
    return SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForegroundEvent, 0, 0,
                           WINEVENT_OUTOFCONTEXT) != nullptr;
}

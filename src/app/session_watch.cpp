#include "app/session_watch.h"

#include <versionhelpers.h>
#include <wtsapi32.h>

#include "app/messages.h"
#include "app/phone_status.h"
#include "app/serving.h"
#include "app/trust_prompt.h"
#include "app/window.h"
#include "net/connection.h"
#include "net/owner_session.h"
#include "net/receiver.h"
#include "pc/user_presence.h"

namespace {

// The level-1 session information's start, as the Windows SDK declares WTSINFOEXW (MinGW's
// headers lack it): the union after Level is aligned for its LARGE_INTEGER times.
struct SessionInfoEx {
    DWORD level;
    DWORD unionAlignment;
    ULONG sessionId;
    INT sessionState;
    LONG sessionFlags;
};
constexpr WTS_INFO_CLASS WTS_SESSION_INFO_EX = WTS_INFO_CLASS(25);
constexpr LONG WTS_SESSIONSTATE_LOCK = 0;

// Windows 7 reports the two lock states the other way round.
bool AskWhetherLocked()
{
    LPWSTR buffer = nullptr;
    DWORD size = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTS_SESSION_INFO_EX, &buffer,
                                     &size))
        return false;
    const auto* info = reinterpret_cast<const SessionInfoEx*>(buffer);
    const bool known = size >= sizeof *info && info->level == 1 && (info->sessionFlags == 0 || info->sessionFlags == 1);
    const bool locked = known && (info->sessionFlags == WTS_SESSIONSTATE_LOCK) == IsWindows8OrGreater();
    WTSFreeMemory(buffer);
    return locked;
}

ScreenPresence presence = {true, false};

void HoldInput()
{
    DropAllInput(true);
    ShowPhoneLocked(true);
    if (HoldQuestions()) CloseDevicePrompt();  // shown again, with 30 new seconds, at the unlock
}

void ResumeInput()
{
    DropAllInput(false);
    ShowPhoneLocked(false);
    ResumeQuestions();
}

void ActOnPresence(const PresenceChange& change)
{
    presence = change.now;
    if (change.holdInput) HoldInput();
    if (change.stopServing) {
        StopServing();
        ShowPhoneAway(true);
    }
    if (change.startServing) {
        ShowPhoneAway(false);
        StartServing();
    }
    if (change.resumeInput) ResumeInput();
}

}  // namespace

BOOL(WINAPI* registerSessionNotices)(HWND, DWORD) = WTSRegisterSessionNotification;
DWORD(WINAPI* activeConsoleSession)() = WTSGetActiveConsoleSessionId;
bool (*sessionLockedNow)() = AskWhetherLocked;

void RetryWatchingSession()
{
    if (registerSessionNotices(statusWindow.window, NOTIFY_FOR_THIS_SESSION))
        KillTimer(statusWindow.window, SESSION_WATCH_TIMER_ID);
}

bool WatchSession()
{
    if (!registerSessionNotices(statusWindow.window, NOTIFY_FOR_THIS_SESSION))
        SetTimer(statusWindow.window, SESSION_WATCH_TIMER_ID, SESSION_WATCH_RETRY_MS, nullptr);
    const DWORD console = activeConsoleSession();
    presence = PresenceAtStart(ThisSession(), console, sessionLockedNow());
    if (console == NO_CONSOLE_SESSION) SetTimer(statusWindow.window, CONSOLE_ASK_TIMER_ID, CONSOLE_ASK_MS, nullptr);
    if (presence.locked) HoldInput();
    if (!presence.atConsole) ShowPhoneAway(true);
    return presence.atConsole;
}

// Once the console has a session again: this one's, as if it had just come to the screen.
void AskTheConsoleAgain()
{
    const DWORD console = activeConsoleSession();
    if (console == NO_CONSOLE_SESSION) return;
    KillTimer(statusWindow.window, CONSOLE_ASK_TIMER_ID);
    if (console == ThisSession()) ActOnPresence(OnSessionNotice(presence, SESSION_CONSOLE_CONNECT, true));
}

void StopWatchingSession()
{
    KillTimer(statusWindow.window, SESSION_WATCH_TIMER_ID);
    KillTimer(statusWindow.window, CONSOLE_ASK_TIMER_ID);
    (void)WTSUnRegisterSessionNotification(statusWindow.window);
}

INT_PTR OnSessionChange(WPARAM event, LPARAM session)
{
    ActOnPresence(OnSessionNotice(presence, uint32_t(event), DWORD(session) == ThisSession()));
    return TRUE;
}

#include "app/session_view.h"

#include <wtsapi32.h>

#include "app/phone_status.h"
#include "app/serving.h"
#include "app/trust_prompt.h"
#include "app/window.h"
#include "net/connection.h"
#include "net/receiver.h"
#include "pc/user_presence.h"

static ScreenPresence presence = {true, false};

static DWORD OwnSession()
{
    DWORD own = 0;
    (void)ProcessIdToSessionId(GetCurrentProcessId(), &own);
    return own;
}

bool WatchSession()
{
    (void)WTSRegisterSessionNotification(statusWindow.window, NOTIFY_FOR_THIS_SESSION);  // none: as at the screen
    presence = PresenceAtStart(OwnSession(), WTSGetActiveConsoleSessionId());
    if (!presence.atConsole) ShowPhoneAway(true);
    return presence.atConsole;
}

void StopWatchingSession() { (void)WTSUnRegisterSessionNotification(statusWindow.window); }

INT_PTR OnSessionChange(WPARAM event, LPARAM session)
{
    const PresenceChange change = OnSessionNotice(presence, uint32_t(event), DWORD(session) == OwnSession());
    presence = change.now;
    if (change.holdInput) {
        DropAllInput(true);
        ShowPhoneLocked(true);
        if (HoldQuestions()) CloseDevicePrompt();  // shown again, with 30 new seconds, at the unlock
    }
    if (change.stopServing) {
        StopServing();
        ShowPhoneAway(true);
    }
    if (change.startServing) {
        ShowPhoneAway(false);
        StartServing();
    }
    if (change.resumeInput) {
        DropAllInput(false);
        ShowPhoneLocked(false);
        ResumeQuestions();
    }
    return TRUE;
}

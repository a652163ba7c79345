#include "pc/user_presence.h"

ScreenPresence PresenceAtStart(uint32_t ownSession, uint32_t consoleSession, bool locked)
{
    return {consoleSession != NO_CONSOLE_SESSION && ownSession == consoleSession, locked};
}

bool ServesInput(ScreenPresence presence) { return presence.atConsole && !presence.locked; }

PresenceChange OnSessionNotice(ScreenPresence before, uint32_t event, bool ownSession)
{
    ScreenPresence now = before;
    if (ownSession) {
        switch (event) {
        case SESSION_CONSOLE_CONNECT: now.atConsole = true; break;
        case SESSION_CONSOLE_DISCONNECT: now.atConsole = false; break;
        case SESSION_LOCK: now.locked = true; break;
        case SESSION_UNLOCK: now.locked = false; break;
        default: break;
        }
    }
    return {now, before.atConsole && !now.atConsole, !before.atConsole && now.atConsole,
            ServesInput(before) && !ServesInput(now), !ServesInput(before) && ServesInput(now)};
}

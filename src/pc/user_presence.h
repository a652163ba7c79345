// Whether the user of this copy is at the screen, as Windows' session notices tell it. Windows runs
// one copy per signed-in user, and only the session at the console receives input: phones are
// served by the copy whose user is there, and never drive a session that is away or locked. Free
// of the platform, so that every notice in every state is tested natively.
#pragma once
#include <cstdint>

// The session notices this program acts on (WTS_...), as WM_WTSSESSION_CHANGE brings them.
constexpr uint32_t SESSION_CONSOLE_CONNECT = 0x1;
constexpr uint32_t SESSION_CONSOLE_DISCONNECT = 0x2;
constexpr uint32_t SESSION_LOCK = 0x7;
constexpr uint32_t SESSION_UNLOCK = 0x8;

struct ScreenPresence {
    bool atConsole;  // this session is the console's: the ports are this copy's to serve
    bool locked;     // its screen is locked: no input reaches it, no question can be seen
};

// What a notice changes, for the program to carry out.
struct PresenceChange {
    ScreenPresence now;
    bool stopServing;   // away from the screen: end the connections, free both ports, withdraw
    bool startServing;  // back at the screen: take both ports and advertise
    bool holdInput;     // input is read and dropped from now on, questions wait
    bool resumeInput;   // input is acted on again, and a question waiting is asked
};

// The console's session while it is between two sessions (one leaving, the next not yet there).
constexpr uint32_t NO_CONSOLE_SESSION = 0xFFFFFFFF;

// At start-up: the program's own session compared with the console's, and whether its screen is
// locked then. With no console session, this one is away until the console is asked again.
ScreenPresence PresenceAtStart(uint32_t ownSession, uint32_t consoleSession, bool locked);
// A notice about a session: only this process's own counts.
PresenceChange OnSessionNotice(ScreenPresence before, uint32_t event, bool ownSession);
// Whether phones drive the PC: at the console and not locked.
bool ServesInput(ScreenPresence presence);

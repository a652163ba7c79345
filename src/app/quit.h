// Quitting: the user's Exit, another copy's quit request, and the end of the program.
#pragma once
#include <windows.h>

// Posts the quit request to the running copy's status window, if there is one.
void SendQuitRequest();

INT_PTR OnExitCommand();
INT_PTR OnQuitRequest();
// The status window is going: the message loop ends.
INT_PTR OnDestroy();
// After the message loop: the advertisement is withdrawn and the network let go. Its window gone,
// the copy is no longer taken for a running one while it does so, which may take a second.
void EndTheProgram();

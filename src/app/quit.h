// Quitting: the user's Exit, another copy's quit request, and the end of the program.
#pragma once
#include <windows.h>

// Posts the quit request to the running copy's status window, if there is one.
void SendQuitRequest();

INT_PTR OnExitCommand();
INT_PTR OnQuitRequest();
// The status window is gone: the program ends.
INT_PTR OnDestroy();

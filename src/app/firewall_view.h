// What the user sees of Windows' firewall: a line in the status window when it keeps phones out,
// with a link that mends it where the mend helps, and a balloon once per network.
#pragma once
#include <windows.h>

// Reads the firewall and shows what it does to phones. Read at start, when the networks have
// settled after a change and when the window opens, never for each connection.
void ShowFirewall();
// Runs this program elevated with -allowfirewall on a thread of its own, so that the window keeps
// answering while Windows asks for consent. When it has ended, the firewall is read again, or the
// window says the mend failed.
INT_PTR OnAllowPhonesClicked();

// Starts this program elevated with the arguments and waits for it to end: its exit code, or
// ERROR_CANCELLED when the user declined. Called on a worker thread; tests replace it.
extern DWORD (*runElevated)(HWND owner, const wchar_t* arguments);

// What the user sees of Windows' firewall: a line in the status window when it keeps phones out,
// with a link that mends it, and a balloon once per network.
#pragma once
#include <windows.h>

// Reads the firewall and shows what it does to phones. Read at start, when the networks change and
// when the window opens, never for each connection.
void ShowFirewall();
// Runs this program elevated with -allowfirewall; a cancelled elevation changes nothing.
INT_PTR OnAllowPhonesClicked();
// The elevated copy has ended: the firewall is read again.
INT_PTR OnFirewallMended();

// Starts this program elevated with the arguments; the process handle, or null when the user
// cancelled or it could not start. Tests replace it.
extern HANDLE (*runElevated)(const wchar_t* arguments);

// Registration with Windows' own DNS-SD service, for PCs without Bonjour.
#pragma once

// Asks for the registration of the PC by its DNS host name; true when the service took the
// request, whose outcome is then told on the UI thread: whether the service is registered.
bool RegisterWithWindows(void (*outcome)(bool registered), const wchar_t* computer);
// Withdraws the registration and waits up to a second for the service to finish, so that phones
// do not keep a stale entry; a registration still unanswered is cancelled instead.
void DeregisterFromWindows();

// While a phone drives the PC, the PC's own power saving is what makes it late: a Wi-Fi adapter
// in power saving takes a frame only at its next beacon and stalls at each background scan, and
// Windows throttles a program with no window in sight. While a phone is served every wireless
// adapter streams and scans no more, and the process runs at full speed; each setting is read
// before it is changed and put back when no phone is served. No administrator rights are needed;
// without the WLAN service or a wireless adapter nothing happens and nothing is said. UI thread.
#pragma once
#include <windows.h>
#include <wlanapi.h>

void KeepResponsive(bool phoneServed);

// The WLAN service's functions, loaded from the system folder at the first need (false where
// there is none); tests hand their own.
struct WlanFunctions {
    decltype(&WlanOpenHandle) open;
    decltype(&WlanEnumInterfaces) enumerate;
    decltype(&WlanQueryInterface) query;
    decltype(&WlanSetInterface) set;
    decltype(&WlanCloseHandle) close;
    decltype(&WlanFreeMemory) freeMemory;
};
extern bool (*loadWlan)(WlanFunctions& functions);
// Windows 8 and later; null before. Tests replace it.
extern BOOL(WINAPI* setProcessInformation)(HANDLE process, PROCESS_INFORMATION_CLASS kind, LPVOID value,
                                           DWORD size);

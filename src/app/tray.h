// The tray icon: its two prepared records, balloons, the popup menu and the commands it sends.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Two descriptions of the same icon; the icon shows whichever was applied last.
extern NOTIFYICONDATAW notConnectedRecord;
extern NOTIFYICONDATAW connectedRecord;

// The shell call that adds, applies and removes the icon; tests put a recorder here.
extern BOOL(WINAPI* notifyIcon)(DWORD message, PNOTIFYICONDATAW record);

void PrepareTrayRecords();
void AddTrayIcon();
void ApplyTrayRecord(NOTIFYICONDATAW& record);
// Writes the record's balloon text and applies the record.
void ApplyTrayRecordWithBalloon(NOTIFYICONDATAW& record, const wchar_t* balloonText);
// A balloon on the icon's current look; a click on it opens link (a page or a settings address).
void ShowBalloon(const wchar_t* text, const wchar_t* link);
void RemoveTrayIcon();
void ShowTrayMenu();

// The status window's rows owned by the tray.
INT_PTR OnTrayCallback(WPARAM iconId, LPARAM mouseMessage);
INT_PTR OnDisconnectCommand();
INT_PTR OnPauseCommand();
INT_PTR OnForgetCommand();
INT_PTR OnTaskbarCreated();
INT_PTR OnDpiChanged();

// Start-up: the command line, the single-instance rule, the fixed start-up sequence and the
// message loop.
#pragma once
#include <winsock2.h>
#include <windows.h>

// What the command line asked for once every option has been examined.
struct CommandLineOutcome {
    bool endNow;       // "-quit", "-uninstall" or "-allowfirewall" was examined
    bool showAtStart;  // "-showui"
    bool quiet;        // "-autostart" or "-noautostart": a copy already running shows nothing
    int exitCode;      // when ending now: 1 when "-allowfirewall" could not mend the firewall
};

CommandLineOutcome ExamineOptions(int count, wchar_t** arguments);

// The start-up sequence and the message loop; returns the exit code. While another copy runs, it
// is asked to show its window, unless the options were quiet, and this one ends with 0.
int RunServer(HINSTANCE instance, const CommandLineOutcome& options);

// The network library's start-up; tests replace it to see the program refuse to go on.
extern int(WINAPI* startNetwork)(WORD version, LPWSADATA data);

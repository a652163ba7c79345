// The program's entry point.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "app/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // The shell's links, the firewall and the network list are COM objects; the apartment lasts
    // as long as the process.
    (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // The runtime has already split the command line by the standard rules.
    const CommandLineOutcome options = ExamineOptions(__argc, __wargv);
    if (options.endNow) return options.exitCode;
    return RunServer(instance, options);
}

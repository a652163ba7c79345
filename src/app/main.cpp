// The program's entry point.
#include <windows.h>

#include <cstdlib>

#include "app/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // The runtime has already split the command line by the standard rules.
    const CommandLineOutcome options = ExamineOptions(__argc, __wargv);
    if (options.endNow) return options.exitCode;
    return RunServer(instance, options.showAtStart);
}

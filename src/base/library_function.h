// A function of a library loaded at run time, looked up by name and typed, so that the program
// still starts on systems whose libraries lack it. Null when the library has no such function.
#pragma once
#include <windows.h>

template <typename Function>
Function LibraryFunction(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

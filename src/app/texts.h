// The texts the program shows, from the string table of the user's language.
#pragma once
#include <windows.h>

#include <string>

std::wstring Text(UINT id);

// The texts the program shows, from the string table of the user's language.
#pragma once
#include <windows.h>

#include <string>

std::wstring LoadText(UINT id);

// The caption of the program's message boxes: never the status window's title, by which other
// copies and the installer find the running copy.
constexpr wchar_t MESSAGE_CAPTION[] = L"Quorvane Palvenor Server";

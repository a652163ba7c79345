// Text that comes from outside the program (a name the network answers, one the user types, one
// read from the stored list), made fit for a line of a window. Free of the platform.
#pragma once
#include <cstddef>
#include <string>

// The text without control characters (a line break, a tab), line or paragraph separators, format
// characters (a right-to-left override, which would reorder what follows it), nor a half of a
// pair of UTF-16 units standing alone: one line that shows as it reads.
std::wstring OneLine(const std::wstring& text);

// The text cut to at most count characters, a pair of UTF-16 units counting as one, and never
// cut between them.
std::wstring CutToCharacters(const std::wstring& text, size_t count);

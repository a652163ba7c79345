// Command-line option matching, free of the platform so that it is tested natively.
#pragma once
#include <cstddef>

// Each argument is examined in a working buffer of this many characters, terminator included.
constexpr size_t ARGUMENT_BUFFER_LENGTH = 500;

// True when option occurs anywhere in argument, comparing 'A'-'Z' as 'a'-'z' and every other
// character unchanged. An empty argument never matches.
bool OptionMatches(const wchar_t* argument, const wchar_t* option);

// Copies argument into buffer (ARGUMENT_BUFFER_LENGTH characters), cutting a longer one to fit.
void CopyArgument(wchar_t* buffer, const wchar_t* argument);

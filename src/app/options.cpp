#include "app/options.h"

#include "base/ascii.h"

bool OptionMatches(const wchar_t* argument, const wchar_t* option)
{
    for (const wchar_t* start = argument; *start; ++start) {
        size_t k = 0;
        while (option[k] && start[k] && FoldAsciiCase(start[k]) == FoldAsciiCase(option[k])) ++k;
        if (!option[k]) return true;
        if (!start[k]) return false;  // the rest of the argument is shorter than the option
    }
    return false;
}

void CopyArgument(wchar_t* buffer, const wchar_t* argument)
{
    size_t i = 0;
    for (; i + 1 < ARGUMENT_BUFFER_LENGTH && argument[i]; ++i) buffer[i] = argument[i];
    buffer[i] = L'\0';
}

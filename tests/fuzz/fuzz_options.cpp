// Arbitrary arguments and options through the option test and the argument buffer, checked
// against a plain reference: fold both strings, then search.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/options.h"

static std::wstring Folded(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte splits the rest into the argument and the option, two bytes a character.
    if (size < 1) return 0;
    const size_t split = std::min<size_t>(data[0], (size - 1) / 2);
    std::wstring argument, option;
    for (size_t i = 1; i + 1 < size; i += 2) {
        const wchar_t c = wchar_t(data[i] | (data[i + 1] << 8));
        if (c == 0) continue;
        ((i - 1) / 2 < split ? option : argument).push_back(c);
    }
    const bool expected = !argument.empty() && Folded(argument).find(Folded(option)) != std::wstring::npos;
    if (OptionMatches(argument.c_str(), option.c_str()) != expected) std::abort();

    wchar_t buffer[ARGUMENT_BUFFER_LENGTH + 1];
    buffer[ARGUMENT_BUFFER_LENGTH] = L'#';
    CopyArgument(buffer, argument.c_str());
    if (buffer[ARGUMENT_BUFFER_LENGTH] != L'#') std::abort();
    if (std::wstring(buffer) != argument.substr(0, ARGUMENT_BUFFER_LENGTH - 1)) std::abort();
    return 0;
}

#include "base/user_text.h"

#include <cstdint>

static bool IsHighHalf(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
static bool IsLowHalf(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Unicode's control (Cc) and format (Cf) characters, and its line and paragraph separators (Zl, Zp).
static bool IsControlOrFormat(uint32_t c)
{
    static const struct {
        uint32_t first, last;
    } ranges[] = {
        {0x0000, 0x001F},   {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},
        {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
        {0x200B, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},
        {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
        {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
    };
    for (const auto& range : ranges)
        if (c >= range.first && c <= range.last) return true;
    return false;
}

std::wstring OneLine(const std::wstring& text)
{
    std::wstring line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        if (IsHighHalf(unit) && i + 1 < text.size() && IsLowHalf(text[i + 1])) {
            const uint32_t c = 0x10000 + ((uint32_t(unit) - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
            if (!IsControlOrFormat(c)) line.append(text, i, 2);
            ++i;
            continue;
        }
        if (!IsHighHalf(unit) && !IsLowHalf(unit) && !IsControlOrFormat(unit)) line.push_back(unit);
    }
    return line;
}

std::wstring CutToCharacters(const std::wstring& text, size_t count)
{
    size_t end = 0;
    for (size_t characters = 0; end < text.size() && characters < count; ++characters)
        end += IsHighHalf(text[end]) && end + 1 < text.size() && IsLowHalf(text[end + 1]) ? 2 : 1;
    return text.substr(0, end);
}

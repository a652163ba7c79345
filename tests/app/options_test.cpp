// Option matching and the argument buffer, the way the command line reaches them.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "app/options.h"

namespace {

TEST(OptionMatchesTest, CaseInsensitiveSubstringOfTheArgument)
{
    const struct {
        const wchar_t* argument;
        const wchar_t* option;
        bool matches;
    } cases[] = {
        {L"-quit", L"-quit", true},
        {L"-QUIT", L"-quit", true},
        {L"-QuIt", L"-quit", true},
        {L"--quit", L"-quit", true},
        {L"please-quitnow", L"-quit", true},
        {L"/quit", L"-quit", false},
        {L"quit", L"-quit", false},
        {L"-qui", L"-quit", false},
        {L"", L"-quit", false},
        {L"-noautostart", L"-autostart", false},
        {L"-noautostart", L"-noautostart", true},
        {L"-autostart-showui", L"-showui", true},
        {L"-autostart-showui", L"-autostart", true},
        {L"-qu-quit", L"-quit", true},         // a false start does not hide a later match
        {L"-ququit", L"-quit", false},
        {L"-\u0130uit", L"-quit", false},     // only ASCII letters fold
        {L"-Q\u00DCIT", L"-q\u00FCit", false},
        {L"-\u00DCber", L"-\u00DCber", true},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(OptionMatches(cases[i].argument, cases[i].option), cases[i].matches) << "case " << i;
}

TEST(OptionMatchesTest, LetterBoundariesFoldAndNeighboursDoNot)
{
    // '@' and '[' sit just outside 'A'..'Z', '`' and '{' just outside 'a'..'z'.
    EXPECT_TRUE(OptionMatches(L"AZ", L"az"));
    EXPECT_FALSE(OptionMatches(L"@", L"`"));
    EXPECT_FALSE(OptionMatches(L"[", L"{"));
}

TEST(CopyArgumentTest, LongArgumentsAreCutToTheBufferNeverPastIt)
{
    for (size_t length : {size_t(0), size_t(1), size_t(498), size_t(499), size_t(500), size_t(600)}) {
        std::wstring argument(length, L'x');
        wchar_t buffer[ARGUMENT_BUFFER_LENGTH + 8];
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        CopyArgument(buffer, argument.c_str());
        const size_t copied = std::min(length, ARGUMENT_BUFFER_LENGTH - 1);
        EXPECT_EQ(std::wstring(buffer), argument.substr(0, copied)) << length;
        for (size_t i = ARGUMENT_BUFFER_LENGTH; i < ARGUMENT_BUFFER_LENGTH + 8; ++i)
            ASSERT_EQ(buffer[i], L'#') << "written past the buffer for length " << length;
    }
}

}  // namespace

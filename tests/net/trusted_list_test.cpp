// The stored list of trusted phones: the entries earlier versions wrote, the names and times kept
// now, what is kept of entries this program cannot read, and which entries vouch for a device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/trusted_list.h"

namespace {

TEST(TrustedListTest, EveryStoredFormReadsBackAsWrittenAndAnythingElseIsKeptUnread)
{
    const struct {
        std::wstring stored;
        bool read;
        std::wstring written;  // how it is written back; empty: as stored
    } cases[] = {
        {L"192.168.1.20 0a-1b-2c-3d-4e-5f", true, L"192.168.1.20 0a-1b-2c-3d-4e-5f\t0"},  // an earlier version's
        {L"10.0.0.7", true, L"10.0.0.7\t0"},
        {L"10.0.0.7\t1765000000", true, L""},
        {L"10.0.0.7\t1765000000\tgAnna\u2019s phone \u00e9\u4e2d", true, L""},
        {L"10.0.0.7\t1765000000\tlpixel-seven", true, L""},
        {L"10.0.0.7\t1765000000\tg" + std::wstring(64, L'x'), true, L""},
        // Longer than this version writes, or not one line: read cut and cleaned, never dropped.
        {L"10.0.0.7\t1765000000\tg" + std::wstring(65, L'x'), true, L"10.0.0.7\t1765000000\tg" + std::wstring(64, L'x')},
        {L"10.0.0.7\t1765000000\tlevil\r\n\u202Ename", true, L"10.0.0.7\t1765000000\tlevilname"},
        {L"10.0.0.7\t1765000000\tx name", false, L""},
        {L"10.0.0.7\t1765000000\tg", false, L""},
        {L"10.0.0.7\t", false, L""},
        {L"10.0.0.7\t-5", false, L""},
        {L"", false, L""},
        {L"192.168.1.256", false, L""},
        {L"192.168.01.20", false, L""},
        {L" 192.168.1.20", false, L""},
        {L"192.168.1.20 0A-1B-2C-3D-4E-5F", false, L""},
        {L"192.168.1.20 0a-1b-2c-3d-4e", false, L""},
        {L"phone", false, L""},
        {L"4294967296.0.0.0", false, L""},
    };
    for (const auto& c : cases) {
        TrustedPhone phone;
        EXPECT_EQ(ParseTrustedPhone(c.stored, phone), c.read) << '"' << std::string(c.stored.begin(), c.stored.end()) << '"';
        if (c.read) {
            EXPECT_EQ(FormatTrustedPhone(phone), c.written.empty() ? c.stored : c.written);
        }
    }
}

TEST(TrustedListTest, EntriesThisProgramCannotReadAreWrittenBackAsTheyWere)
{
    const std::wstring stored(L"10.0.0.1\0phone\0" L"10.0.0.2 0a-1b-2c-3d-4e-5f\t5\0\u00e9\0" L"10.0.0.3", 56);
    const TrustedList list = ParseTrustedList(stored);
    ASSERT_EQ(list.phones.size(), 3u);
    EXPECT_EQ(list.unreadable, (std::vector<std::wstring>{L"phone", L"\u00e9"}));
    const wchar_t nul = L'\0';
    EXPECT_EQ(FormatTrustedList(list), std::wstring(L"10.0.0.1\t0") + nul + L"10.0.0.2 0a-1b-2c-3d-4e-5f\t5" + nul +
                                           L"10.0.0.3\t0" + nul + L"phone" + nul + L"\u00e9" + nul + nul);
    EXPECT_TRUE(ParseTrustedList(std::wstring(L"\0" L"10.0.0.1\0", 11)).phones.empty()) << "an empty entry ends the list";
}

Device DeviceAt(uint32_t address, int macLast = -1)
{
    return {address, macLast >= 0, {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, uint8_t(macLast)}};
}

Device OnOwnNetwork(Device device)
{
    device.onOwnNetwork = true;
    return device;
}

TEST(TrustedListTest, AnEntryVouchesByItsAddressAndItsHardwareAddressWhereKnown)
{
    TrustedList list;
    AddTrustedPhone(list, DeviceAt(0xC0A80114, 0x5f), 1);
    AddTrustedPhone(list, DeviceAt(0x0A000007), 2);
    const struct {
        Device device;
        bool remembered;
    } cases[] = {
        {DeviceAt(0xC0A80114, 0x5f), true},  {DeviceAt(0xC0A80114, 0x60), false},
        {DeviceAt(0xC0A80114), false},       // its hardware address cannot be seen now
        {DeviceAt(0xC0A80115, 0x5f), false}, {DeviceAt(0x0A000007), true},
        {DeviceAt(0x0A000007, 0x60), true},  {DeviceAt(0x0A000008), false},
        // On the PC's own network any device can take the address: only a hardware address vouches.
        {OnOwnNetwork(DeviceAt(0x0A000007, 0x60)), false}, {OnOwnNetwork(DeviceAt(0x0A000007)), false},
        {OnOwnNetwork(DeviceAt(0xC0A80114, 0x5f)), true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsRemembered(list.phones, c.device), c.remembered) << std::hex << c.device.address;
}

TEST(TrustedListTest, NamesTimesAndForgettingChangeOnlyTheirOwnEntry)
{
    TrustedList list;
    AddTrustedPhone(list, DeviceAt(1, 1), 100);
    AddTrustedPhone(list, DeviceAt(2, 2), 200);
    const TrustedPhone first = list.phones[0], second = list.phones[1];
    // A character of two UTF-16 units (as Windows stores it) across the cut.
    const std::wstring longName = std::wstring(63, L'n') + wchar_t(0xD83D) + wchar_t(0xDCF1);
    const struct {
        const char* name;
        TrustedPhone entry;
        std::wstring text;
        bool given;
        bool changed;
        std::wstring named;
        bool nameGiven;
    } steps[] = {
        {"looked up", first, L"pixel-seven", false, true, L"pixel-seven", false},
        {"the user's own", first, L"Anna's phone", true, true, L"Anna's phone", true},
        {"a lookup never replaces it", first, L"pixel-eight", false, false, L"Anna's phone", true},
        {"64 characters, the last of two units", first, longName, true, true, longName, true},
        {"cut to 64 characters, never inside one", first, L"n" + longName, true, true, std::wstring(64, L'n'), true},
        {"one line, shown as it reads", first, L"Anna\u202E's\r\nphone\u200B", true, true, L"Anna'sphone", true},
        {"emptied: a lookup may name it again", first, L"", true, true, L"", false},
        {"looked up again", first, L"pixel-seven", false, true, L"pixel-seven", false},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(NamePhone(list, step.entry, step.text, step.given), step.changed) << step.name;
        EXPECT_EQ(list.phones[0].name, step.named) << step.name;
        EXPECT_EQ(list.phones[0].nameGiven, step.nameGiven) << step.name;
        EXPECT_EQ(list.phones[1].name, L"") << step.name;
    }
    EXPECT_TRUE(NoteConnected(list, DeviceAt(2, 2), 300));
    EXPECT_FALSE(NoteConnected(list, DeviceAt(2, 3), 400)) << "another device at its address";
    EXPECT_EQ(list.phones[1].lastConnected, 300u);
    EXPECT_EQ(list.phones[0].lastConnected, 100u);
    EXPECT_TRUE(DropFromList(list, first));
    EXPECT_FALSE(DropFromList(list, first));
    ASSERT_EQ(list.phones.size(), 1u);
    EXPECT_TRUE(SameEntry(list.phones[0], second));
}

TEST(TrustedListTest, AnAllowedDeviceReplacesItsAddressOnlyEntryAndTakesOnlyTheNameFoundForIt)
{
    TrustedList list;
    AddTrustedPhone(list, DeviceAt(7), 5);
    AddTrustedPhone(list, DeviceAt(8, 8), 5, L"pixel");
    AddTrustedPhone(list, OnOwnNetwork(DeviceAt(7, 7)), 9, L"found");
    ASSERT_EQ(list.phones.size(), 2u);
    EXPECT_TRUE(SameEntry(list.phones[1], EntryOf(DeviceAt(7, 7))));
    EXPECT_EQ(list.phones[1].name, L"found");
    EXPECT_EQ(list.phones[1].lastConnected, 9u);
    EXPECT_EQ(list.phones[0].name, L"pixel");
    EXPECT_EQ(NameFromHostName(L"evil\r\n\u2028\u2029\u202Ephone.lan"), L"evilphone");
}

TEST(TrustedListTest, TheNewestThousandByLastConnectionAreKept)
{
    const struct {
        size_t stored;
        uint64_t oldestTime;  // of the entry stored at index 5, the others younger
        bool newcomerKept;
        bool oldestKept;
    } cases[] = {
        {MOST_TRUSTED_PHONES - 1, 1, true, true},
        {MOST_TRUSTED_PHONES, 1, true, false},    // the one connected longest ago goes, wherever it stands
        {MOST_TRUSTED_PHONES, 0, true, false},    // one from before times were kept goes first
        {1100, 1, true, false},
    };
    for (const auto& c : cases) {
        TrustedList list;
        for (size_t i = 0; i < c.stored; ++i)
            list.phones.push_back({0x0A000000u + uint32_t(i), false, {}, i == 5 ? c.oldestTime : 1000 + i, {}, false});
        list = ParseTrustedList(FormatTrustedList(list));
        ASSERT_EQ(list.phones.size(), c.stored);
        AddTrustedPhone(list, DeviceAt(0xC0A80114), 5000);
        EXPECT_EQ(list.phones.size(), std::min(c.stored + 1, MOST_TRUSTED_PHONES)) << c.stored;
        EXPECT_EQ(IsRemembered(list.phones, DeviceAt(0xC0A80114)), c.newcomerKept) << c.stored;
        EXPECT_EQ(IsRemembered(list.phones, DeviceAt(0x0A000005)), c.oldestKept) << c.stored;
    }
}

}  // namespace

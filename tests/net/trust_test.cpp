// Which connections count as a phone and which devices are served, asked about or closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/trust.h"

namespace {

TEST(TrustTest, TheFirstBytesTellABrowsersHttpTlsOrStunFromAPhone)
{
    using Start = ConnectionStart;
    const struct {
        std::string bytes;
        Start start;
    } cases[] = {
        {"", Start::Undecided},
        {"GET / HTTP/1.1\r\n", Start::Http},
        {"GET ", Start::Http},
        {"GE", Start::Undecided},
        {"GETX", Start::Phone},
        {"get / HTTP/1.1", Start::Phone},  // methods are case-sensitive
        {"POST /x", Start::Http},
        {"HEAD /", Start::Http},
        {"PUT /", Start::Http},
        {"PATCH /", Start::Http},
        {"P", Start::Undecided},  // POST, PUT, PATCH or PRI
        {"DELETE /", Start::Http},
        {"OPTIONS *", Start::Http},
        {"CONNECT host:443", Start::Http},
        {"PRI * HTTP/2.0", Start::Http},
        {"PRI * HT", Start::Undecided},
        {"PRI / HTTP", Start::Phone},
        {std::string("\x16\x03\x01\x02\x00", 5), Start::Tls},
        {std::string("\x16", 1), Start::Undecided},
        {std::string("\x16\x02", 2), Start::Undecided},  // could still be STUN
        {std::string("\x16\x02\x00\x00\x00", 5), Start::Phone},
        {std::string(16, '\0'), Start::Phone},  // a heartbeat-shaped packet
        {std::string("\x00\x00\x00\x0d", 4), Start::Undecided},  // could still be STUN
        {std::string("\x00\x00\x00\x0d\x00", 5), Start::Phone},
        {"hello", Start::Phone},
        // A STUN Allocate request, as a browser's TURN client sends it over TCP.
        {std::string("\x00\x03\x00\x00\x21\x12\xA4\x42\x01\x02\x03\x04", 12), Start::Stun},
        {std::string("\x01\x01\x00\x08\x21\x12\xA4\x42", 8), Start::Stun},
        {std::string("\x00\x01\x00\x00\x21\x12\xA4", 7), Start::Undecided},
        {std::string("\x00\x01\x00\x00\x21\x12\xA4\x43", 8), Start::Phone},
        {std::string("\x80\x01\x00\x00\x21\x12\xA4\x42", 8), Start::Phone},  // a type's top bit set
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyConnectionStart(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()),
                  c.start)
            << '"' << c.bytes << '"';
}

TEST(TrustTest, ADeviceIsRememberedByItsAddressAndItsHardwareAddressWhereKnown)
{
    std::vector<TrustedPhone> trusted;
    for (const char* entry : {"192.168.1.20 0a-1b-2c-3d-4e-5f", "10.0.0.7"}) {
        TrustedPhone phone;
        ASSERT_TRUE(ParseTrustedPhone(entry, phone)) << entry;
        EXPECT_EQ(FormatTrustedPhone(phone), entry);
        trusted.push_back(phone);
    }
    const uint8_t same[6] = {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}, other[6] = {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x60};
    const struct {
        Device device;
        bool remembered;
    } cases[] = {
        {{0xC0A80114, true, {same[0], same[1], same[2], same[3], same[4], same[5]}}, true},
        {{0xC0A80114, true, {other[0], other[1], other[2], other[3], other[4], other[5]}}, false},
        {{0xC0A80114, false, {}}, false},  // its hardware address cannot be seen now
        {{0xC0A80115, true, {same[0], same[1], same[2], same[3], same[4], same[5]}}, false},
        {{0x0A000007, false, {}}, true},
        {{0x0A000007, true, {other[0], other[1], other[2], other[3], other[4], other[5]}}, true},
        {{0x0A000008, false, {}}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsRemembered(trusted, c.device), c.remembered) << std::hex << c.device.address;
}

TEST(TrustTest, ADamagedOrForeignEntryIsNeverTrusted)
{
    for (const char* entry : {"", " ", "192.168.1", "192.168.1.20.5", "192.168.1.256", "192.168.01.20",
                              "+192.168.1.20", " 192.168.1.20", "192.168.1.20 ", "192.168.1.20 0a-1b-2c-3d-4e",
                              "192.168.1.20 0A-1B-2C-3D-4E-5F", "192.168.1.20 0a:1b:2c:3d:4e:5f",
                              "192.168.1.20 0a-1b-2c-3d-4e-5f-", "192.168.1.20 0a-1b-2c-3d-4e-5g", "phone",
                              "192.168.1.20\t0a-1b-2c-3d-4e-5f", "4294967296.0.0.0"}) {
        TrustedPhone phone;
        EXPECT_FALSE(ParseTrustedPhone(entry, phone)) << '"' << entry << '"';
    }
}

// A list of any length: this many entries 10.0.x.y, with every fourth one's hardware address.
std::vector<TrustedPhone> ListOf(size_t count)
{
    std::vector<TrustedPhone> trusted;
    for (size_t i = 0; i < count; ++i)
        trusted.push_back({0x0A000000u + uint32_t(i), i % 4 == 0, {0x0a, 0, 0, 0, uint8_t(i >> 8), uint8_t(i)}});
    return trusted;
}

TEST(TrustTest, TheStoredListIsReadWhateverItsSizeAndKeepsTheNewestWhenFull)
{
    const Device newcomer = {0xC0A80114, false, {}};
    const struct {
        size_t stored;
        size_t kept;               // after adding the newcomer
        uint32_t firstKept;
    } cases[] = {
        {0, 1, 0xC0A80114},
        {1, 2, 0x0A000000},
        {MOST_TRUSTED_PHONES - 1, MOST_TRUSTED_PHONES, 0x0A000000},
        {MOST_TRUSTED_PHONES, MOST_TRUSTED_PHONES, 0x0A000001},  // the oldest goes
        {1100, MOST_TRUSTED_PHONES, 0x0A000000 + 101},
    };
    for (const auto& c : cases) {
        const std::vector<TrustedPhone> stored = ListOf(c.stored);
        std::vector<TrustedPhone> read = ParseTrustedList(FormatTrustedList(stored));
        ASSERT_EQ(read.size(), c.stored);
        for (size_t i = 0; i < c.stored; ++i) ASSERT_EQ(FormatTrustedPhone(read[i]), FormatTrustedPhone(stored[i]));
        EXPECT_TRUE(AddTrustedPhone(read, newcomer));
        ASSERT_EQ(read.size(), c.kept) << c.stored;
        EXPECT_EQ(read.front().address, c.firstKept) << c.stored;
        EXPECT_EQ(read.back().address, newcomer.address) << c.stored;
        EXPECT_FALSE(AddTrustedPhone(read, newcomer));
        EXPECT_EQ(read.size(), c.kept) << "added twice";
    }
}

TEST(TrustTest, ADamagedEntryInTheStoredListCostsOnlyItself)
{
    const std::wstring stored(L"10.0.0.1\0phone\0" L"10.0.0.2 0a-1b-2c-3d-4e-5f\0\u00e9\0" L"10.0.0.3", 52);
    std::vector<std::string> read;
    for (const TrustedPhone& phone : ParseTrustedList(stored)) read.push_back(FormatTrustedPhone(phone));
    EXPECT_EQ(read, (std::vector<std::string>{"10.0.0.1", "10.0.0.2 0a-1b-2c-3d-4e-5f", "10.0.0.3"}));
    EXPECT_TRUE(ParseTrustedList(std::wstring(L"\0" L"10.0.0.1\0", 11)).empty()) << "an empty entry ends the list";
}

TEST(TrustTest, ARefusalLastsAMinuteForItsOwnAddressOnly)
{
    std::vector<Refusal> refusals;
    // In the order a steady clock gives them: a refusal noted, or a question whether it holds.
    const struct {
        bool note;
        uint32_t address;
        uint64_t now;
        bool refused;
    } steps[] = {
        {true, 7, 1000, true},    {false, 7, 1000, true},   {false, 9, 2000, false}, {true, 8, 30000, true},
        {false, 7, 60999, true},  {false, 7, 61000, false}, {false, 8, 61000, true}, {false, 8, 89999, true},
        {false, 8, 90000, false},
    };
    for (const auto& step : steps) {
        if (step.note) NoteRefusal(refusals, step.address, step.now);
        EXPECT_EQ(RefusedRecently(refusals, step.address, step.now), step.refused) << step.address << " at " << step.now;
    }
    EXPECT_TRUE(refusals.empty()) << "old refusals are forgotten";
}

}  // namespace

// Which connections count as a phone and which devices are served, asked about or closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/trust.h"

namespace {

TEST(TrustTest, TheFirstBytesTellABrowserOrATlsClientFromAPhone)
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
        {std::string("\x16\x02", 2), Start::Phone},
        {std::string(16, '\0'), Start::Phone},  // a heartbeat-shaped packet
        {std::string("\x00\x00\x00\x0d", 4), Start::Phone},
        {"hello", Start::Phone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyConnectionStart(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()),
                  c.start)
            << '"' << c.bytes << '"';
}

TEST(TrustTest, ThePcItselfAndRememberedDevicesAreServedOthersAskedOnceAtATime)
{
    const struct {
        TrustFacts facts;
        Admission admission;
    } cases[] = {
        {{true, false, false, false}, Admission::Serve},
        {{true, false, true, true}, Admission::Serve},  // the PC itself is never refused
        {{false, true, false, false}, Admission::Serve},
        {{false, true, true, true}, Admission::Serve},
        {{false, false, false, false}, Admission::Ask},
        {{false, false, true, false}, Admission::Close},
        {{false, false, false, true}, Admission::Close},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideAdmission(c.facts), c.admission)
            << c.facts.pcItself << c.facts.remembered << c.facts.refusedRecently << c.facts.promptOpen;
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

}  // namespace

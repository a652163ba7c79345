// Which connections count as a phone and which devices are served, asked about or closed.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "net/trust.h"

namespace {

TEST(TrustTest, TheFirstBytesTellABrowsersHttpTlsOrStunFramedOrNotFromAPhone)
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
        {std::string("\x16\x02\x00\x00\x00", 5), Start::Undecided},  // could still be framed STUN
        {std::string("\x16\x02\x00\x00\x00\x00\x00\x00\x00\x00", 10), Start::Phone},
        {std::string(16, '\0'), Start::Phone},  // a heartbeat-shaped packet
        {std::string("\x00\x00\x00\x0d", 4), Start::Undecided},  // could still be STUN
        {std::string("\x00\x00\x00\x0d\x00", 5), Start::Undecided},  // could still be framed STUN
        {std::string("\x00\x00\x00\x0d\x00\x00\x00\x00\x00\x00", 10), Start::Phone},
        {"hello", Start::Phone},
        // A STUN Allocate request, as a browser's TURN client sends it over TCP.
        {std::string("\x00\x03\x00\x00\x21\x12\xA4\x42\x01\x02\x03\x04", 12), Start::Stun},
        {std::string("\x01\x01\x00\x08\x21\x12\xA4\x42", 8), Start::Stun},
        {std::string("\x00\x01\x00\x00\x21\x12\xA4", 7), Start::Undecided},
        {std::string("\x00\x01\x00\x00\x21\x12\xA4\x43", 8), Start::Phone},
        {std::string("\x80\x01\x00\x00\x21\x12\xA4\x42", 8), Start::Phone},  // a type's top bit set
        // A Binding request framed with its 2-byte length, as a browser's ICE over TCP sends it.
        {std::string("\x00\x14\x00\x01\x00\x00\x21\x12\xA4\x42\x01\x02", 12), Start::Stun},
        {std::string("\x00\x14\x80\x01\x00\x00\x21\x12\xA4\x42", 10), Start::Phone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyConnectionStart(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()),
                  c.start)
            << '"' << c.bytes << '"';
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
        EXPECT_EQ(RefusalHolds(refusals, step.address, step.now), step.refused) << step.address << " at " << step.now;
    }
    EXPECT_TRUE(refusals.empty()) << "old refusals are forgotten";
}

TEST(TrustTest, EachDeviceIsServedAskedKeptWaitingOrClosedByWhatIsKnownOfIt)
{
    const struct {
        const char* device;
        TrustFacts facts;  // the PC itself, remembered, refused lately, another question open
        Admission admission;
    } cases[] = {
        {"a program of the PC itself", {true, false, false, false}, Admission::Serve},
        {"a remembered phone", {false, true, false, false}, Admission::Serve},
        {"a new device", {false, false, false, false}, Admission::Ask},
        {"a new device while another is asked about", {false, false, false, true}, Admission::Wait},
        {"a device refused lately", {false, false, true, false}, Admission::Close},
    };
    for (const auto& c : cases) EXPECT_EQ(DecideAdmission(c.facts), c.admission) << c.device;
}

TEST(TrustTest, AProgramOfThePcItselfDrivesItOnlyFromThisUsersSession)
{
    const std::pair<uint32_t, bool> cases[] = {{1, true}, {0, false}, {2, false}, {NO_OWNER_SESSION, true}};
    for (const auto& c : cases) EXPECT_EQ(SessionMayDrive(c.first, 1), c.second) << c.first;
}

}  // namespace

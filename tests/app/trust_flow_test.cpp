// Devices other than the PC itself, as the user meets them: asked about, served once allowed,
// remembered in the registry, refused for a minute. Each device is a loopback address of its own;
// only 127.0.0.1 counts as the PC itself here.
#include <winsock2.h>
#include <windows.h>
#include <wtsapi32.h>

#include <atomic>
#include <cstring>
#include <string>
#include <utility>

#include "app/messages.h"
#include "app/trust_prompt.h"
#include "app/trusted_window.h"
#include "app/window.h"
#include "base/wire.h"
#include "input/packet.h"
#include "net/connection.h"
#include "pc/host.h"
#include "net/device_name.h"
#include "net/owner_session.h"
#include "net/trust_store.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/net_fixture.h"
#include "support/win_test_support.h"

namespace {

class TrustFlowTest : public NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        deviceIsPcItself = [](uint32_t device) { return device == INADDR_LOOPBACK; };
        ForgetTrustedPhones();
    }
    void TearDown() override
    {
        CloseDevicePrompt();
        ForgetTrustedPhones();
        deviceIsPcItself = IsPcItself;
        NetTest::TearDown();
    }
    // A device that connects and is asked about.
    SOCKET AskedDevice(const char* from)
    {
        SOCKET device = ConnectPhone(from);
        EXPECT_NE(device, INVALID_SOCKET);
        EXPECT_TRUE(WaitUntil([] { return DevicePrompt() != nullptr; }, 3000)) << from << " was not asked about";
        return device;
    }
    // Whether the server ends the device's connection in time, while the window's messages flow.
    static bool Ends(SOCKET device, DWORD timeoutMs)
    {
        return WaitUntil([&] { return ConnectionEnds(device, 10); }, timeoutMs);
    }
    // The stored entry at the address (host byte order), or an empty one.
    static TrustedPhone StoredAt(uint32_t address)
    {
        for (const TrustedPhone& phone : ReadTrustedPhones())
            if (phone.address == address) return phone;
        return TrustedPhone{};
    }
    // The prompt's buttons wake after a second.
    void Answer(const wchar_t* button)
    {
        PumpMessagesFor(1100);
        SendMessageW(FindWindowExW(DevicePrompt(), nullptr, L"Button", button), BM_CLICK, 0, 0);
        PumpMessagesFor(300);
    }
};

TEST_F(TrustFlowTest, ADeviceIsServedOnlyOnceAllowedAndThenRememberedWithoutAsking)
{
    SOCKET device = AskedDevice("127.0.0.2");
    EXPECT_FALSE(PhoneConnected()) << "served before the user answered";
    Answer(L"Allow");
    EXPECT_EQ(DevicePrompt(), nullptr);
    EXPECT_TRUE(PhoneConnected());
    EXPECT_EQ(Label(StatusValue::PhoneAddress), L"127.0.0.2");
    closesocket(device);
    ExpectNotConnectedAfterMonitor();

    SOCKET again = ConnectPhone("127.0.0.2");
    EXPECT_TRUE(WaitUntil([] { return PhoneConnected(); }, 3000)) << "asked about again";
    EXPECT_EQ(DevicePrompt(), nullptr);
    closesocket(again);
}

// A second device waits for the question open now and is asked as soon as it ends; the device
// that left while asked is not asked again for a minute, however often it comes back.
TEST_F(TrustFlowTest, ASecondDeviceIsAskedOnceTheFirstQuestionEndsAndOneThatLeftWaitsAMinute)
{
    SOCKET asked = AskedDevice("127.0.0.12");
    HWND prompt = DevicePrompt();
    SOCKET second = ConnectPhone("127.0.0.13");
    EXPECT_FALSE(Ends(second, 1500)) << "a second device was closed while the first is asked about";
    EXPECT_EQ(DevicePrompt(), prompt);
    closesocket(asked);
    EXPECT_TRUE(WaitUntil([&] { return DevicePrompt() != nullptr && DevicePrompt() != prompt; }, 3000))
        << "the second device was not asked once the question ended";
    EXPECT_FALSE(IsWindow(prompt)) << "the question outlived its device";
    SOCKET back = ConnectPhone("127.0.0.12");
    EXPECT_TRUE(Ends(back, 3000)) << "a device that left while asked was kept";
    closesocket(back);
    Answer(L"Allow");
    EXPECT_TRUE(PhoneConnected());
    EXPECT_EQ(Label(StatusValue::PhoneAddress), L"127.0.0.13");
    closesocket(second);
    ExpectNotConnectedAfterMonitor();
}

// A program of the PC itself that connects and says nothing (a browser's preconnect) leaves a phone
// elsewhere in place, and takes over only at its first datagram.
TEST_F(TrustFlowTest, ASilentProgramOfThePcItselfTakesOverOnlyAtItsFirstDatagram)
{
    SOCKET phone = AskedDevice("127.0.0.9");
    Answer(L"Allow");
    SOCKET local = ConnectPhone("127.0.0.1");
    PumpMessagesFor(1500);
    EXPECT_EQ(Label(StatusValue::PhoneAddress), L"127.0.0.9") << "a silent connection took over";
    SendDatagram(0, 0);  // from 127.0.0.1; a packet of type 0 does nothing
    EXPECT_TRUE(WaitUntil([&] { return Label(StatusValue::PhoneAddress) == L"127.0.0.1"; }, 3000));
    EXPECT_TRUE(Ends(phone, 3000));
    closesocket(phone);
    closesocket(local);
}

// Forgetting one trusted phone ends its own connection at once, and no other; it is asked about
// again when it next connects.
TEST_F(TrustFlowTest, ForgettingOneDeviceEndsOnlyItsConnectionAndItIsAskedAgain)
{
    ASSERT_EQ(RememberDevice(SeeDevice(0x7F000008), L""), Remembered::Yes);
    SOCKET device = AskedDevice("127.0.0.7");
    Answer(L"Allow");
    ASSERT_TRUE(PhoneConnected());
    const TrustedPhone forgetOther = StoredAt(0x7F000008), forgetConnected = StoredAt(0x7F000007);
    ForgetTrustedPhone(forgetOther);
    EXPECT_FALSE(Ends(device, 1000)) << "another device's forgetting ended this one";
    EXPECT_TRUE(PhoneConnected());
    ForgetTrustedPhone(forgetConnected);
    EXPECT_TRUE(Ends(device, 3000)) << "the forgotten phone stayed connected";
    EXPECT_FALSE(PhoneConnected());
    EXPECT_TRUE(ReadTrustedPhones().empty());
    closesocket(device);
    // "Forget trusted phones" ends the connected phone's connection as forgetting it alone does.
    SOCKET again = AskedDevice("127.0.0.7");
    Answer(L"Allow");
    ASSERT_TRUE(PhoneConnected());
    SendMessageW(statusWindow.window, WM_COMMAND, IDM_FORGET, 0);
    EXPECT_TRUE(Ends(again, 3000)) << "forgetting all left the phone connected";
    EXPECT_FALSE(PhoneConnected());
    closesocket(again);
}

// Devices on the PC's own network, through the network stack's seams: every 127.0.0.x but the PC
// itself is reached without a gateway on interface 42, the neighbour table holds none of them yet,
// and the network answers each one's hardware address and name only when asked on that interface.
class OwnNetworkTest : public TrustFlowTest {
protected:
    void SetUp() override
    {
        TrustFlowTest::SetUp();
        routeToDevice = [](uint32_t device, NET_LUID& interfaceLuid) {
            interfaceLuid.Value = 42;
            return device != INADDR_LOOPBACK;
        };
        resolveNeighbour = [](PMIB_IPNET_ROW2 row, const SOCKADDR_INET*) -> NETIO_STATUS {
            if (row->InterfaceLuid.Value != 42) return ERROR_INVALID_PARAMETER;
            const uint8_t mac[6] = {0x02, 0, 0, 0, 0, uint8_t(ntohl(row->Address.Ipv4.sin_addr.s_addr))};
            std::memcpy(row->PhysicalAddress, mac, sizeof mac);
            row->PhysicalAddressLength = sizeof mac;
            return NO_ERROR;
        };
        reverseLookup = [](const SOCKADDR* address, socklen_t, PWCHAR host, DWORD length, PWCHAR, DWORD, INT) {
            const bool intruder = reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr == inet_addr("127.0.0.41");
            lstrcpynW(host, intruder ? L"intruder.lan" : L"pixel-forty.lan", int(length));
            return 0;
        };
    }
    void TearDown() override
    {
        routeToDevice = savedRoute;
        resolveNeighbour = savedResolve;
        reverseLookup = savedLookup;
        TrustFlowTest::TearDown();
    }
    decltype(routeToDevice) savedRoute = routeToDevice;
    decltype(resolveNeighbour) savedResolve = resolveNeighbour;
    decltype(reverseLookup) savedLookup = reverseLookup;
};

TEST_F(OwnNetworkTest, AnAllowedDeviceIsRememberedWithItsHardwareAddressAndOnlyItsOwnName)
{
    // An entry of the older form, without a hardware address, and one whose device has left the address.
    ASSERT_EQ(RememberDevice({0x7F000028, false, {}}, L""), Remembered::Yes);
    Device before = {0x7F000029, true, {0x02, 0, 0, 0, 0, 0x99}};
    ASSERT_EQ(RememberDevice(before, L"pixel-nine"), Remembered::Yes);

    // Another device at the second one's address is asked, refused, and leaves its name nowhere.
    SOCKET intruder = AskedDevice("127.0.0.41");
    PumpMessagesFor(300);  // its name arrives while asked
    Answer(L"Don't allow");
    EXPECT_TRUE(Ends(intruder, 3000));
    closesocket(intruder);

    // The entry without a hardware address no longer vouches: asked, then remembered whole.
    SOCKET device = AskedDevice("127.0.0.40");
    Answer(L"Allow");
    EXPECT_TRUE(PhoneConnected());
    EXPECT_TRUE(WaitUntil([&] { return StoredAt(0x7F000028).macKnown; }, 3000)) << "not asked on its interface";
    EXPECT_EQ(ReadTrustedPhones().size(), 2u) << "the entry without a hardware address stayed beside it";
    EXPECT_EQ(StoredAt(0x7F000028).mac[5], 0x28);
    EXPECT_EQ(StoredAt(0x7F000028).name, L"pixel-forty");
    EXPECT_EQ(StoredAt(0x7F000029).name, L"pixel-nine") << "another device's name reached it";
    closesocket(device);
}

// A Forget while the allowed device's hardware address is still being learnt wins: the lookup that
// returns after it writes nothing back.
HANDLE lookupMayReturn = nullptr;
decltype(resolveNeighbour) answer = nullptr;
TEST_F(OwnNetworkTest, AForgetWhileTheHardwareAddressIsLearntIsNotUndone)
{
    lookupMayReturn = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    answer = std::exchange(resolveNeighbour, [](PMIB_IPNET_ROW2 row, const SOCKADDR_INET* source) {
        return WaitForSingleObject(lookupMayReturn, 5000), answer(row, source);
    });
    SOCKET device = AskedDevice("127.0.0.43");
    Answer(L"Allow");
    SendMessageW(statusWindow.window, WM_COMMAND, IDM_FORGET, 0);
    SetEvent(lookupMayReturn);
    PumpMessagesFor(500);
    EXPECT_TRUE(ReadTrustedPhones().empty()) << "the forgotten device was written back";
    closesocket(device);
    CloseHandle(lookupMayReturn);
}

// A program on the PC itself in another user's session (the seam names session 2 while told to;
// Wine names no owner at all) is closed without a question, and while this session's program is
// served, its datagrams from the same address never act.
std::atomic<bool> anotherSession{false};
TEST_F(TrustFlowTest, AnotherSessionsProgramIsClosedUnaskedAndItsDatagramsNeverAct)
{
    const auto saved = ownerSession;
    ownerSession = [](Transport, uint32_t, uint16_t) { return anotherSession ? 2u : NO_OWNER_SESSION; };
    anotherSession = true;
    SOCKET other = ConnectPhone("127.0.0.1");
    EXPECT_TRUE(Ends(other, 3000)) << "another session's program was kept";
    EXPECT_EQ(DevicePrompt(), nullptr);
    EXPECT_FALSE(PhoneConnected());
    closesocket(other);

    anotherSession = false;
    SOCKET own = ConnectPhone("127.0.0.1");
    ASSERT_TRUE(WaitUntil([] { return PhoneConnected(); }, 3000));
    StartInputWatch();
    for (bool fromAnother : {true, false}) {
        anotherSession = fromAnother;
        SendDatagram(PKT_WHEEL, 120);  // each from a port of its own
        PumpMessagesFor(500);
    }
    size_t wheels = 0;
    for (const WatchedInput& input : WatchedInputSoFar()) wheels += input.mouse && input.message == WM_MOUSEWHEEL;
    StopInputWatch();
    EXPECT_EQ(wheels, 1u) << "another session's datagram acted, or this session's did not";
    closesocket(own);
    ownerSession = saved;
}

// "Don't allow", closing the prompt and letting it lapse all refuse: the device is closed at once,
// and for a minute it is closed again without a question.
TEST_F(TrustFlowTest, EveryWayOfNotAllowingClosesTheDeviceForAMinute)
{
    const struct {
        const char* device;
        const char* how;
    } refusals[] = {{"127.0.0.4", "Don't allow"}, {"127.0.0.5", "closed"}, {"127.0.0.6", "30 seconds"}};
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.how);
        SOCKET device = AskedDevice(refusal.device);
        SOCKET second = ConnectPhone(refusal.device);  // waits behind its own question
        const std::string how = refusal.how;
        if (how == "Don't allow") Answer(L"Don't allow");
        if (how == "closed") {
            PumpMessagesFor(1100);
            SendMessageW(DevicePrompt(), WM_CLOSE, 0, 0);
        }
        if (how == "30 seconds") SendMessageW(DevicePrompt(), WM_TIMER, PROMPT_LAPSE_TIMER_ID, 0);
        EXPECT_TRUE(Ends(device, 3000));
        EXPECT_TRUE(Ends(second, 3000)) << "a connection of the refused device was kept";
        EXPECT_EQ(DevicePrompt(), nullptr);
        closesocket(device);
        closesocket(second);
        SOCKET again = ConnectPhone(refusal.device);
        const std::string stream(64 * 1024, 'x');  // whatever it sends, it is closed at once
        send(again, stream.data(), int(stream.size()), 0);
        EXPECT_TRUE(Ends(again, 3000)) << "not refused for the next minute";
        EXPECT_EQ(DevicePrompt(), nullptr);
        closesocket(again);
    }
    EXPECT_FALSE(PhoneConnected());
}

using TrustStoreTest = AppTest;

// The list as the registry holds it, of any size; a value of another type is nobody's list to
// overwrite.
TEST_F(TrustStoreTest, TheListRoundTripsThroughTheRegistryAndAForeignValueIsLeftAlone)
{
    ForgetTrustedPhones();
    std::wstring large;
    for (int i = 0; i < 1100; ++i) large += L"10.0." + std::to_wstring(i / 256) + L"." + std::to_wstring(i % 256) + L'\0';
    large += L'\0';
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Trusted phones", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(large.data()),
                   DWORD(large.size() * sizeof(wchar_t)));
    EXPECT_EQ(ReadTrustedPhones().size(), 1100u) << "a list past 64 KB";
    const uint32_t device = 0x7F000014;  // 127.0.0.20
    EXPECT_EQ(RememberDevice(SeeDevice(device), L""), Remembered::Yes);
    const auto kept = ReadTrustedPhones();
    ASSERT_EQ(kept.size(), size_t(MOST_TRUSTED_PHONES));
    EXPECT_EQ(kept.back().address, 0x7F000014u);

    const wchar_t foreign[] = L"not a list";
    RegSetValueExW(key, L"Trusted phones", 0, REG_SZ, reinterpret_cast<const BYTE*>(foreign), sizeof foreign);
    EXPECT_TRUE(ReadTrustedPhones().empty());
    EXPECT_EQ(RememberDevice(SeeDevice(device), L""), Remembered::ForeignValue);
    wchar_t stored[32] = {};
    DWORD size = sizeof stored;
    EXPECT_EQ(RegGetValueW(key, nullptr, L"Trusted phones", RRF_RT_REG_SZ, nullptr, stored, &size), ERROR_SUCCESS);
    EXPECT_STREQ(stored, foreign);
    RegCloseKey(key);
    ForgetTrustedPhones();
    EXPECT_TRUE(ReadTrustedPhones().empty());
    EXPECT_EQ(RememberDevice(SeeDevice(device), L""), Remembered::Yes);
    ASSERT_EQ(ReadTrustedPhones().size(), 1u);
    const TrustedPhone entry = ReadTrustedPhones()[0];
    ForgetTrustedPhones();
    EXPECT_FALSE(RenamePhone(entry, L"renamed")) << "a rename of a forgotten phone said it wrote";
    EXPECT_TRUE(ReadTrustedPhones().empty());
}

TEST(HostTest, ThePcsOwnAddressesAreThePcItselfAndOthersAreNot)
{
    std::vector<HostAddress> own;
    ASSERT_TRUE(ReadHostAddresses(own));
    size_t beyondLoopback = 0;
    for (const HostAddress& mine : own) {
        EXPECT_TRUE(IsPcItself(mine.address)) << std::hex << mine.address;
        beyondLoopback += (mine.address >> 24) != 127;
    }
    if (beyondLoopback == 0) GTEST_SKIP() << "this PC has no address beyond loopback to check";
    EXPECT_FALSE(IsPcItself(0xCB007107));  // 203.0.113.7
}

}  // namespace

namespace {

// What Windows tells the program's own session (1 under Wine): locked, the phone stays connected
// but none of its input acts and nobody is asked; away, every connection ends and both ports are
// free for the copy at the screen; back, they are served again. Nobody is refused for any of it.
TEST_F(TrustFlowTest, LockedNothingActsAndNobodyIsAskedAwayBothPortsAreFreeAndNobodyIsRefused)
{
    const auto notice = [](WPARAM event, LPARAM session) {
        SendMessageW(statusWindow.window, WM_WTSSESSION_CHANGE, event, session);
    };
    const auto wheels = [] {
        size_t count = 0;
        for (const WatchedInput& input : WatchedInputSoFar()) count += input.mouse && input.message == WM_MOUSEWHEEL;
        return count;
    };
    SOCKET phone = ConnectPhone("127.0.0.1");
    ASSERT_TRUE(WaitUntil([] { return PhoneConnected(); }, 3000));
    SOCKET asked = AskedDevice("127.0.0.60");
    StartInputWatch();

    notice(WTS_SESSION_LOCK, 1);
    EXPECT_EQ(DevicePrompt(), nullptr) << "a question behind the lock screen";
    SOCKET waiting = ConnectPhone("127.0.0.61");
    SendDatagram(PKT_WHEEL, 120);
    EXPECT_FALSE(Ends(waiting, 1500)) << "a device that connected while locked was not kept waiting";
    EXPECT_EQ(DevicePrompt(), nullptr);
    EXPECT_EQ(wheels(), 0u) << "input acted on while locked";
    EXPECT_TRUE(PhoneConnected());

    notice(WTS_SESSION_UNLOCK, 1);
    EXPECT_TRUE(WaitUntil([] { return DevicePrompt() != nullptr; }, 3000)) << "the put-away question was not asked again";
    SendDatagram(PKT_WHEEL, 120);
    EXPECT_TRUE(WaitUntil([&] { return wheels() == 1; }, 3000)) << "the wheel held over the lock, or none acts after it";
    StopInputWatch();

    notice(WTS_CONSOLE_DISCONNECT, 1);
    for (SOCKET device : {phone, asked, waiting}) EXPECT_TRUE(Ends(device, 3000));
    EXPECT_EQ(DevicePrompt(), nullptr);
    const std::wstring away = L"Another user is using this PC. Phones are served in their session.";
    EXPECT_EQ(Label(StatusValue::Connection), away);
    EXPECT_NE(LastTrayTip().find(away), std::wstring::npos);
    for (int type : {SOCK_STREAM, SOCK_DGRAM}) {
        SOCKET other = socket(AF_INET, type, 0);
        sockaddr_in port = {};
        port.sin_family = AF_INET;
        port.sin_port = htons(4026);
        EXPECT_EQ(bind(other, reinterpret_cast<sockaddr*>(&port), sizeof port), 0) << "port 4026 still held, type " << type;
        closesocket(other);
    }

    notice(WTS_CONSOLE_CONNECT, 1);
    EXPECT_EQ(Label(StatusValue::Connection), L"Not connected");
    for (SOCKET device : {phone, asked, waiting}) closesocket(device);
    SOCKET back = AskedDevice("127.0.0.60");  // asked, not refused for having gone with the session
    closesocket(back);
}

}  // namespace

#include "support/net_fixture.h"

#include "app/serving.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "app/window.h"
#include "input/packet.h"
#include "net/connection.h"
#include "net/receiver.h"
#include "support/win_test_support.h"

void StartReceiverOnce()
{
    // Like the program's, the test program's receiver lives as long as the process, and tells
    // whichever status window there is of datagrams from connections being judged.
    static const bool started = StartInputReceiver(TellInputArrived, TellInputServed);
    ASSERT_TRUE(started) << "UDP port 4026 could not be bound";
}

void SendDatagram(int32_t type, int32_t arg1)
{
    unsigned char bytes[INPUT_PACKET_SIZE];
    EncodeInputPacket(InputPacket{type, arg1, 0, 0}, bytes);
    SOCKET sender = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in port = {};
    port.sin_family = AF_INET;
    port.sin_port = htons(4026);
    port.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sendto(sender, reinterpret_cast<const char*>(bytes), sizeof bytes, 0, reinterpret_cast<sockaddr*>(&port),
           sizeof port);
    closesocket(sender);
}

void NetTest::SetUp()
{
    AppTest::SetUp();
    StartReceiverOnce();
    ASSERT_TRUE(OpenServicePort());
    ClearTrayCalls();
}

void NetTest::TearDown()
{
    if (IsWindow(statusWindow.window)) (void)Disconnect();
    PumpMessagesFor(300);  // the monitors report their ends and their sockets are closed
    StopListening();
    AppTest::TearDown();
}

// How often the user has been told that a phone connected.
static size_t ConnectedBalloons()
{
    size_t count = 0;
    for (const auto& call : TrayCallsSoFar()) count += wcscmp(call.record.szInfo, L"iPod/iPhone connected") == 0;
    return count;
}

SOCKET NetTest::Connect()
{
    const size_t before = ConnectedBalloons();
    SOCKET phone = ConnectPhone();
    EXPECT_NE(phone, INVALID_SOCKET);
    EXPECT_TRUE(WaitUntil([&] { return ConnectedBalloons() != before; }, 5000)) << "the server did not accept the phone";
    EXPECT_EQ(Label(StatusValue::Connection), L"Connected");
    return phone;
}

void NetTest::ExpectNotConnectedAfterMonitor()
{
    const bool balloon = WaitUntil(
        [] {
            for (const auto& call : TrayCallsSoFar())
                if (wcscmp(call.record.szInfo, L"iPod/iPhone disconnected.") == 0) return true;
            return false;
        },
        5000);
    EXPECT_TRUE(balloon) << "no balloon \"iPod/iPhone disconnected.\"";
    EXPECT_TRUE(WaitUntil([&] { return Label(StatusValue::Connection) == L"Not connected"; }, 3000));
    EXPECT_EQ(Label(StatusValue::PhoneAddress), L"0.0.0.0");
    EXPECT_FALSE(PhoneConnected());
    EXPECT_FALSE(TrayShowsConnected());
}

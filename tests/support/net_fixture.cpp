#include "support/net_fixture.h"

#include "app/status_window.h"
#include "app/tray.h"
#include "net/connection.h"
#include "support/win_test_support.h"

void ReleaseLingeringReceivers()
{
    connectionState.connected.store(0);
    SOCKET sender = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in port = {};
    port.sin_family = AF_INET;
    port.sin_port = htons(4026);
    port.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < 3; ++i) {
        sendto(sender, "0123456789abcdef", 16, 0, reinterpret_cast<sockaddr*>(&port), sizeof port);
        Sleep(30);
    }
    closesocket(sender);
}

void NetTest::SetUp()
{
    AppTest::SetUp();
    connectionState.connectionSocket.store(INVALID_SOCKET);
    connectionState.connected.store(0);
    connectionState.listenSocket = CreateListener();
    ASSERT_NE(connectionState.listenSocket, INVALID_SOCKET);
    ClearTrayCalls();
}

void NetTest::TearDown()
{
    if (connectionState.connected.load() == 1 && IsWindow(statusWindow.window)) Disconnect();
    PumpMessagesFor(300);
    if (connectionState.listenSocket != INVALID_SOCKET) closesocket(connectionState.listenSocket);
    ReleaseLingeringReceivers();
    AppTest::TearDown();
}

SOCKET NetTest::Connect()
{
    const uint32_t before = connectionState.connectionNumber.load();
    SOCKET phone = ConnectPhone();
    EXPECT_NE(phone, INVALID_SOCKET);
    EXPECT_TRUE(WaitUntil([&] { return connectionState.connectionNumber.load() != before; }, 5000))
        << "the server did not accept the phone";
    EXPECT_EQ(Label(statusWindow.connectionStatusLabel), L"Connected");
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
    EXPECT_TRUE(WaitUntil([&] { return Label(statusWindow.connectionStatusLabel) == L"Not connected"; }, 3000));
    EXPECT_EQ(Label(statusWindow.phoneAddressLabel), L"0.0.0.0");
    EXPECT_EQ(connectionState.connected.load(), 0);
    EXPECT_EQ(connectionState.connectionSocket.load(), INVALID_SOCKET);
    const auto calls = TrayCallsSoFar();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().record.hIcon, notConnectedRecord.hIcon);
}

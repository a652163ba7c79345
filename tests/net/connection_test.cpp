// A phone's TCP connection against the program's listener, accept, monitor and disconnect,
// with the status window's messages flowing in the test's thread.
#include "app/messages.h"
#include "app/status_window.h"
#include "app/tray.h"
#include "app/window.h"
#include "input/packet.h"
#include "net/connection.h"
#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/net_fixture.h"
#include "support/win_test_support.h"

namespace {

using ConnectionTest = NetTest;

TEST_F(ConnectionTest, PhoneConnectsAndIsShown)
{
    SOCKET phone = Connect();
    EXPECT_EQ(PhoneConnected(), true);
    EXPECT_EQ(Label(StatusValue::PhoneAddress), L"127.0.0.1");
    EXPECT_TRUE(TrayShowsConnected());
    EXPECT_EQ(BalloonsSoFar().back(), L"iPod/iPhone connected");
    closesocket(phone);
}

TEST_F(ConnectionTest, SilenceIsAnsweredWithAHeartbeatEveryFiveSeconds)
{
    const ULONGLONG accepted = GetTickCount64();  // the connection is judged before it shows
    SOCKET phone = Connect();
    for (int beat = 1; beat <= 2; ++beat) {
        const std::string heartbeat = ReceiveFor(phone, 16, 8000);
        const ULONGLONG elapsed = GetTickCount64() - accepted;
        ASSERT_EQ(heartbeat, std::string(16, '\0')) << "heartbeat " << beat;
        EXPECT_GE(elapsed, beat * 5000ull - 500) << "heartbeat " << beat;
        EXPECT_LE(elapsed, beat * 5000ull + 1500) << "heartbeat " << beat;
    }
    closesocket(phone);
}

TEST_F(ConnectionTest, BytesFromThePhonePutTheHeartbeatOffAndAreConsumed)
{
    const ULONGLONG accepted = GetTickCount64();  // the connection is judged before it shows
    SOCKET phone = Connect();
    Sleep(3000 - DWORD(GetTickCount64() - accepted));
    const std::string chatter(40, 'x');  // more than one receive's worth
    send(phone, chatter.data(), int(chatter.size()), 0);
    const std::string heartbeat = ReceiveFor(phone, 16, 9000);
    const ULONGLONG elapsed = GetTickCount64() - accepted;
    EXPECT_EQ(heartbeat, std::string(16, '\0'));
    EXPECT_GE(elapsed, 7500ull) << "the heartbeat came 5 s after the accept, not after the bytes";
    EXPECT_EQ(PhoneConnected(), true);
    closesocket(phone);
}

TEST_F(ConnectionTest, PhoneClosingOrResettingEndsTheConnection)
{
    for (const LINGER ending : {LINGER{0, 0}, LINGER{1, 0}}) {  // an orderly close, then a reset
        ClearTrayCalls();
        SOCKET phone = Connect();
        setsockopt(phone, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&ending), sizeof ending);
        closesocket(phone);
        ExpectNotConnectedAfterMonitor();
    }
}

TEST_F(ConnectionTest, TrayDisconnectEndsThePhonesConnection)
{
    SOCKET phone = Connect();
    EXPECT_EQ(Proc(WM_COMMAND, IDM_DISCONNECT), 0);
    EXPECT_EQ(PhoneConnected(), false);
    EXPECT_EQ(Label(StatusValue::Connection), L"Not connected");
    EXPECT_TRUE(ConnectionEnds(phone, 3000));
    ExpectNotConnectedAfterMonitor();
    closesocket(phone);
}

TEST_F(ConnectionTest, DisconnectWhileNotConnectedDoesNothing)
{
    EXPECT_EQ(Proc(WM_COMMAND, IDM_DISCONNECT), 0);
    EXPECT_TRUE(TrayCallsSoFar().empty());
    EXPECT_EQ(Label(StatusValue::Connection), L"Not connected");
}

TEST_F(ConnectionTest, PhoneThatReconnectsAtOnceIsShownAndServed)
{
    StartInputWatch();
    for (int round = 0; round < 5; ++round) {
        SOCKET old = Connect();
        closesocket(old);
        SOCKET phone = Connect();  // before the old connection's end has been seen
        PumpMessagesFor(500);
        EXPECT_EQ(Label(StatusValue::Connection), L"Connected") << "round " << round;
        EXPECT_EQ(Label(StatusValue::PhoneAddress), L"127.0.0.1") << "round " << round;
        EXPECT_TRUE(TrayShowsConnected()) << "round " << round;
        ClearWatchedInput();
        SendDatagram(PKT_WHEEL, 120);
        EXPECT_TRUE(WaitUntil([] { return !WatchedInputSoFar().empty(); }, 2000)) << "not served, round " << round;
        closesocket(phone);
        ExpectNotConnectedAfterMonitor();
    }
    StopInputWatch();
}

// Ctrl, Alt and the Windows key, and the left button, as the system sees them.
bool AnyHeld()
{
    for (int key : {VK_CONTROL, VK_MENU, VK_LWIN, VK_LBUTTON})
        if (GetAsyncKeyState(key) & 0x8000) return true;
    return false;
}

TEST_F(ConnectionTest, WhatThePhoneHeldIsReleasedWhenItsConnectionEnds)
{
    enum Ending { PhoneCloses, AnotherPhoneTakesOver, TrayDisconnect };
    TakeForeground();
    for (Ending ending : {PhoneCloses, AnotherPhoneTakesOver, TrayDisconnect}) {
        SOCKET phone = Connect();
        for (int32_t key : {59, 58, 55}) SendDatagram(PKT_KEY_DOWN, key);
        SendDatagram(PKT_BUTTON_DOWN, 0);
        EXPECT_TRUE(WaitUntil([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }, 2000)) << ending;
        SOCKET next = INVALID_SOCKET;
        if (ending == PhoneCloses) closesocket(phone);
        if (ending == AnotherPhoneTakesOver) next = Connect();
        if (ending == TrayDisconnect) Proc(WM_COMMAND, IDM_DISCONNECT);
        EXPECT_TRUE(WaitUntil([] { return !AnyHeld(); }, 3000)) << "still held after ending " << ending;
        if (ending != PhoneCloses) closesocket(phone);
        if (next != INVALID_SOCKET) closesocket(next);
        PumpMessagesFor(300);
    }
}

size_t WheelsSeen()
{
    size_t wheels = 0;
    for (const WatchedInput& input : WatchedInputSoFar()) wheels += input.mouse && input.message == WM_MOUSEWHEEL;
    return wheels;
}

TEST_F(ConnectionTest, AFirstDatagramMakesANewConnectionThePhoneAtOnceAndIsActedOnOnce)
{
    StartInputWatch();
    const ULONGLONG start = GetTickCount64();
    SOCKET phone = ConnectPhone();
    SendDatagram(PKT_WHEEL, 120);
    EXPECT_TRUE(WaitUntil([this] { return Label(StatusValue::Connection) == L"Connected"; }, 2000));
    EXPECT_LT(GetTickCount64() - start, 800u) << "taken over only when its judging ran out";
    PumpMessagesFor(1500);  // past the judging's second
    EXPECT_EQ(WheelsSeen(), 1u);
    StopInputWatch();
    closesocket(phone);
}

TEST_F(ConnectionTest, PausedInputIsIgnoredAndWhatThePhoneHeldIsReleased)
{
    SOCKET phone = Connect();
    TakeForeground();
    StartInputWatch();
    SendDatagram(PKT_KEY_DOWN, 59);  // Ctrl
    ASSERT_TRUE(WaitUntil([] { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }, 2000));
    for (bool paused : {true, false}) {
        EXPECT_EQ(Proc(WM_COMMAND, IDM_PAUSE), 0);
        EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0) << "still held";
        EXPECT_STREQ(TrayCallsSoFar().back().record.szTip, paused
                                                               ? L"Quorvane Palvenor Server for Windows - INPUT PAUSED"
                                                               : L"Quorvane Palvenor Server for Windows - CONNECTED");
        ClearWatchedInput();
        SendDatagram(PKT_WHEEL, 120);
        PumpMessagesFor(500);
        EXPECT_EQ(WheelsSeen(), paused ? 0u : 1u) << "paused " << paused;
        EXPECT_TRUE(PhoneConnected());
    }
    StopInputWatch();
    closesocket(phone);
}

TEST_F(ConnectionTest, NoOtherProgramCanShareThePort)
{
    for (int type : {SOCK_STREAM, SOCK_DGRAM}) {
        SOCKET other = socket(AF_INET, type, 0);
        const BOOL reuse = TRUE;
        setsockopt(other, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(4026);
        EXPECT_NE(bind(other, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << "socket type " << type;
        closesocket(other);
    }
}

TEST_F(ConnectionTest, AnAcceptWithNobodyWaitingChangesNothing)
{
    EXPECT_EQ(Proc(WM_SOCKET_EVENT, 0, FD_ACCEPT), TRUE) << "left to the dialog manager, as DM_REPOSITION";
    EXPECT_EQ(PhoneConnected(), false);
    EXPECT_TRUE(TrayCallsSoFar().empty());
}

TEST_F(ConnectionTest, ExitWithAPhoneConnectedEndsItFirst)
{
    SOCKET phone = Connect();
    ClearTrayCalls();
    EXPECT_EQ(Proc(WM_COMMAND, IDM_EXIT), 0);
    EXPECT_TRUE(ConnectionEnds(phone, 3000));
    EXPECT_FALSE(IsWindow(statusWindow.window));
    const auto calls = TrayCallsSoFar();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, DWORD(NIM_MODIFY));
    EXPECT_EQ(calls[0].record.szTip, std::wstring(L"Quorvane Palvenor Server for Windows - NOT CONNECTED"));
    EXPECT_EQ(calls[1].message, DWORD(NIM_DELETE));
    closesocket(phone);
}

TEST_F(ConnectionTest, SecondPhoneTakesOverAndTheFirstSeesItsEnd)
{
    SOCKET first = Connect();
    SOCKET second = Connect();
    EXPECT_TRUE(ConnectionEnds(first, 3000)) << "the first phone's socket was not closed";
    PumpMessagesFor(500);
    EXPECT_EQ(PhoneConnected(), true);
    EXPECT_EQ(Label(StatusValue::Connection), L"Connected");
    // One monitor watches the second phone: one heartbeat per five seconds, not two.
    const std::string beats = ReceiveFor(second, 32, 6500);
    EXPECT_EQ(beats, std::string(16, '\0'));
    EXPECT_EQ(Label(StatusValue::Connection), L"Connected");
    closesocket(first);
    closesocket(second);
}

TEST_F(ConnectionTest, TwentyTakeoversLeaveOneWorkingConnection)
{
    std::vector<SOCKET> phones;
    for (int i = 0; i < 20; ++i) phones.push_back(Connect());
    for (size_t i = 0; i + 1 < phones.size(); ++i) EXPECT_TRUE(ConnectionEnds(phones[i], 3000)) << "phone " << i;
    EXPECT_EQ(PhoneConnected(), true);
    EXPECT_EQ(ReceiveFor(phones.back(), 32, 6500), std::string(16, '\0'));
    closesocket(phones.back());
    ExpectNotConnectedAfterMonitor();
    for (size_t i = 0; i + 1 < phones.size(); ++i) closesocket(phones[i]);
}

}  // namespace

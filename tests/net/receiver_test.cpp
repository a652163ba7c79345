// The input receiver on UDP port 4026 driven by the phone simulator, with the real pointer and
// keyboard of the Wine desktop.
#include <string>

#include "input/packet.h"
#include "net/receiver.h"
#include "support/net_fixture.h"
#include "support/win_test_support.h"

namespace {

class ReceiverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WSADATA network;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 1), &network), 0);
        ResetInputState();
        StartReceiverOnce();
        ServeInputFrom(INADDR_LOOPBACK, false);
        StartInputWatch();
    }

    void TearDown() override
    {
        StopInputWatch();
        StopServingInput();
        WSACleanup();
    }

    // Sends datagrams with phonesim, without a TCP connection.
    void Phone(const std::wstring& commands, const std::wstring& options = L"")
    {
        const std::wstring line =
            L"\"" + ProgramDirectory() + L"\\phonesim.exe\" --no-connect " + options + L" " + commands;
        ASSERT_EQ(RunProcess(line, 20000), 0) << "phonesim failed";
        PumpMessagesFor(300);
    }

    // Where the last injected move put the pointer, as the low-level hook saw it. Wine's
    // cached position is stale until a move, so moves are measured from one to the next.
    POINT Pointer()
    {
        const auto moves = Seen(true, WM_MOUSEMOVE);
        return moves.empty() ? POINT{-100000, -100000} : moves.back().point;
    }

    // After a check that nothing was acted on: the receiver is alive, and serves the phone again.
    void ExpectServedAgain()
    {
        ServeInputFrom(INADDR_LOOPBACK, false);
        Phone(L"wheel 120");
        EXPECT_EQ(Seen(true, WM_MOUSEWHEEL).size(), 1u) << "the receiver acts on nothing at all";
    }

    std::vector<WatchedInput> Seen(bool mouse, WPARAM message)
    {
        std::vector<WatchedInput> found;
        for (const WatchedInput& input : WatchedInputSoFar())
            if (input.mouse == mouse && input.message == message) found.push_back(input);
        return found;
    }
};

TEST_F(ReceiverTest, WrongSizesDoNotBreakAMovePair)
{
    Phone(L"move 2 2");
    const POINT before = Pointer();
    Phone(L"packet 6 4 datagram 15 datagram 17 datagram 0 datagram 2000 packet 7 5");
    const POINT after = Pointer();
    EXPECT_EQ(after.x - before.x, 8);
    EXPECT_EQ(after.y - before.y, 10);
}

TEST_F(ReceiverTest, ButtonsAndWheelsReachTheSystem)
{
    Phone(L"click 0 click 1 click 2 click 3 click 4 wheel 120 hwheel 240");
    const struct {
        WPARAM message;
        size_t count;
    } expected[] = {{WM_LBUTTONDOWN, 1}, {WM_LBUTTONUP, 1},  {WM_RBUTTONDOWN, 1}, {WM_RBUTTONUP, 1},
                    {WM_MBUTTONDOWN, 1}, {WM_MBUTTONUP, 1},  {WM_XBUTTONDOWN, 2}, {WM_XBUTTONUP, 2},
                    {WM_MOUSEWHEEL, 1},  {WM_MOUSEHWHEEL, 1}};
    for (const auto& e : expected) EXPECT_EQ(Seen(true, e.message).size(), e.count) << "message " << e.message;
    const auto extra = Seen(true, WM_XBUTTONDOWN);
    ASSERT_EQ(extra.size(), 2u);
    EXPECT_EQ(HIWORD(extra[0].code), XBUTTON1);
    EXPECT_EQ(HIWORD(extra[1].code), XBUTTON2);
    const auto wheel = Seen(true, WM_MOUSEWHEEL);
    ASSERT_EQ(wheel.size(), 1u);
    EXPECT_EQ(short(HIWORD(wheel[0].code)), -120) << "a positive amount turns the wheel toward the user";
    const auto hwheel = Seen(true, WM_MOUSEHWHEEL);
    ASSERT_EQ(hwheel.size(), 1u);
    EXPECT_EQ(short(HIWORD(hwheel[0].code)), 240);
}

LRESULT CALLBACK PlainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window with an edit control that has the keyboard focus; destroyed with the test's window.
struct TypingTarget {
    HWND window = nullptr;
    HWND edit = nullptr;
    TypingTarget()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = PlainWindow;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ReceiverTestWindow";
        RegisterClassW(&windowClass);
        window = CreateWindowW(L"ReceiverTestWindow", L"typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200,
                               nullptr, nullptr, windowClass.hInstance, nullptr);
        edit = CreateWindowW(L"Edit", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 300, 24, window, nullptr,
                             windowClass.hInstance, nullptr);
        SetForegroundWindow(window);
        SetFocus(edit);
        PumpMessagesFor(500);
    }
    ~TypingTarget() { DestroyWindow(window); }
};

TEST_F(ReceiverTest, TextAndSpecialKeysTypeIntoARealEditControl)
{
    TypingTarget target;
    ASSERT_EQ(GetForegroundWindow(), target.window) << "Windows kept another window in front of the tests' own";
    ASSERT_EQ(GetFocus(), target.edit);
    // Backspace takes the "!", Left steps back over the "d".
    Phone(L"text Hello, World! keydown 51 keyup 51 keydown 123 keyup 123 text X");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(target.edit) == L"Hello, WorlXd"; }, 3000))
        << WindowText(target.edit).c_str();
    Phone(L"keydown 56 keyup 56");  // unmapped: a beep, no key
    EXPECT_EQ(WindowText(target.edit), L"Hello, WorlXd");
}

TEST_F(ReceiverTest, CharactersTheLayoutLacksArriveAsThemselves)
{
    TypingTarget target;
    ASSERT_EQ(GetForegroundWindow(), target.window) << "Windows kept another window in front of the tests' own";
    ASSERT_EQ(GetFocus(), target.edit);
    const std::wstring text = L"a\u00e9\u4e2d\xD83D\xDE00Z\u20ac";  // "aé中", an emoji, "Z€"
    Phone(L"text " + text);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(target.edit) == text; }, 3000)) << WindowText(target.edit).size();
    const auto keys = Seen(false, WM_KEYDOWN);
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.front().code, DWORD('A')) << "\"a\" was not typed with its own key";
}

TEST_F(ReceiverTest, DatagramsFromAnotherHostAreDropped)
{
    // Wine sends every loopback datagram from 127.0.0.1, so here the phone is the other address.
    ServeInputFrom(INADDR_LOOPBACK + 1, false);
    Phone(L"move 10 10 click 1 text x");
    EXPECT_TRUE(WatchedInputSoFar().empty()) << "input from a host that is not the phone was acted on";
    ExpectServedAgain();
}

TEST_F(ReceiverTest, NothingIsActedOnOnceServingStops)
{
    Phone(L"move 2 2");
    const POINT before = Pointer();
    StopServingInput();
    Phone(L"click 1 move 10 10");
    EXPECT_TRUE(Seen(true, WM_RBUTTONDOWN).empty()) << "a click after the disconnect was acted on";
    EXPECT_EQ(Pointer().x, before.x);
    ExpectServedAgain();
}

TEST_F(ReceiverTest, EachPhoneStartsAfreshWithTheDatagramsItSentBeforeItWasServed)
{
    Phone(L"move 2 2");
    const POINT before = Pointer();
    Phone(L"packet 6 7");  // the first half of a move, then the phone is gone
    StopServingInput();
    Phone(L"packet 7 3 move 3 4");  // the next phone's, before it is served: held, none acted on
    EXPECT_EQ(Pointer().x, before.x);
    ServeInputFrom(INADDR_LOOPBACK, true);
    PumpMessagesFor(300);
    const POINT after = Pointer();
    EXPECT_EQ(after.x - before.x, 6) << "the held move, once, without the last phone's half";
    EXPECT_EQ(after.y - before.y, 8);
    EXPECT_EQ(Seen(true, WM_MOUSEMOVE).size(), 2u);
}

}  // namespace

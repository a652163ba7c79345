// The input core driven with wire bytes, as the receiver drives it, against the recorder.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "input/inject.h"
#include "input/packet.h"
#include "recorder.h"

namespace {

using Events = std::vector<RecordedEvent>;

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRecorder(); }
};

void Send(int32_t type, int32_t arg1, int32_t arg2 = 0, int32_t arg3 = 0)
{
    unsigned char bytes[INPUT_PACKET_SIZE];
    EncodeInputPacket(InputPacket{type, arg1, arg2, arg3}, bytes);
    DispatchInputPacket(DecodeInputPacket(bytes));
}

TEST(DecodeTest, WordsAreBigEndianAndSigned)
{
    const unsigned char bytes[16] = {0x00, 0x00, 0x00, 0x0D, 0xFF, 0xFF, 0xFF, 0xFD,
                                     0x12, 0x34, 0x56, 0x78, 0x80, 0x00, 0x00, 0x00};
    const InputPacket packet = DecodeInputPacket(bytes);
    EXPECT_EQ(packet.type, PKT_CHAR);
    EXPECT_EQ(packet.arg1, -3);
    EXPECT_EQ(packet.arg2, 0x12345678);
    EXPECT_EQ(packet.arg3, INT32_MIN);
}

TEST(DecodeTest, EncodeIsItsInverse)
{
    const InputPacket packet{-1, 0x7FFFFFFF, INT32_MIN, 0x01020304};
    unsigned char bytes[16];
    EncodeInputPacket(packet, bytes);
    EXPECT_EQ(bytes[12], 0x01);
    EXPECT_EQ(bytes[15], 0x04);
    const InputPacket back = DecodeInputPacket(bytes);
    EXPECT_EQ(back.type, packet.type);
    EXPECT_EQ(back.arg1, packet.arg1);
    EXPECT_EQ(back.arg2, packet.arg2);
    EXPECT_EQ(back.arg3, packet.arg3);
}

TEST_F(InputTest, TypeIsComparedAsAWholeWord)
{
    // 0x0100000D and 0x0000010D share the low byte of PKT_CHAR but are not PKT_CHAR.
    Send(0x0100000D, 0x61);
    Send(0x0000010D, 0x61);
    Send(PKT_BUTTON_DOWN | 0x100, 0);
    EXPECT_EQ(recordedEvents, Events{});
}

TEST_F(InputTest, MovePairMovesByTwiceEachDistance)
{
    Send(PKT_MOVE_X, -3);
    EXPECT_EQ(recordedEvents, Events{});
    Send(PKT_MOVE_Y, 7);
    EXPECT_EQ(recordedEvents, Events{MouseEvent(MOUSE_MOVE, -6, 14)});
}

TEST_F(InputTest, MoveDistancesWrapInThirtyTwoBits)
{
    Send(PKT_MOVE_X, 0x40000000);
    Send(PKT_MOVE_Y, INT32_MIN);
    EXPECT_EQ(recordedEvents, Events{MouseEvent(MOUSE_MOVE, INT32_MIN, 0)});
}

TEST_F(InputTest, SecondHalfWithoutFirstHalfDoesNothing)
{
    Send(PKT_MOVE_Y, 5);  // first packet since start-up
    Send(PKT_MOVE_X, 1);
    Send(PKT_MOVE_Y, 2);
    Send(PKT_MOVE_Y, 3);  // a second y after one x does not move again
    EXPECT_EQ(recordedEvents, Events{MouseEvent(MOUSE_MOVE, 2, 4)});
}

// Any other packet between the halves breaks the pair; one of a type the phone does not send acts
// on nothing itself.
TEST_F(InputTest, AnyPacketBetweenTheHalvesBreaksThePairAndUnknownOnesActOnNothing)
{
    for (int32_t between : {0, 3, 8, 9, 11, 12, 15, 1000, -1, -6, INT32_MIN, PKT_BUTTON_UP}) {
        ResetRecorder();
        Send(PKT_MOVE_X, 5);
        Send(between, 0x41, 7, 9);
        Send(PKT_MOVE_Y, 1);
        const Events expected =
            between == PKT_BUTTON_UP ? Events{MouseEvent(MOUSE_LEFTUP, 0, 0, 0)} : Events{};  // 0x41: no button of its own
        EXPECT_EQ(recordedEvents, expected) << "between type " << between;
    }
}

TEST_F(InputTest, ButtonsFollowTheTableByTheLowByte)
{
    struct Case {
        int32_t arg1;
        uint32_t press, release;
        int32_t data;
    } cases[] = {
        {0, MOUSE_LEFTDOWN, MOUSE_LEFTUP, 0},
        {1, MOUSE_RIGHTDOWN, MOUSE_RIGHTUP, 0},
        {2, MOUSE_MIDDLEDOWN, MOUSE_MIDDLEUP, 0},
        {3, MOUSE_XDOWN, MOUSE_XUP, MOUSE_XBUTTON1},
        {4, MOUSE_XDOWN, MOUSE_XUP, MOUSE_XBUTTON2},
        {0x101, MOUSE_RIGHTDOWN, MOUSE_RIGHTUP, 0},
        {5, MOUSE_LEFTDOWN, MOUSE_LEFTUP, 0},
        {200, MOUSE_LEFTDOWN, MOUSE_LEFTUP, 0},
        {255, MOUSE_LEFTDOWN, MOUSE_LEFTUP, 0},
        {-1, MOUSE_LEFTDOWN, MOUSE_LEFTUP, 0},
        {0x7FFFFF04, MOUSE_XDOWN, MOUSE_XUP, MOUSE_XBUTTON2},
    };
    for (const Case& c : cases) {
        ResetRecorder();
        Send(PKT_BUTTON_DOWN, c.arg1);
        Send(PKT_BUTTON_UP, c.arg1);
        EXPECT_EQ(recordedEvents, (Events{MouseEvent(c.press, 0, 0, c.data), MouseEvent(c.release, 0, 0, c.data)}))
            << "arg1 " << c.arg1;
    }
}

TEST_F(InputTest, ReleaseWithoutPressIsStillSent)
{
    Send(PKT_BUTTON_UP, 1);
    EXPECT_EQ(recordedEvents, Events{MouseEvent(MOUSE_RIGHTUP)});
}

TEST_F(InputTest, VerticalWheelIsNegatedHorizontalIsNot)
{
    Send(PKT_WHEEL, 120);
    Send(PKT_HWHEEL, 120);
    Send(PKT_WHEEL, -240);
    Send(PKT_WHEEL, INT32_MIN);  // negation wraps instead of overflowing
    EXPECT_EQ(recordedEvents, (Events{MouseEvent(MOUSE_WHEEL, 0, 0, -120), MouseEvent(MOUSE_HWHEEL, 0, 0, 120),
                                      MouseEvent(MOUSE_WHEEL, 0, 0, 240), MouseEvent(MOUSE_WHEEL, 0, 0, INT32_MIN)}));
}

TEST_F(InputTest, SpecialKeysFollowTheTableByTheLowByte)
{
    const struct {
        int32_t code;
        uint8_t virtualKey;
    } keys[] = {{51, VKEY_BACK},  {52, VKEY_RETURN}, {55, VKEY_LWIN},  {58, VKEY_MENU},  {59, VKEY_CONTROL},
                {123, VKEY_LEFT}, {124, VKEY_RIGHT}, {125, VKEY_DOWN}, {126, VKEY_UP}, {0x17B, VKEY_LEFT}};
    for (const auto& key : keys) {
        ResetRecorder();
        Send(PKT_KEY_DOWN, key.code);
        Send(PKT_KEY_UP, key.code);
        EXPECT_EQ(recordedEvents, (Events{KeyEvent(key.virtualKey, 0), KeyEvent(key.virtualKey, KEY_UP)}))
            << "code " << key.code;
    }
}

// Each key goes with the scan code of the layout typed in and the extended flag of its position
// (taken from the key where the layout's table lacks the 0xE0 byte, as Wine's does); a character's
// keys go in one call, and a release repeats its press exactly, whatever the layout is by then.
TEST_F(InputTest, KeysCarryTheLayoutsScanCodesAndTheirPositionsExtendedFlag)
{
    const uint32_t E = KEY_EXTENDED, U = KEY_UP;
    const int32_t CONNECTION_ENDS = -1;  // not a packet: what the one owner of the connection does
    const struct {
        const char* name;
        std::vector<std::pair<int32_t, int32_t>> packets;  // type, arg1
        bool switchLayoutBeforeTheLast;
        Events events;
    } cases[] = {
        {"a shifted character, in one call", {{PKT_CHAR, 0x41}}, false,
         {KeyEvent(VKEY_SHIFT, 0, 0x2A), KeyEvent(0x41, 0, 0x1E, true), KeyEvent(VKEY_SHIFT, U, 0x2A, true),
          KeyEvent(0x41, U, 0x1E, true)}},
        {"an arrow without the layout's 0xE0", {{PKT_KEY_DOWN, 123}, {PKT_KEY_UP, 123}}, false,
         {KeyEvent(VKEY_LEFT, E, 0x4B), KeyEvent(VKEY_LEFT, E | U, 0x4B)}},
        {"an arrow with it", {{PKT_KEY_DOWN, 125}, {PKT_KEY_UP, 125}}, false,
         {KeyEvent(VKEY_DOWN, E, 0x50), KeyEvent(VKEY_DOWN, E | U, 0x50)}},
        {"a key the layout has no scan code for", {{PKT_KEY_DOWN, 51}, {PKT_KEY_UP, 51}}, false,
         {KeyEvent(VKEY_BACK, 0), KeyEvent(VKEY_BACK, U)}},
        {"released after the layout changed", {{PKT_KEY_DOWN, 55}, {PKT_KEY_UP, 55}}, true,
         {KeyEvent(VKEY_LWIN, E, 0x5B), KeyEvent(VKEY_LWIN, E | U, 0x5B)}},
        {"still held when the connection ends", {{PKT_KEY_DOWN, 55}, {CONNECTION_ENDS, 0}}, true,
         {KeyEvent(VKEY_LWIN, E, 0x5B), KeyEvent(VKEY_LWIN, E | U, 0x5B)}},
    };
    for (const auto& c : cases) {
        ResetRecorder();
        recordedScanCodes = {{{US_LAYOUT, VKEY_SHIFT}, 0x2A},  {{US_LAYOUT, 0x41}, 0x1E},      {{US_LAYOUT, VKEY_LEFT}, 0x4B},
                             {{US_LAYOUT, VKEY_DOWN}, 0xE050}, {{US_LAYOUT, VKEY_LWIN}, 0x5B}, {{SECOND_LAYOUT, VKEY_LWIN}, 0x7F}};
        for (size_t i = 0; i < c.packets.size(); ++i) {
            if (c.switchLayoutBeforeTheLast && i + 1 == c.packets.size()) foregroundLayout = SECOND_LAYOUT;
            if (c.packets[i].first == CONNECTION_ENDS)
                ReleaseHeldInput();
            else
                Send(c.packets[i].first, c.packets[i].second);
        }
        EXPECT_EQ(recordedEvents, c.events) << c.name;
    }
}

TEST_F(InputTest, UnmappedSpecialKeysBeepAndSendNothing)
{
    for (int32_t code = 0; code < 256; ++code) {
        const bool mapped = code == 51 || code == 52 || code == 55 || code == 58 || code == 59 ||
                            (code >= 123 && code <= 126);
        if (mapped) continue;
        ResetRecorder();
        Send(PKT_KEY_DOWN, code);
        Send(PKT_KEY_UP, code);
        EXPECT_EQ(recordedEvents, (Events{BeepEvent(), BeepEvent()})) << "code " << code;
    }
}

TEST_F(InputTest, CharactersTakeTheLayoutsKeyOrAreTypedAsUnicodeUnits)
{
    const auto key = [](uint8_t virtualKey) { return Events{KeyEvent(virtualKey, 0), KeyEvent(virtualKey, KEY_UP)}; };
    const auto unit = [](uint16_t u) { return Events{UnicodeEvent(u, 0), UnicodeEvent(u, KEY_UP, true)}; };
    const Events shifted{KeyEvent(VKEY_SHIFT, 0), KeyEvent(0x41, 0), KeyEvent(VKEY_SHIFT, KEY_UP), KeyEvent(0x41, KEY_UP)};
    const Events altGr{KeyEvent(VKEY_CONTROL, 0), KeyEvent(VKEY_MENU, 0), KeyEvent(0x45, 0),
                       KeyEvent(VKEY_CONTROL, KEY_UP), KeyEvent(VKEY_MENU, KEY_UP), KeyEvent(0x45, KEY_UP)};
    const struct {
        int32_t arg1;
        Events events;
    } cases[] = {
        {0x61, key(0x41)},        // plain
        {0x41, shifted},          // Shift, then the key; Shift released before the key
        {0x10041, shifted},       // only the low 16 bits count
        {0x20AC, altGr},          // AltGr is Ctrl+Alt
        {0x0D, key(VKEY_RETURN)}, // Enter
        {0x0A, key(VKEY_RETURN)}, // the layout says Ctrl+Enter; Enter is always plain
        {0x5E, unit(0x5E)},       // on a dead key, which would combine with the next character
        {0xE9, unit(0xE9)},       // missing: é
        {0x4E2D, unit(0x4E2D)},   // missing: 中
        {0xD83D, {}},             // the high half of an emoji waits for the low half
        {0xDE00, {}},             // a low half alone is dropped
    };
    for (const auto& c : cases) {
        ResetRecorder();
        Send(PKT_CHAR, c.arg1);
        EXPECT_EQ(recordedEvents, c.events) << "character 0x" << std::hex << c.arg1;
    }
}

// A layout may put a dead key in any shift state of a key whose other states type plainly.
TEST_F(InputTest, ACharacterOnADeadKeyInItsOwnShiftStateIsTypedAsUnicode)
{
    const auto key = [](uint8_t virtualKey) { return Events{KeyEvent(virtualKey, 0), KeyEvent(virtualKey, KEY_UP)}; };
    const auto unit = [](uint16_t u) { return Events{UnicodeEvent(u, 0), UnicodeEvent(u, KEY_UP, true)}; };
    const struct {
        const char* layout;
        std::map<uint16_t, uint16_t> keys;  // character: shift state and virtual key
        std::set<uint16_t> dead;
        uint16_t character;
        Events events;
    } cases[] = {
        {"US-International Shift+6", {{0x36, 0x0036}, {0x5E, 0x0136}}, {0x0136}, 0x5E, unit(0x5E)},
        {"US-International 6", {{0x36, 0x0036}, {0x5E, 0x0136}}, {0x0136}, 0x36, key(0x36)},
        {"French AltGr+2", {{0xE9, 0x0032}, {0x7E, 0x0632}}, {0x0632}, 0x7E, unit(0x7E)},
        {"French 2", {{0xE9, 0x0032}, {0x7E, 0x0632}}, {0x0632}, 0xE9, key(0x32)},
        {"French AltGr+7", {{0xE8, 0x0037}, {0x60, 0x0637}}, {0x0637}, 0x60, unit(0x60)},
        {"German AltGr+plus", {{0x2B, 0x00BB}, {0x7E, 0x06BB}}, {0x06BB}, 0x7E, unit(0x7E)},
    };
    for (const auto& c : cases) {
        ResetRecorder();
        recordedLayout = c.keys;
        recordedDeadKeys = c.dead;
        Send(PKT_CHAR, c.character);
        EXPECT_EQ(recordedEvents, c.events) << c.layout;
    }
}

TEST_F(InputTest, EachPhoneStartsAfreshAndKeepsTheModifiersItHolds)
{
    const auto unit = [](uint16_t u) { return Events{UnicodeEvent(u, 0), UnicodeEvent(u, KEY_UP, true)}; };
    const Events pair{UnicodeEvent(0xD83D, 0), UnicodeEvent(0xD83D, KEY_UP, true), UnicodeEvent(0xDE00, 0, true),
                      UnicodeEvent(0xDE00, KEY_UP, true)};
    constexpr int32_t NEW_PHONE = -1;
    const struct {
        const char* what;
        std::vector<std::pair<int32_t, int32_t>> packets;  // type and arg1; NEW_PHONE: a new phone
        Events events;
    } cases[] = {
        {"an emoji's halves", {{PKT_CHAR, 0xD83D}, {PKT_CHAR, 0xDE00}}, pair},
        {"a high half with no low half", {{PKT_CHAR, 0xD83D}, {PKT_CHAR, 0x4E2D}}, unit(0x4E2D)},
        {"a high half, then a new phone", {{PKT_CHAR, 0xD83D}, {NEW_PHONE, 0}, {PKT_CHAR, 0xDE00}}, {}},
        {"a move's first half, then a new phone", {{PKT_MOVE_X, 5}, {NEW_PHONE, 0}, {PKT_MOVE_Y, 5}}, {}},
        {"Shift while the phone holds Ctrl",
         {{PKT_KEY_DOWN, 59}, {PKT_CHAR, 0x41}},
         {KeyEvent(VKEY_CONTROL, 0), KeyEvent(VKEY_SHIFT, 0), KeyEvent(0x41, 0), KeyEvent(VKEY_SHIFT, KEY_UP),
          KeyEvent(0x41, KEY_UP)}},
        {"AltGr while the phone holds Ctrl",
         {{PKT_KEY_DOWN, 59}, {PKT_CHAR, 0x20AC}},
         {KeyEvent(VKEY_CONTROL, 0), KeyEvent(VKEY_MENU, 0), KeyEvent(0x45, 0), KeyEvent(VKEY_MENU, KEY_UP),
          KeyEvent(0x45, KEY_UP)}},
        {"AltGr while the phone holds Ctrl and Alt",
         {{PKT_KEY_DOWN, 59}, {PKT_KEY_DOWN, 58}, {PKT_CHAR, 0x20AC}},
         {KeyEvent(VKEY_CONTROL, 0), KeyEvent(VKEY_MENU, 0), KeyEvent(0x45, 0), KeyEvent(0x45, KEY_UP)}},
    };
    for (const auto& c : cases) {
        ResetRecorder();
        for (const auto& packet : c.packets)
            packet.first == NEW_PHONE ? ResetInputState() : Send(packet.first, packet.second);
        EXPECT_EQ(recordedEvents, c.events) << c.what;
        ReleaseHeldInput();
    }
}

TEST_F(InputTest, AllModifiersGoInTheOrderShiftCtrlAlt)
{
    recordedLayout[0x20AC] = 0x0745;  // a character the layout types with Shift, Ctrl and Alt
    Send(PKT_CHAR, 0x20AC);
    EXPECT_EQ(recordedEvents,
              (Events{KeyEvent(VKEY_SHIFT, 0), KeyEvent(VKEY_CONTROL, 0), KeyEvent(VKEY_MENU, 0), KeyEvent(0x45, 0),
                      KeyEvent(VKEY_SHIFT, KEY_UP), KeyEvent(VKEY_CONTROL, KEY_UP), KeyEvent(VKEY_MENU, KEY_UP),
                      KeyEvent(0x45, KEY_UP)}));
}

TEST_F(InputTest, EachCharacterTakesTheKeyOfTheLayoutTypedInNow)
{
    const auto key = [](uint8_t virtualKey) { return Events{KeyEvent(virtualKey, 0), KeyEvent(virtualKey, KEY_UP)}; };
    const auto unit = [](uint16_t u) { return Events{UnicodeEvent(u, 0), UnicodeEvent(u, KEY_UP, true)}; };
    const struct {
        uintptr_t layout;
        int32_t character;
        Events events;
    } cases[] = {
        {US_LAYOUT, 0x61, key(0x41)},         // "a"
        {SECOND_LAYOUT, 0x61, unit(0x61)},    // not on the Russian layout
        {SECOND_LAYOUT, 0x0444, key(0x41)},   // "ф", on the key of "a"
        {US_LAYOUT, 0x0444, unit(0x0444)},
        {SECOND_LAYOUT, 0x30A2, unit(0x30A2)},  // needs the Kana shift state
    };
    for (const auto& c : cases) {
        ResetRecorder();
        foregroundLayout = c.layout;
        Send(PKT_CHAR, c.character);
        EXPECT_EQ(recordedEvents, c.events) << std::hex << c.layout << " " << c.character;
    }
}

TEST_F(InputTest, ReleasingHeldInputLetsGoOfExactlyWhatThePhoneStillHolds)
{
    Send(PKT_KEY_DOWN, 59);      // Ctrl
    Send(PKT_KEY_DOWN, 55);      // Windows key
    Send(PKT_KEY_DOWN, 58);      // Alt
    Send(PKT_KEY_DOWN, 51);      // Backspace, released below
    Send(PKT_KEY_UP, 51);
    Send(PKT_BUTTON_DOWN, 3);    // first extra button
    Send(PKT_BUTTON_DOWN, 200);  // an unknown button acts as the left one
    Send(PKT_BUTTON_DOWN, 1);    // right, released below
    Send(PKT_BUTTON_UP, 1);
    recordedEvents.clear();
    ReleaseHeldInput();
    EXPECT_EQ(recordedEvents, (Events{KeyEvent(VKEY_CONTROL, KEY_UP), KeyEvent(VKEY_MENU, KEY_UP),
                                      KeyEvent(VKEY_LWIN, KEY_UP), MouseEvent(MOUSE_LEFTUP),
                                      MouseEvent(MOUSE_XUP, 0, 0, MOUSE_XBUTTON1)}));
    recordedEvents.clear();
    ReleaseHeldInput();
    EXPECT_EQ(recordedEvents, Events{}) << "released twice";
}

}  // namespace

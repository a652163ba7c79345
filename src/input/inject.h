// The platform's input-injection calls, behind one seam: Windows builds link inject_win32.cpp,
// native tests link a recorder. The values are the platform's own, spelled out here so that
// the input core compiles without <windows.h>.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t MOUSE_MOVE = 0x0001;        // MOUSEEVENTF_MOVE
constexpr uint32_t MOUSE_LEFTDOWN = 0x0002;    // MOUSEEVENTF_LEFTDOWN
constexpr uint32_t MOUSE_LEFTUP = 0x0004;      // MOUSEEVENTF_LEFTUP
constexpr uint32_t MOUSE_RIGHTDOWN = 0x0008;   // MOUSEEVENTF_RIGHTDOWN
constexpr uint32_t MOUSE_RIGHTUP = 0x0010;     // MOUSEEVENTF_RIGHTUP
constexpr uint32_t MOUSE_MIDDLEDOWN = 0x0020;  // MOUSEEVENTF_MIDDLEDOWN
constexpr uint32_t MOUSE_MIDDLEUP = 0x0040;    // MOUSEEVENTF_MIDDLEUP
constexpr uint32_t MOUSE_XDOWN = 0x0080;       // MOUSEEVENTF_XDOWN
constexpr uint32_t MOUSE_XUP = 0x0100;         // MOUSEEVENTF_XUP
constexpr uint32_t MOUSE_WHEEL = 0x0800;       // MOUSEEVENTF_WHEEL
constexpr uint32_t MOUSE_HWHEEL = 0x1000;      // MOUSEEVENTF_HWHEEL
constexpr int32_t MOUSE_XBUTTON1 = 1;          // XBUTTON1
constexpr int32_t MOUSE_XBUTTON2 = 2;          // XBUTTON2

constexpr uint32_t KEY_EXTENDED = 0x0001;  // KEYEVENTF_EXTENDEDKEY
constexpr uint32_t KEY_UP = 0x0002;        // KEYEVENTF_KEYUP

constexpr uint8_t VKEY_BACK = 0x08;
constexpr uint8_t VKEY_RETURN = 0x0D;
constexpr uint8_t VKEY_SHIFT = 0x10;
constexpr uint8_t VKEY_CONTROL = 0x11;
constexpr uint8_t VKEY_MENU = 0x12;
constexpr uint8_t VKEY_LEFT = 0x25;
constexpr uint8_t VKEY_UP = 0x26;
constexpr uint8_t VKEY_RIGHT = 0x27;
constexpr uint8_t VKEY_DOWN = 0x28;
constexpr uint8_t VKEY_LWIN = 0x5B;

constexpr uint16_t NO_KEY_FOR_CHARACTER = 0xFFFF;  // what the layout lookup returns for "no key"

// A keyboard layout (an HKL).
using KeyboardLayout = uintptr_t;

// One mouse event, handed to the system alone (SendInput); false where Windows refused it (the
// secure desktop, a locked session), and it is then dropped, never retried.
bool InjectMouseEvent(uint32_t flags, int32_t dx, int32_t dy, int32_t data);
// One press or release as a physical keyboard sends it: the virtual key, and the scan code of
// that key in the layout typed in (0 where the layout has none) with KEY_EXTENDED for a key in
// the extended positions.
struct KeyStroke {
    uint8_t virtualKey;
    uint16_t scanCode;
    uint32_t flags;  // KEY_UP, KEY_EXTENDED
};
// The strokes handed to the system in one call (SendInput), so that no key of the PC's own
// keyboard falls between them.
void InjectKeys(const KeyStroke* strokes, size_t count);
// The layout of the thread that owns the foreground window: the one the user types in now.
KeyboardLayout ForegroundLayout();
// The key's scan code in the layout, with 0xE0 in the high byte for an extended one, or 0 where
// the layout has none: MapVirtualKeyEx with MAPVK_VK_TO_VSC_EX.
uint16_t LookUpScanCode(uint8_t virtualKey, KeyboardLayout layout);
uint16_t LookUpCharacterKey(uint16_t character, KeyboardLayout layout);  // VkKeyScanExW
// Whether the key, in the shift state of a layout lookup's high byte, is a dead key there: its
// character would wait for the next one and join it. ToUnicodeEx, leaving the keyboard state alone.
bool KeyIsDead(uint8_t virtualKey, uint8_t shiftState, KeyboardLayout layout);
// UTF-16 units typed as themselves, whatever the layout, each pressed and released, all in one
// call (SendInput with KEYEVENTF_UNICODE), so that both halves of a pair arrive together.
void InjectUnicodeUnits(const uint16_t* units, size_t count);
void PlayDefaultBeep();                           // MessageBeep(MB_OK)

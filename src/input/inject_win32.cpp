// The injection seam on Windows: each call is the platform's own.
#include <windows.h>

#include "input/inject.h"

static_assert(MOUSE_MOVE == MOUSEEVENTF_MOVE && MOUSE_WHEEL == MOUSEEVENTF_WHEEL && MOUSE_HWHEEL == MOUSEEVENTF_HWHEEL,
              "mouse flags");
static_assert(MOUSE_XDOWN == MOUSEEVENTF_XDOWN && MOUSE_XUP == MOUSEEVENTF_XUP && MOUSE_XBUTTON2 == XBUTTON2,
              "extra buttons");
static_assert(KEY_UP == KEYEVENTF_KEYUP && VKEY_LWIN == VK_LWIN && VKEY_RETURN == VK_RETURN, "keys");

void InjectMouseEvent(uint32_t flags, int32_t dx, int32_t dy, int32_t data)
{
    mouse_event(flags, DWORD(dx), DWORD(dy), DWORD(data), 0);
}

void InjectKeyEvent(uint8_t virtualKey, uint32_t flags) { keybd_event(virtualKey, 0, flags, 0); }

KeyboardLayout ForegroundLayout()
{
    // With no foreground window, thread 0 gives the calling thread's layout.
    return KeyboardLayout(GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)));
}

uint16_t LookUpCharacterKey(uint16_t character, KeyboardLayout layout)
{
    return uint16_t(VkKeyScanExW(wchar_t(character), HKL(layout)));
}

uint32_t CharacterOfKey(uint8_t virtualKey, KeyboardLayout layout)
{
    return MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_CHAR, HKL(layout));
}

void InjectUnicodeUnit(uint16_t unit, uint32_t flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = unit;  // wVk stays 0: the unit itself is the key
    input.ki.dwFlags = KEYEVENTF_UNICODE | flags;
    (void)SendInput(1, &input, sizeof input);  // refused only where the system blocks injection altogether
}

void PlayDefaultBeep() { MessageBeep(MB_OK); }

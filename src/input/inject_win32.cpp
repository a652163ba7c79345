// The injection seam on Windows: each call is the platform's own.
#include <windows.h>

#include "input/inject.h"

static_assert(MOUSE_MOVE == MOUSEEVENTF_MOVE && MOUSE_WHEEL == MOUSEEVENTF_WHEEL && MOUSE_HWHEEL == MOUSEEVENTF_HWHEEL,
              "mouse flags");
static_assert(MOUSE_XDOWN == MOUSEEVENTF_XDOWN && MOUSE_XUP == MOUSEEVENTF_XUP && MOUSE_XBUTTON2 == XBUTTON2,
              "extra buttons");
static_assert(KEY_UP == KEYEVENTF_KEYUP && KEY_EXTENDED == KEYEVENTF_EXTENDEDKEY && VKEY_LWIN == VK_LWIN &&
                  VKEY_RETURN == VK_RETURN,
              "keys");

bool InjectMouseEvent(uint32_t flags, int32_t dx, int32_t dy, int32_t data)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = DWORD(data);
    input.mi.dwFlags = flags;
    return SendInput(1, &input, sizeof input) == 1;
}

// Both the virtual key and the scan code, never KEYEVENTF_SCANCODE: Windows would then take the
// key from the scan code by its own US idea of it, and other layouts would type other keys.
void InjectKeys(const KeyStroke* strokes, size_t count)
{
    INPUT inputs[8] = {};
    while (count > 0) {
        const size_t batch = count < ARRAYSIZE(inputs) ? count : ARRAYSIZE(inputs);
        for (size_t i = 0; i < batch; ++i) {
            inputs[i] = INPUT{};
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = strokes[i].virtualKey;
            inputs[i].ki.wScan = strokes[i].scanCode;
            inputs[i].ki.dwFlags = strokes[i].flags;
        }
        (void)SendInput(UINT(batch), inputs, sizeof(INPUT));  // refused only where the system blocks injection
        strokes += batch;
        count -= batch;
    }
}

uint16_t LookUpScanCode(uint8_t virtualKey, KeyboardLayout layout)
{
    return uint16_t(MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC_EX, HKL(layout)));
}

KeyboardLayout ForegroundLayout()
{
    // With no foreground window, thread 0 gives the calling thread's layout.
    return KeyboardLayout(GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr)));
}

uint16_t LookUpCharacterKey(uint16_t character, KeyboardLayout layout)
{
    return uint16_t(VkKeyScanExW(wchar_t(character), HKL(layout)));
}

bool KeyIsDead(uint8_t virtualKey, uint8_t shiftState, KeyboardLayout layout)
{
    BYTE keys[256] = {};
    if (shiftState & 0x01) keys[VK_SHIFT] = 0x80;
    if (shiftState & 0x02) keys[VK_CONTROL] = 0x80;
    if (shiftState & 0x04) keys[VK_MENU] = 0x80;
    const UINT scanCode = MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, HKL(layout));
    // Flag 4 leaves the thread's dead-key state alone (Windows 10 1607 and later). Earlier
    // systems ignore it and keep the dead key pending: the same key again types it and clears it.
    wchar_t typed[8];
    const int result = ToUnicodeEx(virtualKey, scanCode, keys, typed, ARRAYSIZE(typed), 0x4, HKL(layout));
    if (result < 0) (void)ToUnicodeEx(virtualKey, scanCode, keys, typed, ARRAYSIZE(typed), 0x4, HKL(layout));
    return result < 0;
}

void InjectUnicodeUnits(const uint16_t* units, size_t count)
{
    INPUT inputs[4] = {};
    if (count > ARRAYSIZE(inputs) / 2) count = ARRAYSIZE(inputs) / 2;  // a character is at most a pair
    for (size_t i = 0; i < 2 * count; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wScan = units[i / 2];  // wVk stays 0: the unit itself is the key
        inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i % 2 ? KEYEVENTF_KEYUP : 0);
    }
    (void)SendInput(UINT(2 * count), inputs, sizeof(INPUT));  // refused only where the system blocks injection
}

void PlayDefaultBeep() { MessageBeep(MB_OK); }

// The keys the phone presses reach a low-level keyboard hook as a physical keyboard's do: with the
// layout's scan code and, for a key in an extended position, the extended flag, even where Wine's
// layout table leaves out the 0xE0 byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "input/packet.h"
#include "support/win_test_support.h"

namespace {

std::string seen;

// One key event as "virtual key/scan code/flags"; Windows names the Shift pressed for a character
// by its side in the hook, Wine as injected.
std::string Key(DWORD virtualKey, DWORD scanCode, DWORD flags)
{
    return std::to_string(virtualKey == VK_LSHIFT ? VK_SHIFT : virtualKey) + "/" + std::to_string(scanCode) + "/" +
           std::to_string(flags & (LLKHF_EXTENDED | LLKHF_UP)) + " ";
}

LRESULT CALLBACK RecordKey(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION) seen += Key(key->vkCode, key->scanCode, key->flags);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(KeysHookTest, AHookSeesTheScanCodesAndTheExtendedFlag)
{
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, RecordKey, GetModuleHandleW(nullptr), 0);
    ASSERT_NE(hook, nullptr);
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
    const auto scan = [&](UINT virtualKey) { return DWORD(MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, layout)); };
    ASSERT_NE(scan(VK_LEFT), 0u);
    DispatchInputPacket({PKT_KEY_DOWN, 123, 0, 0});  // the left arrow
    DispatchInputPacket({PKT_KEY_UP, 123, 0, 0});
    DispatchInputPacket({PKT_CHAR, 'A', 0, 0});
    PumpMessagesFor(300);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(seen, Key(VK_LEFT, scan(VK_LEFT), LLKHF_EXTENDED) + Key(VK_LEFT, scan(VK_LEFT), LLKHF_EXTENDED | LLKHF_UP) +
                        Key(VK_SHIFT, scan(VK_SHIFT), 0) + Key('A', scan('A'), 0) +
                        Key(VK_SHIFT, scan(VK_SHIFT), LLKHF_UP) + Key('A', scan('A'), LLKHF_UP));
}

}  // namespace

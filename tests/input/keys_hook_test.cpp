// The keys the phone presses reach a low-level keyboard hook as a physical keyboard's do: with the
// layout's scan code and, for a key in an extended position, the extended flag, even where Wine's
// layout table leaves out the 0xE0 byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "input/packet.h"
#include "support/win_test_support.h"

namespace {

// Windows names the Shift pressed for a character by its side in the hook, Wine as injected.
DWORD Sideless(DWORD virtualKey) { return virtualKey == VK_LSHIFT ? VK_SHIFT : virtualKey; }

struct Seen {
    DWORD virtualKey, scanCode, flags;
    bool operator==(const Seen& other) const
    {
        return Sideless(virtualKey) == Sideless(other.virtualKey) && scanCode == other.scanCode && flags == other.flags;
    }
};
std::vector<Seen> seen;

LRESULT CALLBACK RecordKey(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION) seen.push_back({key->vkCode, key->scanCode, key->flags & (LLKHF_EXTENDED | LLKHF_UP)});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(KeysHookTest, AHookSeesTheScanCodesAndTheExtendedFlag)
{
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, RecordKey, GetModuleHandleW(nullptr), 0);
    ASSERT_NE(hook, nullptr);
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
    const auto scan = [&](UINT virtualKey) { return DWORD(MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, layout)); };
    ASSERT_NE(scan(VK_LEFT), 0u);
    seen.clear();
    DispatchInputPacket({PKT_KEY_DOWN, 123, 0, 0});  // the left arrow
    DispatchInputPacket({PKT_KEY_UP, 123, 0, 0});
    DispatchInputPacket({PKT_CHAR, 'A', 0, 0});
    PumpMessagesFor(300);
    UnhookWindowsHookEx(hook);
    const std::vector<Seen> expected = {
        {VK_LEFT, scan(VK_LEFT), LLKHF_EXTENDED}, {VK_LEFT, scan(VK_LEFT), LLKHF_EXTENDED | LLKHF_UP},
        {VK_SHIFT, scan(VK_SHIFT), 0},           {'A', scan('A'), 0},
        {VK_SHIFT, scan(VK_SHIFT), LLKHF_UP},    {'A', scan('A'), LLKHF_UP}};
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(seen[i] == expected[i]) << i << ": vk 0x" << std::hex << seen[i].virtualKey << " scan 0x"
                                            << seen[i].scanCode << " flags 0x" << seen[i].flags;
}

}  // namespace

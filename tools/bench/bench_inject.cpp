// The injection seam for the benchmark: each wheel event the dispatcher makes is stamped with
// the time of the call; the benchmark sends wheel packets whose amount is the sequence number.
// Each typed character is stamped at its last event.
#include "bench_inject.h"

#include "input/inject.h"

std::atomic<uint32_t> injectedCount{0};
std::vector<Clock::time_point> injectedAt(MAX_SEQUENCE + 1);

bool InjectMouseEvent(uint32_t, int32_t, int32_t, int32_t data)
{
    const uint32_t sequence = uint32_t(-int64_t(data));  // the vertical wheel's amount is negated
    if (sequence <= MAX_SEQUENCE) injectedAt[sequence] = Clock::now();
    injectedCount.fetch_add(1, std::memory_order_release);
    return true;
}

std::atomic<uint32_t> typedCount{0};
std::vector<Clock::time_point> typedAt(MAX_SEQUENCE + 1);

static void StampTyped(uint32_t flags)
{
    if (!(flags & KEY_UP)) return;
    const uint32_t count = typedCount.load() + 1;
    if (count <= MAX_SEQUENCE) typedAt[count] = Clock::now();
    typedCount.store(count, std::memory_order_release);
}

// A typed character is one call, ending with a release.
void InjectKeys(const KeyStroke* strokes, size_t count)
{
    if (count > 0) StampTyped(strokes[count - 1].flags);
}
uint16_t LookUpScanCode(uint8_t virtualKey, KeyboardLayout) { return virtualKey; }
KeyboardLayout ForegroundLayout() { return 1; }
uint16_t LookUpCharacterKey(uint16_t character, KeyboardLayout) { return character < 0x100 ? character : NO_KEY_FOR_CHARACTER; }
bool KeyIsDead(uint8_t, uint8_t, KeyboardLayout) { return false; }
void InjectUnicodeUnits(const uint16_t*, size_t count) { if (count > 0) StampTyped(KEY_UP); }
void PlayDefaultBeep() {}

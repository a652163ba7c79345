// The injection seam for the benchmark: each wheel event the dispatcher makes is stamped with
// the time of the call. The benchmark sends wheel packets whose amount is the sequence number.
#include "bench_inject.h"

#include "input/inject.h"

std::atomic<uint32_t> injectedCount{0};
std::vector<Clock::time_point> injectedAt(MAX_SEQUENCE + 1);

void InjectMouseEvent(uint32_t, int32_t, int32_t, int32_t data)
{
    const uint32_t sequence = uint32_t(-int64_t(data));  // the vertical wheel's amount is negated
    if (sequence <= MAX_SEQUENCE) injectedAt[sequence] = Clock::now();
    injectedCount.fetch_add(1, std::memory_order_release);
}

void InjectKeyEvent(uint8_t, uint32_t) {}
uint16_t LookUpCharacterKey(uint16_t) { return NO_KEY_FOR_CHARACTER; }
void PlayDefaultBeep() {}

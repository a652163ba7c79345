// What the benchmark's recording injector saw.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

using Clock = std::chrono::steady_clock;

constexpr uint32_t MAX_SEQUENCE = 1u << 22;

extern std::atomic<uint32_t> injectedCount;
extern std::vector<Clock::time_point> injectedAt;  // by sequence number

// Characters typed, each stamped by its count. The layout stand-in has a key for every
// character below 0x100 and none for any other.
constexpr uint16_t TYPED_WITH_A_KEY = 0x61;
constexpr uint16_t TYPED_AS_UNICODE = 0x4E2D;
extern std::atomic<uint32_t> typedCount;
extern std::vector<Clock::time_point> typedAt;

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

// Times as the trusted phones' store keeps them, seconds since 1970 (UTC), and as Windows keeps
// them, 100-nanosecond ticks since 1601.
#pragma once
#include <windows.h>

#include <cstdint>

constexpr uint64_t TICKS_PER_SECOND = 10000000u;
constexpr uint64_t SECONDS_FROM_1601_TO_1970 = 11644473600u;

inline uint64_t SecondsSince1970(const FILETIME& time)
{
    const uint64_t ticks = (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return ticks / TICKS_PER_SECOND - SECONDS_FROM_1601_TO_1970;
}

inline FILETIME FileTimeOf(uint64_t secondsSince1970)
{
    const uint64_t ticks = (secondsSince1970 + SECONDS_FROM_1601_TO_1970) * TICKS_PER_SECOND;
    return {DWORD(ticks), DWORD(ticks >> 32)};
}

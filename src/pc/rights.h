// Whether Windows keeps the phone's input out of the foreground window: it drops injected input
// aimed at a program that runs with higher rights than this one. Free of the platform, so that
// the decision is tested natively; foreground.cpp reads the levels.
#pragma once
#include <cstdint>

// A process's integrity level, as the relative identifier of its token's mandatory label.
constexpr uint32_t MEDIUM_INTEGRITY = 0x2000;
constexpr uint32_t HIGH_INTEGRITY = 0x3000;  // a program run as administrator
constexpr uint32_t UNKNOWN_INTEGRITY = 0xFFFFFFFF;

// True when the foreground program runs as administrator (or above) and above this program's own
// level; a level that cannot be read says nothing.
bool InputKeptOutOfForeground(uint32_t ownLevel, uint32_t foregroundLevel);

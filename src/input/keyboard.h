// Keyboard actions: the phone's nine special keys, and characters typed through the keyboard layout
// or, where the layout has no plain key for them, as Unicode units.
#pragma once
#include <cstdint>

// A press or release of one of the phone's special keys, by its code in arg1.
void SpecialKey(bool press, int32_t arg1);
void TypeCharacter(int32_t arg1);
// Releases every special key the phone pressed and has not released.
void ReleaseHeldKeys();
// Forgets the first half of a character whose second half has not come.
void ForgetPendingCharacter();

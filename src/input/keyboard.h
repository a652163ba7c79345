// Keyboard actions: the phone's nine special keys, and characters typed through the keyboard layout.
#pragma once
#include <cstdint>

void SpecialKey(int32_t type, int32_t arg1);
void TypeCharacter(int32_t arg1);

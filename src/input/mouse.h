// Mouse actions: buttons, relative moves and both wheels, each one injected mouse event.
#pragma once
#include <cstdint>

void MouseButton(int32_t arg1, bool press);
void MouseMove(int32_t dx, int32_t dy);
void MouseWheel(int32_t amount);
void MouseHorizontalWheel(int32_t amount);
// Releases every button the phone pressed and has not released.
void ReleaseHeldButtons();

#include "input/mouse.h"

#include "input/inject.h"

// Indexed by the phone's button number: left, right, middle, first and second extra button.
static const uint32_t pressFlags[5] = {MOUSE_LEFTDOWN, MOUSE_RIGHTDOWN, MOUSE_MIDDLEDOWN, MOUSE_XDOWN,
                                       MOUSE_XDOWN};
static const uint32_t releaseFlags[5] = {MOUSE_LEFTUP, MOUSE_RIGHTUP, MOUSE_MIDDLEUP, MOUSE_XUP, MOUSE_XUP};
static const int32_t buttonData[5] = {0, 0, 0, MOUSE_XBUTTON1, MOUSE_XBUTTON2};

// The buttons the phone has pressed and not yet released, by index.
static bool heldButtons[5];

// Two's-complement arithmetic without signed overflow: out-of-range results wrap, as the phone expects.
static int32_t Twice(int32_t value) { return int32_t(uint32_t(value) * 2u); }
static int32_t Negated(int32_t value) { return int32_t(0u - uint32_t(value)); }

void MouseButton(int32_t arg1, bool press)
{
    unsigned index = uint32_t(arg1) & 0xFFu;
    if (index >= 5) index = 0;  // unknown buttons act as the left one
    heldButtons[index] = press;
    InjectMouseEvent(press ? pressFlags[index] : releaseFlags[index], 0, 0, buttonData[index]);
}

void ReleaseHeldButtons()
{
    for (unsigned index = 0; index < 5; ++index) {
        if (heldButtons[index]) InjectMouseEvent(releaseFlags[index], 0, 0, buttonData[index]);
        heldButtons[index] = false;
    }
}

void MouseMove(int32_t dx, int32_t dy) { InjectMouseEvent(MOUSE_MOVE, Twice(dx), Twice(dy), 0); }

// Positive amounts from the phone turn the wheel toward the user, which the platform counts as negative.
void MouseWheel(int32_t amount) { InjectMouseEvent(MOUSE_WHEEL, 0, 0, Negated(amount)); }

void MouseHorizontalWheel(int32_t amount) { InjectMouseEvent(MOUSE_HWHEEL, 0, 0, amount); }

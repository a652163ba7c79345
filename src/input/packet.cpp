#include "input/packet.h"

#include "input/keyboard.h"
#include "input/mouse.h"

InputPacket previousPacket = {0, 0, 0, 0};

void DispatchInputPacket(InputPacket packet)
{
    switch (packet.type) {
    case PKT_KEY_UP: SpecialKey(false, packet.arg1); break;
    case PKT_KEY_DOWN: SpecialKey(true, packet.arg1); break;
    case PKT_BUTTON_UP: MouseButton(packet.arg1, false); break;
    case PKT_BUTTON_DOWN: MouseButton(packet.arg1, true); break;
    // The phone sends each move as two packets: x first, remembered below, then y.
    case PKT_MOVE_Y:
        if (previousPacket.type == PKT_MOVE_X) MouseMove(previousPacket.arg1, packet.arg1);
        break;
    case PKT_WHEEL: MouseWheel(packet.arg1); break;
    case PKT_CHAR: TypeCharacter(packet.arg1); break;
    case PKT_HWHEEL: MouseHorizontalWheel(packet.arg1); break;
    default: break;
    }
    previousPacket = packet;
}

void ReleaseHeldInput()
{
    ReleaseHeldKeys();
    ReleaseHeldButtons();
}

void ResetInputState()
{
    previousPacket = InputPacket{0, 0, 0, 0};
    ForgetPendingCharacter();
}

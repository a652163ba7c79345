// Arbitrary bytes through decoding and dispatch, 16 at a time as the receiver hands them over,
// against the recorder. Any crash, leak or undefined behaviour fails; so does an action that
// the packet's type does not call for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "input/inject.h"
#include "input/packet.h"
#include "input/recorder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetRecorder();
    ResetInputState();  // each input as a new phone's: no half of an emoji waits from the last
    bool halfWaiting = false;
    for (size_t offset = 0; offset + INPUT_PACKET_SIZE <= size; offset += INPUT_PACKET_SIZE) {
        const InputPacket packet = DecodeInputPacket(data + offset);
        const InputPacket previous = previousPacket;
        const size_t before = recordedEvents.size();
        DispatchInputPacket(packet);
        const size_t added = recordedEvents.size() - before;
        if (previousPacket.type != packet.type || previousPacket.arg1 != packet.arg1 ||
            previousPacket.arg2 != packet.arg2 || previousPacket.arg3 != packet.arg3)
            std::abort();
        switch (packet.type) {
        case PKT_KEY_UP:
        case PKT_KEY_DOWN:
        case PKT_BUTTON_UP:
        case PKT_BUTTON_DOWN:
        case PKT_WHEEL:
        case PKT_HWHEEL:
            if (added != 1) std::abort();
            break;
        case PKT_MOVE_Y:
            if (added != (previous.type == PKT_MOVE_X ? 1u : 0u)) std::abort();
            break;
        case PKT_CHAR: {
            // An emoji's first half waits for its second, and a second half alone is dropped;
            // anything else is typed: a key with up to three modifiers, or one or two Unicode units.
            const uint16_t unit = uint16_t(packet.arg1);
            const bool firstHalf = unit >= 0xD800 && unit <= 0xDBFF, secondHalf = unit >= 0xDC00 && unit <= 0xDFFF;
            const bool typed = !firstHalf && (!secondHalf || halfWaiting);
            if (typed ? added < 1 || added > 8 : added != 0) std::abort();
            halfWaiting = firstHalf;
            break;
        }
        default:
            if (added != 0) std::abort();
        }
    }
    return 0;
}

// The phone's input packet and the dispatcher that turns each packet into a mouse or keyboard action.
#pragma once
#include <cstdint>

#include "base/wire.h"

// Packet types; every other value is accepted and does nothing.
constexpr int32_t PKT_KEY_UP = 1;
constexpr int32_t PKT_KEY_DOWN = 2;
constexpr int32_t PKT_BUTTON_UP = 4;
constexpr int32_t PKT_BUTTON_DOWN = 5;
constexpr int32_t PKT_MOVE_X = 6;
constexpr int32_t PKT_MOVE_Y = 7;
constexpr int32_t PKT_WHEEL = 10;
constexpr int32_t PKT_CHAR = 13;
constexpr int32_t PKT_HWHEEL = 14;

struct InputPacket {
    int32_t type;
    int32_t arg1;
    int32_t arg2;  // carried, never acted on
    int32_t arg3;  // carried, never acted on
};

// The packet dispatched last, in host order. Touched only where packets are dispatched.
extern InputPacket previousPacket;

InputPacket DecodeInputPacket(const unsigned char bytes[INPUT_PACKET_SIZE]);
void EncodeInputPacket(const InputPacket& packet, unsigned char bytes[INPUT_PACKET_SIZE]);
void DispatchInputPacket(InputPacket packet);
// Releases every key and button the phone left pressed, so that nothing stays held for the
// user's own keyboard and mouse once its connection ends. Called where packets are dispatched,
// never at the same time as DispatchInputPacket.
void ReleaseHeldInput();
// A new phone starts afresh: no half of a move or of a character from the one before completes
// with its first packet. Called where packets are dispatched.
void ResetInputState();

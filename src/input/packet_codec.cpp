#include "input/packet.h"

static int32_t ReadBigEndian(const unsigned char* bytes)
{
    const uint32_t word = (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) |
                          (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
    return int32_t(word);
}

static void WriteBigEndian(int32_t value, unsigned char* bytes)
{
    const uint32_t word = uint32_t(value);
    bytes[0] = static_cast<unsigned char>(word >> 24);
    bytes[1] = static_cast<unsigned char>(word >> 16);
    bytes[2] = static_cast<unsigned char>(word >> 8);
    bytes[3] = static_cast<unsigned char>(word);
}

InputPacket DecodeInputPacket(const unsigned char bytes[INPUT_PACKET_SIZE])
{
    return InputPacket{ReadBigEndian(bytes), ReadBigEndian(bytes + 4), ReadBigEndian(bytes + 8),
                       ReadBigEndian(bytes + 12)};
}

void EncodeInputPacket(const InputPacket& packet, unsigned char bytes[INPUT_PACKET_SIZE])
{
    WriteBigEndian(packet.type, bytes);
    WriteBigEndian(packet.arg1, bytes + 4);
    WriteBigEndian(packet.arg2, bytes + 8);
    WriteBigEndian(packet.arg3, bytes + 12);
}

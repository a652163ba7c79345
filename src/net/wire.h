// What the phone app and other copies of this program rely on, fixed for good: the port, the
// packet, the service type and the single-instance marker. The program, the phone simulator and
// the installer (through defines that its build reads from here) all take them from this file.
#pragma once
#include <cstdint>

constexpr uint16_t SERVICE_PORT = 4026;  // TCP for the phone's presence, UDP for its input
// Four big-endian 32-bit words; the heartbeat is the same layout, all zero.
constexpr int INPUT_PACKET_SIZE = 16;
constexpr char SERVICE_TYPE[] = "_Pavrel._tcp";
// The named semaphore every running copy holds; an installer looks for it too.
constexpr wchar_t INSTANCE_SEMAPHORE_NAME[] = L"PavrelServer";

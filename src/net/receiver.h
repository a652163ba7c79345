// The input receiver: one worker thread for the life of the program that owns UDP port 4026 and
// hands the current phone's datagrams to the dispatcher.
#pragma once
#include <cstdint>

// Binds the port and starts the thread; false when either fails.
bool StartInputReceiver();
// From now on, datagrams from this IPv4 address (network order) are acted on.
void ServeInputFrom(uint32_t phoneAddress);
// No datagram is acted on from now on, and whatever the phone held pressed is released.
void StopServingInput();

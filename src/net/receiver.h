// The input receiver: one worker thread for the life of the program that owns UDP port 4026 and
// hands the current phone's datagrams to the dispatcher.
#pragma once
#include <cstdint>

// Binds the port and starts the thread; true once it runs, also when it already did, false while
// the port cannot be had.
bool StartInputReceiver();
// The program is ending: a failed receive from now on ends the thread instead of binding anew.
void EndInputReceiver();
// From now on, datagrams from this IPv4 address (network order) are acted on.
void ServeInputFrom(uint32_t phoneAddress);
// No datagram is acted on from now on, and whatever the phone held pressed is released.
void StopServingInput();

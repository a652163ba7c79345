// The input receiver: one worker thread that owns UDP port 4026 while this user is at the screen
// and hands the served phone's datagrams to the dispatcher.
#pragma once
#include <cstdint>
#include <vector>

// Called on the receiver's thread for the first datagram held from an awaited address.
using InputArrived = void (*)(uint32_t address);
// Called on the receiver's thread for the datagram acted on first after TellOfNextInputServed.
using InputServed = void (*)();

// Binds the port and starts the thread; true once it runs, also when it already did, false while
// the port cannot be had.
bool StartInputReceiver(InputArrived arrived, InputServed served);
// The next datagram the served phone sends, and only that one, is reported: what a window that
// Windows keeps the phone out of needs to know, without a word for every datagram.
void TellOfNextInputServed();
// The program is ending: a failed receive from now on ends the thread instead of binding anew.
void EndInputReceiver();
// The user left the screen: the thread closes its socket and ends, so that the copy at the
// screen can have the port; returns once it has (a second at the most).
void StopInputReceiver();

// The IPv4 addresses whose connections are being judged now, all of them: the
// first datagram held from each, possibly sent before its connection was accepted, is reported
// once, and what was held from an address no longer among them is dropped.
void AwaitInputFrom(const std::vector<uint32_t>& addresses);
// Whether a sender's port may drive the PC; asked on the receiver's thread, once per port.
using SenderCheck = bool (*)(uint32_t address, uint16_t port);
// From now on, datagrams from this address are acted on, as from a phone that starts afresh.
// withHeld: a phone served straight from its judging; the datagrams it sent in the last moments
// are acted on first, so that none is lost. With a check (a program of the PC itself, where any
// program may send from the address), only datagrams from the ports it passes are.
void ServeInputFrom(uint32_t address, bool withHeld, SenderCheck check = nullptr);
// No datagram is acted on from now on, and whatever the phone held pressed is released.
void StopServingInput();
// While paused no datagram is acted on; whatever the phone held is released as the pause starts.
void PauseInput(bool paused);
bool InputPaused();
// While the user is not at the screen (it is locked, or another user's) datagrams are read and
// dropped, none kept to act on later; whatever the phone held is released as it starts. Apart
// from the user's own pause.
void DropAllInput(bool dropped);

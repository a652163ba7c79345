// Serving phones: port 4026 taken for the phone's connection and for its input, then the service
// advertised. While another program holds the port nothing is advertised (a phone would find this
// PC and talk to that program) and the port is tried again on a timer.
#pragma once
#include <cstdint>

void StartServing();
// The user left the screen: every connection ends, both ports are freed for the copy at the
// screen and the advertisement is withdrawn; nothing is tried again until StartServing.
void StopServing();
// Both sockets, or false; one that is already open stays open.
bool OpenServicePort();
// The retry timer's tick.
void RetryServing();
// Withdraws the advertisement and registers it again, with the outcome shown, while the port is
// served: after sleep or a change of network it may be lost.
void Readvertise();
// The input receiver's words, called on its thread and handed to the UI thread: a datagram from an
// address being judged, and the input acted on after TellOfNextInputServed.
void TellInputArrived(uint32_t address);
void TellInputServed();

// The phone's connection: the TCP listener, accepting a connection, judging whether it is a phone
// the user trusts, and ending it. All of it runs on the UI thread, which alone decides which
// connection is current; each function returns what the user is to be shown.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include "net/connection_book.h"
#include "net/trust.h"
#include "net/trust_store.h"

// Shows the user what changed; called on the UI thread for what the connections' monitors saw.
using ShowChange = void (*)(const PhoneChange& change);

// Listens on TCP port 4026, with its accepts posted to window as socketEvent (the event and error
// in lParam). True once listening, also when it already was; false while the port cannot be had.
bool Listen(HWND window, UINT socketEvent, ShowChange show);
// Closes the listener (connections already accepted stay).
void StopListening();

// The listener's word that a connection waits to be accepted.
PhoneChange AcceptConnection();
// The receiver's word that a datagram came from an address being judged: it is a phone.
PhoneChange HandleInputArrived(uint32_t address);
// The user's answer about a device that asked to connect: an allowed one is served at once (the
// caller has it remembered), a refused one is closed and not asked about for a minute.
PhoneChange AnswerDevice(uint32_t number, bool allowed);
// The user forgot one trusted phone; if it is the phone connected now, its connection ends at once,
// and it is asked about at its next.
PhoneChange ForgetDevice(const TrustedPhone& entry);
// The user forgot every trusted phone: the one connected now goes at once too, unless it is a
// program of the PC itself.
PhoneChange ForgetEveryDevice();
// Ends the current connection for the user's Disconnect; its monitor reports the end later.
PhoneChange Disconnect();
// The user left the screen: every connection ends, what the phone held pressed is released, and
// nobody is refused for it.
void EndEveryConnection();
// The screen locked: nobody is asked about until it unlocks; true when the question open now was
// put away, to be asked again first.
bool HoldQuestions();
// The screen unlocked: the device waiting longest is asked about, on its own turn.
void ResumeQuestions();

bool PhoneConnected();

// What the connection asks of the PC itself, which the program hands it at start: whether a
// device may connect (it is on a local network), and whether it is the PC itself, and so always
// trusted. Until then, only the fixed local ranges and loopback count; tests replace them to meet
// devices of their own over loopback.
extern bool (*deviceIsLocal)(uint32_t device);
extern bool (*deviceIsPcItself)(uint32_t device);

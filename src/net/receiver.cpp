#include "net/receiver.h"

#include <mutex>
#include <system_error>
#include <thread>

#include "input/packet.h"
#include "net/connection_state.h"

// Whom the receiver serves. The lock is held while a packet is dispatched, so once
// StopServingInput returns no packet of the ended connection can still press anything.
static std::mutex inputLock;
static bool serving = false;
static uint32_t servedAddress = 0;

void ServeInputFrom(uint32_t phoneAddress)
{
    std::lock_guard<std::mutex> lock(inputLock);
    serving = true;
    servedAddress = phoneAddress;
}

void StopServingInput()
{
    std::lock_guard<std::mutex> lock(inputLock);
    serving = false;
    ReleaseHeldInput();
}

static void ActOn(const unsigned char (&bytes)[INPUT_PACKET_SIZE], uint32_t sender)
{
    std::lock_guard<std::mutex> lock(inputLock);
    // Only the connected phone drives this PC; datagrams from any other host are dropped.
    if (serving && sender == servedAddress) DispatchInputPacket(DecodeInputPacket(bytes));
}

static void ReceiveInput(SOCKET receiver)
{
    for (;;) {
        unsigned char buffer[INPUT_PACKET_SIZE];
        sockaddr_in sender = {};
        SocketLength senderLength = sizeof sender;
        // A longer datagram fails with WSAEMSGSIZE and is dropped.
        const int received = int(recvfrom(receiver, reinterpret_cast<char*>(buffer), sizeof buffer, 0,
                                          reinterpret_cast<sockaddr*>(&sender), &senderLength));
        if (received == INPUT_PACKET_SIZE)
            ActOn(buffer, sender.sin_addr.s_addr);
        else if (received < 0 && ReceiveFailureIsLasting())
            break;  // the network library is gone: the program is ending
    }
    closesocket(receiver);
}

static bool LocalHostResolves()
{
    char name[256] = {};
    return gethostname(name, sizeof name) == 0 && gethostbyname(name) != nullptr;
}

bool StartInputReceiver()
{
    if (!LocalHostResolves()) return false;
    SOCKET receiver = socket(AF_INET, SOCK_DGRAM, 0);
    if (receiver == INVALID_SOCKET) return false;
    if (!BindServicePortExclusively(receiver, SERVICE_PORT)) {
        closesocket(receiver);
        return false;
    }
    try {
        std::thread(ReceiveInput, receiver).detach();  // it ends with the process
    } catch (const std::system_error&) {
        closesocket(receiver);
        return false;
    }
    return true;
}

#include "net/receiver.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <system_error>
#include <thread>

#include "input/packet.h"
#include "net/sockets.h"
#include "net/wire.h"

// Whom the receiver serves. The lock is held while a packet is dispatched, so once
// StopServingInput returns no packet of the ended connection can still press anything.
static std::mutex inputLock;
static bool serving = false;
static uint32_t servedAddress = 0;

static std::atomic<bool> receiving{false};
static std::atomic<bool> ending{false};

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

static SOCKET BindReceiver()
{
    SOCKET receiver = socket(AF_INET, SOCK_DGRAM, 0);
    if (receiver == INVALID_SOCKET) return INVALID_SOCKET;
    if (!BindServicePortExclusively(receiver, SERVICE_PORT)) {
        closesocket(receiver);
        return INVALID_SOCKET;
    }
    return receiver;
}

// Receives until the socket fails for good; returns then, with the socket still open.
static void ReceiveUntilBroken(SOCKET receiver)
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
            return;
    }
}

// A socket that fails for good is replaced, so that the phone's input keeps arriving; while the
// port cannot be bound again it is tried once a second. The thread ends with the program.
static void ReceiveInput(SOCKET receiver)
{
    while (receiver != INVALID_SOCKET) {
        ReceiveUntilBroken(receiver);
        closesocket(receiver);
        receiver = INVALID_SOCKET;
        while (!ending && (receiver = BindReceiver()) == INVALID_SOCKET)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    receiving = false;
}

bool StartInputReceiver()
{
    if (receiving) return true;
    ending = false;
    SOCKET receiver = BindReceiver();
    if (receiver == INVALID_SOCKET) return false;
    try {
        std::thread(ReceiveInput, receiver).detach();  // it ends with the process
    } catch (const std::system_error&) {
        closesocket(receiver);
        return false;
    }
    receiving = true;
    return true;
}

void EndInputReceiver() { ending = true; }

#include "net/receiver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "base/wire.h"
#include "input/packet.h"
#include "net/sockets.h"

// Whom the receiver serves. The lock is held while a packet is dispatched, so once
// StopServingInput returns no packet of the ended connection can still press anything. What the
// receiver's thread uses is never destroyed: the thread runs on while the process ends.
static std::mutex& inputLock = *new std::mutex;
static bool phoneServed = false;
static bool paused = false;
static bool locked = false;
static uint32_t servedAddress = 0;
// For a program of the PC itself: which of the ports it sent from may drive the PC, each asked once.
static SenderCheck servedCheck = nullptr;
struct CheckedPort {
    uint16_t port;
    bool passes;
};
constexpr size_t MOST_CHECKED_PORTS = 16;
static CheckedPort checkedPorts[MOST_CHECKED_PORTS];
static size_t checkedCount = 0, checkedNext = 0;

// Datagrams from hosts not served, held for a while: a phone may send its first ones before its
// connection is accepted, and while it is judged. Only the connection's own address is ever
// replayed, and only when it is served straight from its judging.
struct HeldDatagram {
    uint32_t sender;
    uint16_t port;
    std::chrono::steady_clock::time_point at;
    unsigned char bytes[INPUT_PACKET_SIZE];
};
// A phone sends far fewer in the time a connection is accepted and judged, and a flood only
// replaces the oldest.
constexpr size_t MOST_HELD = 512;
constexpr auto HELD_FOR = std::chrono::seconds(2);
static HeldDatagram held[MOST_HELD];
static size_t heldNext = 0;
// The addresses being judged, as the connection's side last told, and those already reported.
static std::vector<uint32_t>& awaited = *new std::vector<uint32_t>;
static std::vector<uint32_t>& reported = *new std::vector<uint32_t>;
static InputArrived reportArrival = nullptr;
static InputServed reportServed = nullptr;
static bool servedWanted = false;

static std::atomic<bool> receiving{false};
static std::atomic<bool> ending{false};
// Set while StopInputReceiver waits for the thread to give up the port.
static std::atomic<bool> stopping{false};

static bool Contains(const std::vector<uint32_t>& addresses, uint32_t address)
{
    return std::find(addresses.begin(), addresses.end(), address) != addresses.end();
}

static bool Recent(const HeldDatagram& datagram)
{
    return datagram.sender != 0 && std::chrono::steady_clock::now() - datagram.at < HELD_FOR;
}

static bool HoldsFrom(uint32_t address)
{
    return std::any_of(std::begin(held), std::end(held),
                       [&](const HeldDatagram& d) { return d.sender == address && Recent(d); });
}

// Reports the first datagram of an address being judged, once.
static void ReportArrival(uint32_t address)
{
    if (!reportArrival || !Contains(awaited, address) || Contains(reported, address) || !HoldsFrom(address)) return;
    reported.push_back(address);  // within the capacity reserved at start
    reportArrival(address);
}

static void DropHeldFrom(uint32_t address)
{
    for (HeldDatagram& datagram : held)
        if (datagram.sender == address) datagram.sender = 0;
}

void AwaitInputFrom(const std::vector<uint32_t>& addresses)
{
    std::lock_guard<std::mutex> lock(inputLock);
    for (uint32_t address : awaited)
        if (!Contains(addresses, address)) DropHeldFrom(address);
    reported.erase(std::remove_if(reported.begin(), reported.end(),
                                  [&](uint32_t address) { return !Contains(addresses, address); }),
                   reported.end());
    awaited = addresses;
    for (uint32_t address : awaited) ReportArrival(address);  // it may have sent before it was accepted
}

// Whether the served phone's port may drive the PC; called with the lock held.
static bool PortPasses(uint16_t port)
{
    if (!servedCheck) return true;
    for (size_t i = 0; i < checkedCount; ++i)
        if (checkedPorts[i].port == port) return checkedPorts[i].passes;
    const CheckedPort checked = {port, servedCheck(servedAddress, port)};
    checkedPorts[checkedNext] = checked;  // past the last slot, the oldest answer is asked again
    checkedNext = (checkedNext + 1) % MOST_CHECKED_PORTS;
    if (checkedCount < MOST_CHECKED_PORTS) ++checkedCount;
    return checked.passes;
}

void ServeInputFrom(uint32_t address, bool withHeld, SenderCheck check)
{
    std::lock_guard<std::mutex> lock(inputLock);
    ResetInputState();
    phoneServed = true;
    servedAddress = address;
    servedCheck = check;
    checkedCount = checkedNext = 0;
    for (size_t i = 0; i < MOST_HELD; ++i) {  // oldest first
        const HeldDatagram& datagram = held[(heldNext + i) % MOST_HELD];
        if (withHeld && !paused && !locked && datagram.sender == address && Recent(datagram) &&
            PortPasses(datagram.port))
            DispatchInputPacket(DecodeInputPacket(datagram.bytes));
    }
    DropHeldFrom(address);
}

void StopServingInput()
{
    std::lock_guard<std::mutex> lock(inputLock);
    phoneServed = false;
    ReleaseHeldInput();
}

void PauseInput(bool pause)
{
    std::lock_guard<std::mutex> lock(inputLock);
    if (pause && !paused) ReleaseHeldInput();
    paused = pause;
}

void DropAllInput(bool lock)
{
    std::lock_guard<std::mutex> guard(inputLock);
    if (lock && !locked) ReleaseHeldInput();
    locked = lock;
}

bool InputPaused()
{
    std::lock_guard<std::mutex> lock(inputLock);
    return paused;
}

static void ActOn(const unsigned char (&bytes)[INPUT_PACKET_SIZE], uint32_t sender, uint16_t port)
{
    std::lock_guard<std::mutex> lock(inputLock);
    // Only the connected phone drives this PC; datagrams from any other host are dropped.
    if (phoneServed && sender == servedAddress) {
        if (paused || locked || !PortPasses(port)) return;
        DispatchInputPacket(DecodeInputPacket(bytes));
        if (servedWanted && reportServed) reportServed();
        servedWanted = false;
        return;
    }
    HeldDatagram& slot = held[heldNext];
    heldNext = (heldNext + 1) % MOST_HELD;
    slot.sender = sender;
    slot.port = port;
    slot.at = std::chrono::steady_clock::now();
    std::copy(bytes, bytes + INPUT_PACKET_SIZE, slot.bytes);
    ReportArrival(sender);
}

static OwnedSocket BindReceiver()
{
    OwnedSocket receiver(socket(AF_INET, SOCK_DGRAM, 0));
    if (receiver && !BindServicePortExclusively(receiver.get(), SERVICE_PORT)) receiver.Reset();
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
        if (stopping) return;
        if (received == INPUT_PACKET_SIZE)
            ActOn(buffer, ntohl(sender.sin_addr.s_addr), ntohs(sender.sin_port));
        else if (received < 0 && ReceiveFailureIsLasting())
            return;
    }
}

// A socket that fails for good is replaced, so that the phone's input keeps arriving; while the
// port cannot be bound again it is tried once a second. The thread owns its socket, and ends with
// the program.
static void ReceiveInput(OwnedSocket receiver)
{
#ifdef _WIN32
    // It only ever wakes for a datagram, and a phone's input is felt when it is late.
    (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
#endif
    while (receiver) {
        ReceiveUntilBroken(receiver.get());
        receiver.Reset();
        while (!ending && !stopping && !(receiver = BindReceiver()))
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    receiving = false;
}

void TellOfNextInputServed()
{
    std::lock_guard<std::mutex> lock(inputLock);
    servedWanted = true;
}

bool StartInputReceiver(InputArrived arrived, InputServed served)
{
    if (receiving) return true;
    ending = false;
    reportArrival = arrived;
    reportServed = served;
    reported.reserve(MOST_HELD);  // the receiver's thread never allocates
    OwnedSocket receiver = BindReceiver();
    if (!receiver) return false;
    try {
        std::thread(ReceiveInput, std::move(receiver)).detach();  // it ends with the process
    } catch (const std::system_error&) {
        return false;  // the socket closed with the thread that could not start
    }
    receiving = true;
    return true;
}

void EndInputReceiver() { ending = true; }

// The thread is woken by a datagram of its own on loopback, and closes the socket it owns.
void StopInputReceiver()
{
    if (!receiving) return;
    stopping = true;
    const OwnedSocket waker(socket(AF_INET, SOCK_DGRAM, 0));
    sockaddr_in self = {};
    self.sin_family = AF_INET;
    self.sin_port = htons(SERVICE_PORT);
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int tries = 0; receiving && tries < 100; ++tries) {
        if (waker)
            (void)sendto(waker.get(), "x", 1, 0, reinterpret_cast<const sockaddr*>(&self), sizeof self);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stopping = false;
}

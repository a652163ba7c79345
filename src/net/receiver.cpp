#include "net/receiver.h"

#include <chrono>
#include <thread>

#include "input/packet.h"
#include "net/connection_state.h"

// An earlier receiver that saw the end of its connection may still hold the port for a moment,
// so a new receiver tries to bind for about a second before it gives up.
constexpr int BIND_ATTEMPTS = 20;
constexpr std::chrono::milliseconds BIND_RETRY{50};

static bool LocalHostResolves()
{
    char name[256] = {};
    return gethostname(name, sizeof name) == 0 && gethostbyname(name) != nullptr;
}

static bool BindServicePort(SOCKET receiver)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(SERVICE_PORT);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    for (int attempt = 0; attempt < BIND_ATTEMPTS; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(BIND_RETRY);
        if (bind(receiver, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
        if (connectionState.connected.load() != 1) return false;
    }
    return false;
}

DWORD WINAPI RunInputReceiver(LPVOID)
{
    SOCKET receiver = socket(AF_INET, SOCK_DGRAM, 0);
    if (receiver == INVALID_SOCKET) return 0;
    if (!LocalHostResolves() || !BindServicePort(receiver) || connectionState.connected.load() != 1) {
        closesocket(receiver);
        return 0;
    }
    // The receive blocks without a timeout, so the end of a connection is seen at the next
    // datagram; that datagram is not acted on.
    for (;;) {
        unsigned char buffer[INPUT_PACKET_SIZE];
        sockaddr_in sender = {};
        SocketLength senderLength = sizeof sender;
        // A longer datagram fails with WSAEMSGSIZE and is dropped with any other error.
        const int received = recvfrom(receiver, reinterpret_cast<char*>(buffer), sizeof buffer, 0,
                                      reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (connectionState.connected.load() != 1) break;
        // Only the connected phone drives this PC; datagrams from any other host are dropped.
        if (received == INPUT_PACKET_SIZE && sender.sin_addr.s_addr == connectionState.phoneAddress.load())
            DispatchInputPacket(DecodeInputPacket(buffer));
    }
    closesocket(receiver);
    return 0;
}

// bench_input: how long a datagram takes from leaving the sender to the injection call, and how
// many datagrams a second get through without loss, for the real receiver and dispatcher with a
// recording injector, beside a bare loopback UDP receive loop, the floor under both.
// Usage: bench_input [DATAGRAMS]   (default 100000)
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "base/wire.h"
#include "bench_inject.h"
#include "input/packet.h"
#include "net/receiver.h"
#include "net/sockets.h"

namespace {

constexpr uint16_t BASELINE_PORT = 4027;

std::atomic<uint32_t> baselineCount{0};
std::vector<Clock::time_point> baselineAt(MAX_SEQUENCE + 1);
std::atomic<bool> baselineRunning{true};

sockaddr_in Loopback(uint16_t port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// The floor: receive 16 bytes, decode the sequence number, stamp the time. Nothing else.
void RunBareLoop(SOCKET socket)
{
    while (baselineRunning.load()) {
        unsigned char buffer[INPUT_PACKET_SIZE];
        sockaddr_in sender = {};
        SocketLength length = sizeof sender;
        const int received = int(recvfrom(socket, reinterpret_cast<char*>(buffer), sizeof buffer, 0,
                                          reinterpret_cast<sockaddr*>(&sender), &length));
        if (received != INPUT_PACKET_SIZE) continue;
        const uint32_t sequence = uint32_t(DecodeInputPacket(buffer).arg1);
        if (sequence <= MAX_SEQUENCE) baselineAt[sequence] = Clock::now();
        baselineCount.fetch_add(1, std::memory_order_release);
    }
}

struct Target {
    const char* name;
    sockaddr_in address;
    std::atomic<uint32_t>* count;
    std::vector<Clock::time_point>* at;
    // A wheel packet carries the sequence number; a character is stamped by its arrival's count.
    uint16_t character;
};

void Send(SOCKET sender, const Target& target, uint32_t sequence)
{
    unsigned char bytes[INPUT_PACKET_SIZE];
    const InputPacket packet = target.character ? InputPacket{PKT_CHAR, target.character, 0, 0}
                                                : InputPacket{PKT_WHEEL, int32_t(sequence), 0, 0};
    EncodeInputPacket(packet, bytes);
    sendto(sender, reinterpret_cast<const char*>(bytes), sizeof bytes, 0,
           reinterpret_cast<const sockaddr*>(&target.address), sizeof target.address);
}

// One datagram at a time, each sent once the previous one has arrived, so that no queue adds
// to the time measured. Returns the latencies in microseconds.
void MeasureLatency(SOCKET sender, const Target& target, uint32_t& sequence, uint32_t count,
                    std::vector<double>& latencies)
{
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t expected = target.count->load() + 1;
        ++sequence;
        const Clock::time_point sent = Clock::now();
        Send(sender, target, sequence);
        const Clock::time_point deadline = sent + std::chrono::seconds(1);
        while (target.count->load(std::memory_order_acquire) < expected)
            if (Clock::now() > deadline) break;  // lost: counted as the deadline
        const uint32_t stamp = target.character ? expected : sequence;
        const Clock::time_point arrived = target.count->load() >= expected ? (*target.at)[stamp] : deadline;
        latencies.push_back(std::chrono::duration<double, std::micro>(arrived - sent).count());
    }
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(fraction * double(values.size())))];
}

// Waits until no datagram has arrived for a while, so that one burst's stragglers are never
// counted in the next.
void WaitUntilQuiet(const Target& target)
{
    for (uint32_t last = target.count->load();;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const uint32_t now = target.count->load();
        if (now == last) return;
        last = now;
    }
}

// Sends a burst at a steady rate; true when every datagram arrived.
bool NoLossAt(SOCKET sender, const Target& target, uint32_t& sequence, double perSecond, uint32_t burst)
{
    WaitUntilQuiet(target);
    const uint32_t before = target.count->load();
    const auto gap = std::chrono::duration<double>(1.0 / perSecond);
    const Clock::time_point start = Clock::now();
    for (uint32_t i = 0; i < burst; ++i) {
        while (Clock::now() < start + std::chrono::duration_cast<Clock::duration>(gap * double(i))) {
        }
        Send(sender, target, ++sequence % MAX_SEQUENCE);
    }
    WaitUntilQuiet(target);
    return target.count->load() - before == burst;
}

double HighestLosslessRate(SOCKET sender, const Target& target, uint32_t& sequence)
{
    double low = 1000, high = 2000000;
    for (int step = 0; step < 10; ++step) {
        const double rate = (low + high) / 2;
        // Three clean bursts in a row count as sustained.
        bool clean = true;
        for (int round = 0; round < 3 && clean; ++round) clean = NoLossAt(sender, target, sequence, rate, 20000);
        (clean ? low : high) = rate;
    }
    return low;
}

}  // namespace

int main(int argc, char** argv)
{
    const uint32_t datagrams = argc > 1 ? uint32_t(std::strtoul(argv[1], nullptr, 10)) : 100000;
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const char* platform = "Windows build under Wine";
#else
    const char* platform = "native Linux build";
#endif
    ServeInputFrom(INADDR_LOOPBACK, false);
    if (!StartInputReceiver(nullptr, nullptr)) {
        std::fprintf(stderr, "bench_input: UDP port %u is taken\n", SERVICE_PORT);
        return 1;
    }

    SOCKET bare = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in bareAddress = Loopback(BASELINE_PORT);
    if (bind(bare, reinterpret_cast<const sockaddr*>(&bareAddress), sizeof bareAddress) != 0) {
        std::fprintf(stderr, "bench_input: UDP port %u is taken\n", BASELINE_PORT);
        return 1;
    }
    std::thread baseline(RunBareLoop, bare);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    SOCKET sender = socket(AF_INET, SOCK_DGRAM, 0);
    // The bare loop last: the floor under the others. Typing is stamped at the last event of
    // each character: the key's release, or the Unicode unit's.
    const int BARE = 3;
    const Target targets[4] = {
        {"receiver + dispatcher", Loopback(SERVICE_PORT), &injectedCount, &injectedAt, 0},
        {"typing with a layout key", Loopback(SERVICE_PORT), &typedCount, &typedAt, TYPED_WITH_A_KEY},
        {"typing a Unicode unit", Loopback(SERVICE_PORT), &typedCount, &typedAt, TYPED_AS_UNICODE},
        {"bare receive loop", bareAddress, &baselineCount, &baselineAt, 0}};
    uint32_t sequences[4] = {0, 0, 0, 0};
    std::vector<double> latencies[4];
    // Side by side: they alternate in rounds, so all see the same machine.
    const uint32_t rounds = 10;
    for (uint32_t round = 0; round < rounds; ++round)
        for (int t = 0; t < 4; ++t) MeasureLatency(sender, targets[t], sequences[t], datagrams / rounds, latencies[t]);

    std::printf("Input latency, %s, %u datagrams each (microseconds, send to injection call)\n", platform,
                unsigned(latencies[0].size()));
    std::printf("%-26s %10s %10s %10s %10s\n", "", "p50", "p99", "max", "p50/floor");
    for (int t = 0; t < 4; ++t)
        std::printf("%-26s %10.1f %10.1f %10.1f %10.2f\n", targets[t].name, Percentile(latencies[t], 0.50),
                    Percentile(latencies[t], 0.99), *std::max_element(latencies[t].begin(), latencies[t].end()),
                    Percentile(latencies[t], 0.5) / Percentile(latencies[BARE], 0.5));

    // A two-core machine is noisy: each search runs three times, alternating, and the median counts.
    std::vector<double> rates[2];
    const int searched[2] = {0, BARE};
    for (int search = 0; search < 3; ++search)
        for (int t = 0; t < 2; ++t)
            rates[t].push_back(HighestLosslessRate(sender, targets[searched[t]], sequences[searched[t]]));
    std::printf("\nHighest rate with no datagram lost (bursts of 20000, three in a row; three searches)\n");
    std::printf("%-24s %10s %10s %10s\n", "datagrams/s", "lowest", "median", "highest");
    for (int t = 0; t < 2; ++t)
        std::printf("%-24s %10.0f %10.0f %10.0f\n", targets[searched[t]].name, Percentile(rates[t], 0),
                    Percentile(rates[t], 0.5), Percentile(rates[t], 1));

    baselineRunning.store(false);
    Send(sender, targets[BARE], 0);  // the datagram that lets the bare loop see it should end
    baseline.join();  // the receiver runs for the life of the process, as in the server
    return 0;
}

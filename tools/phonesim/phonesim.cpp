// phonesim: the phone's side of the protocol, to check a PC without a phone.
// It holds the TCP presence connection, prints each heartbeat the server sends, and sends input
// datagrams built from its arguments or, when none are given, from a script on standard input.
#include "net/sockets.h"
#ifdef _WIN32
#include <ws2tcpip.h>
#include <shellapi.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/wire.h"
#include "input/packet.h"

namespace {

const char usage[] =
    "usage: phonesim [options] [command ...]\n"
    "  Connects to TCP port 4026 of the host, prints each heartbeat, and sends the commands as\n"
    "  UDP datagrams to port 4026. Without commands it reads one command per line from standard input.\n"
    "options:\n"
    "  --host ADDRESS   the PC's IPv4 address (default 127.0.0.1)\n"
    "  --from ADDRESS   send datagrams from this local address\n"
    "  --no-connect     send datagrams without the TCP connection\n"
    "  --hold SECONDS   keep the connection this long after the last command (default 0)\n"
    "  --settle MS      wait this long after connecting before sending (default 500)\n"
    "commands:\n"
    "  move DX DY            a pointer move, sent as the x and y packet pair\n"
    "  press|release|click BUTTON   0 left, 1 right, 2 middle, 3 and 4 extra\n"
    "  wheel AMOUNT | hwheel AMOUNT  120 is one notch\n"
    "  keydown CODE | keyup CODE     the phone's key code (51 Backspace, 52 Enter, 123 Left, ...)\n"
    "  text STRING           one character packet per UTF-16 code unit\n"
    "  packet TYPE ARG1 [ARG2 ARG3]  any packet\n"
    "  datagram SIZE         a datagram of SIZE zero bytes\n"
    "  sleep MILLISECONDS\n";

struct Options {
    std::string host = "127.0.0.1";
    std::string from;
    bool connect = true;
    double holdSeconds = 0;
    long long settleMilliseconds = 500;
};

struct Session {
    sockaddr_in server{};
    OwnedSocket udp;
    OwnedSocket tcp;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    bool checkingOnly = false;  // commands are parsed, nothing is sent or waited for
};

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "phonesim: %s\n%s", message.c_str(), usage);
    std::exit(2);
}

bool ParseInt(const std::string& text, long long low, long long high, long long& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 0);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

int32_t IntArgument(const std::vector<std::string>& words, size_t index)
{
    long long value = 0;
    if (index >= words.size() || !ParseInt(words[index], INT32_MIN, UINT32_MAX, value))
        Fail("'" + words[0] + "' needs a whole number as argument " + std::to_string(index));
    return int32_t(uint32_t(value));
}

// UTF-8 text to UTF-16 code units; a malformed byte stands for itself.
std::vector<uint16_t> Utf16Units(const std::string& text)
{
    std::vector<uint16_t> units;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        uint32_t codePoint = lead;
        if (length > 1 && i + length <= text.size()) {
            codePoint = lead & (0x7F >> length);
            for (int k = 1; k < length; ++k) codePoint = (codePoint << 6) | (text[i + k] & 0x3F);
            i += length;
        } else {
            ++i;
        }
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            units.push_back(uint16_t(0xD800 + (codePoint >> 10)));
            units.push_back(uint16_t(0xDC00 + (codePoint & 0x3FF)));
        } else {
            units.push_back(uint16_t(codePoint));
        }
    }
    return units;
}

void SendDatagram(const Session& session, const void* bytes, size_t size)
{
    if (session.checkingOnly) return;
    sendto(session.udp.get(), static_cast<const char*>(bytes), int(size), 0,
           reinterpret_cast<const sockaddr*>(&session.server), sizeof session.server);
}

void SendPacket(const Session& session, int32_t type, int32_t arg1, int32_t arg2 = 0, int32_t arg3 = 0)
{
    unsigned char bytes[INPUT_PACKET_SIZE];
    EncodeInputPacket(InputPacket{type, arg1, arg2, arg3}, bytes);
    SendDatagram(session, bytes, sizeof bytes);
}

void RunCommand(const Session& session, const std::vector<std::string>& words)
{
    const std::string& verb = words[0];
    auto expect = [&](size_t count) {
        if (words.size() != count + 1) Fail("'" + verb + "' takes " + std::to_string(count) + " argument(s)");
    };
    if (verb == "move") {
        expect(2);
        SendPacket(session, PKT_MOVE_X, IntArgument(words, 1));
        SendPacket(session, PKT_MOVE_Y, IntArgument(words, 2));
    } else if (verb == "press" || verb == "release" || verb == "click") {
        expect(1);
        const int32_t button = IntArgument(words, 1);
        if (verb != "release") SendPacket(session, PKT_BUTTON_DOWN, button);
        if (verb != "press") SendPacket(session, PKT_BUTTON_UP, button);
    } else if (verb == "wheel" || verb == "hwheel") {
        expect(1);
        SendPacket(session, verb == "wheel" ? PKT_WHEEL : PKT_HWHEEL, IntArgument(words, 1));
    } else if (verb == "keydown" || verb == "keyup") {
        expect(1);
        SendPacket(session, verb == "keydown" ? PKT_KEY_DOWN : PKT_KEY_UP, IntArgument(words, 1));
    } else if (verb == "text") {
        if (words.size() < 2) Fail("'text' needs the text to type");
        std::string text = words[1];
        for (size_t i = 2; i < words.size(); ++i) text += " " + words[i];
        for (uint16_t unit : Utf16Units(text)) SendPacket(session, PKT_CHAR, unit);
    } else if (verb == "packet") {
        if (words.size() != 3 && words.size() != 5) Fail("'packet' takes TYPE ARG1 or TYPE ARG1 ARG2 ARG3");
        SendPacket(session, IntArgument(words, 1), IntArgument(words, 2), words.size() == 5 ? IntArgument(words, 3) : 0,
                   words.size() == 5 ? IntArgument(words, 4) : 0);
    } else if (verb == "datagram") {
        expect(1);
        long long size = 0;
        if (!ParseInt(words[1], 0, 65507, size)) Fail("'datagram' takes a size from 0 to 65507");
        const std::vector<unsigned char> zeros(size_t(size), 0);
        SendDatagram(session, zeros.data(), zeros.size());
    } else if (verb == "sleep") {
        expect(1);
        long long milliseconds = 0;
        if (!ParseInt(words[1], 0, 3600000, milliseconds)) Fail("'sleep' takes milliseconds");
        if (session.checkingOnly) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    } else {
        Fail("unknown command '" + verb + "'");
    }
}

// Splits the arguments into commands: each starts at a known verb.
std::vector<std::vector<std::string>> GroupCommands(const std::vector<std::string>& arguments)
{
    static const char* const verbs[] = {"move",   "press", "release", "click",  "wheel",    "hwheel",
                                        "keydown", "keyup", "text",    "packet", "datagram", "sleep"};
    std::vector<std::vector<std::string>> commands;
    for (const std::string& argument : arguments) {
        bool isVerb = false;
        for (const char* verb : verbs) isVerb = isVerb || argument == verb;
        if (isVerb || commands.empty()) commands.push_back({});
        commands.back().push_back(argument);
    }
    return commands;
}

void PrintHeartbeats(Session* session)
{
    unsigned char buffer[64];
    size_t pending = 0;
    for (;;) {
        const int received = recv(session->tcp.get(), reinterpret_cast<char*>(buffer), sizeof buffer, 0);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - session->start).count();
        if (received <= 0) {
            std::printf("%.3f closed\n", seconds);
            std::fflush(stdout);
            return;
        }
        for (int i = 0; i < received; ++i) {
            if (buffer[i] != 0) std::printf("%.3f unexpected byte 0x%02x\n", seconds, buffer[i]);
            if (++pending == INPUT_PACKET_SIZE) {
                std::printf("%.3f heartbeat\n", seconds);
                pending = 0;
            }
        }
        std::fflush(stdout);
    }
}

std::vector<std::string> Arguments(int argc, char** argv)
{
#ifdef _WIN32
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(size_t(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), size, nullptr, nullptr);
        arguments.push_back(utf8);
    }
    LocalFree(wide);
    (void)argc;
    return arguments;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    std::vector<std::string> rest;
    const std::vector<std::string> arguments = Arguments(argc, argv);
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) Fail(a + " needs a value");
            return arguments[++i];
        };
        if (a == "--host") options.host = value();
        else if (a == "--from") options.from = value();
        else if (a == "--no-connect") options.connect = false;
        else if (a == "--hold") {
            long long seconds = 0;
            if (!ParseInt(value(), 0, 86400, seconds)) Fail("--hold takes whole seconds from 0 to 86400");
            options.holdSeconds = double(seconds);
        } else if (a == "--settle") {
            if (!ParseInt(value(), 0, 60000, options.settleMilliseconds)) Fail("--settle takes milliseconds");
        } else if (a == "--help" || a == "-h") {
            std::fputs(usage, stdout);
            return 0;
        } else if (a.rfind("--", 0) == 0) Fail("unknown option " + a);
        else rest.push_back(a);
    }

#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) Fail("the network library did not start");
#endif
    Session session;
    session.server.sin_family = AF_INET;
    session.server.sin_port = htons(SERVICE_PORT);
    if (inet_pton(AF_INET, options.host.c_str(), &session.server.sin_addr) != 1) Fail("bad --host address");

    session.udp = OwnedSocket(socket(AF_INET, SOCK_DGRAM, 0));
    if (!options.from.empty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (inet_pton(AF_INET, options.from.c_str(), &local.sin_addr) != 1) Fail("bad --from address");
        if (bind(session.udp.get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            std::fprintf(stderr, "phonesim: cannot send from %s\n", options.from.c_str());
            return 1;
        }
    }

    // Commands are checked before anything reaches the network, so a typo sends nothing.
    const std::vector<std::vector<std::string>> commands = GroupCommands(rest);
    session.checkingOnly = true;
    for (const auto& command : commands) RunCommand(session, command);
    session.checkingOnly = false;

    std::thread reader;
    if (options.connect) {
        session.tcp = OwnedSocket(socket(AF_INET, SOCK_STREAM, 0));
        if (connect(session.tcp.get(), reinterpret_cast<sockaddr*>(&session.server), sizeof session.server) != 0) {
            std::fprintf(stderr, "phonesim: cannot connect to %s port %u\n", options.host.c_str(), SERVICE_PORT);
            return 1;
        }
        std::printf("0.000 connected\n");
        std::fflush(stdout);
        reader = std::thread(PrintHeartbeats, &session);
        // The server binds its input port once it has accepted the connection; a datagram sent
        // before then is lost.
        std::this_thread::sleep_for(std::chrono::milliseconds(options.settleMilliseconds));
    }

    if (!rest.empty()) {
        for (const auto& command : commands) RunCommand(session, command);
    } else {
        std::string line;
        while (std::getline(std::cin, line)) {
            std::istringstream words(line);
            std::vector<std::string> command;
            for (std::string word; words >> word;) command.push_back(word);
            if (!command.empty() && command[0][0] != '#') RunCommand(session, command);
        }
    }

    std::this_thread::sleep_for(std::chrono::duration<double>(options.holdSeconds));
    if (options.connect) {
        shutdown(session.tcp.get(), 2);
        reader.join();
    }
    return 0;  // both sockets close with the session
}

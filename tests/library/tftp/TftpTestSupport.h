#pragma once
// Helpers shared by the TFTP server tests: a scripted UDP client that pumps the event loop
// while it waits, file helpers, and a child-process runner for real clients.
#include "EventLoop.h"
#include "TFTPServer.h"
#include "TestEnv.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tftptest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(size);
    for (auto &x : b)
        x = static_cast<std::uint8_t>(rng());
    return b;
}

void writeFile(const std::string &path, const Bytes &data);
Bytes readFile(const std::string &path);
bool fileExists(const std::string &path);
// Names in a folder (sorted), to check that nothing unexpected is left behind.
std::vector<std::string> listFolder(const std::string &dir);

inline Bytes packet(std::initializer_list<int> head, const std::string &tail = {})
{
    Bytes b;
    for (int x : head)
        b.push_back(static_cast<std::uint8_t>(x));
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}
Bytes request(int opcode, const std::string &name, const std::string &mode = "octet");
// An ERROR packet with the message RFC 1350 gives its code.
inline Bytes errorPacket(int code)
{
    static const char *const texts[] = {"Not defined, see error message (if any).",
                                        "File not found.",
                                        "Access violation.",
                                        "Disk full or allocation exceeded.",
                                        "Illegal TFTP operation.",
                                        "Unknown transfer ID.",
                                        "File already exists.",
                                        "No such user."};
    return packet({0, 5, 0, code}, std::string(texts[code]) + '\0');
}
Bytes ack(std::uint16_t block);
Bytes data(std::uint16_t block, const Bytes &payload);
inline std::uint16_t opcodeOf(const Bytes &p)
{
    return p.size() >= 2 ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : 0;
}
inline std::uint16_t blockOf(const Bytes &p)
{
    return p.size() >= 4 ? static_cast<std::uint16_t>(p[2] << 8 | p[3]) : 0;
}

// A UDP socket on a loopback address (127.0.0.1 unless given) playing the TFTP client.
class UdpClient {
public:
    explicit UdpClient(const char *address = "127.0.0.1");
    ~UdpClient();
    UdpClient(const UdpClient &) = delete;
    UdpClient &operator=(const UdpClient &) = delete;

    void sendTo(int port, const Bytes &datagram);
    // Waits up to ms (real time) for a datagram, pumping the event loop meanwhile.
    std::optional<Bytes> receive(int ms = 2000, int *fromPort = nullptr);
    int port() const;

private:
    int m_fd = -1;
};

// Pumps the event loop for about ms of real time.
void pump(int ms);

struct ClientResult {
    int exitCode = -1;
    bool timedOut = false;
    std::string output;
};
// Runs a program (argument list, no shell) with its output in logPath, pumping the event
// loop until it exits; killed after timeoutMs.
ClientResult runClient(const std::vector<std::string> &args, const std::string &logPath, int timeoutMs);
bool programAvailable(const std::string &name);

} // namespace tftptest

#include "TestEnv.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace kvtest {

std::string sourceDir()
{
    const char *dir = std::getenv("KV_SOURCE_DIR");
    return dir ? dir : KV_SOURCE_DIR_DEFAULT;
}

std::string binaryDir()
{
    const char *dir = std::getenv("KV_BINARY_DIR");
    return dir ? dir : KV_BINARY_DIR_DEFAULT;
}

namespace {

// Every folder a test process makes lies in one folder of its own, removed when the process
// ends, whether its tests passed or not.
class ProcessTempRoot {
public:
    ~ProcessTempRoot()
    {
        if (!m_path.empty() && m_owner == ::getpid()) {
            std::error_code ec;
            std::filesystem::remove_all(m_path, ec);
        }
    }
    const std::string &path()
    {
        if (m_path.empty()) {
            std::string pattern = (std::filesystem::temp_directory_path() / "kvtest-XXXXXX").string();
            if (!mkdtemp(pattern.data()))
                throw std::runtime_error("mkdtemp failed");
            m_path = pattern;
            m_owner = ::getpid();
        }
        return m_path;
    }

private:
    std::string m_path;
    pid_t m_owner = 0;
};

ProcessTempRoot &processTempRoot()
{
    static ProcessTempRoot root;
    return root;
}

} // namespace

std::string processTempDir()
{
    return processTempRoot().path();
}

std::string makeTempDir(const std::string &prefix)
{
    std::string pattern = processTempDir() + "/" + prefix + "XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed");
    return buf.data();
}

namespace {

// One file whose bytes stand for ports: a test process holds the lock of a byte for each port
// it chose, so that no other test process of this user chooses that port too. The locks go
// with the process.
int portLocks()
{
    static const int fd = [] {
        const std::string path = "/tmp/kv-test-ports-" + std::to_string(::getuid());
        return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }();
    return fd;
}

bool lockPort(int port, bool lock)
{
    struct flock byte {};
    byte.l_type = static_cast<short>(lock ? F_WRLCK : F_UNLCK);
    byte.l_whence = SEEK_SET;
    byte.l_start = port;
    byte.l_len = 1;
    return portLocks() >= 0 && ::fcntl(portLocks(), F_SETLK, &byte) == 0;
}

bool udpPortFree(int port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool free = bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    close(fd);
    return free;
}

// The first port the kernel gives client sockets that name none.
int firstClientPort()
{
    std::ifstream range("/proc/sys/net/ipv4/ip_local_port_range");
    int low = 32768;
    range >> low;
    return low;
}

} // namespace

int freeUdpPort()
{
    // Below the ports the kernel gives clients, which would otherwise take one between this
    // choice and its use (the program's and devsim's own requests among them).
    const int end = firstClientPort();
    const int first = std::max(1024, end - 12000);
    const int count = end - first;
    static unsigned next = static_cast<unsigned>(::getpid()) * 2654435761u;
    static std::deque<int> held;
    for (int tried = 0; tried < count; ++tried) {
        const int port = first + static_cast<int>(next++ % static_cast<unsigned>(count));
        if (!lockPort(port, true))
            continue;
        if (!udpPortFree(port)) {
            lockPort(port, false);
            continue;
        }
        held.push_back(port);
        // Chosen long ago, a port served a test that has ended: others may have it again.
        if (held.size() > 64) {
            lockPort(held.front(), false);
            held.pop_front();
        }
        return port;
    }
    throw std::runtime_error("no free UDP port");
}

bool peersRequired()
{
    const char *flag = std::getenv("KV_REQUIRE_PEERS");
    return flag != nullptr && std::string(flag) == "1";
}

} // namespace kvtest

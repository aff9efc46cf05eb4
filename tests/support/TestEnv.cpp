#include "TestEnv.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

int freeUdpPort()
{
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        close(fd);
        throw std::runtime_error("bind failed");
    }
    close(fd);
    return ntohs(addr.sin_port);
}

bool peersRequired()
{
    const char *flag = std::getenv("KV_REQUIRE_PEERS");
    return flag != nullptr && std::string(flag) == "1";
}

} // namespace kvtest

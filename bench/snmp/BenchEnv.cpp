// The few test helpers the agent fixture needs, for a program without the test main.
#include "TestEnv.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace kvtest {

std::string sourceDir()
{
    return ".";
}

std::string binaryDir()
{
    return ".";
}

std::string makeTempDir(const std::string &prefix)
{
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const char *made = mkdtemp(name.data());
    return made ? std::string(made) : std::string("/tmp");
}

int freeUdpPort()
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof(a));
    socklen_t len = sizeof(a);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

} // namespace kvtest

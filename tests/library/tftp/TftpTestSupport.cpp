#include "TftpTestSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char **environ;

namespace tftptest {

void writeFile(const std::string &path, const Bytes &data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::vector<std::string> listFolder(const std::string &dir)
{
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Bytes request(int opcode, const std::string &name, const std::string &mode)
{
    Bytes b = packet({0, opcode});
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
    b.insert(b.end(), mode.begin(), mode.end());
    b.push_back(0);
    return b;
}

Bytes ack(std::uint16_t block)
{
    return packet({0, 4, block >> 8, block & 0xff});
}

Bytes data(std::uint16_t block, const Bytes &payload)
{
    Bytes b = packet({0, 3, block >> 8, block & 0xff});
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

UdpClient::UdpClient(const char *address)
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    if (::inet_pton(AF_INET, address, &a.sin_addr) != 1 || (ntohl(a.sin_addr.s_addr) >> 24) != 127)
        throw std::runtime_error("client addresses are loopback addresses");
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0)
        throw std::runtime_error("client socket");
}

UdpClient::~UdpClient()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int UdpClient::port() const
{
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len);
    return ntohs(a.sin_port);
}

void UdpClient::sendTo(int port, const Bytes &datagram)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::sendto(m_fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to) !=
        static_cast<ssize_t>(datagram.size()))
        throw std::runtime_error("sendto");
}

std::optional<Bytes> UdpClient::receive(int ms, int *fromPort)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        Bytes buf(4096);
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n =
            ::recvfrom(m_fd, buf.data(), buf.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr *>(&from), &len);
        if (n >= 0) {
            buf.resize(static_cast<std::size_t>(n));
            if (fromPort)
                *fromPort = ntohs(from.sin_port);
            return buf;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        kv::waitForEvents(2);
    }
}

void pump(int ms)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline)
        kv::waitForEvents(2);
}

bool programAvailable(const std::string &name)
{
    for (const char *dir : {"/usr/bin/", "/usr/sbin/", "/bin/", "/usr/local/bin/"})
        if (::access((std::string(dir) + name).c_str(), X_OK) == 0)
            return true;
    return false;
}

ClientResult runClient(const std::vector<std::string> &args, const std::string &logPath, int timeoutMs)
{
    ClientResult result;
    std::vector<char *> argv;
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // No proxies: every transfer stays on loopback.
    const char *env[] = {"PATH=/usr/bin:/bin:/usr/sbin:/sbin", "LC_ALL=C", "HOME=/tmp", nullptr};
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), const_cast<char **>(env));
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.output = "spawn failed";
        return result;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        kv::waitForEvents(20);
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::ifstream log(logPath);
    std::stringstream ss;
    ss << log.rdbuf();
    result.output = ss.str();
    return result;
}

} // namespace tftptest

#include "Tftp.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <vector>

extern char **environ;

namespace devsim {

namespace {

struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (fd >= 0)
            close(fd);
    }
};

int openPidFd(pid_t pid)
{
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

} // namespace

std::string findProgram(const std::string &name)
{
    if (name.find('/') != std::string::npos)
        return access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        auto colon = dirs.find(':', start);
        std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return {};
}

AtftpRunner::AtftpRunner(std::string program, int port, int timeoutMs, int abortFd)
    : program_(std::move(program)), port_(port), timeoutMs_(timeoutMs), abortFd_(abortFd)
{
}

std::string AtftpRunner::transfer(bool get, const std::string &server, const std::string &remoteName,
                                  const std::string &localPath)
{
    if (program_.empty())
        return "no TFTP client program";
    std::vector<std::string> args = {program_, "--option",        "mode octet", "--tftp-timeout",
                                     "1",      get ? "-g" : "-p", "-r",         remoteName,
                                     "-l",     localPath,         server,       std::to_string(port_)};
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int errPipe[2];
    if (pipe2(errPipe, O_CLOEXEC) != 0)
        return "pipe failed";
    Fd errRead(errPipe[0]);
    Fd errWrite(errPipe[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return "cannot start " + program_;
    close(errWrite.fd);
    errWrite.fd = -1;
    Fd pidFd(openPidFd(pid));

    std::string output;
    bool aborted = false;
    bool timedOut = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
    bool exited = false;
    while (!exited) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd fds[3] = {{pidFd.fd, POLLIN, 0}, {errRead.fd, POLLIN, 0}, {abortFd_, POLLIN, 0}};
        int n = poll(fds, abortFd_ >= 0 ? 3 : 2, static_cast<int>(left));
        if (n < 0 && errno != EINTR)
            break;
        if (n <= 0)
            continue;
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            char buf[512];
            ssize_t got = read(errRead.fd, buf, sizeof buf);
            if (got > 0 && output.size() < 4096)
                output.append(buf, static_cast<std::size_t>(got));
            if (got <= 0) {
                close(errRead.fd);
                errRead.fd = -1;
                // Without a process descriptor the closed output is the sign of the end.
                if (pidFd.fd < 0)
                    exited = true;
            }
        }
        if (abortFd_ >= 0 && (fds[2].revents & POLLIN)) {
            aborted = true;
            break;
        }
        if (fds[0].revents & POLLIN)
            exited = true;
    }
    if (!exited)
        kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (aborted)
        return "transfer aborted";
    if (timedOut)
        return "transfer timed out";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        for (auto &c : output)
            if (c == '\n' || c == '\r')
                c = ' ';
        return "transfer failed: " + output.substr(0, 200);
    }
    return {};
}

} // namespace devsim

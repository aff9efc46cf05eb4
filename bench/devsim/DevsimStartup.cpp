// How long the simulated access point takes from start to its first possible answer, and
// to stop on SIGTERM: tests start one per case.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char **environ;

namespace {

int freePort()
{
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

void startAndStop(benchmark::State &state)
{
    char pattern[] = "/tmp/devsim-bench.XXXXXX";
    std::string dir = mkdtemp(pattern);
    for (auto _ : state) {
        std::vector<std::string> args = {DEVSIM_PROGRAM, "--port", std::to_string(freePort()), "--state",
                                         dir};
        std::vector<char *> argv;
        for (auto &s : args)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("pipe");
            break;
        }
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
        posix_spawn_file_actions_addclose(&fa, fds[0]);
        pid_t pid = -1;
        int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&fa);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            state.SkipWithError("cannot start devsim");
            break;
        }
        std::string out;
        while (out.find("devsim ready") == std::string::npos) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 5000) <= 0)
                break;
            char buf[256];
            ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, static_cast<std::size_t>(n));
        }
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        close(fds[0]);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(startAndStop)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

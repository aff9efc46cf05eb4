#include "Harness.h"

#include "TestEnv.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char **environ;

namespace devsimtest {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char *> argvOf(std::vector<std::string> &args)
{
    std::vector<char *> out;
    for (auto &a : args)
        out.push_back(a.data());
    out.push_back(nullptr);
    return out;
}

// Children get their own SNMP tool settings so the host's files do not matter.
std::vector<std::string> childEnvironment(const std::string &snmpDir)
{
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        std::string s = *e;
        if (s.starts_with("MIBS=") || s.starts_with("SNMPCONFPATH=") || s.starts_with("SNMP_PERSISTENT_DIR="))
            continue;
        env.push_back(s);
    }
    env.push_back("MIBS=");
    if (!snmpDir.empty()) {
        env.push_back("SNMPCONFPATH=" + snmpDir);
        env.push_back("SNMP_PERSISTENT_DIR=" + snmpDir);
    }
    return env;
}

int waitPid(int pid, int timeoutMs)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        int status = 0;
        int r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (r < 0)
            return -1;
        if (Clock::now() >= deadline)
            return -2;
        usleep(5000);
    }
}

std::string g_snmpDir;

const std::string &snmpClientDir()
{
    if (g_snmpDir.empty())
        g_snmpDir = kvtest::makeTempDir("devsim-client-");
    return g_snmpDir;
}

} // namespace

RunResult run(const std::vector<std::string> &argvIn, int timeoutMs)
{
    RunResult result;
    std::vector<std::string> args = argvIn;
    auto argv = argvOf(args);
    auto envStrings = childEnvironment(snmpClientDir());
    auto envp = argvOf(envStrings);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return result;
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buf[4096];
        ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        result.output.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int code = waitPid(
        pid,
        std::max<int>(
            0, static_cast<int>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count())));
    if (code == -2) {
        kill(pid, SIGKILL);
        waitPid(pid, 5000);
        code = -1;
    }
    result.exitCode = code;
    return result;
}

Process::~Process()
{
    if (pid_ > 0)
        stop(3000);
    if (out_ >= 0)
        close(out_);
}

bool Process::start(const std::vector<std::string> &argvIn)
{
    std::vector<std::string> args = argvIn;
    auto argv = argvOf(args);
    auto envStrings = childEnvironment("");
    auto envp = argvOf(envStrings);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return false;
    }
    pid_ = pid;
    if (out_ >= 0)
        close(out_);
    out_ = fds[0];
    buffer_.clear();
    return true;
}

bool Process::waitForLine(const std::string &text, int timeoutMs)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (buffer_.find(text) == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || out_ < 0)
            return false;
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buf[1024];
        ssize_t n = read(out_, buf, sizeof buf);
        if (n <= 0)
            return false;
        buffer_.append(buf, static_cast<std::size_t>(n));
    }
    return true;
}

int Process::wait(int timeoutMs)
{
    if (pid_ <= 0)
        return -1;
    int code = waitPid(pid_, timeoutMs);
    if (code == -2)
        return -1;
    pid_ = -1;
    return code;
}

int Process::stop(int timeoutMs)
{
    if (pid_ <= 0)
        return -1;
    kill(pid_, SIGTERM);
    kill(pid_, SIGCONT);
    int code = waitPid(pid_, timeoutMs);
    if (code == -2) {
        kill(pid_, SIGKILL);
        waitPid(pid_, 5000);
        code = -1;
    }
    pid_ = -1;
    return code;
}

namespace {

// The state letter of /proc/PID/stat ('T' once stopped), or 0.
char processState(int pid)
{
    const std::string stat = readWholeFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '\0';
}

} // namespace

void Process::pause()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGSTOP);
    for (int i = 0; i < 400 && processState(pid_) != 'T'; ++i)
        usleep(5000);
}

void Process::resume()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGCONT);
    for (int i = 0; i < 400 && processState(pid_) == 'T'; ++i)
        usleep(5000);
}

char Process::state() const
{
    return pid_ > 0 ? processState(pid_) : '\0';
}

std::string devsimPath()
{
    return kvtest::binaryDir() + "/tools/devsim/devsim";
}

std::string readWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeWholeFile(const std::string &path, const std::string &data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

Devsim::Devsim(std::vector<std::string> extraArgs) : extraArgs_(std::move(extraArgs))
{
    state_ = kvtest::makeTempDir("devsim-state-");
    // A port that was free can be taken in between: try a few.
    for (int attempt = 0; attempt < 3 && !ready_; ++attempt) {
        port_ = kvtest::freeUdpPort();
        ready_ = start(extraArgs_);
    }
}

bool Devsim::start(const std::vector<std::string> &extraArgs)
{
    std::vector<std::string> args = {devsimPath(),          "--address", "127.0.0.1", "--port",
                                     std::to_string(port_), "--state",   state_};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    if (!proc_.start(args))
        return false;
    if (proc_.waitForLine("devsim ready", 10000))
        return true;
    proc_.stop();
    return false;
}

bool Devsim::restart(const std::vector<std::string> &moreArgs)
{
    proc_.stop();
    std::vector<std::string> args = extraArgs_;
    args.insert(args.end(), moreArgs.begin(), moreArgs.end());
    // The port, free for a moment, may be held briefly by another test's look for a free one.
    for (int attempt = 0; attempt < 20; ++attempt) {
        ready_ = start(args);
        if (ready_)
            break;
        usleep(100000);
    }
    return ready_;
}

Devsim::~Devsim()
{
    proc_.stop();
    std::error_code ec;
    std::filesystem::remove_all(state_, ec);
}

std::string Devsim::socketText() const
{
    // "sl local remote st tx_queue:rx_queue tr:when retrnsmt uid timeout inode ref pointer drops"
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", static_cast<unsigned>(port_));
    std::istringstream table(readWholeFile("/proc/net/udp"));
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string w; fields >> w;)
            f.push_back(w);
        if (f.size() < 13 || f[1] != local)
            continue;
        const std::size_t colon = f[4].find(':');
        const unsigned long waiting = std::strtoul(f[4].substr(colon + 1).c_str(), nullptr, 16);
        return std::to_string(waiting) + " bytes waiting, " + f[12] + " datagrams dropped";
    }
    return "no socket on port " + std::to_string(port_);
}

std::string Devsim::readFile(const std::string &name) const
{
    return readWholeFile(state_ + "/" + name);
}

RunResult Devsim::snmp(const std::string &tool, const std::string &version, const std::string &community,
                       const std::vector<std::string> &args, double timeoutSeconds) const
{
    char t[32];
    std::snprintf(t, sizeof t, "%.1f", timeoutSeconds);
    std::vector<std::string> argv = {tool, "-v", version, "-c", community, "-On",
                                     "-r", "0",  "-t",    t,    target()};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv, static_cast<int>(timeoutSeconds * 1000) * 3 + 5000);
}

RunResult Devsim::snmpV3(const std::string &tool, const std::vector<std::string> &userArgs,
                         const std::vector<std::string> &args, double timeoutSeconds) const
{
    char t[32];
    std::snprintf(t, sizeof t, "%.1f", timeoutSeconds);
    std::vector<std::string> argv = {tool, "-v", "3", "-On", "-r", "0", "-t", t};
    argv.insert(argv.end(), userArgs.begin(), userArgs.end());
    argv.push_back(target());
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv, static_cast<int>(timeoutSeconds * 1000) * 3 + 5000);
}

} // namespace devsimtest

// Walking a table of the simulated device into a list view, against the bare walk of the same
// table: the list must grow linearly with the rows and cost at most about as much again as
// the walk itself.
#include "ComCtrls.h"
#include "Forms.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

extern char **environ;

namespace {

int g_port = 0;
std::map<std::string, double> g_seconds; // name -> seconds of the last run
std::map<std::string, int> g_rows;

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

pid_t startDevsim(const std::string &state)
{
    g_port = freePort();
    std::vector<std::string> args = {DEVSIM_PROGRAM, "--port",      std::to_string(g_port), "--state", state,
                                     "--profile",    BENCH_CATALOG, "--lifetime",           "900"};
    std::vector<char *> argv;
    for (auto &s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    std::string out;
    while (out.find("devsim ready") == std::string::npos) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 20000) <= 0)
            break;
        char buf[256];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (out.find("devsim ready") == std::string::npos) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

KvSNMPVarList tableOf(const char *table)
{
    const std::string base = std::string("1.3.6.1.4.1.32473.11.37.4.96.") + table + ".1";
    const std::string name = base + ".2", count = base + ".3", key = base + ".1";
    const KvSNMPItem items[] = {
        {key.c_str(), "Index", KvSyntax::Integer, KvAccess::Hidden},
        {name.c_str(), "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
        {count.c_str(), "Count", KvSyntax::Counter, KvAccess::ReadOnly},
        {},
    };
    return KvSNMPVarList(items, MVT_FMV, 1);
}

void aim(KvSNMPRequest &r)
{
    r.Device.Address = "127.0.0.1";
    r.Device.Port = static_cast<uint16_t>(g_port);
    r.Security.Version = 1;
    r.Security.ReadCommunity = "public";
    r.Timeout = 200;
    r.Retries = 1;
}

void BareWalk(benchmark::State &state, const char *table, const char *name)
{
    int rows = 0;
    for (auto _ : state) {
        KvSNMPRequest r;
        aim(r);
        r.VarList = tableOf(table);
        bool ok = true;
        rows = 0;
        const auto start = std::chrono::steady_clock::now();
        for (bool first = true; r.Get(ok, first); first = false)
            ++rows;
        g_seconds[name] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok)
            state.SkipWithError("walk failed");
    }
    g_rows[name] = rows;
    state.counters["rows"] = rows;
}

void ListViewWalk(benchmark::State &state, const char *table, const char *name)
{
    int rows = 0;
    for (auto _ : state) {
        auto *form = new TForm(nullptr);
        auto *list = new TListView(form);
        list->SetParent(form);
        {
            KvSNMPRequest2Edits binding(form);
            aim(binding.Request);
            binding.Request.VarList = tableOf(table);
            binding.Mode = 0;
            binding.SetupListView(list, true);
            const auto start = std::chrono::steady_clock::now();
            if (!binding.Get())
                state.SkipWithError("walk failed");
            g_seconds[name] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            rows = list->Items()->Count();
        }
        delete form;
    }
    g_rows[name] = rows;
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK_CAPTURE(BareWalk, rows2500, "2", "bare2500")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ListViewWalk, rows2500, "2", "list2500")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareWalk, rows10000, "1", "bare10000")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ListViewWalk, rows10000, "1", "list10000")->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    const std::string dir =
        std::filesystem::temp_directory_path() / ("kv-bench-bindings-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir + "/session");
    KvSNMPCreateGlobalSession(dir + "/session");
    const pid_t devsim = startDevsim(dir + "/devsim");
    if (devsim < 0) {
        std::fprintf(stderr, "cannot start devsim\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kill(devsim, SIGTERM);
    waitpid(devsim, nullptr, 0);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);

    for (const char *size : {"2500", "10000"}) {
        const double bare = g_seconds[std::string("bare") + size];
        const double list = g_seconds[std::string("list") + size];
        if (bare <= 0 || list <= 0)
            continue;
        std::printf(
            "%s rows: bare walk %.1f ms (%.1f us/row), into list view %.1f ms (%.1f us/row), ratio %.2f\n",
            size, bare * 1e3, bare * 1e6 / g_rows[std::string("bare") + size], list * 1e3,
            list * 1e6 / g_rows[std::string("list") + size], list / bare);
    }
    const double small = g_seconds["list2500"], large = g_seconds["list10000"];
    if (small > 0 && large > 0)
        std::printf("list view: 4x the rows took %.2fx the time\n", large / small);
    return 0;
}

// Walking a table of the simulated device into a list view, against the bare walk of the same
// table: the list must grow linearly with the rows and cost at most about as much again as
// the walk itself.
#include "ComCtrls.h"
#include "Forms.h"
#include "Harness.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "TestEnv.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

int g_port = 0;
std::map<std::string, double> g_seconds; // name -> seconds of the last run
std::map<std::string, int> g_rows;

bool startDevsim(devsimtest::Process &devsim, const std::string &state)
{
    g_port = kvtest::freeUdpPort();
    const std::vector<std::string> args = {DEVSIM_PROGRAM, "--port",     std::to_string(g_port),
                                           "--state",      state,        "--profile",
                                           BENCH_CATALOG,  "--lifetime", "900"};
    return devsim.start(args) && devsim.waitForLine("devsim ready", 20000);
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
    devsimtest::Process devsim;
    if (!startDevsim(devsim, dir + "/devsim")) {
        std::fprintf(stderr, "cannot start devsim\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    devsim.stop();
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

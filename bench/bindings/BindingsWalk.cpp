// Walking a table of the simulated device into a list view that is shown, against a bare
// net-snmp walk of the same table: the list may cost at most as much again as the walk, and
// its cost per row must not grow with the rows already there. The two take turns over several
// rounds. Both are checked: every row in order with both its values, in the list's cells and
// in the bare walk's answers; a missing or wrong one fails the run.
// usage: bench_bindings [--rounds R] [--sizes 1000,10000,50000]
// Runs on the platform Qt is given: offscreen by default, QT_QPA_PLATFORM=xcb for an X server
// (run.sh does both).
#include "BareNetSnmp.h"
#include "BenchSeries.h"
#include "ComCtrls.h"
#include "Forms.h"
#include "Harness.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "TestEnv.h"

#include <QApplication>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

int g_port = 0;

bool startDevsim(devsimtest::Process &devsim, const std::string &state)
{
    g_port = kvtest::freeUdpPort();
    const std::vector<std::string> args = {DEVSIM_PROGRAM, "--port",     std::to_string(g_port),
                                           "--state",      state,        "--profile",
                                           BENCH_CATALOG,  "--lifetime", "3600"};
    return devsim.start(args) && devsim.waitForLine("devsim ready", 20000);
}

// The table of the catalog with that many rows.
const char *tableFor(int rows)
{
    switch (rows) {
    case 1000:
        return "1";
    case 10000:
        return "2";
    case 50000:
        return "3";
    default:
        return nullptr;
    }
}

std::string entryOf(const char *table)
{
    return std::string("1.3.6.1.4.1.32473.11.37.4.96.") + table + ".1";
}

KvSNMPVarList tableOf(const char *table)
{
    const std::string base = entryOf(table);
    const std::string name = base + ".2", count = base + ".3", key = base + ".1";
    const KvSNMPItem items[] = {
        {key.c_str(), "Index", KvSyntax::Integer, KvAccess::Hidden},
        {name.c_str(), "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
        {count.c_str(), "Count", KvSyntax::Counter, KvAccess::ReadOnly},
        {},
    };
    return KvSNMPVarList(items, MVT_FMV, 1);
}

// What every row of the catalog's tables holds, after its index 1, 2, ...
const bench::Values kRowValues = {"station-name", "123456"};

void aim(KvSNMPRequest &r)
{
    r.Device.Address = "127.0.0.1";
    r.Device.Port = static_cast<uint16_t>(g_port);
    r.Security.Version = 1;
    r.Security.ReadCommunity = "public";
    r.Timeout = 200;
    r.Retries = 1;
}

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same table walked straight on net-snmp, row by row.
double bareWalk(const char *table, int rows)
{
    int got = 0;
    const double seconds = bench::bareWalk(g_port, "public", entryOf(table), {2, 3}, got,
                                           [&got](const bench::Name &index, const bench::Values &values) {
                                               return index.size() == 1 &&
                                                      index[0] == static_cast<unsigned long>(got + 1) &&
                                                      values == kRowValues;
                                           });
    return got == rows ? seconds : -1;
}

// Every row of the list in order, with its index and both values.
bool listHoldsTheTable(TListView *list, int rows)
{
    if (list->Items()->Count() != rows)
        return false;
    for (int i = 0; i < rows; ++i) {
        TListItem *row = list->Items()->Item(i);
        const TStrings *cells = row->SubItems();
        if (row->Caption() != std::to_string(i + 1) || cells->Count() != 2 ||
            cells->Strings(0) != kRowValues[0] || cells->Strings(1) != kRowValues[1])
            return false;
    }
    return true;
}

// The same walk by a binding into a list view on a shown window.
double listWalk(const char *table, int rows)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetClientWidth(480);
    form->SetClientHeight(360);
    auto *list = new TListView(form.get());
    list->SetParent(form.get());
    list->SetAlign(alClient);
    form->Show();
    kv::processMessages();
    double seconds = -1;
    {
        KvSNMPRequest2Edits binding(form.get());
        aim(binding.Request);
        binding.Request.VarList = tableOf(table);
        binding.Mode = 0;
        binding.SetupListView(list, true);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = binding.Get();
        // What the walk left to show is part of its cost.
        kv::processMessages();
        seconds = since(start);
        if (!ok || !listHoldsTheTable(list, rows))
            seconds = -1;
    }
    return seconds;
}

std::vector<int> sizesOf(int argc, char **argv)
{
    const std::string text = bench::argText(argc, argv, "--sizes", "1000,10000,50000");
    std::vector<int> sizes;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t comma = text.find(',', at);
        if (comma == std::string::npos)
            comma = text.size();
        const int n = std::atoi(text.substr(at, comma - at).c_str());
        if (tableFor(n))
            sizes.push_back(n);
        at = comma + 1;
    }
    return sizes;
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    const int rounds = std::max(1, bench::argValue(argc, argv, "--rounds", 5));
    const std::vector<int> sizes = sizesOf(argc, argv);
    const std::string dir =
        std::filesystem::temp_directory_path() / ("kv-bench-bindings-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir + "/session");
    KvSNMPCreateGlobalSession(dir + "/session");
    devsimtest::Process devsim;
    if (!startDevsim(devsim, dir + "/devsim")) {
        std::fprintf(stderr, "cannot start devsim\n");
        return 1;
    }

    std::map<int, bench::Series> bare, list;
    bool failed = false;
    for (int round = 0; round < rounds && !failed; ++round) {
        for (int rows : sizes) {
            const char *table = tableFor(rows);
            // Who goes first changes every round.
            for (int k = 0; k < 2; ++k) {
                const bool bareTurn = (k == 0) == (round % 2 == 0);
                const double s = bareTurn ? bareWalk(table, rows) : listWalk(table, rows);
                failed = failed || s < 0;
                (bareTurn ? bare : list)[rows].values.push_back(s);
            }
        }
    }
    devsim.stop();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    if (failed) {
        std::printf("FAILED: a walk failed, or a row or a value was missing or wrong\n");
        return 2;
    }

    std::printf("table walk into a shown list view (platform %s) against a bare net-snmp walk, %d rounds "
                "taking turns; us/row min / median / max\n",
                qPrintable(QGuiApplication::platformName()), rounds);
    for (int rows : sizes) {
        const bench::Series &b = bare[rows], &l = list[rows];
        std::printf("  %5d rows: bare walk %7.1f %7.1f %7.1f   into list %7.1f %7.1f %7.1f   "
                    "ratio %.2f (goal <= 2.00)\n",
                    rows, b.min() * 1e6 / rows, b.median() * 1e6 / rows, b.max() * 1e6 / rows,
                    l.min() * 1e6 / rows, l.median() * 1e6 / rows, l.max() * 1e6 / rows,
                    l.median() / b.median());
    }
    if (sizes.size() > 1) {
        const int small = sizes.front(), large = sizes.back();
        const double perSmall = list[small].median() / small, perLarge = list[large].median() / large;
        std::printf("  list cost per row at %d rows / at %d rows: %.2f (goal: flat, about 1.00)\n", large,
                    small, perLarge / perSmall);
    }
    return 0;
}

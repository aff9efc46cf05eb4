// Gets and a table walk through KvSNMPRequest against the same operations on a bare net-snmp
// loop and against snmpwalk, all on one private snmpd. The library and the bare loop take
// turns, several rounds; each figure is given as min / median / max, the ratios of medians
// beside their goals. Every answer is checked on both sides: each get must bring the agent's
// description and a packet counter above the last one (a stale answer fails), each walked row
// every column's value and a row name not seen before (a dropped column or row fails).
// Usage: bench_snmp_engine [--rounds R] [--gets N] [--rows N]
//        bench_snmp_engine --only lib-gets|bare-gets|lib-walk|bare-walk [--gets N] [--rows N]
// With --only one measurement runs once (for instructions.sh, under callgrind).
#include "BareNetSnmp.h"
#include "BenchSeries.h"
#include "EngineAgents.h"
#include "EventLoop.h"
#include "KvSNMPRequest.h"
#include "KvSNMPSession.h"
#include "TestEnv.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kDescription = "kv-bench-agent";
const std::string kScalar = "1.3.6.1.2.1.1.1";           // sysDescr
const std::string kPackets = "1.3.6.1.2.1.11.1";         // snmpInPkts: one more for every request
const std::string kEntry = "1.3.6.1.4.1.8072.1.3.2.2.1"; // nsExtendConfigEntry
const std::vector<int> kColumns = {2, 3, 5, 6};          // command, arguments, cache time, exec type
// What every row of the table holds in those columns.
const std::vector<std::string> kRowValues = {"/bin/true", "", "5", "1"};

// The checks of the work, shared by the library's runs and the bare loop's.
struct Checks {
    explicit Checks(int rowCount) : seen(static_cast<std::size_t>(rowCount) + 1) {}
    unsigned long lastPackets = 0;
    std::vector<bool> seen; // row names r1 .. rN
    int rows = 0;
    bool failed = false;

    bool answer(const std::string &description, const std::string &packets)
    {
        const unsigned long n = std::strtoul(packets.c_str(), nullptr, 10);
        const bool good = description == kDescription && n > lastPackets;
        lastPackets = n;
        failed = failed || !good;
        return good;
    }
    bool row(const std::string &name, const std::vector<std::string> &values)
    {
        const std::size_t n =
            name.size() > 1 && name[0] == 'r' ? std::strtoul(name.c_str() + 1, nullptr, 10) : 0;
        const bool good = n > 0 && n < seen.size() && !seen[n] && values == kRowValues;
        if (good)
            seen[n] = true;
        ++rows;
        failed = failed || !good;
        return good;
    }
};

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

KvSNMPVarList scalarList()
{
    const KvSNMPItem items[] = {{kScalar.c_str(), "sysDescr", KvSyntax::DisplayStr, KvAccess::ReadOnly},
                                {kPackets.c_str(), "snmpInPkts", KvSyntax::Counter, KvAccess::ReadOnly},
                                {}};
    return KvSNMPVarList(items, SVT_SV, 0);
}

// The extension table: its name (the key, not accessible) and the four columns.
KvSNMPVarList tableList()
{
    const std::string key = kEntry + ".1", command = kEntry + ".2", args = kEntry + ".3",
                      cache = kEntry + ".5", exec = kEntry + ".6";
    const KvSNMPItem items[] = {
        {key.c_str(), "name", KvSyntax::DisplayStr, KvAccess::NotAccess},
        {command.c_str(), "command", KvSyntax::DisplayStr, KvAccess::ReadOnly},
        {args.c_str(), "arguments", KvSyntax::DisplayStr, KvAccess::ReadOnly},
        {cache.c_str(), "cache", KvSyntax::Integer, KvAccess::ReadOnly},
        {exec.c_str(), "exec", KvSyntax::Integer, KvAccess::ReadOnly},
        {},
    };
    return KvSNMPVarList(items, MVT_FMV, 1);
}

void aim(KvSNMPRequest &r, int port)
{
    r.Device.Address = "127.0.0.1";
    r.Device.Port = static_cast<uint16_t>(port);
    r.Security.Version = 1;
    r.Security.ReadCommunity = "mardle";
    r.Timeout = 100;
    r.Retries = 1;
}

// Requests sent from completions, as the program's windows do: the closure holds one
// pointer to its owner.
struct Chain {
    explicit Chain(int rows) : checks(rows) {}
    KvSNMPRequest request;
    Checks checks;
    int count = 0; // completions (gets)
    int wanted = 0;
    bool failed = false;
    KvSNMPCompletion next;
};

void finish()
{
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
}

std::string valueOf(const KvSNMPVarList *list, int32_t i)
{
    return list != nullptr && i < list->Count() ? std::string(list->GetItem(i)->Value) : std::string();
}

// Sequential asynchronous gets, each sent from the previous completion, in the
// application's own event loop as in the program. Seconds, or -1 when one failed.
double libraryGets(int port, int gets)
{
    Chain c(0);
    aim(c.request, port);
    c.request.VarList = scalarList();
    c.wanted = gets;
    c.next = [chain = &c](KvSNMPError *e, KvSNMPVarList *list) {
        chain->failed =
            chain->failed || e->Code != 0 || !chain->checks.answer(valueOf(list, 0), valueOf(list, 1));
        if (++chain->count < chain->wanted && !chain->failed)
            chain->request.GetAsync(chain->next, true);
        else
            finish();
    };
    const auto start = std::chrono::steady_clock::now();
    c.request.GetAsync(c.next, true);
    QCoreApplication::exec();
    const double seconds = since(start);
    return c.failed || c.count != gets ? -1 : seconds;
}

// An asynchronous walk, each row asked for from the previous row's completion.
double libraryWalk(int port, int expectedRows)
{
    Chain c(expectedRows);
    aim(c.request, port);
    c.request.VarList = tableList();
    c.next = [chain = &c](KvSNMPError *e, KvSNMPVarList *list) {
        if (e->Finished) {
            chain->failed = chain->failed || e->Code != 0;
            finish();
            return;
        }
        chain->checks.row(valueOf(list, 0),
                          {valueOf(list, 1), valueOf(list, 2), valueOf(list, 3), valueOf(list, 4)});
        chain->request.GetAsync(chain->next, false);
    };
    const auto start = std::chrono::steady_clock::now();
    c.request.GetAsync(c.next, true);
    QCoreApplication::exec();
    const double seconds = since(start);
    return c.failed || c.checks.failed || c.checks.rows != expectedRows ? -1 : seconds;
}

double bareGets(int port, int gets)
{
    Checks checks(0);
    return bench::bareGets(port, "mardle", {kScalar + ".0", kPackets + ".0"}, gets,
                           [&checks](const bench::Values &v) { return checks.answer(v[0], v[1]); });
}

// The row name is the table's index: its length, then its characters.
double bareWalk(int port, int expectedRows)
{
    Checks checks(expectedRows);
    int rows = 0;
    const double seconds = bench::bareWalk(
        port, "mardle", kEntry, kColumns, rows, [&checks](const bench::Name &index, const bench::Values &v) {
            std::string name;
            for (std::size_t i = 1; i < index.size(); ++i)
                name += static_cast<char>(index[i]);
            return index.size() == index.front() + 1 && checks.row(name, v);
        });
    return rows != expectedRows || checks.failed ? -1 : seconds;
}

// One snmpwalk process over the whole entry (every column of the table, column by column).
double snmpwalkEntry(const enginetest::SnmpdAgent &agent)
{
    const std::string command =
        "MIBS= MIBDIRS=" + agent.dir() + "/mibs SNMP_PERSISTENT_DIR=" + agent.dir() +
        "/persist SNMPCONFPATH=" + agent.dir() +
        "/none snmpwalk -On -v2c -c mardle -t 1 -r 1 127.0.0.1:" + std::to_string(agent.port()) + " " +
        kEntry + " >/dev/null";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        return -1;
    return since(start);
}

void printSeries(const char *name, const bench::Series &s, double per, const char *unit)
{
    std::printf("  %-34s %9.1f %9.1f %9.1f  %s\n", name, s.min() / per * 1e6, s.median() / per * 1e6,
                s.max() / per * 1e6, unit);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The event loop the program itself chooses.
    kv::chooseLeanEventLoop();
    QApplication app(argc, argv);
    const int rounds = std::max(1, bench::argValue(argc, argv, "--rounds", 7));
    const int gets = std::max(1, bench::argValue(argc, argv, "--gets", 1000));
    const int rows = std::max(1, bench::argValue(argc, argv, "--rows", 1000));
    const std::string only = bench::argText(argc, argv, "--only", "");

    // The agent's own tables answer without a script in between: a row of the extension
    // table per "extend" line, and the system group for the gets.
    std::string extends;
    for (int i = 1; i <= rows; ++i)
        extends += "extend r" + std::to_string(i) + " /bin/true\n";
    enginetest::SnmpdAgent agent(3, extends + "sysdescr " + kDescription + "\n");
    if (!agent.ok()) {
        std::fprintf(stderr, "%s\n", agent.why().c_str());
        return 1;
    }
    const int port = agent.port();
    const std::string sessionDir = kvtest::makeTempDir("kv-bench-snmp");
    KvSNMPCreateGlobalSession(sessionDir);
    struct Cleanup {
        std::string dir;
        ~Cleanup()
        {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
    } cleanup{sessionDir};

    if (!only.empty()) {
        double seconds = -1;
        if (only == "lib-gets")
            seconds = libraryGets(port, gets);
        else if (only == "bare-gets")
            seconds = bareGets(port, gets);
        else if (only == "lib-walk")
            seconds = libraryWalk(port, rows);
        else if (only == "bare-walk")
            seconds = bareWalk(port, rows);
        else
            std::fprintf(stderr, "unknown measurement %s\n", only.c_str());
        std::printf("%s: %.3f s\n", only.c_str(), seconds);
        return seconds < 0 ? 1 : 0;
    }

    bench::Series libGets, bareGetSeries, libWalk, bareWalks, tool;
    bool failed = false;
    auto take = [&](bench::Series &s, double seconds) {
        failed = failed || seconds < 0;
        if (seconds >= 0)
            s.values.push_back(seconds);
    };
    for (int round = 0; round < rounds; ++round) {
        // Who goes first changes every round.
        if (round % 2 == 0) {
            take(libGets, libraryGets(port, gets));
            take(bareGetSeries, bareGets(port, gets));
            take(libWalk, libraryWalk(port, rows));
            take(bareWalks, bareWalk(port, rows));
            take(tool, snmpwalkEntry(agent));
        } else {
            take(tool, snmpwalkEntry(agent));
            take(bareWalks, bareWalk(port, rows));
            take(libWalk, libraryWalk(port, rows));
            take(bareGetSeries, bareGets(port, gets));
            take(libGets, libraryGets(port, gets));
        }
    }
    if (failed || libGets.values.empty() || bareGetSeries.values.empty() || libWalk.values.empty() ||
        bareWalks.values.empty() || tool.values.empty()) {
        std::printf("FAILED: a request failed or an answer was wrong (a value, a stale counter, a row)\n");
        return 2;
    }

    std::printf(
        "snmp: %d gets of sysDescr and snmpInPkts and a walk of %d rows x %zu columns, SNMPv2c, snmpd on "
        "127.0.0.1, %d rounds taking turns\n",
        gets, rows, kColumns.size(), rounds);
    std::printf("  %-34s %9s %9s %9s\n", "", "min", "median", "max");
    printSeries("library gets (asynchronous)", libGets, gets, "us/get");
    printSeries("bare net-snmp gets", bareGetSeries, gets, "us/get");
    printSeries("library walk (asynchronous)", libWalk, rows, "us/row");
    printSeries("bare net-snmp walk", bareWalks, rows, "us/row");
    printSeries("snmpwalk of the entry, one process", tool, rows, "us/row");
    std::printf("  library / bare gets (medians)      %.3f   goal <= 1.10\n",
                libGets.median() / bareGetSeries.median());
    std::printf("  library / bare walk (medians)      %.3f   (instructions: instructions.sh)\n",
                libWalk.median() / bareWalks.median());
    std::printf("  library walk / snmpwalk (medians)  %.3f   (snmpwalk asks every column of the entry)\n",
                libWalk.median() / tool.median());
    return 0;
}

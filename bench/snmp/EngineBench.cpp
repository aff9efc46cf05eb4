// Time of 1000 sequential gets and of a 1000-row table walk through KvSNMPRequest, next to
// net-snmp's own snmpget/snmpwalk tools and a bare net-snmp loop, against one private snmpd.
// Usage: bench_snmp_engine [gets] [rows] [tool-gets]
#include "BareNetSnmp.h"
#include "EngineAgents.h"
#include "KvSNMPRequest.h"
#include "KvSNMPSession.h"
#include "TestEnv.h"

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

KvSNMPVarList listOf(const std::vector<std::string> &oids, KvSNMPItemType type, int keys)
{
    std::vector<KvSNMPItem> table;
    for (const auto &o : oids) {
        KvSNMPItem item;
        item.Oid = o;
        item.Name = o;
        item.Syntax = KvSyntax::Integer;
        item.Access = KvAccess::ReadOnly;
        table.push_back(item);
    }
    table.back().Syntax = KvSyntax::DisplayStr;
    table.push_back(KvSNMPItem{});
    return KvSNMPVarList(table.data(), type, keys);
}

std::unique_ptr<KvSNMPRequest> request(int port)
{
    auto r = std::make_unique<KvSNMPRequest>();
    r->Device.Address = "127.0.0.1";
    r->Device.Port = static_cast<uint16_t>(port);
    r->Security.Version = 1;
    r->Security.ReadCommunity = "mardle";
    r->Timeout = 100;
    r->Retries = 1;
    return r;
}

double runTool(const std::string &command, int times)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < times; ++i)
        if (std::system(command.c_str()) != 0)
            return -1;
    return since(start);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int gets = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int toolGets = argc > 3 ? std::atoi(argv[3]) : 200;

    // The agent's own tables answer without a script in between: a row of the extension
    // table per "extend" line, and the system group for the gets.
    std::string extends;
    for (int i = 1; i <= rows; ++i)
        extends += "extend r" + std::to_string(i) + " /bin/true\n";
    enginetest::SnmpdAgent agent(3, extends);
    if (!agent.ok()) {
        std::fprintf(stderr, "%s\n", agent.why().c_str());
        return 1;
    }
    const int port = agent.port();
    KvSNMPCreateGlobalSession(kvtest::makeTempDir("kv-bench"));
    const std::string scalar = "1.3.6.1.2.1.1.1";           // sysDescr
    const std::string entry = "1.3.6.1.4.1.8072.1.3.2.2.1"; // nsExtendConfigEntry

    // Library: sequential asynchronous gets, each sent from the previous completion.
    auto r = request(port);
    r->VarList = listOf({scalar}, SVT_SV, 0);
    int done = 0;
    bool failed = false;
    std::function<void(KvSNMPError *, KvSNMPVarList *)> again = [&](KvSNMPError *e, KvSNMPVarList *) {
        failed = failed || e->Code != 0;
        if (++done < gets)
            r->GetAsync(again, true);
        else
            QTimer::singleShot(0, [&] { QCoreApplication::instance()->exit(0); });
    };
    // The application's own event loop, as in the program.
    auto start = std::chrono::steady_clock::now();
    r->GetAsync(again, true);
    if (done < gets)
        app.exec();
    const double libGets = since(start);

    // Library: synchronous gets.
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < gets; ++i) {
        bool ok = true;
        r->Get(ok, true);
        failed = failed || !ok;
    }
    const double libSyncGets = since(start);

    // Library: asynchronous walk, one PDU per row.
    auto w = request(port);
    // Key (the extension's name, not accessible), command, arguments, cache time, exec type.
    w->VarList = listOf({entry + ".1", entry + ".2", entry + ".3", entry + ".5", entry + ".6"}, MVT_FMV, 1);
    w->VarList.GetItem(0)->Syntax = KvSyntax::DisplayStr;
    w->VarList.GetItem(0)->Access = KvAccess::NotAccess;
    w->VarList.GetItem(1)->Syntax = KvSyntax::DisplayStr;
    w->VarList.GetItem(2)->Syntax = KvSyntax::DisplayStr;
    w->VarList.GetItem(3)->Syntax = KvSyntax::Integer;
    w->VarList.GetItem(4)->Syntax = KvSyntax::Integer;
    int libRows = 0;
    bool walkDone = false;
    std::function<void(KvSNMPError *, KvSNMPVarList *)> nextRow = [&](KvSNMPError *e, KvSNMPVarList *) {
        if (e->Finished) {
            walkDone = true;
            failed = failed || e->Code != 0;
            QTimer::singleShot(0, [&] { QCoreApplication::instance()->exit(0); });
            return;
        }
        ++libRows;
        w->GetAsync(nextRow, false);
    };
    start = std::chrono::steady_clock::now();
    w->GetAsync(nextRow, true);
    if (!walkDone)
        app.exec();
    const double libWalk = since(start);

    int bareRows = 0;
    const double bareGet = bench::bareGets(port, scalar + ".0", gets);
    const double bareWalkTime = bench::bareWalk(port, entry, {2, 3, 5, 6}, bareRows);

    const std::string env = "MIBS= MIBDIRS=" + agent.dir() + "/mibs SNMP_PERSISTENT_DIR=" + agent.dir() +
                            "/persist SNMPCONFPATH=" + agent.dir() + "/none ";
    const std::string target = " -v2c -c mardle -t 1 -r 1 127.0.0.1:" + std::to_string(port) + " ";
    const double toolGet = runTool(env + "snmpget -On" + target + scalar + ".0 >/dev/null", toolGets);
    // snmpwalk asks column by column, the columns one PDU per row each; only the four columns
    // the library reads are walked.
    double toolWalk = 0;
    for (int column : {2, 3, 5, 6})
        toolWalk +=
            runTool(env + "snmpwalk -On" + target + entry + "." + std::to_string(column) + " >/dev/null", 1);

    std::printf("snmp engine benchmark: %d gets, table of %d rows x 4 columns (snmpd on 127.0.0.1:%d)\n",
                gets, rows, port);
    std::printf("  library async gets    %8.3f s  %7.1f us/get\n", libGets, libGets / gets * 1e6);
    std::printf("  library sync gets     %8.3f s  %7.1f us/get\n", libSyncGets, libSyncGets / gets * 1e6);
    std::printf("  bare net-snmp gets    %8.3f s  %7.1f us/get\n", bareGet, bareGet / gets * 1e6);
    std::printf("  snmpget tool          %8.3f s  %7.1f us/get (%d runs)\n", toolGet,
                toolGet / toolGets * 1e6, toolGets);
    std::printf("  library walk          %8.3f s  (%d rows)\n", libWalk, libRows);
    std::printf("  bare net-snmp walk    %8.3f s  (%d rows)\n", bareWalkTime, bareRows);
    std::printf("  snmpwalk tool         %8.3f s\n", toolWalk);
    std::printf("ratios:\n");
    std::printf("  library async get / bare get   %.3f (goal < 1.10)\n", libGets / bareGet);
    std::printf("  library sync get / bare get    %.3f\n", libSyncGets / bareGet);
    std::printf("  library get / snmpget tool     %.3f\n", (libGets / gets) / (toolGet / toolGets));
    std::printf("  library walk / bare walk       %.3f (goal < 1.10)\n", libWalk / bareWalkTime);
    std::printf("  library walk / snmpwalk        %.3f (goal < 0.33)\n", libWalk / toolWalk);
    if (failed || libRows != rows)
        std::printf("WARNING: some requests failed or rows are missing (%d of %d)\n", libRows, rows);
    return failed ? 2 : 0;
}

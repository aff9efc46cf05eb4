// devsim as a child process, examined with net-snmp's own command-line tools.
#include "Catalog.h"
#include "Harness.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace devsimtest;

namespace {

const std::string E = kEnterprise;
const std::string kSysDescr = "1.3.6.1.2.1.1.1.0";
const std::string kSysName = "1.3.6.1.2.1.1.5.0";
const std::string kLed = E + ".3.1.5.0";
const std::string kTftpCommand = E + ".3.3.4.0";
const std::string kUpgrade = E + ".3.3.5.0";
const std::string kServer = E + ".3.3.1.0";
const std::string kFile = E + ".3.3.2.0";
const std::string kSave = E + ".5.1.0";
const std::string kDiscard = E + ".5.2.0";

bool contains(const std::string &s, const std::string &what)
{
    return s.find(what) != std::string::npos;
}

std::size_t countLines(const std::string &s, const std::string &prefix)
{
    std::size_t n = 0;
    std::size_t at = 0;
    while (at < s.size()) {
        auto nl = s.find('\n', at);
        if (s.compare(at, prefix.size(), prefix) == 0)
            ++n;
        if (nl == std::string::npos)
            break;
        at = nl + 1;
    }
    return n;
}

} // namespace

TEST(DevsimAgent, HelpAndBadOptions)
{
    RunResult help = run({devsimPath(), "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char *opt : {"--address", "--port", "--catalog", "--profile", "--user", "--state",
                            "--lifetime", "--tftp-port", "--reboot-silence", "--fault"})
        EXPECT_TRUE(contains(help.output, opt)) << opt;
    // The --profile entry names every profile beside the catalog.
    const std::size_t from = help.output.find("--profile");
    std::istringstream profileEntry(help.output.substr(from, help.output.find("--user") - from));
    std::set<std::string> named;
    for (std::string word; profileEntry >> word;)
        named.insert(word.substr(word.find('(') + 1, word.find_first_of(",)") - word.find('(') - 1));
    for (const auto &entry :
         std::filesystem::directory_iterator(kvtest::sourceDir() + "/tools/devsim/catalog/profiles"))
        EXPECT_TRUE(named.count(entry.path().stem().string())) << entry.path().stem().string();
    EXPECT_EQ(run({devsimPath(), "--port", "0"}).exitCode, 2);
    EXPECT_EQ(run({devsimPath(), "--address", "10.1.1.1"}).exitCode, 2);
    EXPECT_EQ(run({devsimPath(), "--fault", "nosuchobject=drop"}).exitCode, 2);
    // A second fault on one object's operation, also under its alias's name, is refused by name.
    for (const auto &[first, second, object] :
         {std::tuple{"sysName=drop@set", "sysName=error:genErr@set", "sysName "},
          std::tuple{"sysName=drop", "sysName=delay:100@get", "sysName "},
          std::tuple{"adVlanState=drop@set", "adVlanState.0=error:genErr", "adVlanState.0 "}}) {
        RunResult twice = run({devsimPath(), "--fault", first, "--fault", second});
        EXPECT_EQ(twice.exitCode, 2) << second;
        EXPECT_TRUE(contains(twice.output, std::string("--fault ") + second + ": " + object)) << twice.output;
    }
    EXPECT_EQ(run({devsimPath(), "--user", "u:MD5:short"}).exitCode, 2);
    EXPECT_EQ(run({devsimPath(), "--bogus"}).exitCode, 2);
}

TEST(DevsimAgent, V1GetOfTheLanGroupAndErrors)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    RunResult r = d.snmp("snmpget", "1", "public",
                         {E + ".1.2.1.0", E + ".1.2.2.0", E + ".1.2.3.0", E + ".1.2.4.0", E + ".3.2.1.0"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(contains(r.output, "." + E + ".1.2.2.0 = IpAddress: 127.0.0.1")) << r.output;
    EXPECT_TRUE(contains(r.output, "." + E + ".3.2.1.0 = INTEGER: 0")) << r.output;

    RunResult missing = d.snmp("snmpget", "1", "public", {kSysDescr, E + ".99.1.1.200.0"});
    EXPECT_TRUE(contains(missing.output, "noSuchName")) << missing.output;
    EXPECT_TRUE(contains(missing.output, "Failed object: ." + E + ".99.1.1.200.0")) << missing.output;

    RunResult ro = d.snmp("snmpset", "1", "private", {kSysDescr, "s", "x"});
    EXPECT_TRUE(contains(ro.output, "noSuchName")) << ro.output;
    RunResult type = d.snmp("snmpset", "1", "private", {kLed, "s", "1"});
    EXPECT_TRUE(contains(type.output, "badValue")) << type.output;
    RunResult value = d.snmp("snmpset", "1", "private", {kLed, "i", "5"});
    EXPECT_TRUE(contains(value.output, "badValue")) << value.output;
    RunResult ok = d.snmp("snmpset", "1", "private", {kLed, "i", "0"});
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_TRUE(contains(ok.output, "INTEGER: 0")) << ok.output;
}

TEST(DevsimAgent, V2cExceptionsAndErrorStatuses)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    RunResult r = d.snmp("snmpget", "2c", "public", {kSysDescr, "1.3.6.1.2.1.1.1.1", E + ".42.0"});
    EXPECT_TRUE(contains(r.output, "STRING: \"QRN-5290AP")) << r.output;
    EXPECT_TRUE(contains(r.output, ".1.3.6.1.2.1.1.1.1 = No Such Instance")) << r.output;
    EXPECT_TRUE(contains(r.output, "." + E + ".42.0 = No Such Object")) << r.output;

    struct Case {
        std::vector<std::string> args;
        const char *reason;
    };
    const Case cases[] = {
        {{kSysDescr, "s", "x"}, "notWritable"},     {{kLed, "s", "1"}, "wrongType"},
        {{kLed, "i", "2"}, "wrongValue"},           {{kSysName, "s", std::string(300, 'n')}, "wrongLength"},
        {{E + ".3.1.5.7", "i", "1"}, "noCreation"}, {{kServer, "s", "1.2.3.4"}, "wrongType"},
    };
    for (const auto &c : cases) {
        RunResult s = d.snmp("snmpset", "2c", "private", c.args);
        EXPECT_NE(s.exitCode, 0);
        EXPECT_TRUE(contains(s.output, c.reason)) << c.args[0] << ": " << s.output;
    }
    // The read community cannot write.
    RunResult ro = d.snmp("snmpset", "2c", "public", {kSysName, "s", "x"});
    EXPECT_NE(ro.exitCode, 0);
}

TEST(DevsimAgent, SetIsAllOrNothing)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    RunResult s = d.snmp("snmpset", "2c", "private", {kSysName, "s", "changed", kLed, "i", "9"});
    EXPECT_TRUE(contains(s.output, "wrongValue")) << s.output;
    EXPECT_TRUE(contains(s.output, "Failed object: ." + kLed)) << s.output;
    RunResult g = d.snmp("snmpget", "2c", "public", {kSysName, kLed});
    EXPECT_TRUE(contains(g.output, "STRING: \"QRN-5290AP\"")) << g.output;
    EXPECT_TRUE(contains(g.output, "INTEGER: 1")) << g.output;
    RunResult both = d.snmp("snmpset", "2c", "private", {kSysName, "s", "changed", kLed, "i", "0"});
    EXPECT_EQ(both.exitCode, 0) << both.output;
    RunResult g2 = d.snmp("snmpget", "2c", "public", {kSysName, kLed});
    EXPECT_TRUE(contains(g2.output, "STRING: \"changed\"")) << g2.output;
    EXPECT_TRUE(contains(g2.output, "INTEGER: 0")) << g2.output;
}

TEST(DevsimAgent, WalkAgreesWithTheCatalog)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    RunResult sys = d.snmp("snmpwalk", "2c", "public", {"1.3.6.1.2.1.1"});
    EXPECT_EQ(countLines(sys.output, ".1.3.6.1.2.1.1."), 6u) << sys.output;
    RunResult ent = d.snmp("snmpwalk", "1", "public", {E});
    const std::string path = kvtest::sourceDir() + "/tools/devsim/catalog/qrn5290ap.cat";
    devsim::Catalog catalog = devsim::loadCatalog(path, devsim::defaultSectionsDir(path), {});
    std::size_t enterprise = 0;
    std::string first; // the enterprise object with the lowest OID
    for (const auto &[oid, obj] : catalog.objects())
        if (devsim::oidStartsWith(oid, *devsim::parseOid(E))) {
            if (++enterprise == 1)
                first = devsim::oidText(oid);
            EXPECT_TRUE(contains(ent.output, "." + devsim::oidText(oid) + " = ")) << obj.name;
        }
    // The rows a table has at start: one instance per column.
    for (const auto &[name, table] : catalog.tables())
        for (const auto &[index, cells] : table.rows)
            for (const devsim::Object &column : table.columns)
                if (devsim::oidStartsWith(column.oid, *devsim::parseOid(E))) {
                    ++enterprise;
                    devsim::Oid instance = column.oid;
                    instance.insert(instance.end(), index.begin(), index.end());
                    EXPECT_TRUE(contains(ent.output, "." + devsim::oidText(instance) + " = ")) << column.name;
                }
    EXPECT_EQ(countLines(ent.output, "." + E + "."), enterprise) << ent.output;
    EXPECT_TRUE(contains(ent.output, "." + E + ".99.1.1.56.0 = INTEGER: 0")) << ent.output;
    // Past the last object: endOfMibView (v2c) and noSuchName (v1).
    RunResult end2 = d.snmp("snmpgetnext", "2c", "public", {E + ".99.1.1.56.0"});
    EXPECT_TRUE(contains(end2.output, "No more variables left in this MIB View")) << end2.output;
    RunResult end1 = d.snmp("snmpgetnext", "1", "public", {E + ".99.1.1.56.0"});
    EXPECT_TRUE(contains(end1.output, "noSuchName")) << end1.output;
    // From the system group straight into the enterprise subtree.
    RunResult next = d.snmp("snmpgetnext", "2c", "public", {"1.3.6.1.2.1.1.6.0"});
    EXPECT_TRUE(contains(next.output, "." + first + " = ")) << next.output;
}

TEST(DevsimAgent, SnmpV3Users)
{
    Devsim d({"--user", "md5user:MD5:md5authpass:DES:md5privpass", "--user",
              "shauser:SHA:shaauthpass:DES:shaprivpass", "--user", "authonly:SHA:authonlypass"});
    ASSERT_TRUE(d.ok());
    std::vector<std::string> md5 = {"-l", "authPriv",    "-u", "md5user", "-a", "MD5",
                                    "-A", "md5authpass", "-x", "DES",     "-X", "md5privpass"};
    std::vector<std::string> sha = {"-l", "authPriv",    "-u", "shauser", "-a", "SHA",
                                    "-A", "shaauthpass", "-x", "DES",     "-X", "shaprivpass"};
    RunResult g = d.snmpV3("snmpget", md5, {kSysDescr});
    EXPECT_EQ(g.exitCode, 0) << g.output;
    EXPECT_TRUE(contains(g.output, "QRN-5290AP")) << g.output;
    RunResult s = d.snmpV3("snmpset", sha, {kSysName, "s", "v3name"});
    EXPECT_EQ(s.exitCode, 0) << s.output;
    RunResult g2 = d.snmpV3("snmpget", sha, {kSysName, E + ".42.0"});
    EXPECT_TRUE(contains(g2.output, "v3name")) << g2.output;
    EXPECT_TRUE(contains(g2.output, "No Such Object")) << g2.output;
    RunResult bad = d.snmpV3("snmpset", sha, {kLed, "i", "4"});
    EXPECT_TRUE(contains(bad.output, "wrongValue")) << bad.output;
    RunResult auth = d.snmpV3(
        "snmpget", {"-l", "authNoPriv", "-u", "authonly", "-a", "SHA", "-A", "authonlypass"}, {kSysDescr});
    EXPECT_EQ(auth.exitCode, 0) << auth.output;
    std::vector<std::string> wrong = md5;
    wrong[7] = "wrongpassword";
    RunResult denied = d.snmpV3("snmpget", wrong, {kSysDescr});
    EXPECT_NE(denied.exitCode, 0);
    EXPECT_FALSE(contains(denied.output, "QRN-5290AP"));
    EXPECT_TRUE(contains(d.readFile("writes.log"), "set noError v3:shauser sysName=\"v3name\""));
}

TEST(DevsimAgent, EngineIdKeptAcrossRestartsUntilChanged)
{
    Devsim d({"--user", "shauser:SHA:shaauthpass"});
    ASSERT_TRUE(d.ok());
    // The request names the engine it expects: a device with another one refuses it.
    auto getFrom = [&](const std::string &engineText) {
        std::string hex = "80001f8804";
        char two[3];
        for (unsigned char c : engineText) {
            std::snprintf(two, sizeof two, "%02x", c);
            hex += two;
        }
        return d.snmpV3("snmpget",
                        {"-l", "authNoPriv", "-u", "shauser", "-a", "SHA", "-A", "shaauthpass", "-e", hex},
                        {kSysDescr});
    };
    const std::string kept = d.readFile("snmp/engine.txt");
    ASSERT_TRUE(contains(kept, "boots 1")) << kept;
    const std::string id = kept.substr(3, kept.find('\n') - 3);
    EXPECT_EQ(getFrom(id).exitCode, 0);

    ASSERT_TRUE(d.restart());
    EXPECT_EQ(d.readFile("snmp/engine.txt"), "id " + id + "\nboots 2\n");
    RunResult same = getFrom(id);
    EXPECT_EQ(same.exitCode, 0) << same.output;

    ASSERT_TRUE(d.restart({"--engine-id", "replaced-unit"}));
    EXPECT_EQ(d.readFile("snmp/engine.txt"), "id replaced-unit\nboots 1\n");
    EXPECT_NE(getFrom(id).exitCode, 0);
    RunResult changed = getFrom("replaced-unit");
    EXPECT_EQ(changed.exitCode, 0) << changed.output;
}

TEST(DevsimAgent, RebootSilenceThenPendingChangesApplied)
{
    Devsim d({"--reboot-silence", "1.5"});
    ASSERT_TRUE(d.ok());
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kSysName, "s", "afterboot"}).exitCode, 0);
    EXPECT_FALSE(contains(d.readFile("active.txt"), "afterboot"));
    RunResult reboot = d.snmp("snmpset", "2c", "private", {kUpgrade, "i", "4"});
    EXPECT_EQ(reboot.exitCode, 0) << reboot.output; // the command itself is answered
    RunResult during = d.snmp("snmpget", "2c", "public", {kSysDescr}, 0.5);
    EXPECT_TRUE(contains(during.output, "Timeout")) << during.output;
    // Back once it answers again, whenever that is.
    RunResult after;
    for (int attempt = 0; attempt < 20 && !contains(after.output, "afterboot"); ++attempt)
        after = d.snmp("snmpget", "2c", "public", {kSysName}, 0.5);
    EXPECT_TRUE(contains(after.output, "afterboot")) << after.output;
    EXPECT_TRUE(contains(d.readFile("active.txt"), "sysName \"afterboot\""));
    std::string log = d.readFile("writes.log");
    EXPECT_LT(log.find("command reboot"), log.find("command restarted")) << log;
}

TEST(DevsimAgent, DeferredSavingWithActivateAndDiscard)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kSysName, "s", "pending1"}).exitCode, 0);
    EXPECT_TRUE(contains(d.readFile("pending.txt"), "pending1"));
    EXPECT_FALSE(contains(d.readFile("active.txt"), "pending1"));
    RunResult act = d.snmp("snmpset", "2c", "private", {kSave, "i", "1"});
    EXPECT_EQ(act.exitCode, 0) << act.output;
    EXPECT_TRUE(contains(d.readFile("active.txt"), "sysName \"pending1\""));
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kSysName, "s", "pending2"}).exitCode, 0);
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kDiscard, "i", "1"}).exitCode, 0);
    RunResult g = d.snmp("snmpget", "2c", "public", {kSysName, kSave, kDiscard});
    EXPECT_TRUE(contains(g.output, "pending1")) << g.output;
    EXPECT_EQ(countLines(g.output, "." + E + ".5."), 2u) << g.output;
    EXPECT_TRUE(contains(d.readFile("writes.log"), "command activate"));
    EXPECT_TRUE(contains(d.readFile("writes.log"), "command discard"));
}

TEST(DevsimAgent, ProfileWithoutDeferredSaving)
{
    Devsim d({"--profile", "nodeferred", "--profile", "bridge"});
    ASSERT_TRUE(d.ok());
    RunResult g = d.snmp("snmpget", "2c", "public", {kSave, E + ".2.1.1.1.1"});
    EXPECT_TRUE(contains(g.output, "." + kSave + " = No Such Object")) << g.output;
    EXPECT_TRUE(contains(g.output, "INTEGER: 2")) << g.output;
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kSysName, "s", "direct"}).exitCode, 0);
    EXPECT_TRUE(contains(d.readFile("active.txt"), "sysName \"direct\""));
}

TEST(DevsimAgent, FaultInjection)
{
    Devsim d({"--fault", "sysLocation=absent", "--fault", "admLedStatus=error:genErr", "--fault",
              "sysContact=delay:1500", "--fault", "stFirmwareVersion=drop", "--fault",
              "sysName=error:notWritable@set", "--fault", "adVlanState=error:genErr@set", "--fault",
              "adVlanState=delay:1500@get", "--fault", "adEthernetFilterMACAddr=error:noAccess@set"});
    ASSERT_TRUE(d.ok());
    RunResult absent = d.snmp("snmpget", "2c", "public", {"1.3.6.1.2.1.1.6.0"});
    EXPECT_TRUE(contains(absent.output, "No Such Object")) << absent.output;
    RunResult walk = d.snmp("snmpwalk", "2c", "public", {"1.3.6.1.2.1.1"});
    EXPECT_EQ(countLines(walk.output, ".1.3.6.1.2.1.1."), 5u) << walk.output;
    RunResult err = d.snmp("snmpget", "2c", "public", {kLed});
    EXPECT_TRUE(contains(err.output, "genErr")) << err.output;
    RunResult early = d.snmp("snmpget", "2c", "public", {"1.3.6.1.2.1.1.4.0"}, 0.5);
    EXPECT_TRUE(contains(early.output, "Timeout")) << early.output;
    RunResult late = d.snmp("snmpget", "2c", "public", {"1.3.6.1.2.1.1.4.0"}, 4.0);
    EXPECT_EQ(late.exitCode, 0) << late.output;
    RunResult dropped = d.snmp("snmpget", "2c", "public", {kSysDescr, E + ".4.1.1.1.0"}, 1.0);
    EXPECT_TRUE(contains(dropped.output, "Timeout")) << dropped.output;
    RunResult readable = d.snmp("snmpget", "2c", "public", {kSysName});
    EXPECT_EQ(readable.exitCode, 0) << readable.output;
    RunResult refused = d.snmp("snmpset", "2c", "private", {kSysName, "s", "x"});
    EXPECT_TRUE(contains(refused.output, "notWritable")) << refused.output;
    // A get and a set fault on one object both act, also on its alias, the logs naming the
    // instance asked for; a column's fault covers its rows.
    const std::string vlan = E + ".2.9.1.1.1";
    EXPECT_TRUE(contains(d.snmp("snmpget", "2c", "public", {vlan + ".0"}, 0.5).output, "Timeout"));
    EXPECT_EQ(d.snmp("snmpget", "2c", "public", {vlan + ".0"}, 4.0).exitCode, 0);
    for (const std::string &instance : {vlan + ".0", vlan + ".1"})
        EXPECT_TRUE(contains(d.snmp("snmpset", "2c", "private", {instance, "i", "1"}).output, "genErr"))
            << instance;
    RunResult filter = d.snmp("snmpset", "2c", "private", {E + ".2.4.2.1.2.1.5", "x", "00A0C5000005"});
    EXPECT_TRUE(contains(filter.output, "noAccess")) << filter.output;
    const std::string log = d.readFile("writes.log");
    EXPECT_TRUE(contains(log, "set genErr v2c:private adVlanState.0=1\n")) << log;
    EXPECT_TRUE(contains(log, "set genErr v2c:private adVlanState=1\n")) << log;
    EXPECT_TRUE(contains(log, "set noAccess v2c:private adEthernetFilterMACAddr.5=")) << log;
    EXPECT_TRUE(contains(d.requestLog(), "get v2c:public adVlanState.0\n"));
    // The agent still answers normally afterwards.
    EXPECT_EQ(d.snmp("snmpget", "2c", "public", {kSysDescr}).exitCode, 0);
}

TEST(DevsimAgent, WriteLogKeepsTheSequence)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    d.snmp("snmpset", "2c", "private", {kServer, "a", "127.0.0.9", kFile, "s", "my file.dcf"});
    d.snmp("snmpset", "1", "private", {kLed, "i", "3"});
    d.snmp("snmpset", "2c", "private", {kSave, "i", "1"});
    std::string log = d.readFile("writes.log");
    auto a = log.find("set noError v2c:private remotesrvip=127.0.0.9 remotefilename=\"my file.dcf\"\n");
    auto b = log.find("set wrongValue v1:private admLedStatus=3\n");
    auto c = log.find("set noError v2c:private cSaveActivate=1\n");
    ASSERT_NE(a, std::string::npos) << log;
    ASSERT_NE(b, std::string::npos) << log;
    ASSERT_NE(c, std::string::npos) << log;
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_EQ(countLines(log, "20"), 4u) << log; // three sets and one command line
}

// One line per request PDU: its type, who asked, and every object it named, in order.
TEST(DevsimAgent, RequestLogHasOneLinePerRequest)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    const std::size_t from = d.requestLog().size();
    d.snmp("snmpget", "2c", "public", {kSysDescr, kLed});
    d.snmp("snmpgetnext", "1", "public", {kSysName});
    d.snmp("snmpset", "2c", "private", {kLed, "i", "0", kSysName, "s", "logged"});
    std::istringstream log(d.requestLog().substr(from));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        const auto blank = line.find(' ');
        ASSERT_NE(blank, std::string::npos) << line;
        EXPECT_EQ(line.compare(0, 2, "20"), 0) << line; // the time first
        lines.push_back(line.substr(blank + 1));
    }
    EXPECT_EQ(lines,
              (std::vector<std::string>{"get v2c:public sysDescr admLedStatus", "getnext v1:public sysName",
                                        "set v2c:private admLedStatus sysName"}));
}

TEST(DevsimAgent, StopsOnSigtermAndAfterItsLifetime)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.stop(), 0);

    std::string state = kvtest::makeTempDir("devsim-life-");
    Process p;
    ASSERT_TRUE(p.start({devsimPath(), "--port", std::to_string(kvtest::freeUdpPort()), "--state", state,
                         "--lifetime", "1"}));
    ASSERT_TRUE(p.waitForLine("devsim ready", 10000));
    EXPECT_EQ(p.wait(10000), 0);
    // Nothing outside the state folder: the folder holds all it wrote.
    EXPECT_TRUE(std::filesystem::exists(state + "/writes.log"));
    std::filesystem::remove_all(state);
}

namespace {

// Debian's tftpd-hpa in the foreground on a loopback port over its own folder.
class TftpServer {
public:
    TftpServer()
    {
        dir_ = kvtest::makeTempDir("devsim-tftp-");
        std::filesystem::permissions(dir_, std::filesystem::perms::all);
        port_ = kvtest::freeUdpPort();
        ok_ = proc_.start({"/usr/sbin/in.tftpd", "-L", "-s", dir_, "-a", "127.0.0.1:" + std::to_string(port_),
                           "-c", "-p", "-u", "root"}) &&
              answers();
    }
    ~TftpServer()
    {
        proc_.stop();
        std::filesystem::remove_all(dir_);
    }
    bool ok() const { return ok_; }
    int port() const { return port_; }
    const std::string &dir() const { return dir_; }

private:
    // The server says nothing when ready: it is once it answers a request for a missing file.
    bool answers() const
    {
        int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<std::uint16_t>(port_));
        static const char probe[] = "\0\1no-such-file\0octet";
        bool answered = false;
        for (int attempt = 0; fd >= 0 && attempt < 50 && !answered; ++attempt) {
            ::sendto(fd, probe, sizeof probe, 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
            pollfd p{fd, POLLIN, 0};
            char reply[516];
            answered = ::poll(&p, 1, 100) > 0 && ::recv(fd, reply, sizeof reply, 0) >= 4 && reply[1] == 5;
        }
        if (fd >= 0)
            ::close(fd);
        return answered;
    }

    Process proc_;
    std::string dir_;
    int port_ = 0;
    bool ok_ = false;
};

std::string binaryPayload(std::size_t size)
{
    std::string s;
    uint32_t x = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        s += static_cast<char>(x >> 24);
    }
    return s;
}

} // namespace

TEST(DevsimAgent, TftpGetAndPutAgainstARealServer)
{
    if (!std::filesystem::exists("/usr/sbin/in.tftpd") || !std::filesystem::exists("/usr/bin/atftp"))
        KV_PEER_MISSING("tftpd-hpa or atftp missing (scripts/install-deps installs them)");
    TftpServer server;
    ASSERT_TRUE(server.ok());
    Devsim d({"--tftp-port", std::to_string(server.port()), "--tftp-timeout", "10"});
    ASSERT_TRUE(d.ok());
    // 512-byte blocks: a size that ends on a block boundary and one that does not.
    const std::string image = binaryPayload(512 * 7);
    const std::string config = binaryPayload(3000) + "\r\n\0end";
    writeWholeFile(server.dir() + "/fw.tfp", image);

    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kServer, "a", "127.0.0.1", kFile, "s", "fw.tfp"}).exitCode,
              0);
    RunResult get = d.snmp("snmpset", "2c", "private", {kTftpCommand, "i", "2"}, 15.0);
    EXPECT_EQ(get.exitCode, 0) << get.output;
    EXPECT_EQ(readWholeFile(d.stateDir() + "/files/fw.tfp"), image);

    writeWholeFile(d.stateDir() + "/files/saved.dcf", config);
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kFile, "s", "saved.dcf"}).exitCode, 0);
    RunResult put = d.snmp("snmpset", "2c", "private", {kTftpCommand, "i", "3"}, 15.0);
    EXPECT_EQ(put.exitCode, 0) << put.output;
    EXPECT_EQ(readWholeFile(server.dir() + "/saved.dcf"), config);

    // A file the server does not have: the set fails and nothing is stored.
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kFile, "s", "missing.tfp"}).exitCode, 0);
    RunResult fail = d.snmp("snmpset", "2c", "private", {kTftpCommand, "i", "2"}, 15.0);
    EXPECT_NE(fail.exitCode, 0);
    EXPECT_TRUE(contains(fail.output, "genErr")) << fail.output;
    EXPECT_FALSE(std::filesystem::exists(d.stateDir() + "/files/missing.tfp"));
    std::string log = d.readFile("writes.log");
    EXPECT_TRUE(contains(log, "command tftp-get\n")) << log;
    EXPECT_TRUE(contains(log, "command tftp-put\n")) << log;
    EXPECT_TRUE(contains(log, "command tftp-failed")) << log;
}

TEST(DevsimAgent, TftpRefusesServersOutsideLoopback)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {kServer, "a", "192.0.2.10", kFile, "s", "x.dcf"}).exitCode,
              0);
    RunResult r = d.snmp("snmpset", "2c", "private", {kTftpCommand, "i", "2"});
    EXPECT_TRUE(contains(r.output, "genErr")) << r.output;
    EXPECT_TRUE(contains(d.readFile("writes.log"), "refused (not 127.0.0.0/8)"));
}

TEST(DevsimAgent, CatalogOptionsAndStartErrors)
{
    RunResult help = run({devsimPath(), "--help"});
    for (const char *opt : {"--sections", "--air", "--fixture"})
        EXPECT_TRUE(contains(help.output, opt)) << opt;
    std::string dir = kvtest::makeTempDir("devsim-start-");
    writeWholeFile(dir + "/a.cat", "E.77.1.0 x integer readonly - 1\n");
    writeWholeFile(dir + "/b.cat", "E.77.1.0 x displaystr readonly - 1\n");
    writeWholeFile(dir + "/air.txt", "0090 x 6 82 AP g OFF 1\n");
    RunResult clash = run({devsimPath(), "--sections", dir});
    EXPECT_EQ(clash.exitCode, 2);
    EXPECT_TRUE(contains(clash.output, "a.cat:1") && contains(clash.output, "b.cat:1")) << clash.output;
    EXPECT_EQ(run({devsimPath(), "--air", dir + "/air.txt"}).exitCode, 2);
    EXPECT_EQ(run({devsimPath(), "--air", dir + "/missing.txt"}).exitCode, 2);
    EXPECT_EQ(run({devsimPath(), "--fixture", "noequals"}).exitCode, 2);
    std::filesystem::remove_all(dir);
}

TEST(DevsimAgent, SurveyFillsItsTableFromTheAirAtOnce)
{
    std::string dir = kvtest::makeTempDir("devsim-air-");
    writeWholeFile(dir + "/air.txt", "00904C910001 \"Office AP\" 6 82 AP g WPA2-Personal 1\n"
                                     "021A2B3C4D05 adhoc 3 58 AdHoc b OFF 0\n");
    Devsim d({"--air", dir + "/air.txt", "--fault", "siteSurveyChannel=error:genErr@get"});
    ASSERT_TRUE(d.ok());
    const std::string table = E + ".2.8.2.1";
    RunResult empty = d.snmp("snmpget", "2c", "public", {table + ".7.1"});
    EXPECT_TRUE(contains(empty.output, "No Such Instance")) << empty.output;
    RunResult scan = d.snmp("snmpset", "2c", "private", {E + ".2.8.1.1.1.0", "i", "1"});
    EXPECT_EQ(scan.exitCode, 0) << scan.output;
    // The default device keeps settings pending; the survey is there at once all the same.
    RunResult walk = d.snmp("snmpwalk", "2c", "public", {table + ".2"});
    EXPECT_EQ(countLines(walk.output, "." + table + ".2."), 2u) << walk.output;
    EXPECT_TRUE(contains(walk.output, "." + table + ".2.2 = STRING: \"Ad-Hoc\"")) << walk.output;
    RunResult row = d.snmp("snmpget", "2c", "public",
                           {table + ".4.1", table + ".5.1", table + ".6.1", table + ".7.1", table + ".9.1"});
    EXPECT_TRUE(contains(row.output, "INTEGER: 82")) << row.output;
    EXPECT_TRUE(contains(row.output, "Hex-STRING: 00 90 4C 91 00 01")) << row.output;
    EXPECT_TRUE(contains(row.output, "STRING: \"WPA2-Personal\"")) << row.output;
    EXPECT_TRUE(contains(row.output, "STRING: \"Office AP\"")) << row.output;
    RunResult faulty = d.snmp("snmpget", "2c", "public", {table + ".3.2"});
    EXPECT_TRUE(contains(faulty.output, "genErr")) << faulty.output; // a column's fault covers its rows
    EXPECT_TRUE(contains(d.readFile("writes.log"), "command adRefresh=1\n"));
    std::filesystem::remove_all(dir);
}

TEST(DevsimAgent, AliasAnswersUnderBothInstances)
{
    Devsim d;
    ASSERT_TRUE(d.ok());
    ASSERT_EQ(d.snmp("snmpset", "2c", "private", {E + ".2.1.1.1.0", "i", "4"}).exitCode, 0);
    RunResult g = d.snmp("snmpget", "2c", "public", {E + ".2.1.1.1.0", E + ".2.1.1.1.1"});
    EXPECT_EQ(countLines(g.output, "." + E + ".2.1.1.1."), 2u) << g.output;
    EXPECT_FALSE(contains(g.output, "INTEGER: 1")) << g.output;
    EXPECT_TRUE(contains(d.readFile("writes.log"), "adAPMode.0=4\n"));
}

TEST(DevsimAgent, DeclaredFixtureTransferSendsTheFixture)
{
    if (!std::filesystem::exists("/usr/sbin/in.tftpd") || !std::filesystem::exists("/usr/bin/atftp"))
        KV_PEER_MISSING("tftpd-hpa or atftp missing (scripts/install-deps installs them)");
    TftpServer server;
    ASSERT_TRUE(server.ok());
    std::string dir = kvtest::makeTempDir("devsim-fixture-");
    const std::string zones = binaryPayload(512 * 3) + "\r\n";
    writeWholeFile(dir + "/zones.RD", zones);
    writeWholeFile(dir + "/log.cat", "E.88.1.0 zoneServer ipaddress readwrite+now - 0.0.0.0\n"
                                     "E.88.2.0 zoneFile displaystr readwrite+now size:0..64 -\n"
                                     "E.88.3.0 zoneGet integer readwrite enum:0|1 0\n"
                                     "transfer zoneGet=1 put zoneServer zoneFile Zones.RD\n");
    Devsim d({"--tftp-port", std::to_string(server.port()), "--profile", dir + "/log.cat", "--fixture",
              "Zones.RD=" + dir + "/zones.RD"});
    ASSERT_TRUE(d.ok());
    RunResult set = d.snmp(
        "snmpset", "2c", "private",
        {E + ".88.1.0", "a", "127.0.0.1", E + ".88.2.0", "s", "SNTPFile.RD", E + ".88.3.0", "i", "1"}, 15.0);
    EXPECT_EQ(set.exitCode, 0) << set.output;
    EXPECT_EQ(readWholeFile(server.dir() + "/SNTPFile.RD"), zones);
    std::string log = d.readFile("writes.log");
    EXPECT_TRUE(contains(log, "command tftp-put-sent server=127.0.0.1 file=\"SNTPFile.RD\"\n")) << log;
    std::filesystem::remove_all(dir);
}

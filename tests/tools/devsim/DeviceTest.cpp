#include "Device.h"

#include "Harness.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace devsim;

namespace {

const char *kCatalog = "prefix E 1.3.6.1.4.1.32473.11.37.4\n"
                       "1.3.6.1.2.1.1.5.0 sysName displaystr readwrite size:0..16 \"ap\"\n"
                       "E.3.1.5.0 admLedStatus integer readwrite enum:0|1 1\n"
                       "E.4.1.1.1.0 stFirmwareVersion displaystr readonly - \"v2\"\n"
                       "E.1.2.2.0 hIPAddress ipaddress readwrite - 127.0.0.1\n"
                       "E.3.3.1.0 remotesrvip ipaddress readwrite+now - 0.0.0.0\n"
                       "E.3.3.2.0 remotefilename displaystr readwrite+now size:0..64 -\n"
                       "E.3.3.4.0 tftpcommand integer readwrite enum:1|2|3|4 4\n"
                       "transfer tftpcommand=2 get remotesrvip remotefilename\n"
                       "transfer tftpcommand=3 put remotesrvip remotefilename\n"
                       "E.3.3.5.0 upgradesettingcommand integer readwrite enum:1|2|3|4|5|6 6\n"
                       "E.5.1.0 cSaveActivate integer readwrite enum:0|1 0\n"
                       "E.5.2.0 cDiscardChanges integer readwrite enum:0|1 0\n";

struct FakeTransfers : TransferRunner {
    std::string fail;
    std::vector<std::string> calls;
    std::vector<std::string> sent; // contents of the files put
    std::string transfer(bool get, const std::string &server, const std::string &remote,
                         const std::string &local) override
    {
        calls.push_back(std::string(get ? "get " : "put ") + server + " " + remote);
        if (!get)
            sent.push_back(devsimtest::readWholeFile(local));
        if (fail.empty() && get)
            devsimtest::writeWholeFile(local, "payload");
        return fail;
    }
};

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { state = kvtest::makeTempDir("devsim-unit-"); }
    void TearDown() override { std::filesystem::remove_all(state); }

    Device make(const std::string &extra = "", FaultMap faults = {},
                const std::function<void(DeviceOptions &)> &adjust = {})
    {
        Catalog c;
        c.loadText(kCatalog, "t", false);
        if (!extra.empty())
            c.loadText(extra, "p", true);
        DeviceOptions o;
        o.stateDir = state;
        o.rebootSilenceMs = 0;
        o.faults = std::move(faults);
        if (adjust)
            adjust(o);
        return Device(std::move(c), o, &transfers);
    }
    Oid oidOf(const Device &d, const char *name) { return d.catalog().findByName(name)->oid; }
    SetBinding intBinding(const Device &d, const char *name, int64_t v)
    {
        SetBinding b{oidOf(d, name), Syntax::Integer, {}};
        b.value.num = v;
        return b;
    }
    SetBinding textBinding(const Device &d, const char *name, const std::string &s)
    {
        SetBinding b{oidOf(d, name), Syntax::OctetStr, {}};
        b.value.bytes = s;
        return b;
    }
    SetBinding ipBinding(const Device &d, const char *name, const std::string &ip)
    {
        return SetBinding{oidOf(d, name), Syntax::IpAddress, *parseValue(Syntax::IpAddress, ip)};
    }
    std::string readText(Device &d, const char *name)
    {
        const Object *o = d.catalog().findByName(name);
        return valueText(o->syntax, d.read(*o));
    }

    std::string state;
    FakeTransfers transfers;
};

} // namespace

TEST_F(DeviceTest, CheckGivesTheRightErrorStatus)
{
    Device d = make();
    struct Case {
        SetBinding b;
        int status;
    };
    SetBinding unknown{Oid{1, 3, 6, 1, 4, 1, 32473, 11, 37, 4, 77, 0}, Syntax::Integer, {}};
    SetBinding otherInstance{Oid{1, 3, 6, 1, 4, 1, 32473, 11, 37, 4, 3, 1, 5, 1}, Syntax::Integer, {}};
    SetBinding shortIp{oidOf(d, "hIPAddress"), Syntax::IpAddress, {}};
    shortIp.value.bytes = "\x7f";
    const Case cases[] = {
        {intBinding(d, "admLedStatus", 0), NoError},
        {intBinding(d, "admLedStatus", 2), WrongValue},
        {textBinding(d, "admLedStatus", "1"), WrongType},
        {textBinding(d, "stFirmwareVersion", "x"), NotWritable},
        {textBinding(d, "sysName", std::string(17, 'x')), WrongLength},
        {textBinding(d, "sysName", std::string(16, 'x')), NoError},
        {shortIp, WrongLength},
        {unknown, NotWritable},
        {otherInstance, NoCreation},
    };
    for (const auto &c : cases) {
        SetOutcome out = d.check({c.b});
        EXPECT_EQ(out.status, c.status) << oidText(c.b.oid);
        EXPECT_EQ(out.index, c.status == NoError ? 0 : 1);
    }
    SetOutcome two = d.check({intBinding(d, "admLedStatus", 0), intBinding(d, "admLedStatus", 9)});
    EXPECT_EQ(two.status, WrongValue);
    EXPECT_EQ(two.index, 2);
}

TEST_F(DeviceTest, FailedSetChangesNothing)
{
    Device d = make("", {});
    SetOutcome out =
        d.apply({textBinding(d, "sysName", "new"), intBinding(d, "admLedStatus", 5)}, "v2c:private");
    EXPECT_EQ(out.status, WrongValue);
    EXPECT_EQ(out.index, 2);
    EXPECT_EQ(readText(d, "sysName"), "\"ap\"");
}

TEST_F(DeviceTest, DeferredSavingKeepsChangesPendingUntilActivated)
{
    Device d = make();
    ASSERT_TRUE(d.deferredSaving());
    ASSERT_EQ(d.apply({textBinding(d, "sysName", "new")}, "p").status, NoError);
    EXPECT_EQ(readText(d, "sysName"), "\"new\""); // reads show the configured value
    EXPECT_EQ(devsimtest::readWholeFile(state + "/active.txt").find("sysName \"new\""), std::string::npos);
    EXPECT_NE(devsimtest::readWholeFile(state + "/pending.txt").find("sysName \"new\""), std::string::npos);
    ASSERT_EQ(d.apply({intBinding(d, "cSaveActivate", 1)}, "p").status, NoError);
    EXPECT_NE(devsimtest::readWholeFile(state + "/active.txt").find("sysName \"new\""), std::string::npos);
    EXPECT_EQ(devsimtest::readWholeFile(state + "/pending.txt"), "");
    EXPECT_EQ(readText(d, "cSaveActivate"), "0"); // a command, not a setting

    ASSERT_EQ(d.apply({textBinding(d, "sysName", "other")}, "p").status, NoError);
    ASSERT_EQ(d.apply({intBinding(d, "cDiscardChanges", 1)}, "p").status, NoError);
    EXPECT_EQ(readText(d, "sysName"), "\"new\"");
}

TEST_F(DeviceTest, WithoutDeferredSavingSetsTakeEffectAtOnce)
{
    Device d = make("remove cSaveActivate\nremove cDiscardChanges\n");
    EXPECT_FALSE(d.deferredSaving());
    ASSERT_EQ(d.apply({textBinding(d, "sysName", "new")}, "p").status, NoError);
    EXPECT_NE(devsimtest::readWholeFile(state + "/active.txt").find("sysName \"new\""), std::string::npos);
}

TEST_F(DeviceTest, RebootArmsSilenceAndAppliesPendingAfterwards)
{
    Device d = make();
    ASSERT_EQ(d.apply({textBinding(d, "sysName", "new")}, "p").status, NoError);
    ASSERT_EQ(d.apply({intBinding(d, "upgradesettingcommand", 4)}, "p").status, NoError);
    EXPECT_TRUE(d.restartArmed());
    EXPECT_FALSE(d.silent()); // silence begins when the answer is out
    d.startRestartSilence();
    EXPECT_FALSE(d.restartArmed());
    EXPECT_FALSE(d.silent()); // zero silence time: already over
    EXPECT_NE(devsimtest::readWholeFile(state + "/active.txt").find("sysName \"new\""), std::string::npos);
    std::string log = devsimtest::readWholeFile(state + "/writes.log");
    EXPECT_NE(log.find("command reboot"), std::string::npos);
    EXPECT_NE(log.find("command restarted"), std::string::npos);
}

TEST_F(DeviceTest, TransferUsesTheTransferObjectsAndReportsFailure)
{
    Device d = make();
    ASSERT_EQ(
        d.apply({ipBinding(d, "remotesrvip", "127.0.0.1"), textBinding(d, "remotefilename", "cfg.dcf")}, "p")
            .status,
        NoError);
    ASSERT_EQ(d.apply({intBinding(d, "tftpcommand", 2)}, "p").status, NoError);
    ASSERT_EQ(transfers.calls.size(), 1u);
    EXPECT_EQ(transfers.calls[0], "get 127.0.0.1 cfg.dcf");
    EXPECT_EQ(devsimtest::readWholeFile(d.filesDir() + "/cfg.dcf"), "payload");

    transfers.fail = "no such file";
    SetOutcome out = d.apply({intBinding(d, "tftpcommand", 3)}, "p");
    EXPECT_EQ(out.status, GenErr);
    EXPECT_EQ(out.index, 1);
    EXPECT_NE(devsimtest::readWholeFile(state + "/writes.log").find("tftp-failed no such file"),
              std::string::npos);
}

TEST_F(DeviceTest, TransferRefusesOtherServersAndUnsafeNames)
{
    Device d = make();
    struct Case {
        const char *ip;
        const char *file;
    };
    const Case cases[] = {{"10.0.0.1", "a.dcf"}, {"192.168.1.2", "a.dcf"}, {"127.0.0.1", "../x"},
                          {"127.0.0.1", "-rf"},  {"127.0.0.1", ""},        {"127.0.0.1", "a/b"},
                          {"127.0.0.1", ".."}};
    for (const auto &c : cases) {
        ASSERT_EQ(d.apply({ipBinding(d, "remotesrvip", c.ip), textBinding(d, "remotefilename", c.file)}, "p")
                      .status,
                  NoError);
        EXPECT_EQ(d.apply({intBinding(d, "tftpcommand", 2)}, "p").status, GenErr) << c.ip << " " << c.file;
    }
    EXPECT_TRUE(transfers.calls.empty());
}

TEST_F(DeviceTest, WriteLogHasOneLinePerSetInOrder)
{
    Device d = make();
    d.apply({textBinding(d, "sysName", "a b"), intBinding(d, "admLedStatus", 0)}, "v2c:private");
    d.apply({intBinding(d, "admLedStatus", 3)}, "v1:private");
    std::string log = devsimtest::readWholeFile(state + "/writes.log");
    auto first = log.find("set noError v2c:private sysName=\"a b\" admLedStatus=0\n");
    auto second = log.find("set wrongValue v1:private admLedStatus=3\n");
    ASSERT_NE(first, std::string::npos) << log;
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);
}

TEST_F(DeviceTest, AbsentFaultHidesTheObject)
{
    Catalog c;
    c.loadText(kCatalog, "t", false);
    Oid led = c.findByName("admLedStatus")->oid;
    Fault f;
    f.kind = Fault::Absent;
    Device d = make("", {{led, f}});
    EXPECT_EQ(d.find(led), nullptr);
    const Object *n = d.next(Oid{1, 3, 6, 1, 4, 1, 32473, 11, 37, 4, 3, 1}, false);
    ASSERT_NE(n, nullptr);
    EXPECT_NE(n->name, "admLedStatus");
}

TEST(DevsimFaultOption, Parses)
{
    std::string err;
    auto a = parseFaultOption("sysName=error:notWritable@set", err);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->object, "sysName");
    EXPECT_EQ(a->fault.kind, Fault::Error);
    EXPECT_EQ(a->fault.status, NotWritable);
    EXPECT_FALSE(a->fault.onGet);
    auto b = parseFaultOption("1.3.6.1.2.1.1.1.0=delay:250", err);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->fault.delayMs, 250);
    EXPECT_TRUE(b->fault.onGet && b->fault.onSet);
    EXPECT_EQ(parseFaultOption("x=error:5", err)->fault.status, GenErr);
    EXPECT_EQ(parseFaultOption("x=drop@get", err)->fault.kind, Fault::Drop);
    for (const char *bad :
         {"x", "=drop", "x=explode", "x=delay", "x=delay:-1", "x=error:nonsense", "x=drop@put"})
        EXPECT_FALSE(parseFaultOption(bad, err)) << bad;
}

// One object takes a fault for get and one for set, each acting on its own operation; any
// other second fault is refused.
TEST_F(DeviceTest, FaultsCombineOnlyOneForGetWithOneForSet)
{
    struct Case {
        const char *first;
        const char *second;
        bool combined;
    };
    const Case cases[] = {
        {"x=error:genErr@set", "x=delay:1500@get", true}, {"x=drop@get", "x=error:genErr@set", true},
        {"x=error:genErr@set", "x=drop@set", false},      {"x=delay:5@get", "x=delay:5@get", false},
        {"x=drop", "x=error:genErr@set", false},          {"x=error:genErr@get", "x=drop", false},
        {"x=absent@get", "x=error:genErr@set", false},
    };
    const Oid led{1, 3, 6, 1, 4, 1, 32473, 11, 37, 4, 3, 1, 5, 0};
    for (const Case &c : cases) {
        std::string err;
        FaultMap faults;
        const Fault first = parseFaultOption(c.first, err)->fault;
        const Fault second = parseFaultOption(c.second, err)->fault;
        ASSERT_EQ(addFault(faults, led, first), nullptr);
        EXPECT_EQ(addFault(faults, led, second) == nullptr, c.combined) << c.first << " " << c.second;
        if (!c.combined)
            continue;
        Device d = make("", faults);
        const Fault &onGet = first.onGet ? first : second;
        const Fault &onSet = first.onSet ? first : second;
        ASSERT_NE(d.faultFor(led, false), nullptr);
        ASSERT_NE(d.faultFor(led, true), nullptr);
        EXPECT_EQ(d.faultFor(led, false)->kind, onGet.kind) << c.first << " " << c.second;
        EXPECT_EQ(d.faultFor(led, true)->kind, onSet.kind) << c.first << " " << c.second;
    }
}

namespace {

// A command-filled "found" table, a known list of at most two rows, and an alias.
const char *kTables = "E.2.1.1.1.1 adAPMode integer readwrite range:1..7 1\n"
                      "alias E.2.1.1.1.0 adAPMode.0 adAPMode\n"
                      "E.9.1.0 scan integer readwrite - 0\n"
                      "E.9.2.0 take integer readwrite - 0\n"
                      "table found E.9.3.1\n"
                      "E.9.3.1.2.* foundSsid displaystr readonly - -\n"
                      "E.9.3.1.3.* foundCh integer readonly - 0\n"
                      "E.9.3.1.4.* foundSignal integer readonly - 0\n"
                      "table known E.9.4.1 max=2\n"
                      "E.9.4.1.2.* knownSsid displaystr readonly size:0..32 -\n"
                      "E.9.4.1.3.* knownCh integer readonly - 0\n"
                      "row known 1 knownSsid=\"start\" knownCh=4\n";

Oid enterprise(std::initializer_list<uint32_t> rest)
{
    Oid o{1, 3, 6, 1, 4, 1, 32473, 11, 37, 4};
    o.insert(o.end(), rest);
    return o;
}

void scanAndTake(DeviceOptions &o)
{
    o.air = parseAir("000000000001 \"one\" 6 50 AP g OFF 1\n000000000002 two 11 30 AdHoc b WEP 0\n", "air");
    o.commands.on("scan", 1, [](CommandContext &ctx) {
        TableRows found = ctx.table("found");
        found.clear();
        for (const auto &s : ctx.air())
            found.add({{"foundSsid", text(s.ssid)}, {"foundCh", num(s.channel)}});
        ctx.note("scanned");
        return CommandOutcome{};
    });
    o.commands.onAny("take", [](CommandContext &ctx) {
        TableRows found = ctx.table("found");
        TableRows known = ctx.table("known");
        if (known.full())
            return CommandOutcome::fail("known list full", ResourceUnavailable);
        if (!found.moveTo(Oid{static_cast<uint32_t>(ctx.value())}, known))
            return CommandOutcome::fail("no such row");
        return CommandOutcome{};
    });
}

} // namespace

TEST_F(DeviceTest, AliasInstancesShareOneStoredValue)
{
    Device d = make(kTables);
    SetBinding viaZero{enterprise({2, 1, 1, 1, 0}), Syntax::Integer, {}};
    viaZero.value.num = 3;
    ASSERT_EQ(d.apply({viaZero}, "p").status, NoError);
    EXPECT_EQ(d.read(*d.find(enterprise({2, 1, 1, 1, 1}))).num, 3);
    viaZero.value.num = 9; // the target's constraint holds for the alias
    EXPECT_EQ(d.check({viaZero}).status, WrongValue);
    ASSERT_EQ(d.apply({intBinding(d, "adAPMode", 5)}, "p").status, NoError);
    EXPECT_EQ(d.read(*d.find(enterprise({2, 1, 1, 1, 0}))).num, 5);
    std::string log = devsimtest::readWholeFile(state + "/writes.log");
    EXPECT_NE(log.find("set noError p adAPMode.0=3\n"), std::string::npos) << log;
    EXPECT_NE(log.find("set noError p adAPMode=5\n"), std::string::npos) << log;
    // Stored once: the pending list names the setting, not the alias.
    std::string pending = devsimtest::readWholeFile(state + "/pending.txt");
    EXPECT_NE(pending.find("adAPMode 5"), std::string::npos) << pending;
    EXPECT_EQ(pending.find("adAPMode.0"), std::string::npos) << pending;
}

TEST_F(DeviceTest, CommandsFillAndMoveTableRowsAtOnce)
{
    Device d = make(kTables, {}, scanAndTake);
    ASSERT_TRUE(d.deferredSaving());
    // The start row is served; the empty table has no instances but knows its columns.
    EXPECT_EQ(d.read(*d.find(enterprise({9, 4, 1, 2, 1}))).bytes, "start");
    EXPECT_EQ(d.find(enterprise({9, 3, 1, 2, 1})), nullptr);
    EXPECT_TRUE(d.isKnownObjectPrefix(enterprise({9, 3, 1, 2, 1})));
    EXPECT_FALSE(d.isKnownObjectPrefix(enterprise({9, 3, 1, 7, 1})));

    ASSERT_EQ(d.apply({intBinding(d, "scan", 1)}, "p").status, NoError);
    const Object *row2 = d.find(enterprise({9, 3, 1, 3, 2}));
    ASSERT_NE(row2, nullptr); // at once, though the device keeps settings pending
    EXPECT_EQ(row2->name, "foundCh.2");
    EXPECT_EQ(d.read(*row2).num, 11);
    EXPECT_EQ(d.read(*d.find(enterprise({9, 3, 1, 4, 1}))).num, 0); // a column not given: its default
    EXPECT_EQ(d.read(*d.catalog().findByName("scan")).num, 0);      // a command is not stored

    EXPECT_EQ(d.apply({intBinding(d, "take", 7)}, "p").status, GenErr);
    ASSERT_EQ(d.apply({intBinding(d, "take", 2)}, "p").status, NoError);
    EXPECT_EQ(d.find(enterprise({9, 3, 1, 2, 2})), nullptr);
    EXPECT_EQ(d.read(*d.find(enterprise({9, 4, 1, 2, 2}))).bytes, "two");
    // Full list: refused with the handler's status, and the whole set is put back.
    SetOutcome full = d.apply({textBinding(d, "sysName", "x"), intBinding(d, "take", 1)}, "p");
    EXPECT_EQ(full.status, ResourceUnavailable);
    EXPECT_EQ(full.index, 2);
    EXPECT_EQ(readText(d, "sysName"), "\"ap\"");
    EXPECT_NE(d.find(enterprise({9, 3, 1, 2, 1})), nullptr);

    std::string log = devsimtest::readWholeFile(state + "/writes.log");
    EXPECT_NE(log.find("set noError p scan=1\n"), std::string::npos);
    EXPECT_LT(log.find("set noError p scan=1\n"), log.find("command scan=1\n"));
    EXPECT_LT(log.find("command scan=1\n"), log.find("command scanned\n"));
    EXPECT_NE(log.find("command take=1 failed: known list full\n"), std::string::npos) << log;

    // A factory reset brings the start rows back.
    ASSERT_EQ(d.apply({intBinding(d, "upgradesettingcommand", 5)}, "p").status, NoError);
    EXPECT_EQ(d.find(enterprise({9, 4, 1, 2, 2})), nullptr);
    EXPECT_EQ(d.find(enterprise({9, 3, 1, 2, 1})), nullptr);
    EXPECT_EQ(d.read(*d.find(enterprise({9, 4, 1, 3, 1}))).num, 4);
}

TEST_F(DeviceTest, TableFaultsCoverTheirRows)
{
    Fault absent;
    absent.kind = Fault::Absent;
    Fault error;
    error.kind = Fault::Error;
    Device d =
        make(kTables, {{enterprise({9, 4, 1, 3}), absent}, {enterprise({9, 3, 1}), error}}, scanAndTake);
    ASSERT_EQ(d.apply({intBinding(d, "scan", 1)}, "p").status, NoError);
    EXPECT_EQ(d.find(enterprise({9, 4, 1, 3, 1})), nullptr);
    EXPECT_NE(d.find(enterprise({9, 4, 1, 2, 1})), nullptr);
    ASSERT_NE(d.faultFor(enterprise({9, 3, 1, 4, 2}), false), nullptr);
    EXPECT_EQ(d.faultFor(enterprise({9, 3, 1, 4, 2}), false)->kind, Fault::Error);
}

TEST_F(DeviceTest, TableRowsRefuseWhatDoesNotFit)
{
    Device d = make(kTables);
    TableRows known = d.table("known");
    EXPECT_THROW(known.add({{"nosuch", num(1)}}), std::runtime_error);
    EXPECT_THROW(known.put(Oid{5}, {{"knownSsid", text(std::string(40, 'x'))}}), std::runtime_error);
    EXPECT_FALSE(known.put(Oid{1, 1}, {}));
    EXPECT_EQ(known.add({}), std::optional<uint32_t>(2));
    EXPECT_TRUE(known.full());
    EXPECT_FALSE(known.add({}));
    EXPECT_TRUE(known.put(Oid{1}, {{"knownCh", num(9)}})); // replacing a row of a full table
    EXPECT_EQ(known.cell(Oid{1}, "knownCh")->num, 9);
    EXPECT_EQ(known.cell(Oid{1}, "knownSsid")->bytes, ""); // replaced whole
    EXPECT_TRUE(known.remove(Oid{1}));
    EXPECT_EQ(known.add({}), std::optional<uint32_t>(1)); // the lowest free index
    EXPECT_THROW(d.table("nosuch"), std::runtime_error);
}

TEST_F(DeviceTest, FixtureTransferSendsTheDevicesOwnCopy)
{
    std::string fixture = state + "/fixture.RD";
    devsimtest::writeWholeFile(fixture, "line 1\r\nline 2\r\n");
    const std::string extra = std::string(kTables) +
                              "E.9.5.0 getLog integer readwrite - 0\n"
                              "E.9.6.0 clearLog integer readwrite - 0\n"
                              "transfer getLog=1 put remotesrvip remotefilename Log.RD\n";
    Device d = make(extra, {}, [&](DeviceOptions &o) {
        o.fixtures["Log.RD"] = fixture;
        o.commands.on("clearLog", 1, [](CommandContext &ctx) {
            devsimtest::writeWholeFile(ctx.deviceFile("Log.RD"), "");
            return CommandOutcome{};
        });
    });
    ASSERT_EQ(d.apply({ipBinding(d, "remotesrvip", "127.0.0.1"), textBinding(d, "remotefilename", "x.RD"),
                       intBinding(d, "getLog", 1)},
                      "p")
                  .status,
              NoError);
    ASSERT_EQ(d.apply({intBinding(d, "clearLog", 1)}, "p").status, NoError);
    ASSERT_EQ(d.apply({intBinding(d, "getLog", 1)}, "p").status, NoError);
    EXPECT_EQ(transfers.calls, (std::vector<std::string>{"put 127.0.0.1 x.RD", "put 127.0.0.1 x.RD"}));
    EXPECT_EQ(transfers.sent, (std::vector<std::string>{"line 1\r\nline 2\r\n", ""}));
    EXPECT_EQ(devsimtest::readWholeFile(fixture), "line 1\r\nline 2\r\n"); // the fixture itself stays
    // A declared fixture that does not exist stops the device at start.
    EXPECT_THROW(make(extra), std::runtime_error);
}

TEST(DevsimAir, ParsesStationsAndRefusesBadLines)
{
    auto air =
        parseAir("# comment\n00:90:4c:91:00:01 \"Office AP\" 6 82 AP g WPA2-Personal 1 vendor=\"Q R\"\n"
                 "020000000005 - 3 0 AdHoc a WPA-Auto-Personal 0\n",
                 "air");
    ASSERT_EQ(air.size(), 2u);
    EXPECT_EQ(air[0].bssid, std::string("\x00\x90\x4c\x91\x00\x01", 6));
    EXPECT_EQ(air[0].ssid, "Office AP");
    EXPECT_EQ(air[0].security, 5);
    EXPECT_EQ(securityName(air[0].security), "WPA2-Personal");
    EXPECT_EQ(air[0].band, 3);
    EXPECT_TRUE(air[0].wds);
    EXPECT_EQ(air[0].field("vendor"), "Q R");
    EXPECT_EQ(air[1].field("vendor", "none"), "none");
    EXPECT_TRUE(air[1].adHoc);
    EXPECT_EQ(air[1].band, 0);
    EXPECT_EQ(air[1].ssid, "");
    const char *bad[] = {
        "0090 x 6 82 AP g OFF 1\n",          "009000000001 x 0 82 AP g OFF 1\n",
        "009000000001 x 6 101 AP g OFF 1\n", "009000000001 x 6 82 Mesh g OFF 1\n",
        "009000000001 x 6 82 AP n OFF 1\n",  "009000000001 x 6 82 AP g WPA3 1\n",
        "009000000001 x 6 82 AP g OFF 2\n",  "009000000001 x 6 82 AP g OFF 1 novalue\n",
        "009000000001 x 6 82 AP g OFF\n",
    };
    for (const char *line : bad)
        EXPECT_THROW(parseAir(line, "air"), std::runtime_error) << line;
}

#include "Device.h"

#include "Harness.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

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
                       "E.3.3.5.0 upgradesettingcommand integer readwrite enum:1|2|3|4|5|6 6\n"
                       "E.5.1.0 cSaveActivate integer readwrite enum:0|1 0\n"
                       "E.5.2.0 cDiscardChanges integer readwrite enum:0|1 0\n";

struct FakeTransfers : TransferRunner {
    std::string fail;
    std::vector<std::string> calls;
    std::string transfer(bool get, const std::string &server, const std::string &remote,
                         const std::string &local) override
    {
        calls.push_back(std::string(get ? "get " : "put ") + server + " " + remote);
        if (fail.empty() && get)
            devsimtest::writeWholeFile(local, "payload");
        return fail;
    }
};

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { state = kvtest::makeTempDir("devsim-unit-"); }
    void TearDown() override { std::filesystem::remove_all(state); }

    Device make(const std::string &extra = "", std::map<Oid, Fault> faults = {})
    {
        Catalog c;
        c.loadText(kCatalog, "t", false);
        if (!extra.empty())
            c.loadText(extra, "p", true);
        DeviceOptions o;
        o.stateDir = state;
        o.rebootSilenceMs = 0;
        o.faults = std::move(faults);
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

// The shipped catalog's log, zone-list and SSL objects: transfers of the device's own copies
// of the fixtures and commands that act at once, also while changes are pending.
#include "Device.h"

#include "Harness.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace devsim;

namespace {

struct SentFiles : TransferRunner {
    std::vector<std::string> calls;
    std::vector<std::string> sent;
    std::string transfer(bool get, const std::string &server, const std::string &remote,
                         const std::string &local) override
    {
        calls.push_back(std::string(get ? "get " : "put ") + server + " " + remote);
        sent.push_back(get ? std::string() : devsimtest::readWholeFile(local));
        return {};
    }
};

class ShippedTransfers : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = kvtest::makeTempDir("devsim-transfers-");
        const std::string dir = kvtest::sourceDir() + "/tools/devsim/catalog";
        Catalog c;
        c.load(dir + "/qrn5290ap.cat");
        c.loadSections(dir + "/sections");
        DeviceOptions o;
        o.stateDir = state;
        o.rebootSilenceMs = 0;
        o.fixtureDir = dir + "/fixtures";
        device = std::make_unique<Device>(std::move(c), o, &files);
    }
    void TearDown() override { std::filesystem::remove_all(state); }

    SetBinding binding(const char *name, const std::string &text)
    {
        const Object *o = device->catalog().findByName(name);
        EXPECT_NE(o, nullptr) << name;
        return {o->oid, o->syntax, *parseValue(o->syntax, text)};
    }
    int apply(std::vector<SetBinding> b) { return device->apply(b, "t").status; }
    std::string read(const char *name)
    {
        const Object *o = device->catalog().findByName(name);
        return valueText(o->syntax, device->read(*o));
    }

    std::string state;
    SentFiles files;
    std::unique_ptr<Device> device;
};

} // namespace

TEST_F(ShippedTransfers, LogIsSentUntilClearedAtOnceWhileChangesArePending)
{
    ASSERT_TRUE(device->deferredSaving());
    ASSERT_EQ(apply({binding("adTFTPServerIP", "127.0.0.1"), binding("adLogFileName", "\"LogFile.RD\""),
                     binding("systemLogGetLog", "1")}),
              NoError);
    ASSERT_EQ(apply({binding("adClearLocalLog", "1")}), NoError);
    ASSERT_EQ(apply({binding("systemLogGetLog", "1")}), NoError);
    EXPECT_EQ(files.calls,
              (std::vector<std::string>{"put 127.0.0.1 LogFile.RD", "put 127.0.0.1 LogFile.RD"}));
    ASSERT_EQ(files.sent.size(), 2u);
    EXPECT_NE(files.sent[0].find("\t<6>[System]"), std::string::npos);
    EXPECT_EQ(files.sent[1], "");
    EXPECT_NE(devsimtest::readWholeFile(state + "/writes.log").find("command log cleared"),
              std::string::npos);
}

TEST_F(ShippedTransfers, ZoneListHasOneLinePerZone)
{
    ASSERT_EQ(apply({binding("sntpTFTPServerIP", "127.0.0.1"), binding("sntpListFileName", "\"SNTPFile.RD\""),
                     binding("sntpGetList", "1")}),
              NoError);
    ASSERT_EQ(files.sent.size(), 1u);
    const std::string &list = files.sent[0];
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 75);
    EXPECT_NE(list.find("\n1 zone 4\r\n"), std::string::npos); // Alaska keeps daylight saving
    EXPECT_NE(list.find("\n0 zone 3\r\n"), std::string::npos); // Hawaii does not
}

TEST_F(ShippedTransfers, CertificateUpdateIsLoggedAndNotStored)
{
    ASSERT_EQ(apply({binding("uFTPSrvIP", "\"127.0.0.1\""), binding("uFTPUserName", "\"admin\"")}), NoError);
    ASSERT_EQ(apply({binding("uSSLCertFileName", "\"c.der\""), binding("uSSLKeyFileName", "\"k.der\""),
                     binding("uSSLCertUpdate", "1")}),
              NoError);
    EXPECT_NE(devsimtest::readWholeFile(state + "/writes.log").find("command uSSLCertUpdate=1"),
              std::string::npos);
    EXPECT_EQ(read("uSSLCertUpdate"), "2");
    EXPECT_EQ(read("uSSLCertFileName"), "\"c.der\"");
    // Settings of the transfer take effect at once: nothing waits for saving.
    EXPECT_EQ(devsimtest::readWholeFile(state + "/pending.txt"), "");
}

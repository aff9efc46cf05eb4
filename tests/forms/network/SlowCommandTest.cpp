// Device commands go out once: a device that does not answer, or answers late, does not get
// them twice.
#include "FtpServer.h"
#include "NetworkFormSupport.h"
#include "TClientInformation.h"
#include "TFM_FirewareSSL.h"
#include "TFM_Firmware.h"
#include "TFM_LanCfg.h"
#include "TFM_Sytem.h"
#include "TLogForm.h"
#include "TSNTPForm.h"
#include "TransferFixture.h"

#include <filesystem>
#include <memory>

using namespace formtest;

namespace {

struct SlowCase {
    const char *what;
    const char *command;
    std::vector<std::string> devsim;
    const char *profile = ""; // lines of a profile of the case's own
};

class SlowCommand : public TransferTest, public ::testing::WithParamInterface<SlowCase> {
protected:
    // An answer that comes late or never: the forms' own time-outs.
    void SetUp() override
    {
        TransferTest::SetUp();
        realTimeOuts();
    }
    void TearDown() override
    {
        form.reset(); // before the application that owns it
        TransferTest::TearDown();
        unsetenv(kFtpPortVariable);
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    // Opens the case's form and has it send the command (with a request time-out lowered to
    // tens of milliseconds where the command is not out yet); returns the command's binding.
    KvSNMPRequest2Controls *sendCommand(const std::string &what);

    std::shared_ptr<void> form;
    int sentBefore = 0; // sets of the command the form sent at opening

private:
    std::string m_folder = kvtest::makeTempDir("kv-slow-");
};

KvSNMPRequest2Controls *SlowCommand::sendCommand(const std::string &what)
{
    if (what == "log fetch") { // fetched once the form's target write is answered
        auto log = std::make_shared<FormHandle<TLogForm>>(openForm(LogForm));
        form = log;
        (*log)->GetReq->Request.Timeout = 50;
        return (*log)->GetReq.get();
    }
    if (what == "zone list fetch") { // sent while the form opens: its ten seconds stand
        auto sntp = std::make_shared<FormHandle<TSNTPForm>>(openForm(SNTPForm));
        form = sntp;
        return (*sntp)->ListReq.get();
    }
    if (what == "certificate upload") {
        auto ssl = std::make_shared<FormHandle<TFM_FirewareSSL>>(openForm(FM_FirewareSSL));
        form = ssl;
        TFM_FirewareSSL &f = **ssl;
        f.SslReq->Request.Timeout = 50;
        EXPECT_TRUE(pumpUntil([&] { return !f.FtpReq->Busy; }, 3000));
        type(f.Ed_FtpSrv, "127.0.0.1");
        type(f.Ed_UserName, "admin");
        type(f.Ed_Password, "s3cret");
        type(f.EDT_Certificate, "cert.der");
        type(f.EDT_Key, "key.der");
        expectBox(
            "Write file fail!Please check FTP server and file name! The device did not answer; it "
            "may still take the setting. Not answered: SSL Certification. Written before it: FTP Settings.",
            "Warning");
        click(f.Bt_CUpload);
        return f.SslReq.get();
    }
    if (what == "firmware fetch") {
        auto fw = std::make_shared<FormHandle<TFM_Firmware>>(openForm(FM_Firmware));
        form = fw;
        TFM_Firmware &f = **fw;
        f.TftpReq->Request.Timeout = 50;
        kvtest::writeText(m_folder + "/fw.tfp", std::string(1200, 'x'));
        type(f.Ed_UpgFile, m_folder + "/fw.tfp");
        expectBox("Cant Perform Operation,Please try again!", "Warning");
        click(f.Bt_OK);
        return f.TftpReq.get();
    }
    if (what == "LAN set of a DHCP client turning static") { // the address stays: no probe
        auto lan = std::make_shared<FormHandle<TFM_LanCfg>>(openForm(FM_LanCfg));
        form = lan;
        TFM_LanCfg &f = **lan;
        EXPECT_TRUE(pumpUntil([&] { return f.DynamicPoolReq->WasRead(); }, kWaitMs));
        f.LanReq->Request.Timeout = 50;
        f.CB_IPFrom->SetItemIndex(0);
        type(f.ED_DefGw, "127.0.0.254");
        click(f.BT_LanCfgOk); // synchronous: over when the click returns
        EXPECT_EQ(f.StatusBar->SimpleText(),
                  "Set Error! The device did not answer; it may still take the setting. Not answered: LAN.");
        return f.LanReq.get();
    }
    if (what == "system restart") {
        auto sys = std::make_shared<FormHandle<TFM_Sytem>>(openForm(FM_Sytem));
        form = sys;
        TFM_Sytem &f = **sys;
        EXPECT_TRUE(pumpUntil([&] { return f.RestartReq->WasRead(); }, kWaitMs));
        f.RestartReq->Request.Timeout = 50;
        expectBox("Device will reboot, continue?", "Warning", IDOK);
        click(f.Button1);
        return f.RestartReq.get();
    }
    // The client detections: the one of the opening is answered late but in its time; the
    // refresh's time-out ends long before the answer comes.
    auto info = std::make_shared<FormHandle<TClientInformation>>(openForm(ClientInformation));
    form = info;
    TClientInformation &f = **info;
    f.Timer1->SetEnabled(false); // the test gives the cycles
    if (what == "client detection") {
        EXPECT_TRUE(pumpUntil([&] { return !f.ClientBusy; }, kWaitMs));
        f.ClientDetectReq->Request.Timeout = 20;
        sentBefore = requestsNaming("adGetClient", "set");
        click(f.Bt_Rfrsh);
        return f.ClientDetectReq.get();
    }
    EXPECT_TRUE(pumpUntil([&] { return !f.WdsBusy; }, kWaitMs));
    f.WdsDetectReq->Request.Timeout = 20;
    sentBefore = requestsNaming("wdsGet", "set");
    click(f.Bt_WDSRefresh);
    return f.WdsDetectReq.get();
}

} // namespace

TEST_P(SlowCommand, IsSentOnce)
{
    const SlowCase &c = GetParam();
    kvtest::FtpServer ftp("admin", "s3cret");
    ASSERT_TRUE(ftp.ok()) << ftp.why();
    setenv(kFtpPortVariable, std::to_string(ftp.port()).c_str(), 1);
    std::vector<std::string> devsim = c.devsim;
    if (*c.profile)
        devsim.insert(devsim.end(), {"--profile", writeProfile(c.profile)});
    startTransferDevice(devsim);
    KvSNMPRequest2Controls *binding = sendCommand(c.what);
    ASSERT_NE(binding, nullptr);
    // A second try would have gone out before the request gave up.
    ASSERT_TRUE(pumpUntil(
        [&] { return requestsNaming(c.command, "set") > sentBefore && !binding->Busy && boxesShown(); },
        30000));
    EXPECT_EQ(requestsNaming(c.command, "set"), sentBefore + 1);
}

namespace {

std::vector<std::string> dropped(const char *command, std::vector<std::string> profile = {"--profile", "ssl"})
{
    profile.insert(profile.end(), {"--fault", std::string(command) + "=drop@set"});
    return profile;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Commands, SlowCommand,
    ::testing::Values(
        SlowCase{"log fetch", "systemLogGetLog", dropped("systemLogGetLog")},
        SlowCase{"certificate upload", "uSSLCertUpdate", dropped("uSSLCertUpdate")},
        SlowCase{"zone list fetch", "sntpGetList", dropped("sntpGetList")},
        SlowCase{"firmware fetch", "tftpcommand", dropped("tftpcommand", {"--profile", "nodeferred"})},
        SlowCase{"LAN set of a DHCP client turning static", "sysRestart",
                 dropped("sysRestart", {"--profile", "nodeferred"}), "set hGetIPFrom 2\n"},
        SlowCase{"system restart", "sysRestart", dropped("sysRestart", {"--profile", "nodeferred"})},
        SlowCase{"client detection", "adGetClient", {"--fault", "adGetClient=delay:600@set"}},
        SlowCase{"WDS detection", "wdsGet", {"--profile", "bridge", "--fault", "wdsGet=delay:600@set"}}),
    CaseName());

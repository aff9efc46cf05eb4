// Device commands go out once: a device that does not answer does not get them twice.
#include "FtpServer.h"
#include "TFM_FirewareSSL.h"
#include "TLogForm.h"
#include "TSNTPForm.h"
#include "TransferFixture.h"

#include <memory>

using namespace formtest;

namespace {

class SlowCommand : public TransferTest, public ::testing::WithParamInterface<const char *> {
protected:
    void TearDown() override
    {
        TransferTest::TearDown();
        unsetenv(kFtpPortVariable);
    }
};

} // namespace

TEST_P(SlowCommand, IsSentOnce)
{
    const std::string command = GetParam();
    kvtest::FtpServer ftp("admin", "s3cret");
    ASSERT_TRUE(ftp.ok()) << ftp.why();
    setenv(kFtpPortVariable, std::to_string(ftp.port()).c_str(), 1);
    startTransferDevice({"--profile", "ssl", "--fault", command + "=drop@set"});
    std::shared_ptr<void> form;
    KvSNMPRequest2Controls *binding = nullptr;
    // Time-outs in tens of milliseconds: half a second where the command is not out yet.
    if (command == "systemLogGetLog") { // fetched once the form's target write is answered
        auto log = std::make_shared<FormHandle<TLogForm>>(openForm(LogForm));
        binding = (*log)->GetReq.get();
        (*log)->GetReq->Request.Timeout = 50;
        form = log;
    } else if (command == "sntpGetList") { // sent while the form opens: its ten seconds stand
        auto sntp = std::make_shared<FormHandle<TSNTPForm>>(openForm(SNTPForm));
        binding = (*sntp)->ListReq.get();
        form = sntp;
    } else {
        auto ssl = std::make_shared<FormHandle<TFM_FirewareSSL>>(openForm(FM_FirewareSSL));
        TFM_FirewareSSL &f = **ssl;
        binding = f.SslReq.get();
        form = ssl;
        f.SslReq->Request.Timeout = 50;
        ASSERT_TRUE(pumpUntil([&] { return !f.FtpReq->Busy; }, 3000));
        type(f.Ed_FtpSrv, "127.0.0.1");
        type(f.Ed_UserName, "admin");
        type(f.Ed_Password, "s3cret");
        type(f.EDT_Certificate, "cert.der");
        type(f.EDT_Key, "key.der");
        expectBox("Write file fail!Please check FTP server and file name!", "Warning");
        click(f.Bt_CUpload);
    }
    ASSERT_NE(binding, nullptr);
    // A second try would have gone out before the request gave up.
    ASSERT_TRUE(pumpUntil([&] { return requestsNaming(command, "set") > 0 && !binding->Busy; }, 30000));
    EXPECT_EQ(requestsNaming(command, "set"), 1);
}

INSTANTIATE_TEST_SUITE_P(Commands, SlowCommand,
                         ::testing::Values("systemLogGetLog", "uSSLCertUpdate", "sntpGetList"));

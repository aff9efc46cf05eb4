// The firmware-and-SSL form: the certificate update after an FTP login check against
// pyftpdlib, and the firmware upload with its own waits.
#include "FtpServer.h"
#include "ShellTexts.h"
#include "TFM_FirewareSSL.h"
#include "TestEnv.h"
#include "TransferFixture.h"
#include "Waiting.h"

#include <filesystem>

using namespace formtest;
namespace fs = std::filesystem;

namespace {

class FirmwareSsl : public TransferTest {
protected:
    void TearDown() override
    {
        TransferTest::TearDown();
        unsetenv(kFtpPortVariable);
    }
    void fill(TFM_FirewareSSL &f, const std::string &password)
    {
        type(f.Ed_FtpSrv, "127.0.0.1");
        type(f.Ed_UserName, "admin");
        type(f.Ed_Password, password);
        type(f.EDT_Certificate, "cert.der");
        type(f.EDT_Key, "key.der");
    }
};

} // namespace

TEST_F(FirmwareSsl, OpensWithTheDevicesFirmwareVersion)
{
    startTransferDevice({"--profile", "ssl"});
    auto form = openForm(FM_FirewareSSL);
    EXPECT_TRUE(pumpUntil([&] { return form->Ed_FwVersion->Text() == "v2.00.15"; }, 3000));
    EXPECT_EQ(form->Text(), "Tools \\ Firmware Update and  SSL");
    expectNoSet();
}

TEST_F(FirmwareSsl, GoodLoginWritesTheFtpSettingsThenTheCertificateCommand)
{
    kvtest::FtpServer ftp("admin", "s3cret");
    ASSERT_TRUE(ftp.ok()) << ftp.why();
    setenv(kFtpPortVariable, std::to_string(ftp.port()).c_str(), 1);
    startTransferDevice({"--profile", "ssl"});
    auto form = openForm(FM_FirewareSSL);
    ASSERT_TRUE(pumpUntil([&] { return !form->FtpReq->Busy; }, 3000));
    fill(*form, "s3cret");
    click(form->Bt_CUpload);
    EXPECT_EQ(form->StatusBar->SimpleText(), "Test FTP Server, please wait...!");
    EXPECT_FALSE(form->Enabled());
    ASSERT_TRUE(
        pumpUntil([&] { return form->StatusBar->SimpleText() == "Update SSL certificate success!"; }, 8000));
    expectSets({"uFTPSrvIP=\"127.0.0.1\" uFTPUserName=\"admin\" uFTPPassword=\"s3cret\"",
                "uSSLCertFileName=\"cert.der\" uSSLKeyFileName=\"key.der\" uSSLCertUpdate=1"});
    EXPECT_EQ(commands(), std::vector<std::string>{"uSSLCertUpdate=1"});
    EXPECT_TRUE(form->Bt_CUpload->Enabled());
}

TEST_F(FirmwareSsl, RefusedLoginShowsTheMessageAndWritesNothing)
{
    kvtest::FtpServer ftp("admin", "s3cret");
    ASSERT_TRUE(ftp.ok()) << ftp.why();
    setenv(kFtpPortVariable, std::to_string(ftp.port()).c_str(), 1);
    startTransferDevice({"--profile", "ssl"});
    auto form = openForm(FM_FirewareSSL);
    fill(*form, "wrong");
    expectBox("Please input valid FTP Address and UserName Password.", "Warning");
    click(form->Bt_CUpload);
    ASSERT_TRUE(pumpUntil([&] { return form->StatusBar->SimpleText() == "FTP is not valid!"; }, 8000));
    EXPECT_TRUE(form->Enabled());
    expectNoSet();
}

// A refused close says so and stops nothing: the certificate command still follows its settings.
TEST_F(FirmwareSsl, RefusedCloseLeavesTheUpdateRunning)
{
    kvtest::FtpServer ftp("admin", "s3cret");
    ASSERT_TRUE(ftp.ok()) << ftp.why();
    setenv(kFtpPortVariable, std::to_string(ftp.port()).c_str(), 1);
    startTransferDevice({"--profile", "ssl", "--fault", "uFTPPassword=delay:600@set"});
    auto form = openForm(FM_FirewareSSL);
    ASSERT_TRUE(pumpUntil([&] { return !form->FtpReq->Busy; }, 3000));
    fill(*form, "s3cret");
    click(form->Bt_CUpload);
    ASSERT_TRUE(pumpUntil([&] { return requestsNaming("uFTPPassword", "set") == 1; }, 8000));
    expectBox("don't close", gModelName);
    form->Close();
    EXPECT_TRUE(form->Visible());
    ASSERT_TRUE(
        pumpUntil([&] { return form->StatusBar->SimpleText() == "Update SSL certificate success!"; }, 8000));
    expectSets({"uFTPSrvIP=\"127.0.0.1\" uFTPUserName=\"admin\" uFTPPassword=\"s3cret\"",
                "uSSLCertFileName=\"cert.der\" uSSLKeyFileName=\"key.der\" uSSLCertUpdate=1"});
    form->Close();
    EXPECT_FALSE(form->Visible());
}

struct SslRefusal {
    const char *server, *certificate, *key, *message;
};

class FirmwareSslRefusal : public FirmwareSsl, public ::testing::WithParamInterface<SslRefusal> {};

TEST_P(FirmwareSslRefusal, SendsNothing)
{
    startTransferDevice({"--profile", "ssl"});
    auto form = openForm(FM_FirewareSSL);
    const SslRefusal r = GetParam();
    type(form->Ed_FtpSrv, r.server);
    type(form->EDT_Certificate, r.certificate);
    type(form->EDT_Key, r.key);
    expectBox(r.message, "Warning");
    click(form->Bt_CUpload);
    pump(100);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, FirmwareSslRefusal,
    ::testing::Values(
        SslRefusal{"0.0.0.0", "c.der", "k.der", "Please input valid IP Address for FTP Server."},
        SslRefusal{"ftp.example", "c.der", "k.der", "Please input valid IP Address for FTP Server."},
        SslRefusal{"127.0.0.1", "", "k.der", "Empty file is not accepted!"},
        SslRefusal{"127.0.0.1", "cert.DER", "k.der", "File format error! Please try again."},
        SslRefusal{"127.0.0.1", "c.der", "", "Empty file is not accepted!"},
        SslRefusal{"127.0.0.1", "c.der", "key.pem", "File format error! Please try again."}));

// The form sent the restart itself; its waits send none (the device would restart twice).
TEST_F(FirmwareSsl, UploadRestartsTheDeviceOnce)
{
    startTransferDevice({"--profile", "ssl", "--profile", "nodeferred"});
    auto form = openForm(FM_FirewareSSL);
    const std::string folder = kvtest::makeTempDir("kv-sslfw-");
    kvtest::writeText(folder + "/fw.tfp", std::string(700, 'x'));
    type(form->Ed_UpgFile, folder + "/fw.tfp");
    click(form->Bt_Upload);
    EXPECT_FALSE(form->Bt_Upload->Enabled());
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_Upload->Enabled() && !FM_Waiting; }, 15000));
    pump(300);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"fw.tfp\"", "tftpcommand=2", "upgradesettingcommand=1",
                "upgradesettingcommand=4"});
    EXPECT_EQ(fileText(deviceFile("fw.tfp")), std::string(700, 'x'));
    EXPECT_TRUE(form->Enabled());
    fs::remove_all(folder);
}

TEST_F(FirmwareSsl, Layout)
{
    startTransferDevice({"--profile", "ssl"});
    auto form = openForm(FM_FirewareSSL);
    checkLayout(form.get(), "TFM_FirewareSSL");
}

// A write of the update that fails: the device fetches from the server it was told, so no
// certificate command goes without the settings; a refused or unanswered command names the
// settings written before it, and one left unanswered is not told as refused.
struct SslWriteFailure {
    const char *name;
    const char *fault;
    const char *status;
    int commands;    // certificate commands sent
    const char *box; // added to the form's words in the warning box
};

void PrintTo(const SslWriteFailure &row, std::ostream *out)
{
    *out << row.name;
}

class FirmwareSslWriteFailure : public FirmwareSsl, public ::testing::WithParamInterface<SslWriteFailure> {};

TEST_P(FirmwareSslWriteFailure, EndsTheUpdateSayingWhatWasWritten)
{
    const SslWriteFailure &row = GetParam();
    kvtest::FtpServer ftp("admin", "s3cret");
    ASSERT_TRUE(ftp.ok()) << ftp.why();
    setenv(kFtpPortVariable, std::to_string(ftp.port()).c_str(), 1);
    startTransferDevice({"--profile", "ssl", "--fault", row.fault});
    auto form = openForm(FM_FirewareSSL);
    // Its answer never comes in one row: the wait for it, shorter.
    form->SslReq->Request.Timeout = 50;
    ASSERT_TRUE(pumpUntil([&] { return !form->FtpReq->Busy; }, 3000));
    fill(*form, "s3cret");
    // The box keeps the form's words and tells all of the outcome, which the status bar is too
    // narrow to show.
    expectBox(std::string("Write file fail!Please check FTP server and file name!") + row.box, "Warning");
    click(form->Bt_CUpload);
    ASSERT_TRUE(pumpUntil(
        [&] { return std::string(form->StatusBar->SimpleText()).rfind("Update SSL certificate", 0) == 0; },
        20000));
    EXPECT_EQ(form->StatusBar->SimpleText(), row.status);
    EXPECT_EQ(requestsNaming("uSSLCertUpdate", "set"), row.commands);
    EXPECT_TRUE(form->Bt_Upload->Enabled());
    EXPECT_TRUE(form->Bt_CUpload->Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FirmwareSslWriteFailure,
    ::testing::Values(
        SslWriteFailure{"settings_refused", "uFTPPassword=error:genErr@set",
                        "Update SSL certificate fail! Not written: FTP Settings.", 0,
                        " Not written: FTP Settings."},
        SslWriteFailure{
            "command_refused", "uSSLCertUpdate=error:genErr@set",
            "Update SSL certificate fail! Not written: SSL Certification. Written before it: FTP Settings.",
            1, " Not written: SSL Certification. Written before it: FTP Settings."},
        SslWriteFailure{
            "command_unanswered", "uSSLCertUpdate=drop@set",
            "Update SSL certificate fail! The device did not answer; it may still take the setting. "
            "Not answered: SSL Certification. Written before it: FTP Settings.",
            1,
            " The device did not answer; it may still take the setting. Not answered: SSL Certification. "
            "Written before it: FTP Settings."}),
    [](const auto &row) { return std::string(row.param.name); });

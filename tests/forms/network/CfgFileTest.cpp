// The configuration file form against the simulated device and its TFTP client.
#include "Dialogs.h"
#include "TFM_CfgFile.h"
#include "TestEnv.h"
#include "TransferFixture.h"
#include "Waiting.h"

#include <filesystem>

using namespace formtest;
namespace fs = std::filesystem;

namespace {

class CfgFile : public TransferTest {
protected:
    std::string folder = kvtest::makeTempDir("kv-cfg-");
    void TearDown() override
    {
        TransferTest::TearDown();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::string loadable(const std::string &name, const std::string &content = "cfg 1\n")
    {
        kvtest::writeText(folder + "/" + name, content);
        return folder + "/" + name;
    }
};

} // namespace

TEST_F(CfgFile, SaveWritesTargetThenCommandAndKeepsTheDevicesBytes)
{
    startTransferDevice();
    auto form = openForm(FM_CfgFile);
    kv::FileDialogService::instance().setNextAnswer(folder + "/backup");
    click(form->Bt_SavBrw);
    click(form->Bt_Upload); // returns when the wait has ended
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"backup.dcf\"", "tftpcommand=3"});
    EXPECT_EQ(form->StatusBar->SimpleText(), "The configuration file saved successfully!");
    ASSERT_TRUE(fs::exists(folder + "/backup.dcf"));
    EXPECT_EQ(fileText(folder + "/backup.dcf"), fileText(deviceFile("backup.dcf")));
    EXPECT_FALSE(fileText(folder + "/backup.dcf").empty());
    EXPECT_EQ(form->Ed_SaveFile->Text(), "");
}

TEST_F(CfgFile, LoadRunsTransferSaveRebootAndCountsThirty)
{
    startTransferDevice({"--profile", "nodeferred"});
    auto form = openForm(FM_CfgFile);
    const std::string path = loadable("site.DCF", "config bytes\n");
    type(form->Ed_UpgFile, path);
    int countdown = 0;
    kv::postCall([&] {
        pumpUntil([&] { return FM_Waiting && FM_Waiting->Label3->Text() == "The device is restarting..."; },
                  8000);
        countdown = FM_Waiting ? std::stoi(FM_Waiting->La_Time->Text()) : 0;
    });
    click(form->Bt_OK);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"site.DCF\"", "tftpcommand=2",
                "upgradesettingcommand=3", "upgradesettingcommand=4"});
    EXPECT_EQ(fileText(deviceFile("site.DCF")), "config bytes\n");
    EXPECT_GE(countdown, 28);
    EXPECT_LE(countdown, 30);
    EXPECT_EQ(form->Ed_UpgFile->Text(), path);
}

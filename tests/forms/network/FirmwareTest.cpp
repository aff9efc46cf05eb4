// The firmware form against the simulated device and its TFTP client.
#include "TFM_CfgFile.h"
#include "TFM_FirewareSSL.h"
#include "TFM_Firmware.h"
#include "TestEnv.h"
#include "TransferFixture.h"
#include "Waiting.h"

#include <filesystem>

using namespace formtest;
namespace fs = std::filesystem;

namespace {

class Firmware : public TransferTest {
protected:
    std::string folder = kvtest::makeTempDir("kv-fw-");
    void TearDown() override
    {
        TransferTest::TearDown();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    // An image of several blocks with every byte value.
    std::string image(const std::string &name)
    {
        std::string bytes;
        for (int i = 0; i < 1800; ++i)
            bytes += static_cast<char>(i * 7 % 256);
        kvtest::writeText(folder + "/" + name, bytes);
        return folder + "/" + name;
    }
};

} // namespace

TEST_F(Firmware, UploadFetchesTheImageThenOneUpdateAndOneReboot)
{
    startTransferDevice({"--profile", "nodeferred"});
    auto form = openForm(FM_Firmware);
    const std::string path = image("fw.tfp");
    type(form->Ed_UpgFile, path);
    click(form->Bt_OK);
    EXPECT_FALSE(form->Bt_OK->Enabled());
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_OK->Enabled(); }, 10000));
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"fw.tfp\"", "tftpcommand=2", "upgradesettingcommand=1",
                "upgradesettingcommand=4"});
    EXPECT_EQ(fileText(deviceFile("fw.tfp")), fileText(path));
    EXPECT_EQ(form->Ed_UpgFile->Text(), path);
}

// The server follows no link a request names; the image the user picked is served.
TEST_F(Firmware, UploadThroughALinkServesTheImageItNames)
{
    startTransferDevice({"--profile", "nodeferred"});
    auto form = openForm(FM_Firmware);
    fs::create_directory(folder + "/link");
    const std::string real = image("real.tfp");
    fs::create_symlink(real, folder + "/link/fw.tfp");
    type(form->Ed_UpgFile, folder + "/link/fw.tfp");
    click(form->Bt_OK);
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_OK->Enabled(); }, 10000));
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"real.tfp\"", "tftpcommand=2",
                "upgradesettingcommand=1", "upgradesettingcommand=4"});
    EXPECT_EQ(fileText(deviceFile("real.tfp")), fileText(real));
}

// A retry would burn the image twice or restart twice.
TEST_F(Firmware, SlowAnswersRunEachCommandOnce)
{
    startTransferDevice({"--profile", "nodeferred", "--fault", "upgradesettingcommand=delay:2600@set"});
    auto form = openForm(FM_Firmware);
    type(form->Ed_UpgFile, image("fw.tfp"));
    click(form->Bt_OK);
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_OK->Enabled(); }, 15000));
    pump(500);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"fw.tfp\"", "tftpcommand=2", "upgradesettingcommand=1",
                "upgradesettingcommand=4"});
}

// The update waits minutes for its answer; with one second here its late answer comes after
// the time-out, when a second try would already have gone out.
TEST_F(Firmware, LateUpdateAnswerIsNotRetried)
{
    realTimeOuts();
    startTransferDevice({"--profile", "nodeferred", "--fault", "upgradesettingcommand=delay:2600@set"});
    auto form = openForm(FM_Firmware);
    form->UpgReq->Request.Timeout = 100;
    type(form->Ed_UpgFile, image("fw.tfp"));
    click(form->Bt_OK);
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_OK->Enabled(); }, 15000));
    EXPECT_EQ(requestsNaming("upgradesettingcommand", "set"), 1);
    expectSets(
        {"remotesrvip=127.0.0.1 remotefilename=\"fw.tfp\"", "tftpcommand=2", "upgradesettingcommand=1"});
}

TEST_F(Firmware, ClosingIsRefusedWhileTheUploadRunsAndChangesNothing)
{
    startTransferDevice({"--profile", "nodeferred", "--fault", "tftpcommand=delay:600@set"});
    auto form = openForm(FM_Firmware);
    type(form->Ed_UpgFile, image("fw.tfp"));
    click(form->Bt_OK);
    ASSERT_TRUE(pumpUntil([&] { return requestsNaming("tftpcommand", "set") == 1; }, 3000));
    form->Close();
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_OK->Enabled(); }, 15000));
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"fw.tfp\"", "tftpcommand=2", "upgradesettingcommand=1",
                "upgradesettingcommand=4"});
    form->Close();
    EXPECT_FALSE(form->Visible());
}

TEST_F(Firmware, TransferFaultShowsFailureAndNoFirmwareStep)
{
    startTransferDevice({"--fault", "tftpcommand=error:genErr@set"});
    auto form = openForm(FM_Firmware);
    type(form->Ed_UpgFile, image("fw.tfp"));
    expectBox("Cant Perform Operation,Please try again!", "Warning");
    click(form->Bt_OK);
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_OK->Enabled(); }, 5000));
    EXPECT_EQ(requestsNaming("upgradesettingcommand", "set"), 0);
}

struct FirmwareRefusal {
    const char *made;
    const char *typed;
    const char *message;
};

class FirmwareRefused : public Firmware, public ::testing::WithParamInterface<FirmwareRefusal> {};

TEST_P(FirmwareRefused, SendsNothing)
{
    startTransferDevice();
    auto form = openForm(FM_Firmware);
    const FirmwareRefusal r = GetParam();
    if (*r.made)
        image(r.made);
    type(form->Ed_UpgFile, *r.typed ? folder + "/" + r.typed : std::string());
    expectBox(r.message, "Warning");
    click(form->Bt_OK);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, FirmwareRefused,
    ::testing::Values(FirmwareRefusal{"", "", "Please put in the firmware file & path."},
                      FirmwareRefusal{"", "sub/", "Please put in the firmware file & path."},
                      FirmwareRefusal{"image.TFP", "image.TFP", "Please put in valid firmware file & path."},
                      FirmwareRefusal{"", "missing.tfp", "Please put in valid firmware file & path."}));

TEST_F(Firmware, Layout)
{
    startTransferDevice();
    auto form = openForm(FM_Firmware);
    checkLayout(form.get(), "TFM_Firmware");
}

// Without the new name the device would fetch the previous image and burn it.
TEST_F(Firmware, RefusedTargetSendsNoTransferCommand)
{
    startTransferDevice({"--fault", "remotefilename=error:genErr@set"});
    auto form = openForm(FM_Firmware);
    type(form->Ed_UpgFile, image("fw.tfp"));
    expectBox("Cant Perform Operation,Please try again!", "Warning");
    click(form->Bt_OK);
    EXPECT_TRUE(pumpUntil([&] { return form->Bt_OK->Enabled(); }, 5000));
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"fw.tfp\" (genErr)"});
}

struct MenuCase {
    const char *profile;
    bool ssl;
};

class FirmwareMenu : public TransferTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(FirmwareMenu, ToolsMenuOpensTheVariantTheDeviceSupports)
{
    startTransferDevice({"--profile", GetParam().profile});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.tools2->Click();
    ASSERT_TRUE(menu.Firmware1->Enabled());
    // Closed once its reads are in: a close while they run is refused.
    bool opened =
        GetParam().ssl
            ? openFromMenu<TFM_FirewareSSL>(
                  menu.Firmware1,
                  [](TFM_FirewareSSL &f) { pumpUntil([&] { return !f.FtpReq->Busy && !f.InfoReq->Busy; }); })
            : openFromMenu<TFM_Firmware>(menu.Firmware1, [](TFM_Firmware &) {});
    EXPECT_TRUE(opened);
    EXPECT_EQ(FM_Firmware, nullptr);
    EXPECT_EQ(FM_FirewareSSL, nullptr);
    ASSERT_TRUE(menu.tUpdate2->Enabled());
    EXPECT_TRUE(openFromMenu<TFM_CfgFile>(menu.tUpdate2, [](TFM_CfgFile &) {}));
}

INSTANTIATE_TEST_SUITE_P(Profiles, FirmwareMenu,
                         ::testing::Values(MenuCase{"nodeferred", false}, MenuCase{"ssl", true}));

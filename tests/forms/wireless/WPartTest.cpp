// The WLAN partition form against the simulated device, opened as the menu opens it.
#include "FormFixture.h"
#include "TFM_WPart.h"
#include "TestEnv.h"
#include "Waiting.h"

using namespace formtest;

namespace {

const char *const kBlockWarning =
    "AP will block all multicast/broadcast packets from Ethernet to Wireless, except DHCP's";

class WPart : public FormTest {};

} // namespace

TEST_F(WPart, OpensFromTheMenuAndShowsWhatItReadOnce)
{
    const std::string profile = kvtest::makeTempDir("kv-wpart-") + "/isolated.cat";
    kvtest::writeText(profile, "set adEthernet2WLANAccess 0\n");
    startDevice({"--profile", profile});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    EXPECT_TRUE(menu.WirelessPatrition1->Enabled());
    bool station = false, access = true;
    std::string caption, band;
    EXPECT_TRUE(openFromMenu<TFM_WPart>(menu.WirelessPatrition1, [&](TFM_WPart &f) {
        EXPECT_EQ(FM_WPart, &f);
        caption = f.Text();
        band = f.CB_Wband->Text();
        station = f.CB_statconneta->Checked();
        access = f.CB_WLANAccessa->Checked();
    }));
    EXPECT_EQ(FM_WPart, nullptr);
    EXPECT_EQ(caption, "Advanced \\ WLAN Partition");
    EXPECT_EQ(band, "IEEE 802.11g");
    EXPECT_TRUE(station);
    EXPECT_FALSE(access); // shown as read: no question asked

    EXPECT_EQ(requestsNaming("adEthernet2WLANAccess", "get"), 1);
    expectNoSet();
}

TEST_F(WPart, ApplyWritesBothFlagsWithoutCountdownWhenSavingIsDeferred)
{
    startDevice();
    auto form = openForm(FM_WPart);
    click(form->CB_statconneta);
    click(form->BT_Apply);
    expectSets({"adInternalStationConnection=0 adEthernet2WLANAccess=1"});
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Setting OK!");
}

TEST_F(WPart, ClearingEthernetAccessAsksFirst)
{
    startDevice();
    auto form = openForm(FM_WPart);
    expectBox(kBlockWarning, "Warning", IDCANCEL);
    click(form->CB_WLANAccessa);
    EXPECT_TRUE(form->CB_WLANAccessa->Checked());
    expectNoSet();

    expectBox(kBlockWarning, "Warning", IDOK);
    click(form->CB_WLANAccessa);
    EXPECT_FALSE(form->CB_WLANAccessa->Checked());
    click(form->CB_WLANAccessa); // checking it again asks nothing
    expectBox(kBlockWarning, "Warning", IDOK);
    click(form->CB_WLANAccessa);
    click(form->BT_Apply);
    expectSets({"adInternalStationConnection=1 adEthernet2WLANAccess=0"});
}

class WPartUnread : public FormTest, public ::testing::WithParamInterface<const char *> {};

// Unread boxes would go out as 0/0 and isolate every station.
TEST_P(WPartUnread, ApplySendsNothingAndSaysWhy)
{
    startDevice({"--fault", std::string("adEthernet2WLANAccess=") + GetParam() + "@get"});
    auto form = openForm(FM_WPart);
    click(form->BT_Apply);
    EXPECT_EQ(form->StatusBar1->SimpleText(), gMsgGroupNotRead);
    EXPECT_EQ(requestsNaming("adInternalStationConnection", "set"), 0);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(Faults, WPartUnread, ::testing::Values("error:genErr", "drop"));

TEST_F(WPart, RefusedSetShowsSettingErrorAndNoCountdown)
{
    startDevice({"--profile", "nodeferred", "--fault", "adEthernet2WLANAccess=error:genErr@set"});
    auto form = openForm(FM_WPart);
    click(form->BT_Apply);
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Setting Error!");
    pump(200);
    expectSets({"adInternalStationConnection=1 adEthernet2WLANAccess=1 (genErr)"});
}

TEST_F(WPart, WithoutDeferredSavingTheCountdownRestartsTheDevice)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto form = openForm(FM_WPart);
    click(form->BT_Apply); // returns when the countdown has closed
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Setting OK!");
    EXPECT_EQ(FM_Waiting, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, 3000));
    expectSets({"adInternalStationConnection=1 adEthernet2WLANAccess=1", "upgradesettingcommand=4"});
}

TEST_F(WPart, Layout)
{
    startDevice();
    auto form = openForm(FM_WPart);
    checkLayout(form.get(), "TFM_WPart");
}

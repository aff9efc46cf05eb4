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
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Not read, so not written: WLAN Partition.");
    EXPECT_EQ(requestsNaming("adInternalStationConnection", "set"), 0);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(Faults, WPartUnread, ::testing::Values("error:genErr", "drop"));

struct FailedSet {
    const char *fault;
    std::string status;
    int logged; // sets the write log shows: a set left unanswered is sent once more
};

class WPartFailedSet : public FormTest, public ::testing::WithParamInterface<FailedSet> {};

TEST_P(WPartFailedSet, ShowsSettingErrorAndNoCountdown)
{
    // Time-outs 20 times shorter: a write left unanswered ends in a second or so.
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    startDevice({"--profile", "nodeferred", "--fault", GetParam().fault});
    auto form = openForm(FM_WPart);
    click(form->BT_Apply);
    EXPECT_EQ(form->StatusBar1->SimpleText(), GetParam().status);
    pump(200);
    expectSets(std::vector<std::string>(GetParam().logged,
                                        "adInternalStationConnection=1 adEthernet2WLANAccess=1 (genErr)"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WPartFailedSet,
    ::testing::Values(FailedSet{"adEthernet2WLANAccess=error:genErr@set",
                                "Setting Error! Not written: WLAN Partition.", 1},
                      // Not a refusal: the device may still take it.
                      FailedSet{"adEthernet2WLANAccess=drop@set",
                                "Setting Error! The device did not answer; it may still take the setting. "
                                "Not answered: WLAN Partition.",
                                2}));

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

// The device information form against the simulated device.
#include "FormFixture.h"
#include "TFM_DevInfo.h"
#include "TestEnv.h"

#include <sstream>

using namespace formtest;

namespace {

// Long enough for a loaded machine; a passing wait ends as soon as its condition holds.
constexpr int kWait = 10000;

class DevInfo : public FormTest {
protected:
    void startWith(const std::string &profileLines, std::vector<std::string> args = {})
    {
        const std::string profile = kvtest::makeTempDir("kv-devinfo-") + "/device.cat";
        kvtest::writeText(profile, profileLines);
        args.insert(args.begin(), {"--profile", profile});
        startDevice(args);
    }
    // Set requests of any kind in the device's request log.
    int setRequests() const
    {
        std::istringstream log(sim->readFile("requests.log"));
        int count = 0;
        for (std::string time, kind, rest; log >> time >> kind && std::getline(log, rest);)
            count += kind == "set" ? 1 : 0;
        return count;
    }
    // Both asynchronous reads have ended, well or not.
    static bool infoRead(TFM_DevInfo &f)
    {
        const auto ended = [](const std::unique_ptr<FormBinding> &b) {
            return !b || (b->LastRead() != ReadState::NotRead && b->LastRead() != ReadState::Reading);
        };
        return pumpUntil([&] { return ended(f.InfoReq) && ended(f.ApReq); }, kWait);
    }
};

} // namespace

TEST_F(DevInfo, OpensFromTheMenuShowsEverythingAndWritesNothing)
{
    startDevice();
    const int setsBefore = setRequests();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.status2->Click();
    EXPECT_TRUE(openFromMenu<TFM_DevInfo>(menu.stDeviceInfo2, [&](TFM_DevInfo &f) {
        EXPECT_TRUE(infoRead(f));
        EXPECT_EQ(f.Text(), "Status \\ Device Info");
        EXPECT_EQ(f.TabSheetA->Text(), "IEEE 802.11g");
        EXPECT_EQ(f.Ed_SSIDa->Text(), "QRN-5290AP");
        EXPECT_EQ(f.Ed_Channela->Text(), "6");
        EXPECT_EQ(f.Ed_SupModusa->Text(), "Disabled");
        EXPECT_EQ(f.Ed_Firmware->Text(), "v2.00.15");
        EXPECT_EQ(f.Ed_GetIP->Text(), "Manual");
        EXPECT_EQ(f.Ed_Mac->Text(), "0012AB3456C0");
        EXPECT_EQ(f.Ed_SMac->Text(), "0012AB3456C0");
        EXPECT_EQ(f.Lab_Lan1Mac->Text(), "0012AB3456C1");
        EXPECT_EQ(f.Lab_Lan1MacEnd->Text(), "0012AB3456C7");
        EXPECT_TRUE(f.GB_AP->Visible());
        EXPECT_EQ(f.Ed_Cpu->Text(), "12");
        EXPECT_EQ(f.Ed_Memory->Text(), "43");
        click(f.Bt_Refa);
        EXPECT_TRUE(infoRead(f));
    }));
    EXPECT_EQ(requestsNaming("stSSID", "get"), 2);
    EXPECT_EQ(requestsNaming("deviceInformationCpuUtilization", "get"), 2);
    EXPECT_EQ(setRequests(), setsBefore); // not one set request, refused or not
}

namespace {

struct MacRange {
    std::string mac, first, last;
};

class DevInfoRange : public DevInfo, public ::testing::WithParamInterface<MacRange> {};

} // namespace

// The device information arrives late: the range is worked out from the MAC once it came.
TEST_P(DevInfoRange, SevenFurtherAddressesOf48Bits)
{
    startWith("set stMACAddress 0x" + GetParam().mac + "\n", {"--fault", "stMACAddress=delay:600@get"});
    auto f = openForm(FM_DevInfo);
    if (f->InfoReq->LastRead() == ReadState::Reading) {
        EXPECT_FALSE(f->Lab_Lan1Mac->Visible()); // no range before the MAC came
    }
    ASSERT_TRUE(infoRead(*f));
    EXPECT_TRUE(f->Lab_Lan1Mac->Visible());
    EXPECT_EQ(f->Ed_SMac->Text(), GetParam().mac);
    EXPECT_EQ(f->Lab_Lan1Mac->Text(), GetParam().first);
    EXPECT_EQ(f->Lab_Lan1MacEnd->Text(), GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(Macs, DevInfoRange,
                         ::testing::Values(MacRange{"0012ABFFFFFF", "0012AC000000", "0012AC000006"},
                                           MacRange{"FFFFFFFFFFFF", "000000000000", "000000000006"},
                                           MacRange{"0012AB3456F9", "0012AB3456FA", "0012AB345700"}));

TEST_F(DevInfo, AMacThatCannotBeReadLeavesTheRangeHiddenAndTheFormGoesOn)
{
    startDevice({"--fault", "stMACAddress=absent"});
    auto f = openForm(FM_DevInfo);
    ASSERT_TRUE(infoRead(*f));
    EXPECT_EQ(f->InfoReq->LastRead(), ReadState::Failed);
    EXPECT_FALSE(f->Label21->Visible());
    EXPECT_TRUE(f->GB_AP->Visible());
    EXPECT_EQ(f->Ed_Cpu->Text(), "12");
}

TEST_F(DevInfo, WithoutApStatusNoLoadIsAskedAndTheGroupsMoveDown)
{
    startDevice({"--profile", "noapstatus"});
    auto f = openForm(FM_DevInfo);
    ASSERT_TRUE(infoRead(*f));
    EXPECT_FALSE(f->GB_AP->Visible());
    EXPECT_EQ(f->GroupBox2->Top(), 48);
    EXPECT_FALSE(f->Lab_Lan1Mac->Visible()); // no MAC objects either
    click(f->Bt_Refa);
    EXPECT_EQ(requestsNaming("deviceInformationCpuUtilization"), 0);
}

namespace {

struct SuperMode {
    int turbo, channel, mode;
    std::string shown;
};

class DevInfoSuperMode : public DevInfo, public ::testing::WithParamInterface<SuperMode> {};

} // namespace

TEST_P(DevInfoSuperMode, DerivedFromTurboSupportChannelAndMode)
{
    const SuperMode &c = GetParam();
    startWith("set turbomodes " + std::to_string(c.turbo) + "\nset stChannel " + std::to_string(c.channel) +
              "\nset stSuperMode " + std::to_string(c.mode) + "\n");
    auto f = openForm(FM_DevInfo);
    EXPECT_EQ(f->Ed_SupModusa->Text(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Modes, DevInfoSuperMode,
                         ::testing::Values(SuperMode{0, 6, 2, "Enabled"}, SuperMode{0, 11, 4, "Disabled"},
                                           SuperMode{1, 11, 3, "Super G without Turbo"},
                                           SuperMode{1, 6, 3, "Enable with Dynamic Turbo"},
                                           SuperMode{1, 11, 4, "Disabled"}));

TEST_F(DevInfo, Layout)
{
    startDevice();
    auto f = openForm(FM_DevInfo);
    ASSERT_TRUE(infoRead(*f));
    checkLayout(f.get(), "TFM_DevInfo");
}

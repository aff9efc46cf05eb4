// Home \ Wireless: the lists that follow the device's capabilities and the choices made, and
// the checks that compare the primary SSID with the guests.
#include "WirlessTestSupport.h"

using namespace formtest;

using Names = std::vector<std::string>;

namespace {

const Names kNine = {"Open System",     "Shared Key",        "Open System / Shared Key",
                     "WPA-Personal",    "WPA-Enterprise",    "WPA2-Personal",
                     "WPA2-Enterprise", "WPA-Auto-Personal", "WPA-Auto-Enterprise"};
const Names kWEP = {"Open System", "Shared Key", "Open System / Shared Key"};

} // namespace

struct WirlessAuthList {
    const char *what;
    bool rogue; // the device has rogue-AP detection
    const char *profileLines;
    const char *mode;
    Names expected;
};

class WirlessAuthLists : public Wirless, public ::testing::WithParamInterface<WirlessAuthList> {};

TEST_P(WirlessAuthLists, FollowTheModeAndTheDevice)
{
    const WirlessAuthList &c = GetParam();
    std::vector<std::string> args = {"--profile", profile(c.profileLines)};
    if (!c.rogue)
        args.insert(args.end(), {"--profile", "norogue"});
    startDevice(args);
    auto f = openWireless();
    chooseMode(*f, c.mode);
    EXPECT_EQ(items(f->Ed_SecAuthaTemp), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, WirlessAuthLists,
    ::testing::Values(
        WirlessAuthList{"rogueAP", true, "", "Access Point", kNine},
        WirlessAuthList{"rogueWDS",
                        true,
                        "",
                        "WDS with AP",
                        {"Open System", "Shared Key", "Open System / Shared Key", "WPA-Personal",
                         "WPA2-Personal", "WPA-Auto-Personal"}},
        WirlessAuthList{"rogueRepeater",
                        true,
                        "",
                        "Universal Repeater",
                        {"Open System", "Shared Key", "WPA-Personal", "WPA2-Personal"}},
        WirlessAuthList{
            "rogueClient", true, "", "Wireless Client", {"Open System", "Shared Key", "WPA-Personal"}},
        WirlessAuthList{"plainAP200", false, "", "Access Point", kNine},
        WirlessAuthList{
            "plainAP201",
            false,
            "set stFirmwareVersion \"v2.01.00\"\n",
            "Access Point",
            {"Open System", "Shared Key", "Open System / Shared Key", "WPA-Personal", "WPA-Enterprise"}},
        WirlessAuthList{"plainWDS", false, "", "WDS", kWEP},
        WirlessAuthList{
            "plainClient", false, "", "Wireless Client", {"Open System", "Shared Key", "WPA-Personal"}}),
    [](const ::testing::TestParamInfo<WirlessAuthList> &p) { return std::string(p.param.what); });

TEST_F(Wirless, OlderModeNamesWithoutMultipointEntry)
{
    startDevice({"--profile", profile("set apmodes 31\nset apmodestringchangeSupported 0\n")});
    auto f = openWireless();
    EXPECT_EQ(items(f->ED_APModeTempComboBox),
              (Names{"Access Point", "PtP Bridge", "AP Repeater", "AP Client"}));
    chooseMode(*f, "AP Repeater");
    EXPECT_EQ(f->ED_APModeComboBox->Text(), "Universal Repeater");
    EXPECT_EQ(f->GroupBox2->Text(), " AP Repeater ");
    EXPECT_FALSE(f->CB_Chana->Enabled());
}

// The groups shown for each mode, the authentication row below them.
TEST_F(Wirless, GroupsFollowTheMode)
{
    startDevice();
    auto f = openWireless();
    const int apHeight = f->ClientHeight();
    chooseMode(*f, "WDS with AP");
    EXPECT_TRUE(f->GroupBox1->Visible());
    EXPECT_TRUE(f->GroupBox3->Visible());
    EXPECT_EQ(f->Label5->Top(), 395);
    EXPECT_EQ(f->ClientHeight() - apHeight, 395 - 132);
    chooseMode(*f, "Wireless Client");
    EXPECT_FALSE(f->Ed_SSIDa->Visible());
    EXPECT_TRUE(f->GroupBox2->Visible());
    EXPECT_EQ(f->GroupBox2->Text(), " AP Client ");
    EXPECT_EQ(f->Label5->Top(), 328);
    EXPECT_TRUE(f->Ed_RoMAddra0->ReadOnly());
    EXPECT_FALSE(f->Ed_SSID->ReadOnly());
    chooseAuth(*f, "WPA-Personal");
    EXPECT_TRUE(f->GroupBox7->Visible());
    EXPECT_EQ(f->GroupBox7->Top(), 328 + 18);
}

// A WPA guest takes the second and third key slots: the primary keeps the first and fourth,
// and the second entry of its list is the fourth key.
TEST_F(Wirless, WPAGuestLeavesTheFirstAndFourthKeys)
{
    startDevice({"--profile", "newmssid", "--profile",
                 profile("set adMSSIDState 1\nset adMSSIDIdvState.1.2 1\nset adMSSIDEncryption.1.2 1\n"
                         "set adMSSIDAuth.1.2 4\nset adSecEncryption-a 1\n")});
    auto f = openWireless();
    EXPECT_EQ(items(f->Ed_SecValKeya), (Names{"First", "Fourth"}));
    choose(f->Ed_SecValKeya, "Fourth");
    EXPECT_FALSE(f->Ed_Key4a->ReadOnly());
    EXPECT_TRUE(f->Ed_Key2a->ReadOnly());
    choose(f->Ed_KeySize, "64 Bits");
    type(f->Ed_Key4a, "0a0b0c0d0e");
    apply(*f);
    EXPECT_EQ(
        setAt(5),
        "adSecAuthentication-a=1 adSecEncryption-a=1 adSecValidKey-a=4 adSecKey-80211a-4=\"0a0b0c0d0e\"");
}

// A key in use that the reduced list lacks stays in use: shown, never written.
TEST_F(Wirless, AKeyInUseTheListLacksStaysInUse)
{
    startDevice({"--profile", "newmssid", "--profile",
                 profile("set adMSSIDState 1\nset adMSSIDIdvState.1.2 1\nset adMSSIDEncryption.1.2 1\n"
                         "set adMSSIDAuth.1.2 4\nset adSecEncryption-a 1\nset adSecValidKey-a 2\n")});
    auto f = openWireless();
    EXPECT_EQ(items(f->Ed_SecValKeya), (Names{"First", "Fourth", "Second"}));
    EXPECT_EQ(f->Ed_SecValKeya->Text(), "Second");
    apply(*f);
    EXPECT_EQ(requestsNaming("adSecValidKey-a", "set"), 0);
    EXPECT_EQ(f->Ed_SecValKeya->Text(), "Second");
}

TEST_F(Wirless, PrimarySSIDMayNotBeAGuestsSSID)
{
    startDevice(
        {"--profile", "newmssid", "--profile", profile("set adMSSIDState 1\nset adMSSIDIdvState.1.2 1\n")});
    auto f = openWireless();
    type(f->Ed_SSIDa, "guest1");
    expectBox("The 11g Primary SSID's SSID is same as Multi-SSID 1", "Warning");
    apply(*f);
    expectNoSet();
}

TEST_F(Wirless, MasterKeyIndexMayNotBeAGuestsKeyIndex)
{
    startDevice({"--profile", profile("set adSecEncryption-a 1\nset adMSSIDIdvState.1.3 1\n"
                                      "set adMSSIDEncryption.1.3 1\nset adMSSIDKeyIndex.1.3 2\n")});
    auto f = openWireless();
    expectBox("The 11g master SSID's key index is same as Guest SSID2", "Warning");
    choose(f->Ed_SecValKeya, "Second"); // said at once
    expectBox("The 11g master SSID's key index is same as Guest SSID2", "Warning");
    apply(*f);
    expectNoSet();
}

TEST_F(Wirless, LeavingTheAccessPointModeWarnsOfMultiSSID)
{
    startDevice({"--profile", "newmssid", "--profile", profile("set adMSSIDState 1\n")});
    auto f = openWireless();
    expectBox("If AP Mode is not \"Access Point\",\nThe Multi-SSID should be set to \"Disabled\".",
              "Warning");
    chooseMode(*f, "WDS with AP");
}

// A device mode its own list does not offer is added under its name and left alone by Apply;
// the SSID is still written.
TEST_F(Wirless, UnlistedDeviceModeStaysAsRead)
{
    startDevice(
        {"--profile", profile("set apmodes 31\nset apmodestringchangeSupported 0\nset adAPMode 3\n")});
    auto f = openWireless();
    EXPECT_EQ(
        items(f->ED_APModeTempComboBox),
        (std::vector<std::string>{"Access Point", "PtP Bridge", "AP Repeater", "AP Client", "PtMP Bridge"}));
    EXPECT_EQ(f->ED_APModeTempComboBox->ItemIndex(), 4);
    EXPECT_EQ(f->ED_APModeComboBox->Text(), "PtMP Bridge");
    type(f->Ed_SSIDa, "office");
    apply(*f);
    EXPECT_EQ(requestsNaming("adAPMode", "set"), 0);
    EXPECT_EQ(setAt(1), "hSSID=\"office\" hSSIDBroadcast=1 hChannel=6");
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
}

// An authentication the list lacks is never replaced by "Open System": it is shown under its
// own name, the device keeps it, and the settings of its kind go out as for a listed one.
TEST_F(Wirless, UnlistedAuthenticationIsNotReplaced)
{
    startDevice({"--profile", "norogue", "--profile",
                 profile("set stFirmwareVersion \"v2.01.00\"\nset adSecAuthentication-a 6\n"
                         "set adSecPassPhrase \"kept-pass-phrase\"\n")});
    auto f = openWireless();
    EXPECT_EQ(f->Ed_SecAuthaTemp->Text(), "WPA2-Personal");
    EXPECT_EQ(f->Ed_SecAuthaTemp->ItemIndex(), 5);
    EXPECT_TRUE(f->GroupBox7->Visible());
    apply(*f);
    EXPECT_EQ(requestsNaming("adSecAuthentication-a", "set"), 0);
    EXPECT_EQ(setAt(6), "adSecEncryption-a=1");
    EXPECT_EQ(setAt(7),
              "adSecCipherType=1 adSecGroupKeyUpdateInterval=1800 adSecPassPhrase=\"kept-pass-phrase\"");
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
    EXPECT_EQ(f->Ed_SecAutha->Text(), "WPA2-Personal");
}

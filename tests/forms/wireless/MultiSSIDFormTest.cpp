// The older Multi-SSID form (master and three guest SSIDs) against the simulated device.
#include "ComboChoice.h"
#include "EventLoop.h"
#include "FormFixture.h"
#include "ProfileText.h"
#include "TFM_MultiSSIDForm.h"
#include "Waiting.h"
#include "WindowFit.h"

using namespace formtest;

namespace {

// Every guest has an SSID (an empty one is refused even for a guest that is off).
const std::string kNamedGuests = "set adMSSIDSSID.1.3 \"guest2\"\nset adMSSIDSSID.1.4 \"guest3\"\n";
// Guest 1 in use with a shared WEP key in the second slot.
const std::string kWepGuest1 =
    "set adMSSIDIdvState.1.2 1\nset adMSSIDEncryption.1.2 1\nset adMSSIDAuth.1.2 2\n"
    "set adMSSIDKeyIndex.1.2 2\nset adMSSIDKey.1.2 \"0a1b2c3d4e\"\n";

class MultiSSIDOld : public FormTest {
protected:
    FormHandle<TFM_MultiSSIDForm> open(const std::string &profile, std::vector<std::string> args = {})
    {
        args.insert(args.end(), {"--profile", writeProfile(profile)});
        startDevice(args);
        return openForm(FM_MultiSSIDForm);
    }
    // Apply, noting whether the restart countdown showed meanwhile.
    bool applyWithCountdown(TFM_MultiSSIDForm &f)
    {
        bool shown = false;
        kv::Timer poll;
        poll.onTimeout = [&] { shown = shown || FM_Waiting != nullptr; };
        poll.start(5);
        click(f.Bt_Apply);
        return shown;
    }
};

} // namespace

TEST_F(MultiSSIDOld, TheMenuOpensThisVariantWhichShowsWhatItRead)
{
    startDevice({"--profile", "mssidguests"}); // the older generation (no isolated security)
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    EXPECT_TRUE(openFromMenu<TFM_MultiSSIDForm>(menu.Ad_MultiSSID, [&](TFM_MultiSSIDForm &f) {
        EXPECT_EQ(f.Text(), "Advanced\\Multi-SSID");
        EXPECT_EQ(f.TabSheet1->Text(), "IEEE 802.11g");
        EXPECT_EQ(f.MasterSSIDEdit->Text(), "primary");
        EXPECT_FALSE(f.MasterSSIDEdit->Enabled());
        EXPECT_EQ(f.GroupIDBox->Text(), "10");
        EXPECT_TRUE(f.CheckBox1->Checked());
        EXPECT_TRUE(f.Guest1CheckBox->Checked());
        EXPECT_EQ(f.TempComboBox1->Text(), "Shared Key");
        EXPECT_EQ(f.GuestKey1->Text(), "second");
        EXPECT_EQ(f.GuestKeySize1->Text(), "64 Bits");
        EXPECT_TRUE(f.GuestKeyvalueEdit1->Enabled());
        EXPECT_TRUE(f.Guest2CheckBox->Checked());
        EXPECT_EQ(f.TempComboBox2->Text(), "WPA2-Personal"); // no choice here, kept as read
        EXPECT_FALSE(f.Guest3CheckBox->Checked());
        EXPECT_FALSE(f.GuestSSIDEdit3->Enabled());
    }));
    expectNoSet();
}

TEST_F(MultiSSIDOld, AnEnabledGuestWritesItsRowAfterTheAPModeAndTheCountdownSendsNoReboot)
{
    auto f = open(kNamedGuests);
    click(f->Guest1CheckBox);
    choose(f->TempComboBox1, "Shared Key");
    EXPECT_TRUE(f->GuestKeyvalueEdit1->Enabled());
    choose(f->GuestKey1, "third");
    type(f->GuestKeyvalueEdit1, "0123456789");
    EXPECT_TRUE(applyWithCountdown(*f)); // shown although the device saves deferred
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set Success!");
    expectSets({"adAPMode=1 adSuperMode.1=4", "adVlanState.0=0", "adMSSIDSSID.1.1=\"primary\"",
                "adMSSIDIdvState.1.2=1 adMSSIDSSID.1.2=\"guest1\" adMSSIDAuth.1.2=2 adMSSIDEncryption.1.2=1 "
                "adMSSIDKeyIndex.1.2=3 adMSSIDKey.1.2=\"0123456789\"",
                "adMSSIDIdvState.1.3=0", "adMSSIDIdvState.1.4=0"});
}

struct GuestColumns {
    bool vlan;
    std::vector<std::string> expected;
};

class MultiSSIDOldColumns : public MultiSSIDOld, public ::testing::WithParamInterface<GuestColumns> {};

// A guest switched to "None" sends no key, authentication or key index; VLAN off sends no tag.
TEST_P(MultiSSIDOldColumns, FollowTheGuestAndTheVlanState)
{
    auto f = open(kNamedGuests + kWepGuest1);
    if (f->CheckBox1->Checked() != GetParam().vlan)
        click(f->CheckBox1);
    choose(f->TempComboBox1, "None");
    EXPECT_FALSE(f->GuestKeyvalueEdit1->Enabled());
    click(f->Bt_Apply);
    expectSets(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Vlan, MultiSSIDOldColumns,
    ::testing::Values(
        GuestColumns{false,
                     {"adAPMode=1 adSuperMode.1=4", "adVlanState.0=0", "adMSSIDSSID.1.1=\"primary\"",
                      "adMSSIDIdvState.1.2=1 adMSSIDSSID.1.2=\"guest1\" adMSSIDEncryption.1.2=0",
                      "adMSSIDIdvState.1.3=0", "adMSSIDIdvState.1.4=0"}},
        GuestColumns{
            true,
            {"adAPMode=1 adSuperMode.1=4", "adVlanState.0=1", "adMSSIDSSID.1.1=\"primary\" adVlanTagID.1.1=1",
             "adMSSIDIdvState.1.2=1 adMSSIDSSID.1.2=\"guest1\" adMSSIDEncryption.1.2=0 "
             "adVlanTagID.1.2=1",
             "adMSSIDIdvState.1.3=0 adVlanTagID.1.3=1", "adMSSIDIdvState.1.4=0 adVlanTagID.1.4=1"}}));

// Guests secured in ways the list lacks (WPA, both WEP kinds at once) show their security as
// the device names it and keep it: their keys are neither checked nor sent, and the rest of the
// form is written. A pick from the list replaces it; picking it again keeps it again.
TEST_F(MultiSSIDOld, AGuestSecurityTheListLacksIsKeptAndTheRestIsWritten)
{
    auto f = open("", {"--profile", "guestsecurity"});
    EXPECT_EQ(f->TempComboBox1->Text(), "WPA-Auto-Enterprise");
    EXPECT_EQ(f->TempComboBox2->Text(), "Open System / Shared Key");
    EXPECT_EQ(f->TempComboBox3->Text(), "WPA-Auto-Personal");
    for (TComboBox *security : {f->TempComboBox1, f->TempComboBox2, f->TempComboBox3})
        kvtest::expectChoiceFits(security);
    for (TEdit *key : {f->GuestKeyvalueEdit1, f->GuestKeyvalueEdit2, f->GuestKeyvalueEdit3})
        EXPECT_FALSE(key->Enabled()) << key->Name();
    type(f->GuestSSIDEdit3, "lab2");
    choose(f->TempComboBox1, "None"); // guest 1 leaves WPA; the others keep theirs
    choose(f->TempComboBox3, "Shared Key");
    EXPECT_TRUE(f->GuestKeyvalueEdit3->Enabled());
    choose(f->TempComboBox3, "WPA-Auto-Personal");
    EXPECT_FALSE(f->GuestKeyvalueEdit3->Enabled());
    applyWithCountdown(*f);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set Success!");
    expectSets({"adAPMode=1 adSuperMode.1=4", "adVlanState.0=0", "adMSSIDSSID.1.1=\"primary\"",
                "adMSSIDIdvState.1.2=1 adMSSIDSSID.1.2=\"guest1\" adMSSIDEncryption.1.2=0",
                "adMSSIDIdvState.1.3=1 adMSSIDSSID.1.3=\"staff\"",
                "adMSSIDIdvState.1.4=1 adMSSIDSSID.1.4=\"lab2\""});

    choose(f->TempComboBox2, "Shared Key");
    EXPECT_TRUE(f->GuestKeyvalueEdit2->Enabled());
    type(f->GuestKeyvalueEdit2, "0a1b2c3d");
    expectBox("The Length of Guest SSID2's key in IEEE802.11g must be 10!", "Warning");
    click(f->Bt_Apply);
    EXPECT_EQ(sets().size(), 6u);
}

namespace {

struct KeptSecurity {
    const char *what;
    TComboBox *TFM_MultiSSIDForm::*security;
    const char *device;          // the security the device holds, which the list lacks
    const char *fault = nullptr; // a later write refused
    bool offered = false;        // the list still offers it afterwards (its guest was not written)
};

void PrintTo(const KeptSecurity &c, std::ostream *out)
{
    *out << c.what;
}

class MultiSSIDOldKept : public MultiSSIDOld, public ::testing::WithParamInterface<KeptSecurity> {};

} // namespace

// Once another security is written for the guest, the device no longer holds the kept one and
// the list stops offering it (chosen again, it would be left out under a success text), also
// when a later write fails; a guest not written keeps offering it.
TEST_P(MultiSSIDOldKept, GoesFromTheListOnceAnotherIsWritten)
{
    const KeptSecurity &c = GetParam();
    std::vector<std::string> args = {"--profile", "guestsecurity"};
    if (c.fault != nullptr)
        args.insert(args.end(), {"--fault", c.fault});
    auto f = open("", args);
    TComboBox *security = (*f).*c.security;
    EXPECT_EQ(security->Text(), c.device);
    choose(security, "None");
    applyWithCountdown(*f);
    const std::string status = f->StatusBar1->SimpleText();
    if (c.fault == nullptr)
        EXPECT_EQ(status, "Set Success!");
    else
        EXPECT_EQ(status.rfind("Set Error.", 0), 0u) << status;
    EXPECT_EQ(security->Items()->IndexOf(c.device) >= 0, c.offered);
}

INSTANTIATE_TEST_SUITE_P(
    Guests, MultiSSIDOldKept,
    ::testing::Values(KeptSecurity{"guest1", &TFM_MultiSSIDForm::TempComboBox1, "WPA-Auto-Enterprise"},
                      KeptSecurity{"guest2", &TFM_MultiSSIDForm::TempComboBox2, "Open System / Shared Key"},
                      KeptSecurity{"guest3", &TFM_MultiSSIDForm::TempComboBox3, "WPA-Auto-Personal"},
                      KeptSecurity{"guest1WrittenThenARefusal", &TFM_MultiSSIDForm::TempComboBox1,
                                   "WPA-Auto-Enterprise", "adMSSIDIdvState.1.3=error:genErr@set", false},
                      KeptSecurity{"guest1NotWritten", &TFM_MultiSSIDForm::TempComboBox1,
                                   "WPA-Auto-Enterprise", "adVlanState.0=error:genErr@set", true}),
    [](const ::testing::TestParamInfo<KeptSecurity> &p) { return std::string(p.param.what); });

struct RefusedApply {
    std::string profile;
    std::string text;
    std::string caption;
    std::string typedSSID3 = ""; // typed into guest 3's SSID edit when not empty
};

class MultiSSIDOldRefused : public MultiSSIDOld, public ::testing::WithParamInterface<RefusedApply> {};

TEST_P(MultiSSIDOldRefused, SendsNothing)
{
    auto f = open(GetParam().profile);
    if (!GetParam().typedSSID3.empty())
        type(f->GuestSSIDEdit3, GetParam().typedSSID3);
    expectBox(GetParam().text, GetParam().caption);
    click(f->Bt_Apply);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Checks, MultiSSIDOldRefused,
    ::testing::Values(
        // Guest 2 is off and has no SSID.
        RefusedApply{"", "Please Input SSID in Guest SSID2.", "Warning"},
        RefusedApply{kNamedGuests, "The Max Length of Guest SSID3's SSID is 32.!", "Warning",
                     std::string(33, 'g')},
        RefusedApply{kNamedGuests + "set adMSSIDSSID.1.2 \" guest1\"\n",
                     "The first character can't be blank in Guest SSID1.", "Error"},
        RefusedApply{kNamedGuests + kWepGuest1 +
                         "set adMSSIDIdvState.1.4 1\nset adMSSIDEncryption.1.4 1\nset adMSSIDKeyIndex.1.4 2\n"
                         "set adMSSIDKey.1.4 \"0a1b2c3d4e\"\n",
                     "The 11g Guest SSID1's key index is same as Guest SSID3", "Warning"},
        RefusedApply{kNamedGuests + kWepGuest1 + "set adMSSIDEncryption.1.1 1\nset adMSSIDKeyIndex.1.1 2\n",
                     "The 11g Guest SSID1's key index is same as master SSID", "Warning"},
        RefusedApply{kNamedGuests + kWepGuest1 +
                         "set adMSSIDIdvState.1.4 1\nset adMSSIDSSID.1.4 \"guest1\"\n",
                     "The 11g Guest SSID1's SSID is same as SSID3's SSID", "Warning"},
        RefusedApply{kNamedGuests + kWepGuest1 + "set adMSSIDKey.1.2 \"0a1b2c3d4\"\n",
                     "The Length of Guest SSID1's key in IEEE802.11g must be 10!", "Warning"}));

TEST_F(MultiSSIDOld, AnEmptyMasterGroupIDIsRefused)
{
    auto f = open(kNamedGuests);
    type(f->GroupIDBox, "");
    expectBox("The 11g master SSID's ID is invalid.The range of ID is 1 to 4095.", "Warning");
    click(f->Bt_Apply);
    expectNoSet();
}

TEST_F(MultiSSIDOld, AMasterRowThatCouldNotBeReadIsNotWritten)
{
    auto f = open(kNamedGuests, {"--fault", "adMSSIDSSID.1.1=error:genErr@get"});
    EXPECT_FALSE(f->MasterBinding->WasRead());
    const std::string opened = f->StatusBar1->SimpleText();
    EXPECT_EQ(opened.substr(opened.find(" Not read:")), " Not read: Master SSID.");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set Success! Not read, so not written: Master SSID.");
    expectSets(
        {"adVlanState.0=0", "adMSSIDIdvState.1.2=0", "adMSSIDIdvState.1.3=0", "adMSSIDIdvState.1.4=0"});
}

struct FailedWrite {
    const char *name;
    std::string profile;
    const char *fault;
    std::vector<std::string> expected; // the last one refused, nothing after it
    std::string status;
    bool modeKept = false; // the AP mode and Super G lists show what they showed before
};

class MultiSSIDOldFailedWrite : public MultiSSIDOld, public ::testing::WithParamInterface<FailedWrite> {};

TEST_P(MultiSSIDOldFailedWrite, EndsTheSequenceWithoutCountdown)
{
    // Time-outs 20 times shorter: a write left unanswered ends in a second or so.
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    auto f = open(GetParam().profile, {"--fault", GetParam().fault});
    const std::string mode = f->AP_ModeComboBox->Text(), super = f->Supermode_ComboBox->Text();
    EXPECT_FALSE(applyWithCountdown(*f));
    EXPECT_EQ(f->StatusBar1->SimpleText(), GetParam().status);
    expectSets(GetParam().expected);
    if (GetParam().modeKept) {
        EXPECT_EQ(f->AP_ModeComboBox->Text(), mode);
        EXPECT_EQ(f->Supermode_ComboBox->Text(), super);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MultiSSIDOldFailedWrite,
    ::testing::Values(
        FailedWrite{"Master",
                    kNamedGuests,
                    "adMSSIDSSID.1.1=error:genErr@set",
                    {"adVlanState.0=0", "adMSSIDSSID.1.1=\"primary\" (genErr)"},
                    "Set Error. Not written: Master SSID. Written before it: VLAN State."},
        FailedWrite{
            "Guest2",
            kNamedGuests,
            "adMSSIDIdvState.1.3=error:genErr@set",
            {"adVlanState.0=0", "adMSSIDSSID.1.1=\"primary\"", "adMSSIDIdvState.1.2=0",
             "adMSSIDIdvState.1.3=0 (genErr)"},
            "Set Error. Not written: Guest SSID2. Written before it: VLAN State, Master SSID, Guest SSID1."},
        // Not a refusal: the device may still take it.
        FailedWrite{
            "Guest2Unanswered",
            kNamedGuests,
            "adMSSIDIdvState.1.3=drop@set",
            {"adVlanState.0=0", "adMSSIDSSID.1.1=\"primary\"", "adMSSIDIdvState.1.2=0",
             "adMSSIDIdvState.1.3=0 (genErr)", "adMSSIDIdvState.1.3=0 (genErr)"}, // and its one retry
            "Set Error. The device did not answer; it may still take the setting. Not answered: Guest "
            "SSID2. Written before it: VLAN State, Master SSID, Guest SSID1."},
        // The AP mode a guest in use needs: nothing is written without it.
        FailedWrite{"APMode",
                    kNamedGuests + kWepGuest1 + "set adAPMode 2\n",
                    "adAPMode=error:genErr@set",
                    {"adAPMode=1 adSuperMode.1=4 (genErr)"},
                    "Set Error. Not written: AP Mode and Super G.",
                    true},
        // The bridge was switched to an access point for the VLAN, which did not come.
        FailedWrite{"VlanAfterAPMode",
                    kNamedGuests + kWepGuest1 + "set adAPMode 2\n",
                    "adVlanState=error:genErr@set",
                    {"adAPMode=1 adSuperMode.1=4", "adVlanState.0=0 (genErr)", "adAPMode=2 adSuperMode.1=4"},
                    "Set Error. Not written: VLAN State. Written before it: AP Mode and Super G. Put back as "
                    "before: AP Mode and Super G.",
                    true},
        // An access point with Super G on: Super G alone was switched off, and goes on again.
        FailedWrite{"VlanAfterSuperG",
                    kNamedGuests + kWepGuest1 + "set adSuperMode 2\n",
                    "adVlanState=error:genErr@set",
                    {"adAPMode=1 adSuperMode.1=4", "adVlanState.0=0 (genErr)", "adAPMode=1 adSuperMode.1=2"},
                    "Set Error. Not written: VLAN State. Written before it: AP Mode and Super G. Put back as "
                    "before: AP Mode and Super G.",
                    true}),
    [](const ::testing::TestParamInfo<FailedWrite> &p) { return std::string(p.param.name); });

TEST_F(MultiSSIDOld, Layout)
{
    auto f = open(kNamedGuests + kWepGuest1);
    checkLayout(f.get(), "TFM_MultiSSIDForm");
}

// The Miscellaneous form against the simulated device: the console's on/off objects, one per
// protocol, written off first and then the chosen one on.
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "TFM_Misc.h"
#include "TestEnv.h"

using namespace formtest;

namespace {

class Misc : public FormTest {};

} // namespace

TEST_F(Misc, OpensFromTheMenuAndShowsTheConsole)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.tools2->Click();
    EXPECT_TRUE(menu.tMisc1->Enabled());
    bool on = false, telnet = false, sshShown = false;
    std::string caption, timeout;
    EXPECT_TRUE(openFromMenu<TFM_Misc>(menu.tMisc1, [&](TFM_Misc &f) {
        caption = f.Text();
        on = f.CB_Status->Checked();
        telnet = f.CB_Telnet->Checked();
        sshShown = f.CB_SSH->Visible();
        timeout = f.CB_Timeout->Text();
    }));
    EXPECT_EQ(caption, "Tools \\ Misc.");
    EXPECT_TRUE(on);
    EXPECT_TRUE(telnet);
    EXPECT_TRUE(sshShown);
    EXPECT_EQ(timeout, "3 Mins");
    expectNoSet();
}

TEST_F(Misc, EnablingWithSSHWritesBothOffThenSSHOn)
{
    startDevice({"--profile", writeProfile("set telnet 0\n")});
    auto form = openForm(FM_Misc);
    EXPECT_FALSE(form->CB_Status->Checked());
    EXPECT_FALSE(form->CB_SSH->Enabled());
    click(form->CB_Status);
    EXPECT_TRUE(form->CB_SSH->Enabled());
    form->CB_SSH->SetChecked(true);
    CountdownsSeen watch;
    click(form->Bt_Apply);
    expectSets({"telnet=0", "ssh=0", "telnet=0 timeout=2", "ssh=1"});
    EXPECT_EQ(watch.seen().size(), 1u); // shown after every successful Apply
    EXPECT_EQ(form->StatusBar->SimpleText(), "Setting Success!");
}

TEST_F(Misc, ConsoleOffWritesBothOffOnce)
{
    startDevice({"--profile", "nodeferred"});
    auto form = openForm(FM_Misc);
    click(form->CB_Status);
    EXPECT_FALSE(form->CB_Timeout->Enabled());
    CountdownsSeen watch;
    click(form->Bt_Apply);
    EXPECT_EQ(watch.seen().size(), 1u);
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 3; }, kWaitMs));
    expectSets({"telnet=0 timeout=2", "ssh=0", "upgradesettingcommand=4"});
}

TEST_F(Misc, BothOnShowsTelnet)
{
    startDevice({"--profile", writeProfile("set ssh 1\n")});
    auto form = openForm(FM_Misc);
    EXPECT_TRUE(form->CB_Telnet->Checked());
    EXPECT_FALSE(form->CB_SSH->Checked());
}

TEST_F(Misc, WithoutSSHOnlyTheConsoleGroupIsWritten)
{
    startDevice({"--profile", "nossh"});
    auto form = openForm(FM_Misc);
    EXPECT_FALSE(form->CB_SSH->Visible());
    form->CB_Timeout->SetItemIndex(5);
    click(form->Bt_Apply);
    // The protocol stays: no switching off first.
    expectSets({"telnet=1 timeout=5"});
}

// The SSH object the device lacks is no console: Telnet stays off.
TEST_F(Misc, WithoutSSHAndTelnetOffAnUnchangedApplyKeepsTheConsoleOff)
{
    startDevice({"--profile", "nossh", "--profile", writeProfile("set telnet 0\n")});
    auto form = openForm(FM_Misc);
    EXPECT_FALSE(form->CB_Status->Checked());
    EXPECT_FALSE(form->CB_Timeout->Enabled());
    click(form->Bt_Apply);
    expectSets({"telnet=0 timeout=2"});
}

// A switch the device refuses puts back the protocol it had: the console is never left off.
TEST_F(Misc, FailedSwitchOffAsksForAResetAndKeepsTheConsole)
{
    startDevice({"--fault", "ssh=error:genErr@set"});
    auto form = openForm(FM_Misc);
    form->CB_SSH->SetChecked(true);
    expectBox("Set error!Please reset.", "Warning");
    click(form->Bt_Apply);
    expectSets({"telnet=0", "ssh=0 (genErr)", "telnet=1", "ssh=0 (genErr)"});
    // Telnet was switched off and is on again; the SSH the device refused to touch is not named.
    EXPECT_EQ(form->StatusBar->SimpleText(), "Setting Error! Not written: Console Settings. Put back as "
                                             "before: Console Settings.");
    // With the protocol kept, nothing is switched off first.
    form->CB_Telnet->SetChecked(true);
    form->CB_Timeout->SetItemIndex(5);
    click(form->Bt_Apply);
    EXPECT_EQ(form->StatusBar->SimpleText(),
              "Setting Error! Not written: SSH. Written before it: Console Settings.");
    const std::vector<std::string> written = sets();
    ASSERT_EQ(written.size(), 6u);
    EXPECT_EQ(written[4], "telnet=1 timeout=5");
}

// The time-out goes with the chosen protocol only: refused there, the protocol the device had
// goes back on with the time-out it had. A write the device left unanswered is told so.
namespace {

class MiscRefusedSwitch : public Misc, public ::testing::WithParamInterface<FaultRow> {};

} // namespace

TEST_P(MiscRefusedSwitch, LeavesNoNewTimeOut)
{
    startDevice({"--profile", writeProfile("set telnet 0\nset ssh 1\n"), "--fault", GetParam().fault});
    auto form = openForm(FM_Misc);
    ASSERT_TRUE(form->CB_SSH->Checked());
    form->CB_Telnet->SetChecked(true);
    form->CB_Timeout->SetItemIndex(5);
    click(form->Bt_Apply);
    EXPECT_EQ(form->StatusBar->SimpleText(), GetParam().status);
    expectSets(GetParam().sets);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MiscRefusedSwitch,
    ::testing::Values(FaultRow{"refused",
                               "timeout=error:genErr@set",
                               {"telnet=0", "ssh=0", "telnet=1 timeout=5 (genErr)", "telnet=0", "ssh=1"},
                               "Setting Error! Not written: Console Settings. Put back as before: SSH."},
                      FaultRow{"unanswered",
                               "timeout=drop@set",
                               {"telnet=0", "ssh=0", "telnet=1 timeout=5 (genErr)",
                                "telnet=1 timeout=5 (genErr)", "telnet=0", "ssh=1"},
                               "Setting Error! The device did not answer; it may still take the setting. "
                               "Not answered: Console Settings. Put back as before: SSH."}),
    CaseName());

// A switch-off left unanswered, and its put-back too: SSH may be off, and the text says so.
TEST_F(Misc, SSHNotPutBackIsNamed)
{
    startDevice({"--profile", writeProfile("set telnet 0\nset ssh 1\n"), "--fault", "ssh=drop@set"});
    auto form = openForm(FM_Misc);
    form->CB_Telnet->SetChecked(true);
    expectBox("Set error!Please reset.", "Warning");
    click(form->Bt_Apply);
    EXPECT_EQ(form->StatusBar->SimpleText(),
              "Setting Error! The device did not answer; it may still take the "
              "setting. Not answered: Console Settings. Not put back: SSH.");
    expectSets(
        {"telnet=0", "ssh=0 (genErr)", "ssh=0 (genErr)", "telnet=0", "ssh=1 (genErr)", "ssh=1 (genErr)"});
}

// Console values not read would go out as "console off": nothing is written, and they are named.
TEST_F(Misc, UnreadConsoleSendsNothing)
{
    startDevice({"--fault", "telnet=error:genErr@get"});
    auto form = openForm(FM_Misc);
    EXPECT_TRUE(form->CB_Status->Neither());
    EXPECT_FALSE(form->CB_Telnet->Enabled());
    click(form->Bt_Apply);
    EXPECT_EQ(form->StatusBar->SimpleText(), "Not read, so not written: Console Settings.");
    expectNoSet();
}

// An SSH whose answer was lost may be there: the opening says so, and Apply writes the console
// alone and names it.
TEST_F(Misc, LostSSHIsNamedAndNotWritten)
{
    startDevice({"--fault", "ssh=drop@get"});
    auto form = openForm(FM_Misc);
    const std::string opened = form->StatusBar->SimpleText();
    EXPECT_NE(opened.find("(SNMPClass)"), std::string::npos) << opened;
    EXPECT_EQ(opened.substr(opened.find(" Not read:") + 1), "Not read: SSH.") << opened;
    click(form->Bt_Apply);
    EXPECT_EQ(form->StatusBar->SimpleText(), "Setting Success! Not read, so not written: SSH.");
    expectSets({"telnet=1 timeout=2"});
}

TEST_F(Misc, Layout)
{
    startDevice();
    auto form = openForm(FM_Misc);
    checkLayout(form.get(), "TFM_Misc");
}

// The administrator settings form with single manager addresses against the simulated device.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "TFM_Admin2.h"

using namespace formtest;

namespace {

// Long enough for a loaded machine; a passing wait ends as soon as its condition holds.
constexpr int kWait = 10000;

class Admin2 : public FormTest {
protected:
    FormHandle<TFM_Admin2> open(std::vector<std::string> args = {})
    {
        args.insert(args.begin(), {"--profile", "admin2"});
        startDevice(args);
        auto f = openForm(FM_Admin2);
        // The limit state is read asynchronously.
        EXPECT_TRUE(pumpUntil([&] { return f->LimitReq && f->LimitReq->WasRead(); }, kWait));
        return f;
    }
};

const char *const kLogin = R"(UserName="admin" Password="password")";

} // namespace

TEST_F(Admin2, OpensFromTheMenuAndShowsEveryGroupTheDeviceAnswered)
{
    startDevice({"--profile", "admin2"});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.tools2->Click();
    EXPECT_TRUE(openFromMenu<TFM_Admin2>(menu.tAdmin2, [&](TFM_Admin2 &f) {
        EXPECT_EQ(f.Text(), "Tools \\ Administrator Settings");
        EXPECT_EQ(f.Ed_Usr->Text(), "admin");
        EXPECT_EQ(f.Ed_OPwd->Text(), "password"); // pre-filled with the device's password
        EXPECT_TRUE(f.RB_Telnet->Checked());
        EXPECT_TRUE(f.RB_SHH->Visible());
        EXPECT_EQ(f.CB_Timeout->Text(), "3 Mins");
        EXPECT_TRUE(f.GB_Led->Visible() && f.CB_Led->Checked());
        EXPECT_TRUE(f.GroupBox5->Visible());
        EXPECT_TRUE(f.RG_PingSet->Visible());
        EXPECT_EQ(f.RG_PingSet->ItemIndex(), 1);
        EXPECT_LT(f.GroupBox5->Top(), f.GroupBox1->Top());
    }));
    expectNoSet();
}

// The console protocol stays as it is: nothing switches it off first.
TEST_F(Admin2, UnchangedApplyWritesTheGroupsInOrder)
{
    auto f = open();
    click(f->OK);
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == "Set OK!"; }, kWait));
    expectSets({kLogin, "admlimitIPStatus=0", "admLedStatus=1", "telnet=1 timeout=2", "ssh=0",
                "pingcontrol=1", "admManagerVLANIDStatus=0", "admManagerVLANID=1"});
}

TEST_F(Admin2, NoneWritesTelnetAloneWithoutPreStep)
{
    auto f = open({"--profile", "adminlite"});
    f->RB_None->SetChecked(true);
    EXPECT_FALSE(f->CB_Timeout->Enabled());
    click(f->OK);
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == "Set OK!"; }, kWait));
    expectSets({kLogin, "admlimitIPStatus=0", "telnet=0"});
}

// The answer to the limit write is awaited before "Set OK!"; its failure stops the sequence.
TEST_F(Admin2, LimitWriteIsAwaited)
{
    auto f = open({"--fault", "admlimitIPStatus=delay:300@set"});
    click(f->OK);
    const auto ledWritten = [&] {
        const std::vector<std::string> s = sets();
        return std::find(s.begin(), s.end(), "admLedStatus=1") != s.end();
    };
    EXPECT_FALSE(ledWritten()); // nothing after the limit before its answer
    EXPECT_NE(f->StatusBar->SimpleText(), "Set OK!");
    EXPECT_FALSE(canClose(*f));
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == "Set OK!"; }, kWait));
    EXPECT_TRUE(canClose(*f));
    EXPECT_TRUE(ledWritten());
    ASSERT_FALSE(sets().empty());
    EXPECT_EQ(sets().back(), "admManagerVLANID=1");
}

TEST_F(Admin2, LimitWriteFaultShowsSettingError)
{
    auto f = open({"--fault", "admlimitIPStatus=error:genErr@set"});
    click(f->OK);
    EXPECT_TRUE(pumpUntil(
        [&] {
            return f->StatusBar->SimpleText() ==
                   "Setting Error! Not written: Limit Administrator IP. Written before it: Login.";
        },
        kWait))
        << f->StatusBar->SimpleText();
    pump(100);
    expectSets({kLogin, "admlimitIPStatus=0 (genErr)"});
}

TEST_F(Admin2, RemovedGroupsAreHiddenAndNeverWritten)
{
    auto f = open({"--profile", "adminlite"});
    EXPECT_FALSE(f->RB_SHH->Visible());
    EXPECT_FALSE(f->GB_Led->Visible());
    EXPECT_FALSE(f->GroupBox5->Visible());
    EXPECT_FALSE(f->RG_PingSet->Visible());
    EXPECT_EQ(f->GroupBox1->Top(), f->GroupBox2->Top() + f->GroupBox2->Height() + 6); // no gap
    click(f->OK);
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == "Set OK!"; }, kWait));
    expectSets({kLogin, "admlimitIPStatus=0", "telnet=1 timeout=2"});
}

TEST_F(Admin2, LimitedAdministrationWritesBothAddressesAndEmptiesTheUnusedOne)
{
    auto f = open({"--profile", "adminlite"});
    click(f->CkBx_ManagerState);
    EXPECT_TRUE(f->Ed_IP1->Enabled());
    type(f->Ed_IP1, "192.168.1.7");
    click(f->OK);
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == "Set OK!"; }, kWait));
    expectSets({kLogin, "admlimitIPStatus=1", "admManagerIP.1=192.168.1.7 admManagerIP.2=0.0.0.0",
                "telnet=1 timeout=2"});
    EXPECT_EQ(f->Ed_IP2->Text(), "");
}

namespace {

struct Refusal {
    std::function<void(TFM_Admin2 &)> input;
    std::string message, caption;
};

class Admin2Refused : public Admin2, public ::testing::WithParamInterface<Refusal> {};

} // namespace

TEST_P(Admin2Refused, ShowsItsMessageAndWritesNothing)
{
    auto f = open({"--profile", "adminlite"});
    GetParam().input(*f);
    expectBox(GetParam().message, GetParam().caption);
    click(f->OK);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Checks, Admin2Refused,
    ::testing::Values(Refusal{[](TFM_Admin2 &f) { f.CkBx_ManagerState->SetChecked(true); },
                              "You at least must input one IP address!", "Warning"},
                      Refusal{[](TFM_Admin2 &f) {
                                  f.CkBx_ManagerState->SetChecked(true);
                                  f.Ed_IP2->SetText("192.168.1.255");
                              },
                              "Invalid IP address!", "Warning"},
                      Refusal{[](TFM_Admin2 &f) { f.Ed_OPwd->SetText("x"); },
                              "Please input the current password correctly!", "Warning"},
                      Refusal{[](TFM_Admin2 &f) { f.Ed_Usr->SetText("a b"); }, "Invaild UserName!",
                              "Warning"},
                      Refusal{[](TFM_Admin2 &f) { f.Ed_CNP->SetText("other"); },
                              "Please input the confirm new password correctly!", "Warning"}));

// One manager address typed, the other left empty: a refusal leaves the empty one empty, and
// the Apply after it goes through.
namespace {

struct LaterRefusal {
    const char *what;
    std::function<void(TFM_Admin2 &)> input, undo;
    std::string message;
};

class Admin2RefusalKeepsEdits : public Admin2, public ::testing::WithParamInterface<LaterRefusal> {};

} // namespace

TEST_P(Admin2RefusalKeepsEdits, AndTheNextApplyGoesThrough)
{
    auto f = open();
    click(f->CkBx_ManagerState);
    type(f->Ed_IP1, "192.168.1.7");
    GetParam().input(*f);
    expectBox(GetParam().message, "Warning");
    click(f->OK);
    EXPECT_EQ(f->Ed_IP1->Text(), "192.168.1.7");
    EXPECT_EQ(f->Ed_IP2->Text(), "");
    expectNoSet();
    GetParam().undo(*f);
    click(f->OK);
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == "Set OK!"; }, kWait));
    const std::vector<std::string> s = sets();
    EXPECT_NE(std::find(s.begin(), s.end(), "admManagerIP.1=192.168.1.7 admManagerIP.2=0.0.0.0"), s.end());
    EXPECT_EQ(f->Ed_IP2->Text(), "");
}

INSTANTIATE_TEST_SUITE_P(Refusals, Admin2RefusalKeepsEdits,
                         ::testing::Values(LaterRefusal{"wrong old password",
                                                        [](TFM_Admin2 &f) { f.Ed_OPwd->SetText("x"); },
                                                        [](TFM_Admin2 &f) { f.Ed_OPwd->SetText("password"); },
                                                        "Please input the current password correctly!"},
                                           LaterRefusal{"VLAN limit while VLANs are off",
                                                        [](TFM_Admin2 &f) { f.CB_VID->SetChecked(true); },
                                                        [](TFM_Admin2 &) {}, // the refusal unchecked it
                                                        "Please enable Multi-SSID and VLAN first!"}),
                         CaseName());

TEST_F(Admin2, ManagerVlanChecks)
{
    auto f = open();
    ASSERT_TRUE(f->ManagerVlanSupported);
    for (const char *bad : {"4095", "0", "abc"}) {
        type(f->Ed_VID, bad);
        expectBox("Please input a number between 0 and 4095.", "Error");
        click(f->OK);
    }
    type(f->Ed_VID, "4094");
    click(f->CB_VID); // VLANs are off on the device
    expectBox("Please enable Multi-SSID and VLAN first!", "Warning");
    click(f->OK);
    EXPECT_FALSE(f->CB_VID->Checked());
    EXPECT_FALSE(f->Ed_VID->Enabled());
    expectNoSet();
}

// A group whose read the device left unanswered is neither checked nor written: an Apply
// after it writes the rest and names it, and the console's pre-step does not run without the
// console read.
namespace {

class Admin2Unread : public Admin2, public ::testing::WithParamInterface<FaultRow> {};

} // namespace

TEST_P(Admin2Unread, TheRestIsWrittenAndItIsNamed)
{
    auto f = open({"--fault", GetParam().fault});
    click(f->OK);
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == GetParam().status; }, kWait))
        << f->StatusBar->SimpleText();
    expectSets(GetParam().sets);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, Admin2Unread,
    ::testing::Values(FaultRow{"Login",
                               "UserName=drop@get",
                               {"admlimitIPStatus=0", "admLedStatus=1", "telnet=1 timeout=2", "ssh=0",
                                "pingcontrol=1", "admManagerVLANIDStatus=0", "admManagerVLANID=1"},
                               "Set OK! Not read, so not written: Login."},
                      FaultRow{"Console",
                               "telnet=drop@get",
                               {kLogin, "admlimitIPStatus=0", "admLedStatus=1", "pingcontrol=1",
                                "admManagerVLANIDStatus=0", "admManagerVLANID=1"},
                               "Set OK! Not read, so not written: Console."},
                      // Optional: lost, it may be there all the same.
                      FaultRow{"LED lost",
                               "admLedStatus=drop@get",
                               {kLogin, "admlimitIPStatus=0", "telnet=1 timeout=2", "ssh=0", "pingcontrol=1",
                                "admManagerVLANIDStatus=0", "admManagerVLANID=1"},
                               "Set OK! Not read, so not written: LED Setting."}),
    CaseName());

// A device whose console runs SSH (configured): a refused write never leaves it switched
// off. The console changes only when the user changed it, its switch-off written right before
// the chosen protocol goes on, and a refused switch puts SSH back on.
namespace {

const char *const kConfiguredLogin = R"(UserName="operator" Password="s3cret")";
const std::vector<std::string> kBeforeConsole = {kConfiguredLogin, "admlimitIPStatus=1", "admLedStatus=0",
                                                 "admManagerIP.1=127.0.0.1 admManagerIP.2=127.0.0.2"};

struct ConsoleCase {
    const char *what;
    const char *fault; // null: none
    bool chooseTelnet;
    std::vector<std::string> sets;
    const char *status;
};

std::vector<std::string> BeforeConsoleAnd(std::vector<std::string> more)
{
    std::vector<std::string> all = kBeforeConsole;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

void PrintTo(const ConsoleCase &c, std::ostream *out)
{
    *out << c.what;
}

class Admin2Console : public Admin2, public ::testing::WithParamInterface<ConsoleCase> {};

} // namespace

TEST_P(Admin2Console, IsNeverLeftOff)
{
    const ConsoleCase &c = GetParam();
    std::vector<std::string> args = {"--profile", "configured"};
    if (c.fault)
        args.insert(args.end(), {"--fault", c.fault});
    auto f = open(args);
    ASSERT_TRUE(f->RB_SHH->Checked());
    if (c.chooseTelnet)
        f->RB_Telnet->SetChecked(true);
    click(f->OK);
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == c.status; }, kWait))
        << f->StatusBar->SimpleText();
    pump(100);
    expectSets(c.sets);
    EXPECT_EQ(f->RB_Telnet->Checked(), c.chooseTelnet); // the form as the user left it
}

INSTANTIATE_TEST_SUITE_P(
    Writes, Admin2Console,
    ::testing::Values(
        ConsoleCase{
            "LED refused",
            "admLedStatus=error:genErr@set",
            false,
            {kConfiguredLogin, "admlimitIPStatus=1", "admLedStatus=0 (genErr)"},
            "Setting Error! Not written: LED Setting. Written before it: Login, Limit Administrator IP."},
        ConsoleCase{
            "LED unanswered",
            "admLedStatus=drop@set",
            false,
            {kConfiguredLogin, "admlimitIPStatus=1", "admLedStatus=0 (genErr)", "admLedStatus=0 (genErr)"},
            "Setting Error! The device did not answer; it may still take the setting. Not answered: LED "
            "Setting. Written before it: Login, Limit Administrator IP."},
        ConsoleCase{"user name refused",
                    "UserName=error:genErr@set",
                    false,
                    {std::string(kConfiguredLogin) + " (genErr)"},
                    "Setting Error! Not written: Login."},
        ConsoleCase{"limit state refused",
                    "admlimitIPStatus=error:genErr@set",
                    false,
                    {kConfiguredLogin, "admlimitIPStatus=1 (genErr)"},
                    "Setting Error! Not written: Limit Administrator IP. Written before it: Login."},
        ConsoleCase{"limit state unanswered",
                    "admlimitIPStatus=drop@set",
                    false,
                    {kConfiguredLogin, "admlimitIPStatus=1 (genErr)", "admlimitIPStatus=1 (genErr)"},
                    "Setting Error! The device did not answer; it may still take the setting. Not answered: "
                    "Limit Administrator IP. Written before it: Login."},
        ConsoleCase{"Telnet chosen", nullptr, true,
                    BeforeConsoleAnd({"telnet=0", "ssh=0", "telnet=1 timeout=5", "ssh=0", "pingcontrol=0",
                                      "admManagerVLANIDStatus=1", "admManagerVLANID=5"}),
                    "Set OK!"},
        ConsoleCase{"Telnet chosen and refused", "telnet=error:genErr@set", true,
                    BeforeConsoleAnd({"telnet=0 (genErr)", "ssh=0", "telnet=0 (genErr)", "ssh=1"}),
                    "Setting Error! Not written: Console. Written before it: Login, Limit Administrator IP, "
                    "LED Setting, Limit Administrator IP 1 and 2. Put back as before: SSH."},
        ConsoleCase{"switch-off unanswered", "telnet=drop@set", true,
                    BeforeConsoleAnd({"telnet=0 (genErr)", "telnet=0 (genErr)", "ssh=0", "telnet=0 (genErr)",
                                      "telnet=0 (genErr)", "ssh=1"}),
                    "Setting Error! The device did not answer; it may still take the setting. Not answered: "
                    "Console. Written before it: Login, Limit Administrator IP, LED Setting, Limit "
                    "Administrator IP 1 and 2. Put back as before: SSH."},
        // Both off went through, the chosen protocol's "on" was refused: SSH goes back on.
        ConsoleCase{
            "Telnet's switch on refused", "timeout=error:genErr@set", true,
            BeforeConsoleAnd({"telnet=0", "ssh=0", "telnet=1 timeout=5 (genErr)", "telnet=0", "ssh=1"}),
            "Setting Error! Not written: Console. Written before it: Login, Limit Administrator IP, LED "
            "Setting, Limit "
            "Administrator IP 1 and 2. Put back as before: SSH."},
        ConsoleCase{
            "ping refused after the switch", "pingcontrol=error:genErr@set", true,
            BeforeConsoleAnd({"telnet=0", "ssh=0", "telnet=1 timeout=5", "ssh=0", "pingcontrol=0 (genErr)"}),
            "Setting Error! Not written: Ping Control Setting. Written before it: Login, Limit Administrator "
            "IP, LED Setting, Limit "
            "Administrator IP 1 "
            "and 2, Console, SSH."}),
    CaseName());

TEST_F(Admin2, Layout)
{
    auto f = open();
    checkLayout(f.get(), "TFM_Admin2");
}

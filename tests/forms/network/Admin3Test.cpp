// The administrator settings form with manager address ranges against the simulated device.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "TFM_Admin3.h"
#include "TestEnv.h"

#include <algorithm>

using namespace formtest;

namespace {

// Long enough for a loaded machine; a passing wait ends as soon as its condition holds.
constexpr int kWait = 10000;

class Admin3 : public FormTest {
protected:
    FormHandle<TFM_Admin3> open(std::vector<std::string> args = {})
    {
        args.insert(args.begin(), {"--profile", "admin3"});
        startDevice(args);
        auto f = openForm(FM_Admin3);
        EXPECT_TRUE(listsRead(*f));
        return f;
    }
    // The status once the Apply's writes have ended: a wrong text fails then, not at the bound.
    static std::string applied(TFM_Admin3 &f)
    {
        EXPECT_TRUE(pumpUntil([&] { return canClose(f); }, kWait));
        return f.StatusBar->SimpleText();
    }
    static bool listsRead(TFM_Admin3 &f)
    {
        return pumpUntil(
            [&] { return f.LimitReq->WasRead() && f.RangeTableBinding->WasRead() && f.RangeWalk->WasRead(); },
            kWait);
    }
    static std::vector<std::string> listed(TFM_Admin3 &f)
    {
        std::vector<std::string> rows;
        TListItems *items = f.ListView_User->Items();
        for (int i = 0; i < items->Count(); ++i)
            rows.push_back(items->Item(i)->Caption() + " " + items->Item(i)->SubItems()->Strings(0) + "-" +
                           items->Item(i)->SubItems()->Strings(1));
        return rows;
    }
    void add(TFM_Admin3 &f, const std::string &from, const std::string &to)
    {
        f.StatusBar->SetSimpleText("");
        type(f.Ed_FromIP, from);
        type(f.Ed_ToIP, to);
        click(f.Btn_Add);
    }
    // After an add or delete: the device answered and both lists were read back, then the
    // status is compared (a wrong text fails then, not at the bound).
    ::testing::AssertionResult answered(TFM_Admin3 &f, const std::string &result)
    {
        if (!pumpUntil([&] { return !f.RangeWalk->Busy && !f.RangeTableBinding->Busy; }, kWait))
            return ::testing::AssertionFailure() << "the ranges are still busy";
        if (f.StatusBar->SimpleText() != result)
            return ::testing::AssertionFailure() << "the status is \"" << f.StatusBar->SimpleText() << "\"";
        return ::testing::AssertionSuccess();
    }
};

const std::vector<std::string> kStartRanges = {"1 192.168.1.10-192.168.1.20",
                                               "2 192.168.1.100-192.168.1.150"};

} // namespace

TEST_F(Admin3, OpensFromTheMenuAndListsTheRangesInUse)
{
    startDevice({"--profile", "admin3"});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.tools2->Click();
    EXPECT_TRUE(openFromMenu<TFM_Admin3>(menu.tAdmin2, [&](TFM_Admin3 &f) {
        EXPECT_TRUE(listsRead(f));
        EXPECT_EQ(listed(f), kStartRanges);
        EXPECT_EQ(f.ListView_IpRange->Items()->Count(), 4);
        EXPECT_EQ(f.CB_WLAN->Text(), "Enable");
        EXPECT_FALSE(f.Btn_Add->Enabled()); // the limit is off
    }));
    expectNoSet();
}

TEST_F(Admin3, AddFillsTheFirstFreeRowAndShowsTheResultAfterTheAnswer)
{
    auto f = open({"--fault", "From.2=delay:300@set"});
    click(f->CB_LimitIPStatus);
    add(*f, "192.168.1.30", "192.168.1.30"); // one address is a range too
    EXPECT_EQ(f->StatusBar->SimpleText(), "");
    EXPECT_FALSE(canClose(*f));
    EXPECT_TRUE(answered(*f, "Set OK!"));
    EXPECT_EQ(f->Ed_FromIP->Text(), "");
    expectSets({"From.2=192.168.1.30 To.2=192.168.1.30"});
    EXPECT_EQ(listed(*f),
              (std::vector<std::string>{"1 192.168.1.10-192.168.1.20", "2 192.168.1.30-192.168.1.30",
                                        "3 192.168.1.100-192.168.1.150"}));
}

TEST_F(Admin3, AFifthRangeIsRefused)
{
    auto f = open();
    click(f->CB_LimitIPStatus);
    add(*f, "192.168.1.30", "192.168.1.40");
    ASSERT_TRUE(answered(*f, "Set OK!"));
    add(*f, "192.168.1.50", "192.168.1.60");
    ASSERT_TRUE(answered(*f, "Set OK!"));
    expectBox("Maximum number of IP Range List is 4!", "Waring");
    add(*f, "192.168.1.70", "192.168.1.80");
    EXPECT_EQ(f->Ed_FromIP->Text(), "");
    expectSets({"From.2=192.168.1.30 To.2=192.168.1.40", "From.4=192.168.1.50 To.4=192.168.1.60"});
}

namespace {

struct BadRange {
    std::string from, to, message, caption;
};

class Admin3Refused : public Admin3, public ::testing::WithParamInterface<BadRange> {};

} // namespace

TEST_P(Admin3Refused, SendsNothing)
{
    auto f = open();
    click(f->CB_LimitIPStatus);
    expectBox(GetParam().message, GetParam().caption);
    add(*f, GetParam().from, GetParam().to);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, Admin3Refused,
    ::testing::Values(
        BadRange{"192.168.1.10", "192.168.2.10",
                 "The Two IP address is not in the same subnet,Please check...", "Warning"},
        BadRange{"192.168.1.20", "192.168.1.10", "The IP range is not right,Please check...", "Warning"},
        BadRange{"192.168.1.0", "192.168.1.10", "Please input valid IP address", "Waring"},
        // Stands after the first free row of the device's table.
        BadRange{"192.168.1.100", "192.168.1.150", "The same IP range has been added", "Warning"}));

TEST_F(Admin3, AddWithoutAFreeRowIsRefused)
{
    const std::string profile = kvtest::makeTempDir("kv-admin3-") + "/full.cat";
    kvtest::writeText(profile, "remove From.3\nremove To.3\nremove From.4\nremove To.4\n"
                               "set From.2 192.168.1.30\nset To.2 192.168.1.40\n");
    auto f = open({"--profile", profile});
    click(f->CB_LimitIPStatus);
    expectBox("The IP Range table of the device has no free row!", "Warning");
    add(*f, "192.168.1.50", "192.168.1.60");
    expectNoSet();
}

TEST_F(Admin3, DeleteFreesItsRow)
{
    auto f = open();
    f->ListView_User->SetItemIndex(1);
    EXPECT_TRUE(f->Btn_Del->Enabled());
    click(f->Btn_Del);
    EXPECT_TRUE(answered(*f, "Delete OK!"));
    expectSets({"From.3=0.0.0.0 To.3=0.0.0.0"});
    EXPECT_EQ(listed(*f), (std::vector<std::string>{kStartRanges[0]}));
    EXPECT_FALSE(f->Btn_Del->Enabled());
}

// A row write that fails: refused or left unanswered (the device may still take it), the
// addresses typed kept for another try and no lists read back over the outcome.
struct RangeFails {
    const char *name;
    const char *fault;
    bool add;
    const char *status;
};

void PrintTo(const RangeFails &row, std::ostream *out)
{
    *out << row.name;
}

class Admin3RangeFails : public Admin3, public ::testing::WithParamInterface<RangeFails> {};

TEST_P(Admin3RangeFails, SaysHow)
{
    const RangeFails &row = GetParam();
    auto f = open({"--fault", row.fault});
    f->RangeTableBinding->Request.Timeout = 50; // an answer that never comes, waited for less long
    if (row.add) {
        click(f->CB_LimitIPStatus);
        add(*f, "192.168.1.30", "192.168.1.40");
    } else {
        f->ListView_User->SetItemIndex(1);
        click(f->Btn_Del);
    }
    ASSERT_TRUE(
        pumpUntil([&] { return !f->RangeTableBinding->Busy && f->StatusBar->SimpleText() != ""; }, kWait));
    EXPECT_EQ(f->StatusBar->SimpleText(), row.status);
    EXPECT_EQ(f->Ed_FromIP->Text(), row.add ? "192.168.1.30" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Admin3RangeFails,
    ::testing::Values(RangeFails{"add_refused", "From.2=error:genErr@set", true,
                                 "Setting Error! Not written: IP Range."},
                      RangeFails{"add_unanswered", "From.2=drop@set", true,
                                 "Setting Error! The device did not answer; it may still take the setting. "
                                 "Not answered: IP Range."},
                      RangeFails{"delete_unanswered", "From.3=drop@set", false,
                                 "Delete Error! The device did not answer; it may still take the setting. "
                                 "Not answered: IP Range."}),
    [](const auto &row) { return std::string(row.param.name); });

// The device took an add it answered too late: the next add finds the row taken, by reading
// the table again first, instead of writing over it.
TEST_F(Admin3, AnAddAfterAnUnansweredOneLooksForTheFreeRowAgain)
{
    auto f = open({"--fault", "From.2=delay:4000@set"});
    // The first add's wait is short; the table's reads and the second add wait as usual.
    const auto readTimeout = f->RangeTableBinding->Request.Timeout;
    f->RangeTableBinding->Request.Timeout = 50;
    click(f->CB_LimitIPStatus);
    add(*f, "192.168.1.30", "192.168.1.40");
    ASSERT_TRUE(answered(
        *f,
        "Setting Error! The device did not answer; it may still take the setting. Not answered: IP Range."));
    f->RangeTableBinding->Request.Timeout = readTimeout;
    add(*f, "192.168.1.50", "192.168.1.60");
    ASSERT_TRUE(answered(*f, "Set OK!"));
    EXPECT_EQ(sets().back(), "From.4=192.168.1.50 To.4=192.168.1.60");
    EXPECT_EQ(listed(*f),
              (std::vector<std::string>{"1 192.168.1.10-192.168.1.20", "2 192.168.1.30-192.168.1.40",
                                        "3 192.168.1.100-192.168.1.150", "4 192.168.1.50-192.168.1.60"}));
}

TEST_F(Admin3, DeleteOfARangeTheTableNoLongerHoldsSendsNothing)
{
    auto f = open();
    f->ListView_User->SetItemIndex(0);
    f->ListView_IpRange->Items()->Delete(0); // the device's table as read back lacks it
    expectBox("The IP range is no longer in the device's table; nothing was deleted.", "Warning");
    click(f->Btn_Del);
    expectNoSet();
}

// While a row write waits for the device, or the lists are read back after it, the free row
// and the selection would be looked up in a stale or half-read table: Add and Delete do nothing.
TEST_F(Admin3, AddAndDeleteWaitUntilTheRangesSettle)
{
    auto f = open({"--fault", "From.2=delay:300@set", "--fault", "From.1=delay:300@get"});
    click(f->CB_LimitIPStatus);
    add(*f, "192.168.1.30", "192.168.1.30");
    ASSERT_TRUE(f->RangeTableBinding->Busy); // the row write is out
    add(*f, "192.168.1.50", "192.168.1.60");
    f->ListView_User->SetItemIndex(0);
    ASSERT_TRUE(f->Btn_Del->Enabled());
    click(f->Btn_Del);
    ASSERT_TRUE(pumpUntil([&] { return f->StatusBar->SimpleText() == "Set OK!"; }, kWait));
    ASSERT_TRUE(f->RangeWalk->Busy); // the lists are being read back
    add(*f, "192.168.1.50", "192.168.1.60");
    EXPECT_TRUE(answered(*f, "Set OK!"));
    expectSets({"From.2=192.168.1.30 To.2=192.168.1.30"});
}

// An unread login is neither checked nor written: the rest is, and the login is named.
TEST_F(Admin3, LoginNotReadIsNamedAndTheRestWritten)
{
    auto f = open({"--fault", "UserName=drop@get"});
    click(f->OK);
    EXPECT_EQ(applied(*f), "Set OK! Not read, so not written: Login Settings.");
    expectSets({"admlimitIPStatus=0", "admManagerVLANIDStatus=0", "admManagerVLANID=1", "admLedStatus=1",
                "telnet=1 timeout=2", "ssh=0", "pingcontrol=1", "administrateApWithWlan=1"});
}

// The answer to the limit write is awaited before the groups after it and "Set OK!".
TEST_F(Admin3, LimitWriteIsAwaited)
{
    auto f = open({"--fault", "admlimitIPStatus=delay:300@set"});
    click(f->OK);
    const auto vlanWritten = [&] {
        const std::vector<std::string> s = sets();
        return std::find(s.begin(), s.end(), "admManagerVLANIDStatus=0") != s.end();
    };
    EXPECT_FALSE(vlanWritten());
    EXPECT_NE(f->StatusBar->SimpleText(), "Set OK!");
    EXPECT_FALSE(canClose(*f));
    EXPECT_EQ(applied(*f), "Set OK!");
    EXPECT_TRUE(vlanWritten());
    ASSERT_FALSE(sets().empty());
    EXPECT_EQ(sets().back(), "administrateApWithWlan=1");
}

TEST_F(Admin3, UnchangedApplyWritesTheGroupsButNoRangeRow)
{
    auto f = open();
    click(f->CB_LimitIPStatus);
    add(*f, "192.168.1.30", "192.168.1.40");
    ASSERT_TRUE(answered(*f, "Set OK!"));
    f->StatusBar->SetSimpleText("");
    click(f->OK);
    EXPECT_EQ(applied(*f), "Set OK!");
    expectSets({"From.2=192.168.1.30 To.2=192.168.1.40", R"(UserName="admin" Password="password")",
                "admlimitIPStatus=1", "admManagerVLANIDStatus=0", "admManagerVLANID=1", "admLedStatus=1",
                "telnet=1 timeout=2", "ssh=0", "pingcontrol=1", "administrateApWithWlan=1"});
}

TEST_F(Admin3, LimitWithAnEmptyListIsSwitchedOffFirst)
{
    const std::string profile = kvtest::makeTempDir("kv-admin3-") + "/empty.cat";
    kvtest::writeText(profile,
                      "set From.1 0.0.0.0\nset To.1 0.0.0.0\nset From.3 0.0.0.0\nset To.3 0.0.0.0\n");
    auto f = open({"--profile", profile, "--profile", "adminlite"});
    EXPECT_FALSE(f->GB_Led->Visible());
    EXPECT_FALSE(f->CB_WLAN->Visible());
    click(f->CB_LimitIPStatus);
    expectBox("The IP Range list is empty,The limit administrator IP will be disabled!", "Warning");
    click(f->OK);
    EXPECT_FALSE(f->CB_LimitIPStatus->Checked());
    expectNoSet();
    expectBox("Old password is wrong!Please input again", "Warning");
    type(f->Ed_OPwd, "guess");
    click(f->OK);
    EXPECT_EQ(f->Ed_OPwd->Text(), "");
    expectNoSet();
}

// The single manager addresses are shown, never written: the limit switch leaves them as
// they are, read-only.
TEST_F(Admin3, ManagerAddressesStayDisplayOnly)
{
    auto f = open({"--profile", "configured"});
    ASSERT_TRUE(f->GroupBox2->Visible());
    EXPECT_EQ(f->Ed_IP1->Text(), "127.0.0.1");
    for (int i = 0; i < 2; ++i) {
        click(f->CB_LimitIPStatus);
        for (TControl *c : std::initializer_list<TControl *>{f->CkBx_ManagerState, f->Ed_IP1, f->Ed_IP2})
            EXPECT_FALSE(c->Enabled()) << c->Name();
    }
    EXPECT_TRUE(f->Btn_Add->Enabled());
}

// A device whose console runs SSH (configured): a refused write never leaves it switched off.
namespace {

const char *const kConfiguredLogin = R"(UserName="operator" Password="s3cret")";

struct ConsoleCase {
    const char *what;
    const char *fault;
    bool chooseTelnet;
    std::vector<std::string> sets;
    const char *status;
};

void PrintTo(const ConsoleCase &c, std::ostream *out)
{
    *out << c.what;
}

class Admin3Console : public Admin3, public ::testing::WithParamInterface<ConsoleCase> {};

} // namespace

TEST_P(Admin3Console, IsNeverLeftOff)
{
    const ConsoleCase &c = GetParam();
    auto f = open({"--profile", "configured", "--fault", c.fault});
    ASSERT_TRUE(f->RB_SHH->Checked());
    if (c.chooseTelnet)
        f->RB_Telnet->SetChecked(true);
    click(f->OK);
    EXPECT_EQ(applied(*f), c.status);
    pump(100);
    expectSets(c.sets);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, Admin3Console,
    ::testing::Values(
        ConsoleCase{"LED refused",
                    "admLedStatus=error:genErr@set",
                    false,
                    {kConfiguredLogin, "admlimitIPStatus=1", "admManagerVLANIDStatus=1", "admManagerVLANID=5",
                     "admLedStatus=0 (genErr)"},
                    "Setting Error! Not written: LED Status. Written before it: Login Settings, Limit "
                    "Administrator IP, Limit "
                    "Administrator VID, Administrator VID."},
        ConsoleCase{"Telnet chosen and refused",
                    "telnet=error:genErr@set",
                    true,
                    {kConfiguredLogin, "admlimitIPStatus=1", "admManagerVLANIDStatus=1", "admManagerVLANID=5",
                     "admLedStatus=0", "telnet=0 (genErr)", "ssh=0", "telnet=0 (genErr)", "ssh=1"},
                    "Setting Error! Not written: Console Settings. Written before it: Login Settings, Limit "
                    "Administrator IP, Limit Administrator VID, Administrator VID, LED Status. Put back as "
                    "before: SSH."},
        // Both off went through, the chosen protocol's "on" was refused: SSH goes back on.
        ConsoleCase{"Telnet's switch on refused",
                    "timeout=error:genErr@set",
                    true,
                    {kConfiguredLogin, "admlimitIPStatus=1", "admManagerVLANIDStatus=1", "admManagerVLANID=5",
                     "admLedStatus=0", "telnet=0", "ssh=0", "telnet=1 timeout=5 (genErr)", "telnet=0",
                     "ssh=1"},
                    "Setting Error! Not written: Console Settings. Written before it: Login Settings, Limit "
                    "Administrator IP, Limit "
                    "Administrator VID, Administrator VID, LED Status. Put back as before: SSH."},
        // SSH's switch-off and its put-back both unanswered: SSH may be off, and the text says so.
        ConsoleCase{"SSH's switch-off unanswered",
                    "ssh=drop@set",
                    true,
                    {kConfiguredLogin, "admlimitIPStatus=1", "admManagerVLANIDStatus=1", "admManagerVLANID=5",
                     "admLedStatus=0", "telnet=0", "ssh=0 (genErr)", "ssh=0 (genErr)", "telnet=0",
                     "ssh=1 (genErr)", "ssh=1 (genErr)"},
                    "Setting Error! The device did not answer; it may still take the setting. Not answered: "
                    "Console Settings. Written before it: Login Settings, Limit Administrator IP, Limit "
                    "Administrator VID, Administrator VID, LED Status. Not put back: SSH."},
        ConsoleCase{"WLAN administration unanswered",
                    "administrateApWithWlan=drop@set",
                    false,
                    {kConfiguredLogin, "admlimitIPStatus=1", "admManagerVLANIDStatus=1", "admManagerVLANID=5",
                     "admLedStatus=0", "telnet=0 timeout=5", "ssh=1", "pingcontrol=0",
                     "administrateApWithWlan=0 (genErr)", "administrateApWithWlan=0 (genErr)"},
                    "Setting Error! The device did not answer; it may still take the setting. Not answered: "
                    "Administrate AP with WLAN. Written before it: Login Settings, Limit Administrator IP, "
                    "Limit Administrator VID, "
                    "Administrator VID, LED Status, Console Settings, SSH, Ping Control Setting."}),
    CaseName());

TEST_F(Admin3, Layout)
{
    auto f = open();
    checkLayout(f.get(), "TFM_Admin3");
}

// The DHCP server form and its static pool dialog against the simulated device (16 static
// pool rows, row 1 holding 192.168.0.20 for 00A0C5112233), with a scripted echo prober.
#include "ComboChoice.h"
#include "FormFixture.h"
#include "GiveUp.h"
#include "NetworkFormSupport.h"
#include "PingHost.h"
#include "TFM_DHCP.h"
#include "TFM_StaticIP.h"
#include "TestEnv.h"

#include <QTimer>

using namespace formtest;

namespace {

const std::string kPoolSet = "dynamicIPStart=192.168.0.100 dynamicRange=50 dynamicMask=255.255.255.0 "
                             "dynamicGateway=192.168.0.1 dynamicWins=0.0.0.0 dynamicDns=0.0.0.0 "
                             "dynamicDomain=\"lan\" dynamicLease=86400 dynamicStatus=1";

const std::string kPoolAsRead = "dynamicIPStart=192.168.0.100 dynamicRange=50 dynamicMask=255.255.255.0 "
                                "dynamicGateway=192.168.0.1 dynamicWins=0.0.0.0 dynamicDns=192.168.0.1 "
                                "dynamicDomain=\"lan\" dynamicLease=86400 dynamicStatus=1";

// One static pool row as the write log shows it.
std::string rowSet(int row, const std::string &ip, const std::string &mac, const std::string &mask,
                   const std::string &gateway, const std::string &domain, int status)
{
    const std::string n = std::to_string(row);
    return "staticIP." + n + "=" + ip + " staticMAC." + n + "=0x" + mac + " staticMask." + n + "=" + mask +
           " staticGateway." + n + "=" + gateway + " staticWins." + n + "=0.0.0.0 staticDNS." + n +
           "=0.0.0.0 staticDomain." + n + "=\"" + domain + "\" staticStatus." + n + "=" +
           std::to_string(status);
}
const std::string kEmptyRow1 = rowSet(1, "0.0.0.0", "000000000000", "0.0.0.0", "0.0.0.0", "", 0);
const std::string kOldRow1 = "staticIP.1=192.168.0.20 staticMAC.1=0x00A0C5112233 staticMask.1=255.255.255.0 "
                             "staticGateway.1=192.168.0.1 staticWins.1=0.0.0.0 staticDNS.1=192.168.0.1 "
                             "staticDomain.1=\"lan\" staticStatus.1=1";

class DHCP : public ProbedFormTest {
public:
    using ProbedFormTest::sets;
    FormHandle<TFM_DHCP> openListed()
    {
        auto form = openForm(FM_DHCP);
        EXPECT_TRUE(
            pumpUntil([&] { return form->Idle && !form->Busy && !form->StaticListReq->Busy; }, kWaitMs));
        return form;
    }
    // Fills the dialog as a user would and applies; returns when the dialog has closed.
    void fillDialog(TFM_StaticIP &d, const std::string &ip, const std::string &mac,
                    const std::string &domain = std::string())
    {
        type(d.Ed_AsgIP, ip);
        type(d.Ed_AsgMac, mac);
        type(d.Ed_SubMask, "255.255.255.0");
        type(d.Ed_Gatway, "192.168.0.1");
        type(d.Ed_Wins, "");
        type(d.Ed_DNS, "");
        if (!domain.empty())
            type(d.Ed_DomNa, domain);
        click(d.Apply);
        pumpUntil([&] { return !d.Probing(); }, kWaitMs);
    }
    void selectUsed(TFM_DHCP &f, int row)
    {
        f.User_ListView->SetSelected(f.User_ListView->Items()->Item(row));
    }
};

} // namespace

TEST_F(DHCP, OpensFromTheMenuAndListsWhatIsUsed)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    EXPECT_TRUE(menu.adDHCPServer2->Enabled());
    EXPECT_TRUE(openFromMenu<TFM_DHCP>(menu.adDHCPServer2, [&](TFM_DHCP &f) {
        EXPECT_TRUE(WaitUntilClosable(f));
        EXPECT_EQ(f.Text(), "Advanced \\ DHCP Server");
        EXPECT_EQ(f.CB_Fuction1->Text(), "Enable");
        EXPECT_EQ(f.Ed_IPAF->Text(), "192.168.0.100");
        EXPECT_EQ(f.Ed_PoolRan->Text(), "50");
        EXPECT_EQ(f.LV_StaticPoolSet->Items()->Count(), 16);
        ASSERT_EQ(f.User_ListView->Items()->Count(), 1);
        EXPECT_EQ(f.User_ListView->Items()->Item(0)->SubItems()->Strings(0), "192.168.0.20");
        EXPECT_EQ(f.LV_DynPool->Items()->Count(), 2); // the empty lease row is left out
        EXPECT_EQ(f.LV_StaticPool->Items()->Count(), 1);
        EXPECT_TRUE(f.Bt_Apply->Enabled());
        EXPECT_TRUE(f.Bt_Add->Enabled());
    }));
    expectNoSet();
}

TEST_F(DHCP, FunctionBeforePoolAndEmptyServersAsNoAddress)
{
    startDevice();
    auto form = openListed();
    type(form->Ed_Wins, "");
    type(form->Ed_DNS, "");
    click(form->Bt_Apply);
    expectSets({"dynamicIPFunction=1", kPoolSet});
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Setting Success!");
}

TEST_F(DHCP, RangesAreRefusedWithCaptionError)
{
    startDevice();
    auto form = openListed();
    struct Case {
        TEdit *edit;
        const char *typed;
        const char *box; // null: accepted
    };
    const char *lease = "Please input a number between 60 and 31536000.";
    const char *size = "Please input a number between 1 and 255.";
    const Case cases[] = {{form->Ed_Lease, "59", lease},    {form->Ed_Lease, "31536001", lease},
                          {form->Ed_PoolRan, "0", size},    {form->Ed_PoolRan, "256", size},
                          {form->Ed_Lease, "60", nullptr},  {form->Ed_Lease, "31536000", nullptr},
                          {form->Ed_PoolRan, "1", nullptr}, {form->Ed_PoolRan, "255", nullptr}};
    std::size_t accepted = 0;
    for (const Case &c : cases) {
        type(form->Ed_Lease, "86400");
        type(form->Ed_PoolRan, "50");
        type(c.edit, c.typed);
        if (c.box)
            expectBox(c.box, "Error");
        click(form->Bt_Apply);
        if (c.box)
            EXPECT_EQ(c.edit->Text(), "") << c.typed;
        else
            accepted += 2;
        EXPECT_EQ(sets().size(), accepted) << c.typed;
    }
}

struct PoolCase {
    const char *what;
    const char *start;
    const char *size;
    const char *box; // null: accepted
};

class DHCPPool : public DHCP, public ::testing::WithParamInterface<PoolCase> {};

// The device is at 192.168.0.120 here; the static pool holds 192.168.0.20.
TEST_P(DHCPPool, CoversNeitherTheSystemNorAStaticAddress)
{
    const PoolCase &c = GetParam();
    startDevice({"--profile", writeProfile("set hIPAddress 192.168.0.120\n")});
    auto form = openListed();
    ASSERT_TRUE(pumpUntil([&] { return form->Ed_ext->Text() == "192.168.0.120"; }, kWaitMs));
    type(form->Ed_IPAF, c.start);
    type(form->Ed_PoolRan, c.size);
    if (c.box)
        expectBox(c.box, "Warning");
    click(form->Bt_Apply);
    EXPECT_EQ(sets().size(), c.box ? 0u : 2u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DHCPPool,
    ::testing::Values(PoolCase{"system address inside", "192.168.0.100", "50",
                               "Reject: The DHCP dynamic IP pool will cover system IP."},
                      PoolCase{"pool ends before the system address", "192.168.0.100", "20", nullptr},
                      PoolCase{"static entry at the last address", "192.168.0.1", "20",
                               "Reject: The DHCP dynamic IP pool will cover Static IP."},
                      PoolCase{"static entry one past the pool", "192.168.0.1", "19", nullptr},
                      // Empty rows (0.0.0.0) are no entries: the start is refused for what it is.
                      PoolCase{"empty rows are skipped", "0.0.0.0", "10", "Invalid IP Address!"},
                      PoolCase{"the module's own device address", "127.0.0.1", "10",
                               "Reject:DHCPS dynamic IP pool will cover system IP"}),
    CaseName());

TEST_F(DHCP, AddWritesTheFirstEmptyRow)
{
    startDevice();
    auto form = openListed();
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) {
        EXPECT_EQ(d.Text(), "Static IP Pool Adding");
        EXPECT_EQ(d.LA_Index->Text(), "2");
        fillDialog(d, "192.168.0.30", "00A0C5AABBCC");
    });
    click(form->Bt_Add);
    EXPECT_TRUE(dialog.ran());
    EXPECT_EQ(prober->probed, std::vector<uint32_t>{Address(192, 168, 0, 30)});
    ASSERT_TRUE(pumpUntil([&] { return !form->Busy && form->Idle && !form->StaticListReq->Busy; }, kWaitMs));
    expectSets({"dynamicIPFunction=1",
                rowSet(2, "192.168.0.30", "00A0C5AABBCC", "255.255.255.0", "192.168.0.1", "", 0)});
    EXPECT_EQ(form->User_ListView->Items()->Count(), 2); // listed again
}

// The device took an entry it answered too late: the next add finds the row taken, by listing
// the pool again first, instead of writing over it.
TEST_F(DHCP, AnAddAfterAnUnansweredOneLooksForTheEmptyRowAgain)
{
    startDevice({"--fault", "E.2.7.3.1.1.2=delay:4000@set"});
    auto form = openListed();
    // The first add's wait is short; the table's reads and the second add wait as usual.
    const auto readTimeout = form->StaticRowReq->Request.Timeout;
    form->StaticRowReq->Request.Timeout = 50;
    WhenModal<TFM_StaticIP> first([&](TFM_StaticIP &d) { fillDialog(d, "192.168.0.30", "00A0C5AABBCC"); });
    click(form->Bt_Add);
    ASSERT_TRUE(pumpUntil([&] { return !form->Busy && form->Idle && !form->StaticListReq->Busy; }, kWaitMs));
    const std::string told = form->StatusBar2->SimpleText();
    ASSERT_NE(told.find("The device did not answer"), std::string::npos) << told;
    form->StaticRowReq->Request.Timeout = readTimeout;
    WhenModal<TFM_StaticIP> second([&](TFM_StaticIP &d) {
        EXPECT_EQ(d.LA_Index->Text(), "3");
        fillDialog(d, "192.168.0.31", "00A0C5AABBCD");
    });
    click(form->Bt_Add);
    ASSERT_TRUE(pumpUntil(
        [&] { return second.ran() && !form->Busy && form->Idle && !form->StaticListReq->Busy; }, kWaitMs));
    EXPECT_EQ(sets().back(),
              rowSet(3, "192.168.0.31", "00A0C5AABBCD", "255.255.255.0", "192.168.0.1", "", 0));
    EXPECT_EQ(form->User_ListView->Items()->Count(), 3);
}

// A probe that cannot run asks instead of guessing: no sends nothing and leaves the dialog
// open, yes writes the entry.
TEST_F(DHCP, AddressThatCannotBeProbedIsAskedAbout)
{
    startDevice();
    prober->verdicts[Address(192, 168, 0, 30)] = ScriptedProber::Verdict::CannotRun;
    auto form = openListed();
    kv::IcmpProbeOutcome cannot;
    cannot.reason = "raw socket (CAP_NET_RAW): Operation not permitted";
    const std::string question = UncheckedAddressQuestion(cannot);
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) {
        expectBox(question, "Warning", IDCANCEL);
        fillDialog(d, "192.168.0.30", "00A0C5AABBCC");
        EXPECT_TRUE(d.Visible());
        expectNoSet();
        expectBox(question, "Warning", IDOK);
        click(d.Apply);
        pumpUntil([&] { return !d.Probing(); }, kWaitMs);
    });
    click(form->Bt_Add);
    EXPECT_TRUE(dialog.ran());
    EXPECT_EQ(prober->probed, (std::vector<uint32_t>{Address(192, 168, 0, 30), Address(192, 168, 0, 30)}));
    ASSERT_TRUE(pumpUntil([&] { return !form->Busy && form->Idle && !form->StaticListReq->Busy; }, kWaitMs));
    expectSets({"dynamicIPFunction=1",
                rowSet(2, "192.168.0.30", "00A0C5AABBCC", "255.255.255.0", "192.168.0.1", "", 0)});
}

TEST_F(DHCP, LowerCaseMacReplacesItsRow)
{
    startDevice();
    auto form = openListed();
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) { fillDialog(d, "192.168.0.21", "00a0c5112233"); });
    click(form->Bt_Add);
    ASSERT_TRUE(pumpUntil([&] { return !form->Busy && form->Idle; }, kWaitMs));
    expectSets({kEmptyRow1, "dynamicIPFunction=1",
                rowSet(1, "192.168.0.21", "00A0C5112233", "255.255.255.0", "192.168.0.1", "", 0)});
}

// The device takes at most 8 characters of a domain here: the fill is refused after the
// row was emptied, and the reservation is written back.
TEST_F(DHCP, FailedFillWritesTheOldRowBack)
{
    startDevice(
        {"--profile", writeProfile("E.2.7.3.1.7.*  staticDomain  displaystr  readwrite  size:0..8  -\n")});
    auto form = openListed();
    selectUsed(*form, 0);
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) {
        EXPECT_EQ(d.Text(), "Static IP Pool Setting");
        fillDialog(d, "192.168.0.22", "00A0C5112233", "a-much-longer-domain");
    });
    click(form->Bt_Set);
    ASSERT_TRUE(pumpUntil([&] { return !form->Busy && form->Idle; }, kWaitMs));
    const std::string refused =
        rowSet(1, "192.168.0.22", "00A0C5112233", "255.255.255.0", "192.168.0.1", "a-much-longer-domain", 1);
    expectSets({kEmptyRow1, "dynamicIPFunction=1", refused + " (wrongLength)", kOldRow1});
    const std::string status = form->StatusBar2->SimpleText();
    EXPECT_NE(status.find(" Written before it: Function Enable/Disable."), std::string::npos) << status;
    ASSERT_EQ(form->User_ListView->Items()->Count(), 1);
    EXPECT_EQ(form->User_ListView->Items()->Item(0)->SubItems()->Strings(0), "192.168.0.20");
}

// The device stops with the function's write in hand: the row emptied for the entry is not
// filled and cannot be written back, and the outcome says so.
TEST_F(DHCP, AnEmptiedRowTheStoppedDeviceCannotTakeBackIsNamed)
{
    startDevice({"--fault", "dynamicIPFunction=delay:2000@set"});
    auto form = openListed();
    // Short waits: the stopped device answers neither.
    form->FunctionReq->Request.Timeout = 50;
    form->StaticRowReq->Request.Timeout = 50;
    selectUsed(*form, 0);
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) { fillDialog(d, "192.168.0.22", "00A0C5112233"); });
    bool stopped = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!stopped && sets().size() >= 2) {
            sim->process().pause();
            stopped = true;
        }
    });
    watch.start(5);
    click(form->Bt_Set);
    ASSERT_TRUE(pumpUntil([&] { return !form->Busy && form->Idle; }, kWaitMs));
    watch.stop();
    sim->process().resume();
    ASSERT_TRUE(stopped);
    const std::string status = form->StatusBar2->SimpleText();
    EXPECT_NE(status.find(" Not put back: Static Pool Settings (row emptied)."), std::string::npos) << status;
    expectSets({kEmptyRow1, "dynamicIPFunction=1"});
}

TEST_F(DHCP, DeleteWritesTheEmptyValues)
{
    startDevice();
    auto form = openListed();
    selectUsed(*form, 0);
    EXPECT_TRUE(form->Bt_Del->Enabled());
    click(form->Bt_Del);
    ASSERT_TRUE(pumpUntil(
        [&] { return form->Idle && !form->StaticListReq->Busy && !form->StaticRowReq->Busy; }, kWaitMs));
    expectSets({kEmptyRow1});
    EXPECT_EQ(form->User_ListView->Items()->Count(), 0);
}

// The probe takes its time; the user closes the dialog meanwhile.
TEST_F(DHCP, DialogClosedWhileItsProbeRunsWritesNothing)
{
    startDevice();
    prober->answerAfterMs = 3000;
    auto form = openListed();
    CountdownsSeen watch;
    bool probing = false;
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) {
        type(d.Ed_AsgIP, "192.168.0.30");
        type(d.Ed_AsgMac, "00A0C5AABBCC");
        type(d.Ed_SubMask, "255.255.255.0");
        type(d.Ed_Gatway, "192.168.0.1");
        click(d.Apply);
        probing = d.Probing();
        d.Close();
    });
    click(form->Bt_Add);
    EXPECT_TRUE(dialog.ran());
    EXPECT_TRUE(probing);
    pump(500); // the probe's time and more
    EXPECT_EQ(prober->probed.size(), 1u);
    EXPECT_TRUE(watch.seen().empty());
    EXPECT_FALSE(FM_StaticIP->Probing());
    EXPECT_TRUE(FM_StaticIP->Apply->Enabled());
    expectNoSet();
}

// Rows 2 to 16 hold the same entry: the row chosen in the list is the one written.
struct ChosenRowCase {
    const char *what;
    bool edit; // Set (else Del)
};

class DHCPChosenRow : public DHCP, public ::testing::WithParamInterface<ChosenRowCase> {};

TEST_P(DHCPChosenRow, ActsOnTheRowTheUserSelected)
{
    startDevice({"--profile", "staticpoolfull"});
    auto form = openListed();
    ASSERT_EQ(form->User_ListView->Items()->Count(), 16);
    selectUsed(*form, 4); // the fifth row in use: table row 5
    const std::string empty5 = rowSet(5, "0.0.0.0", "000000000000", "0.0.0.0", "0.0.0.0", "", 0);
    if (GetParam().edit) {
        std::string index;
        WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) {
            index = d.LA_Index->Text();
            fillDialog(d, "192.168.0.31", "00A0C5000001");
        });
        click(form->Bt_Set);
        EXPECT_EQ(index, "5");
    } else {
        click(form->Bt_Del);
    }
    ASSERT_TRUE(pumpUntil(
        [&] { return !form->Busy && form->Idle && !form->StaticListReq->Busy && !form->StaticRowReq->Busy; },
        kWaitMs));
    if (GetParam().edit)
        expectSets({empty5, "dynamicIPFunction=1",
                    rowSet(5, "192.168.0.31", "00A0C5000001", "255.255.255.0", "192.168.0.1", "", 1)});
    else
        expectSets({empty5});
}

INSTANTIATE_TEST_SUITE_P(Buttons, DHCPChosenRow,
                         ::testing::Values(ChosenRowCase{"Set", true}, ChosenRowCase{"Del", false}),
                         CaseName());

// A write refused or left unanswered, from either page's Apply or from the static row dialog:
// the failure shows where the user acted, with what was written before it, no earlier success
// stands over it, nothing after it is written, and the switch shows what the device holds.
struct RefusedSwitch {
    const char *what;
    std::vector<std::string> device;
    std::function<void(DHCP &, TFM_DHCP &)> act;
    std::vector<TStatusBar * TFM_DHCP::*> bars; // each says all of says
    std::vector<std::string> says;
    std::vector<std::string> sets;
    const char *held; // the switch as the device holds it afterwards; null: not looked at
};

void PrintTo(const RefusedSwitch &c, std::ostream *out)
{
    *out << c.what;
}

class DHCPRefusedSwitch : public DHCP, public ::testing::WithParamInterface<RefusedSwitch> {};

TEST_P(DHCPRefusedSwitch, ShowsTheRefusalAndWhatTheDeviceHolds)
{
    const RefusedSwitch &c = GetParam();
    startDevice(c.device);
    auto form = openListed();
    for (TStatusBar *TFM_DHCP::*bar : c.bars)
        ((*form).*bar)->SetSimpleText("Setting Success!"); // what an earlier Apply left
    c.act(*this, *form);
    ASSERT_TRUE(pumpUntil([&] { return !form->Busy && form->Idle && !form->StaticRowReq->Busy; }, kWaitMs));
    expectSets(c.sets);
    for (TStatusBar *TFM_DHCP::*bar : c.bars) {
        const std::string status = ((*form).*bar)->SimpleText();
        for (const std::string &part : c.says)
            EXPECT_NE(status.find(part), std::string::npos) << status;
    }
    if (c.held == nullptr)
        return;
    EXPECT_EQ(form->CB_Fuction1->Text(), c.held);
    EXPECT_EQ(form->CB_Fuction2->Text(), c.held);
    EXPECT_EQ(form->Ed_IPAF->Enabled(), std::string(c.held) == "Enable");
}

// Switches the server on from the static page and adds a reservation for a new client.
void AddWithServerOn(DHCP &t, TFM_DHCP &f)
{
    choose(f.CB_Fuction2, "Enable");
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) { t.fillDialog(d, "192.168.0.30", "00A0C5AABBCC"); });
    f.Bt_Add->Click();
    EXPECT_TRUE(dialog.ran());
}

const std::string kRefused = "dynamicIPFunction=error:genErr@set";

INSTANTIATE_TEST_SUITE_P(
    Pages, DHCPRefusedSwitch,
    ::testing::Values(RefusedSwitch{"dynamic pool page",
                                    {"--fault", kRefused},
                                    [](DHCP &, TFM_DHCP &f) {
                                        choose(f.CB_Fuction1, "Disable");
                                        f.Bt_Apply->Click();
                                    },
                                    {&TFM_DHCP::StatusBar1},
                                    {"Set: ", "General Error"},
                                    {"dynamicIPFunction=0 (genErr)"},
                                    "Enable"},
                      RefusedSwitch{"static pool page",
                                    {"--fault", kRefused},
                                    [](DHCP &, TFM_DHCP &f) {
                                        choose(f.CB_Fuction2, "Disable");
                                        f.StaticApply->Click();
                                    },
                                    {&TFM_DHCP::StatusBar2},
                                    {"Set: ", "General Error"},
                                    {"dynamicIPFunction=0 (genErr)"},
                                    "Enable"},
                      // The entry is not written without the server the user switched on with it.
                      RefusedSwitch{"static pool dialog with the server off",
                                    {"--profile", "servicesoff", "--fault", kRefused},
                                    AddWithServerOn,
                                    {&TFM_DHCP::StatusBar1, &TFM_DHCP::StatusBar2},
                                    {"Set: ", "General Error"},
                                    {"dynamicIPFunction=1 (genErr)"},
                                    "Disable"},
                      // The user closes the dialog while the switch's write waits for the device: the entry
                      // is not written afterwards. The wait is given up once the device has taken the switch
                      // (its answer held back): its request log shows a set before its write log does.
                      RefusedSwitch{
                          "static pool dialog closed while the switch is written",
                          {"--profile", "servicesoff", "--fault", "dynamicIPFunction=delay:3000@set"},
                          [](DHCP &test, TFM_DHCP &f) {
                              kv::Timer poll;
                              poll.onTimeout = [&] {
                                  if (FM_StaticIP->Visible() && !test.sets().empty()) {
                                      poll.stop();
                                      kvtest::giveUpWait(kvtest::GiveUp::CloseBox, FM_StaticIP->Widget());
                                  }
                              };
                              poll.start(5);
                              AddWithServerOn(test, f);
                          },
                          {&TFM_DHCP::StatusBar1, &TFM_DHCP::StatusBar2},
                          {"The device did not answer; it may still take the setting."},
                          {"dynamicIPFunction=1"},
                          nullptr},
                      RefusedSwitch{"dynamic pool refused after the switch",
                                    {"--fault", "dynamicLease=error:genErr@set"},
                                    [](DHCP &, TFM_DHCP &f) { f.Bt_Apply->Click(); },
                                    {&TFM_DHCP::StatusBar1},
                                    {"General Error", "Written before it: Function Enable/Disable."},
                                    {"dynamicIPFunction=1", kPoolAsRead + " (genErr)"},
                                    "Enable"}),
    CaseName());

TEST_F(DHCP, FullPoolRefusesAdd)
{
    startDevice({"--profile", "staticpoolfull"});
    auto form = openListed();
    expectBox("The static pool is full!", "Warning");
    click(form->Bt_Add);
    expectNoSet();
}

TEST_F(DHCP, ClosesAfterAFailedListing)
{
    startDevice({"--fault", "staticIP=error:genErr@get"});
    auto form = openForm(FM_DHCP);
    ASSERT_TRUE(pumpUntil([&] { return form->Idle; }, kWaitMs));
    EXPECT_FALSE(form->Busy);
    EXPECT_TRUE(form->Bt_Cancel->Enabled());
    EXPECT_FALSE(form->Bt_Add->Enabled());
    EXPECT_NE(form->StatusBar2->SimpleText().find("General Error"), std::string::npos);
    // Once the lease lists and the address have answered too.
    EXPECT_TRUE(WaitUntilClosable(*form));
}

TEST_F(DHCP, CloseRefusedWhileListing)
{
    startDevice({"--fault", "staticMAC=delay:60@get"});
    auto form = openForm(FM_DHCP);
    EXPECT_FALSE(canClose(*form));
    EXPECT_FALSE(form->Bt_Cancel->Enabled());
    ASSERT_TRUE(pumpUntil([&] { return form->Idle && !form->StaticListReq->Busy; }, kWaitMs));
    EXPECT_TRUE(canClose(*form));
}

struct DialogCase {
    const char *what;
    const char *ip;
    const char *mac;
    const char *box;
    const char *caption;
};

class DHCPDialog : public DHCP, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DHCPDialog, RefusesAndWritesNothing)
{
    const DialogCase &c = GetParam();
    startDevice();
    prober->verdicts[Address(192, 168, 0, 40)] = ScriptedProber::Verdict::InUse;
    auto form = openListed();
    ASSERT_TRUE(pumpUntil([&] { return !form->Ed_ext->Text().empty(); }, kWaitMs));
    if (std::string(c.what) == "pool start not an address")
        type(form->Ed_IPAF, "192.168.0");
    expectBox(c.box, c.caption);
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) {
        fillDialog(d, c.ip, c.mac);
        d.Close();
    });
    click(form->Bt_Add);
    EXPECT_TRUE(dialog.ran());
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DHCPDialog,
    ::testing::Values(
        DialogCase{"address of another row, written otherwise", "192.168.0.020", "00A0C5AABBCC",
                   "Reject: The IP has already existed. ", "Warning"},
        DialogCase{"broadcast address", "192.168.0.255", "00A0C5AABBCC", "Invalid IP Address", "Waring"},
        DialogCase{"answers the probe", "192.168.0.40", "00A0C5AABBCC",
                   "Reject: The IP already has been used.", "Warning"},
        DialogCase{"MAC of 11 digits", "192.168.0.41", "00A0C5AABBC", "Please input valid MAC.", "Warning"},
        DialogCase{"no MAC", "192.168.0.41", "000000000000", "Please input valid MAC.", "Warning"},
        DialogCase{"inside the dynamic pool", "192.168.0.120", "00A0C5AABBCC",
                   "Reject: The IP has already existed in IP Dynamic pool.", "Warning"},
        DialogCase{"the device's own address, written otherwise", "127.0.0.01", "00A0C5AABBCC",
                   "Reject: The IP is the system IP.", "Warning"},
        DialogCase{
            "pool start not an address", "192.168.0.41", "00A0C5AABBCC",
            "Reject: The IP cannot be checked against the IP Dynamic pool: its first address is not valid.",
            "Warning"}),
    CaseName());

TEST_F(DHCP, UnchangedRowIsRefusedAndRevertsTheDialog)
{
    startDevice();
    auto form = openListed();
    selectUsed(*form, 0);
    std::string domain;
    WhenModal<TFM_StaticIP> dialog([&](TFM_StaticIP &d) {
        fillDialog(d, "192.168.0.20", "00A0C5112233", "other");
        domain = d.Ed_DomNa->Text();
        d.Close();
    });
    expectBox("Reject: DHCPS static IP already exists in static DHCP server!", "Warning");
    click(form->Bt_Set);
    EXPECT_EQ(domain, "lan");
    EXPECT_TRUE(prober->probed.empty()); // the address did not change
    expectNoSet();
}

TEST_F(DHCP, Layout)
{
    startDevice();
    auto form = openListed();
    for (int page = 0; page < 3; ++page) {
        form->PageControl1->SetActivePageIndex(page);
        checkLayout(form.get(), page == 0 ? "TFM_DHCP" : "TFM_DHCP-" + std::to_string(page + 1));
    }
    form->LV_StaticPoolSet->SetSelected(form->LV_StaticPoolSet->Items()->Item(0));
    checkLayout(FM_StaticIP, "TFM_StaticIP");
    FM_StaticIP->Hide();
}

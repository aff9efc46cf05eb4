// The LAN form against the simulated device, with an echo prober whose answers the tests
// script: a new static address is checked against the DHCP pools and probed before the one
// set of the LAN group goes out.
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "PingHost.h"
#include "TFM_LanCfg.h"
#include "TestEnv.h"

using namespace formtest;

namespace {

const char *const kInUse = "Reject: The IP already has been used.";
const char *const kDynamicConflict = "Reject: The IP conflicts with Dynamic DHCP Server IP";
const char *const kStaticConflict = "Reject: The IP conflicts with Static DHCP Server IP";

class LanCfg : public ProbedFormTest {
protected:
    // Ticks of 120 ms: the static pool walk must not lose a race with its wait on a busy
    // machine (the wait ends with the walk, so the tests do not wait longer for it).
    kv::ScopedClock slower{std::make_shared<kvtest::FastClock>(10)};
    // Types a static address with a usable mask and gateway and applies; returns when Apply
    // has ended (probe, static pool wait, set and countdown included).
    void applyStatic(FormHandle<TFM_LanCfg> &form, const std::string &address)
    {
        type(form->ED_IpAddr, address);
        type(form->ED_SubMask, "255.255.255.0");
        type(form->ED_DefGw, "192.168.0.1");
        click(form->BT_LanCfgOk);
        EXPECT_TRUE(pumpUntil([&] { return !form->Probing(); }, kWaitMs));
        pump(20);
    }
};

const std::string kNewStaticSet = "hGetIPFrom=1 hIPAddress=192.168.0.60 hSubnetMask=255.255.255.0 "
                                  "hDefaultGateway=192.168.0.1";

} // namespace

TEST_F(LanCfg, OpensFromTheMenuAndHidesStaticFieldsForDhcp)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.Home1->Click();
    EXPECT_TRUE(menu.hLan1->Enabled());
    std::string caption, source, address, mask;
    bool hidden = false;
    EXPECT_TRUE(openFromMenu<TFM_LanCfg>(menu.hLan1, [&](TFM_LanCfg &f) {
        caption = f.Text();
        source = f.CB_IPFrom->Text();
        address = f.ED_IpAddr->Text();
        mask = f.ED_SubMask->Text();
        f.CB_IPFrom->SetItemIndex(1);
        f.CB_IPFrom->OnChange(f.CB_IPFrom);
        hidden = !f.ED_IpAddr->Visible() && !f.LA_DefGW->Visible();
    }));
    EXPECT_EQ(caption, "Home \\ LAN");
    EXPECT_EQ(source, "Static (Manual)");
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_EQ(mask, "255.0.0.0");
    EXPECT_TRUE(hidden);
    expectNoSet();
}

TEST_F(LanCfg, NewStaticAddressIsProbedCheckedAndWrittenInOneSet)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    CountdownsSeen watch;
    applyStatic(form, "192.168.0.60");
    EXPECT_EQ(prober->probed, std::vector<uint32_t>{Address(192, 168, 0, 60)});
    ASSERT_EQ(watch.seen().size(), 2u);
    const CountdownsSeen::Seen &pool = watch.seen()[0];
    EXPECT_EQ(pool.Countdown, 12);
    EXPECT_FALSE(pool.SendReboot);
    EXPECT_EQ(pool.Label3, "Judge the IP whether can be used.");
    EXPECT_GT(pool.Lowest, 1); // ended by the walk, not by its count
    const CountdownsSeen::Seen &restart = watch.seen()[1];
    EXPECT_EQ(restart.Countdown, 5);
    EXPECT_EQ(restart.Label3, "The system IP will be 192.168.0.60");
    EXPECT_EQ(form->StatusBar->SimpleText(), "Set Success!");
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, kWaitMs));
    expectSets({kNewStaticSet, "upgradesettingcommand=4"});
}

TEST_F(LanCfg, DynamicPoolEdgesAreRefused)
{
    startDevice();
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    // The pool is 192.168.0.100 and 50 addresses: .100 to .149.
    for (const char *address : {"192.168.0.100", "192.168.0.149"}) {
        expectBox(kDynamicConflict, "Warning");
        applyStatic(form, address);
        EXPECT_EQ(form->ED_IpAddr->Text(), "127.0.0.1") << address; // the device's values again
    }
    EXPECT_TRUE(prober->probed.empty());
    expectNoSet();
    applyStatic(form, "192.168.0.150");
    expectSets(
        {"hGetIPFrom=1 hIPAddress=192.168.0.150 hSubnetMask=255.255.255.0 hDefaultGateway=192.168.0.1"});
}

TEST_F(LanCfg, AddressInUseSendsNothing)
{
    startDevice();
    prober->verdicts[Address(192, 168, 0, 60)] = ScriptedProber::Verdict::InUse;
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    expectBox(kInUse, "Warning");
    applyStatic(form, "192.168.0.60");
    EXPECT_EQ(form->ED_IpAddr->Text(), "127.0.0.1");
    EXPECT_EQ(requestsNaming("staticIP", "getnext"), 0);
    expectNoSet();
}

// No prober is installed here: the probe cannot run and the form asks instead of guessing.
TEST_F(LanCfg, ProbeThatCannotRunAsks)
{
    installed.reset();
    startDevice();
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    kv::IcmpProbeOutcome none;
    none.reason = "no ICMP probe is installed";
    expectBox(UncheckedAddressQuestion(none), "Warning", IDCANCEL);
    applyStatic(form, "192.168.0.60");
    expectNoSet();
    expectBox(UncheckedAddressQuestion(none), "Warning", IDOK);
    applyStatic(form, "192.168.0.60");
    expectSets({kNewStaticSet});
}

// Compared as numbers: the leading zero does not hide the row holding 192.168.0.20.
TEST_F(LanCfg, StaticPoolRowIsFoundWhateverTheWriting)
{
    startDevice();
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    expectBox(kStaticConflict, "Warning");
    applyStatic(form, "192.168.0.020");
    EXPECT_EQ(prober->probed, std::vector<uint32_t>{Address(192, 168, 0, 20)});
    EXPECT_EQ(form->Static_ListView->Items()->Count(), 16);
    expectNoSet();
}

struct UncheckedCase {
    const char *what;
    const char *fault;
    const char *box;
};

class LanCfgUnchecked : public LanCfg, public ::testing::WithParamInterface<UncheckedCase> {};

// A pool that cannot be read refuses the address, saying the check could not be made.
TEST_P(LanCfgUnchecked, RefusesAndSendsNothing)
{
    startDevice({"--fault", GetParam().fault});
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return !form->DynamicPoolReq->Busy; }, kWaitMs));
    expectBox(GetParam().box, "Warning");
    applyStatic(form, "192.168.0.60");
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LanCfgUnchecked,
    ::testing::Values(UncheckedCase{"dynamic pool unread", "dynamicIPStart=error:genErr@get",
                                    "Reject: The IP cannot be checked against the DHCP server's pools: they "
                                    "could not be read."},
                      UncheckedCase{"static pool unread", "staticIP=error:genErr@get",
                                    "Reject: The IP cannot be checked against the Static DHCP Server IP: the "
                                    "static pool could not be read."}),
    CaseName());

TEST_F(LanCfg, UnchangedAddressIsNeitherProbedNorWalked)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    CountdownsSeen watch;
    type(form->ED_DefGw, "127.0.0.254");
    click(form->BT_LanCfgOk);
    EXPECT_TRUE(prober->probed.empty());
    EXPECT_EQ(requestsNaming("staticIP", "getnext"), 0);
    ASSERT_EQ(watch.seen().size(), 1u);
    EXPECT_EQ(watch.seen()[0].Countdown, 5);
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, kWaitMs));
    expectSets({"hGetIPFrom=1 hIPAddress=127.0.0.1 hSubnetMask=255.0.0.0 hDefaultGateway=127.0.0.254",
                "upgradesettingcommand=4"});
}

// The set restarts the device; the countdown adds no restart of its own (the short restart
// silence lets the device answer one).
TEST_F(LanCfg, DhcpClientTurningStaticRestartsOnceWithTheSet)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1", "--profile",
                 writeProfile("set hGetIPFrom 2\n")});
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    form->CB_IPFrom->SetItemIndex(0);
    CountdownsSeen watch;
    applyStatic(form, "192.168.0.60");
    ASSERT_EQ(watch.seen().size(), 2u);
    EXPECT_EQ(watch.seen()[1].Countdown, 26);
    EXPECT_EQ(watch.seen()[1].Label2, "The device is restarting.");
    EXPECT_EQ(watch.seen()[1].Label3, "The system IP will be 192.168.0.60");
    pump(300);
    expectSets({kNewStaticSet + " sysRestart=1"});
}

// A failed read leaves no address source to apply: Apply says so and sends nothing.
TEST_F(LanCfg, ApplyAfterAFailedReadSaysWhy)
{
    startDevice({"--fault", "hGetIPFrom=absent"});
    auto form = openForm(FM_LanCfg);
    EXPECT_NE(form->StatusBar->SimpleText().find("(SNMP)"), std::string::npos);
    click(form->BT_LanCfgOk);
    EXPECT_EQ(form->StatusBar->SimpleText(), "Not read, so not written: LAN.");
    expectNoSet();
}

TEST_F(LanCfg, DhcpWritesOnlyTheAddressSource)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto form = openForm(FM_LanCfg);
    form->CB_IPFrom->SetItemIndex(1);
    expectBox("Device will reboot,continue?", "Warning", IDCANCEL);
    click(form->BT_LanCfgOk);
    expectNoSet();
    expectBox("Device will reboot,continue?", "Warning", IDOK);
    click(form->BT_LanCfgOk);
    EXPECT_EQ(form->StatusBar->SimpleText(), "Set Success!");
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, kWaitMs));
    expectSets({"hGetIPFrom=2", "upgradesettingcommand=4"}); // sysRestart is not written back
}

// A set the device leaves unanswered is told as such (it may still take it): no countdown.
struct UnansweredCase {
    const char *what;
    bool toDhcp;       // the address source switched to DHCP, else the gateway changed
    const char *begin; // the status, which then tells the time of the library's log line
    const char *end;
};

class LanCfgUnanswered : public LanCfg, public ::testing::WithParamInterface<UnansweredCase> {};

TEST_P(LanCfgUnanswered, SaysTheDeviceMayStillTakeIt)
{
    startDevice({"--profile", "nodeferred", "--fault", "hGetIPFrom=drop@set"});
    auto form = openForm(FM_LanCfg);
    ASSERT_TRUE(pumpUntil([&] { return form->DynamicPoolReq->WasRead(); }, kWaitMs));
    form->LanReq->Request.Timeout = 20;
    CountdownsSeen watch;
    if (GetParam().toDhcp) {
        form->CB_IPFrom->SetItemIndex(1);
        expectBox("Device will reboot,continue?", "Warning", IDOK);
    } else {
        type(form->ED_DefGw, "127.0.0.254");
    }
    click(form->BT_LanCfgOk); // synchronous: over when the click returns
    const std::string status = form->StatusBar->SimpleText(), begin = GetParam().begin, end = GetParam().end;
    EXPECT_EQ(status.substr(0, begin.size()), begin) << status;
    EXPECT_EQ(status.size() >= end.size() ? status.substr(status.size() - end.size()) : status, end);
    EXPECT_TRUE(watch.seen().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sets, LanCfgUnanswered,
    ::testing::Values(UnansweredCase{"static", false,
                                     "Set Error! The device did not answer; it may still take the setting. "
                                     "Not answered: LAN.",
                                     ""},
                      UnansweredCase{
                          "dhcp", true, "Set: (SNMPClass) SNMP request timed out!. Receive at ",
                          " The device did not answer; it may still take the setting. Not answered: "
                          "LAN."}),
    CaseName());

TEST_F(LanCfg, InvalidFieldsAreEmptiedAndNothingIsSent)
{
    startDevice();
    auto form = openForm(FM_LanCfg);
    struct Case {
        TEdit *edit;
        const char *typed;
        const char *box;
    };
    const Case cases[] = {{form->ED_IpAddr, "192.168.0.255", "Please input valid IP Address."},
                          {form->ED_SubMask, "255.0.255.0", "Please input valid Subnet Mask."},
                          {form->ED_DefGw, "0.0.0.0", "Please input valid Gateway."}};
    for (const Case &c : cases) {
        type(form->ED_IpAddr, "192.168.0.60");
        type(form->ED_SubMask, "255.255.255.0");
        type(form->ED_DefGw, "192.168.0.1");
        type(c.edit, c.typed);
        expectBox(c.box, "Warning");
        click(form->BT_LanCfgOk);
        EXPECT_EQ(c.edit->Text(), "") << c.box;
    }
    EXPECT_TRUE(prober->probed.empty());
    expectNoSet();
}

TEST_F(LanCfg, Layout)
{
    startDevice();
    auto form = openForm(FM_LanCfg);
    checkLayout(form.get(), "TFM_LanCfg");
}

// Status \ Configuration against the simulated access point (Save and Active, Discard
// Changes) and the main window's shut-down, also with a device that does not answer.
#include "SaveActivate.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "MainWindowSupport.h"
#include "RunningClock.h"
#include "Waiting.h"

#include <sstream>

using namespace mainwintest;

namespace {

// The lines of devsim's write log that are set requests.
std::vector<std::string> setLines(const devsimtest::Devsim &sim)
{
    std::vector<std::string> lines;
    std::istringstream in(sim.readFile("writes.log"));
    for (std::string line; std::getline(in, line);)
        if (line.find(" set ") != std::string::npos)
            lines.push_back(line);
    return lines;
}

bool anyLineHas(const std::vector<std::string> &lines, const std::string &text)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string &l) { return l.find(text) != std::string::npos; });
}

// What happens while the countdown window is shown (seen from inside its modal loop).
struct CountdownWatch {
    int highest = -1;
    bool timerOnWhileShown = false;
    bool shown = false;
    kv::Timer poll;
    explicit CountdownWatch(TMainForm &form)
    {
        poll.onTimeout = [this, &form] {
            if (gWaitingForm != nullptr && gWaitingForm->Modal()) {
                shown = true;
                highest = std::max(highest, static_cast<int>(gWaitingForm->Countdown));
                timerOnWhileShown = timerOnWhileShown || form.Timer1->Enabled();
            }
        };
        poll.start(1);
    }
};

struct CountdownCase {
    const char *name;
    std::vector<std::string> devsimArgs;
    int apModeIndex;
    int ticks;
};

class SaveAndActive : public ::testing::TestWithParam<CountdownCase> {};

} // namespace

TEST_P(SaveAndActive, ShowsTheCountdownAfterTheCompletionAndSendsNoReboot)
{
    const CountdownCase &c = GetParam();
    kv::ScopedClock clock(std::make_shared<FastClock>(40));
    Started s(c.devsimArgs);
    ASSERT_TRUE(s.ready());
    TMainForm &f = *s.form;
    ASSERT_TRUE(gSaveActivateSupported);
    ASSERT_TRUE(pumpUntil([&] { return f.ED_APModeComboBox->ItemIndex() == c.apModeIndex; }, 5000));

    CountdownWatch watch(f);
    f.MenuItems.cfgSave1->Click();
    EXPECT_TRUE(gSaveActivatePending);
    EXPECT_FALSE(f.Timer1->Enabled());
    ASSERT_TRUE(pumpUntil([&] { return watch.shown && !f.ActivationCountdownActive; }, 10000));

    EXPECT_EQ(watch.highest, c.ticks);
    EXPECT_FALSE(watch.timerOnWhileShown);
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_FALSE(gSaveActivatePending);
    ASSERT_NE(gWaitingForm, nullptr);
    EXPECT_EQ(gWaitingForm->Countdown, 0);
    EXPECT_EQ(gWaitingForm->RebootsSent(), 0);
    pump(200);
    const auto lines = setLines(*s.sim);
    EXPECT_TRUE(anyLineHas(lines, "cSaveActivate=1")) << s.sim->readFile("writes.log");
    EXPECT_FALSE(anyLineHas(lines, "cDiscardChanges"));
    EXPECT_FALSE(anyLineHas(lines, "upgradesettingcommand"));
    EXPECT_TRUE(kv::MessageBoxService::instance().calls().empty());
}

INSTANTIATE_TEST_SUITE_P(APModes, SaveAndActive,
                         ::testing::Values(CountdownCase{"FirstMode", {}, 0, 26},
                                           CountdownCase{"BridgeMode", {"--profile", "bridge"}, 1, 46}),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(SaveActivate, RejectedSetShowsTheMessageAndResumesTheTimer)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({"--fault", "cSaveActivate=error:genErr@set"});
    ASSERT_TRUE(s.ready());
    TMainForm &f = *s.form;
    ASSERT_TRUE(gSaveActivateSupported);
    f.MenuItems.cfgSave1->Click();
    auto &boxes = kv::MessageBoxService::instance();
    ASSERT_TRUE(pumpUntil([&] { return !boxes.calls().empty(); }, 5000));
    EXPECT_EQ(boxes.lastCall()->text, "(SNMP) Cannot perform operation, General Error!");
    EXPECT_EQ(boxes.lastCall()->caption, "Warning");
    EXPECT_EQ(gWaitingForm, nullptr);
    EXPECT_FALSE(gSaveActivatePending);
    EXPECT_TRUE(f.Timer1->Enabled());
}

TEST(SaveActivate, DiscardAnsweredWithCancelSendsNothing)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({});
    ASSERT_TRUE(s.ready());
    auto &boxes = kv::MessageBoxService::instance();
    boxes.setNextAnswer(IDCANCEL);
    s.form->MenuItems.cfgDiscard1->Click();
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(boxes.calls()[0].text, "All of your changes will be discarded! continue?");
    EXPECT_EQ(boxes.calls()[0].caption, "Warning");
    EXPECT_EQ(boxes.calls()[0].flags & 0x0Fu, static_cast<unsigned>(MB_OKCANCEL));
    pump(500);
    const auto lines = setLines(*s.sim);
    EXPECT_FALSE(anyLineHas(lines, "cDiscardChanges"));
    EXPECT_FALSE(anyLineHas(lines, "cSaveActivate"));
}

TEST(SaveActivate, DiscardConfirmedSendsDiscardAloneAndNoCountdown)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({});
    ASSERT_TRUE(s.ready());
    TMainForm &f = *s.form;
    kv::MessageBoxService::instance().setNextAnswer(IDOK);
    f.MenuItems.cfgDiscard1->Click();
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_FALSE(gSaveActivatePending);
    ASSERT_TRUE(pumpUntil([&] { return anyLineHas(setLines(*s.sim), "cDiscardChanges=1"); }, 5000));
    pump(300);
    for (const std::string &line : setLines(*s.sim))
        EXPECT_EQ(line.find("cSaveActivate"), std::string::npos) << line;
    EXPECT_EQ(gWaitingForm, nullptr);
    EXPECT_EQ(kv::MessageBoxService::instance().calls().size(), 1u);
}

TEST(SaveActivate, FailureWhileSendingRestoresTimerAndPendingFlag)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({});
    ASSERT_TRUE(s.ready());
    TMainForm &f = *s.form;
    KvSNMPRequest2Edits *b = f.Probe->Binding(21);
    ASSERT_NE(b, nullptr);
    b->Request.VarList.Type = static_cast<KvSNMPItemType>(9); // refused before anything is sent
    f.MenuItems.cfgSave1->Click();
    auto &boxes = kv::MessageBoxService::instance();
    ASSERT_EQ(boxes.calls().size(), 1u); // the framework's exception box
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_FALSE(gSaveActivatePending);
    b->Request.VarList.Type = SVT_SV;
}

TEST(SaveActivate, ConfigurationMenuHiddenWithoutDeferredSaving)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({"--profile", "nodeferred"});
    ASSERT_TRUE(s.ready());
    EXPECT_FALSE(gSaveActivateSupported);
    EXPECT_FALSE(s.form->MenuItems.Configration1->Visible());
}

TEST(ShutDown, ClosingWithADeadDeviceEndsWithinAboutSixSeconds)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({});
    ASSERT_TRUE(s.ready());
    TMainForm &f = *s.form;
    s.sim->process().pause();
    // Several requests out at once, each of which would keep its own destructor waiting.
    for (int row : {1, 2, 3, 4}) {
        KvSNMPRequest2Edits *b = f.Probe->Binding(row);
        ASSERT_NE(b, nullptr);
        b->Request.Timeout = 3000;
        b->Get();
    }
    pump(100);
    RunningMockClock mock;
    const std::int64_t start = mock.clock->monotonicMs();
    f.Close();
    const std::int64_t took = mock.clock->monotonicMs() - start;
    s.sim->process().resume();
    // One common wait for the silent device, and none of each request's own after it.
    EXPECT_GE(took, 6000);
    EXPECT_LT(took, 12000);
    EXPECT_TRUE(f.ShuttingDown);
    EXPECT_FALSE(f.Timer1->Enabled());
    EXPECT_FALSE(f.LedStatus->Enabled());
    EXPECT_FALSE(f.LedBlink->Enabled());
    EXPECT_EQ(f.Probe, nullptr);
    EXPECT_EQ(f.SysDescrReq, nullptr);
    EXPECT_EQ(f.LedStatusReq, nullptr);
    EXPECT_EQ(f.ClientInfoReq, nullptr);
}

TEST(ShutDown, CompletionsAfterTheStartAreIgnored)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({});
    ASSERT_TRUE(s.ready());
    TMainForm &f = *s.form;
    gSaveActivatePending = true;
    f.ShutDown();
    KvSNMPError ok;
    f.SaveActivateDone(nullptr, &ok);
    pump(100);
    EXPECT_EQ(gWaitingForm, nullptr);
    EXPECT_FALSE(f.Timer1->Enabled());
    gSaveActivatePending = false;
}

TEST(ShutDown, StopRequestsWithinGivesUpAfterTheCommonWait)
{
    RunningMockClock mock;
    KvSNMPRequest a;
    KvSNMPRequest b;
    a.Outstanding = 1; // never answered
    const std::int64_t start = mock.clock->monotonicMs();
    StopRequestsWithin({&a, nullptr, &b}, kShutdownWaitMs);
    const std::int64_t took = mock.clock->monotonicMs() - start;
    EXPECT_GE(took, kShutdownWaitMs);
    EXPECT_LT(took, kShutdownWaitMs + 1000);
    EXPECT_EQ(a.Alive, 0);
    EXPECT_EQ(b.Alive, 0);
    EXPECT_EQ(a.Outstanding, 0);
}

TEST(SaveActivate, CountdownTicksByAPMode)
{
    EXPECT_EQ(ActivationCountdownTicks(0), 26);
    EXPECT_EQ(ActivationCountdownTicks(1), 46);
    EXPECT_EQ(ActivationCountdownTicks(6), 46);
    EXPECT_EQ(ActivationCountdownTicks(-1), 46); // no mode selected reads as not the first
}

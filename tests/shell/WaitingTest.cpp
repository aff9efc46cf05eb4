// The restart countdown against the simulated access point: its ticks, its close rule and
// the one restart command it may send.
#include "MainWindowSupport.h"

#include "KvSNMPRequest.h"
#include "Waiting.h"

using namespace mainwintest;

namespace {

int countOf(const std::string &text, const std::string &what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class Countdown : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.ok());
        static const std::string dir = kvtest::makeTempDir("kv-waiting-session-");
        KvSNMPCreateGlobalSession(dir);
        gKvSNMPDefaultDevice.Address = "127.0.0.1";
        gKvSNMPDefaultDevice.Port = static_cast<uint16_t>(sim.port());
        gKvSNMPDefaultSecurity.Version = 1;
        gKvSNMPDefaultSecurity.ReadCommunity = "public";
        gKvSNMPDefaultSecurity.WriteCommunity = "private";
        gSaveActivateSupported = false;
        app = std::make_unique<TApplication>();
    }
    void TearDown() override
    {
        app.reset();
        gSaveActivateSupported = false;
    }

    // Shows w modally and records La_Time after every tick, and the tick of the restart.
    void run(TFM_Waiting *w)
    {
        auto tick = w->Timer1->OnTimer;
        w->Timer1->OnTimer = [this, w, tick](TObject *s) {
            tick(s);
            ++ticks;
            shown.push_back(w->La_Time->Text());
            if (w->RebootsSent() == 1 && rebootTick == 0)
                rebootTick = ticks;
        };
        w->ShowModal();
    }

    int reboots() { return countOf(sim.readFile("writes.log"), "upgradesettingcommand=4"); }

    kv::ScopedClock clock{std::make_shared<FastClock>(20)};
    devsimtest::Devsim sim{{"--profile", "nodeferred", "--reboot-silence", "0.1"}};
    std::unique_ptr<TApplication> app;
    int ticks = 0;
    int rebootTick = 0;
    std::vector<std::string> shown;
};

} // namespace

TEST_F(Countdown, DefaultsCountFrom25ToZeroAndRebootOnceAtTheSecondTick)
{
    auto *w = new TFM_Waiting(app.get());
    FM_Waiting = w;
    w->DoCreate();
    EXPECT_EQ(w->Text(), "Please wait");
    EXPECT_EQ(w->La_Time->Text(), "");
    EXPECT_EQ(w->Countdown, 26);
    run(w);
    ASSERT_EQ(shown.size(), 26u);
    EXPECT_EQ(shown.front(), "25");
    EXPECT_EQ(shown.back(), "0");
    EXPECT_EQ(rebootTick, 2);
    EXPECT_EQ(w->RebootsSent(), 1);
    EXPECT_FALSE(w->RebootPending);
    EXPECT_TRUE(pumpUntil([&] { return reboots() == 1; }, 5000)) << sim.readFile("writes.log");
    EXPECT_TRUE(pumpUntil([&] { return !w->RebootRequest; }, 5000));
    // Closed: the timer has stopped, so nothing more happens.
    EXPECT_FALSE(w->Timer1->Enabled());
    pump(300);
    EXPECT_EQ(ticks, 26);
    EXPECT_EQ(reboots(), 1);
    delete w;
    EXPECT_EQ(FM_Waiting, nullptr);
}

TEST_F(Countdown, RefusesToCloseWhileCounting)
{
    auto *w = new TFM_Waiting(app.get());
    w->DoCreate();
    bool canClose = true;
    w->FormCloseQuery(w, canClose);
    EXPECT_FALSE(canClose);
    w->Countdown = 0;
    w->FormCloseQuery(w, canClose);
    EXPECT_TRUE(canClose);
    delete w;
}

TEST_F(Countdown, NoRebootWhenTheCallerSaysSo)
{
    auto *w = new TFM_Waiting(app.get());
    w->DoCreate();
    w->Countdown = 4;
    w->SendReboot = false;
    run(w);
    EXPECT_EQ(ticks, 4);
    EXPECT_FALSE(w->RebootPending);
    EXPECT_EQ(w->RebootsSent(), 0);
    pump(300);
    EXPECT_EQ(reboots(), 0);
    delete w;
}

TEST_F(Countdown, NoRebootWhenTheDeviceKeepsChangesPending)
{
    gSaveActivateSupported = true;
    auto *w = new TFM_Waiting(app.get());
    w->DoCreate();
    w->Countdown = 4;
    run(w);
    EXPECT_EQ(shown.back(), "0");
    EXPECT_TRUE(w->RebootPending);
    EXPECT_EQ(w->RebootsSent(), 0);
    pump(300);
    EXPECT_EQ(reboots(), 0);
    delete w;
}

TEST_F(Countdown, DelayLongerThanTheCountMeansNoRebootAfterClosing)
{
    auto *w = new TFM_Waiting(app.get());
    w->DoCreate();
    w->Countdown = 20;
    w->RebootDelay = 22;
    run(w);
    EXPECT_EQ(ticks, 20);
    pump(600); // well past where tick 22 would have been
    EXPECT_EQ(ticks, 20);
    EXPECT_EQ(w->RebootsSent(), 0);
    EXPECT_EQ(reboots(), 0);
    delete w;
}

TEST_F(Countdown, EndingTheWaitEarlyClosesOnTheNextTick)
{
    auto *w = new TFM_Waiting(app.get());
    w->DoCreate();
    w->SendReboot = false;
    auto tick = w->Timer1->OnTimer;
    w->Timer1->OnTimer = [&, w, tick](TObject *s) {
        tick(s);
        ++ticks;
        if (ticks == 3)
            w->Countdown = 1;
        shown.push_back(w->La_Time->Text());
    };
    w->ShowModal();
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(shown.back(), "0");
    delete w;
}

TEST_F(Countdown, CountOfOneClosesAtTheFirstTickWithoutReboot)
{
    auto *w = new TFM_Waiting(app.get());
    w->DoCreate();
    w->Countdown = 1;
    run(w);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(shown.back(), "0");
    pump(300);
    EXPECT_EQ(w->RebootsSent(), 0);
    EXPECT_EQ(reboots(), 0);
    delete w;
}

TEST_F(Countdown, ClosingEnablesTheMainWindow)
{
    // The window alone, without its start-up.
    auto *main = new TMainForm(app.get());
    MainForm = main;
    main->SetEnabled(false);
    auto *w = new TFM_Waiting(app.get());
    w->DoCreate();
    w->Countdown = 2;
    w->SendReboot = false;
    run(w);
    EXPECT_TRUE(main->Enabled());
    delete w;
    delete main;
    EXPECT_EQ(MainForm, nullptr);
}

// The System form against the simulated device: restart and factory reset, each a write of
// the device's command objects followed by a countdown without a restart command of its own.
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "TFM_Sytem.h"
#include "TestEnv.h"

using namespace formtest;

namespace {

const char *const kQuestion = "Device will reboot, continue?";

class Sytem : public FormTest {
protected:
    // A device that is silent only briefly after a restart.
    void start(std::vector<std::string> args = {})
    {
        args.insert(args.end(), {"--profile", "nodeferred", "--reboot-silence", "0.1"});
        startDevice(args);
    }
};

} // namespace

TEST_F(Sytem, OpensFromTheMenuAndReadsTheAPMode)
{
    start();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.tools2->Click();
    EXPECT_TRUE(menu.tSystem2->Enabled());
    std::string caption, mode;
    EXPECT_TRUE(openFromMenu<TFM_Sytem>(menu.tSystem2, [&](TFM_Sytem &f) {
        caption = f.Text();
        mode = f.ED_APModeComboBox->Text();
        EXPECT_TRUE(WaitUntilClosable(f));
    }));
    EXPECT_EQ(caption, "Tools \\ System");
    EXPECT_EQ(mode, "Access Point");
    expectNoSet();
}

struct RestartCase {
    const char *what;
    std::vector<std::string> args;
    bool restore;
    const char *set;
    int countdown;
    const char *caption;
    const char *label3;
};

class SytemRestart : public Sytem, public ::testing::WithParamInterface<RestartCase> {};

TEST_P(SytemRestart, WritesTheCommandsAndCountsDown)
{
    const RestartCase &c = GetParam();
    start(c.args);
    auto form = openForm(FM_Sytem);
    CountdownsSeen watch;
    expectBox(kQuestion, "Warning", IDOK);
    click(c.restore ? form->Button2 : form->Button1);
    ASSERT_EQ(watch.seen().size(), 1u) << c.what;
    const CountdownsSeen::Seen &w = watch.seen()[0];
    EXPECT_EQ(w.Countdown, c.countdown) << c.what;
    EXPECT_LE(w.Lowest, 1) << c.what; // ran its full count
    EXPECT_FALSE(w.SendReboot);
    EXPECT_EQ(w.Caption, c.caption);
    EXPECT_EQ(w.Label3, c.label3);
    EXPECT_TRUE(pumpUntil([&] { return !form->RestartReq->Busy; }, kWaitMs));
    expectSets({c.set}); // no restart command of the countdown's own
}

// The factory object reads "True" here: written back as read it would reset the device.
const std::vector<std::string> kFactoryReadsTrue = {"--profile", "factorytrue"};

INSTANTIATE_TEST_SUITE_P(Cases, SytemRestart,
                         ::testing::Values(RestartCase{"restart as access point",
                                                       {},
                                                       false,
                                                       "sysRestart=1",
                                                       26,
                                                       "System is rebooting, please waiting.....",
                                                       "The device is restarting."},
                                           RestartCase{"restart never writes the factory object",
                                                       kFactoryReadsTrue, false, "sysRestart=1", 26,
                                                       "System is rebooting, please waiting.....",
                                                       "The device is restarting."},
                                           RestartCase{"restore in a bridge mode",
                                                       {"--profile", "bridge"},
                                                       true,
                                                       "sysRestart=1 FactoryDefault=1",
                                                       46,
                                                       "System is rebooting, please waiting.....!",
                                                       "The system IP will be 192.168.0.50 !"},
                                           RestartCase{"AP mode unread",
                                                       {"--fault", "adAPMode=error:genErr@get"},
                                                       false,
                                                       "sysRestart=1",
                                                       46,
                                                       "System is rebooting, please waiting.....",
                                                       "The device is restarting."}),
                         CaseName());

TEST_F(Sytem, CancelChangesNothing)
{
    start();
    auto form = openForm(FM_Sytem);
    ASSERT_TRUE(pumpUntil([&] { return form->RestartReq->WasRead(); }, kWaitMs));
    expectBox(kQuestion, "Warning", IDCANCEL);
    click(form->Button2);
    expectBox(kQuestion, "Warning", IDCANCEL);
    click(form->Button1);
    EXPECT_EQ(form->CB_Restore->Text(), "False");
    expectBox(kQuestion, "Warning", IDOK);
    click(form->Button1);
    EXPECT_TRUE(pumpUntil([&] { return !form->RestartReq->Busy; }, kWaitMs));
    expectSets({"sysRestart=1"});
}

TEST_F(Sytem, ErrorAnswerEndsTheWaitAndShowsIt)
{
    start({"--fault", "sysRestart=error:genErr@set"});
    auto form = openForm(FM_Sytem);
    // Restart is pressed once the form's own read has ended, as a user sees the form filled.
    ASSERT_TRUE(pumpUntil([&] { return form->RestartReq->WasRead(); }, kWaitMs));
    CountdownsSeen watch;
    expectBox(kQuestion, "Warning", IDOK);
    click(form->Button1);
    ASSERT_EQ(watch.seen().size(), 1u);
    EXPECT_GT(watch.seen()[0].Lowest, 10); // closed long before its count ran out
    EXPECT_NE(form->StatusBar->SimpleText().find("General Error"), std::string::npos)
        << form->StatusBar->SimpleText();
    expectSets({"sysRestart=1 (genErr)"});
}

TEST_F(Sytem, CloseRefusedWhileTheWriteIsUnderWay)
{
    start();
    auto form = openForm(FM_Sytem);
    // A countdown (26 fast ticks) that outlasted the answer would see the write end.
    const int delayMs = delaySetsBeyond(
        "sysRestart", 1500,
        [&] {
            expectBox(kQuestion, "Warning", IDOK);
            click(form->Button1);
            ASSERT_TRUE(pumpUntil([&] { return !form->RestartReq->Busy; }, kWaitMs));
        },
        &form->RestartReq->Request);
    ASSERT_FALSE(HasFatalFailure());
    expectBox(kQuestion, "Warning", IDOK);
    click(form->Button1);
    ASSERT_TRUE(form->RestartReq->Busy);
    EXPECT_FALSE(canClose(*form));
    EXPECT_TRUE(pumpUntil([&] { return !form->RestartReq->Busy; }, delayMs + kWaitMs));
    EXPECT_TRUE(canClose(*form));
}

TEST_F(Sytem, Layout)
{
    start();
    auto form = openForm(FM_Sytem);
    checkLayout(form.get(), "TFM_Sytem");
}

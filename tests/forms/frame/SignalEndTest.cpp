// SIGTERM and SIGINT while a form shows a message box or a modal window: the module ends as
// the user's close ends it, within seconds, and a new start for the device may begin at once.
#include "FormFixture.h"
#include "Startup.h"
#include "StartupFlow.h"
#include "TFM_Sytem.h"
#include "Waiting.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <csignal>

using namespace formtest;

namespace {

using Steady = std::chrono::steady_clock;

struct SignalCase {
    const char *what;
    int signal;
    bool realBoxes; // boxes run loops of their own, as on a display; else they are scripted
    bool (*isOpen)();
};

bool messageBoxOpen()
{
    return dynamic_cast<QMessageBox *>(QApplication::activeModalWidget()) != nullptr;
}

bool countdownOpen()
{
    return FM_Waiting != nullptr && FM_Waiting->Modal();
}

class SignalEnd : public FormTest, public ::testing::WithParamInterface<SignalCase> {};

} // namespace

// Tools \ System from the menu, whose restart asks first and then counts down; once the case's
// window is open the signal comes.
TEST_P(SignalEnd, EndsWithinSecondsAndFreesTheDeviceAtOnce)
{
    const SignalCase &c = GetParam();
    // How long the end may wait is the subject: the requests' own time-outs.
    realTimeOuts();
    startDevice({"--profile", "nodeferred"});
    kv::MessageBoxService &boxes = kv::MessageBoxService::instance();
    struct PlatformBoxesAfter {
        ~PlatformBoxesAfter() { kv::MessageBoxService::instance().setInteractive(-1); }
    } restore;
    if (c.realBoxes) {
        boxes.hook = nullptr;
        boxes.setInteractive(1);
    } else {
        expectBox("Device will reboot, continue?", "Warning", IDOK);
    }
    bool asked = false;
    Steady::time_point chosen{}, opened{}, signalled{}, ticked{};
    // How late the event loop came round on this machine during the run: a time-out is noticed
    // as late.
    Steady::duration longestGap{};
    kv::Timer act;
    act.onTimeout = [&] {
        const Steady::time_point now = Steady::now();
        if (ticked != Steady::time_point{})
            longestGap = std::max(longestGap, now - ticked);
        ticked = now;
        if (!asked && FM_Sytem != nullptr && FM_Sytem->Modal()) {
            asked = true;
            opened = now;
            // From the event loop: this timer does not tick again while its handler runs.
            kv::postCall([] { FM_Sytem->Button1->Click(); });
        } else if (asked && signalled == Steady::time_point{} && c.isOpen()) {
            signalled = now;
            std::raise(c.signal);
        }
    };
    act.start(100);
    // A box the signal left open is closed after a while: the test fails instead of hanging.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    giveUp.start(10000);
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.tools2->Click();
    kv::postCall([&menu, &chosen] {
        chosen = Steady::now();
        menu.tSystem2->Click();
    });
    Application->Run();

    ASSERT_NE(signalled, Steady::time_point{}) << c.what << ": the signal never came";
    // A request still out to the restarting device may hold the end for its tries, no longer;
    // the rest is the work of a close, as long as opening the form took on this machine, and
    // the loop's lateness in noticing the last try's end.
    const std::chrono::milliseconds allTries(
        kv::Clock::instance().requestTimeoutMs(gKvSNMPDefaultTimeout * 10) * 2);
    EXPECT_LT(Steady::now() - signalled, allTries + 2 * (opened - chosen) + 2 * longestGap) << c.what;
    EXPECT_NE(InstanceLock::Acquire(InstanceLockPath("127.0.0.1")), nullptr) << c.what << ": still locked";
    if (c.realBoxes) {
        // The question closed by the end was refused: the device was not restarted.
        EXPECT_EQ(boxes.calls().back().answer, IDCANCEL);
        expectNoSet();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SignalEnd,
                         ::testing::Values(SignalCase{"a question open", SIGTERM, true, messageBoxOpen},
                                           SignalCase{"the countdown open", SIGINT, false, countdownOpen}));

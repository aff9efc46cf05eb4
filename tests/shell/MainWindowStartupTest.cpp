// The main window's start-up against devices that do not answer or change, and its end by a
// signal: shown at once, painted while it waits, closed as the user closes it.
#include "KvSNMPRequest.h"
#include "MainWindowSupport.h"
#include "PaintCounter.h"

#include <QWidget>

#include <csignal>

using namespace mainwintest;

namespace {

// What a test sees from inside the start-up, through timers that only fire while it handles
// events: a look at lookMs, then a close at closeMs.
struct StartupWatch {
    bool startingUp = false;
    bool visible = false;
    std::string status;
    int paints = 0;
    kvtest::PaintCounter counter;
    kv::Timer look;
    kv::Timer close;
    StartupWatch(int lookMs, int closeMs)
    {
        look.setSingleShot(true);
        look.onTimeout = [this] {
            if (!MainForm)
                return;
            startingUp = MainForm->StartingUp();
            visible = MainForm->Visible();
            status = MainForm->MainStatusBar->SimpleText();
            MainForm->Widget()->installEventFilter(&counter);
            MainForm->Widget()->update();
        };
        look.start(lookMs);
        close.setSingleShot(true);
        close.onTimeout = [this] {
            paints = counter.paints;
            if (MainForm)
                MainForm->Close();
        };
        close.start(closeMs);
    }
};

std::string v3Settings(int port)
{
    return "AgentPort=" + std::to_string(port) +
           "\nVersion=3\nSecurityModel=3\nSecurityLevel=2\nSecurityName=opal\nAuthProtocol=1\n"
           "PrivProtocol=1\nAuthPassword=opalauth123\nPrivPassword=opalpriv123\n";
}

} // namespace

TEST(MainWindowStartup, ShownAtOnceAndPaintedWhileASilentDeviceIsRead)
{
    HostFolders host;
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok()) << sim.why();
    sim.process().pause();
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    StartupWatch watch(300, 1500);
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    EXPECT_TRUE(watch.startingUp);
    EXPECT_TRUE(watch.visible);
    EXPECT_EQ(watch.status, "Waiting for the device 127.0.0.1 to answer...");
    EXPECT_GT(watch.paints, 0);
    // The close asked for meanwhile made the remaining reads give up and then closed.
    EXPECT_FALSE(m.form->StartingUp());
    EXPECT_TRUE(m.form->ShuttingDown);
    EXPECT_TRUE(m.app->Terminated());
}

TEST(MainWindowStartup, SnmpV3SwitchesOfAVersionOneCommandLineAreIgnored)
{
    // No settings file: the version stays SNMPv1, and "/t" with a bad port is not looked at.
    HostFolders host;
    StartupWatch watch(0, 200);
    Module m({"/I127.0.0.5", "/Rpublic", "/tabc"});
    EXPECT_NE(m.form->Outcome(), StartupOutcome::Refused);
    EXPECT_TRUE(watch.startingUp);
    EXPECT_EQ(m.form->AgentAddress, "127.0.0.5");
    EXPECT_EQ(gKvSNMPDefaultSecurity.Version, 0);
    EXPECT_EQ(gKvSNMPDefaultDevice.Port, 161);
}

TEST(MainWindowStartup, TerminationSignalClosesTheWindowAsTheUserDoes)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({});
    ASSERT_TRUE(s.ready());
    for (int signal : {SIGTERM, SIGINT}) {
        s.form->ShuttingDown = false;
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_TRUE(pumpUntil([&] { return s.form->ShuttingDown; }, 2000)) << signal;
        EXPECT_TRUE(s.module->app->Terminated());
        EXPECT_FALSE(s.form->LedStatus->Enabled());
    }
}

TEST(MainWindowStartup, UnwritableDataFolderNamesTheFile)
{
    HostFolders host;
    // The per-user data folder is a file: nothing can be made below it.
    writeText(host.root + "/datafile", "");
    setenv("XDG_DATA_HOME", (host.root + "/datafile").c_str(), 1);
    Module m({"/I127.0.0.1", "/Rpublic"});
    EXPECT_EQ(m.form->Outcome(), StartupOutcome::Failed);
    const kv::MessageBoxCall *box = kv::MessageBoxService::instance().lastCall();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text.rfind("(KvSNMP++) Error when saving SNMP engine boots counter! (" + host.root +
                                  "/datafile/qrn5290ap/127.0.0.1/KvSNMP_PP_BootCounter: ",
                              0),
              0u)
        << box->text;
}

TEST(MainWindowStartup, AddressLongerThanAHostNameIsRefusedAsAnAddress)
{
    HostFolders host;
    Module m({"/I" + std::string(300, 'a'), "/Rpublic"});
    EXPECT_EQ(m.form->Outcome(), StartupOutcome::Refused);
    const kv::MessageBoxCall *box = kv::MessageBoxService::instance().lastCall();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text,
              "The device address given with /I is not valid: it is longer than a host name can be "
              "(300 characters).");
}

TEST(MainWindowStartup, SnmpV3PollRecoversWithinSecondsFromADeviceWithANewEngineId)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    Started s({"--user", "opal:MD5:opalauth123:DES:opalpriv123"}, v3Settings);
    ASSERT_TRUE(s.ready());
    TMainForm &f = *s.form;
    devsimtest::Devsim &sim = *s.sim;
    ASSERT_TRUE(pumpUntil([&] { return f.LastStatusCode == 0 && !f.LastStatusText.empty(); }, 5000));
    // The device goes away: the poll fails.
    sim.stop();
    ASSERT_TRUE(pumpUntil([&] { return f.LastStatusCode != 0; }, 10000));
    // It comes back as a replaced unit.
    ASSERT_TRUE(sim.restart({"--engine-id", "replaced-unit"}));
    const std::int64_t back = kv::Clock::instance().monotonicMs();
    EXPECT_TRUE(pumpUntil([&] { return f.LastStatusCode == 0; }, 10000)) << f.LastStatusText;
    EXPECT_LT(kv::Clock::instance().monotonicMs() - back, 5000);
}

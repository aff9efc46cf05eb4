// The main window against the simulated access point: start-up with every SNMP version,
// the capability probe, the status poll and LEDs, the clock write and the one-instance rule.
#include "MainWindowSupport.h"

#include "FrontPanel.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "Snmp.h"
#include "Waiting.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <sstream>

using namespace mainwintest;

namespace {

std::string initialTextOf(const std::string &name)
{
    if (name == "Ed_FwVer")
        return "";
    if (name == "Ed_Rogue")
        return "ifRogueAPsupport";
    if (name == "Ed_spAccounting")
        return "Ed_spAcnt";
    return name;
}

struct VersionCase {
    const char *name;
    std::vector<std::string> devsimArgs;
    std::string settings; // after AgentPort
    std::vector<AnsiString> extraArgs;
    uint8_t version;
};

class MainWindowVersions : public ::testing::TestWithParam<VersionCase> {};

} // namespace

TEST_P(MainWindowVersions, StartsPollsAndProbes)
{
    const VersionCase &c = GetParam();
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim(c.devsimArgs);
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", "AgentPort=" + std::to_string(sim.port()) + "\n" + c.settings);
    std::vector<AnsiString> args = {"/I127.0.0.1", "/Rpublic", "/Wprivate"};
    args.insert(args.end(), c.extraArgs.begin(), c.extraArgs.end());
    Module m(args);

    EXPECT_EQ(m.form->Outcome(), StartupOutcome::Running);
    EXPECT_EQ(m.form->Text(), "QRN-5290AP : 127.0.0.1");
    EXPECT_EQ(gKvSNMPDefaultSecurity.Version, c.version);
    EXPECT_EQ(gKvSNMPDefaultDevice.Port, sim.port());
    EXPECT_TRUE(pumpUntil([&] { return m.probed(); }, 5000));
    EXPECT_TRUE(pumpUntil(
        [&] { return m.form->LastStatusText.rfind("Get: (KvSNMP++) Ok!. Receive at ", 0) == 0; }, 5000))
        << m.form->LastStatusText;
    EXPECT_EQ(m.form->MainStatusBar->SimpleText(), m.form->LastStatusText);
    EXPECT_TRUE(gSaveActivateSupported);
    EXPECT_TRUE(m.form->Configration1->Visible());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, MainWindowVersions,
    ::testing::Values(
        VersionCase{
            "v1", {}, "Version=0\nSecurityModel=1\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n", {}, 0},
        VersionCase{"v2c",
                    {},
                    "Version=1\nSecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n",
                    {},
                    1},
        VersionCase{"v2cBySwitch",
                    {},
                    "Version=0\nSecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n",
                    {"/v2"},
                    1},
        VersionCase{"v3",
                    {"--user", "opal:MD5:opalauth123:DES:opalpriv123"},
                    "Version=3\nSecurityModel=3\nSecurityLevel=2\nSecurityName=opal\nAuthProtocol=1\n"
                    "PrivProtocol=1\nAuthPassword=opalauth123\nPrivPassword=opalpriv123\n",
                    {},
                    3}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(MainWindow, ProbeFillsEveryCapabilityControlFromItsObject)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim({"--profile", devsimProfile("probe-values.cat")});
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_TRUE(pumpUntil([&] { return m.probed() && f.Ed_LinkStatusNotSupport->Text() == "25"; }, 5000));

    // Each control with the value of the object the probe binds to it; the name swaps are
    // deliberate (the forms read the controls as they are).
    const std::vector<std::pair<TControl *, std::string>> expected = {
        {f.Ed_FwVer, "v2.00.15"},
        {f.Ed_Countrycode, "EU"},
        {f.ED_Turbomode, "2"},
        {f.APModeSupport, "77"},
        {f.ifMultiSSID_Edit, "5"},
        {f.Ed_Rogue, "6"},
        {f.IPAddressEdit, "127.0.0.1"},
        {f.SubMaskEdit, "255.255.0.0"},
        {f.NewMultiSupport, "8"},
        {f.SyslogSupport, "9"},
        {f.Ed_ClientAddSSID, "10"},
        {f.Ed_KeyTypeSup, "11"},
        {f.Ed_spWDSSite, "12"},
        {f.Ed_spSNTP, "13"},       // accounting
        {f.Ed_spAccounting, "14"}, // sntp
        {f.ApmodeStringChangeSupport, "15"},
        {f.Ed_SpSmtp, "16"},
        {f.Ed_Suppress, "17"},
        {f.Ed_WMM, "18"},
        {f.Ed_Grouping, "19"},
        {f.Ed_ManagerIP, "19"}, // groupingsupported too
        {f.CB_Active, "Nothing"},
        {f.CB_Discard, "Nothing"},
        {f.Ed_WDSInfoNotSupport, "22"},
        {f.Ed_SSLSupport, "23"},
        {f.Ed_PacketStatNotSupport, "24"},
        {f.Ed_LinkStatusNotSupport, "25"},
        {f.ED_APModeComboBox, "ptpBridge"},
        {f.mssidAndWdssupport, "27"},
        {f.Ed_Sntpmethod, "Ed_Sntpmethod"}, // bound, never read
        {f.Ed_DyvlanSupport, "30"},
        {f.Ed_wmmOverWDSSupported, "31"},
        {f.Ed_prioritybySSIDSupported, "32"},
        {f.Ed_ipRangeSupported, "33"},
        {f.CB_IPStatusSupport, "Enable"},
        {f.Ed_SysIpaddress, "127.0.0.1"},
    };
    for (const auto &[control, value] : expected)
        EXPECT_EQ(control->Text(), value) << control->Name();
    EXPECT_EQ(f.ED_APModeComboBox->ItemIndex(), 1);
    EXPECT_EQ(f.Probe->ControlsOf(7).size(), 2u);
    EXPECT_EQ(CapabilityRows().size(), 35u);
}

TEST(MainWindow, ClockWrittenInTheDevicesFormForDatesAfter2012)
{
    auto fast = std::make_shared<FastClock>(10);
    std::tm when{};
    when.tm_year = 2031 - 1900;
    when.tm_mon = 6;
    when.tm_mday = 4;
    when.tm_hour = 13;
    when.tm_min = 5;
    when.tm_sec = 9;
    when.tm_isdst = -1;
    fast->setWallTime(std::mktime(&when));
    kv::ScopedClock clock(fast);
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    ASSERT_EQ(m.form->Outcome(), StartupOutcome::Running);
    EXPECT_EQ(m.form->Ed_Datetime->Text(), "2031:07:04:13:05:09");
    EXPECT_NE(sim.readFile("writes.log").find("sntptimerefresh=\"2031:07:04:13:05:09\""), std::string::npos)
        << sim.readFile("writes.log");
    // The rows read after the clock write were read too.
    EXPECT_EQ(m.form->Ed_ipRangeSupported->Text(), "0");
}

TEST(MainWindow, GoodPollWithLedsEnabledHidesAlarmAndBlinks)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_TRUE(pumpUntil([&] { return f.CB_LedStatus->Text() == "Enabled"; }, 5000));
    ASSERT_TRUE(pumpUntil([&] { return !f.Image2->Visible(); }, 5000));
    EXPECT_FALSE(f.LED_Power->Visible());
    // One burst, step by step: LAN toggles on every step, WLAN on steps 0, 4, ..., 96.
    f.LedStatus->SetEnabled(false);
    f.Timer1->SetEnabled(false);
    f.LedBlink->SetEnabled(false);
    f.ShowPanelAtRest();
    int lanChanges = 0;
    int wlanChanges = 0;
    for (int step = 0; step < 100; ++step) {
        const bool lan = f.LED_Lan->Visible();
        const bool wlan = f.LED_WLan->Visible();
        f.LedBlinkTimer(f.LedBlink);
        lanChanges += f.LED_Lan->Visible() != lan;
        wlanChanges += f.LED_WLan->Visible() != wlan;
        EXPECT_FALSE(f.LED_Power->Visible());
        EXPECT_EQ(f.LedBlink->Enabled(), step < 99) << step;
    }
    EXPECT_EQ(lanChanges, 100);
    EXPECT_EQ(wlanChanges, 25);
    EXPECT_TRUE(f.LED_Lan->Visible());
    EXPECT_FALSE(f.LED_WLan->Visible());
    const std::string &text = f.LastStatusText;
    EXPECT_EQ(text.rfind("Get: (KvSNMP++) Ok!. Receive at ", 0), 0u) << text;
    EXPECT_TRUE(text.size() > 4 &&
                (text.substr(text.size() - 3) == "AM." || text.substr(text.size() - 3) == "PM."))
        << text;
}

namespace {

// The module with its timers stopped and its panel as it is right after the window opened.
struct PanelAtRest {
    kv::ScopedClock clock{std::make_shared<FastClock>(10)};
    Started started{std::vector<std::string>{}};
    TMainForm &f = *started.form;
    PanelAtRest()
    {
        EXPECT_TRUE(started.ready());
        f.LedStatus->SetEnabled(false);
        f.Timer1->SetEnabled(false);
        f.LedBlink->SetEnabled(false);
        f.ShowPanelAtRest();
    }
};

// What a plain Qt window shows at a picture's place: the panel with the picture over it when
// shown, the panel alone when hidden.
QImage plainQtPixels(const TImage &panel, const TImage &picture, const char *name, bool shown)
{
    QWidget window;
    window.resize(panel.Left() + panel.Width(), panel.Top() + panel.Height());
    auto *back = new QLabel(&window);
    back->setPixmap(QPixmap::fromImage(ShellPicture("front-panel.jpg")));
    back->setGeometry(panel.Left(), panel.Top(), panel.Width(), panel.Height());
    auto *front = new QLabel(&window);
    front->setPixmap(QPixmap::fromImage(ShellPicture(name)));
    front->setGeometry(picture.Widget()->geometry());
    front->setVisible(shown);
    return window.grab(picture.Widget()->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage windowPixels(const TImage &picture)
{
    const QWidget *w = picture.Widget();
    return w->parentWidget()->grab(w->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Counts the paints of a widget and the showing and hiding of it.
struct PaintCounter : QObject {
    int paints = 0;
    int showsAndHides = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        showsAndHides += e->type() == QEvent::Show || e->type() == QEvent::Hide ? 1 : 0;
        return false;
    }
};

} // namespace

TEST(MainWindow, LedPixelsFollowTheBlinkRuleWithTheirOwnPictures)
{
    PanelAtRest p;
    TMainForm &f = p.f;
    struct Led {
        TImage *picture;
        const char *name;
        QImage lit, dark;
    };
    std::vector<Led> leds = {{f.LED_Lan, "led-lan.png", {}, {}},
                             {f.LED_WLan, "led-wlan.png", {}, {}},
                             {f.LED_Power, "led-power.png", {}, {}}};
    for (Led &led : leds) {
        led.lit = plainQtPixels(*f.Image1, *led.picture, led.name, true);
        led.dark = plainQtPixels(*f.Image1, *led.picture, led.name, false);
        ASSERT_NE(led.lit, led.dark) << led.name;
        EXPECT_EQ(windowPixels(*led.picture), led.lit) << led.name;
    }
    // LAN toggles on every step, WLAN on steps 0, 4, ..., 96, the power LED goes dark.
    bool lan = true;
    bool wlan = true;
    for (int step = 0; step < 100; ++step) {
        f.LedBlinkTimer(f.LedBlink);
        lan = !lan;
        wlan = step % 4 == 0 ? !wlan : wlan;
        const bool expected[] = {lan, wlan, false};
        for (std::size_t i = 0; i < leds.size(); ++i) {
            EXPECT_EQ(leds[i].picture->Visible(), expected[i]) << leds[i].name << " step " << step;
            EXPECT_EQ(windowPixels(*leds[i].picture), expected[i] ? leds[i].lit : leds[i].dark)
                << leds[i].name << " step " << step;
        }
    }
}

TEST(MainWindow, ABlinkStepRepaintsOnlyTheLed)
{
    PanelAtRest p;
    TMainForm &f = p.f;
    pump(100);
    PaintCounter panel, lan;
    f.Image1->Widget()->installEventFilter(&panel);
    f.LED_Lan->Widget()->installEventFilter(&lan);
    // Each step is painted before the next (by the LED, or by the panel beneath it).
    for (int step = 0; step < 20; ++step) {
        const int before = lan.paints + panel.paints;
        f.LedBlinkTimer(f.LedBlink);
        ASSERT_TRUE(pumpUntil([&] { return lan.paints + panel.paints > before; }, 2000)) << step;
    }
    EXPECT_EQ(panel.paints, 0);
    EXPECT_EQ(lan.paints, 20);
    EXPECT_EQ(lan.showsAndHides, 0);
}

TEST(MainWindow, PollAndCapabilityReReadDueTogetherRunInOneTick)
{
    PanelAtRest p;
    TMainForm &f = p.f;
    pump(100);
    // Whichever of the two timers ticks runs the other when that one is due within 20 ms
    // (on this fast clock, 2 ms); the other is left alone when it is due later.
    for (const int otherInMs : {1, 2000}) {
        SCOPED_TRACE(otherInMs);
        const uint64_t rereads = f.Probe->RereadsStarted();
        f.LedStatus->SetInterval(otherInMs);
        f.LedStatus->SetEnabled(true);
        f.Timer1Timer(f.Timer1);
        EXPECT_GT(f.Probe->RereadsStarted(), rereads);
        EXPECT_EQ(f.LedStatus->Enabled(), otherInMs > 1) << "a poll that starts switches its timer off";
        f.LedStatus->SetEnabled(false);
        f.LedStatus->SetInterval(2000);
        pump(50);

        const uint64_t before = f.Probe->RereadsStarted();
        f.Timer1->SetInterval(otherInMs);
        f.Timer1->SetEnabled(true);
        f.LedStatusTimer(f.LedStatus);
        EXPECT_EQ(f.Probe->RereadsStarted() > before, otherInMs == 1);
        f.Timer1->SetEnabled(false);
        f.Timer1->SetInterval(2000);
        pump(50);
    }
}

TEST(MainWindow, GoodPollWithLedsDisabledKeepsAlarm)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    const std::string profile = kvtest::makeTempDir("kv-led-") + "/leds-off.cat";
    writeText(profile, "set admLedStatus 0\n");
    devsimtest::Devsim sim({"--profile", profile});
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_TRUE(pumpUntil([&] { return f.CB_LedStatus->Text() == "Disabled"; }, 5000));
    ASSERT_TRUE(pumpUntil([&] { return f.LastStatusText.rfind("Get: (KvSNMP++) Ok!", 0) == 0; }, 5000));
    pump(300);
    EXPECT_TRUE(f.Image2->Visible());
    EXPECT_FALSE(f.LED_Power->Visible());
}

TEST(MainWindow, PollTimeOutShowsPowerAndAlarmAndTheMessage)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim({"--fault", "sysDescr=drop"});
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_TRUE(pumpUntil([&] { return f.LastStatusText == "(SNMPClass) SNMP request timed out!"; }, 8000))
        << f.LastStatusText;
    pump(200);
    EXPECT_TRUE(f.LED_Power->Visible());
    EXPECT_FALSE(f.LED_Lan->Visible());
    EXPECT_FALSE(f.LED_WLan->Visible());
    EXPECT_TRUE(f.Image2->Visible());
    // The other answers still come: the probe is complete.
    EXPECT_TRUE(m.probed());
}

TEST(MainWindow, LiveDeviceNeverShowsAnEmptiedCapability)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(20));
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_TRUE(pumpUntil([&] { return m.probed(); }, 5000));
    bool sawEmpty = false;
    // Well past two emptying ticks (every seventh tick of 100 ms here).
    pumpUntil(
        [&] {
            for (int row = 1; row <= 25; ++row)
                for (TControl *c : f.Probe->ControlsOf(row))
                    if (row != 21 && c->Text().empty())
                        sawEmpty = true;
            return f.Probe->RereadsStarted() > 24u * 20u;
        },
        10000);
    EXPECT_GT(f.Probe->RereadsStarted(), 24u * 20u);
    EXPECT_FALSE(sawEmpty);
}

namespace {

// Request PDUs in a devsim request log ("<time> <type> <principal> name ...") naming object.
int pdusNaming(const std::string &log, const std::string &object)
{
    std::istringstream in(log);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        n += (line + " ").find(" " + object + " ") != std::string::npos ? 1 : 0;
    return n;
}

} // namespace

// A capability whose re-read still waits for its answer is not asked again meanwhile: a device
// slower than the tick gets no more requests than it can answer, and a stopped one has no
// backlog to work through before it answers again.
TEST(MainWindow, ACapabilityReadThatWaitsIsNotAskedAgain)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(50)); // a tick every 40 ms
    devsimtest::Devsim sim({"--fault", "countrycode=drop@get"});
    ASSERT_TRUE(sim.ok()) << sim.why();
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_EQ(f.Outcome(), StartupOutcome::Running);
    const KvSNMPRequest &silent = f.Probe->Binding(2)->Request;
    const std::int64_t oneReadMs = std::int64_t{silent.Timeout} * 10 * (silent.Retries + 1);
    const std::size_t from = sim.requestLog().size();
    const auto start = std::chrono::steady_clock::now();
    // The answered firmware row is asked at every tick: forty ticks.
    EXPECT_TRUE(pumpUntil(
        [&] { return pdusNaming(sim.requestLog().substr(from), "stFirmwareVersion") >= 40; }, 20000));
    const std::int64_t tookMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    const int asked = pdusNaming(sim.requestLog().substr(from), "countrycode");
    // One read (its tries) at a time, and the one under way when the count began.
    EXPECT_LE(asked, (tookMs / oneReadMs + 2) * (silent.Retries + 1))
        << "in " << tookMs << " ms, one read taking " << oneReadMs << " ms";
    EXPECT_GT(asked, 0);
}

TEST(MainWindow, DeadDeviceEndsWithTheMarkedCapabilitiesEmpty)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(8));
    devsimtest::Devsim sim({"--profile", devsimProfile("probe-values.cat")});
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_TRUE(pumpUntil([&] { return m.probed() && f.Ed_LinkStatusNotSupport->Text() == "25"; }, 5000));
    sim.process().pause();
    std::vector<TControl *> emptied;
    for (const CapabilityRow &row : CapabilityRows())
        if (row.EmptiedWhenDead)
            for (TControl *c : f.Probe->ControlsOf(row.Row))
                emptied.push_back(c);
    ASSERT_EQ(emptied.size(), 19u);
    EXPECT_TRUE(pumpUntil(
        [&] {
            for (TControl *c : emptied)
                if (!c->Text().empty())
                    return false;
            return true;
        },
        20000));
    for (TControl *c : emptied)
        EXPECT_EQ(c->Text(), "") << c->Name();
    // The rows outside the emptying keep their last values.
    EXPECT_EQ(f.Ed_spWDSSite->Text(), "12");
    EXPECT_EQ(f.Ed_spSNTP->Text(), "13");
    EXPECT_EQ(f.Ed_spAccounting->Text(), "14");
    EXPECT_EQ(f.Ed_WMM->Text(), "18");
    EXPECT_EQ(f.Ed_Grouping->Text(), "19");
    EXPECT_EQ(f.ED_APModeComboBox->Text(), "ptpBridge");
    EXPECT_TRUE(pumpUntil([&] { return f.LED_Power->Visible() && !f.LedBlink->Enabled(); }, 5000))
        << f.LastStatusText;
    EXPECT_TRUE(f.Image2->Visible());
}

TEST(MainWindow, SilentDeviceKeepsInitialTextsAndLearnsDeferredSavingWhenItAnswers)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    HostFolders host;
    // A device that went away before the module started: stopped, it answers nothing.
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok()) << sim.why();
    sim.process().pause();
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_EQ(f.Outcome(), StartupOutcome::Running);
    // Nothing answered: every control keeps its initial text, deferred saving counts as
    // unsupported for now and is asked again.
    for (const char *name : {"Ed_FwVer", "Ed_Rogue", "Ed_spAccounting", "Ed_spSNTP", "Ed_ipRangeSupported",
                             "Ed_SysIpaddress", "NewMultiSupport"}) {
        bool found = false;
        for (int row = 1; row <= 35; ++row)
            for (TControl *c : f.Probe->ControlsOf(row))
                if (c->Name() == name) {
                    EXPECT_EQ(c->Text(), initialTextOf(name)) << name;
                    found = true;
                }
        EXPECT_TRUE(found) << name;
    }
    EXPECT_FALSE(gSaveActivateSupported);
    EXPECT_TRUE(f.Probe->SaveActivateUnknown());
    EXPECT_FALSE(f.Configration1->Visible());

    sim.process().resume();
    const char resumed = sim.process().state();
    ASSERT_TRUE(resumed != 'T' && resumed != 'Z' && resumed != '\0')
        << (resumed == 'T' ? "devsim did not go on after SIGCONT" : "devsim ended while it was stopped");
    // Should it fail, the failure says which side went quiet. The device: whether it lived on and
    // ran, what waited in its socket and what it was last asked; the program: what the bar said
    // and what it still waited for.
    const auto whatHappened = [&] {
        const std::string log = sim.requestLog();
        const std::size_t from = log.size() > 3000 ? log.find('\n', log.size() - 3000) + 1 : 0;
        const char state = sim.process().state();
        const bool ended = state == '\0' || sim.process().wait(0) != -1;
        const auto busy = [&](int row) {
            return f.Probe->Binding(row)->IsBusy() ? "waits" : "does not wait";
        };
        return std::string(ended ? "devsim ended" : "devsim in state ") +
               (ended ? "" : std::string(1, state)) + ", its socket: " + sim.socketText() +
               "; the program: " + std::to_string(gKvSNMPSession->outstanding()) +
               " requests on their way, the firmware read " + busy(1) + ", the deferred-saving read " +
               busy(21) + ", capability tick " + (f.Timer1->Enabled() ? "on" : "off") +
               "; status: " + f.LastStatusText + "; last requests:\n" + log.substr(from);
    };
    EXPECT_TRUE(pumpUntil([&] { return gSaveActivateSupported; }, 10000)) << whatHappened();
    EXPECT_FALSE(f.Probe->SaveActivateUnknown());
    EXPECT_TRUE(f.Configration1->Visible());
    EXPECT_TRUE(pumpUntil([&] { return m.probed(); }, 5000)) << whatHappened();
}

TEST(MainWindow, DeviceWithoutDeferredSavingHidesConfiguration)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim({"--profile", "nodeferred"});
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    EXPECT_FALSE(gSaveActivateSupported);
    EXPECT_FALSE(m.form->Probe->SaveActivateUnknown());
    EXPECT_FALSE(m.form->Configration1->Visible());
}

TEST(MainWindow, SecondInstanceForTheSameDeviceEndsWithTheMessage)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    const int port = sim.port();
    host.deviceSettings("127.0.0.1", v2cSettings(port));
    // The other device answers on another loopback address.
    devsimtest::Process otherSim;
    const std::string otherState = kvtest::makeTempDir("kv-other-devsim-");
    const int otherPort = kvtest::freeUdpPort();
    ASSERT_TRUE(otherSim.start({devsimtest::devsimPath(), "--address", "127.0.0.2", "--port",
                                std::to_string(otherPort), "--state", otherState}));
    ASSERT_TRUE(otherSim.waitForLine("devsim ready", 10000));
    host.deviceSettings("127.0.0.2", v2cSettings(otherPort));
    Module first({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    ASSERT_EQ(first.form->Outcome(), StartupOutcome::Running);

    gCommandLine = {"/I127.0.0.1", "/Rpublic"};
    auto *second = new TMainForm(first.app.get());
    second->DoCreate();
    EXPECT_EQ(second->Outcome(), StartupOutcome::AnotherInstance);
    const kv::MessageBoxCall *box = kv::MessageBoxService::instance().lastCall();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, "Another QRN5290AP module is running!");
    EXPECT_EQ(box->caption, "Warning");
    EXPECT_TRUE(first.app->Terminated());
    EXPECT_FALSE(second->SysDescrReq);
    EXPECT_FALSE(second->Timer1->Enabled());

    gCommandLine = {"/I127.0.0.2", "/Rpublic", "/Wprivate"};
    auto *other = new TMainForm(first.app.get());
    other->DoCreate();
    EXPECT_EQ(other->Outcome(), StartupOutcome::Running);
    EXPECT_TRUE(other->SysDescrReq);
    EXPECT_TRUE(pumpUntil([&] { return other->Ed_FwVer->Text() == "v2.00.15"; }, 5000));
    delete other;
    otherSim.stop();
    std::error_code ec;
    std::filesystem::remove_all(otherState, ec);
    delete second;
    MainForm = first.form;
}

TEST(MainWindow, NoArgumentsSaysSoAndSendsNothing)
{
    HostFolders host;
    Module m({});
    EXPECT_EQ(m.form->Outcome(), StartupOutcome::NoArguments);
    const kv::MessageBoxCall *box = kv::MessageBoxService::instance().lastCall();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, "This module is only used in the Morvix or HP-Openview.");
    EXPECT_TRUE(m.app->Terminated());
    EXPECT_FALSE(m.form->SysDescrReq);
    EXPECT_FALSE(m.form->Probe);
}

TEST(MainWindow, BadSettingsEndStartUpWithAMessageNamingTheKeyAndFile)
{
    HostFolders host;
    host.deviceSettings("127.0.0.1", "AgentPort=70000\nVersion=1\nSecurityModel=2\n");
    Module m({"/I127.0.0.1", "/Rpublic"});
    EXPECT_EQ(m.form->Outcome(), StartupOutcome::Refused);
    const kv::MessageBoxCall *box = kv::MessageBoxService::instance().lastCall();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(box->text.find("AgentPort"), std::string::npos) << box->text;
    EXPECT_NE(box->text.find("127.0.0.1.cfg"), std::string::npos) << box->text;
    EXPECT_TRUE(m.app->Terminated());
    EXPECT_FALSE(m.form->SysDescrReq);
}

TEST(MainWindow, CommunityHoldingTheAddressSwitchDoesNotRedirect)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim({"--read-community", "pub/I10.0.0.9"});
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    const int port = sim.port();
    host.deviceSettings("127.0.0.1", v2cSettings(port));
    Module m({"/I127.0.0.1", "/Rpub/I10.0.0.9", "/Wprivate"});
    EXPECT_EQ(m.form->Outcome(), StartupOutcome::Running);
    EXPECT_EQ(m.form->AgentAddress, "127.0.0.1");
    EXPECT_EQ(gKvSNMPDefaultSecurity.ReadCommunity, "pub/I10.0.0.9");
    EXPECT_EQ(gKvSNMPDefaultDevice.Address, "127.0.0.1");
    EXPECT_TRUE(pumpUntil([&] { return m.probed(); }, 5000));
}

TEST(MainWindow, WindowShapeFollowsThePanelPicture)
{
    HostFolders host;
    Module m({});
    EXPECT_EQ(m.form->Image1->Width(), 220);
    EXPECT_EQ(m.form->Image1->Height(), 225);
    EXPECT_EQ(m.form->ClientWidth(), 236);
    EXPECT_EQ(m.form->ClientHeight(), 225 + m.form->MainStatusBar->Height());
    EXPECT_EQ(m.form->Text(), "QRN-5290AP");
}

// A device that stops answering after the main window came up: a form's opening, or its
// Refresh, costs one time-out at most and no more than the silence limit, the windows stay
// painted and say that the program waits, and the user may give the wait up.
#include "Clock.h"
#include "FormFixture.h"
#include "GiveUp.h"
#include "KvSNMPDeviceWait.h"
#include "PaintCounter.h"
#include "TFM_Encrypt.h"
#include "TFM_Group.h"
#include "TFM_LogSet.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Wirless.h"
#include "WaitBound.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <chrono>

using namespace formtest;

namespace {

using Steady = std::chrono::steady_clock;

std::int64_t msSince(Steady::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
}

// How long a group's read tries before it gives up: every try's time-out, as this run's clock
// makes it.
std::int64_t timeOutMs(const FormBinding &b)
{
    return std::int64_t{kv::Clock::instance().requestTimeoutMs(b.Request.Timeout * 10)} *
           (b.Request.Retries + 1);
}

// Counts the main window's paints while it is asked to repaint every few milliseconds.
class MainWindowPaints : public kvtest::PaintCounter {
public:
    MainWindowPaints()
    {
        MainForm->Widget()->installEventFilter(this);
        m_nudge.onTimeout = [] { MainForm->Widget()->update(); };
        m_nudge.start(500);
    }
    ~MainWindowPaints() override { MainForm->Widget()->removeEventFilter(this); }

private:
    kv::Timer m_nudge;
};

// What the Wireless form's opening from the menu showed: when it showed (-1: never), with the
// main window's paints until then, its status and the reads of its synchronous groups.
struct WirelessOpening {
    std::int64_t shownAfter = -1;
    int paints = 0;
    std::string status;
    std::int64_t firstTimeOut = 0;
    std::vector<ReadState> reads;
};

class SilentDevice : public FormTest {
protected:
    void silence() { sim->process().pause(); }
    void resume() { sim->process().resume(); }
    // Once the device answers again, as the main window's status poll shows the user.
    void waitForAnswers()
    {
        ASSERT_TRUE(pumpUntil([] { return MainForm->LastStatusCode == 0; }, 20000))
            << "the device does not answer the status poll after SIGCONT";
    }
    WirelessOpening openWireless(const MainWindowPaints *paints);
};

// Timers run while the form reads, so this one sees the form the moment it shows.
WirelessOpening SilentDevice::openWireless(const MainWindowPaints *paints)
{
    WirelessOpening o;
    const Steady::time_point start = Steady::now();
    kv::Timer look;
    look.onTimeout = [&] {
        if (FM_Wirless == nullptr || !FM_Wirless->Modal())
            return;
        TFM_Wirless &f = *FM_Wirless;
        if (o.shownAfter < 0) {
            o.shownAfter = msSince(start);
            o.paints = paints != nullptr ? paints->paints : 0;
            o.status = f.StatusBar1->SimpleText();
            const FormBinding &first = f.AutoScanBinding ? *f.AutoScanBinding : *f.SSIDBinding;
            o.firstTimeOut = timeOutMs(first);
            for (const auto *b :
                 {&f.AutoScanBinding, &f.APModeBinding, &f.SecurityBinding, &f.RadiusBinding,
                  &f.PassPhraseBinding, &f.SSIDBinding, &f.BgModeBinding, &f.DynChannelListBinding,
                  &f.StatChannelListBinding, &f.MultiOverWDSBinding})
                if (*b && (*b)->Mode == static_cast<uint8_t>(BindMode::Sync))
                    o.reads.push_back((*b)->LastRead());
        }
        f.Close(); // refused while its own asynchronous read still waits
    };
    look.start(50);
    mainWindow().MenuItems.hWirelessBand1->Click();
    return o;
}

} // namespace

TEST_F(SilentDevice, WirelessOpensAfterOneTimeOutWhileTheMainWindowRepaints)
{
    startDevice();
    // What an opening costs on this machine now, the device answering.
    const WirelessOpening answered = openWireless(nullptr);
    ASSERT_GE(answered.shownAfter, 0) << "the form never showed on the answering device";
    silence();
    MainWindowPaints watch;
    const WaitBound bound(25000);
    const WirelessOpening o = openWireless(&watch);
    ASSERT_FALSE(bound.passed()) << "the opening held the program more than 25 s";
    ASSERT_GE(o.shownAfter, 0) << "the form never showed";
    // One time-out for the form, not one per group: less than two beside a normal opening.
    EXPECT_LT(o.shownAfter, 2 * o.firstTimeOut + answered.shownAfter)
        << "first group's time-out: " << o.firstTimeOut << " ms; opening on the answering device "
        << answered.shownAfter << " ms";
    EXPECT_GT(o.paints, 0);
    // Each group that reads synchronously failed, with the time-out error of the first.
    EXPECT_GE(o.reads.size(), 5u);
    for (ReadState r : o.reads)
        EXPECT_EQ(r, ReadState::Failed);
    EXPECT_NE(o.status.find("(SNMPClass) SNMP request timed out!"), std::string::npos) << o.status;
}

TEST_F(SilentDevice, GroupingRefreshCostsOneTimeOutAndReadsAgainOnceTheDeviceAnswers)
{
    startDevice();
    auto f = openForm(FM_Group);
    // What the Refresh reads again: both groups, read as the form opened on the answering device.
    ASSERT_TRUE(f->GroupReq->WasRead()) << "opening: " << f->GroupReq->ReadFailure();
    ASSERT_NE(f->LinkStatusReq, nullptr) << "the device said it has no link status";
    ASSERT_TRUE(f->LinkStatusReq->WasRead()) << "opening: " << f->LinkStatusReq->ReadFailure();
    // What a Refresh costs on this machine now, the device answering.
    Steady::time_point start = Steady::now();
    click(f->Bt_Refresh);
    const std::int64_t answeredMs = msSince(start);
    ASSERT_TRUE(f->GroupReq->WasRead()) << "Refresh: " << f->GroupReq->ReadFailure();
    silence();
    const WaitBound bound(25000);
    start = Steady::now();
    click(f->Bt_Refresh);
    ASSERT_FALSE(bound.passed()) << "the Refresh held the program more than 25 s";
    // One time-out for both groups, not one each.
    EXPECT_LT(msSince(start), 2 * timeOutMs(*f->GroupReq) + answeredMs)
        << "a time-out: " << timeOutMs(*f->GroupReq) << " ms; a Refresh on the answering device "
        << answeredMs << " ms";
    EXPECT_EQ(f->GroupReq->LastRead(), ReadState::Failed);
    EXPECT_EQ(f->LinkStatusReq->LastRead(), ReadState::Failed);
    EXPECT_NE(f->StatusBar->SimpleText().find("timed out"), std::string::npos) << f->StatusBar->SimpleText();
    // The next Refresh asks the device again.
    resume();
    waitForAnswers();
    click(f->Bt_Refresh);
    EXPECT_TRUE(f->GroupReq->WasRead());
    EXPECT_TRUE(f->LinkStatusReq->WasRead());
}

// Encryption reads with a 50 s time-out and one retry. A device that answers nothing holds it
// no longer than the silence limit and a probe's window, while a note over the window in front
// says that the program waits and how to give up; the user may give up; a device that is only
// slow keeps the time-out, and its value arrives. Each bound adds what an opening on the
// answering device took just before, in the same run.
TEST_F(SilentDevice, EncryptionWaitsForASilentDeviceNoLongerThanTheSilenceLimit)
{
    using kvtest::GiveUp;
    // Scaled below: a try takes 2.5 s, the silence limit 1 s, a probe's window 0.5 s.
    constexpr int kSilenceMs = 1000, kProbeMs = 500, kDelayMs = 1800;
    const struct {
        const char *name;
        std::vector<std::string> args;
        bool silent;
        bool refresh;
        GiveUp giveUp;
    } cases[] = {
        {"opening, silent device", {}, true, false, GiveUp::No},
        {"opening, Escape", {}, true, false, GiveUp::Escape},
        {"Refresh, close box", {}, true, true, GiveUp::CloseBox},
        {"opening, slow device", {"--fault", "adSecAuthentication-a=delay:1800"}, false, false, GiveUp::No},
    };
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    const AnsiString notice = WaitNoticeText("127.0.0.1");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        startDevice(c.args);
        // An opening on the device as it answers now (with the delay of the slow case).
        Steady::time_point start = Steady::now();
        ASSERT_TRUE(openFromMenu<TFM_Encrypt>(mainWindow().MenuItems.adEncryption2, [&](TFM_Encrypt &f) {
            EXPECT_TRUE(pumpUntil([&] { return !f.ServersReq->Busy; }, 5000));
        }));
        const std::int64_t answeredMs = msSince(start) - (c.args.empty() ? 0 : kDelayMs);
        // The note is looked at while the wait goes on; the user gives up a while after it
        // showed, as a user reads it first.
        QTimer look;
        std::string noteShown;
        AnsiString formShown;
        std::int64_t gaveUpAfter = -1;
        TFM_Encrypt *form = nullptr;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (noteShown.empty() && MainForm->WaitNote.shown()) {
                noteShown = MainForm->WaitNote.text();
                formShown = form != nullptr ? form->StatusBar->SimpleText() : AnsiString();
            }
            if (!noteShown.empty() && c.giveUp != GiveUp::No && gaveUpAfter < 0 && msSince(start) >= 300) {
                gaveUpAfter = msSince(start);
                kvtest::giveUpWait(c.giveUp, c.giveUp == GiveUp::Escape || form == nullptr
                                                 ? MainForm->Widget()
                                                 : form->Widget());
            }
        });
        std::int64_t took = -1;
        if (!c.refresh) {
            if (c.silent)
                silence();
            look.start(10);
            start = Steady::now();
        }
        const bool shown =
            openFromMenu<TFM_Encrypt>(mainWindow().MenuItems.adEncryption2, [&](TFM_Encrypt &f) {
                if (c.refresh) {
                    silence();
                    form = &f;
                    look.start(10);
                    start = Steady::now();
                    click(f.Bt_Ref);
                    EXPECT_EQ(formShown, notice);
                }
                took = msSince(start);
                look.stop();
                EXPECT_EQ(f.SecurityReq->WasRead(), !c.silent);
                if (!c.silent)
                    EXPECT_FALSE(f.CB_SecAutha->Text().empty());
                else
                    EXPECT_NE(f.StatusBar->SimpleText().find("timed out"), std::string::npos)
                        << f.StatusBar->SimpleText();
                // Closing waits for the servers, read in the background.
                EXPECT_TRUE(pumpUntil([&] { return !f.ServersReq->Busy; }, 5000));
            });
        look.stop();
        resume();
        ASSERT_TRUE(shown);
        SCOPED_TRACE("took " + std::to_string(took) + " ms, an answered opening " +
                     std::to_string(answeredMs) + " ms, given up after " + std::to_string(gaveUpAfter) +
                     " ms");
        if (c.giveUp != GiveUp::No) {
            // Given up, the wait ends at once: not the silence limit.
            ASSERT_GE(gaveUpAfter, 0) << "the note never showed";
            EXPECT_GE(took, gaveUpAfter);
            EXPECT_LT(took, gaveUpAfter + answeredMs + kProbeMs);
        } else if (c.silent) {
            // The silence limit and a probe's window, never the 100 s of the time-outs.
            EXPECT_GE(took, kSilenceMs);
            EXPECT_LT(took, kSilenceMs + kProbeMs + answeredMs + kProbeMs);
        } else {
            // The slow answer is waited for: the time-out stands.
            EXPECT_GE(took, kDelayMs);
            EXPECT_LT(took, kDelayMs + answeredMs + kProbeMs);
        }
        EXPECT_EQ(noteShown, WaitingForDeviceText("127.0.0.1") + "\n" + kWaitGiveUpText);
        EXPECT_FALSE(MainForm->WaitNote.shown());
    }
}

// A device busy taking security settings may answer nothing for longer than the silence limit
// of reads: the write waits for its own time-out (both tries), the windows painted and the note
// shown, and a device that answers meanwhile has its write confirmed. One that never answers,
// or whose wait the user gives up, leaves the write told as not answered (the device may still
// take it), with the settings written before it named.
TEST_F(SilentDevice, EncryptionWriteWaitsItsOwnTimeOutForADeviceThatStops)
{
    using kvtest::GiveUp;
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    const Steady::duration busyFor = std::chrono::milliseconds(kv::Clock::instance().requestTimeoutMs(30000));
    const std::string unanswered = "Setting error! The device did not answer; it may still take the setting.";
    const struct {
        const char *name;
        const char *object; // whose set the device is stopped at (its answer comes 1.5 s late)
        const char *authentication;
        bool resumes; // the device goes on after busyFor
        GiveUp giveUp;
        std::string status;
        std::vector<std::string> sets;
    } cases[] = {
        {"busy beyond the silence limit",
         "adSecEncryption-a",
         nullptr,
         true,
         GiveUp::No,
         "Setting Success!",
         {"adSecAuthentication-a=1 adSecEncryption-a=1 adSecValidKey-a=1"}},
        {"stopped for good",
         "adSecPassPhrase",
         "WPA-Personal",
         false,
         GiveUp::No,
         unanswered + " Not answered: PassPhrase, Cipher Type, Group Key Update Interval. Written before it: "
                      "Authentication.",
         {}},
        {"Escape",
         "adSecPassPhrase",
         "WPA-Personal",
         false,
         GiveUp::Escape,
         unanswered + " Not answered: PassPhrase, Cipher Type, Group Key Update Interval. Written before it: "
                      "Authentication.",
         {}},
        {"close box",
         "adSecPassPhrase",
         "WPA-Personal",
         false,
         GiveUp::CloseBox,
         unanswered + " Not answered: PassPhrase, Cipher Type, Group Key Update Interval. Written before it: "
                      "Authentication.",
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        startDevice({"--fault", std::string(c.object) + "=delay:1500@set"});
        const auto f = openForm(FM_Encrypt);
        ASSERT_TRUE(pumpUntil([&] { return !f->ServersReq->Busy; }, 5000));
        if (c.authentication) {
            f->CB_SecAutha->SetItemIndex(f->CB_SecAutha->Items()->IndexOf(c.authentication));
            type(f->Ed_PassPha, "pass-phrase");
        } else {
            f->CB_SecEncypa->SetItemIndex(f->CB_SecEncypa->Items()->IndexOf("Enable"));
        }
        f->CB_SecAutha->OnChange(f->CB_SecAutha);
        const FormBinding &group = c.authentication ? *f->PassPhraseReq : *f->SecurityReq;
        const std::int64_t tryMs = kv::Clock::instance().requestTimeoutMs(group.Request.Timeout * 10);
        const std::int64_t allTriesMs = tryMs * (group.Request.Retries + 1);
        // The device stops once its set has come, goes on or is given up when the note shows.
        Steady::time_point stoppedAt{}, resumedAt{};
        std::string noteShown;
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (stoppedAt == Steady::time_point{}) {
                if (requestsNaming(c.object, "set") > 0) {
                    silence();
                    stoppedAt = Steady::now();
                }
                return;
            }
            if (noteShown.empty() && MainForm->WaitNote.shown()) {
                noteShown = MainForm->WaitNote.text();
                if (c.giveUp != GiveUp::No)
                    kvtest::giveUpWait(c.giveUp,
                                       c.giveUp == GiveUp::Escape ? MainForm->Widget() : f->Widget());
            }
            if (c.resumes && resumedAt == Steady::time_point{} && Steady::now() - stoppedAt >= busyFor) {
                resume();
                resumedAt = Steady::now();
            }
        });
        watch.start();
        const Steady::time_point start = Steady::now();
        click(f->Bt_Apply);
        const Steady::time_point ended = Steady::now();
        watch.stop();
        resume();
        const std::int64_t took =
            std::chrono::duration_cast<std::chrono::milliseconds>(ended - start).count();
        ASSERT_NE(stoppedAt, Steady::time_point{}) << "the set never came";
        EXPECT_EQ(f->StatusBar->SimpleText(), c.status);
        EXPECT_EQ(noteShown, WaitingForDeviceText("127.0.0.1") + "\n" + kWaitGiveUpText);
        const std::int64_t stoppedFor =
            std::chrono::duration_cast<std::chrono::milliseconds>(ended - stoppedAt).count();
        if (c.resumes) {
            // Answered after the stop, before its time-out ran out.
            EXPECT_NE(resumedAt, Steady::time_point{});
            EXPECT_LT(took, allTriesMs);
            for (const std::string &set : sets())
                EXPECT_EQ(set, c.sets.front()); // a retry under load may repeat it
            EXPECT_FALSE(sets().empty());
            EXPECT_EQ(f->CB_SecEncypa->Text(), "Enable");
        } else if (c.giveUp == GiveUp::No) {
            // Both tries waited out, no third.
            EXPECT_GE(took, allTriesMs);
            EXPECT_LT(stoppedFor, allTriesMs + tryMs);
        } else {
            EXPECT_LT(stoppedFor, tryMs);
        }
    }
}

// A device that stops once a write has come, before answering it (or, for the newer Multi-SSID
// form, once its Save was answered, while the read back waits for a late row): the write is told
// as the device answered it, and the read back that follows, which the stopped device leaves
// unanswered, does not take the outcome's place: the groups it could not read are named once
// after it, and their boxes show neither on nor off, never "off".
TEST_F(SilentDevice, AWriteLeftUnansweredKeepsItsOutcomeAndNamesWhatWasNotReadBack)
{
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    const std::string unanswered = "The device did not answer; it may still take the setting.";
    const struct {
        const char *form;
        std::vector<std::string> args;
        const char *stopAt; // the set the device is stopped at, or the status it is stopped after
        std::string status;
    } cases[] = {
        {"LogSet",
         {"--profile", "configured", "--fault", "adLogServerIP=delay:1500@set"},
         "adLogServerIP",
         "Set Error! " + unanswered +
             " Not answered: Log Settings. Not read back: Log Settings, SMTP Setting."},
        {"Wirless",
         {"--profile", "configured", "--fault", "hSSID=delay:1500@set"},
         "hSSID",
         "Setting error! " + unanswered +
             " Not answered: SSID. Written before it: VLAN and Guest SSIDs. Not read back: VLAN and Guest "
             "SSIDs, SSID, Super G Mode, Dynamic Turbo Channels, Static Turbo Channels, Radio Wave, Auto "
             "Channel Scan, AP Mode, Authentication, Key Type, Guest SSID Key Index, RADIUS Server, "
             "Accounting, PassPhrase."},
        {"MultiSSIDNew",
         {"--profile", "newmssid", "--profile", "mssidguests", "--fault", "adMSSIDSSID.1.8=delay:1500@get"},
         "Save Multi-SSID complete!",
         "Save Multi-SSID complete! Not read back: SSID Settings."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.form);
        startDevice(c.args);
        const std::string form = c.form;
        TStatusBar *bar = nullptr;
        bool stopped = false;
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const bool now = form == "MultiSSIDNew" ? bar != nullptr && bar->SimpleText() == c.stopAt
                                                    : requestsNaming(c.stopAt, "set") > 0;
            if (!stopped && now) {
                silence();
                stopped = true;
            }
        });
        watch.start();
        std::string status;
        if (form == "LogSet") {
            const auto f = openForm(FM_LogSet);
            click(f->Bt_Apply);
            status = f->StatusBar1->SimpleText();
            for (const TCheckBox *box :
                 {f->SysLevCeBox, f->WirelessLevCeBox, f->NoticeLevCeBox, f->CB_SMTPStatus})
                EXPECT_TRUE(box->Neither()) << box->Name();
        } else if (form == "Wirless") {
            const auto f = openForm(FM_Wirless);
            click(f->Bt_Apply);
            EXPECT_TRUE(pumpUntil(
                [&] { return !f->StatusBar1->SimpleText().empty() && !f->RadioWaveBinding->Busy; }, 10000));
            pump(200);
            status = f->StatusBar1->SimpleText();
        } else {
            const auto f = openForm(FM_MultiSSIDNewForm);
            EXPECT_TRUE(pumpUntil([] { return gMultiSSIDIdle; }, 10000));
            bar = f->StatusBar1;
            click(f->SaveButton);
            EXPECT_TRUE(pumpUntil([] { return gMultiSSIDIdle; }, 30000));
            pump(200);
            status = f->StatusBar1->SimpleText();
        }
        watch.stop();
        resume();
        EXPECT_TRUE(stopped) << "never stopped";
        EXPECT_EQ(status, c.status);
    }
}

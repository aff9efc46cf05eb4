// A device that stops answering after the main window came up: a form's opening, or its
// Refresh, costs one time-out, and the windows stay painted meanwhile.
#include "FormFixture.h"
#include "PaintCounter.h"
#include "TFM_Group.h"
#include "TFM_Wirless.h"

#include <QWidget>

#include <chrono>
#include <csignal>

using namespace formtest;

namespace {

using Steady = std::chrono::steady_clock;

std::int64_t msSince(Steady::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
}

// How long a group's read tries before it gives up: every try's time-out.
std::int64_t timeOutMs(const FormBinding &b)
{
    return std::int64_t{b.Request.Timeout} * 10 * (b.Request.Retries + 1);
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

class SilentDevice : public FormTest {
protected:
    void silence()
    {
        ::kill(sim->process().pid(), SIGSTOP);
        m_stopped = true;
    }
    void resume()
    {
        ::kill(sim->process().pid(), SIGCONT);
        m_stopped = false;
    }
    void TearDown() override
    {
        if (m_stopped)
            resume();
        FormTest::TearDown();
    }

private:
    bool m_stopped = false;
};

} // namespace

TEST_F(SilentDevice, WirelessOpensAfterOneTimeOutWhileTheMainWindowRepaints)
{
    startDevice();
    silence();
    MainWindowPaints watch;
    // Timers run while the form reads, so this one sees the form the moment it shows.
    const Steady::time_point start = Steady::now();
    std::int64_t shownAfter = -1, firstTimeOut = 0;
    int paintsWhileOpening = 0;
    std::string status;
    std::vector<ReadState> reads;
    kv::Timer look;
    look.onTimeout = [&] {
        if (FM_Wirless == nullptr || !FM_Wirless->Modal())
            return;
        TFM_Wirless &f = *FM_Wirless;
        if (shownAfter < 0) {
            shownAfter = msSince(start);
            paintsWhileOpening = watch.paints;
            status = f.StatusBar1->SimpleText();
            const FormBinding &first = f.AutoScanBinding ? *f.AutoScanBinding : *f.SSIDBinding;
            firstTimeOut = timeOutMs(first);
            for (const auto *b :
                 {&f.AutoScanBinding, &f.APModeBinding, &f.SecurityBinding, &f.RadiusBinding,
                  &f.PassPhraseBinding, &f.SSIDBinding, &f.BgModeBinding, &f.DynChannelListBinding,
                  &f.StatChannelListBinding, &f.MultiOverWDSBinding})
                if (*b && (*b)->Mode == static_cast<uint8_t>(BindMode::Sync))
                    reads.push_back((*b)->LastRead());
        }
        f.Close(); // refused while its own asynchronous read still waits
    };
    look.start(50);
    mainWindow().MenuItems.hWirelessBand1->Click();
    ASSERT_GE(shownAfter, 0) << "the form never showed";
    EXPECT_LT(shownAfter, firstTimeOut + 1000) << "first group's time-out: " << firstTimeOut << " ms";
    EXPECT_GT(paintsWhileOpening, 0);
    // Each group that reads synchronously failed, with the time-out error of the first.
    EXPECT_GE(reads.size(), 5u);
    for (ReadState r : reads)
        EXPECT_EQ(r, ReadState::Failed);
    EXPECT_NE(status.find("(SNMPClass) SNMP request timed out!"), std::string::npos) << status;
}

TEST_F(SilentDevice, GroupingRefreshCostsOneTimeOutAndReadsAgainOnceTheDeviceAnswers)
{
    startDevice();
    auto f = openForm(FM_Group);
    ASSERT_TRUE(f->GroupReq->WasRead() && f->LinkStatusReq && f->LinkStatusReq->WasRead());
    silence();
    const Steady::time_point start = Steady::now();
    click(f->Bt_Refresh);
    EXPECT_LT(msSince(start), timeOutMs(*f->GroupReq) + 1000);
    EXPECT_EQ(f->GroupReq->LastRead(), ReadState::Failed);
    EXPECT_EQ(f->LinkStatusReq->LastRead(), ReadState::Failed);
    EXPECT_NE(f->StatusBar->SimpleText().find("timed out"), std::string::npos) << f->StatusBar->SimpleText();
    // The next Refresh asks the device again.
    resume();
    click(f->Bt_Refresh);
    EXPECT_TRUE(f->GroupReq->WasRead());
    EXPECT_TRUE(f->LinkStatusReq->WasRead());
}

#pragma once
// What the network forms' tests share: a watch over the restart countdowns a form shows, and
// an echo prober whose answers the test scripts (nothing is sent anywhere).
#include "CloseQuery.h"
#include "EventLoop.h"
#include "FormFixture.h"
#include "Forms.h"
#include "IcmpProbe.h"
#include "KvSNMPRequest.h"
#include "ProfileText.h"
#include "Waiting.h"

#include <QCoreApplication>
#include <QEvent>
#include <QVariant>
#include <QWidget>

#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace formtest {

// Every countdown window shown while the watch lives, as it was when it appeared, and the
// lowest count it reached before it went. Windows are seen as they show and as they go, so that
// one an answer closes at once is seen too.
class CountdownsSeen : public QObject {
public:
    struct Seen {
        int Countdown = 0;
        int RebootDelay = 0;
        bool SendReboot = true;
        std::string Caption, Label2, Label3;
        int Lowest = 1 << 30; // the lowest count it showed (none yet: very high)
    };

    CountdownsSeen()
    {
        QCoreApplication::instance()->installEventFilter(this);
        m_timer.onTimeout = [this] { look(); };
        m_timer.start(1);
    }
    ~CountdownsSeen() override { QCoreApplication::instance()->removeEventFilter(this); }
    const std::vector<Seen> &seen() const { return m_seen; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && FM_Waiting != nullptr &&
            watched == FM_Waiting->Widget())
            look();
        return false;
    }

private:
    void look()
    {
        if (FM_Waiting == nullptr) {
            m_current = nullptr;
            return;
        }
        // Marked when first seen: the next window may be made at the same address.
        QWidget *window = FM_Waiting->Widget();
        if (FM_Waiting != m_current || !window->property("kvSeen").toBool()) {
            window->setProperty("kvSeen", true);
            m_current = FM_Waiting;
            m_seen.push_back({FM_Waiting->Countdown, FM_Waiting->RebootDelay, FM_Waiting->SendReboot,
                              FM_Waiting->Text(), FM_Waiting->Label2->Text(), FM_Waiting->Label3->Text()});
        }
        // What the window shows: a countdown ended early is not counted down to 0.
        const std::string shown = FM_Waiting->La_Time->Text();
        if (!shown.empty())
            m_seen.back().Lowest = std::stoi(shown);
    }

    kv::Timer m_timer;
    TFM_Waiting *m_current = nullptr;
    std::vector<Seen> m_seen;
};

// A probe that answers after a while, as the real one does after its attempts; destroying it
// drops the answer.
class LateProbe : public kv::IcmpProbe {
public:
    LateProbe(int ms, kv::IcmpProbeOutcome outcome, kv::IcmpProber::Done done)
    {
        m_timer.setSingleShot(true);
        // Answered from the event loop: the answer may destroy this probe.
        m_timer.onTimeout = [this, outcome, done] { m_answer = kv::PostIcmpOutcome(outcome, done); };
        m_timer.start(ms);
    }

private:
    kv::Timer m_timer;
    std::unique_ptr<kv::IcmpProbe> m_answer;
};

// Answers each probe from the event loop with the verdict scripted for its address (free
// when none is), and remembers the addresses asked about.
class ScriptedProber : public kv::IcmpProber {
public:
    using Verdict = kv::IcmpProbeOutcome::Verdict;
    std::map<uint32_t, Verdict> verdicts;
    std::vector<uint32_t> probed;
    int answerAfterMs = 0; // how long a probe takes (at once when 0)

    std::unique_ptr<kv::IcmpProbe> Start(uint32_t address, Done done) override
    {
        probed.push_back(address);
        kv::IcmpProbeOutcome outcome;
        const auto it = verdicts.find(address);
        outcome.verdict = it == verdicts.end() ? Verdict::Free : it->second;
        outcome.socket = kv::IcmpSocketKind::Raw;
        outcome.requestsSent = outcome.verdict == Verdict::InUse ? 1 : 3;
        if (outcome.verdict == Verdict::CannotRun) {
            outcome.socket = kv::IcmpSocketKind::None;
            outcome.requestsSent = 0;
            outcome.reason = "raw socket (CAP_NET_RAW): Operation not permitted";
        }
        if (answerAfterMs > 0)
            return std::make_unique<LateProbe>(answerAfterMs, outcome, std::move(done));
        return kv::PostIcmpOutcome(outcome, std::move(done));
    }
};

// Runs action once on the first modal form of class T that shows (polled from the event
// loop, as the form shows inside its opener's ShowModal).
template <class T> class WhenModal {
public:
    explicit WhenModal(std::function<void(T &)> action) : m_action(std::move(action))
    {
        m_timer.onTimeout = [this] { look(); };
        m_timer.start(1);
    }
    bool ran() const { return m_ran; }

private:
    void look()
    {
        for (int i = Application->ComponentCount() - 1; i >= 0 && !m_ran; --i)
            if (auto *form = dynamic_cast<T *>(Application->Components(i)); form && form->Modal()) {
                m_ran = true;
                m_timer.stop();
                m_action(*form);
            }
    }

    std::function<void(T &)> m_action;
    kv::Timer m_timer;
    bool m_ran = false;
};

// A row of a table of faults: the device's fault, the sets it then received and the status
// the form shows.
struct FaultRow {
    const char *what;
    const char *fault; // devsim's --fault
    std::vector<std::string> sets;
    const char *status;
};

// A parameterised case's name, made of the letters and digits of its "what".
struct CaseName {
    template <class P> std::string operator()(const ::testing::TestParamInfo<P> &info) const
    {
        std::string name;
        bool upper = true;
        for (const char c : std::string(info.param.what)) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                upper = true;
                continue;
            }
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        }
        return name;
    }
};

// How long a test waits at most for what the device does (only a ceiling: a wait ends when
// its condition holds); a machine busy with other builds makes every answer slow.
constexpr int kWaitMs = 20000;

// Waits until the form would close (its reads at opening have answered); a menu script ends
// with a close, which a form still reading refuses.
inline bool WaitUntilClosable(TForm &form, int ms = kWaitMs)
{
    return kvtest::pumpUntil([&] { return canClose(form); }, ms);
}

// A form test whose forms probe through a ScriptedProber, and whose requests wait 5 s for an
// answer: these forms walk whole tables at opening, on a machine that may be busy with builds.
class ProbedFormTest : public FormTest {
protected:
    void startDevice(const std::vector<std::string> &devsimArgs = {})
    {
        FormTest::startDevice(devsimArgs);
        m_savedTimeout = gKvSNMPDefaultTimeout;
        gKvSNMPDefaultTimeout = 500;
    }
    void SetUp() override
    {
        FormTest::SetUp();
        prober = std::make_shared<ScriptedProber>();
        installed = std::make_unique<kv::ScopedIcmpProber>(prober);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        if (m_savedTimeout)
            gKvSNMPDefaultTimeout = *m_savedTimeout;
    }
    // The forms' own time-out for the requests of forms made from now on.
    void formsOwnTimeOut()
    {
        if (m_savedTimeout)
            gKvSNMPDefaultTimeout = *m_savedTimeout;
    }
    std::shared_ptr<ScriptedProber> prober;
    std::unique_ptr<kv::ScopedIcmpProber> installed;

private:
    std::optional<int32_t> m_savedTimeout;
};

constexpr uint32_t Address(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    return (uint32_t{a} << 24) | (uint32_t{b} << 16) | (uint32_t{c} << 8) | d;
}

} // namespace formtest

// Synchronous reads and writes of bindings against a device that loses one answer, answers
// late or answers nothing at all: a lost answer costs its own read only, a read of a silent
// device is given up at the silence limit whatever the request's time-out, a write and a slow
// device keep their time-outs, the user can give a wait up, and the binding's status bar says
// that it waits meanwhile.
#include "BindingSupport.h"
#include "ComCtrls.h"
#include "GiveUp.h"
#include "KvSNMPDeviceWait.h"
#include "KvSNMPReadBatch.h"
#include "PaintCounter.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <sstream>

using namespace bindtest;

namespace {

using Steady = std::chrono::steady_clock;

std::int64_t msSince(Steady::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
}

class DeviceWait : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        bar = new TStatusBar(form);
        bar->SetParent(form);
        form->Show();
    }
    void start(const std::vector<std::string> &args)
    {
        devsim = std::make_unique<Devsim>(args);
        if (!devsim->ok())
            KV_PEER_MISSING(devsim->why());
    }
    // A synchronous binding of one system object, logging to the status bar; timeout in 10 ms.
    std::unique_ptr<KvSNMPRequest2Edits> bind(const std::string &object, int timeout = 100)
    {
        auto b = std::make_unique<KvSNMPRequest2Edits>(form);
        target(b->Request, devsim->port());
        const std::string oid = object == "sysContact" ? "1.3.6.1.2.1.1.4"
                                : object == "sysName"  ? "1.3.6.1.2.1.1.5"
                                                       : "1.3.6.1.2.1.1.6";
        b->Request.VarList = makeList({{oid, object, KvSyntax::DisplayStr, KvAccess::ReadWrite}}, SVT_SV, 0);
        b->Request.Timeout = timeout;
        b->Request.Retries = 1;
        b->Mode = 0;
        b->SetStatusBar(bar);
        b->Request.OnResult = [b = b.get()](KvSNMPError *e) {
            if (b->Operation == 1)
                b->ShowSetResult(*e);
            else
                b->ShowGetResult(*e);
        };
        return b;
    }
    // Request PDUs that named the object.
    int asked(const std::string &object) const
    {
        std::istringstream log(devsim->requestLog());
        int n = 0;
        for (std::string line; std::getline(log, line);)
            n += line.find(" " + object) != std::string::npos ? 1 : 0;
        return n;
    }

    // Time-outs and waits 20 times shorter (never under half a second): a 50 s try takes 2.5 s,
    // the silence limit is 1 s and a probe's window 0.5 s; timers run 10 times faster.
    kv::ScopedClock clock{std::make_shared<kvtest::FastClock>(10, 20)};
    TStatusBar *bar = nullptr;
    std::unique_ptr<Devsim> devsim;
};

} // namespace

TEST_F(DeviceWait, ALostAnswerFailsItsOwnReadOnlyAndASilentDeviceTheRestOfTheBatch)
{
    const struct {
        const char *name;
        std::vector<std::string> args;
        bool stopped;
        bool restRead; // the reads after the lost one were sent and answered
    } cases[] = {
        {"lost answer", {"--fault", "sysContact=drop"}, false, true},
        {"lost answer, the probe refused",
         {"--fault", "sysContact=drop", "--fault", "sysUpTime=error:genErr"},
         false,
         true},
        {"silent device", {}, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        start(c.args);
        if (c.stopped)
            devsim->process().pause();
        auto contact = bind("sysContact"), name = bind("sysName"), location = bind("sysLocation");
        {
            const KvSNMPReadBatch reads;
            EXPECT_FALSE(contact->Get());
            EXPECT_EQ(name->Get(), c.restRead);
            EXPECT_EQ(location->Get(), c.restRead);
        }
        devsim->process().resume();
        // What a stopped device received is logged once it goes on (a loaded machine may take
        // seconds to run it again: the limit only guards against a hang).
        EXPECT_TRUE(pumpUntil([&] { return asked("sysContact") > 0; }, 10000));
        kvtest::pump(200);
        EXPECT_EQ(asked("sysName") > 0, c.restRead);
        EXPECT_EQ(asked("sysLocation") > 0, c.restRead);
    }
}

TEST_F(DeviceWait, ASilentDeviceIsGivenUpAtTheSilenceLimitASlowOneKeepsItsTimeOutAndTheUserMayGiveUp)
{
    using kvtest::GiveUp;
    const struct {
        const char *name;
        std::vector<std::string> args;
        bool stopped;
        int resumeMs; // the stopped device goes on after that long (0: not during the request)
        bool write;
        bool logs; // the binding logs to the status bar; else it is only its form's
        GiveUp giveUp;
        bool ok;
        int minMs, maxMs;
    } cases[] = {
        // The silence limit and a probe's window; a try of the request alone takes 2.5 s, both
        // tries 5 s.
        {"silent device, read", {}, true, 0, false, true, GiveUp::No, false, 900, 2200},
        // A device taking settings may answer nothing for a while: a write waits its time-out.
        {"silent device, write", {}, true, 0, true, true, GiveUp::No, false, 4900, 7500},
        {"silent device, write without a log", {}, true, 0, true, false, GiveUp::No, false, 4900, 7500},
        {"device silent beyond the silence limit, write",
         {},
         true,
         1800,
         true,
         true,
         GiveUp::No,
         true,
         1700,
         4900},
        {"slow device",
         {"--fault", "sysContact=delay:1800"},
         false,
         0,
         false,
         true,
         GiveUp::No,
         true,
         1700,
         2400},
        {"Escape", {}, true, 0, false, true, GiveUp::Escape, false, 250, 800},
        {"close box", {}, true, 0, true, true, GiveUp::CloseBox, false, 250, 800},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        start(c.args);
        QTimer resume;
        if (c.stopped)
            devsim->process().pause();
        if (c.resumeMs > 0)
            kvtest::runAfter(resume, c.resumeMs, [&] { devsim->process().resume(); });
        auto contact = bind("sysContact", 5000);
        if (!c.logs) {
            contact->SetStatusBar(nullptr);
            contact->Request.OnResult = nullptr;
        }
        // The status bar is looked at, and the user gives up, once the program said it waits
        // (timed from the notice, so that a loaded machine cannot reorder them).
        QTimer nudge, look, give;
        AnsiString shown;
        std::vector<bool> told;
        const int listener = KvSNMPAddWaitListener([&](bool waiting, const AnsiString &address) {
            EXPECT_EQ(address, "127.0.0.1");
            told.push_back(waiting);
            if (waiting) {
                kvtest::runAfter(look, 0, [&] { shown = bar->SimpleText(); });
                if (c.giveUp != GiveUp::No)
                    kvtest::runAfter(give, 100, [&] { kvtest::giveUpWait(c.giveUp, form->Widget()); });
            }
        });
        kvtest::PaintCounter paints;
        form->Widget()->installEventFilter(&paints);
        QObject::connect(&nudge, &QTimer::timeout, [&] { form->Widget()->update(); });
        nudge.start(50);
        const AnsiString earlier = "Set: (KvSNMP++) Ok!. Receive at 10:00:00 AM.";
        bar->SetSimpleText(earlier);

        const Steady::time_point start = Steady::now();
        bool ok = false;
        if (c.write) {
            ok = contact->Set(false, false);
        } else {
            // A form reads in a batch (its opening, its Refresh).
            const KvSNMPReadBatch reads;
            ok = contact->Get();
        }
        const std::int64_t took = msSince(start);
        KvSNMPRemoveWaitListener(listener);
        form->Widget()->removeEventFilter(&paints);
        devsim->process().resume();

        EXPECT_EQ(ok, c.ok);
        EXPECT_GE(took, c.minMs);
        EXPECT_LE(took, c.maxMs);
        EXPECT_GT(paints.paints, 0);
        // Said at once for a write, after a moment for a read; then the outcome's log line.
        EXPECT_EQ(shown, WaitNoticeText("127.0.0.1"));
        EXPECT_EQ(told, (std::vector<bool>{true, false}));
        if (c.logs)
            EXPECT_NE(bar->SimpleText().find(c.ok ? "Ok!" : "timed out"), std::string::npos)
                << bar->SimpleText();
        else
            EXPECT_EQ(bar->SimpleText(), earlier); // the form says how its write went

        // Back in the event loop: a give-up ends with the step it was made in.
        kvtest::pump(20);
    }
}

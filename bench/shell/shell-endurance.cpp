// A day of the main window's life against the simulated access point on a fast clock: the
// status poll every two seconds and the capability re-read every two seconds, 43,200 polls.
// Prints memory at start and end and the requests still alive. Fails (and says why) when a
// poll failed, the re-reads did not keep up with the polls, answers were left outstanding or
// the last status is not a good poll's.
// usage: shell-endurance [POLLS [CLOCK-DIVISOR]]
#include "BenchSupport.h"
#include "Harness.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "MainForm.h"

#include <QApplication>

#include <cstdio>
#include <filesystem>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qt(argc, argv);
    const long polls = argc > 1 ? std::atol(argv[1]) : 43200;
    const int divisor = argc > 2 ? std::atoi(argv[2]) : 400;

    devsimtest::Devsim sim;
    if (!sim.ok()) {
        std::fprintf(stderr, "devsim did not start\n");
        return 1;
    }
    const std::string root = shellbench::prepareHost(sim.port());
    kv::ScopedClock clock(std::make_shared<shellbench::FastClock>(divisor));

    long started = 0;
    long failedPolls = 0;
    bool failed = false;
    {
        gCommandLine = {"/I127.0.0.1", "/Rpublic", "/Wprivate"};
        TApplication app;
        app.CreateForm(MainForm);
        TMainForm &f = *MainForm;
        shellbench::pumpUntil([&] { return f.Ed_FwVer->Text() == "v2.00.15"; }, 5000);
        auto poll = f.LedStatus->OnTimer;
        f.LedStatus->OnTimer = [&started, &failedPolls, &f, poll](TObject *s) {
            // The poll before this one has ended.
            failedPolls += f.LastStatusCode != 0;
            ++started;
            poll(s);
        };
        shellbench::pumpUntil([] { return false; }, 500);
        const long rssStart = shellbench::residentKiB();
        std::printf("memory at start: %ld KiB\n", rssStart);
        const auto t0 = std::chrono::steady_clock::now();
        long lastReport = 0;
        while (started < polls) {
            kv::waitForEvents(5);
            if (started - lastReport >= 5000) {
                lastReport = started;
                std::printf("  %ld polls, %llu re-reads, %ld KiB\n", started,
                            static_cast<unsigned long long>(f.Probe->RereadsStarted()),
                            shellbench::residentKiB());
                std::fflush(stdout);
            }
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const long done = started;
        const unsigned long long rereads = f.Probe->RereadsStarted();
        // No more polls or re-reads; the last answers arrive before counting what is still alive.
        f.LedStatus->OnTimer = nullptr;
        f.Timer1->SetEnabled(false);
        shellbench::pumpUntil([] { return false; }, 2500);
        int outstanding = f.SysDescrReq->Outstanding + f.LedStatusReq->Request.Outstanding;
        int bindings = 1;
        for (int row = 1; row <= 35; ++row)
            if (KvSNMPRequest2Edits *b = f.Probe->Binding(row)) {
                outstanding += b->Request.Outstanding;
                ++bindings;
            }
        std::printf("polls: %ld in %.1f s (%ld failed); capability re-reads: %llu\n", done, seconds,
                    failedPolls, rereads);
        std::printf("memory at end: %ld KiB (%+ld KiB)\n", shellbench::residentKiB(),
                    shellbench::residentKiB() - rssStart);
        std::printf("live requests: %d bindings + 1 poll, %d answers outstanding\n", bindings, outstanding);
        std::printf("status: %s\n", f.LastStatusText.c_str());
        const bool goodStatus =
            f.LastStatusCode == 0 && f.LastStatusText.rfind("Get: (KvSNMP++) Ok!. Receive at ", 0) == 0;
        if (done < polls || failedPolls > 0 || rereads < 20ULL * static_cast<unsigned long long>(done) ||
            outstanding != 0 || !goodStatus) {
            std::printf(
                "FAILED: the polls, re-reads or answers above are not a day of a device that answers\n");
            failed = true;
        }
    }
    gCommandLine.clear();
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return failed ? 2 : 0;
}

// Start-up time of the module against the simulated access point: from the program entry (or
// the moment given by --t0, the launcher's clock in ns) to a main window that is on screen
// and whose capability probe is complete (the answers checked in their controls). Then each of
// a few more starts in the same process.
// usage: shell-startup [--port P] [--t0 NS] [--starts N]
//        shell-startup --objects   prints the objects the start-up reads, one request a line
// Without --port it starts its own simulated device (not counted).
#include "BenchSeries.h"
#include "BenchSupport.h"
#include "CapabilityProbe.h"
#include "Harness.h"
#include "MainForm.h"
#include "ProcessInfo.h"

#include <QApplication>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

bool probeComplete(const TMainForm &f)
{
    const QWindow *window = f.Widget()->windowHandle();
    return window != nullptr && window->isExposed() && f.Ed_FwVer->Text() == "v2.00.15" &&
           f.Ed_LinkStatusNotSupport->Text() == "0" && f.ED_APModeComboBox->Text() == "ap" &&
           f.mssidAndWdssupport->Text() == "0" && f.SubMaskEdit->Text() == "255.0.0.0";
}

// One start: application, main window, probe; milliseconds until the probe is complete.
double oneStart()
{
    const auto t0 = std::chrono::steady_clock::now();
    TApplication app;
    app.CreateForm(MainForm);
    const bool done = shellbench::pumpUntil([] { return probeComplete(*MainForm); }, 10000);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    return done ? ms : -1;
}

// The LED setting and the status poll, then every probe row's objects.
void printObjects()
{
    std::printf("1.3.6.1.4.1.32473.11.37.4.3.1.5.0\n1.3.6.1.2.1.1.1.0\n");
    for (const CapabilityRow &row : CapabilityRows()) {
        const char *gap = "";
        for (const KvSNMPItem *item = row.Items; !item->Oid.empty(); ++item, gap = " ")
            std::printf("%s%s%s", gap, item->Oid.c_str(), row.Type == SVT_SV ? ".0" : "");
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (bench::hasWord(argc, argv, "--objects")) {
        printObjects();
        return 0;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int starts = bench::argValue(argc, argv, "--starts", 10);
    int port = bench::argValue(argc, argv, "--port", 0);
    gCommandLine = {"/I127.0.0.1", "/Rpublic", "/Wprivate"};

    // The device is up before the module starts, as when the host starts it.
    std::unique_ptr<devsimtest::Devsim> sim;
    const auto beforeDevice = std::chrono::steady_clock::now();
    if (port == 0) {
        sim = std::make_unique<devsimtest::Devsim>();
        if (!sim->ok()) {
            std::fprintf(stderr, "devsim did not start\n");
            return 1;
        }
        port = sim->port();
    }
    const std::string root = shellbench::prepareHost(port);
    const double deviceMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - beforeDevice).count();

    QApplication qt(argc, argv);
    const double first = oneStart();
    const double total = bench::msSinceLaunch(argc, argv) - (sim ? deviceMs : 0);
    if (first < 0)
        std::printf("FAILED: the probe did not complete (or the window never showed) within 10 s\n");
    else
        std::printf("first start: %.1f ms from the launch to a probed main window on screen "
                    "(%.1f ms of it in the window%s)\n",
                    total, first, sim ? "; starting the simulated device not counted" : "");
    std::vector<double> times;
    for (int i = 0; i < starts && first >= 0; ++i)
        times.push_back(oneStart());
    std::sort(times.begin(), times.end());
    if (!times.empty())
        std::printf("%d more starts: min %.1f ms, median %.1f ms, max %.1f ms\n", starts, times.front(),
                    times[times.size() / 2], times.back());
    gCommandLine.clear();
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    const bool failed = first < 0 || (!times.empty() && times.front() < 0);
    return failed ? 2 : 0;
}

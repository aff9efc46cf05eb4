// Start-up time of the module against the simulated access point: from the program entry to
// a main window whose capability probe is complete (every answer in its control). The first
// line gives the time since the process started; then each of a few more starts.
// usage: shell-startup [STARTS]
#include "BenchSupport.h"
#include "Harness.h"
#include "MainForm.h"

#include <QApplication>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

// Seconds since this process started (from /proc: start time in clock ticks after boot).
double sinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = all.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = close + 2; i <= all.size(); ++i) {
        if (i == all.size() || all[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += all[i];
        }
    }
    // Field 22 of the file is the 20th after the command.
    if (fields.size() < 20)
        return -1;
    const double started = std::atof(fields[19].c_str()) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::ifstream uptime("/proc/uptime");
    double up = 0;
    uptime >> up;
    return up - started;
}

bool probeComplete(const TMainForm &f)
{
    return f.Ed_FwVer->Text() == "v2.00.15" && f.Ed_LinkStatusNotSupport->Text() == "0" &&
           f.ED_APModeComboBox->Text() == "ap" && f.mssidAndWdssupport->Text() == "0" &&
           f.SubMaskEdit->Text() == "255.0.0.0";
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

} // namespace

int main(int argc, char **argv)
{
    const double atEntry = sinceProcessStart();
    const auto entry = std::chrono::steady_clock::now();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int starts = argc > 1 ? std::atoi(argv[1]) : 10;
    gCommandLine = {"/I127.0.0.1", "/Rpublic", "/Wprivate"};

    // The device is up before the module starts, as when the host starts it.
    devsimtest::Devsim sim;
    if (!sim.ok()) {
        std::fprintf(stderr, "devsim did not start\n");
        return 1;
    }
    const std::string root = shellbench::prepareHost(sim.port());
    const double deviceMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - entry).count();

    QApplication qt(argc, argv);
    const double first = oneStart();
    const double total =
        atEntry * 1000 +
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - entry).count() -
        deviceMs;
    std::printf("first start: %.1f ms from process start to a probed main window "
                "(%.1f ms of it in the window; starting the simulated device not counted)\n",
                total, first);
    std::vector<double> times;
    for (int i = 0; i < starts; ++i)
        times.push_back(oneStart());
    std::sort(times.begin(), times.end());
    if (!times.empty())
        std::printf("%d more starts: min %.1f ms, median %.1f ms, max %.1f ms\n", starts, times.front(),
                    times[times.size() / 2], times.back());
    gCommandLine.clear();
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return first < 0 ? 1 : 0;
}

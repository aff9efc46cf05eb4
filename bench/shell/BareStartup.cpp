// The start-up benchmark's reference: a bare Qt window of the main window's size with a panel
// picture and a status line, shown, and then the same objects the module reads at start-up
// read straight on net-snmp, one get per request of the module, each answer checked (a
// failure fails the run). Prints the time from the launch (--t0, as shell-startup) to the
// window on screen with every answer in.
// usage: bare-startup --port P [--t0 NS] OBJECTS-FILE   (one request a line, as
//        shell-startup --objects prints them)
#include "BareNetSnmp.h"
#include "BenchSeries.h"
#include "EventLoop.h"
#include "ProcessInfo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    kv::chooseLeanEventLoop();
    std::vector<std::vector<std::string>> requests;
    std::ifstream file(argc > 1 ? argv[argc - 1] : "");
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::vector<std::string> oids;
        for (std::string oid; words >> oid;)
            oids.push_back(oid);
        if (!oids.empty())
            requests.push_back(oids);
    }
    const int port = bench::argValue(argc, argv, "--port", 0);
    if (requests.empty() || port == 0) {
        std::fprintf(stderr, "usage: bare-startup --port P [--t0 NS] OBJECTS-FILE\n");
        return 1;
    }

    QApplication app(argc, argv);
    QWidget window;
    window.resize(236, 244);
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    QPixmap panel(220, 225);
    panel.fill(Qt::darkGray);
    auto *picture = new QLabel;
    picture->setPixmap(panel);
    layout->addWidget(picture);
    auto *status = new QStatusBar;
    layout->addWidget(status);
    status->showMessage(QStringLiteral("Waiting for the device to answer..."));
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    bench::BareSession session(port, "public");
    bool good = session.ok();
    std::vector<bench::Name> names, answered;
    bench::Values values;
    for (std::size_t i = 0; i < requests.size() && good; ++i) {
        names.clear();
        for (const std::string &oid : requests[i])
            names.push_back(bench::parseName(oid));
        good = session.request(false, names, answered, values) == bench::BareSession::Outcome::Answered;
    }
    status->showMessage(QStringLiteral("Get: (KvSNMP++) Ok!."));
    QCoreApplication::processEvents();
    const double ms = bench::msSinceLaunch(argc, argv);
    if (!good || !window.windowHandle()->isExposed()) {
        std::printf("FAILED: a read was not answered with a value, or the window never showed\n");
        return 2;
    }
    std::printf("first start: %.1f ms from the launch to the window on screen with %zu requests answered\n",
                ms, requests.size());
    return 0;
}

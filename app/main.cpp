// The module's program: started by the host for one device with the device's address and
// access switches (see the main window's start-up).
#include "EventLoop.h"
#include "IcmpProbe.h"
#include "MainForm.h"
#include "NetworkForms.h"
#include "StartupFlow.h"
#include "WirelessForms.h"

#include <QApplication>

int main(int argc, char **argv)
{
    kv::chooseLeanEventLoop();
    QApplication qt(argc, argv);
    for (int i = 1; i < argc; ++i)
        gCommandLine.emplace_back(argv[i]);
    // Before the main window exists: its menu enables the entries whose form is registered.
    RegisterWirelessForms();
    RegisterNetworkForms();
    // The forms probe an address with ICMP echo before they hand it out.
    kv::IcmpProber::setInstance(std::make_shared<kv::SocketIcmpProber>());
    try {
        TApplication application;
        try {
            application.SetTitle(gModelName);
            application.CreateForm(MainForm);
            application.Run();
        } catch (const std::exception &e) {
            application.ShowException(e);
        }
    } catch (...) {
        // Nothing is left to show an error with.
    }
    return 0;
}

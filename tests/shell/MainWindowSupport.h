#pragma once
// Shared set-up of the main-window tests: the module's main window against devsim (the fast
// clock, the host's folders and waiting come from the test support library).
#include "Clock.h"
#include "EventLoop.h"
#include "Forms.h"
#include "Harness.h"
#include "HostFolders.h"
#include "MainForm.h"
#include "MessageBoxService.h"
#include "Pump.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mainwintest {

using kvtest::FastClock;
using kvtest::HostFolders;
using kvtest::pump;
using kvtest::pumpUntil;
using kvtest::v2cSettings;
using kvtest::writeText;

// One start of the module: the application object and its main window.
class Module {
public:
    explicit Module(std::vector<AnsiString> args)
    {
        kv::MessageBoxService::instance().reset();
        gSaveActivateSupported = false;
        gCommandLine = std::move(args);
        app = std::make_unique<TApplication>();
        app->SetTitle(gModelName);
        app->CreateForm(MainForm);
        form = MainForm;
    }
    ~Module()
    {
        app.reset();
        gCommandLine.clear();
        // What this start left queued runs now: the end of a wait it gave up (a termination
        // signal's) would give up the next start's reads too.
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    // Every capability control has an answer from the device.
    bool probed() const { return form->Ed_FwVer->Text() == "v2.00.15"; }

    std::unique_ptr<TApplication> app;
    TMainForm *form = nullptr;
};

// The module started against its own simulated device (the settings file says how to reach it).
struct Started {
    HostFolders host;
    std::unique_ptr<devsimtest::Devsim> sim;
    std::unique_ptr<Module> module;
    TMainForm *form = nullptr;

    explicit Started(std::vector<std::string> devsimArgs,
                     const std::function<std::string(int port)> &settings = v2cSettings)
    {
        sim = std::make_unique<devsimtest::Devsim>(std::move(devsimArgs));
        if (!sim->ok())
            return;
        host.deviceSettings("127.0.0.1", settings(sim->port()));
        module = std::make_unique<Module>(std::vector<AnsiString>{"/I127.0.0.1", "/Rpublic", "/Wprivate"});
        form = module->form;
    }
    bool ready() const
    {
        return form != nullptr &&
               pumpUntil([&] { return module->probed() && form->Timer1->Enabled(); }, 5000);
    }
};

inline std::string devsimProfile(const std::string &file)
{
    return kvtest::sourceDir() + "/tests/shell/" + file;
}

} // namespace mainwintest

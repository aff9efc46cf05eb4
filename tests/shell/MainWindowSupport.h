#pragma once
// Shared set-up of the main-window tests: a fast clock, the host's settings files in a
// private folder, the per-user folders, and the module's main window against devsim.
#include "Clock.h"
#include "EventLoop.h"
#include "Forms.h"
#include "Harness.h"
#include "MainForm.h"
#include "MessageBoxService.h"
#include "TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mainwintest {

// Timers run divisor times faster; time-outs and the monotonic clock stay real, so the
// device's answers are never outrun by the clock. The wall clock may be set.
class FastClock : public kv::Clock {
public:
    explicit FastClock(int divisor) : m_divisor(divisor) {}
    int timerIntervalMs(int requestedMs) const override
    {
        const int ms = requestedMs / m_divisor;
        return ms < 1 ? 1 : ms;
    }
    std::time_t wallTime() const override { return m_wall != 0 ? m_wall : kv::Clock::wallTime(); }
    void setWallTime(std::time_t t) { m_wall = t; }

private:
    int m_divisor;
    std::time_t m_wall = 0;
};

// Handles events until cond holds or ms passed.
inline bool waitUntil(const std::function<bool()> &cond, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        kv::waitForEvents(10);
    }
    return true;
}

// Handles events for ms.
inline void pump(int ms)
{
    waitUntil([] { return false; }, ms);
}

inline void writeText(const std::string &path, const std::string &text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// The host's settings and the per-user folders of one test, in a private folder.
struct HostFolders {
    std::string root = kvtest::makeTempDir("kv-mainwin-");
    std::string settings = root + "/MBF/";

    HostFolders()
    {
        writeText(root + "/host.ini", "[MibFile]\nPath=" + settings + "\n");
        std::filesystem::create_directories(root + "/data");
        std::filesystem::create_directories(root + "/run");
        ::chmod((root + "/run").c_str(), 0700);
        setenv("ORVALE_HOST_SETTINGS", (root + "/host.ini").c_str(), 1);
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
    }
    ~HostFolders()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    // "<address>.cfg" with the given lines of section "Program Information".
    void deviceSettings(const std::string &address, const std::string &lines) const
    {
        writeText(settings + address + ".cfg", "[Program Information]\n" + lines);
    }
};

inline std::string v2cSettings(int port)
{
    return "AgentPort=" + std::to_string(port) +
           "\nVersion=1\nSecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n";
}

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
    }
    // Every capability control has an answer from the device.
    bool probed() const { return form->Ed_FwVer->Text() == "v2.00.15"; }

    std::unique_ptr<TApplication> app;
    TMainForm *form = nullptr;
};

inline std::string devsimProfile(const std::string &file)
{
    return kvtest::sourceDir() + "/tests/shell/" + file;
}

} // namespace mainwintest

#pragma once
// Shared pieces of the main-window benchmarks: a clock whose timers run faster, the host's
// settings in a private folder, and the process's memory.
#include "Clock.h"
#include "EventLoop.h"
#include "ProcessInfo.h"
#include "Pump.h"
#include "TestEnv.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace shellbench {

using kvtest::FastClock;
using kvtest::pumpUntil;

using bench::residentKiB;

// Host settings naming a settings folder with a v2c settings file for 127.0.0.1:port, and
// private per-user folders.
inline std::string prepareHost(int port)
{
    const std::string root = kvtest::makeTempDir("kv-shell-bench-");
    std::filesystem::create_directories(root + "/MBF");
    std::filesystem::create_directories(root + "/data");
    std::filesystem::create_directories(root + "/run");
    ::chmod((root + "/run").c_str(), 0700);
    std::ofstream(root + "/host.ini") << "[MibFile]\nPath=" << root << "/MBF/\n";
    std::ofstream(root + "/MBF/127.0.0.1.cfg")
        << "[Program Information]\nAgentPort=" << port
        << "\nVersion=1\nSecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n";
    setenv("ORVALE_HOST_SETTINGS", (root + "/host.ini").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
    return root;
}

} // namespace shellbench

#pragma once
// What a benchmarked program reads of its own process: when it was launched, its memory.
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace bench {

// Milliseconds since the launch: the launcher's clock given as "--t0 NS" (the real-time clock
// in ns, read just before it started the program), else the process's start time from /proc
// (10 ms steps).
inline double msSinceLaunch(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--t0") == 0) {
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            const double nowNs = static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
            return (nowNs - std::strtod(argv[i + 1], nullptr)) / 1e6;
        }
    std::ifstream stat("/proc/self/stat");
    const std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The start time is the 20th field after the command, which ends at the last ')'.
    std::size_t at = all.rfind(')');
    for (int field = 0; field < 20 && at != std::string::npos; ++field)
        at = all.find(' ', at + 1);
    if (at == std::string::npos)
        return -1;
    const double started = std::atof(all.c_str() + at + 1) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::ifstream uptime("/proc/uptime");
    double up = 0;
    uptime >> up;
    return (up - started) * 1000;
}

// Resident memory in KiB (VmRSS), -1 when unknown.
inline long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

} // namespace bench

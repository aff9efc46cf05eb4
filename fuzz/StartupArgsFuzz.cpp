// Command lines and address texts from arbitrary bytes: the start-up parser and the address
// checks must neither crash nor accept a device address that leaves its folder.
#include "NetUtils.h"
#include "Startup.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// One settings file for the address "d", so that the SNMPv3 switches are reached too.
std::string settingsFolder()
{
    static const std::string folder = [] {
        auto dir = std::filesystem::temp_directory_path() / "kv-fuzz-startup";
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "d.cfg") << "[Program Information]\nAgentPort=161\nVersion=3\nSecurityModel=3\n"
                                        "SecurityLevel=1\nAuthProtocol=1\nPrivProtocol=1\n";
        return dir.string();
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<AnsiString> args;
    std::size_t start = 0;
    while (start <= text.size() && args.size() < 32) {
        auto nl = text.find('\n', start);
        if (nl == std::string::npos)
            nl = text.size();
        args.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    auto r = ParseStartupArguments(args, settingsFolder(), StartupDefaults{});
    if (r.outcome == StartupArguments::Outcome::Run &&
        (r.AgentAddress.find('/') != AnsiString::npos || r.AgentAddress.find("..") != AnsiString::npos))
        std::abort();
    if (r.outcome == StartupArguments::Outcome::Run && r.Defaults.Device.Port == 0)
        std::abort();
    IsValidIPAddress(text);
    IsValidSubnetMask(text);
    NetworkAddressOf(text, text);
    return 0;
}

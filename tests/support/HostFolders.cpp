#include "HostFolders.h"

#include "TestEnv.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kvtest {

void writeText(const std::string &path, const std::string &text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string v2cSettings(int port)
{
    return "AgentPort=" + std::to_string(port) +
           "\nVersion=1\nSecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n";
}

HostFolders::HostFolders() : root(makeTempDir("kv-host-")), settings(root + "/MBF/")
{
    writeText(root + "/host.ini", "[MibFile]\nPath=" + settings + "\n");
    std::filesystem::create_directories(settings);
    std::filesystem::create_directories(root + "/data");
    std::filesystem::create_directories(root + "/run");
    ::chmod((root + "/run").c_str(), 0700);
    setenv("ORVALE_HOST_SETTINGS", (root + "/host.ini").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
}

HostFolders::~HostFolders()
{
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}

void HostFolders::deviceSettings(const std::string &address, const std::string &lines) const
{
    writeText(settings + address + ".cfg", "[Program Information]\n" + lines);
}

} // namespace kvtest

#pragma once
// The host's side of one module start, in a private folder: the host settings file naming the
// settings folder, the device's settings file there, and the per-user data and run folders.
#include <string>

namespace kvtest {

void writeText(const std::string &path, const std::string &text);

// Settings of a device served over SNMPv2c on 127.0.0.1:port.
std::string v2cSettings(int port);

struct HostFolders {
    HostFolders();
    ~HostFolders();
    HostFolders(const HostFolders &) = delete;
    HostFolders &operator=(const HostFolders &) = delete;
    // "<address>.cfg" with the given lines of section "Program Information".
    void deviceSettings(const std::string &address, const std::string &lines) const;

    std::string root;
    std::string settings; // the settings folder, ending in "/"
};

} // namespace kvtest

#pragma once
// devsim's command line.
#include "Device.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace devsim {

struct UsmUser {
    std::string name;
    std::string authProtocol; // "MD5" or "SHA"; empty for no authentication
    std::string authPass;
    std::string privProtocol; // "DES" or empty
    std::string privPass;
};

// Parses "NAME", "NAME:MD5|SHA:AUTHPASS" or "NAME:MD5|SHA:AUTHPASS:DES:PRIVPASS".
std::optional<UsmUser> parseUserOption(const std::string &text, std::string &error);

struct Options {
    std::string address = "127.0.0.1";
    int port = 161;
    std::string catalog;               // empty: the built-in default catalog
    std::vector<std::string> profiles; // names or paths, applied in order
    std::vector<UsmUser> users;
    std::string readCommunity = "public";
    std::string writeCommunity = "private";
    std::string stateDir;    // empty: a fresh temporary folder, removed at exit
    std::string engineId;    // empty: the one kept in the state folder (or a new one)
    int lifetimeSeconds = 0; // 0: until SIGTERM
    int tftpPort = 69;
    int tftpTimeoutMs = 20000;
    std::string tftpProgram = "atftp";
    int rebootSilenceMs = 5000;
    std::vector<std::string> faults;
    bool help = false;
    std::string sectionsDir;                                  // empty: sections/ beside the catalog
    std::string air;                                          // empty: the air.txt fixture
    std::map<std::string, std::string, std::less<>> fixtures; // fixture name -> file
};

// Parses argv; on failure returns nullopt and sets error.
std::optional<Options> parseOptions(const std::vector<std::string> &args, std::string &error);
// The usage text, naming the profiles given (those found beside the catalog).
std::string helpText(const std::vector<std::string> &profiles);
// The names of the profiles beside a catalog (profiles/NAME.cat in its folder), sorted.
std::vector<std::string> profileNames(const std::string &catalogDir);

// The folder holding the default catalog and the profiles: next to the executable when
// installed there, otherwise the source tree's catalog folder.
std::string defaultCatalogDir(const std::string &executablePath);

// The air and the fixture files of the device: fixtures/ beside the catalog unless an option
// names other files. Throws std::runtime_error for an unreadable or bad air file.
void loadFixtures(const Options &options, const std::string &catalogPath, DeviceOptions &device);

// The faults of the command line, each on every instance its object reaches. Throws
// std::runtime_error for an object the catalog lacks, or for a second fault acting on the same
// operation of one object (one for get and one for set combine).
void loadFaults(const Options &options, const Catalog &catalog, DeviceOptions &device);

} // namespace devsim

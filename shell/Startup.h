#pragma once
// What the module learns at start-up before it talks to the device: the host's settings
// (help path, host folder, settings folder), the command line and the per-device settings
// file, turned into the request defaults; plus the clock text written to the device.
#include "AnsiString.h"
#include "KvSNMPRecords.h"

#include <cstdint>
#include <ctime>
#include <vector>

// The host's settings file, an ini file the module only reads. Its path comes from this
// environment variable, else the default below. Layout:
//   [HelpPath]   1.3.6.1.4.1.32473.10.37.30=<help file path; its folder is the module folder>
//   [ExePath]    Path=<host folder; settings files lie in its ../Conf/MBF/>
//   [MibFile]    Path=<settings folder; overrides the one above when not empty>
inline constexpr const char *kHostSettingsEnv = "ORVALE_HOST_SETTINGS";
inline constexpr const char *kHostSettingsDefault = "/etc/orvale/host.ini";

struct HostSettings {
    AnsiString HelpPath;
    AnsiString ModuleFolder;   // HelpPath without its last 12 characters (the help file name)
    AnsiString SettingsFolder; // where "<address>.cfg" lies; empty: the current folder
};

AnsiString HostSettingsPath();
// A missing file or section leaves its fields empty.
HostSettings ReadHostSettings(const AnsiString &iniPath);
AnsiString ModuleFolderOf(const AnsiString &helpPath);
// A message file of the module folder's "errmsg" folder (found whatever its letter case);
// with an empty module folder, of the current folder's.
AnsiString MessageFilePath(const AnsiString &moduleFolder, const AnsiString &fileName);
// The per-device settings file: settings folder + address + ".cfg".
AnsiString SettingsFilePath(const AnsiString &settingsFolder, const AnsiString &agentAddress);
// Where the module writes what it keeps for one device (engine boots counter, received
// files): $XDG_DATA_HOME (else ~/.local/share) + "/qrn5290ap/" + address.
AnsiString DeviceDataFolder(const AnsiString &agentAddress);
// The file locked for the life of the process so that one instance runs per device:
// $XDG_RUNTIME_DIR (else the device data folder's parent) + "/qrn5290ap-" + address + ".lock".
AnsiString InstanceLockPath(const AnsiString &agentAddress);

// The request defaults that start-up writes (codes are the library's: version 0 v1, 1 v2c,
// 3 v3; security model 3 USM; level 1 noAuthNoPriv, 2 authNoPriv, 3 authPriv; authentication
// 1 none, 2 MD5, 3 SHA; privacy 1 none, 2 CBC-DES, 9 IDEA).
inline constexpr int32_t kPrivacyIdea = 9;

struct StartupDefaults {
    KvSNMPDevice Device;
    KvSNMPScope Scope;
    KvSNMPSecurity Security;
};

struct StartupArguments {
    enum class Outcome {
        Run,         // go on with Defaults and AgentAddress
        NoArguments, // show Message and end
        Error,       // show Message and end
    };
    Outcome outcome = Outcome::Run;
    AnsiString Message;
    AnsiString AgentAddress;
    AnsiString CfgVersionText; // version of the settings file read last; empty when none was read
    StartupDefaults Defaults;
};

inline constexpr const char *kMsgNoArguments = "This module is only used in the Morvix or HP-Openview.";
inline constexpr const char *kSettingsSection = "Program Information";

// The command line (without the program name) and the settings files into the defaults.
// Each switch and its value form one argument; the value is what follows the switch's first
// two characters. A switch that starts the argument wins; only an argument that starts with
// no switch is searched for one. "/I" sets the address; every other argument first re-reads
// the settings file of the address known then, and applies its switch after. The SNMPv3
// switches apply only while the version is 3. A number that is missing or malformed, out of
// range or an unknown code ends the parsing with a message naming the key and file or the
// switch; so do an address longer than a host name can be and SNMPv3 with IDEA privacy,
// which this system does not have.
StartupArguments ParseStartupArguments(const std::vector<AnsiString> &args, const AnsiString &settingsFolder,
                                       const StartupDefaults &initial);

// The window caption: the resource caption, " : " and the address.
AnsiString StartupCaption(const AnsiString &caption, const AnsiString &agentAddress);

// The device's sntptimerefresh text "yyyy:mm:dd:hh:nn:ss" (24-hour) of a local time.
AnsiString SntpClockText(const std::tm &local);
AnsiString SntpClockText(std::time_t t);
// The same for the PC clock now (kv::Clock's wall time, so tests can set it).
AnsiString SntpClockTextNow();

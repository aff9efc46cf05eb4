#include "Startup.h"
#include "Clock.h"
#include "ShellTexts.h"
#include "StartupFlow.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace {

namespace fs = std::filesystem;

// The request defaults as the global session leaves them.
StartupDefaults sessionDefaults()
{
    StartupDefaults d;
    d.Device.Address = "127.0.0.1";
    d.Device.Port = 161;
    d.Security.Version = 0;
    d.Security.ReadCommunity = "mardle";
    d.Security.WriteCommunity = "quintel";
    d.Security.SecurityModel = 1;
    d.Security.SecurityLevel = 1;
    d.Security.AuthProtocol = 1;
    d.Security.PrivProtocol = 1;
    return d;
}

class StartupParse : public ::testing::Test {
protected:
    void SetUp() override { m_dir = kvtest::makeTempDir("shell-startup"); }
    void TearDown() override { fs::remove_all(m_dir); }

    void writeSettings(const std::string &address, const std::string &body)
    {
        std::ofstream(m_dir + "/" + address + ".cfg") << "[Program Information]\n" << body;
    }
    StartupArguments parse(const std::vector<AnsiString> &args)
    {
        return ParseStartupArguments(args, m_dir, sessionDefaults());
    }

    std::string m_dir;
};

TEST_F(StartupParse, NoArguments)
{
    auto r = parse({});
    EXPECT_EQ(r.outcome, StartupArguments::Outcome::NoArguments);
    EXPECT_EQ(r.Message, "This module is only used in the Morvix or HP-Openview.");
}

TEST_F(StartupParse, CommunitiesWithoutSettingsFile)
{
    auto r = parse({"/I10.1.1.5", "/Rpub", "/Wpriv"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.AgentAddress, "10.1.1.5");
    EXPECT_EQ(r.Defaults.Device.Address, "10.1.1.5");
    EXPECT_EQ(r.Defaults.Device.Port, 161);
    EXPECT_EQ(r.Defaults.Security.Version, 0);
    EXPECT_EQ(r.Defaults.Security.ReadCommunity, "pub");
    EXPECT_EQ(r.Defaults.Security.WriteCommunity, "priv");
    EXPECT_TRUE(r.CfgVersionText.empty());
    EXPECT_EQ(StartupCaption("QRN-5290AP", r.AgentAddress), "QRN-5290AP : 10.1.1.5");
}

TEST_F(StartupParse, SettingsFileVersionTwoMeansV2c)
{
    writeSettings("10.1.1.6", "AgentPort=161\nVersion=2\nSecurityModel=3\nSecurityLevel=0\nAuthProtocol=0\n"
                              "PrivProtocol=0\n");
    auto r = parse({"/I10.1.1.6", "/Rpub"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Security.Version, 1);
}

TEST_F(StartupParse, SettingsFileForSnmpV3)
{
    writeSettings("10.1.1.5",
                  "AgentPort=1161\nVersion=3\nSecurityModel=3\nSecurityLevel=2\nAuthProtocol=1\n"
                  "PrivProtocol=0\nSecurityName=admin\nContextName=ctx\nContextEngineID=80001f88\n"
                  "AuthPassword = authpass \nPrivPassword=\n");
    auto r = parse({"/I10.1.1.5", "/Rpub", "/Wpriv"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Security.Version, 3);
    EXPECT_EQ(r.CfgVersionText, "3");
    EXPECT_EQ(r.Defaults.Device.Port, 1161);
    EXPECT_EQ(r.Defaults.Security.SecurityModel, 3);
    EXPECT_EQ(r.Defaults.Security.SecurityLevel, 3);
    EXPECT_EQ(r.Defaults.Security.AuthProtocol, 2);
    EXPECT_EQ(r.Defaults.Security.PrivProtocol, 1);
    EXPECT_EQ(r.Defaults.Security.SecurityName, "admin");
    EXPECT_EQ(r.Defaults.Scope.ContextName, "ctx");
    EXPECT_EQ(r.Defaults.Scope.ContextEngineId, "80001f88");
    EXPECT_EQ(r.Defaults.Security.AuthPassPhrase, "authpass");
    EXPECT_EQ(r.Defaults.Security.PrivPassPhrase, "");
    EXPECT_EQ(r.Defaults.Security.ReadCommunity, "pub");
}

TEST_F(StartupParse, SwitchWinsUntilTheNextArgumentRereadsTheFile)
{
    writeSettings("10.1.1.5", "AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=0\nAuthProtocol=0\n"
                              "PrivProtocol=0\n");
    auto r = parse({"/I10.1.1.5", "/t2000"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Device.Port, 2000);
    r = parse({"/I10.1.1.5", "/t2000", "/nuser"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Device.Port, 161);
    EXPECT_EQ(r.Defaults.Security.SecurityName, "user");
}

TEST_F(StartupParse, V3SwitchesIgnoredWhileNotV3)
{
    auto r = parse({"/I10.1.1.5", "/t2000", "/nuser", "/l2"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Device.Port, 161);
    EXPECT_EQ(r.Defaults.Security.SecurityName, "");
    EXPECT_EQ(r.Defaults.Security.SecurityLevel, 1);
}

TEST_F(StartupParse, V3SwitchesFromZeroToLibraryCodes)
{
    writeSettings("10.9.9.9", "AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=0\nAuthProtocol=0\n"
                              "PrivProtocol=0\n");
    struct Case {
        const char *arg;
        int32_t KvSNMPSecurity::*field;
        int32_t expected;
    };
    const Case cases[] = {
        {"/l0", &KvSNMPSecurity::SecurityLevel, 1}, {"/l1", &KvSNMPSecurity::SecurityLevel, 2},
        {"/l2", &KvSNMPSecurity::SecurityLevel, 3}, {"/a0", &KvSNMPSecurity::AuthProtocol, 1},
        {"/a1", &KvSNMPSecurity::AuthProtocol, 2},  {"/a2", &KvSNMPSecurity::AuthProtocol, 3},
        {"/p0", &KvSNMPSecurity::PrivProtocol, 1},  {"/p1", &KvSNMPSecurity::PrivProtocol, 2},
        {"/m3", &KvSNMPSecurity::SecurityModel, 3},
    };
    for (const auto &c : cases) {
        auto r = parse({"/I10.9.9.9", c.arg});
        ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << c.arg << ": " << r.Message;
        EXPECT_EQ(r.Defaults.Security.*c.field, c.expected) << c.arg;
    }
    auto r = parse({"/I10.9.9.9", "/cctx", "/d8000", "/nname", "/Aauth", "/Ppriv", "/c"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Scope.ContextName, ""); // an empty "/c" value is stored too
    EXPECT_EQ(r.Defaults.Scope.ContextEngineId, "");
    r = parse({"/I10.9.9.9", "/Aauth"});
    EXPECT_EQ(r.Defaults.Security.AuthPassPhrase, "auth");
    r = parse({"/I10.9.9.9", "/Ppriv"});
    EXPECT_EQ(r.Defaults.Security.PrivPassPhrase, "priv");
    r = parse({"/I10.9.9.9", "/d8000"});
    EXPECT_EQ(r.Defaults.Scope.ContextEngineId, "8000");
}

TEST_F(StartupParse, SettingsFileLevelsAndProtocolsZeroKeepDefaults)
{
    writeSettings("h", "AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=0\nAuthProtocol=0\n"
                       "PrivProtocol=0\n");
    StartupDefaults initial = sessionDefaults();
    initial.Security.SecurityLevel = 2;
    initial.Security.AuthProtocol = 3;
    initial.Security.PrivProtocol = 2;
    auto r = ParseStartupArguments({"/Ih", "/Rx"}, m_dir, initial);
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Security.SecurityLevel, 2);
    EXPECT_EQ(r.Defaults.Security.AuthProtocol, 3);
    EXPECT_EQ(r.Defaults.Security.PrivProtocol, 2);
}

TEST_F(StartupParse, VersionSwitch)
{
    auto r = parse({"/I10.1.1.5", "/v2"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Security.Version, 1); // SNMPv2c
    for (const char *bad : {"/v21", "/v2x"}) {
        r = parse({"/I10.1.1.5", bad});
        EXPECT_EQ(r.outcome, StartupArguments::Outcome::Error) << bad;
        EXPECT_NE(r.Message.find("/v2"), AnsiString::npos) << r.Message;
    }
}

TEST_F(StartupParse, SwitchAtTheStartWinsOverOneInside)
{
    // A community or pass phrase holding "/I" does not redirect the module.
    auto r = parse({"/I10.1.1.5", "/Rpub/Ievil", "/Wx/R"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.AgentAddress, "10.1.1.5");
    EXPECT_EQ(r.Defaults.Security.ReadCommunity, "pub/Ievil");
    EXPECT_EQ(r.Defaults.Security.WriteCommunity, "x/R");
}

TEST_F(StartupParse, PassPhraseHoldingSwitchesStaysWhole)
{
    writeSettings("10.1.1.5", "AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=2\nAuthProtocol=1\n"
                              "PrivProtocol=1\n");
    auto r = parse({"/I10.1.1.5", "/Aab/Ixy/Rz", "/Pp/v2q"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.AgentAddress, "10.1.1.5");
    EXPECT_EQ(r.Defaults.Security.AuthPassPhrase, "ab/Ixy/Rz");
    EXPECT_EQ(r.Defaults.Security.PrivPassPhrase, "p/v2q");
    EXPECT_EQ(r.Defaults.Security.ReadCommunity, "mardle");
    EXPECT_EQ(r.Defaults.Security.Version, 3);
}

TEST_F(StartupParse, SearchInsideWhenNoSwitchStartsTheArgument)
{
    auto r = parse({"x/I10.1.1.7", "x/Rabc", "/Ruser/Wpass"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.AgentAddress, "10.1.1.7");
    // The last argument: only "/R" is taken, with the rest as its value.
    EXPECT_EQ(r.Defaults.Security.ReadCommunity, "user/Wpass");
    EXPECT_EQ(r.Defaults.Security.WriteCommunity, "quintel");
    r = parse({"x/I10.1.1.7", "x/Rabc"});
    EXPECT_EQ(r.Defaults.Security.ReadCommunity, "abc");
}

TEST_F(StartupParse, WithoutAddressTheDefaultAgentStays)
{
    auto r = parse({"/Rpub"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.AgentAddress, "");
    EXPECT_EQ(r.Defaults.Device.Address, "127.0.0.1");
}

TEST_F(StartupParse, NumbersThatAreMissingMalformedOrOutOfRange)
{
    struct Case {
        const char *settings; // empty: no settings file
        const char *arg;
        const char *named; // the message names this
    };
    const char *good = "Version=3\nSecurityModel=3\nSecurityLevel=1\nAuthProtocol=1\nPrivProtocol=1\n";
    const std::string withPort = std::string("AgentPort=161\n") + good;
    const Case cases[] = {
        {"Version=3\nSecurityModel=3\nSecurityLevel=1\nAuthProtocol=1\nPrivProtocol=1\n", "/Rx", "AgentPort"},
        {"AgentPort=abc\nVersion=3\nSecurityModel=3\n", "/Rx", "AgentPort"},
        {"AgentPort=0\nVersion=3\nSecurityModel=3\n", "/Rx", "AgentPort"},
        {"AgentPort=65536\nVersion=3\nSecurityModel=3\n", "/Rx", "AgentPort"},
        {"AgentPort=-1\nVersion=3\nSecurityModel=3\n", "/Rx", "AgentPort"},
        {"AgentPort=161\nVersion=\nSecurityModel=3\n", "/Rx", "Version"},
        {"AgentPort=161\nVersion=4\nSecurityModel=3\n", "/Rx", "Version"},
        {"AgentPort=161\nVersion=0x3\nSecurityModel=3\n", "/Rx", "Version"},
        {"AgentPort=161\nVersion=3\nSecurityLevel=1\nAuthProtocol=1\nPrivProtocol=1\n", "/Rx",
         "SecurityModel"},
        {"AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=3\nAuthProtocol=1\nPrivProtocol=1\n",
         "/Rx", "SecurityLevel"},
        {"AgentPort=161\nVersion=3\nSecurityModel=3\nAuthProtocol=1\nPrivProtocol=1\n", "/Rx",
         "SecurityLevel"},
        {"AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=1\nAuthProtocol=x\nPrivProtocol=1\n",
         "/Rx", "AuthProtocol"},
        {"AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=1\nAuthProtocol=1\nPrivProtocol=2\n",
         "/Rx", "PrivProtocol"},
        {"", "/v2", nullptr},
        {withPort.c_str(), "/tabc", "/t"},
        {withPort.c_str(), "/t", "/t"},
        {withPort.c_str(), "/t65536", "/t"},
        {withPort.c_str(), "/t0", "/t"},
        {withPort.c_str(), "/m9", "/m"},
        {withPort.c_str(), "/l3", "/l"},
        {withPort.c_str(), "/l-1", "/l"},
        {withPort.c_str(), "/a3", "/a"},
        {withPort.c_str(), "/p2", "/p"},
        {withPort.c_str(), "/pDES", "/p"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.settings) + " " + c.arg);
        fs::remove(m_dir + "/10.1.1.5.cfg");
        if (*c.settings)
            writeSettings("10.1.1.5", c.settings);
        auto r = parse({"/I10.1.1.5", c.arg});
        if (c.named == nullptr) {
            EXPECT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
            continue;
        }
        ASSERT_EQ(r.outcome, StartupArguments::Outcome::Error);
        EXPECT_NE(r.Message.find(c.named), AnsiString::npos) << r.Message;
        if (c.arg == std::string("/Rx")) { // settings file errors name the file
            EXPECT_NE(r.Message.find("10.1.1.5.cfg"), AnsiString::npos) << r.Message;
        }
    }
}

TEST_F(StartupParse, ValidPortBoundsAreKept)
{
    writeSettings("10.1.1.5", "AgentPort=65535\nVersion=3\nSecurityModel=3\nSecurityLevel=1\nAuthProtocol=1\n"
                              "PrivProtocol=1\n");
    auto r = parse({"/I10.1.1.5", "/Rx"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Device.Port, 65535);
    r = parse({"/I10.1.1.5", "/t1"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Device.Port, 1);
}

TEST_F(StartupParse, ErrorStopsAtTheFirstBadArgument)
{
    writeSettings("10.1.1.5", "AgentPort=161\nVersion=0\n"); // no SecurityModel
    auto r = parse({"/I10.1.1.5", "/Rpub", "/Wpriv"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Error);
    EXPECT_NE(r.Message.find("SecurityModel"), AnsiString::npos);
    EXPECT_EQ(r.Defaults.Security.ReadCommunity, "mardle");
}

TEST_F(StartupParse, DeviceAddressThatWouldEscapeItsFolderIsRefused)
{
    for (const char *bad : {"/I../etc/passwd", "/I10.1.1.5/x", "/Ia..b", "/I10.1.1.5\n", "/I\t1", "/I"}) {
        auto r = parse({bad, "/Rpub"});
        EXPECT_EQ(r.outcome, StartupArguments::Outcome::Error) << bad;
        EXPECT_FALSE(r.Message.empty());
    }
    auto r = parse({"/Iap-1.example", "/Rpub"});
    EXPECT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
}

TEST_F(StartupParse, IdeaPrivacyIsRefusedAtStartForSnmpV3)
{
    writeSettings("10.9.9.9", "AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=2\nAuthProtocol=1\n"
                              "PrivProtocol=0\n");
    auto r = parse({"/I10.9.9.9", "/p8"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Error);
    EXPECT_EQ(r.Message,
              "The switch /p on the command line chooses the privacy protocol IDEA (8), which is not "
              "available on this system: choose 0 (none) or 1 (CBC-DES).");
    // A later switch choosing another protocol wins, as switches do.
    EXPECT_EQ(parse({"/I10.9.9.9", "/p8", "/p1"}).outcome, StartupArguments::Outcome::Run);

    writeSettings("10.9.9.8", "AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=2\nAuthProtocol=1\n"
                              "PrivProtocol=8\n");
    r = parse({"/I10.9.9.8", "/Rpub"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Error);
    EXPECT_EQ(r.Message.rfind("The key PrivProtocol of the settings file " + m_dir, 0), 0u) << r.Message;
    EXPECT_NE(r.Message.find("IDEA (8), which is not available on this system"), AnsiString::npos);

    // Versions 1 and 2c ignore the SNMPv3 switches, IDEA among them.
    EXPECT_EQ(parse({"/I10.9.9.7", "/Rpub", "/p8"}).outcome, StartupArguments::Outcome::Run);
}

TEST_F(StartupParse, AddressLongerThanAHostNameIsRefusedAsAnAddress)
{
    const std::string label(63, 'a');
    const std::string longest = label + "." + label + "." + label + "." + std::string(61, 'b'); // 253
    ASSERT_EQ(longest.size(), 253u);
    EXPECT_EQ(parse({"/I" + longest, "/Rpub"}).outcome, StartupArguments::Outcome::Run);
    for (const std::string &bad : {longest + "c", std::string(64, 'a') + ".example", std::string(300, 'x')}) {
        auto r = parse({"/I" + bad, "/Rpub"});
        ASSERT_EQ(r.outcome, StartupArguments::Outcome::Error) << bad.size();
        EXPECT_EQ(
            r.Message.rfind("The device address given with /I is not valid: it is longer than a host name "
                            "can be (",
                            0),
            0u)
            << r.Message;
    }
}

TEST_F(StartupParse, SettingsFileOfTheAddressKnownAtThatMoment)
{
    writeSettings("a", "AgentPort=1001\nVersion=1\nSecurityModel=1\nSecurityLevel=0\nAuthProtocol=0\n"
                       "PrivProtocol=0\n");
    writeSettings("b", "AgentPort=1002\nVersion=0\nSecurityModel=1\nSecurityLevel=0\nAuthProtocol=0\n"
                       "PrivProtocol=0\n");
    auto r = parse({"/Ia", "/Rx", "/Ib"});
    ASSERT_EQ(r.outcome, StartupArguments::Outcome::Run) << r.Message;
    EXPECT_EQ(r.Defaults.Device.Port, 1001); // "/Ib" itself reads nothing
    EXPECT_EQ(r.Defaults.Security.Version, 1);
    r = parse({"/Ia", "/Ib", "/Rx"});
    EXPECT_EQ(r.Defaults.Device.Port, 1002);
    EXPECT_EQ(r.Defaults.Security.Version, 0);
    EXPECT_EQ(r.CfgVersionText, "0");
}

class EnvVar {
public:
    EnvVar(const char *name, const char *value) : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char *m_name;
    std::optional<std::string> m_old;
};

TEST(HostSettings, PathFromEnvironmentOrDefault)
{
    {
        EnvVar env(kHostSettingsEnv, "/tmp/x/host.ini");
        EXPECT_EQ(HostSettingsPath(), "/tmp/x/host.ini");
    }
    EnvVar env(kHostSettingsEnv, nullptr);
    EXPECT_EQ(HostSettingsPath(), "/etc/orvale/host.ini");
}

TEST(HostSettings, KeysAndFolders)
{
    auto dir = kvtest::makeTempDir("shell-host");
    const std::string ini = dir + "/host.ini";
    std::ofstream(ini) << "[HelpPath]\n1.3.6.1.4.1.32473.10.37.30=/opt/mod/qrn/qrn5290a.hlp\n"
                       << "[ExePath]\nPath=/opt/morvix/bin\n";
    auto hs = ReadHostSettings(ini);
    EXPECT_EQ(hs.HelpPath, "/opt/mod/qrn/qrn5290a.hlp");
    EXPECT_EQ(hs.ModuleFolder, "/opt/mod/qrn/");
    EXPECT_EQ(hs.SettingsFolder, "/opt/morvix/bin/../Conf/MBF/");
    EXPECT_EQ(SettingsFilePath(hs.SettingsFolder, "10.1.1.5"), "/opt/morvix/bin/../Conf/MBF/10.1.1.5.cfg");

    std::ofstream(ini, std::ios::app) << "[MibFile]\nPath=/srv/mbf\n";
    hs = ReadHostSettings(ini);
    EXPECT_EQ(hs.SettingsFolder, "/srv/mbf");
    EXPECT_EQ(SettingsFilePath(hs.SettingsFolder, "10.1.1.5"), "/srv/mbf/10.1.1.5.cfg");

    hs = ReadHostSettings(dir + "/missing.ini");
    EXPECT_EQ(hs.HelpPath, "");
    EXPECT_EQ(hs.ModuleFolder, "");
    EXPECT_EQ(hs.SettingsFolder, "");
    EXPECT_EQ(SettingsFilePath("", "10.1.1.5"), "10.1.1.5.cfg");
    fs::remove_all(dir);
}

TEST(HostSettings, ModuleFolderDropsTwelveCharacters)
{
    EXPECT_EQ(ModuleFolderOf("abcdefghijkl"), "");
    EXPECT_EQ(ModuleFolderOf("short"), "");
    EXPECT_EQ(ModuleFolderOf("/m/abcdefgh.hlp"), "/m/");
}

TEST(HostSettings, MessageFilesFoundWhateverTheCase)
{
    auto dir = kvtest::makeTempDir("shell-msg");
    fs::create_directories(dir + "/mod/errMSg");
    std::ofstream(dir + "/mod/errMSg/snmp.err") << "x\n";
    EXPECT_EQ(MessageFilePath(dir + "/mod/", "snmp.err"), dir + "/mod/errMSg/snmp.err");
    EXPECT_EQ(MessageFilePath(dir + "/mod", "snmp.err"), dir + "/mod/errMSg/snmp.err");
    EXPECT_EQ(MessageFilePath("", "common.err"), "errmsg/common.err");
    fs::remove_all(dir);
}

// Built, the message files lie beside the program; installed, in share/qrn5290ap/ beside bin/.
TEST(HostSettings, ProgramDataFolderBesideTheProgramOrInstalled)
{
    auto dir = kvtest::makeTempDir("shell-data");
    fs::create_directories(dir + "/build/ErrMsg");
    fs::create_directories(dir + "/usr/bin");
    fs::create_directories(dir + "/usr/share/qrn5290ap/errmsg");
    fs::create_directories(dir + "/bare/bin");
    EXPECT_EQ(ProgramDataFolder(dir + "/build/"), dir + "/build/");
    EXPECT_EQ(ProgramDataFolder(dir + "/usr/bin/"), dir + "/usr/bin/../share/qrn5290ap/");
    EXPECT_EQ(ProgramDataFolder(dir + "/bare/bin/"), dir + "/bare/bin/");
    EXPECT_EQ(ProgramDataFolder(""), "");
    fs::remove_all(dir);
}

TEST(HostSettings, PerUserFolders)
{
    EnvVar data("XDG_DATA_HOME", "/home/u/.data");
    EnvVar run("XDG_RUNTIME_DIR", "/run/user/1");
    EXPECT_EQ(DeviceDataFolder("10.1.1.5"), "/home/u/.data/qrn5290ap/10.1.1.5");
    EXPECT_EQ(InstanceLockPath("10.1.1.5"), "/run/user/1/qrn5290ap-10.1.1.5.lock");
    EnvVar noRun("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(InstanceLockPath("10.1.1.5"), "/home/u/.data/qrn5290ap/qrn5290ap-10.1.1.5.lock");
}

class LocalTimeZone {
public:
    explicit LocalTimeZone(const char *tz) : m_env("TZ", tz) { tzset(); }
    ~LocalTimeZone() { tzset(); }

private:
    EnvVar m_env;
};

TEST(SntpClock, FixedTwentyFourHourFormForAnyDate)
{
    LocalTimeZone utc("UTC0");
    struct Case {
        std::time_t t;
        const char *text;
    };
    const Case cases[] = {
        {1306764127, "2011:05:30:14:02:07"}, {1357084800, "2013:01:02:00:00:00"},
        {1767225600, "2026:01:01:00:00:00"}, {1790949599, "2026:10:02:13:59:59"},
        {4102444799, "2099:12:31:23:59:59"}, {946684800, "2000:01:01:00:00:00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SntpClockText(c.t), c.text);
}

TEST(SntpClock, UsesLocalTime)
{
    LocalTimeZone east("XYZ-8");
    EXPECT_EQ(SntpClockText(std::time_t{1767225600}), "2026:01:01:08:00:00");
}

TEST(SntpClock, NowComesFromTheInstalledClock)
{
    LocalTimeZone utc("UTC0");
    auto clock = std::make_shared<kv::MockClock>();
    kv::ScopedClock scoped(clock);
    clock->setWallTime(1893456000); // 2030-01-01
    EXPECT_EQ(SntpClockTextNow(), "2030:01:01:00:00:00");
    clock->advanceMs(3723000);
    EXPECT_EQ(SntpClockTextNow(), "2030:01:01:01:02:03");
}

TEST(ShellTexts, UnitConstants)
{
    EXPECT_EQ(gModelName, "QRN-5290AP");
    EXPECT_EQ(gModelName.substr(4, 4), "5290"); // characters 5 to 8
    EXPECT_EQ(gMsgAnotherInstance, "Another QRN5290AP module is running!");
    EXPECT_EQ(gBand11gName, "IEEE 802.11g");
}

} // namespace

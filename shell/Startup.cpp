#include "Startup.h"

#include "Clock.h"
#include "KvIni.h"
#include "KvNumberText.h"
#include "KvPath.h"
#include "ShellTexts.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace {

AnsiString envOr(const char *name, const AnsiString &fallback)
{
    const char *v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? AnsiString(v) : fallback;
}

AnsiString quoted(const AnsiString &s)
{
    return "\"" + s + "\"";
}

// Where a number came from, for the message that refuses it.
struct NumberSource {
    AnsiString what; // "the key AgentPort of the settings file X" or "the switch /t"
};

// A number accepted by ok, or the message that refuses it.
struct NumberCheck {
    std::optional<int32_t> value;
    AnsiString error;
};

template <typename Accept>
NumberCheck readNumber(const NumberSource &src, const AnsiString &text, const AnsiString &meaning, Accept ok)
{
    int32_t v = 0;
    if (text.empty())
        return {std::nullopt, src.what + " has no number."};
    if (!kv::parseInt32(text, v))
        return {std::nullopt, src.what + " holds " + quoted(text) + ", which is not a number."};
    if (!ok(v))
        return {std::nullopt, src.what + " holds " + text + ", which is no " + meaning + "."};
    return {v, {}};
}

NumberCheck readRange(const NumberSource &src, const AnsiString &text, const AnsiString &meaning, int32_t lo,
                      int32_t hi)
{
    return readNumber(src, text, meaning, [&](int32_t v) { return v >= lo && v <= hi; });
}

NumberCheck readCode(const NumberSource &src, const AnsiString &text, const AnsiString &meaning,
                     std::initializer_list<int32_t> codes)
{
    return readNumber(src, text, meaning,
                      [&](int32_t v) { return std::find(codes.begin(), codes.end(), v) != codes.end(); });
}

// Starts a message with a capital letter.
AnsiString sentence(AnsiString s)
{
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z')
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

class Parser {
public:
    Parser(const AnsiString &settingsFolder, const StartupDefaults &initial) : m_folder(settingsFolder)
    {
        m_result.Defaults = initial;
    }

    StartupArguments run(const std::vector<AnsiString> &args);

private:
    bool fail(const AnsiString &message)
    {
        m_result.outcome = StartupArguments::Outcome::Error;
        m_result.Message = sentence(message);
        return false;
    }
    bool takeAddress(const AnsiString &value);
    bool readSettingsFile();
    bool applySwitch(std::string_view sw, const AnsiString &value);
    bool v3Gate() const { return m_result.CfgVersionText == "3" || m_result.Defaults.Security.Version == 3; }

    // The checks shared by the settings file and the switches.
    bool port(const NumberSource &src, const AnsiString &text);
    bool model(const NumberSource &src, const AnsiString &text);
    bool level(const NumberSource &src, const AnsiString &text);
    bool authProtocol(const NumberSource &src, const AnsiString &text);
    bool privProtocol(const NumberSource &src, const AnsiString &text);

    AnsiString m_folder;
    AnsiString m_privacySource; // where the privacy protocol in effect was chosen
    StartupArguments m_result;
};

bool Parser::port(const NumberSource &src, const AnsiString &text)
{
    auto n = readRange(src, text, "UDP port (1 to 65535)", 1, 65535);
    if (!n.value)
        return fail(n.error);
    m_result.Defaults.Device.Port = static_cast<uint16_t>(*n.value);
    return true;
}

bool Parser::model(const NumberSource &src, const AnsiString &text)
{
    auto n = readRange(src, text, "known security model (1 to 3)", 1, 3);
    if (!n.value)
        return fail(n.error);
    m_result.Defaults.Security.SecurityModel = *n.value;
    return true;
}

// Levels and protocols are numbered from 0 outside, the library's codes are one higher.
bool Parser::level(const NumberSource &src, const AnsiString &text)
{
    auto n = readRange(src, text, "known security level (0 to 2)", 0, 2);
    if (!n.value)
        return fail(n.error);
    m_result.Defaults.Security.SecurityLevel = *n.value + 1;
    return true;
}

bool Parser::authProtocol(const NumberSource &src, const AnsiString &text)
{
    auto n = readRange(src, text, "known authentication protocol (0 none, 1 MD5, 2 SHA)", 0, 2);
    if (!n.value)
        return fail(n.error);
    m_result.Defaults.Security.AuthProtocol = *n.value + 1;
    return true;
}

bool Parser::privProtocol(const NumberSource &src, const AnsiString &text)
{
    auto n = readCode(src, text, "known privacy protocol (0 none, 1 CBC-DES, 8 IDEA)", {0, 1, 8});
    if (!n.value)
        return fail(n.error);
    m_result.Defaults.Security.PrivProtocol = *n.value + 1;
    m_privacySource = src.what;
    return true;
}

bool Parser::takeAddress(const AnsiString &value)
{
    const bool control = std::any_of(
        value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    if (value.empty())
        return fail("The device address given with /I is empty.");
    if (value.find('/') != AnsiString::npos || value.find("..") != AnsiString::npos || control)
        return fail("The device address " + quoted(value) +
                    " given with /I is not valid: it must not contain \"/\", \"..\" or control characters.");
    // Host names have at most 253 characters, in labels of at most 63.
    std::size_t label = 0;
    bool labelTooLong = false;
    for (char c : value) {
        label = c == '.' ? 0 : label + 1;
        labelTooLong = labelTooLong || label > 63;
    }
    if (value.size() > 253 || labelTooLong)
        return fail("The device address given with /I is not valid: it is longer than a host name can be (" +
                    std::to_string(value.size()) + " characters).");
    m_result.AgentAddress = value;
    m_result.Defaults.Device.Address = value;
    return true;
}

bool Parser::readSettingsFile()
{
    const AnsiString path = SettingsFilePath(m_folder, m_result.AgentAddress);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return true;
    const KvIni ini(path);
    auto key = [&](const char *name) { return ini.ReadString(kSettingsSection, name, ""); };
    auto source = [&](const char *name) {
        return NumberSource{"the key " + AnsiString(name) + " of the settings file " + path};
    };
    KvSNMPScope &scope = m_result.Defaults.Scope;
    KvSNMPSecurity &d = m_result.Defaults.Security;

    if (!port(source("AgentPort"), key("AgentPort")))
        return false;
    auto version = readCode(source("Version"), key("Version"), "known SNMP version (0 v1, 1 or 2 v2c, 3 v3)",
                            {0, 1, 2, 3});
    if (!version.value)
        return fail(version.error);
    // Version 2 is the number "/v2" yields: SNMPv2c, whose code is 1.
    d.Version = static_cast<uint8_t>(*version.value == 2 ? 1 : *version.value);
    m_result.CfgVersionText = std::to_string(d.Version);
    if (auto v = key("ContextName"); !v.empty())
        scope.ContextName = v;
    scope.ContextEngineId = key("ContextEngineID");
    if (!model(source("SecurityModel"), key("SecurityModel")))
        return false;
    if (auto v = key("SecurityLevel"); v != "0" && !level(source("SecurityLevel"), v))
        return false;
    d.SecurityName = key("SecurityName");
    if (auto v = key("AuthProtocol"); v != "0" && !authProtocol(source("AuthProtocol"), v))
        return false;
    if (auto v = key("PrivProtocol"); v != "0" && !privProtocol(source("PrivProtocol"), v))
        return false;
    if (auto v = key("AuthPassword"); !v.empty())
        d.AuthPassPhrase = v;
    if (auto v = key("PrivPassword"); !v.empty())
        d.PrivPassPhrase = v;
    return true;
}

bool Parser::applySwitch(std::string_view sw, const AnsiString &value)
{
    KvSNMPScope &scope = m_result.Defaults.Scope;
    KvSNMPSecurity &d = m_result.Defaults.Security;
    const NumberSource src{"the switch " + AnsiString(sw) + " on the command line"};
    if (sw == "/R") {
        d.ReadCommunity = value;
    } else if (sw == "/W") {
        d.WriteCommunity = value;
    } else if (sw == "/v2") {
        // The value starts at the "2" of "/v2"; 2 means SNMPv2c, whose code is 1.
        auto n = readCode(src, value, "known SNMP version (0 v1, 1 or 2 v2c, 3 v3)", {0, 1, 2, 3});
        if (!n.value)
            return fail(n.error);
        d.Version = static_cast<uint8_t>(*n.value == 2 ? 1 : *n.value);
    } else if (sw == "/t") {
        return port(src, value);
    } else if (sw == "/c") {
        scope.ContextName = value;
    } else if (sw == "/d") {
        scope.ContextEngineId = value;
    } else if (sw == "/m") {
        return model(src, value);
    } else if (sw == "/l") {
        return level(src, value);
    } else if (sw == "/n") {
        d.SecurityName = value;
    } else if (sw == "/A") {
        d.AuthPassPhrase = value;
    } else if (sw == "/P") {
        d.PrivPassPhrase = value;
    } else if (sw == "/a") {
        return authProtocol(src, value);
    } else if (sw == "/p") {
        return privProtocol(src, value);
    }
    return true;
}

constexpr std::array<std::string_view, 3> kSwitches = {"/R", "/W", "/v2"};
constexpr std::array<std::string_view, 10> kV3Switches = {"/t", "/c", "/d", "/m", "/l",
                                                          "/n", "/A", "/P", "/a", "/p"};

bool isV3Switch(std::string_view sw)
{
    return std::find(kV3Switches.begin(), kV3Switches.end(), sw) != kV3Switches.end();
}

// The switch that starts the argument, if any.
std::string_view leadingSwitch(std::string_view arg)
{
    if (arg.starts_with("/I"))
        return "/I";
    for (auto sw : kSwitches)
        if (arg.starts_with(sw))
            return sw;
    for (auto sw : kV3Switches)
        if (arg.starts_with(sw))
            return sw;
    return {};
}

StartupArguments Parser::run(const std::vector<AnsiString> &args)
{
    if (args.empty()) {
        m_result.outcome = StartupArguments::Outcome::NoArguments;
        m_result.Message = kMsgNoArguments;
        return m_result;
    }
    for (const AnsiString &arg : args) {
        const std::string_view lead = leadingSwitch(arg);
        // The value is the rest of the argument after the switch's first two characters.
        auto valueAt = [&](std::size_t at) { return arg.substr(std::min(arg.size(), at + 2)); };

        if (lead == "/I" || (lead.empty() && arg.find("/I") != AnsiString::npos)) {
            if (!takeAddress(valueAt(arg.find("/I"))))
                return m_result;
            continue;
        }
        if (!readSettingsFile())
            return m_result;

        bool ok = true;
        if (!lead.empty()) {
            if (!isV3Switch(lead) || v3Gate())
                ok = applySwitch(lead, valueAt(0));
        } else {
            std::string_view found;
            for (auto sw : kSwitches)
                if (found.empty() && arg.find(sw) != AnsiString::npos)
                    found = sw;
            if (found.empty() && v3Gate())
                for (auto sw : kV3Switches)
                    if (found.empty() && arg.find(sw) != AnsiString::npos)
                        found = sw;
            if (!found.empty())
                ok = applySwitch(found, valueAt(arg.find(found)));
        }
        if (!ok)
            return m_result;
    }
    // Every SNMPv3 request would fail: said at once instead.
    const KvSNMPSecurity &security = m_result.Defaults.Security;
    if (security.Version == 3 && security.PrivProtocol == kPrivacyIdea)
        fail(m_privacySource + " chooses the privacy protocol IDEA (8), which is not available on this "
                               "system: choose 0 (none) or 1 (CBC-DES).");
    return m_result;
}

} // namespace

AnsiString HostSettingsPath()
{
    return envOr(kHostSettingsEnv, kHostSettingsDefault);
}

AnsiString ModuleFolderOf(const AnsiString &helpPath)
{
    return helpPath.size() <= 12 ? AnsiString() : helpPath.substr(0, helpPath.size() - 12);
}

HostSettings ReadHostSettings(const AnsiString &iniPath)
{
    HostSettings hs;
    const KvIni ini(iniPath);
    hs.HelpPath = ini.ReadString("HelpPath", gSysObjectID, "");
    hs.ModuleFolder = ModuleFolderOf(hs.HelpPath);
    if (auto exe = ini.ReadString("ExePath", "Path", ""); !exe.empty())
        hs.SettingsFolder = JoinPath(JoinPath(exe, ".."), "Conf/MBF/");
    if (auto mib = ini.ReadString("MibFile", "Path", ""); !mib.empty())
        hs.SettingsFolder = mib;
    return hs;
}

AnsiString MessageFilePath(const AnsiString &moduleFolder, const AnsiString &fileName)
{
    return ResolvePathNoCase(JoinPath(JoinPath(moduleFolder, "errmsg"), fileName));
}

AnsiString SettingsFilePath(const AnsiString &settingsFolder, const AnsiString &agentAddress)
{
    return JoinPath(settingsFolder, agentAddress + ".cfg");
}

AnsiString DeviceDataFolder(const AnsiString &agentAddress)
{
    AnsiString base = envOr("XDG_DATA_HOME", "");
    if (base.empty())
        base = JoinPath(envOr("HOME", "."), ".local/share");
    return JoinPath(JoinPath(base, "qrn5290ap"), agentAddress);
}

AnsiString InstanceLockPath(const AnsiString &agentAddress)
{
    AnsiString folder = envOr("XDG_RUNTIME_DIR", "");
    if (folder.empty()) {
        AnsiString data = envOr("XDG_DATA_HOME", "");
        folder = JoinPath(data.empty() ? JoinPath(envOr("HOME", "."), ".local/share") : data, "qrn5290ap");
    }
    return JoinPath(folder, "qrn5290ap-" + agentAddress + ".lock");
}

StartupArguments ParseStartupArguments(const std::vector<AnsiString> &args, const AnsiString &settingsFolder,
                                       const StartupDefaults &initial)
{
    return Parser(settingsFolder, initial).run(args);
}

AnsiString StartupCaption(const AnsiString &caption, const AnsiString &agentAddress)
{
    return caption + " : " + agentAddress;
}

AnsiString SntpClockText(const std::tm &local)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d:%02d:%02d:%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

AnsiString SntpClockText(std::time_t t)
{
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return {};
    return SntpClockText(local);
}

AnsiString SntpClockTextNow()
{
    return SntpClockText(kv::Clock::instance().wallTime());
}

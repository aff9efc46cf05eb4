#include "Options.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <stdexcept>

#ifndef DEVSIM_CATALOG_DIR
#define DEVSIM_CATALOG_DIR "catalog"
#endif

namespace devsim {

namespace {

std::optional<int> toInt(const std::string &s, int min, int max)
{
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size() || v < min || v > max)
        return std::nullopt;
    return v;
}

std::optional<int> toMillis(const std::string &s, int maxSeconds)
{
    // Seconds with up to three decimals, read without the locale.
    auto dot = s.find('.');
    std::string whole = s.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : s.substr(dot + 1);
    if (frac.size() > 3)
        return std::nullopt;
    auto w = toInt(whole.empty() ? "0" : whole, 0, maxSeconds);
    if (!w)
        return std::nullopt;
    int ms = 0;
    if (!frac.empty()) {
        auto f = toInt(frac, 0, 999);
        if (!f)
            return std::nullopt;
        ms = *f;
        for (std::size_t i = frac.size(); i < 3; ++i)
            ms *= 10;
    }
    return *w * 1000 + ms;
}

std::vector<std::string> splitColon(const std::string &s)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        auto c = s.find(':', start);
        out.push_back(s.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (c == std::string::npos)
            break;
        start = c + 1;
    }
    return out;
}

} // namespace

std::optional<UsmUser> parseUserOption(const std::string &text, std::string &error)
{
    auto parts = splitColon(text);
    UsmUser u;
    u.name = parts[0];
    if (u.name.empty() || u.name.size() > 32) {
        error = "user name must have 1 to 32 characters";
        return std::nullopt;
    }
    for (char c : u.name)
        if (c == ' ' || c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x21) {
            error = "user name must not contain blanks or quotes";
            return std::nullopt;
        }
    if (parts.size() != 1 && parts.size() != 3 && parts.size() != 5) {
        error = "expected NAME[:MD5|SHA:AUTHPASS[:DES:PRIVPASS]]";
        return std::nullopt;
    }
    auto passOk = [&](const std::string &p) {
        if (p.size() < 8 || p.size() > 64)
            return false;
        for (char c : p)
            if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
                return false;
        return true;
    };
    if (parts.size() >= 3) {
        u.authProtocol = parts[1];
        u.authPass = parts[2];
        if (u.authProtocol != "MD5" && u.authProtocol != "SHA") {
            error = "authentication protocol must be MD5 or SHA";
            return std::nullopt;
        }
        if (!passOk(u.authPass)) {
            error = "pass phrases need 8 to 64 characters without quotes";
            return std::nullopt;
        }
    }
    if (parts.size() == 5) {
        u.privProtocol = parts[3];
        u.privPass = parts[4];
        if (u.privProtocol != "DES") {
            error = "privacy protocol must be DES";
            return std::nullopt;
        }
        if (!passOk(u.privPass)) {
            error = "pass phrases need 8 to 64 characters without quotes";
            return std::nullopt;
        }
    }
    return u;
}

std::optional<Options> parseOptions(const std::vector<std::string> &args, std::string &error)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            continue;
        }
        std::string name = a;
        std::string value;
        bool hasValue = false;
        if (auto eq = a.find('='); a.starts_with("--") && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            hasValue = true;
        }
        auto need = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto bad = [&](const std::string &what) {
            error = "bad value for " + name + ": " + what;
            return std::nullopt;
        };
        if (name == "--address") {
            if (!need())
                return std::nullopt;
            if (!value.starts_with("127."))
                return bad("only loopback addresses (127.0.0.0/8) are served");
            o.address = value;
        } else if (name == "--port") {
            if (!need())
                return std::nullopt;
            auto p = toInt(value, 1, 65535);
            if (!p)
                return bad(value);
            o.port = *p;
        } else if (name == "--catalog") {
            if (!need())
                return std::nullopt;
            o.catalog = value;
        } else if (name == "--profile") {
            if (!need())
                return std::nullopt;
            o.profiles.push_back(value);
        } else if (name == "--user") {
            if (!need())
                return std::nullopt;
            std::string why;
            auto u = parseUserOption(value, why);
            if (!u)
                return bad(why);
            o.users.push_back(*u);
        } else if (name == "--read-community") {
            if (!need())
                return std::nullopt;
            o.readCommunity = value;
        } else if (name == "--write-community") {
            if (!need())
                return std::nullopt;
            o.writeCommunity = value;
        } else if (name == "--state") {
            if (!need())
                return std::nullopt;
            o.stateDir = value;
        } else if (name == "--engine-id") {
            if (!need())
                return std::nullopt;
            const bool printable = std::all_of(value.begin(), value.end(), [](char c) {
                return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7f &&
                       c != '"' && c != '\\';
            });
            if (value.empty() || value.size() > 27 || !printable)
                return bad("1 to 27 printable characters without blanks or quotes");
            o.engineId = value;
        } else if (name == "--lifetime") {
            if (!need())
                return std::nullopt;
            auto s = toInt(value, 1, 7 * 24 * 3600);
            if (!s)
                return bad(value);
            o.lifetimeSeconds = *s;
        } else if (name == "--tftp-port") {
            if (!need())
                return std::nullopt;
            auto p = toInt(value, 1, 65535);
            if (!p)
                return bad(value);
            o.tftpPort = *p;
        } else if (name == "--tftp-timeout") {
            if (!need())
                return std::nullopt;
            auto ms = toMillis(value, 3600);
            if (!ms || *ms == 0)
                return bad(value);
            o.tftpTimeoutMs = *ms;
        } else if (name == "--tftp-client") {
            if (!need())
                return std::nullopt;
            o.tftpProgram = value;
        } else if (name == "--reboot-silence") {
            if (!need())
                return std::nullopt;
            auto ms = toMillis(value, 3600);
            if (!ms)
                return bad(value);
            o.rebootSilenceMs = *ms;
        } else if (name == "--fault") {
            if (!need())
                return std::nullopt;
            std::string why;
            if (!parseFaultOption(value, why))
                return bad(why);
            o.faults.push_back(value);
        } else if (name == "--sections") {
            if (!need())
                return std::nullopt;
            o.sectionsDir = value;
        } else if (name == "--air") {
            if (!need())
                return std::nullopt;
            o.air = value;
        } else if (name == "--fixture") {
            if (!need())
                return std::nullopt;
            auto eq = value.find('=');
            if (eq == 0 || eq == std::string::npos || eq + 1 == value.size() ||
                value.substr(0, eq).find('/') != std::string::npos)
                return bad("expected NAME=FILE");
            o.fixtures[value.substr(0, eq)] = value.substr(eq + 1);
        } else {
            error = "unknown option " + a + " (see --help)";
            return std::nullopt;
        }
    }
    return o;
}

namespace {

// The names in lines of at most width characters, each line after the first indented.
std::string wrapNames(const std::vector<std::string> &names, std::size_t indent, std::size_t width)
{
    std::string out;
    std::size_t column = indent;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string word = names[i] + (i + 1 < names.size() ? "," : "");
        if (column > indent && column + 1 + word.size() > width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out;
}

} // namespace

std::vector<std::string> profileNames(const std::string &catalogDir)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(catalogDir) / "profiles", ec), end; !ec && it != end;
         it.increment(ec))
        if (it->path().extension() == ".cat")
            names.push_back(it->path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string helpText(const std::vector<std::string> &profiles)
{
    const std::string profileList =
        profiles.empty() ? std::string("(none found)") : wrapNames(profiles, 23, 92);
    return R"(Usage: devsim [options]
A simulated QRN-5290AP access point: an SNMP v1/v2c/v3 agent on a loopback address that
serves the MIB-II system group and the device's enterprise subtree from a catalog file.

Options:
  --address A          loopback address to listen on (127.0.0.0/8; default 127.0.0.1)
  --port N             UDP port (default 161)
  --catalog FILE       object catalog (default: catalog/qrn5290ap.cat next to the program,
                       or the one in the source tree)
  --profile NAME|FILE  overlay applied after the catalog, repeatable; a NAME is looked up as
                       profiles/NAME.cat beside the catalog; the profiles there:
                       )" +
           profileList + R"(
  --user USER          SNMPv3 user, repeatable: NAME[:MD5|SHA:AUTHPASS[:DES:PRIVPASS]]
                       (pass phrases of 8 to 64 characters); users may read and write
  --read-community C   read-only community (default public)
  --write-community C  read-write community (default private)
  --state DIR          state folder (created if missing); the only place devsim writes:
                         writes.log   one line per set request and per device command
                         requests.log one line per request PDU handled (get, getnext or
                                      set, the requester, the objects it names)
                         active.txt   the values in effect; pending.txt  unsaved changes
                         files/       files the device fetched or sends over TFTP
                         device/      the device's own copies of fixture files
                         snmp/        the SNMP engine's persistent data; engine.txt holds
                                      the engine ID and boots kept across restarts
                       default: a fresh temporary folder, removed at exit
  --engine-id TEXT     SNMP engine ID made from TEXT (1 to 27 printable characters),
                       kept in the state folder from then on; default: the one kept there,
                       or a new random one on the first start
  --lifetime S         stop by itself after S seconds
  --reboot-silence S   seconds without any answer after a restart command (default 5;
                       decimals allowed); pending changes are in effect afterwards
  --tftp-port N        UDP port of the TFTP servers the device contacts (default 69)
  --tftp-timeout S     longest time a transfer may take (default 20 seconds)
  --tftp-client PROG   TFTP client program (default atftp)
  --fault FAULT        inject a fault, repeatable: OBJECT=KIND[:ARG][@get|@set] with OBJECT a
                       catalog name or OID; an object's name or OID covers its aliases too
                       (adVlanState: adVlanState.0 as well), a table's or column's name its
                       rows (adEthernetFilterMACAddr: adEthernetFilterMACAddr.1 to .16); KIND:
                         absent        the object does not exist, to any request
                         error:STATUS  requests naming it fail with STATUS (name or number)
                         delay:MS      answers to requests naming it come MS ms late
                         drop          requests naming it are not answered
                       @get acts on get and get-next, @set on set, neither on both; an object
                       takes one fault @get and one @set, or one for both
  --sections DIR       catalog section files, every DIR/*.cat in name order after the
                       catalog (default: sections/ beside the catalog; no folder, none)
  --air FILE           the neighbouring stations a scan finds (default: fixtures/air.txt
                       beside the catalog); see catalog/fixtures/air.txt for the format
  --fixture NAME=FILE  use FILE wherever the catalog names the fixture NAME (a file the
                       device sends), repeatable
  --help               show this text

Catalog: the catalog file, then its sections, then the profiles; the line kinds (objects,
per-row values, aliases, command-filled tables and rows, transfers, plain commands) are
described at the top of catalog/qrn5290ap.cat. An object given twice must agree in OID,
name, syntax, access and value; otherwise devsim stops naming both places.

Profiles of fully configured devices and of values the forms' lists lack: configured,
servicesoff, partners, ptmpbridge, repeater, apclient, withoutmodes, enterprise, wepascii,
rate11, staticturbo, channel13, outside, adhoc, telnetoff, dhcpclient, manualtime,
nopriority, guestsecurity.

Device behaviour: with cSaveActivate in the catalog, settings written by a set stay pending
(reads show them) until cSaveActivate=1 activates or cDiscardChanges=1 drops them, or a
restart activates them; objects marked +now and commands act at once. upgradesettingcommand=4
(and sysRestart/Restart=1) answers, then the device is silent for the reboot-silence time;
upgradesettingcommand=5 and FactoryDefault=1 restore the catalog's values first. Transfers
are declared in the catalog (tftpcommand=2 fetches remotefilename from remotesrvip into
files/, tftpcommand=3 sends files/remotefilename there); a transfer's set is answered when
it has ended, with genErr when it failed. Servers outside 127.0.0.0/8 are refused. Command
handlers (commands/*.cpp, e.g. adRefresh=1 fills the site-survey table from the air) answer
a failure with their error status and undo the whole set. devsim prints "devsim ready" on
standard output once it answers requests and stops cleanly on SIGTERM or SIGINT.
)";
}

void loadFixtures(const Options &options, const std::string &catalogPath, DeviceOptions &device)
{
    namespace fs = std::filesystem;
    device.fixtureDir = (fs::path(catalogPath).parent_path() / "fixtures").string();
    device.fixtures = options.fixtures;
    auto named = options.fixtures.find("air.txt");
    std::string air = !options.air.empty()              ? options.air
                      : named != options.fixtures.end() ? named->second
                                                        : device.fixtureDir + "/air.txt";
    std::error_code ec;
    if (air != device.fixtureDir + "/air.txt" || fs::exists(air, ec))
        device.air = loadAir(air);
}

void loadFaults(const Options &options, const Catalog &catalog, DeviceOptions &device)
{
    for (const auto &text : options.faults) {
        std::string why;
        auto fault = parseFaultOption(text, why);
        const std::vector<Oid> oids = fault ? catalog.resolveTargets(fault->object) : std::vector<Oid>{};
        if (oids.empty())
            throw std::runtime_error("--fault " + text + ": no such object in the catalog");
        for (const Oid &oid : oids) {
            const Fault *clash = addFault(device.faults, oid, fault->fault);
            if (!clash)
                continue;
            const Object *obj = catalog.find(oid);
            const char *op = clash->covers(false) && fault->fault.covers(false) ? "get" : "set";
            throw std::runtime_error(
                "--fault " + text + ": " + (obj ? obj->name : fault->object) + " has a fault on " + op +
                " already; an object takes one fault @get and one @set, or one for both");
        }
    }
}

std::string defaultCatalogDir(const std::string &executablePath)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::weakly_canonical(fs::path(executablePath), ec);
    if (!ec) {
        fs::path beside = exe.parent_path() / "catalog";
        if (fs::exists(beside / "qrn5290ap.cat", ec))
            return beside.string();
    }
    return DEVSIM_CATALOG_DIR;
}

} // namespace devsim

#include "Device.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <sys/time.h>

namespace devsim {

namespace fs = std::filesystem;

namespace {

// Objects whose writes are device commands rather than settings.
constexpr std::string_view kTftpCommand = "tftpcommand";
constexpr std::string_view kUpgradeCommand = "upgradesettingcommand";
constexpr std::string_view kSaveActivate = "cSaveActivate";
constexpr std::string_view kDiscardChanges = "cDiscardChanges";
constexpr std::string_view kSysRestart = "sysRestart";
constexpr std::string_view kRestart = "Restart";
constexpr std::string_view kFactoryDefault = "FactoryDefault";
constexpr std::string_view kSysUpTime = "sysUpTime";

bool isCommandObject(std::string_view name)
{
    return name == kTftpCommand || name == kUpgradeCommand || name == kSaveActivate ||
           name == kDiscardChanges || name == kSysRestart || name == kRestart || name == kFactoryDefault;
}

std::string nowText()
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm tm{};
    gmtime_r(&tv.tv_sec, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(tv.tv_usec / 1000));
    return buf;
}

// A bare file name the device may store or send: no folders, no hidden or option-like names.
bool isSafeFileName(const std::string &name)
{
    if (name.empty() || name.size() > 255 || name == "." || name == ".." || name[0] == '-' || name[0] == '.')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\')
            return false;
    return true;
}

} // namespace

std::optional<FaultOption> parseFaultOption(std::string_view text, std::string &error)
{
    auto eq = text.rfind('=');
    if (eq == std::string_view::npos || eq == 0) {
        error = "expected OBJECT=KIND[:ARG][@get|@set]";
        return std::nullopt;
    }
    FaultOption parsed;
    parsed.object = std::string(text.substr(0, eq));
    std::string_view kind = text.substr(eq + 1);
    auto at = kind.find('@');
    if (at != std::string_view::npos) {
        auto op = kind.substr(at + 1);
        if (op == "get") {
            parsed.fault.onSet = false;
        } else if (op == "set") {
            parsed.fault.onGet = false;
        } else {
            error = "unknown operation @" + std::string(op);
            return std::nullopt;
        }
        kind = kind.substr(0, at);
    }
    auto colon = kind.find(':');
    std::string_view arg = colon == std::string_view::npos ? std::string_view() : kind.substr(colon + 1);
    kind = kind.substr(0, colon);
    if (kind == "absent") {
        parsed.fault.kind = Fault::Absent;
    } else if (kind == "drop") {
        parsed.fault.kind = Fault::Drop;
    } else if (kind == "error") {
        auto s = parseErrorStatus(arg.empty() ? "genErr" : arg);
        if (!s) {
            error = "unknown error status " + std::string(arg);
            return std::nullopt;
        }
        parsed.fault.kind = Fault::Error;
        parsed.fault.status = *s;
    } else if (kind == "delay") {
        int ms = 0;
        auto [p, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), ms);
        if (arg.empty() || ec != std::errc() || p != arg.data() + arg.size() || ms < 0 || ms > 600000) {
            error = "delay needs milliseconds (0 to 600000)";
            return std::nullopt;
        }
        parsed.fault.kind = Fault::Delay;
        parsed.fault.delayMs = ms;
    } else {
        error = "unknown fault kind " + std::string(kind);
        return std::nullopt;
    }
    return parsed;
}

Device::Device(Catalog catalog, DeviceOptions options, TransferRunner *transfers)
    : catalog_(std::move(catalog)), options_(std::move(options)), transfers_(transfers),
      start_(SteadyClock::now())
{
    deferred_ = catalog_.findByName(kSaveActivate) != nullptr;
    for (const auto &[oid, obj] : catalog_.objects())
        active_[oid] = obj.initial;
    std::error_code ec;
    fs::create_directories(filesDir(), ec);
    if (ec)
        throw std::runtime_error("cannot create " + filesDir() + ": " + ec.message());
    log_.open(writeLogPath(), std::ios::app);
    if (!log_)
        throw std::runtime_error("cannot write " + writeLogPath());
    saveState();
}

const Fault *Device::faultFor(const Oid &oid, bool forSet) const
{
    auto it = options_.faults.find(oid);
    if (it == options_.faults.end())
        return nullptr;
    const Fault &f = it->second;
    if (f.kind == Fault::Absent)
        return &f;
    return (forSet ? f.onSet : f.onGet) ? &f : nullptr;
}

const Object *Device::find(const Oid &oid) const
{
    const Object *obj = catalog_.find(oid);
    if (!obj)
        return nullptr;
    const Fault *f = faultFor(oid, false);
    return (f && f->kind == Fault::Absent) ? nullptr : obj;
}

const Object *Device::next(const Oid &oid, bool inclusive) const
{
    const auto &objs = catalog_.objects();
    auto it = inclusive ? objs.lower_bound(oid) : objs.upper_bound(oid);
    for (; it != objs.end(); ++it) {
        const Fault *f = faultFor(it->first, false);
        if (!(f && f->kind == Fault::Absent))
            return &it->second;
    }
    return nullptr;
}

bool Device::isKnownObjectPrefix(const Oid &oid) const
{
    if (oid.empty())
        return false;
    Oid parent(oid.begin(), oid.end() - 1);
    const auto &objs = catalog_.objects();
    auto it = objs.lower_bound(parent);
    for (; it != objs.end() && oidStartsWith(it->first, parent); ++it)
        if (it->first.size() == oid.size() && find(it->first))
            return true;
    return false;
}

uint32_t Device::upTimeTicks() const
{
    auto cs = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start_).count() / 10;
    return static_cast<uint32_t>(cs);
}

Value Device::read(const Object &obj) const
{
    if (obj.name == kSysUpTime && obj.syntax == Syntax::TimeTicks) {
        Value v;
        v.num = upTimeTicks();
        return v;
    }
    // Reads show the configured value, pending or not, so a form re-reads what it wrote.
    auto p = pending_.find(obj.oid);
    if (p != pending_.end())
        return p->second;
    auto a = active_.find(obj.oid);
    return a != active_.end() ? a->second : obj.initial;
}

std::optional<Value> Device::currentByName(std::string_view name) const
{
    const Object *obj = catalog_.findByName(name);
    if (!obj)
        return std::nullopt;
    return read(*obj);
}

SetOutcome Device::check(const std::vector<SetBinding> &bindings) const
{
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        const SetBinding &b = bindings[i];
        int idx = static_cast<int>(i) + 1;
        const Object *obj = find(b.oid);
        if (!obj)
            return {isKnownObjectPrefix(b.oid) ? NoCreation : NotWritable, idx};
        if (obj->access == Access::ReadOnly)
            return {NotWritable, idx};
        if (b.syntax != obj->syntax && !(isOctets(b.syntax) && isOctets(obj->syntax)) &&
            !(b.syntax == Syntax::UInteger && obj->syntax == Syntax::Gauge) &&
            !(b.syntax == Syntax::Gauge && obj->syntax == Syntax::UInteger))
            return {WrongType, idx};
        if (obj->syntax == Syntax::IpAddress && b.value.bytes.size() != 4)
            return {WrongLength, idx};
        if (obj->syntax == Syntax::MacAddress && b.value.bytes.size() != 6)
            return {WrongLength, idx};
        if (obj->syntax == Syntax::Integer && (b.value.num < INT32_MIN || b.value.num > INT32_MAX))
            return {WrongValue, idx};
        if (int s = checkConstraint(*obj, b.value); s != NoError)
            return {s, idx};
    }
    return {};
}

std::string Device::bindingText(const SetBinding &b) const
{
    const Object *obj = catalog_.find(b.oid);
    std::string name = obj ? obj->name : oidText(b.oid);
    bool sameKind = obj && (obj->syntax == b.syntax || (isOctets(obj->syntax) && isOctets(b.syntax)));
    return name + "=" + valueText(sameKind ? obj->syntax : b.syntax, b.value);
}

void Device::logLine(const std::string &text)
{
    log_ << nowText() << ' ' << text << '\n';
    log_.flush();
}

void Device::logCommand(const std::string &what)
{
    logLine("command " + what);
}

void Device::logRefusedSet(const std::vector<SetBinding> &bindings, const std::string &principal, int status)
{
    std::string line = "set " + std::string(errorStatusName(status)) + " " + principal;
    for (const auto &b : bindings)
        line += " " + bindingText(b);
    logLine(line);
}

void Device::store(const Object &obj, const Value &v)
{
    if (deferred_ && !obj.immediate && !isCommandObject(obj.name))
        pending_[obj.oid] = v;
    else
        active_[obj.oid] = v;
}

void Device::applyPending()
{
    for (auto &[oid, v] : pending_)
        active_[oid] = v;
    pending_.clear();
}

SetOutcome Device::apply(const std::vector<SetBinding> &bindings, const std::string &principal)
{
    SetOutcome out = check(bindings);
    if (out.status != NoError) {
        logRefusedSet(bindings, principal, out.status);
        return out;
    }
    // Settings first, so that a command in the same request sees the values sent with it;
    // a failed command puts everything back.
    auto savedActive = active_;
    auto savedPending = pending_;
    std::vector<std::pair<const Object *, int64_t>> commands;
    for (const auto &b : bindings) {
        const Object *obj = find(b.oid);
        Value v = b.value;
        if (obj->syntax == Syntax::Gauge || obj->syntax == Syntax::UInteger)
            v.num = static_cast<uint32_t>(v.num);
        if (isCommandObject(obj->name))
            commands.emplace_back(obj, v.num);
        else
            store(*obj, v);
    }
    std::vector<std::string> done;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        auto [obj, value] = commands[i];
        std::string failure;
        if (obj->name == kTftpCommand) {
            if (value == 2 || value == 3)
                failure = runTransfer(static_cast<int>(value));
            else
                done.push_back(value == 1 ? "tftp-connect" : "tftp-nothing");
            if (failure.empty() && (value == 2 || value == 3))
                done.push_back(value == 2 ? "tftp-get" : "tftp-put");
        } else if (obj->name == kUpgradeCommand) {
            static constexpr std::string_view names[] = {
                "", "firmware-update", "config-setting", "config-save", "reboot", "factory-reset", "nothing"};
            done.push_back(std::string(names[value >= 1 && value <= 6 ? value : 0]));
            if (value == 4 || value == 5)
                restartArmed_ = true;
            if (value == 5) {
                for (const auto &[oid, o] : catalog_.objects())
                    active_[oid] = o.initial;
                pending_.clear();
            }
        } else if (obj->name == kSaveActivate) {
            if (value == 1) {
                applyPending();
                done.push_back("activate");
            }
        } else if (obj->name == kDiscardChanges) {
            if (value == 1) {
                pending_.clear();
                done.push_back("discard");
            }
        } else if (obj->name == kSysRestart || obj->name == kRestart) {
            if (value == 1) {
                restartArmed_ = true;
                done.push_back("reboot");
            }
        } else if (obj->name == kFactoryDefault) {
            if (value == 1) {
                for (const auto &[oid, o] : catalog_.objects())
                    active_[oid] = o.initial;
                pending_.clear();
                restartArmed_ = true;
                done.push_back("factory-reset");
            }
        }
        if (!failure.empty()) {
            active_ = savedActive;
            pending_ = savedPending;
            restartArmed_ = false;
            logCommand("tftp-failed " + failure);
            logRefusedSet(bindings, principal, GenErr);
            for (std::size_t k = 0; k < bindings.size(); ++k)
                if (bindings[k].oid == obj->oid)
                    return {GenErr, static_cast<int>(k) + 1};
            return {GenErr, 1};
        }
    }
    logRefusedSet(bindings, principal, NoError);
    for (const auto &d : done)
        logCommand(d);
    saveState();
    return {};
}

std::string Device::runTransfer(int command)
{
    auto server = currentByName("remotesrvip");
    auto file = currentByName("remotefilename");
    if (!server || !file)
        return "no transfer objects";
    std::string ip = valueText(Syntax::IpAddress, *server);
    // The simulator talks to loopback servers only.
    if (server->bytes.size() != 4 || static_cast<unsigned char>(server->bytes[0]) != 127)
        return "server " + ip + " refused (not 127.0.0.0/8)";
    if (!isSafeFileName(file->bytes))
        return "file name refused";
    if (!transfers_)
        return "no TFTP client";
    std::string local = filesDir() + "/" + file->bytes;
    if (command == 2) {
        std::string incoming = filesDir() + "/.incoming";
        std::error_code ec;
        fs::remove(incoming, ec);
        std::string err = transfers_->transfer(true, ip, file->bytes, incoming);
        if (!err.empty()) {
            fs::remove(incoming, ec);
            return err;
        }
        fs::rename(incoming, local, ec);
        if (ec)
            return "cannot store " + local;
        logCommand("tftp-get-stored server=" + ip + " file=" + valueText(Syntax::DisplayStr, *file));
        return {};
    }
    if (!fs::exists(local)) {
        // The device's own files: a configuration dump stands in for anything it lacks.
        std::ofstream out(local, std::ios::binary);
        for (const auto &[oid, obj] : catalog_.objects())
            out << oidText(oid) << ' ' << obj.name << ' ' << valueText(obj.syntax, read(obj)) << '\n';
    }
    std::string err = transfers_->transfer(false, ip, file->bytes, local);
    if (err.empty())
        logCommand("tftp-put-sent server=" + ip + " file=" + valueText(Syntax::DisplayStr, *file));
    return err;
}

bool Device::silent()
{
    if (!rebooting_)
        return false;
    if (SteadyClock::now() < silentUntil_)
        return true;
    rebooting_ = false;
    applyPending();
    saveState();
    logCommand("restarted");
    return false;
}

void Device::startRestartSilence()
{
    restartArmed_ = false;
    rebooting_ = true;
    silentUntil_ = SteadyClock::now() + std::chrono::milliseconds(options_.rebootSilenceMs);
}

void Device::saveState()
{
    auto dump = [this](const std::string &path, const std::map<Oid, Value> &values) {
        std::string tmp = path + ".tmp";
        {
            std::ofstream out(tmp, std::ios::trunc);
            for (const auto &[oid, v] : values) {
                const Object *obj = catalog_.find(oid);
                if (obj)
                    out << oidText(oid) << ' ' << obj->name << ' ' << valueText(obj->syntax, v) << '\n';
            }
        }
        std::error_code ec;
        fs::rename(tmp, path, ec);
    };
    dump(options_.stateDir + "/active.txt", active_);
    dump(options_.stateDir + "/pending.txt", pending_);
}

} // namespace devsim

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

constexpr std::string_view kSaveActivate = "cSaveActivate";
constexpr std::string_view kSysUpTime = "sysUpTime";

// The OID a value is stored under: an alias shares its target's.
const Oid &storageOf(const Object &obj)
{
    return obj.storage.empty() ? obj.oid : obj.storage;
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
    catalog_.finish();
    registerAllCommands(commands_);
    commands_.merge(options_.commands);
    deferred_ = catalog_.findByName(kSaveActivate) != nullptr;
    for (const auto &t : catalog_.transfers()) {
        std::error_code ec;
        if (!t.fixture.empty() && !fs::is_regular_file(fixturePath(t.fixture), ec))
            throw std::runtime_error(t.where + ": no fixture file " + fixturePath(t.fixture));
    }
    factoryReset();
    std::error_code ec;
    fs::create_directories(filesDir(), ec);
    if (ec)
        throw std::runtime_error("cannot create " + filesDir() + ": " + ec.message());
    log_.open(writeLogPath(), std::ios::app);
    if (!log_)
        throw std::runtime_error("cannot write " + writeLogPath());
    requestLog_.open(requestLogPath(), std::ios::app);
    if (!requestLog_)
        throw std::runtime_error("cannot write " + requestLogPath());
    saveState();
}

void Device::factoryReset()
{
    store_ = ObjectStore{};
    store_.objects = catalog_.objects();
    for (const auto &[oid, obj] : store_.objects)
        if (obj.storage.empty())
            store_.active[oid] = obj.initial;
    for (const auto &[name, decl] : catalog_.tables()) {
        TableRows rows(decl, store_);
        for (const auto &[index, cells] : decl.rows)
            rows.put(index, cells);
    }
    // The device's own files start again from their fixtures.
    std::error_code ec;
    fs::remove_all(deviceFilesDir(), ec);
}

const Fault *addFault(FaultMap &faults, const Oid &oid, const Fault &f)
{
    auto [from, to] = faults.equal_range(oid);
    for (auto it = from; it != to; ++it)
        if ((f.covers(false) && it->second.covers(false)) || (f.covers(true) && it->second.covers(true)))
            return &it->second;
    faults.emplace(oid, f);
    return nullptr;
}

const Fault *Device::faultFor(const Oid &oid, bool forSet) const
{
    auto at = [&](const Oid &key) -> const Fault * {
        auto [from, to] = options_.faults.equal_range(key);
        for (auto it = from; it != to; ++it)
            if (it->second.covers(forSet))
                return &it->second;
        return nullptr;
    };
    if (const Fault *f = at(oid))
        return f;
    // A row of a command-filled table suffers the faults of its column and its table.
    const TableDecl *t = catalog_.tableOver(oid);
    if (!t || oid.size() <= t->entry.size())
        return nullptr;
    if (const Fault *f = at(Oid(oid.begin(), oid.begin() + static_cast<std::ptrdiff_t>(t->entry.size()) + 1)))
        return f;
    return at(t->entry);
}

const Object *Device::find(const Oid &oid) const
{
    auto it = store_.objects.find(oid);
    if (it == store_.objects.end())
        return nullptr;
    const Fault *f = faultFor(oid, false);
    return (f && f->kind == Fault::Absent) ? nullptr : &it->second;
}

const Object *Device::next(const Oid &oid, bool inclusive) const
{
    const auto &objs = store_.objects;
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
    // A missing row of a command-filled table's column.
    if (const TableDecl *t = catalog_.tableOver(oid))
        for (const auto &c : t->columns)
            if (oid.size() == c.oid.size() + t->keys && oidStartsWith(oid, c.oid))
                return true;
    Oid parent(oid.begin(), oid.end() - 1);
    const auto &objs = store_.objects;
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
    const Oid &key = storageOf(obj);
    auto p = store_.pending.find(key);
    if (p != store_.pending.end())
        return p->second;
    auto a = store_.active.find(key);
    return a != store_.active.end() ? a->second : obj.initial;
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
    auto it = store_.objects.find(b.oid);
    const Object *obj = it == store_.objects.end() ? nullptr : &it->second;
    std::string name = obj ? obj->name : oidText(b.oid);
    bool sameKind = obj && (obj->syntax == b.syntax || (isOctets(obj->syntax) && isOctets(b.syntax)));
    return name + "=" + valueText(sameKind ? obj->syntax : b.syntax, b.value);
}

void Device::logLine(const std::string &text)
{
    log_ << nowText() << ' ' << text << '\n';
    log_.flush();
}

void Device::logRequest(const std::string &type, const std::string &principal, const std::vector<Oid> &oids)
{
    requestLog_ << nowText() << ' ' << type << ' ' << principal;
    for (const Oid &oid : oids) {
        const Object *obj = catalog_.find(oid);
        requestLog_ << ' ' << (obj ? obj->name : oidText(oid));
    }
    requestLog_ << '\n';
    requestLog_.flush();
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

void Device::storeValue(const Object &obj, const Value &v)
{
    if (deferred_ && !obj.immediate)
        store_.pending[storageOf(obj)] = v;
    else
        store_.active[storageOf(obj)] = v;
}

void Device::applyPending()
{
    for (auto &[oid, v] : store_.pending)
        store_.active[oid] = v;
    store_.pending.clear();
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
    ObjectStore saved = store_;
    struct Command {
        std::string name;
        int64_t value;
        std::size_t binding;
    };
    std::vector<Command> commands;
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        const SetBinding &b = bindings[i];
        const Object *obj = find(b.oid);
        Value v = b.value;
        if (obj->syntax == Syntax::Gauge || obj->syntax == Syntax::UInteger)
            v.num = static_cast<uint32_t>(v.num);
        if (isCommand(obj->name))
            commands.push_back({obj->name, v.num, i});
        else
            storeValue(*obj, v);
    }
    std::vector<std::string> done;
    for (const Command &c : commands) {
        CommandOutcome result = runCommand(c.name, c.value, done);
        if (result.status != NoError) {
            store_ = std::move(saved);
            restartArmed_ = false;
            logCommand(result.reason);
            logRefusedSet(bindings, principal, result.status);
            return {result.status, static_cast<int>(c.binding) + 1};
        }
    }
    logRefusedSet(bindings, principal, NoError);
    for (const auto &d : done)
        logCommand(d);
    saveState();
    return {};
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
                auto obj = store_.objects.find(oid);
                if (obj != store_.objects.end())
                    out << oidText(oid) << ' ' << obj->second.name << ' ' << valueText(obj->second.syntax, v)
                        << '\n';
            }
        }
        std::error_code ec;
        fs::rename(tmp, path, ec);
    };
    dump(options_.stateDir + "/active.txt", store_.active);
    dump(options_.stateDir + "/pending.txt", store_.pending);
}

} // namespace devsim

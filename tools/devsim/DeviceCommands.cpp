// The device's commands: the built-in ones (saving, restart, factory reset, upgrade steps),
// the transfers the catalog declares, and the handlers of commands/*.cpp.
#include "Device.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace devsim {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUpgradeCommand = "upgradesettingcommand";
constexpr std::string_view kSaveActivate = "cSaveActivate";
constexpr std::string_view kDiscardChanges = "cDiscardChanges";
constexpr std::string_view kSysRestart = "sysRestart";
constexpr std::string_view kRestart = "Restart";
constexpr std::string_view kFactoryDefault = "FactoryDefault";

bool isBuiltInCommand(std::string_view name)
{
    return name == kUpgradeCommand || name == kSaveActivate || name == kDiscardChanges ||
           name == kSysRestart || name == kRestart || name == kFactoryDefault;
}

// A bare file name the device may store or send: no folders, no hidden or option-like names.
bool isSafeFileName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || name == "." || name == ".." || name[0] == '-' || name[0] == '.')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\')
            return false;
    return true;
}

} // namespace

bool Device::isCommand(std::string_view name) const
{
    if (isBuiltInCommand(name) || commands_.handles(name) || catalog_.isPlainCommand(name))
        return true;
    for (const auto &t : catalog_.transfers())
        if (t.command == name)
            return true;
    return false;
}

TableRows Device::table(std::string_view name)
{
    const TableDecl *decl = catalog_.findTable(name);
    if (!decl)
        throw std::runtime_error("the catalog has no table " + std::string(name));
    return TableRows(*decl, store_);
}

std::string Device::fixturePath(std::string_view name) const
{
    auto it = options_.fixtures.find(name);
    if (it != options_.fixtures.end())
        return it->second;
    return options_.fixtureDir + "/" + std::string(name);
}

std::string Device::deviceFile(std::string_view fixture)
{
    if (!isSafeFileName(fixture))
        throw std::runtime_error("bad fixture name " + std::string(fixture));
    std::string path = deviceFilesDir() + "/" + std::string(fixture);
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        fs::create_directories(deviceFilesDir(), ec);
        if (fs::exists(fixturePath(fixture), ec))
            fs::copy_file(fixturePath(fixture), path, ec);
        else
            std::ofstream(path, std::ios::binary);
        if (ec)
            throw std::runtime_error("cannot copy fixture " + fixturePath(fixture) + ": " + ec.message());
    }
    return path;
}

CommandOutcome Device::runCommand(const std::string &name, int64_t value, std::vector<std::string> &done)
{
    if (name == kUpgradeCommand) {
        static constexpr std::string_view names[] = {
            "", "firmware-update", "config-setting", "config-save", "reboot", "factory-reset", "nothing"};
        done.push_back(std::string(names[value >= 1 && value <= 6 ? value : 0]));
        if (value == 4 || value == 5)
            restartArmed_ = true;
        if (value == 5)
            factoryReset();
    } else if (name == kSaveActivate && value == 1) {
        applyPending();
        done.push_back("activate");
    } else if (name == kDiscardChanges && value == 1) {
        store_.pending.clear();
        done.push_back("discard");
    } else if ((name == kSysRestart || name == kRestart) && value == 1) {
        restartArmed_ = true;
        done.push_back("reboot");
    } else if (name == kFactoryDefault && value == 1) {
        factoryReset();
        restartArmed_ = true;
        done.push_back("factory-reset");
    } else if (const TransferDecl *t = catalog_.findTransfer(name, value)) {
        std::string failure = runTransfer(*t);
        if (!failure.empty())
            return CommandOutcome::fail("tftp-failed " + failure);
        done.push_back(t->get ? "tftp-get" : "tftp-put");
    } else if (const CommandHandler *h = commands_.find(name, value)) {
        std::string what = name + "=" + std::to_string(value);
        std::vector<std::string> notes;
        CommandContext ctx(*this, name, value, notes);
        CommandOutcome result;
        try {
            result = (*h)(ctx);
        } catch (const std::exception &e) {
            result = CommandOutcome::fail(e.what());
        }
        if (result.status != NoError)
            return CommandOutcome::fail(what + " failed: " + result.reason, result.status);
        done.push_back(what);
        done.insert(done.end(), notes.begin(), notes.end());
    } else if (catalog_.isPlainCommand(name)) {
        done.push_back(name + "=" + std::to_string(value));
    }
    return {};
}

std::string Device::runTransfer(const TransferDecl &t)
{
    auto server = currentByName(t.server);
    auto file = currentByName(t.file);
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
    std::string shown = "server=" + ip + " file=" + valueText(Syntax::DisplayStr, *file);
    std::string local = filesDir() + "/" + file->bytes;
    std::error_code ec;
    if (t.get) {
        std::string incoming = filesDir() + "/.incoming";
        fs::remove(incoming, ec);
        std::string err = transfers_->transfer(true, ip, file->bytes, incoming);
        if (!err.empty()) {
            fs::remove(incoming, ec);
            return err;
        }
        fs::rename(incoming, local, ec);
        if (ec)
            return "cannot store " + local;
        logCommand("tftp-get-stored " + shown);
        return {};
    }
    if (!t.fixture.empty()) {
        local = deviceFile(t.fixture);
    } else if (!fs::exists(local, ec)) {
        // The device's own files: a configuration dump stands in for anything it lacks.
        std::ofstream out(local, std::ios::binary);
        for (const auto &[oid, obj] : catalog_.objects())
            out << oidText(oid) << ' ' << obj.name << ' ' << valueText(obj.syntax, read(obj)) << '\n';
    }
    std::string err = transfers_->transfer(false, ip, file->bytes, local);
    if (err.empty())
        logCommand("tftp-put-sent " + shown);
    return err;
}

std::optional<int64_t> CommandContext::number(std::string_view name) const
{
    auto v = device_.currentByName(name);
    return v ? std::optional(v->num) : std::nullopt;
}

std::optional<std::string> CommandContext::octets(std::string_view name) const
{
    auto v = device_.currentByName(name);
    return v ? std::optional(v->bytes) : std::nullopt;
}

void CommandContext::set(std::string_view name, const Value &v)
{
    const Object *obj = device_.catalog_.findByName(name);
    if (!obj)
        throw std::runtime_error("the catalog has no object " + std::string(name));
    const Oid &key = obj->storage.empty() ? obj->oid : obj->storage;
    device_.store_.pending.erase(key);
    device_.store_.active[key] = v;
}

TableRows CommandContext::table(std::string_view name)
{
    return device_.table(name);
}

const std::vector<AirStation> &CommandContext::air() const
{
    return device_.options_.air;
}

std::string CommandContext::deviceFile(std::string_view fixture)
{
    return device_.deviceFile(fixture);
}

void CommandRegistry::on(const std::string &object, int64_t value, CommandHandler h)
{
    exact_[object][value] = std::move(h);
}

void CommandRegistry::onAny(const std::string &object, CommandHandler h)
{
    any_[object] = std::move(h);
}

const CommandHandler *CommandRegistry::find(std::string_view object, int64_t value) const
{
    if (auto it = exact_.find(object); it != exact_.end()) {
        auto v = it->second.find(value);
        if (v != it->second.end())
            return &v->second;
    }
    auto a = any_.find(object);
    return a == any_.end() ? nullptr : &a->second;
}

bool CommandRegistry::handles(std::string_view object) const
{
    return exact_.find(object) != exact_.end() || any_.find(object) != any_.end();
}

void CommandRegistry::merge(const CommandRegistry &other)
{
    for (const auto &[object, byValue] : other.exact_)
        for (const auto &[value, h] : byValue)
            exact_[object][value] = h;
    for (const auto &[object, h] : other.any_)
        any_[object] = h;
}

} // namespace devsim

#pragma once
// Device commands written in C++: handlers keyed by object name and value, run when a set
// writes that value. One file per area in commands/ (commands/Survey.cpp is the worked
// example); CMake calls register<Area>Commands(CommandRegistry &) of every commands/<Area>.cpp,
// so a new area needs no edit of a shared file.
//
// How to add things (catalog line kinds: catalog/qrn5290ap.cat):
// - Objects: put them in your own section file catalog/sections/<area>.cat (loaded after the
//   base catalog, sorted by name). Writing an object another file has is allowed when OID,
//   name, syntax, access and value agree (a constraint may be added where it had none); any
//   contradiction stops devsim naming both lines.
// - Per-row values: E.2.9.2.1.3.{1}.{1..8} adMSSIDSSID displaystr readwrite size:0..32 "a" "b" ...
//   makes adMSSIDSSID.1.1 .. adMSSIDSSID.1.8 with one value each (or one value for all).
// - Aliases: "alias E.2.1.1.1.0 adAPMode.0 adAPMode" serves .0 with adAPMode's stored value.
// - A command with no behaviour beyond being acknowledged: "command adGetClient".
// - A transfer: "transfer systemLogGetLog=1 put adTFTPServerIP adLogFileName LogFile.RD" with
//   the file in catalog/fixtures/ (tests replace it with --fixture LogFile.RD=FILE).
// - A command-filled table: "table NAME ENTRY-OID [keys=N] [max=N]", its columns as object
//   lines "ENTRY.N.* COLUMN SYNTAX ACCESS CONSTRAINT DEFAULT", start rows as
//   "row NAME INDEX COLUMN=VALUE ...".
// - A handler: in commands/<Area>.cpp define
//     void registerAreaCommands(CommandRegistry &r)
//     {
//         r.on("rogueAPDetect", 1, [](CommandContext &ctx) {
//             TableRows found = ctx.table("rogueDetectedTable");
//             found.clear();
//             int64_t bands = ctx.number("bandTypeDetected").value_or(0);
//             for (const AirStation &s : ctx.air())
//                 if (bands & (int64_t{1} << s.band))
//                     found.add({{"rogueType", text(s.adHoc ? "Ad hoc" : "AP")}, {"rogueCH",
//                     num(s.channel)}});
//             return CommandOutcome{};
//         });
//         r.onAny("addRogueAPtoAPList", [](CommandContext &ctx) {   // the value is a row index
//             TableRows from = ctx.table("rogueDetectedTable");
//             TableRows to = ctx.table("rogueAPList");
//             if (to.full())
//                 return CommandOutcome::fail("the AP list is full", ResourceUnavailable);
//             if (!from.moveTo(Oid{static_cast<uint32_t>(ctx.value())}, to))
//                 return CommandOutcome::fail("no such detected row");
//             return CommandOutcome{};
//         });
//     }
//   A handler runs at once (also while other changes are pending), before the set is
//   answered; a failure answers the set with its status and puts every change of the set back.
//   The write log shows the set, then "command NAME=VALUE", then the handler's notes.
// - Testing: tests/tools/devsim/DeviceTest.cpp drives a Device with DeviceOptions::air and
//   extra handlers in DeviceOptions::commands; against the program use --air FILE,
//   --fixture NAME=FILE and --fault TABLE-OR-COLUMN=... (a table fault covers its rows).
#include "AirFixture.h"
#include "Catalog.h"
#include "TableRows.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace devsim {

class Device;

struct CommandOutcome {
    int status = NoError; // the set's answer
    std::string reason;   // for the write log
    static CommandOutcome fail(std::string reason, int status = GenErr)
    {
        return {status, std::move(reason)};
    }
};

// What a handler may see and change of the device.
class CommandContext {
public:
    CommandContext(Device &device, std::string object, int64_t value, std::vector<std::string> &notes)
        : device_(device), object_(std::move(object)), value_(value), notes_(notes)
    {
    }

    const std::string &object() const { return object_; }
    int64_t value() const { return value_; }

    // A setting by catalog name as configured (pending or in effect); nullopt when absent.
    std::optional<int64_t> number(std::string_view name) const;
    std::optional<std::string> octets(std::string_view name) const;
    // Changes a setting at once, whether or not the device keeps changes pending.
    void set(std::string_view name, const Value &v);
    // A command-filled table of the catalog; throws std::runtime_error when there is none.
    TableRows table(std::string_view name);
    const std::vector<AirStation> &air() const;
    // The device's own copy of a fixture file, made from the fixture at first use; a
    // transfer that sends the fixture sends this copy.
    std::string deviceFile(std::string_view fixture);
    // Adds a "command TEXT" line to the write log, after the set's own line.
    void note(std::string line) { notes_.push_back(std::move(line)); }

private:
    Device &device_;
    std::string object_;
    int64_t value_;
    std::vector<std::string> &notes_;
};

using CommandHandler = std::function<CommandOutcome(CommandContext &)>;

class CommandRegistry {
public:
    // Runs h when value is written to object (replacing an earlier handler of the pair).
    void on(const std::string &object, int64_t value, CommandHandler h);
    // Runs h for every value written to object that has no handler of its own.
    void onAny(const std::string &object, CommandHandler h);
    const CommandHandler *find(std::string_view object, int64_t value) const;
    bool handles(std::string_view object) const;
    // Adds other's handlers, replacing those of the same object and value.
    void merge(const CommandRegistry &other);

private:
    std::map<std::string, std::map<int64_t, CommandHandler>, std::less<>> exact_;
    std::map<std::string, CommandHandler, std::less<>> any_;
};

// Calls register<Area>Commands of every commands/<Area>.cpp (a generated source).
void registerAllCommands(CommandRegistry &registry);

} // namespace devsim

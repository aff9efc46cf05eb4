#pragma once
// The simulated access point's behaviour, independent of the SNMP engine: current and
// pending values, set checks, device commands, reboot silence, faults and the write log.
#include "AirFixture.h"
#include "Catalog.h"
#include "CommandRegistry.h"
#include "TableRows.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace devsim {

using SteadyClock = std::chrono::steady_clock;

struct Fault {
    enum Kind { Absent, Error, Delay, Drop } kind = Absent;
    int status = GenErr; // Error
    int delayMs = 0;     // Delay
    bool onGet = true;   // applies to get and get-next
    bool onSet = true;   // applies to set
    // True when it acts on that operation; an absent object is absent to both.
    bool covers(bool forSet) const { return kind == Absent || (forSet ? onSet : onGet); }
};

// Faults by object instance, table column or table entry: at most one acting on reads and one
// acting on writes of each.
using FaultMap = std::multimap<Oid, Fault>;
// Adds f on oid unless a fault there already acts on an operation f acts on; returns that one.
const Fault *addFault(FaultMap &faults, const Oid &oid, const Fault &f);

// Parses "object=kind[:arg][@get|@set]"; kinds: absent, error:STATUS, delay:MS, drop.
// Returns the object text and the fault, or an error message.
struct FaultOption {
    std::string object;
    Fault fault;
};
std::optional<FaultOption> parseFaultOption(std::string_view text, std::string &error);

// Carries out a TFTP transfer as a client; returns an empty text on success or the reason.
class TransferRunner {
public:
    virtual ~TransferRunner() = default;
    // get: fetch remoteName from server into localPath; otherwise send localPath as remoteName.
    virtual std::string transfer(bool get, const std::string &server, const std::string &remoteName,
                                 const std::string &localPath) = 0;
};

struct DeviceOptions {
    std::string stateDir;        // everything the device writes lies below it
    int rebootSilenceMs = 5000;  // no answers for this long after a restart command
    FaultMap faults;             // per object instance, table column or table entry
    std::vector<AirStation> air; // the neighbouring stations
    std::string fixtureDir;      // files that transfers send (catalog/fixtures)
    std::map<std::string, std::string, std::less<>> fixtures; // fixture name -> file instead
    CommandRegistry commands;                                 // handlers beside commands/*.cpp
};

// One binding of a set request.
struct SetBinding {
    Oid oid;
    Syntax syntax; // the syntax the request carried
    Value value;
};

struct SetOutcome {
    int status = NoError;
    int index = 0; // 1-based binding index of the failure
};

// What a request touching some objects has to suffer from the injected faults.
struct FaultEffect {
    bool drop = false;
    int delayMs = 0;
    int status = NoError;
    int index = 0;
};

class Device {
public:
    Device(Catalog catalog, DeviceOptions options, TransferRunner *transfers);

    const Catalog &catalog() const { return catalog_; }
    bool deferredSaving() const { return deferred_; }

    // Visible objects (absent faults hidden).
    const Object *find(const Oid &oid) const;
    // The first visible object after oid (or at it when inclusive).
    const Object *next(const Oid &oid, bool inclusive) const;
    // True when oid names a missing instance of a known object (noSuchInstance), false for
    // an unknown object (noSuchObject).
    bool isKnownObjectPrefix(const Oid &oid) const;

    Value read(const Object &obj) const;
    const Fault *faultFor(const Oid &oid, bool forSet) const;

    // Checks every binding (type, access, constraints); the first failure wins.
    SetOutcome check(const std::vector<SetBinding> &bindings) const;
    // Checks and carries out a whole set: all or nothing. principal names the requester in the log.
    SetOutcome apply(const std::vector<SetBinding> &bindings, const std::string &principal);
    // Logs a set refused before apply (by a fault or the SNMP engine).
    void logRefusedSet(const std::vector<SetBinding> &bindings, const std::string &principal, int status);

    // Reboot silence: true while the device "restarts". Ends by itself with pending changes applied.
    bool silent();
    // A restart command was carried out; the silence starts when the answer has gone out.
    bool restartArmed() const { return restartArmed_; }
    void startRestartSilence();

    uint32_t upTimeTicks() const;

    // One line per request PDU the agent handles: its type, requester and the objects named.
    void logRequest(const std::string &type, const std::string &principal, const std::vector<Oid> &oids);

    std::string writeLogPath() const { return options_.stateDir + "/writes.log"; }
    std::string requestLogPath() const { return options_.stateDir + "/requests.log"; }
    std::string filesDir() const { return options_.stateDir + "/files"; }
    // The device's own copies of fixture files.
    std::string deviceFilesDir() const { return options_.stateDir + "/device"; }
    std::string fixturePath(std::string_view name) const;

    // True when writes of the object are commands: acted on at once and never stored.
    bool isCommand(std::string_view name) const;
    // A command-filled table; throws std::runtime_error when the catalog has none of that name.
    TableRows table(std::string_view name);

private:
    friend class CommandContext;

    void logLine(const std::string &text);
    void logCommand(const std::string &what);
    void storeValue(const Object &obj, const Value &v);
    void applyPending();
    void factoryReset();
    void saveState();
    CommandOutcome runCommand(const std::string &name, int64_t value, std::vector<std::string> &done);
    std::string runTransfer(const TransferDecl &t);
    std::string deviceFile(std::string_view fixture);
    std::string bindingText(const SetBinding &b) const;
    std::optional<Value> currentByName(std::string_view name) const;

    Catalog catalog_;
    DeviceOptions options_;
    TransferRunner *transfers_;
    CommandRegistry commands_;
    bool deferred_ = false;
    ObjectStore store_;
    SteadyClock::time_point start_;
    SteadyClock::time_point silentUntil_{};
    bool rebooting_ = false;
    bool restartArmed_ = false;
    std::ofstream log_;
    std::ofstream requestLog_;
};

} // namespace devsim

#include "HeldValues.h"

#include <set>
#include <sstream>

namespace sweep {

namespace {

// "OID NAME VALUE..." per line; the value may hold blanks (quoted text).
std::map<std::string, std::string> parse(const std::string &text)
{
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t oidEnd = line.find(' ');
        const std::size_t nameEnd = oidEnd == std::string::npos ? oidEnd : line.find(' ', oidEnd + 1);
        if (nameEnd == std::string::npos)
            continue;
        values[line.substr(oidEnd + 1, nameEnd - oidEnd - 1)] = line.substr(nameEnd + 1);
    }
    return values;
}

const std::string kNone = "(none)";

const std::string &valueOf(const std::map<std::string, std::string> &values, const std::string &name)
{
    const auto it = values.find(name);
    return it == values.end() ? kNone : it->second;
}

} // namespace

HeldValues ReadHeldValues(const devsimtest::Devsim &sim)
{
    HeldValues held;
    held.active = parse(sim.readFile("active.txt"));
    held.configured = held.active;
    for (const auto &[name, value] : parse(sim.readFile("pending.txt")))
        held.configured[name] = value;
    return held;
}

bool NameCovers(const std::string &entry, const std::string &object)
{
    return object == entry || (object.size() > entry.size() && object.compare(0, entry.size(), entry) == 0 &&
                               object[entry.size()] == '.');
}

std::string Change::Text() const
{
    return object + ": " + before + " -> " + after + (activeOnly ? " (in effect)" : "");
}

std::vector<Change> Changes(const HeldValues &before, const HeldValues &after)
{
    std::set<std::string> names;
    for (const auto *values : {&before.configured, &after.configured})
        for (const auto &entry : *values)
            names.insert(entry.first);
    std::vector<Change> out;
    for (const std::string &name : names) {
        const std::string &was = valueOf(before.configured, name);
        const std::string &is = valueOf(after.configured, name);
        if (was != is) {
            out.push_back({name, was, is});
            continue;
        }
        const std::string &wasActive = valueOf(before.active, name);
        const std::string &isActive = valueOf(after.active, name);
        if (wasActive != isActive)
            out.push_back({name, wasActive, isActive, true});
    }
    return out;
}

} // namespace sweep

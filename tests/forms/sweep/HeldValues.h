#pragma once
// What the simulated device holds: every object's value in effect and its value as configured
// (a pending change, else the value in effect), as devsim keeps them in its state folder, and
// the differences between two such records.
#include "Harness.h"

#include <map>
#include <string>
#include <vector>

namespace sweep {

struct HeldValues {
    std::map<std::string, std::string> active;     // object -> value in effect
    std::map<std::string, std::string> configured; // object -> pending value, else the one in effect
};

HeldValues ReadHeldValues(const devsimtest::Devsim &sim);

// Whether an object name is the entry or an instance of it: "adMSSIDWmm" covers
// "adMSSIDWmm.1.2"; "adMSSIDWmm.1.2" only itself.
bool NameCovers(const std::string &entry, const std::string &object);

// One changed object: its name and its values before and after ("(none)" when absent).
struct Change {
    std::string object;
    std::string before;
    std::string after;
    bool activeOnly = false; // the configured value stayed, the value in effect changed
    std::string Text() const;
};
std::vector<Change> Changes(const HeldValues &before, const HeldValues &after);

} // namespace sweep

#pragma once
// The device's object instances and values, and the rows of its command-filled tables.
#include "Catalog.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace devsim {

// Everything a set or a command may change, so that a failed one can be put back whole.
struct ObjectStore {
    std::map<Oid, Object> objects; // catalog objects and the instances of table rows
    std::map<Oid, Value> active;   // values in effect (by storage OID)
    std::map<Oid, Value> pending;  // values written but not yet activated
};

// Cell values for handlers.
Value num(int64_t n);
Value text(std::string s);

// The rows of one command-filled table. Rows are keyed by their index (one number per key
// arc); cells are named by column. A cell not given takes the column's catalog value. Unknown
// columns and values of the wrong kind throw std::runtime_error (a handler's mistake).
class TableRows {
public:
    TableRows(const TableDecl &decl, ObjectStore &store) : decl_(decl), store_(store) {}

    const std::string &name() const { return decl_.name; }
    std::size_t size() const { return indexes().size(); }
    bool full() const { return decl_.maxRows != 0 && size() >= decl_.maxRows; }
    std::vector<Oid> indexes() const;
    bool has(const Oid &index) const;
    std::optional<Value> cell(const Oid &index, std::string_view column) const;
    Cells row(const Oid &index) const;

    // A new row at the lowest free index 1, 2, ... (single-key tables); nullopt when full.
    std::optional<uint32_t> add(const Cells &cells);
    // Creates or replaces the row at index; false when the table is full or the index has the
    // wrong number of arcs.
    bool put(const Oid &index, const Cells &cells);
    bool remove(const Oid &index);
    void clear();
    // Moves a row into another table, cells matched by column number (columns the target
    // lacks are dropped); the new index, or nullopt when the row is missing or target is full.
    std::optional<uint32_t> moveTo(const Oid &index, TableRows &target);

private:
    Oid instance(const Object &column, const Oid &index) const;

    const TableDecl &decl_;
    ObjectStore &store_;
};

} // namespace devsim

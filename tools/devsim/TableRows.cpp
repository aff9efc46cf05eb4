#include "TableRows.h"

#include <set>
#include <stdexcept>

namespace devsim {

Value num(int64_t n)
{
    Value v;
    v.num = n;
    return v;
}

Value text(std::string s)
{
    Value v;
    v.bytes = std::move(s);
    return v;
}

Oid TableRows::instance(const Object &column, const Oid &index) const
{
    Oid oid = column.oid;
    oid.insert(oid.end(), index.begin(), index.end());
    return oid;
}

std::vector<Oid> TableRows::indexes() const
{
    std::vector<Oid> out;
    if (decl_.columns.empty())
        return out;
    const Oid &first = decl_.columns.front().oid;
    for (auto it = store_.objects.upper_bound(first);
         it != store_.objects.end() && oidStartsWith(it->first, first); ++it)
        out.emplace_back(it->first.begin() + static_cast<std::ptrdiff_t>(first.size()), it->first.end());
    return out;
}

bool TableRows::has(const Oid &index) const
{
    return !decl_.columns.empty() && store_.objects.count(instance(decl_.columns.front(), index)) != 0;
}

std::optional<Value> TableRows::cell(const Oid &index, std::string_view column) const
{
    const Object *col = decl_.column(column);
    if (!col)
        throw std::runtime_error("table " + decl_.name + " has no column " + std::string(column));
    auto it = store_.active.find(instance(*col, index));
    return it == store_.active.end() ? std::nullopt : std::optional(it->second);
}

Cells TableRows::row(const Oid &index) const
{
    Cells out;
    for (const auto &col : decl_.columns)
        if (auto v = cell(index, col.name))
            out[col.name] = *v;
    return out;
}

bool TableRows::put(const Oid &index, const Cells &cells)
{
    if (decl_.columns.empty())
        throw std::runtime_error("table " + decl_.name + " has no columns");
    for (const auto &[name, v] : cells) {
        const Object *col = decl_.column(name);
        if (!col)
            throw std::runtime_error("table " + decl_.name + " has no column " + name);
        bool badLength = (col->syntax == Syntax::MacAddress && v.bytes.size() != 6) ||
                         (col->syntax == Syntax::IpAddress && v.bytes.size() != 4);
        if (badLength || checkConstraint(*col, v) != NoError)
            throw std::runtime_error("value for " + name + " does not fit the column");
    }
    if (index.size() != decl_.keys || (!has(index) && full()))
        return false;
    for (const auto &col : decl_.columns) {
        Object inst = col;
        inst.oid = instance(col, index);
        inst.name = col.name + "." + oidText(index);
        auto given = cells.find(col.name);
        store_.active[inst.oid] = given == cells.end() ? col.initial : given->second;
        store_.pending.erase(inst.oid);
        store_.objects[inst.oid] = std::move(inst);
    }
    return true;
}

std::optional<uint32_t> TableRows::add(const Cells &cells)
{
    if (decl_.keys != 1)
        throw std::runtime_error("table " + decl_.name + " has more than one key: give the index");
    std::set<uint32_t> used;
    for (const Oid &i : indexes())
        used.insert(i.front());
    uint32_t n = 1;
    while (used.count(n))
        ++n;
    if (!put(Oid{n}, cells))
        return std::nullopt;
    return n;
}

bool TableRows::remove(const Oid &index)
{
    if (!has(index))
        return false;
    for (const auto &col : decl_.columns) {
        Oid oid = instance(col, index);
        store_.objects.erase(oid);
        store_.active.erase(oid);
        store_.pending.erase(oid);
    }
    return true;
}

void TableRows::clear()
{
    for (const Oid &i : indexes())
        remove(i);
}

std::optional<uint32_t> TableRows::moveTo(const Oid &index, TableRows &target)
{
    if (!has(index) || target.full())
        return std::nullopt;
    Cells cells;
    for (const auto &to : target.decl_.columns)
        for (const auto &from : decl_.columns)
            if (from.oid.back() == to.oid.back())
                if (auto v = cell(index, from.name))
                    cells[to.name] = *v;
    auto n = target.add(cells);
    if (n)
        remove(index);
    return n;
}

} // namespace devsim

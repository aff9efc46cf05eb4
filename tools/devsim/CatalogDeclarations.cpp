// Catalog lines beyond plain objects: aliases, command-filled tables and their rows,
// transfers, plain commands, profile removals, and the checks that tie them together.
#include "Catalog.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <stdexcept>

namespace devsim {

namespace {

std::optional<std::size_t> toCount(std::string_view s)
{
    std::size_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size())
        return std::nullopt;
    return v;
}

std::runtime_error lineError(const std::string &where, const std::string &what)
{
    return std::runtime_error(where + ": " + what);
}

Oid parentOf(const Oid &oid)
{
    return Oid(oid.begin(), oid.end() - 1);
}

// Row indexes of a row line: "3", "1.3" or "{1..30}".
std::vector<Oid> rowIndexes(const std::string &text, std::size_t keys, const std::string &where)
{
    std::vector<Oid> out;
    if (text.starts_with("{") && text.ends_with("}") && keys == 1) {
        auto dots = text.find("..");
        auto lo = dots == std::string::npos ? std::nullopt : toCount(text.substr(1, dots - 1));
        auto hi =
            dots == std::string::npos ? std::nullopt : toCount(text.substr(dots + 2, text.size() - dots - 3));
        if (!lo || !hi || *lo > *hi || *hi - *lo >= 4096 || *hi > UINT32_MAX)
            throw lineError(where, "bad row range " + text);
        for (std::size_t n = *lo; n <= *hi; ++n)
            out.push_back(Oid{static_cast<uint32_t>(n)});
        return out;
    }
    auto index = parseOid(text);
    if (!index || index->size() != keys)
        throw lineError(where, "row index " + text + " needs " + std::to_string(keys) + " number(s)");
    out.push_back(*index);
    return out;
}

} // namespace

const Object *TableDecl::column(std::string_view columnName) const
{
    for (const auto &c : columns)
        if (c.name == columnName)
            return &c;
    return nullptr;
}

void Catalog::parseRemove(const std::vector<std::string> &f, const std::string &where)
{
    if (f.size() != 2)
        throw lineError(where, "expected remove NAME|OID");
    const std::string &what = f[1];
    if (auto a = aliases_.find(what); a != aliases_.end()) {
        eraseObject(a->second.oid);
        aliases_.erase(a);
    } else if (const Object *obj = resolve(what)) {
        aliases_.erase(obj->name); // when it is a made alias instance
        removed_.insert(obj->name);
        eraseObject(obj->oid);
    } else if (auto t = tables_.find(what); t != tables_.end()) {
        for (const auto &c : t->second.columns)
            removed_.insert(c.name);
        tables_.erase(t);
    } else if (commands_.erase(what) == 0) {
        bool column = false;
        for (auto &[name, table] : tables_) {
            auto c = std::find_if(table.columns.begin(), table.columns.end(),
                                  [&](const Object &o) { return o.name == what; });
            if (c != table.columns.end()) {
                table.columns.erase(c);
                for (auto &[index, cells] : table.rows)
                    cells.erase(what);
                column = true;
            }
        }
        if (!column)
            throw lineError(where, "no object " + what);
    }
    removed_.insert(what);
}

void Catalog::parseAlias(const std::vector<std::string> &f, const std::string &where, bool overlay)
{
    if (f.size() != 4)
        throw lineError(where, "expected alias OID NAME TARGET");
    auto oid = expandOid(f[1]);
    if (!oid || oid->size() < 2)
        throw lineError(where, "bad OID " + f[1]);
    AliasDecl decl{*oid, f[2], f[3], where};
    auto it = aliases_.find(decl.name);
    if (it != aliases_.end() && !overlay) {
        if (it->second.oid != decl.oid || it->second.target != decl.target)
            throw lineError(where, "alias " + decl.name + " is declared differently at " + it->second.where);
        return;
    }
    aliases_[decl.name] = decl;
}

void Catalog::parseTable(const std::vector<std::string> &f, const std::string &where, bool overlay)
{
    if (f.size() < 3 || f.size() > 5)
        throw lineError(where, "expected table NAME ENTRY-OID [keys=N] [max=N]");
    TableDecl t;
    t.name = f[1];
    t.where = where;
    auto entry = expandOid(f[2]);
    if (!entry || entry->size() < 2)
        throw lineError(where, "bad OID " + f[2]);
    t.entry = *entry;
    for (std::size_t i = 3; i < f.size(); ++i) {
        const std::string_view opt = f[i];
        const std::size_t eq = opt.find('=');
        // A plain number rather than an optional one: GCC's optimiser took the unset optional
        // of an option without "=" for an uninitialised number.
        std::size_t n = 0;
        bool counted = false;
        if (eq != std::string_view::npos) {
            if (const std::optional<std::size_t> parsed = toCount(opt.substr(eq + 1))) {
                n = *parsed;
                counted = true;
            }
        }
        if (opt.starts_with("keys=") && counted && n >= 1 && n <= 8)
            t.keys = n;
        else if (opt.starts_with("max=") && counted)
            t.maxRows = n;
        else
            throw lineError(where, "bad table option " + f[i]);
    }
    auto it = tables_.find(t.name);
    if (it == tables_.end()) {
        tables_[t.name] = std::move(t);
        return;
    }
    TableDecl &old = it->second;
    if (!overlay && (old.entry != t.entry || old.keys != t.keys || old.maxRows != t.maxRows))
        throw lineError(where, "table " + t.name + " is declared differently at " + old.where);
    if (old.entry != t.entry || old.keys != t.keys) {
        old.columns.clear();
        old.rows.clear();
    }
    old.entry = t.entry;
    old.keys = t.keys;
    old.maxRows = t.maxRows;
}

void Catalog::parseColumn(const std::vector<std::string> &f, const std::string &where, bool overlay)
{
    auto g = f;
    g[0] = f[0].substr(0, f[0].size() - 2);
    Object col = parseObject(g, where);
    Oid entry = parentOf(col.oid);
    auto t = std::find_if(tables_.begin(), tables_.end(),
                          [&](const auto &kv) { return kv.second.entry == entry; });
    if (t == tables_.end())
        throw lineError(where, "no table declared with entry " + oidText(entry));
    auto &columns = t->second.columns;
    auto same =
        std::find_if(columns.begin(), columns.end(), [&](const Object &c) { return c.oid == col.oid; });
    if (same != columns.end() && !overlay) {
        if (same->name != col.name || same->syntax != col.syntax || same->access != col.access ||
            !(same->initial == col.initial))
            throw lineError(where,
                            "column " + oidText(col.oid) + " is defined differently at " + same->where);
        return;
    }
    if (same != columns.end()) {
        *same = col;
        return;
    }
    for (const auto &[name, other] : tables_)
        if (other.column(col.name))
            throw lineError(where, "the column name " + col.name + " is taken in table " + name);
    columns.insert(std::upper_bound(columns.begin(), columns.end(), col,
                                    [](const Object &a, const Object &b) { return a.oid < b.oid; }),
                   col);
}

void Catalog::parseRow(const std::vector<std::string> &f, const std::string &where, bool overlay)
{
    if (f.size() < 3)
        throw lineError(where, "expected row TABLE INDEX [COLUMN=VALUE ...]");
    auto t = tables_.find(f[1]);
    if (t == tables_.end())
        throw lineError(where, "no table " + f[1]);
    TableDecl &table = t->second;
    Cells cells;
    for (std::size_t i = 3; i < f.size(); ++i) {
        auto eq = f[i].find('=');
        const Object *col = eq == std::string::npos ? nullptr : table.column(f[i].substr(0, eq));
        if (!col)
            throw lineError(where, "expected COLUMN=VALUE with a column of " + table.name + ": " + f[i]);
        auto v = parseValue(col->syntax, f[i].substr(eq + 1));
        if (!v || checkConstraint(*col, *v) != NoError)
            throw lineError(where, "bad value " + f[i]);
        cells[col->name] = *v;
    }
    for (const Oid &index : rowIndexes(f[2], table.keys, where)) {
        if (!overlay && table.rows.count(index))
            throw lineError(where, "row " + oidText(index) + " of " + table.name + " is given twice");
        if (table.maxRows && !table.rows.count(index) && table.rows.size() >= table.maxRows)
            throw lineError(where, "table " + table.name + " holds at most " + std::to_string(table.maxRows) +
                                       " rows");
        table.rows[index] = cells;
    }
}

void Catalog::parseTransfer(const std::vector<std::string> &f, const std::string &where, bool overlay)
{
    auto eq = f.size() >= 2 ? f[1].find('=') : std::string::npos;
    std::optional<Value> v;
    if (eq != std::string::npos)
        v = parseValue(Syntax::Integer, f[1].substr(eq + 1));
    if ((f.size() != 5 && f.size() != 6) || !v || (f[2] != "get" && f[2] != "put"))
        throw lineError(where, "expected transfer COMMAND=VALUE get|put SERVER-OBJECT FILE-OBJECT [FIXTURE]");
    TransferDecl t{f[1].substr(0, eq), v->num, f[2] == "get", f[3], f[4], f.size() == 6 ? f[5] : "", where};
    if (t.get && !t.fixture.empty())
        throw lineError(where, "a fixture is sent by put transfers only");
    if (!t.fixture.empty() && (t.fixture.find('/') != std::string::npos || t.fixture.starts_with(".")))
        throw lineError(where, "a fixture is a file name in the fixtures folder: " + t.fixture);
    auto it = std::find_if(transfers_.begin(), transfers_.end(), [&](const TransferDecl &d) {
        return d.command == t.command && d.value == t.value;
    });
    if (it == transfers_.end()) {
        transfers_.push_back(t);
        return;
    }
    if (!overlay &&
        (it->get != t.get || it->server != t.server || it->file != t.file || it->fixture != t.fixture))
        throw lineError(where, "transfer " + f[1] + " is declared differently at " + it->where);
    if (overlay)
        *it = t;
}

void Catalog::finish()
{
    for (auto it = objects_.begin(); it != objects_.end();) {
        if (it->second.storage.empty()) {
            ++it;
            continue;
        }
        names_.erase(it->second.name);
        it = objects_.erase(it);
    }
    // A reference to something a profile removed goes with it; any other dangling one is an error.
    auto missing = [this](const std::string &name, const std::string &where, const std::string &what) {
        if (removed_.count(name))
            return true;
        throw lineError(where, what + " " + name + " is not in the catalog");
    };
    for (const auto &[name, a] : aliases_) {
        const Object *target = findByName(a.target);
        if (!target) {
            missing(a.target, a.where, "alias target");
            continue;
        }
        if (const Object *clash = find(a.oid))
            throw lineError(a.where, "alias " + a.name + " lies on " + clash->name + " of " + clash->where);
        Object copy = *target;
        copy.oid = a.oid;
        copy.name = a.name;
        copy.where = a.where;
        copy.storage = target->oid;
        addObject(std::move(copy), false);
    }
    for (const auto &[name, t] : tables_) {
        auto it = objects_.lower_bound(t.entry);
        if (it != objects_.end() && oidStartsWith(it->first, t.entry))
            throw lineError(it->second.where,
                            it->second.name + " lies inside table " + name + " of " + t.where);
        if (names_.count(name))
            throw lineError(t.where, "the table name " + name + " names an object too");
        for (const auto &[other, u] : tables_)
            if (other != name && (oidStartsWith(t.entry, u.entry) || oidStartsWith(u.entry, t.entry)))
                throw lineError(t.where, "table " + name + " overlaps table " + other + " of " + u.where);
    }
    std::vector<TransferDecl> kept;
    for (const auto &t : transfers_) {
        const Object *cmd = findByName(t.command);
        const Object *server = findByName(t.server);
        const Object *file = findByName(t.file);
        if ((!cmd && missing(t.command, t.where, "command")) ||
            (!server && missing(t.server, t.where, "object")) ||
            (!file && missing(t.file, t.where, "object")))
            continue;
        if (server->syntax != Syntax::IpAddress || !isOctets(file->syntax))
            throw lineError(t.where, "the server object needs an IP address and the file object a string");
        kept.push_back(t);
    }
    transfers_ = std::move(kept);
    for (auto it = commands_.begin(); it != commands_.end();) {
        if (!findByName(it->first) && missing(it->first, it->second, "command"))
            it = commands_.erase(it);
        else
            ++it;
    }
}

namespace {

// True for ".1", ".1.3" and the like: the index of a row made by {..} arcs.
bool isRowSuffix(std::string_view s)
{
    if (s.size() < 2)
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool dot = s[i] == '.';
        if (dot ? (i + 1 == s.size() || s[i + 1] == '.') : (i == 0 || s[i] < '0' || s[i] > '9'))
            return false;
    }
    return true;
}

} // namespace

std::vector<Oid> Catalog::resolveTargets(std::string_view nameOrOid) const
{
    std::vector<Oid> found;
    if (const Object *o = resolve(nameOrOid)) {
        found.push_back(o->oid);
    } else {
        if (const TableDecl *t = findTable(nameOrOid))
            return {t->entry};
        for (const auto &[name, t] : tables_)
            if (const Object *c = t.column(nameOrOid))
                return {c->oid};
        const std::string prefix = std::string(nameOrOid) + ".";
        for (auto it = names_.lower_bound(prefix); it != names_.end() && it->first.starts_with(prefix); ++it)
            if (isRowSuffix(std::string_view(it->first).substr(prefix.size() - 1)))
                found.push_back(it->second);
    }
    if (found.empty()) {
        auto oid = expandOid(nameOrOid);
        return oid && tableOver(*oid) ? std::vector<Oid>{*oid} : std::vector<Oid>{};
    }
    // Every other instance of the same stored setting is the same object.
    const std::size_t named = found.size();
    for (const auto &[oid, obj] : objects_)
        if (!obj.storage.empty() &&
            std::find(found.begin(), found.begin() + named, obj.storage) != found.begin() + named)
            found.push_back(oid);
    return found;
}

const TableDecl *Catalog::findTable(std::string_view name) const
{
    auto it = tables_.find(name);
    return it == tables_.end() ? nullptr : &it->second;
}

const TableDecl *Catalog::tableOver(const Oid &oid) const
{
    for (const auto &[name, t] : tables_)
        if (oidStartsWith(oid, t.entry))
            return &t;
    return nullptr;
}

const TransferDecl *Catalog::findTransfer(std::string_view command, int64_t value) const
{
    for (const auto &t : transfers_)
        if (t.command == command && t.value == value)
            return &t;
    return nullptr;
}

std::string defaultSectionsDir(const std::string &catalogPath)
{
    return (std::filesystem::path(catalogPath).parent_path() / "sections").string();
}

Catalog loadCatalog(const std::string &path, const std::string &sectionsDir,
                    const std::vector<std::string> &profiles)
{
    Catalog c;
    c.load(path);
    c.loadSections(sectionsDir);
    for (const auto &p : profiles) {
        bool named = p.find('/') == std::string::npos;
        auto file = std::filesystem::path(path).parent_path() / "profiles" / (p + ".cat");
        c.applyProfile(named ? file.string() : p);
    }
    c.finish();
    return c;
}

} // namespace devsim

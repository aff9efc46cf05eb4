#pragma once
// The simulated access point's object catalog: one object instance per line of a text file,
// section files that add objects side by side, and profile files that remove, add or change
// objects. The line kinds are described in catalog/qrn5290ap.cat.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace devsim {

using Oid = std::vector<uint32_t>;

std::optional<Oid> parseOid(std::string_view text);
std::string oidText(const Oid &oid);
// True when prefix is a (non-strict) prefix of oid.
bool oidStartsWith(const Oid &oid, const Oid &prefix);

enum class Syntax {
    Integer,
    UInteger,
    Counter,
    Gauge,
    TimeTicks,
    IpAddress,
    OctetStr,
    DisplayStr,
    MacAddress,
    ObjectId,
    Counter64,
};

std::optional<Syntax> parseSyntax(std::string_view keyword);
std::string_view syntaxName(Syntax s);
bool isNumeric(Syntax s);
bool isOctets(Syntax s);

// A value of any syntax: numbers in num (Counter64 as its bit pattern), octet strings and
// IP addresses in bytes, object identifiers in oid.
struct Value {
    int64_t num = 0;
    std::string bytes;
    Oid oid;
    bool operator==(const Value &) const = default;
};

// Parses a catalog value text ("text" quoted or bare, 0x hex, dotted address, number).
std::optional<Value> parseValue(Syntax syntax, std::string_view text);
// Text of a value for logs and state files (strings quoted with escapes).
std::string valueText(Syntax syntax, const Value &v);

enum class Access { ReadOnly, ReadWrite, WriteOnly };

struct Constraint {
    enum Kind { None, Range, Enum, Size } kind = None;
    int64_t min = 0;
    int64_t max = 0;
    std::vector<int64_t> values;
};

// SNMP error status numbers used in answers.
enum ErrorStatus : int {
    NoError = 0,
    TooBig = 1,
    NoSuchName = 2,
    BadValue = 3,
    ReadOnlyErr = 4,
    GenErr = 5,
    NoAccess = 6,
    WrongType = 7,
    WrongLength = 8,
    WrongEncoding = 9,
    WrongValue = 10,
    NoCreation = 11,
    InconsistentValue = 12,
    ResourceUnavailable = 13,
    CommitFailed = 14,
    UndoFailed = 15,
    AuthorizationError = 16,
    NotWritable = 17,
    InconsistentName = 18,
};
std::string_view errorStatusName(int status);
std::optional<int> parseErrorStatus(std::string_view text);

struct Object {
    Oid oid; // full instance OID
    std::string name;
    Syntax syntax = Syntax::Integer;
    Access access = Access::ReadOnly;
    bool immediate = false; // takes effect at once even on a device with deferred saving
    Constraint constraint;
    Value initial;
    std::string where; // "file:line" of its definition
    Oid storage;       // an alias instance: the OID whose value it shares; empty otherwise
};

// Checks a value of the right syntax against the object's constraint.
int checkConstraint(const Object &obj, const Value &v);

// Column values of one table row by column name.
using Cells = std::map<std::string, Value, std::less<>>;

// A table whose rows the device creates and removes at run time (command-filled).
struct TableDecl {
    std::string name;
    Oid entry;                   // columns are entry.N, instances entry.N.INDEX
    std::size_t keys = 1;        // number of arcs in a row index
    std::size_t maxRows = 0;     // 0: no limit
    std::vector<Object> columns; // oid = the column's OID; initial = a new row's value
    std::map<Oid, Cells> rows;   // rows present at start (and after a factory reset)
    std::string where;
    const Object *column(std::string_view name) const;
};

// Another instance OID of one stored setting (e.g. .0 beside .1).
struct AliasDecl {
    Oid oid;
    std::string name;
    std::string target; // name of the object that holds the value
    std::string where;
};

// A TFTP transfer that a write of command=value starts; the device is the TFTP client.
struct TransferDecl {
    std::string command;
    int64_t value = 0;
    bool get = true;     // get: the device fetches into files/; put: the device sends
    std::string server;  // object holding the server's address
    std::string file;    // object holding the file name on the server
    std::string fixture; // put: the device's own file that is sent (a fixture name); empty: files/NAME
    std::string where;
};

class Catalog {
public:
    // Reads a catalog file; throws std::runtime_error with file and line on a bad line.
    void load(const std::string &path);
    // Reads every *.cat of a folder in name order, as parts of the catalog; no folder, no sections.
    void loadSections(const std::string &dir);
    // Applies an overlay: "remove NAME|OID", "set NAME|OID VALUE" or full object lines.
    void applyProfile(const std::string &path);
    // Parses text as if it were a file named origin (for tests and inline overlays).
    void loadText(std::string_view text, const std::string &origin, bool overlay);
    // Makes the alias instances and checks what refers to other objects; call after the last
    // file (again after a later overlay). Throws std::runtime_error naming the place.
    void finish();

    const Object *find(const Oid &oid) const;
    const Object *findByName(std::string_view name) const;
    // Resolves a name or a dotted OID.
    const Object *resolve(std::string_view nameOrOid) const;
    // What a fault named by a name or OID reaches: an object with its aliases, the rows of a
    // column (NAME.1 ... of a line with {..} arcs), or a command-filled table or its column.
    // Empty when the catalog has none of that name.
    std::vector<Oid> resolveTargets(std::string_view nameOrOid) const;
    const std::map<Oid, Object> &objects() const { return objects_; }

    const std::map<std::string, TableDecl, std::less<>> &tables() const { return tables_; }
    const TableDecl *findTable(std::string_view name) const;
    // The dynamic table whose entry lies above oid, if any.
    const TableDecl *tableOver(const Oid &oid) const;
    const std::vector<TransferDecl> &transfers() const { return transfers_; }
    const TransferDecl *findTransfer(std::string_view command, int64_t value) const;
    // True for an object declared as a plain command (acknowledged, never stored).
    bool isPlainCommand(std::string_view name) const { return commands_.count(name) != 0; }

private:
    void parseLine(std::string_view line, const std::string &origin, int lineNo, bool overlay);
    std::optional<Oid> expandOid(std::string_view text) const;
    Object parseObject(const std::vector<std::string> &fields, const std::string &where) const;
    void parseObjectLines(const std::vector<std::string> &fields, const std::string &where, bool overlay);
    void addObject(Object obj, bool overlay);
    void eraseObject(const Oid &oid);
    void parsePrefix(const std::vector<std::string> &f, const std::string &where);
    void parseRemove(const std::vector<std::string> &f, const std::string &where);
    void parseSet(const std::vector<std::string> &f, const std::string &where);
    void parseAlias(const std::vector<std::string> &f, const std::string &where, bool overlay);
    void parseTable(const std::vector<std::string> &f, const std::string &where, bool overlay);
    void parseColumn(const std::vector<std::string> &f, const std::string &where, bool overlay);
    void parseRow(const std::vector<std::string> &f, const std::string &where, bool overlay);
    void parseTransfer(const std::vector<std::string> &f, const std::string &where, bool overlay);

    std::map<Oid, Object> objects_;
    std::map<std::string, Oid, std::less<>> names_;
    std::map<std::string, Oid, std::less<>> prefixes_;
    std::map<std::string, std::string, std::less<>> prefixWhere_;
    std::map<std::string, AliasDecl, std::less<>> aliases_;
    std::map<std::string, TableDecl, std::less<>> tables_;
    std::vector<TransferDecl> transfers_;
    std::map<std::string, std::string, std::less<>> commands_; // name -> where
    std::set<std::string, std::less<>> removed_;               // names a profile removed
};

// The base catalog, every section of sectionsDir (sorted), then the profiles in order (a
// profile NAME without '/' is profiles/NAME.cat beside the catalog), finished.
Catalog loadCatalog(const std::string &path, const std::string &sectionsDir,
                    const std::vector<std::string> &profiles);
// The sections folder that belongs to a catalog file: sections/ beside it.
std::string defaultSectionsDir(const std::string &catalogPath);

// Splits a line into whitespace-separated fields, keeping "quoted text" as one field
// (quotes kept) and stopping at an unquoted '#'.
std::vector<std::string> splitFields(std::string_view line);

} // namespace devsim

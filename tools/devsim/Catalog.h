#pragma once
// The simulated access point's object catalog: one object instance per line of a text file,
// with profile files that remove, add or change objects.
#include <cstdint>
#include <map>
#include <optional>
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
};

// Checks a value of the right syntax against the object's constraint.
int checkConstraint(const Object &obj, const Value &v);

class Catalog {
public:
    // Reads a catalog file; throws std::runtime_error with file and line on a bad line.
    void load(const std::string &path);
    // Applies an overlay: "remove NAME|OID", "set NAME|OID VALUE" or full object lines.
    void applyProfile(const std::string &path);
    // Parses text as if it were a file named origin (for tests and inline overlays).
    void loadText(std::string_view text, const std::string &origin, bool overlay);

    const Object *find(const Oid &oid) const;
    const Object *findByName(std::string_view name) const;
    // Resolves a name or a dotted OID.
    const Object *resolve(std::string_view nameOrOid) const;
    const std::map<Oid, Object> &objects() const { return objects_; }

private:
    void parseLine(std::string_view line, const std::string &origin, int lineNo, bool overlay);
    std::optional<Oid> expandOid(std::string_view text) const;
    Object parseObject(const std::vector<std::string> &fields, const std::string &where) const;

    std::map<Oid, Object> objects_;
    std::map<std::string, Oid, std::less<>> prefixes_;
};

// Splits a line into whitespace-separated fields, keeping "quoted text" as one field
// (quotes kept) and stopping at an unquoted '#'.
std::vector<std::string> splitFields(std::string_view line);

} // namespace devsim

#include "Catalog.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace devsim {

namespace {

template <typename T> std::optional<T> parseNumber(std::string_view s)
{
    T v{};
    if (s.empty())
        return std::nullopt;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size())
        return std::nullopt;
    return v;
}

std::optional<std::pair<int64_t, int64_t>> parseRange(std::string_view s)
{
    auto dots = s.find("..");
    if (dots == std::string_view::npos)
        return std::nullopt;
    auto lo = parseNumber<int64_t>(s.substr(0, dots));
    auto hi = parseNumber<int64_t>(s.substr(dots + 2));
    if (!lo || !hi || *lo > *hi)
        return std::nullopt;
    return std::make_pair(*lo, *hi);
}

std::optional<std::string> unquote(std::string_view s)
{
    if (s.size() < 2 || s.front() != '"' || s.back() != '"')
        return std::nullopt;
    std::string_view in = s.substr(1, s.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= in.size())
            return std::nullopt;
        char e = in[i];
        if (e == 'x') {
            if (in.size() - i < 3)
                return std::nullopt;
            unsigned v = 0;
            auto [p, ec] = std::from_chars(in.data() + i + 1, in.data() + i + 3, v, 16);
            if (ec != std::errc() || p != in.data() + i + 3)
                return std::nullopt;
            out += static_cast<char>(v);
            i += 2;
        } else if (e == 'n') {
            out += '\n';
        } else if (e == 't') {
            out += '\t';
        } else {
            out += e;
        }
    }
    return out;
}

std::optional<std::string> parseHex(std::string_view s)
{
    if (s.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < s.size(); i += 2) {
        unsigned v = 0;
        auto [p, ec] = std::from_chars(s.data() + i, s.data() + i + 2, v, 16);
        if (ec != std::errc() || p != s.data() + i + 2)
            return std::nullopt;
        out += static_cast<char>(v);
    }
    return out;
}

} // namespace

std::optional<Oid> parseOid(std::string_view text)
{
    if (!text.empty() && text.front() == '.')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    Oid out;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto dot = text.find('.', start);
        auto part = text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        auto n = parseNumber<uint32_t>(part);
        if (!n)
            return std::nullopt;
        out.push_back(*n);
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    if (out.size() > 128)
        return std::nullopt;
    return out;
}

std::string oidText(const Oid &oid)
{
    std::string out;
    for (std::size_t i = 0; i < oid.size(); ++i) {
        if (i)
            out += '.';
        out += std::to_string(oid[i]);
    }
    return out;
}

bool oidStartsWith(const Oid &oid, const Oid &prefix)
{
    return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

namespace {
struct SyntaxName {
    std::string_view name;
    Syntax syntax;
};
constexpr SyntaxName kSyntaxNames[] = {
    {"integer", Syntax::Integer},       {"uinteger", Syntax::UInteger}, {"counter", Syntax::Counter},
    {"gauge", Syntax::Gauge},           {"guage", Syntax::Gauge},       {"timeticks", Syntax::TimeTicks},
    {"ipaddress", Syntax::IpAddress},   {"octetstr", Syntax::OctetStr}, {"displaystr", Syntax::DisplayStr},
    {"macaddress", Syntax::MacAddress}, {"objectid", Syntax::ObjectId}, {"counter64", Syntax::Counter64},
};
} // namespace

std::optional<Syntax> parseSyntax(std::string_view keyword)
{
    for (const auto &s : kSyntaxNames)
        if (s.name == keyword)
            return s.syntax;
    return std::nullopt;
}

std::string_view syntaxName(Syntax s)
{
    for (const auto &n : kSyntaxNames)
        if (n.syntax == s)
            return n.name;
    return "?";
}

bool isNumeric(Syntax s)
{
    switch (s) {
    case Syntax::Integer:
    case Syntax::UInteger:
    case Syntax::Counter:
    case Syntax::Gauge:
    case Syntax::TimeTicks:
    case Syntax::Counter64:
        return true;
    default:
        return false;
    }
}

bool isOctets(Syntax s)
{
    return s == Syntax::OctetStr || s == Syntax::DisplayStr || s == Syntax::MacAddress;
}

std::optional<Value> parseValue(Syntax syntax, std::string_view text)
{
    Value v;
    switch (syntax) {
    case Syntax::Integer: {
        auto n = parseNumber<int32_t>(text);
        if (!n)
            return std::nullopt;
        v.num = *n;
        return v;
    }
    case Syntax::UInteger:
    case Syntax::Counter:
    case Syntax::Gauge:
    case Syntax::TimeTicks: {
        auto n = parseNumber<uint32_t>(text);
        if (!n)
            return std::nullopt;
        v.num = *n;
        return v;
    }
    case Syntax::Counter64: {
        auto n = parseNumber<uint64_t>(text);
        if (!n)
            return std::nullopt;
        v.num = static_cast<int64_t>(*n);
        return v;
    }
    case Syntax::IpAddress: {
        std::string s(text);
        in_addr a{};
        if (inet_pton(AF_INET, s.c_str(), &a) != 1)
            return std::nullopt;
        v.bytes.assign(reinterpret_cast<const char *>(&a), 4);
        return v;
    }
    case Syntax::ObjectId: {
        auto o = parseOid(text);
        if (!o || o->size() < 2)
            return std::nullopt;
        v.oid = *o;
        return v;
    }
    case Syntax::OctetStr:
    case Syntax::DisplayStr:
    case Syntax::MacAddress: {
        if (auto q = unquote(text)) {
            v.bytes = *q;
        } else if (text.starts_with("0x")) {
            auto h = parseHex(text.substr(2));
            if (!h)
                return std::nullopt;
            v.bytes = *h;
        } else if (text == "-") {
            v.bytes.clear();
        } else if (text.starts_with("\"")) {
            return std::nullopt; // an unterminated quote
        } else {
            v.bytes = std::string(text);
        }
        if (syntax == Syntax::MacAddress && v.bytes.size() != 6)
            return std::nullopt;
        return v;
    }
    }
    return std::nullopt;
}

std::string valueText(Syntax syntax, const Value &v)
{
    char buf[8];
    switch (syntax) {
    case Syntax::Counter64:
        return std::to_string(static_cast<uint64_t>(v.num));
    case Syntax::IpAddress: {
        if (v.bytes.size() != 4)
            return "0.0.0.0";
        std::string out;
        for (int i = 0; i < 4; ++i) {
            if (i)
                out += '.';
            out += std::to_string(static_cast<unsigned char>(v.bytes[static_cast<std::size_t>(i)]));
        }
        return out;
    }
    case Syntax::ObjectId:
        return oidText(v.oid);
    case Syntax::OctetStr:
    case Syntax::MacAddress: {
        std::string out = "0x";
        for (unsigned char c : v.bytes) {
            snprintf(buf, sizeof buf, "%02X", c);
            out += buf;
        }
        return out;
    }
    case Syntax::DisplayStr: {
        std::string out = "\"";
        for (unsigned char c : v.bytes) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c >= 0x7f) {
                snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
        return out + "\"";
    }
    default:
        return std::to_string(v.num);
    }
}

namespace {
constexpr std::pair<int, std::string_view> kStatusNames[] = {
    {NoError, "noError"},
    {TooBig, "tooBig"},
    {NoSuchName, "noSuchName"},
    {BadValue, "badValue"},
    {ReadOnlyErr, "readOnly"},
    {GenErr, "genErr"},
    {NoAccess, "noAccess"},
    {WrongType, "wrongType"},
    {WrongLength, "wrongLength"},
    {WrongEncoding, "wrongEncoding"},
    {WrongValue, "wrongValue"},
    {NoCreation, "noCreation"},
    {InconsistentValue, "inconsistentValue"},
    {ResourceUnavailable, "resourceUnavailable"},
    {CommitFailed, "commitFailed"},
    {UndoFailed, "undoFailed"},
    {AuthorizationError, "authorizationError"},
    {NotWritable, "notWritable"},
    {InconsistentName, "inconsistentName"},
};
} // namespace

std::string_view errorStatusName(int status)
{
    for (const auto &[n, name] : kStatusNames)
        if (n == status)
            return name;
    return "unknownError";
}

std::optional<int> parseErrorStatus(std::string_view text)
{
    for (const auto &[n, name] : kStatusNames)
        if (name == text)
            return n;
    auto n = parseNumber<int>(text);
    if (n && *n >= 1 && *n <= 18)
        return n;
    return std::nullopt;
}

int checkConstraint(const Object &obj, const Value &v)
{
    const Constraint &c = obj.constraint;
    switch (c.kind) {
    case Constraint::None:
        return NoError;
    case Constraint::Range:
        return (v.num >= c.min && v.num <= c.max) ? NoError : WrongValue;
    case Constraint::Enum:
        return std::find(c.values.begin(), c.values.end(), v.num) != c.values.end() ? NoError : WrongValue;
    case Constraint::Size: {
        auto n = static_cast<int64_t>(v.bytes.size());
        return (n >= c.min && n <= c.max) ? NoError : WrongLength;
    }
    }
    return NoError;
}

std::vector<std::string> splitFields(std::string_view line)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size() || line[i] == '#')
            break;
        // A field runs to the next blank; "quoted text" inside it (also after NAME=) keeps its blanks.
        std::string field;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            if (line[i] != '"') {
                field += line[i++];
                continue;
            }
            field += line[i++];
            while (i < line.size()) {
                char c = line[i++];
                field += c;
                if (c == '\\' && i < line.size()) {
                    field += line[i++];
                } else if (c == '"') {
                    break;
                }
            }
        }
        out.push_back(std::move(field));
    }
    return out;
}

void Catalog::load(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read catalog " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    loadText(ss.str(), path, false);
}

void Catalog::applyProfile(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read profile " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    loadText(ss.str(), path, true);
}

void Catalog::loadSections(const std::string &dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return;
    std::vector<std::string> files;
    for (const auto &e : fs::directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().extension() == ".cat")
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    for (const auto &f : files)
        load(f);
}

void Catalog::loadText(std::string_view text, const std::string &origin, bool overlay)
{
    int lineNo = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        auto nl = text.find('\n', start);
        auto line = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        ++lineNo;
        parseLine(line, origin, lineNo, overlay);
        if (nl == std::string_view::npos)
            break;
        start = nl + 1;
    }
}

std::optional<Oid> Catalog::expandOid(std::string_view text) const
{
    auto dot = text.find('.');
    auto head = text.substr(0, dot);
    auto it = prefixes_.find(head);
    if (it != prefixes_.end()) {
        Oid base = it->second;
        if (dot == std::string_view::npos)
            return base;
        auto rest = parseOid(text.substr(dot + 1));
        if (!rest)
            return std::nullopt;
        base.insert(base.end(), rest->begin(), rest->end());
        return base;
    }
    return parseOid(text);
}

Object Catalog::parseObject(const std::vector<std::string> &f, const std::string &where) const
{
    if (f.size() != 6)
        throw std::runtime_error(where + ": expected OID NAME SYNTAX ACCESS CONSTRAINT VALUE");
    Object obj;
    obj.where = where;
    auto oid = expandOid(f[0]);
    if (!oid || oid->size() < 2)
        throw std::runtime_error(where + ": bad OID " + f[0]);
    obj.oid = *oid;
    obj.name = f[1];
    auto syn = parseSyntax(f[2]);
    if (!syn)
        throw std::runtime_error(where + ": unknown syntax " + f[2]);
    obj.syntax = *syn;
    std::string_view acc = f[3];
    if (acc.ends_with("+now")) {
        obj.immediate = true;
        acc.remove_suffix(4);
    }
    if (acc == "readonly")
        obj.access = Access::ReadOnly;
    else if (acc == "readwrite")
        obj.access = Access::ReadWrite;
    else if (acc == "writeonly")
        obj.access = Access::WriteOnly;
    else
        throw std::runtime_error(where + ": unknown access " + f[3]);
    std::string_view con = f[4];
    if (con == "-") {
        obj.constraint.kind = Constraint::None;
    } else if (con.starts_with("range:") || con.starts_with("size:")) {
        bool size = con.starts_with("size:");
        auto r = parseRange(con.substr(size ? 5 : 6));
        if (!r)
            throw std::runtime_error(where + ": bad range " + f[4]);
        obj.constraint.kind = size ? Constraint::Size : Constraint::Range;
        obj.constraint.min = r->first;
        obj.constraint.max = r->second;
    } else if (con.starts_with("enum:")) {
        obj.constraint.kind = Constraint::Enum;
        std::string_view list = con.substr(5);
        std::size_t s = 0;
        while (s <= list.size()) {
            auto bar = list.find('|', s);
            auto item = list.substr(s, bar == std::string_view::npos ? std::string_view::npos : bar - s);
            // A value may carry its name after '=' for readers of the catalog.
            auto eq = item.find('=');
            auto n = parseNumber<int64_t>(item.substr(0, eq));
            if (!n)
                throw std::runtime_error(where + ": bad enumeration " + f[4]);
            obj.constraint.values.push_back(*n);
            if (bar == std::string_view::npos)
                break;
            s = bar + 1;
        }
    } else {
        throw std::runtime_error(where + ": unknown constraint " + f[4]);
    }
    bool sizeOk = obj.constraint.kind != Constraint::Size || isOctets(obj.syntax);
    bool numOk = (obj.constraint.kind != Constraint::Range && obj.constraint.kind != Constraint::Enum) ||
                 isNumeric(obj.syntax);
    if (!sizeOk || !numOk)
        throw std::runtime_error(where + ": constraint does not fit the syntax");
    auto v = parseValue(obj.syntax, f[5]);
    if (!v)
        throw std::runtime_error(where + ": bad value " + f[5]);
    obj.initial = *v;
    if (checkConstraint(obj, obj.initial) != NoError)
        throw std::runtime_error(where + ": initial value outside the constraint");
    return obj;
}

namespace {

// Values a number constraint accepts, when they are few enough to list.
std::optional<std::vector<int64_t>> acceptedNumbers(const Constraint &c)
{
    std::vector<int64_t> v;
    if (c.kind == Constraint::Enum) {
        v = c.values;
        std::sort(v.begin(), v.end());
        v.erase(std::unique(v.begin(), v.end()), v.end());
        return v;
    }
    constexpr int64_t kFar = int64_t{1} << 40; // keeps the difference below from overflowing
    if (c.min < -kFar || c.max > kFar || c.max - c.min > 4096)
        return std::nullopt;
    for (int64_t n = c.min; n <= c.max; ++n)
        v.push_back(n);
    return v;
}

bool sameAccepted(const Constraint &a, const Constraint &b)
{
    if (a.kind == Constraint::Size || b.kind == Constraint::Size ||
        (a.kind == b.kind && a.kind == Constraint::Range))
        return a.kind == b.kind && a.min == b.min && a.max == b.max;
    auto va = acceptedNumbers(a);
    auto vb = acceptedNumbers(b);
    return va && vb && *va == *vb;
}

// What a second definition of one instance contradicts in the first; empty when nothing.
// A constraint may be added where the first had none.
std::string contradiction(const Object &a, const Object &b)
{
    if (a.name != b.name)
        return "name " + a.name + " against " + b.name;
    if (a.syntax != b.syntax)
        return "syntax " + std::string(syntaxName(a.syntax)) + " against " +
               std::string(syntaxName(b.syntax));
    if (a.access != b.access || a.immediate != b.immediate)
        return "access";
    if (a.constraint.kind != Constraint::None && b.constraint.kind != Constraint::None &&
        !sameAccepted(a.constraint, b.constraint))
        return "constraint";
    if (!(a.initial == b.initial))
        return "initial value " + valueText(a.syntax, a.initial) + " against " +
               valueText(b.syntax, b.initial);
    return {};
}

// The numbers of one {a..b} or {n} group.
std::optional<std::pair<int64_t, int64_t>> parseBraces(std::string_view inner)
{
    if (inner.find("..") == std::string_view::npos) {
        auto n = parseNumber<int64_t>(inner);
        return n ? std::optional(std::make_pair(*n, *n)) : std::nullopt;
    }
    return parseRange(inner);
}

} // namespace

void Catalog::addObject(Object obj, bool overlay)
{
    auto it = objects_.find(obj.oid);
    if (it != objects_.end()) {
        if (overlay) {
            eraseObject(obj.oid);
        } else {
            std::string why = contradiction(it->second, obj);
            if (!why.empty())
                throw std::runtime_error(obj.where + ": " + oidText(obj.oid) + " is defined differently at " +
                                         it->second.where + " (" + why + ")");
            if (it->second.constraint.kind == Constraint::None)
                it->second.constraint = obj.constraint;
            return;
        }
    }
    auto n = names_.find(obj.name);
    if (n != names_.end())
        throw std::runtime_error(obj.where + ": the name " + obj.name + " already names " +
                                 oidText(n->second) + " at " + objects_.at(n->second).where);
    names_[obj.name] = obj.oid;
    objects_[obj.oid] = std::move(obj);
}

void Catalog::eraseObject(const Oid &oid)
{
    auto it = objects_.find(oid);
    if (it == objects_.end())
        return;
    names_.erase(it->second.name);
    objects_.erase(it);
}

void Catalog::parseObjectLines(const std::vector<std::string> &f, const std::string &where, bool overlay)
{
    // Arcs written {a..b} (or {n}) make one object per combination, named NAME.a[.b...]; the
    // value field may then give one value per object, in row order.
    std::vector<std::pair<int64_t, int64_t>> ranges;
    std::vector<std::string> pieces; // text between the groups
    std::string_view pattern = f[0];
    std::size_t at = 0;
    while (true) {
        auto open = pattern.find('{', at);
        if (open == std::string_view::npos) {
            pieces.emplace_back(pattern.substr(at));
            break;
        }
        auto close = pattern.find('}', open);
        auto r = close == std::string_view::npos ? std::nullopt
                                                 : parseBraces(pattern.substr(open + 1, close - open - 1));
        if (!r || r->first < 0 || r->second > UINT32_MAX)
            throw std::runtime_error(where + ": bad OID range " + f[0]);
        pieces.emplace_back(pattern.substr(at, open - at));
        ranges.push_back(*r);
        at = close + 1;
    }
    if (ranges.empty()) {
        if (f.size() != 6)
            throw std::runtime_error(where + ": expected OID NAME SYNTAX ACCESS CONSTRAINT VALUE");
        addObject(parseObject(f, where), overlay);
        return;
    }
    std::size_t count = 1;
    for (const auto &r : ranges) {
        count *= static_cast<std::size_t>(r.second - r.first + 1);
        if (count > 4096)
            throw std::runtime_error(where + ": OID range of more than 4096 objects " + f[0]);
    }
    if (f.size() < 6 || (f.size() != 6 && f.size() != 5 + count))
        throw std::runtime_error(where + ": expected one value, or one per object (" + std::to_string(count) +
                                 ")");
    std::vector<int64_t> cur;
    for (const auto &r : ranges)
        cur.push_back(r.first);
    for (std::size_t k = 0; k < count; ++k) {
        auto g = std::vector<std::string>(f.begin(), f.begin() + 5);
        g.push_back(f[f.size() == 6 ? 5 : 5 + k]);
        g[0] = pieces[0];
        std::string suffix;
        for (std::size_t i = 0; i < cur.size(); ++i) {
            g[0] += std::to_string(cur[i]) + pieces[i + 1];
            suffix += "." + std::to_string(cur[i]);
        }
        g[1] = f[1] + suffix;
        addObject(parseObject(g, where), overlay);
        // Next combination, the last group fastest.
        for (std::size_t i = cur.size(); i-- > 0;) {
            if (++cur[i] <= ranges[i].second)
                break;
            cur[i] = ranges[i].first;
        }
    }
}

void Catalog::parsePrefix(const std::vector<std::string> &f, const std::string &where)
{
    auto oid = f.size() == 3 ? parseOid(f[2]) : std::nullopt;
    if (!oid)
        throw std::runtime_error(where + ": expected prefix NAME OID");
    auto it = prefixes_.find(f[1]);
    if (it != prefixes_.end() && it->second != *oid)
        throw std::runtime_error(where + ": prefix " + f[1] + " is " + oidText(it->second) + " at " +
                                 prefixWhere_[f[1]]);
    prefixes_[f[1]] = *oid;
    prefixWhere_.emplace(f[1], where);
}

void Catalog::parseSet(const std::vector<std::string> &f, const std::string &where)
{
    if (f.size() != 3)
        throw std::runtime_error(where + ": expected set NAME|OID VALUE");
    const Object *obj = resolve(f[1]);
    if (!obj) {
        // An alias sets the value it shares.
        auto a = aliases_.find(f[1]);
        obj = a == aliases_.end() ? nullptr : findByName(a->second.target);
    }
    if (!obj)
        throw std::runtime_error(where + ": no object " + f[1]);
    Object &o = objects_.at(obj->storage.empty() ? obj->oid : obj->storage);
    auto v = parseValue(o.syntax, f[2]);
    if (!v || checkConstraint(o, *v) != NoError)
        throw std::runtime_error(where + ": bad value " + f[2]);
    o.initial = *v;
}

void Catalog::parseLine(std::string_view line, const std::string &origin, int lineNo, bool overlay)
{
    auto f = splitFields(line);
    if (f.empty())
        return;
    std::string where = origin + ":" + std::to_string(lineNo);
    const std::string &kind = f[0];
    if (kind == "prefix")
        parsePrefix(f, where);
    else if (overlay && kind == "remove")
        parseRemove(f, where);
    else if (overlay && kind == "set")
        parseSet(f, where);
    else if (kind == "alias")
        parseAlias(f, where, overlay);
    else if (kind == "table")
        parseTable(f, where, overlay);
    else if (kind == "row")
        parseRow(f, where, overlay);
    else if (kind == "transfer")
        parseTransfer(f, where, overlay);
    else if (kind == "command") {
        if (f.size() != 2)
            throw std::runtime_error(where + ": expected command NAME");
        commands_.emplace(f[1], where);
    } else if (kind.ends_with(".*"))
        parseColumn(f, where, overlay);
    else
        parseObjectLines(f, where, overlay);
}

const Object *Catalog::find(const Oid &oid) const
{
    auto it = objects_.find(oid);
    return it == objects_.end() ? nullptr : &it->second;
}

const Object *Catalog::findByName(std::string_view name) const
{
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : find(it->second);
}

const Object *Catalog::resolve(std::string_view nameOrOid) const
{
    if (const Object *o = findByName(nameOrOid))
        return o;
    if (auto oid = expandOid(nameOrOid))
        return find(*oid);
    return nullptr;
}

} // namespace devsim

#include "Oid.h"

#include <algorithm>

bool Oid::parse(std::string_view dotted, std::vector<std::uint32_t> &ids)
{
    std::vector<std::uint32_t> out;
    if (!dotted.empty() && dotted.front() == '.')
        dotted.remove_prefix(1);
    if (dotted.empty()) {
        ids.clear();
        return true;
    }
    out.reserve(static_cast<std::size_t>(std::count(dotted.begin(), dotted.end(), '.')) + 1);
    std::uint64_t value = 0;
    bool digits = false;
    for (char c : dotted) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
            if (value > 0xFFFFFFFFu)
                return false;
            digits = true;
        } else if (c == '.') {
            if (!digits)
                return false;
            out.push_back(static_cast<std::uint32_t>(value));
            value = 0;
            digits = false;
        } else {
            return false;
        }
    }
    if (!digits)
        return false;
    out.push_back(static_cast<std::uint32_t>(value));
    ids = std::move(out);
    return true;
}

Oid::Oid(std::string_view dotted)
{
    m_valid = parse(dotted, m_ids);
}

std::string Oid::get_printable() const
{
    return get_printable(0, m_ids.size());
}

namespace {

// Writes the decimal digits of v at out; returns the end.
char *putDecimal(char *out, std::uint32_t v)
{
    if (v < 10) {
        *out = static_cast<char>('0' + v);
        return out + 1;
    }
    if (v < 100) {
        out[0] = static_cast<char>('0' + v / 10);
        out[1] = static_cast<char>('0' + v % 10);
        return out + 2;
    }
    char digits[10];
    int n = 0;
    while (v != 0) {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    }
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

void appendIds(const std::uint32_t *ids, std::size_t count, std::string &text)
{
    // At most ten digits and a dot per sub-identifier; most identifiers fit on the stack.
    constexpr std::size_t Chunk = 128;
    char buffer[Chunk * 11];
    for (std::size_t start = 0; start < count; start += Chunk) {
        const std::size_t end = std::min(count, start + Chunk);
        char *out = buffer;
        for (std::size_t i = start; i < end; ++i) {
            if (i > 0)
                *out++ = '.';
            out = putDecimal(out, ids[i]);
        }
        text.append(buffer, static_cast<std::size_t>(out - buffer));
    }
}

void printIds(const std::uint32_t *ids, std::size_t count, std::string &text)
{
    text.clear();
    appendIds(ids, count, text);
}

} // namespace

std::string Oid::get_printable(std::size_t start, std::size_t count) const
{
    std::string text;
    if (start < m_ids.size())
        printIds(m_ids.data() + start, std::min(count, m_ids.size() - start), text);
    return text;
}

void Oid::get_printable(std::string &out) const
{
    printIds(m_ids.data(), m_ids.size(), out);
}

void Oid::append_printable(std::string &out, std::size_t start) const
{
    if (start < m_ids.size())
        appendIds(m_ids.data() + start, m_ids.size() - start, out);
}

Oid &Oid::operator+=(std::uint32_t id)
{
    m_ids.push_back(id);
    return *this;
}

Oid &Oid::operator+=(const Oid &other)
{
    m_ids.insert(m_ids.end(), other.m_ids.begin(), other.m_ids.end());
    m_valid = m_valid && other.m_valid;
    return *this;
}

Oid &Oid::operator+=(std::string_view dotted)
{
    std::vector<std::uint32_t> more;
    if (!parse(dotted, more))
        m_valid = false;
    else
        m_ids.insert(m_ids.end(), more.begin(), more.end());
    return *this;
}

void Oid::set_data(const std::uint32_t *data, std::size_t count)
{
    m_ids.assign(data, data + count);
    m_valid = true;
}

void Oid::trim(std::size_t n)
{
    m_ids.resize(n >= m_ids.size() ? 0 : m_ids.size() - n);
}

void Oid::clear()
{
    m_ids.clear();
    m_valid = true;
}

int Oid::nCompare(std::size_t n, const Oid &other) const
{
    for (std::size_t i = 0; i < n; ++i) {
        bool haveMine = i < m_ids.size();
        bool haveOther = i < other.m_ids.size();
        if (!haveMine || !haveOther)
            return haveMine == haveOther ? 0 : (haveMine ? 1 : -1);
        if (m_ids[i] != other.m_ids[i])
            return m_ids[i] < other.m_ids[i] ? -1 : 1;
    }
    return 0;
}

bool Oid::startsWith(const Oid &prefix) const
{
    return prefix.len() <= len() && std::equal(prefix.m_ids.begin(), prefix.m_ids.end(), m_ids.begin());
}

int Oid::compare(const Oid &other) const
{
    const std::size_t n = std::min(len(), other.len());
    const std::uint32_t *a = m_ids.data();
    const std::uint32_t *b = other.m_ids.data();
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return len() == other.len() ? 0 : (len() < other.len() ? -1 : 1);
}

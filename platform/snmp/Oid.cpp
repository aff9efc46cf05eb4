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

std::string Oid::get_printable(std::size_t start, std::size_t count) const
{
    std::string text;
    for (std::size_t i = start; i < m_ids.size() && i - start < count; ++i) {
        if (!text.empty())
            text += '.';
        text += std::to_string(m_ids[i]);
    }
    return text;
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
    std::size_t n = std::max(len(), other.len());
    return nCompare(n, other);
}

#include "KvOptionList.h"

#include "KvNumberText.h"

#include <cstdio>

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace

unsigned KvOptionPairCount(const KvOptionPair *table)
{
    unsigned count = 0;
    if (!table)
        return 0;
    while (table[count].Name)
        ++count;
    return count;
}

KvOptionList::KvOptionList(const KvOptionPair *table, uint32_t kind, uint8_t caseFlag)
    : m_kind(kind), m_caseFlag(caseFlag)
{
    Append(table);
}

KvOptionList::~KvOptionList()
{
    Clear();
}

void KvOptionList::Clear()
{
    m_pairs.clear();
}

void KvOptionList::Append(const KvOptionPair *table)
{
    unsigned count = KvOptionPairCount(table);
    m_pairs.reserve(m_pairs.size() + count);
    for (unsigned i = 0; i < count; ++i) {
        KvOptionEntry entry;
        entry.Name = table[i].Name;
        if (m_kind == okText || m_kind == okPrefix) {
            if (table[i].ValueText)
                entry.ValueText = table[i].ValueText;
        } else {
            entry.Value = table[i].Value;
        }
        m_pairs.push_back(std::move(entry));
    }
}

const KvOptionEntry *KvOptionList::GetPair(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return &m_pairs[static_cast<std::size_t>(index)];
}

bool KvOptionList::equal(const AnsiString &a, const AnsiString &b) const
{
    return m_caseFlag == 0 ? sameIgnoringCase(a, b) : a == b;
}

bool KvOptionList::isPrefix(const AnsiString &prefix, const AnsiString &text) const
{
    if (text.size() < prefix.size())
        return false;
    std::string_view head(text.data(), prefix.size());
    return m_caseFlag == 0 ? sameIgnoringCase(prefix, head) : head == prefix;
}

int KvOptionList::IndexOfValue(const AnsiString &value) const
{
    if (m_kind == okNumber) {
        int32_t number = 0;
        // "(NULL)" marks a missing value and is no number either.
        if (value == "(NULL)" || !kv::parseInt32(value, number))
            return -1;
        for (std::size_t i = 0; i < m_pairs.size(); ++i) {
            if (m_pairs[i].Value == number)
                return static_cast<int>(i);
        }
        return -1;
    }
    for (std::size_t i = 0; i < m_pairs.size(); ++i) {
        if ((m_kind == okText && equal(m_pairs[i].ValueText, value)) ||
            (m_kind == okPrefix && isPrefix(m_pairs[i].ValueText, value)))
            return static_cast<int>(i);
    }
    return -1;
}

int KvOptionList::IndexOfName(const AnsiString &name) const
{
    for (std::size_t i = 0; i < m_pairs.size(); ++i) {
        if (m_kind == okPrefix ? isPrefix(m_pairs[i].Name, name) : equal(m_pairs[i].Name, name))
            return static_cast<int>(i);
    }
    return -1;
}

AnsiString KvOptionList::ValueToName(const AnsiString &value) const
{
    int i = IndexOfValue(value);
    if (i < 0)
        return value;
    const KvOptionEntry &pair = m_pairs[static_cast<std::size_t>(i)];
    switch (m_kind) {
    case okNumber:
    case okText:
        return pair.Name;
    case okPrefix:
        return pair.Name + value.substr(pair.ValueText.size());
    default:
        return value;
    }
}

AnsiString KvOptionList::NameToValue(const AnsiString &name) const
{
    int i = IndexOfName(name);
    if (i < 0)
        return name;
    const KvOptionEntry &pair = m_pairs[static_cast<std::size_t>(i)];
    switch (m_kind) {
    case okNumber:
        return std::to_string(pair.Value);
    case okText:
        return pair.ValueText;
    case okPrefix:
        return pair.ValueText + name.substr(pair.Name.size());
    default:
        return name;
    }
}

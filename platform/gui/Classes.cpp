#include "Classes.h"

#include <algorithm>

TComponent::TComponent(TComponent *AOwner) : m_owner(AOwner)
{
    if (m_owner)
        m_owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    BeginDestroy();
    DestroyComponents();
    if (m_owner)
        m_owner->RemoveComponent(this);
}

void TComponent::DestroyComponents()
{
    // Last created first; each one leaves the list in its own destructor.
    while (!m_components.empty()) {
        TComponent *c = m_components.back();
        m_components.pop_back();
        c->m_owner = nullptr;
        delete c;
    }
}

TComponent *TComponent::Components(int i) const
{
    return (i >= 0 && i < ComponentCount()) ? m_components[static_cast<std::size_t>(i)] : nullptr;
}

void TComponent::BeginDestroy()
{
    if (m_destroying)
        return;
    m_destroying = true;
    for (TComponent *c : m_components)
        c->BeginDestroy();
}

void TComponent::InsertComponent(TComponent *c)
{
    m_components.push_back(c);
}

void TComponent::RemoveComponent(TComponent *c)
{
    auto it = std::find(m_components.begin(), m_components.end(), c);
    if (it != m_components.end())
        m_components.erase(it);
}

// ---- TStrings ----

std::string TStrings::Strings(int i) const
{
    return (i >= 0 && i < Count()) ? m_items[static_cast<std::size_t>(i)].text : std::string();
}

void TStrings::SetString(int i, const std::string &s)
{
    if (i < 0 || i >= Count())
        return;
    m_items[static_cast<std::size_t>(i)].text = s;
    Changed();
}

TObject *TStrings::Objects(int i) const
{
    return (i >= 0 && i < Count()) ? m_items[static_cast<std::size_t>(i)].object : nullptr;
}

void TStrings::SetObject(int i, TObject *o)
{
    if (i >= 0 && i < Count())
        m_items[static_cast<std::size_t>(i)].object = o;
}

int TStrings::Add(const std::string &s)
{
    return AddObject(s, nullptr);
}

int TStrings::AddObject(const std::string &s, TObject *o)
{
    m_items.push_back({s, o});
    Changed();
    return Count() - 1;
}

void TStrings::Insert(int i, const std::string &s)
{
    if (i < 0 || i > Count())
        return;
    m_items.insert(m_items.begin() + i, Entry{s, nullptr});
    Changed();
}

void TStrings::Delete(int i)
{
    if (i < 0 || i >= Count())
        return;
    m_items.erase(m_items.begin() + i);
    Changed();
}

void TStrings::Clear()
{
    if (m_items.empty())
        return;
    m_items.clear();
    Changed();
}

int TStrings::IndexOf(const std::string &s) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<std::size_t>(i)].text == s)
            return i;
    return -1;
}

void TStrings::Assign(const TStrings &other)
{
    if (&other == this)
        return;
    m_items = other.m_items;
    Changed();
}

void TStrings::AddStrings(const TStrings &other)
{
    auto copy = other.m_items;
    m_items.insert(m_items.end(), copy.begin(), copy.end());
    Changed();
}

std::string TStrings::Text() const
{
    std::string out;
    for (const auto &e : m_items) {
        out += e.text;
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string &text)
{
    std::vector<Entry> items;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            items.push_back({text.substr(start), nullptr});
            break;
        }
        items.push_back({text.substr(start, end - start), nullptr});
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    m_items = std::move(items);
    Changed();
}

std::string TStrings::CommaText() const
{
    std::string out;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (i)
            out += ',';
        const std::string &t = m_items[i].text;
        if (t.find_first_of(" ,\"") != std::string::npos || t.empty()) {
            out += '"';
            for (char c : t) {
                if (c == '"')
                    out += '"';
                out += c;
            }
            out += '"';
        } else {
            out += t;
        }
    }
    return out;
}

void TStrings::SetCommaText(const std::string &text)
{
    std::vector<Entry> items;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        while (i < n && text[i] == ' ')
            ++i;
        if (i >= n)
            break;
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
            while (i < n && text[i] != ',')
                ++i;
        } else {
            while (i < n && text[i] != ',' && text[i] != ' ')
                item += text[i++];
            while (i < n && text[i] == ' ')
                ++i;
        }
        items.push_back({item, nullptr});
        if (i < n && text[i] == ',')
            ++i;
    }
    m_items = std::move(items);
    Changed();
}

void TStrings::BeginUpdate()
{
    ++m_updating;
}

void TStrings::EndUpdate()
{
    if (m_updating > 0 && --m_updating == 0 && m_pending) {
        m_pending = false;
        if (onChanged)
            onChanged();
    }
}

void TStrings::Changed()
{
    if (m_updating > 0) {
        m_pending = true;
        return;
    }
    if (onChanged)
        onChanged();
}

#include "KvIni.h"

#include <fstream>
#include <string_view>

namespace {

constexpr std::size_t ValueBufferSize = 4096;

bool isSpaceOrControl(unsigned char c)
{
    return c <= ' ' || c == 0x7f;
}

std::string_view trimBlanks(std::string_view s)
{
    // The profile reader drops spaces and tabs around keys, values and section names.
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

AnsiString trimSpaceAndControl(std::string_view s)
{
    while (!s.empty() && isSpaceOrControl(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && isSpaceOrControl(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return AnsiString(s);
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

AnsiString clip(std::string_view value)
{
    return AnsiString(value.substr(0, ValueBufferSize - 1));
}

} // namespace

AnsiString KvProfileString(const AnsiString &fileName, const AnsiString &section, const AnsiString &key,
                           const AnsiString &def)
{
    // A default's trailing blanks are cut like the Windows call does.
    AnsiString fallback = clip(def);
    while (!fallback.empty() && (fallback.back() == ' ' || fallback.back() == '\t'))
        fallback.pop_back();

    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return fallback;
    std::string line;
    bool inSection = false;
    bool sectionSeen = false;
    bool first = true;
    std::string_view wantedSection = trimBlanks(section);
    std::string_view wantedKey = trimBlanks(key);
    while (std::getline(in, line)) {
        std::string_view text(line);
        if (first) {
            first = false;
            if (text.substr(0, 3) == "\xEF\xBB\xBF")
                text.remove_prefix(3);
        }
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        text = trimBlanks(text);
        if (text.empty())
            continue;
        if (text.front() == '[') {
            // Only the first section of that name is read.
            if (inSection)
                break;
            auto close = text.find(']');
            std::string_view name = text.substr(1, close == std::string_view::npos ? text.npos : close - 1);
            inSection = !sectionSeen && sameIgnoringCase(trimBlanks(name), wantedSection);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        auto eq = text.find('=');
        std::string_view name = trimBlanks(text.substr(0, eq));
        if (!sameIgnoringCase(name, wantedKey))
            continue;
        if (eq == std::string_view::npos)
            return {};
        std::string_view value = trimBlanks(text.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return clip(value);
    }
    return fallback;
}

AnsiString KvIni::ReadString(const AnsiString &section, const AnsiString &key, const AnsiString &def) const
{
    AnsiString copied = KvProfileString(m_fileName, section, key, def);
    if (copied.empty())
        return def;
    return trimSpaceAndControl(copied);
}

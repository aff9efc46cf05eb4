#include "OctetStr.h"

#include <algorithm>

namespace {

std::uint8_t hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<std::uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<std::uint8_t>(c - 'a' + 10);
    return 0;
}

} // namespace

std::string OctetStr::get_printable() const
{
    const auto end = std::find(m_data.begin(), m_data.end(), std::uint8_t{0});
    return std::string(m_data.begin(), end);
}

std::string OctetStr::get_printable_hex() const
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(m_data.size() * 2);
    for (std::uint8_t b : m_data) {
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

OctetStr OctetStr::from_hex_string(std::string_view text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    if (digits.size() % 2 == 1) {
        out.push_back(hexDigit(digits[0]));
        i = 1;
    }
    for (; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(hexDigit(digits[i]) << 4 | hexDigit(digits[i + 1])));
    return OctetStr(std::move(out));
}

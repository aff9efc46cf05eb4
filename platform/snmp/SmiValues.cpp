#include "SmiValues.h"

#include <cstdio>

std::string TimeTicks::get_printable() const
{
    std::uint32_t t = m_value;
    std::uint32_t days = t / 8640000u;
    t %= 8640000u;
    std::uint32_t hours = t / 360000u;
    t %= 360000u;
    std::uint32_t minutes = t / 6000u;
    t %= 6000u;
    std::uint32_t seconds = t / 100u;
    std::uint32_t hundredths = t % 100u;
    char buf[96];
    if (days == 0)
        std::snprintf(buf, sizeof buf, "%u:%02u:%02u.%02u", hours, minutes, seconds, hundredths);
    else if (days == 1)
        std::snprintf(buf, sizeof buf, "1 day %u:%02u:%02u.%02u", hours, minutes, seconds, hundredths);
    else
        std::snprintf(buf, sizeof buf, "%u days, %u:%02u:%02u.%02u", days, hours, minutes, seconds,
                      hundredths);
    return buf;
}

bool IpAddress::parseDottedQuad(std::string_view text, std::array<std::uint8_t, 4> &octets)
{
    std::array<std::uint8_t, 4> out{};
    std::size_t part = 0;
    unsigned value = 0;
    int digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > 3)
                return false;
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value > 255)
                return false;
        } else if (c == '.') {
            if (digits == 0 || part == 3)
                return false;
            out[part++] = static_cast<std::uint8_t>(value);
            value = 0;
            digits = 0;
        } else {
            return false;
        }
    }
    if (digits == 0 || part != 3)
        return false;
    out[3] = static_cast<std::uint8_t>(value);
    octets = out;
    return true;
}

IpAddress::IpAddress(std::string_view text)
{
    m_valid = parseDottedQuad(text, m_octets);
    if (!m_valid)
        m_octets = {};
}

std::string IpAddress::get_printable() const
{
    return std::to_string(m_octets[0]) + "." + std::to_string(m_octets[1]) + "." +
           std::to_string(m_octets[2]) + "." + std::to_string(m_octets[3]);
}

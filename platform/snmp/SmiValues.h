#pragma once
// The SNMP application value types: 32-bit unsigned kinds, Counter64, TimeTicks, IpAddress.
#include "SnmpSyntax.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class Counter32 {
public:
    Counter32(std::uint32_t v = 0) : m_value(v) {}
    operator std::uint32_t() const { return m_value; }
    static constexpr SmiUINT32 syntax = sNMP_SYNTAX_CNTR32;

private:
    std::uint32_t m_value;
};

class Gauge32 {
public:
    Gauge32(std::uint32_t v = 0) : m_value(v) {}
    operator std::uint32_t() const { return m_value; }
    static constexpr SmiUINT32 syntax = sNMP_SYNTAX_GAUGE32;

private:
    std::uint32_t m_value;
};

class Counter64 {
public:
    Counter64() = default;
    Counter64(std::uint64_t v) : m_value(v) {}
    Counter64(std::uint32_t high, std::uint32_t low) : m_value(static_cast<std::uint64_t>(high) << 32 | low)
    {
    }
    std::uint32_t high() const { return static_cast<std::uint32_t>(m_value >> 32); }
    std::uint32_t low() const { return static_cast<std::uint32_t>(m_value); }
    std::uint64_t value() const { return m_value; }
    void set_high(std::uint32_t h) { m_value = static_cast<std::uint64_t>(h) << 32 | low(); }
    void set_low(std::uint32_t l) { m_value = (m_value & 0xFFFFFFFF00000000ull) | l; }
    operator std::uint64_t() const { return m_value; }
    std::string get_printable() const { return std::to_string(m_value); }

private:
    std::uint64_t m_value = 0;
};

// Hundredths of a second.
class TimeTicks {
public:
    TimeTicks(std::uint32_t v = 0) : m_value(v) {}
    operator std::uint32_t() const { return m_value; }
    // "H:MM:SS.hh", "1 day H:MM:SS.hh" or "N days, H:MM:SS.hh".
    std::string get_printable() const;

private:
    std::uint32_t m_value;
};

class IpAddress {
public:
    // 0.0.0.0, not valid until set.
    IpAddress() = default;
    // A strict dotted quad: four decimal numbers 0 to 255 separated by single dots, nothing
    // else (no names, no blanks, no shortened forms). Any other text gives an invalid address.
    explicit IpAddress(std::string_view text);
    explicit IpAddress(const std::array<std::uint8_t, 4> &octets) : m_octets(octets), m_valid(true) {}

    bool valid() const { return m_valid; }
    std::uint8_t operator[](std::size_t i) const { return m_octets[i]; }
    const std::array<std::uint8_t, 4> &octets() const { return m_octets; }
    std::string get_printable() const;

    friend bool operator==(const IpAddress &a, const IpAddress &b)
    {
        return a.m_valid == b.m_valid && a.m_octets == b.m_octets;
    }

    // Reads a strict dotted quad; false when the text is anything else.
    static bool parseDottedQuad(std::string_view text, std::array<std::uint8_t, 4> &octets);

private:
    std::array<std::uint8_t, 4> m_octets{};
    bool m_valid = false;
};

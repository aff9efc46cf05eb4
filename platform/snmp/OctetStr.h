#pragma once
// An SNMP OCTET STRING: any bytes, zero bytes included.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class OctetStr {
public:
    OctetStr() = default;
    explicit OctetStr(std::string_view bytes) : m_data(bytes.begin(), bytes.end()) {}
    explicit OctetStr(const char *text) : OctetStr(std::string_view(text ? text : "")) {}
    OctetStr(const unsigned char *data, std::size_t count) : m_data(data, data + count) {}
    explicit OctetStr(std::vector<std::uint8_t> bytes) : m_data(std::move(bytes)) {}

    std::size_t len() const { return m_data.size(); }
    bool empty() const { return m_data.empty(); }
    bool valid() const { return true; }
    const std::uint8_t *data() const { return m_data.data(); }
    std::uint8_t &operator[](std::size_t i) { return m_data[i]; }
    std::uint8_t operator[](std::size_t i) const { return m_data[i]; }
    const std::vector<std::uint8_t> &bytes() const { return m_data; }
    void set_data(const unsigned char *data, std::size_t count) { m_data.assign(data, data + count); }
    void clear() { m_data.clear(); }
    OctetStr &operator+=(std::uint8_t byte)
    {
        m_data.push_back(byte);
        return *this;
    }

    // The bytes as they are (may hold zero bytes).
    std::string to_string() const { return std::string(m_data.begin(), m_data.end()); }
    // The bytes as text, cut at the first zero byte.
    std::string get_printable() const;
    // Two upper-case hexadecimal digits per byte, no separator.
    std::string get_printable_hex() const;

    // Hexadecimal reading: spaces dropped; an odd count makes the first digit a byte of its
    // own; 0-9, A-F, a-f are digits and any other character counts as 0.
    static OctetStr from_hex_string(std::string_view text);

    friend bool operator==(const OctetStr &a, const OctetStr &b) { return a.m_data == b.m_data; }
    friend bool operator!=(const OctetStr &a, const OctetStr &b) { return !(a == b); }

private:
    std::vector<std::uint8_t> m_data;
};

#pragma once
// Object identifier: a sequence of unsigned 32-bit sub-identifiers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Oid {
public:
    Oid() = default;
    // Dotted decimal text ("1.3.6.1", a leading dot is allowed). Anything else (an empty
    // part, a non-digit, a number above 4294967295) gives an invalid, empty Oid.
    explicit Oid(std::string_view dotted);
    explicit Oid(const char *dotted) : Oid(std::string_view(dotted ? dotted : "")) {}
    Oid(const std::uint32_t *data, std::size_t count) : m_ids(data, data + count) {}
    explicit Oid(std::vector<std::uint32_t> ids) : m_ids(std::move(ids)) {}

    bool valid() const { return m_valid; }
    std::size_t len() const { return m_ids.size(); }
    bool empty() const { return m_ids.empty(); }
    std::uint32_t &operator[](std::size_t i) { return m_ids[i]; }
    std::uint32_t operator[](std::size_t i) const { return m_ids[i]; }
    const std::vector<std::uint32_t> &ids() const { return m_ids; }
    const std::uint32_t *data() const { return m_ids.data(); }

    // Dotted text without a leading dot; the empty text for an empty Oid.
    std::string get_printable() const;
    // The sub-identifiers from position start (0-based), count of them, as dotted text.
    std::string get_printable(std::size_t start, std::size_t count) const;
    // The dotted text into out, which keeps its storage.
    void get_printable(std::string &out) const;
    // Appends the sub-identifiers from position start as dotted text (no leading dot).
    void append_printable(std::string &out, std::size_t start) const;

    Oid &operator+=(std::uint32_t id);
    Oid &operator+=(const Oid &other);
    // Appends the sub-identifiers of a dotted text; an invalid text makes this Oid invalid.
    Oid &operator+=(std::string_view dotted);
    void set_data(const std::uint32_t *data, std::size_t count);
    // Removes n sub-identifiers from the end (all when n >= len()).
    void trim(std::size_t n = 1);
    void clear();

    // Compares the first n sub-identifiers of both (a shorter Oid runs out first):
    // 0 when equal, negative when this sorts first, positive otherwise.
    int nCompare(std::size_t n, const Oid &other) const;
    // True when this Oid begins with every sub-identifier of prefix.
    bool startsWith(const Oid &prefix) const;
    // Lexicographic order by sub-identifier.
    int compare(const Oid &other) const;

    friend bool operator==(const Oid &a, const Oid &b) { return a.m_ids == b.m_ids; }
    friend bool operator!=(const Oid &a, const Oid &b) { return !(a == b); }
    friend bool operator<(const Oid &a, const Oid &b) { return a.compare(b) < 0; }
    friend bool operator>(const Oid &a, const Oid &b) { return a.compare(b) > 0; }
    friend bool operator<=(const Oid &a, const Oid &b) { return a.compare(b) <= 0; }
    friend bool operator>=(const Oid &a, const Oid &b) { return a.compare(b) >= 0; }

    // Parses dotted text into ids; false (ids untouched) when the text is not a valid OID.
    static bool parse(std::string_view dotted, std::vector<std::uint32_t> &ids);

private:
    std::vector<std::uint32_t> m_ids;
    bool m_valid = true;
};

#pragma once
// Texts are std::string (8-bit). These helpers give 1-based character access and substring
// without undefined behaviour: a position outside the text yields '\0' or an empty piece.
#include <cstddef>
#include <string>
#include <string_view>

using AnsiString = std::string;

namespace kv {

// Character n (1-based) of s, or '\0' when s is shorter.
inline char charAt(std::string_view s, std::ptrdiff_t n)
{
    return (n >= 1 && static_cast<std::size_t>(n) <= s.size()) ? s[static_cast<std::size_t>(n - 1)] : '\0';
}

// count characters from position start (1-based), clipped to the text.
inline std::string subString(std::string_view s, std::ptrdiff_t start, std::ptrdiff_t count)
{
    if (count <= 0)
        return {};
    if (start < 1) {
        count += start - 1;
        start = 1;
        if (count <= 0)
            return {};
    }
    auto from = static_cast<std::size_t>(start - 1);
    if (from >= s.size())
        return {};
    return std::string(s.substr(from, static_cast<std::size_t>(count)));
}

// 1-based position of the first occurrence of what in s, 0 when absent (AnsiString::Pos).
inline std::ptrdiff_t pos(std::string_view what, std::string_view s)
{
    auto at = s.find(what);
    return at == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(at) + 1;
}

} // namespace kv

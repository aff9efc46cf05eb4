#include "KvNumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kv {

bool parseInt32(std::string_view text, int32_t &value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return false;
    }
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

namespace {

// Reads the characters of a plain decimal (already checked) with from_chars.
double decimalValue(std::string_view digits, bool negative)
{
    double magnitude = 0;
    if (!digits.empty()) {
        auto result = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude,
                                      std::chars_format::fixed);
        if (result.ec == std::errc::result_out_of_range)
            magnitude = std::numeric_limits<double>::infinity();
    }
    return negative ? -magnitude : magnitude;
}

} // namespace

std::size_t leadingDecimal(std::string_view text, double &value, bool &digits)
{
    std::size_t i = 0;
    bool negative = false;
    digits = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        value = 0;
        return 0;
    }
    value = decimalValue(text.substr(start, i - start), negative);
    return i;
}

bool parseDecimal(std::string_view text, double &value)
{
    if (text.empty() || text[0] == '+')
        return false;
    bool digits = false;
    std::size_t used = leadingDecimal(text, value, digits);
    return digits && used == text.size();
}

std::string floatText(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    // "1.79769313486232e+308" -> "1.79769313486232E308"
    auto e = text.find('e');
    if (e == std::string::npos)
        return text;
    std::string_view exponent(text);
    exponent.remove_prefix(e + 1);
    bool negativeExponent = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-'))
        exponent.remove_prefix(1);
    while (exponent.size() > 1 && exponent[0] == '0')
        exponent.remove_prefix(1);
    std::string shown(text, 0, e);
    shown.push_back('E');
    if (negativeExponent)
        shown.push_back('-');
    shown.append(exponent.data(), exponent.size());
    return shown;
}

} // namespace kv

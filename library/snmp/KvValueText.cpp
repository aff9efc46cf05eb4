#include "KvValueText.h"

#include "Clock.h"
#include "KvNumberText.h"
#include "SmiValues.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace kvsnmp {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::size_t numberLength(std::string_view text, std::size_t start)
{
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i - start;
}

namespace {

double parseNumber(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        number.remove_prefix(1);
    }
    double value = 0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero, as a C reading would.
        std::size_t e = number.find_first_of("eE");
        bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

std::size_t skipBlanks(std::string_view text, std::size_t i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int64_t &y, unsigned &m, unsigned &d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2 ? 1 : 0;
}

// 1899-12-30 relative to 1970-01-01.
constexpr int64_t kEpochOffset = -25569;

} // namespace

uint32_t readDecimal32(std::string_view text)
{
    std::size_t i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    return negative ? 0u - value : value;
}

uint64_t readDecimal64(std::string_view text)
{
    std::size_t start = skipBlanks(text, 0);
    std::size_t len = numberLength(text, start);
    if (len == 0)
        return 0;
    std::string_view number = text.substr(start, len);
    bool negative = false;
    if (number[0] == '+' || number[0] == '-') {
        negative = number[0] == '-';
        number.remove_prefix(1);
    }
    // Digits of the mantissa and where its decimal point stands, then the exponent moves it.
    std::string digits;
    int64_t point = -1;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        if (number[i] == '.')
            point = static_cast<int64_t>(digits.size());
        else
            digits += number[i];
    }
    if (point < 0)
        point = static_cast<int64_t>(digits.size());
    if (i < number.size()) {
        std::string_view exponent = number.substr(i + 1);
        bool expNegative = false;
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
            expNegative = exponent[0] == '-';
            exponent.remove_prefix(1);
        }
        int64_t e = 0;
        for (char c : exponent) {
            e = e * 10 + (c - '0');
            if (e > 100000)
                break;
        }
        point += expNegative ? -e : e;
    }
    unsigned __int128 value = 0;
    const unsigned __int128 limit = static_cast<unsigned __int128>(UINT64_MAX);
    bool saturated = false;
    for (int64_t k = 0; k < point; ++k) {
        unsigned digit = k < static_cast<int64_t>(digits.size())
                             ? static_cast<unsigned>(digits[static_cast<std::size_t>(k)] - '0')
                             : 0u;
        value = value * 10 + digit;
        if (value > limit) {
            saturated = true;
            break;
        }
    }
    uint64_t whole = saturated ? UINT64_MAX : static_cast<uint64_t>(value);
    return negative ? 0 - whole : whole;
}

double readDouble(std::string_view text)
{
    std::size_t start = skipBlanks(text, 0);
    std::size_t len = numberLength(text, start);
    return len == 0 ? 0.0 : parseNumber(text.substr(start, len));
}

bool isNumberText(std::string_view text, double *value)
{
    std::size_t start = skipBlanks(text, 0);
    std::size_t len = numberLength(text, start);
    if (len == 0 || skipBlanks(text, start + len) != text.size())
        return false;
    if (value)
        *value = parseNumber(text.substr(start, len));
    return true;
}

AnsiString floatToStr(double value)
{
    return kv::floatText(value);
}

AnsiString formatTimeTicks(uint32_t t)
{
    return TimeTicks(t).get_printable();
}

uint32_t readTimeTicks(std::string_view text)
{
    uint32_t days = 0;
    std::string_view rest = text;
    std::size_t word = text.find("days");
    std::size_t wordLen = 4;
    if (word == std::string_view::npos) {
        word = text.find("day");
        wordLen = 3;
    }
    if (word != std::string_view::npos) {
        days = readDecimal32(text.substr(0, word));
        rest = text.substr(word + wordLen);
        std::size_t comma = rest.find(',');
        if (comma != std::string_view::npos)
            rest = rest.substr(comma + 1);
    }
    uint32_t hours = 0, minutes = 0, seconds = 0, hundredths = 0;
    std::size_t c1 = rest.find(':');
    if (c1 != std::string_view::npos) {
        hours = readDecimal32(rest.substr(0, c1));
        rest = rest.substr(c1 + 1);
        std::size_t c2 = rest.find(':');
        if (c2 != std::string_view::npos) {
            minutes = readDecimal32(rest.substr(0, c2));
            rest = rest.substr(c2 + 1);
            std::size_t dot = rest.find('.');
            if (dot != std::string_view::npos) {
                seconds = readDecimal32(rest.substr(0, dot));
                hundredths = readDecimal32(rest.substr(dot + 1));
            }
        } else {
            std::size_t dot = rest.find('.');
            if (dot != std::string_view::npos) {
                minutes = readDecimal32(rest.substr(0, dot));
                seconds = readDecimal32(rest.substr(dot + 1));
            } else {
                minutes = readDecimal32(rest);
            }
        }
    } else {
        std::size_t dot = rest.find('.');
        if (dot != std::string_view::npos) {
            seconds = readDecimal32(rest.substr(0, dot));
            hundredths = readDecimal32(rest.substr(dot + 1));
        } else if (word == std::string_view::npos) {
            hundredths = readDecimal32(rest);
        }
    }
    return days * 8640000u + hours * 360000u + minutes * 6000u + seconds * 100u + hundredths;
}

AnsiString formatDateTime(double dateTime)
{
    if (!std::isfinite(dateTime) || std::fabs(dateTime) > 3.0e6)
        dateTime = 0;
    double whole = std::trunc(dateTime);
    double fraction = std::fabs(dateTime - whole);
    int64_t ms = std::llround(fraction * 86400000.0);
    int64_t day = static_cast<int64_t>(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        day += dateTime < 0 ? -1 : 1;
    }
    int64_t y = 0;
    unsigned m = 0, d = 0;
    civilFromDays(day + kEpochOffset, y, m, d);
    int64_t secondsOfDay = ms / 1000;
    int hour = static_cast<int>(secondsOfDay / 3600);
    int minute = static_cast<int>(secondsOfDay / 60 % 60);
    int second = static_cast<int>(secondsOfDay % 60);
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld/%02u/%02u %02d:%02d:%02d %s", static_cast<long long>(y), m, d,
                  hour12, minute, second, hour < 12 ? "am" : "pm");
    return buf;
}

bool readDateTime(std::string_view text, double &dateTime)
{
    std::size_t i = skipBlanks(text, 0);
    auto number = [&](int64_t &out, int maxDigits) {
        std::size_t begin = i;
        out = 0;
        while (i < text.size() && isDigit(text[i]) && static_cast<int>(i - begin) < maxDigits)
            out = out * 10 + (text[i++] - '0');
        return i > begin;
    };
    int64_t y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!number(y, 4) || i >= text.size() || (text[i] != '/' && text[i] != '-'))
        return false;
    char sep = text[i++];
    if (!number(mo, 2) || i >= text.size() || text[i] != sep)
        return false;
    ++i;
    if (!number(d, 2))
        return false;
    // A day the month does not have is refused, never carried into the next month.
    static const int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (mo < 1 || mo > 12 || d < 1 || d > kMonthDays[mo - 1] || (mo == 2 && d == 29 && !leap))
        return false;
    i = skipBlanks(text, i);
    if (i < text.size()) {
        if (!number(h, 2) || i >= text.size() || text[i] != ':')
            return false;
        ++i;
        if (!number(mi, 2))
            return false;
        if (i < text.size() && text[i] == ':') {
            ++i;
            if (!number(s, 2))
                return false;
        }
        i = skipBlanks(text, i);
        if (i < text.size()) {
            std::string_view rest = text.substr(i);
            auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
            if (rest.size() < 2 || lower(rest[1]) != 'm' || (lower(rest[0]) != 'a' && lower(rest[0]) != 'p'))
                return false;
            if (h < 1 || h > 12)
                return false;
            bool pm = lower(rest[0]) == 'p';
            h = h % 12 + (pm ? 12 : 0);
            i = skipBlanks(text, i + 2);
            if (i != text.size())
                return false;
        }
        if (h > 23 || mi > 59 || s > 59)
            return false;
    }
    int64_t days = daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - kEpochOffset;
    double time = static_cast<double>(h * 3600 + mi * 60 + s) / 86400.0;
    // Before 1899-12-30 the fraction counts away from zero, as the day number does.
    dateTime = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
    return true;
}

double nowDateTime()
{
    std::time_t t = kv::Clock::instance().wallTime();
    std::tm local{};
    localtime_r(&t, &local);
    int64_t days = daysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                 static_cast<unsigned>(local.tm_mday)) -
                   kEpochOffset;
    return static_cast<double>(days) +
           static_cast<double>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

} // namespace kvsnmp

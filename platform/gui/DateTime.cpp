#include "DateTime.h"

#include "Clock.h"
#include "Exception.h"

#include <cmath>
#include <cstdio>

namespace {

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int &y, int &m, int &d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// 1899-12-30 is day 0 of the date-time scale.
constexpr std::int64_t kEpochOffset = 25569; // days from 1899-12-30 to 1970-01-01

bool leap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

// Milliseconds of the day, rounded to the nearest millisecond.
std::int64_t msOfDay(TDateTime dt, std::int64_t &day)
{
    // A value from the wire may be anything: outside years 1..9999 (or not finite) it is
    // read as the scale's day 0 rather than cast into garbage.
    const double val = std::isfinite(dt.Val) && std::fabs(dt.Val) < 3.0e6 ? dt.Val : 0.0;
    const double whole = std::floor(val);
    std::int64_t ms = std::llround((val - whole) * 86400000.0);
    day = static_cast<std::int64_t>(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        ++day;
    }
    return ms;
}

} // namespace

TDateTime EncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        throw Exception("Invalid argument to date encode");
    return TDateTime(static_cast<double>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset));
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        throw Exception("Invalid argument to time encode");
    return TDateTime((hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / 86400000.0);
}

void DecodeDate(TDateTime dt, int &year, int &month, int &day)
{
    std::int64_t days = 0;
    msOfDay(dt, days);
    civilFromDays(days - kEpochOffset, year, month, day);
}

void DecodeTime(TDateTime dt, int &hour, int &min, int &sec, int &msec)
{
    std::int64_t days = 0;
    std::int64_t ms = msOfDay(dt, days);
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime dt)
{
    std::int64_t days = 0;
    msOfDay(dt, days);
    // 1899-12-30 was a Saturday (7).
    return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

TDateTime UnixToDateTime(std::time_t t)
{
    return TDateTime(static_cast<double>(t) / 86400.0 + static_cast<double>(kEpochOffset));
}

TDateTime Now()
{
    std::time_t t = kv::Clock::instance().wallTime();
    std::tm local{};
    localtime_r(&t, &local);
    return TDateTime(EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).Val +
                     EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0).Val);
}

TDateTime Date()
{
    return TDateTime(std::floor(Now().Val));
}

namespace {

std::string twoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

bool startsWithNoCase(const std::string &s, std::size_t at, const char *what)
{
    for (std::size_t i = 0; what[i]; ++i) {
        if (at + i >= s.size())
            return false;
        char a = s[at + i];
        char b = what[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

std::string FormatDateTime(const std::string &format, TDateTime dt)
{
    int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

    // A 12-hour clock applies when the format holds an AM/PM designator anywhere.
    const bool twelve = [&] {
        for (std::size_t i = 0; i < format.size(); ++i)
            if (startsWithNoCase(format, i, "am/pm") || startsWithNoCase(format, i, "a/p") ||
                startsWithNoCase(format, i, "ampm"))
                return true;
        return false;
    }();
    int hour12 = hour % 12;
    if (hour12 == 0)
        hour12 = 12;
    const int shownHour = twelve ? hour12 : hour;

    std::string out;
    bool lastWasHour = false;
    std::size_t i = 0;
    const std::size_t n = format.size();
    auto run = [&](char c) {
        std::size_t k = 0;
        while (i + k < n && (format[i + k] == c || format[i + k] == c - 'a' + 'A'))
            ++k;
        return k;
    };
    while (i < n) {
        const char c = format[i];
        const char lc = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (c == '"' || c == '\'') {
            std::size_t end = format.find(c, i + 1);
            if (end == std::string::npos)
                end = n;
            out += format.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (startsWithNoCase(format, i, "am/pm")) {
            const bool upper = format[i] == 'A';
            out += hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
            i += 5;
            continue;
        }
        if (startsWithNoCase(format, i, "ampm")) {
            out += hour < 12 ? "AM" : "PM";
            i += 4;
            continue;
        }
        if (startsWithNoCase(format, i, "a/p")) {
            const bool upper = format[i] == 'A';
            out += hour < 12 ? (upper ? "A" : "a") : (upper ? "P" : "p");
            i += 3;
            continue;
        }
        std::size_t k = 0;
        switch (lc) {
        case 'y':
            k = run('y');
            out += k <= 2 ? twoDigits(year % 100) : std::to_string(year);
            lastWasHour = false;
            break;
        case 'm':
            k = run('m');
            if (lastWasHour && k <= 2) {
                out += k == 1 ? std::to_string(min) : twoDigits(min);
            } else if (k == 1) {
                out += std::to_string(month);
            } else if (k == 2) {
                out += twoDigits(month);
            } else {
                out += months[month - 1];
            }
            lastWasHour = false;
            break;
        case 'd':
            k = run('d');
            out += k == 1 ? std::to_string(day) : twoDigits(day);
            lastWasHour = false;
            break;
        case 'h':
            k = run('h');
            out += k == 1 ? std::to_string(shownHour) : twoDigits(shownHour);
            lastWasHour = true;
            break;
        case 'n':
            k = run('n');
            out += k == 1 ? std::to_string(min) : twoDigits(min);
            lastWasHour = false;
            break;
        case 's':
            k = run('s');
            out += k == 1 ? std::to_string(sec) : twoDigits(sec);
            lastWasHour = false;
            break;
        case 'z': {
            k = run('z');
            char buf[8];
            std::snprintf(buf, sizeof buf, k >= 3 ? "%03d" : "%d", msec);
            out += buf;
            lastWasHour = false;
            break;
        }
        default:
            out += c;
            k = 1;
            break;
        }
        i += k;
    }
    return out;
}

std::string DateTimeToStr(TDateTime dt)
{
    return FormatDateTime("yyyy/mm/dd hh:nn:ss am/pm", dt);
}

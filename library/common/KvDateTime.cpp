#include "KvDateTime.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

namespace {

// Reads a decimal like scanf's %d: blanks, an optional sign, digits. Large numbers wrap
// instead of being undefined.
bool scanNumber(std::string_view text, std::size_t &at, int64_t &value)
{
    std::size_t i = at;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::size_t digitsStart = i;
    uint64_t number = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        number = number * 10 + static_cast<uint64_t>(text[i] - '0');
        ++i;
    }
    if (i == digitsStart)
        return false;
    // Negated in unsigned arithmetic: "-9223372036854775808" and beyond must not overflow.
    value = static_cast<int64_t>(negative ? 0 - number : number);
    at = i;
    return true;
}

bool scanLiteral(std::string_view text, std::size_t &at, char c)
{
    if (at < text.size() && text[at] == c) {
        ++at;
        return true;
    }
    return false;
}

} // namespace

void KvDateTime::SetNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    Year = static_cast<uint16_t>(local.tm_year + 1900);
    Month = static_cast<uint8_t>(local.tm_mon + 1);
    Day = static_cast<uint8_t>(local.tm_mday);
    Hour = static_cast<uint8_t>(local.tm_hour);
    Minutes = static_cast<uint8_t>(local.tm_min);
    Seconds = static_cast<uint8_t>(local.tm_sec);
    DeciSeconds = 0;
    Direction = '+';
    UtcHours = 0;
    UtcMinutes = 0;
}

void KvDateTime::Parse(const AnsiString &text)
{
    int64_t fields[9] = {};
    static constexpr char separators[7] = {'-', '-', ',', ':', ':', '.', ','};
    std::size_t at = 0;
    int read = 0;
    for (; read < 7; ++read) {
        if (read > 0 && !scanLiteral(text, at, separators[read - 1]))
            break;
        if (!scanNumber(text, at, fields[read]))
            break;
    }
    char direction = '+';
    if (read == 7 && scanLiteral(text, at, ',') && at < text.size() && (text[at] == '+' || text[at] == '-')) {
        // The sign that was read stays, even when only the hours follow it.
        direction = text[at++];
        std::size_t afterSign = at;
        if (text.size() > afterSign && text[afterSign] >= '0' && text[afterSign] <= '9' &&
            scanNumber(text, at, fields[7]) && scanLiteral(text, at, ':'))
            scanNumber(text, at, fields[8]);
    }
    Year = static_cast<uint16_t>(fields[0]);
    Month = static_cast<uint8_t>(fields[1]);
    Day = static_cast<uint8_t>(fields[2]);
    Hour = static_cast<uint8_t>(fields[3]);
    Minutes = static_cast<uint8_t>(fields[4]);
    Seconds = static_cast<uint8_t>(fields[5]);
    DeciSeconds = static_cast<uint8_t>(fields[6]);
    Direction = direction;
    UtcHours = static_cast<uint8_t>(fields[7]);
    UtcMinutes = static_cast<uint8_t>(fields[8]);
}

AnsiString KvDateTime::Format() const
{
    char buffer[96];
    int n = std::snprintf(buffer, sizeof buffer, "%d-%d-%d,%d:%d:%d.%d", int(Year), int(Month), int(Day),
                          int(Hour), int(Minutes), int(Seconds), int(DeciSeconds));
    AnsiString text(buffer, static_cast<std::size_t>(n));
    if ((UtcHours != 0 || UtcMinutes != 0) && (Direction == '+' || Direction == '-')) {
        n = std::snprintf(buffer, sizeof buffer, ",%c%d:%d", Direction, int(UtcHours), int(UtcMinutes));
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

void KvDateTime::Assign(const uint8_t *octets, std::size_t length)
{
    uint8_t all[Size] = {};
    if (octets)
        std::memcpy(all, octets, length < Size ? length : Size);
    std::memcpy(&Year, all, 2);
    Month = all[2];
    Day = all[3];
    Hour = all[4];
    Minutes = all[5];
    Seconds = all[6];
    DeciSeconds = all[7];
    Direction = static_cast<char>(all[8]);
    UtcHours = all[9];
    UtcMinutes = all[10];
}

void KvDateTime::GetOctets(uint8_t (&octets)[Size]) const
{
    std::memcpy(octets, &Year, 2);
    octets[2] = Month;
    octets[3] = Day;
    octets[4] = Hour;
    octets[5] = Minutes;
    octets[6] = Seconds;
    octets[7] = DeciSeconds;
    octets[8] = static_cast<uint8_t>(Direction);
    octets[9] = UtcHours;
    octets[10] = UtcMinutes;
}

void KvDateTime::SwapYear()
{
    Year = static_cast<uint16_t>((Year >> 8) | (Year << 8));
}

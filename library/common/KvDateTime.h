#pragma once
// The SNMP DateAndTime value (RFC 2579): year (two octets), month, day, hour, minutes,
// seconds, deci-seconds, direction from UTC ("+" or "-"), hours and minutes from UTC.
// Inside the object the year is in host order; on the wire it is in network order, and
// SwapYear turns one into the other.
#include "AnsiString.h"

#include <cstddef>
#include <cstdint>

class KvDateTime {
public:
    static constexpr std::size_t Size = 11;

    KvDateTime() = default;
    ~KvDateTime() = default;

    uint16_t Year = 0;
    uint8_t Month = 0;
    uint8_t Day = 0;
    uint8_t Hour = 0;
    uint8_t Minutes = 0;
    uint8_t Seconds = 0;
    uint8_t DeciSeconds = 0;
    char Direction = 0;
    uint8_t UtcHours = 0;
    uint8_t UtcMinutes = 0;

    // The PC's local time now, deci-seconds 0, offset +0:0.
    void SetNow();
    // "y-m-d,h:n:s.d" optionally followed by ",+h:m" or ",-h:m"; fields the text does not
    // supply are 0; numbers are cut to their octet's width.
    void Parse(const AnsiString &text);
    // "%d-%d-%d,%d:%d:%d.%d", followed by ",%c%d:%d" when there is an offset.
    AnsiString Format() const;
    // Copies length octets (at most 11) as they are; octets not given become 0, so an
    // 8-octet value without offset is read without going past its end.
    void Assign(const uint8_t *octets, std::size_t length = Size);
    // The 11 octets as they are held (the year octets in the object's order).
    void GetOctets(uint8_t (&octets)[Size]) const;
    // Exchanges the two year octets.
    void SwapYear();
};

#pragma once
// IPv4 addresses typed as dotted text, as numbers: the first octet in the highest byte,
// arithmetic modulo 2^32. The forms that hand out addresses on the device's network (LAN,
// DHCP server, static pool, manager address ranges) compare and test them through these.
#include "AnsiString.h"

#include <cstdint>
#include <optional>

class TEdit;

// How a part before a dot that is not a number counts in the lenient conversion.
enum class BadPart {
    Zero,    // counts 0
    AllOnes, // counts -1: all 32 bits set are added before the shift
};

// Lenient conversion: parts are decimal integers (leading blanks and a sign accepted); each
// dot adds the part and shifts left by 8, so a part above 255 carries into the next octet
// ("1.2.3.256" is 1.2.4.0), more than three dots shift the first octets out, and text without
// a dot is its own number ("50" is 50), which is how a pool size enters the arithmetic. The
// part after the last dot counts 0 when it is empty or not a number.
uint32_t IPTextToInt(const AnsiString &text, BadPart badPart = BadPart::Zero);
uint32_t IPEditToInt(const TEdit *edit, BadPart badPart = BadPart::Zero);

// Strict: four decimal octets 0 to 255 and nothing else; no name lookup.
std::optional<uint32_t> ParseAddress(const AnsiString &text);
// Both texts strict addresses of the same number ("192.168.0.5" and "192.168.000.5" agree);
// false when either is not an address.
bool SameAddress(const AnsiString &a, const AnsiString &b);
// The dotted text of a number.
AnsiString AddressText(uint32_t address);

// The dynamic pool holds size addresses beginning at start (start + size taken modulo 2^32,
// itself outside); unsigned 32-bit comparisons.
bool InPool(uint32_t address, uint32_t start, uint32_t size);

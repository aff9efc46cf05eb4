#include "AddressArithmetic.h"

#include "SmiValues.h"
#include "StdCtrls.h"

#include <array>
#include <cctype>
#include <limits>

namespace {

// A part's decimal value: leading blanks, an optional sign, then digits only, within 32 bits.
std::optional<int64_t> PartValue(const AnsiString &part)
{
    size_t i = 0;
    while (i < part.size() && part[i] == ' ')
        ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == '+' || part[i] == '-'))
        negative = part[i++] == '-';
    if (i == part.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < part.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(part[i])))
            return std::nullopt;
        value = value * 10 + (part[i] - '0');
        if (value > std::numeric_limits<uint32_t>::max())
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return value;
}

} // namespace

uint32_t IPTextToInt(const AnsiString &text, BadPart badPart)
{
    uint32_t result = 0;
    AnsiString part;
    for (const char c : text) {
        if (c != '.') {
            part += c;
            continue;
        }
        const std::optional<int64_t> value = PartValue(part);
        if (value)
            result += static_cast<uint32_t>(*value);
        else if (badPart == BadPart::AllOnes)
            result += 0xFFFFFFFFu;
        result <<= 8;
        part.clear();
    }
    if (const std::optional<int64_t> value = PartValue(part))
        result += static_cast<uint32_t>(*value);
    return result;
}

uint32_t IPEditToInt(const TEdit *edit, BadPart badPart)
{
    return IPTextToInt(edit ? edit->Text() : AnsiString(), badPart);
}

std::optional<uint32_t> ParseAddress(const AnsiString &text)
{
    std::array<uint8_t, 4> octets{};
    if (!IpAddress::parseDottedQuad(text, octets))
        return std::nullopt;
    return (uint32_t{octets[0]} << 24) | (uint32_t{octets[1]} << 16) | (uint32_t{octets[2]} << 8) |
           uint32_t{octets[3]};
}

bool SameAddress(const AnsiString &a, const AnsiString &b)
{
    const std::optional<uint32_t> x = ParseAddress(a);
    const std::optional<uint32_t> y = ParseAddress(b);
    return x && y && *x == *y;
}

AnsiString AddressText(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

bool InPool(uint32_t address, uint32_t start, uint32_t size)
{
    const uint32_t end = start + size;
    return start <= address && address < end;
}

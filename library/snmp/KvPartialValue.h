#pragma once
// The data of a value: the octets it occupies by its syntax. Bound controls share one value
// through its data (a field at an octet offset, single bits, the octets of a split edit).
//   32/64-bit numbers and doubles: least significant octet first
//   16-bit numbers and the DateAndTime year: most significant octet first
#include "AnsiString.h"
#include "OctetStr.h"

#include <cstddef>
#include <cstdint>

namespace kvpartial {

// True for the syntaxes that have data (the SNMP ones, the library's own and the partial ones).
bool hasData(int32_t syntax);
// Octets a part of that syntax occupies; 0 for the syntaxes that take the rest of the data.
std::size_t partSize(int32_t syntax);
// Octets that turning data into text needs at least.
std::size_t minimumSize(int32_t syntax);

// Value text to data; raises -511 for a syntax without data.
OctetStr textToData(const AnsiString &text, int32_t syntax);
// Data to value text; raises -511 for a syntax without data, -518 for data too short.
AnsiString dataToText(const OctetStr &data, int32_t syntax);
// The data of the part at offset; raises -511, or -519 when the part does not fit.
OctetStr partOf(const OctetStr &data, int offset, int32_t syntax);
// Copies part into data from offset on, extending data with zero octets as needed.
void writePart(OctetStr &data, int offset, const OctetStr &part);

// Bit b lies in octet b / 8 under the mask 0x80 >> (b % 8).
inline uint8_t bitMask(int bit)
{
    return static_cast<uint8_t>(0x80u >> (static_cast<unsigned>(bit) % 8u));
}

} // namespace kvpartial

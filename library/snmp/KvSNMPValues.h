#pragma once
// Helpers of the value conversions that the index encoding and expressions share.
#include "AnsiString.h"
#include "OctetStr.h"
#include "Oid.h"
#include "SmiValues.h"

#include <cstdint>
#include <vector>

// SNMP class statuses raised for value texts that cannot be sent.
constexpr int kSnmpClassInvalidOid = -17;     // -417 "(SNMPClass) Invalid Object Identifier!"
constexpr int kSnmpClassInvalidAddress = -18; // -418 "(SNMPClass) Invalid Address!"

// Raises the framework exception with the mapped code and text of an engine status.
[[noreturn]] void KvSNMPRaiseMapped(int status);

namespace kvsnmp {

// Syntax codes that VbToValue, ValueToVb and the index encoding accept.
bool isConvertibleSyntax(int32_t syntax);
// Little-endian IEEE 754 double of 8 octets.
double bytesToDouble(const uint8_t *bytes);
AnsiString doubleBytesToText(const uint8_t *bytes);
OctetStr doubleToBytes(double value);
// DateAndTime octets (year in network order; 8 or 11 of them) to text and back (11 octets).
AnsiString dateAndTimeToText(const uint8_t *octets, std::size_t length);
std::vector<uint8_t> textToDateAndTime(const AnsiString &text);
// bcdatetime text to its date-time number; a text that is no date (or names a day its month
// does not have) raises the conversion error.
double textToBcDateTime(const AnsiString &text);
// Dotted OID text, non-empty and valid, else raises -417.
Oid textToOid(const AnsiString &text);
// Strict dotted quad, else raises -418.
IpAddress textToIpAddress(const AnsiString &text);

} // namespace kvsnmp

#pragma once
// Type tags of SNMP values (ASN.1 universal and SNMP application tags) and the
// class-level status codes the value types return.
#include <cstdint>

using SmiUINT32 = std::uint32_t;

constexpr SmiUINT32 sNMP_SYNTAX_INT = 0x02;
constexpr SmiUINT32 sNMP_SYNTAX_INT32 = 0x02;
constexpr SmiUINT32 sNMP_SYNTAX_BITS = 0x03;
constexpr SmiUINT32 sNMP_SYNTAX_OCTETS = 0x04;
constexpr SmiUINT32 sNMP_SYNTAX_NULL = 0x05;
constexpr SmiUINT32 sNMP_SYNTAX_OID = 0x06;
constexpr SmiUINT32 sNMP_SYNTAX_IPADDR = 0x40;
constexpr SmiUINT32 sNMP_SYNTAX_CNTR32 = 0x41;
constexpr SmiUINT32 sNMP_SYNTAX_GAUGE32 = 0x42;
constexpr SmiUINT32 sNMP_SYNTAX_UINT32 = 0x42; // Unsigned32 shares Gauge32's tag
constexpr SmiUINT32 sNMP_SYNTAX_TIMETICKS = 0x43;
constexpr SmiUINT32 sNMP_SYNTAX_OPAQUE = 0x44;
constexpr SmiUINT32 sNMP_SYNTAX_NSAP = 0x45;
constexpr SmiUINT32 sNMP_SYNTAX_CNTR64 = 0x46;
constexpr SmiUINT32 sNMP_SYNTAX_UINTEGER = 0x47; // obsolete SMIv1-draft UInteger32
// Exception values of SNMPv2 answers (no value, only the tag).
constexpr SmiUINT32 sNMP_SYNTAX_NOSUCHOBJECT = 0x80;
constexpr SmiUINT32 sNMP_SYNTAX_NOSUCHINSTANCE = 0x81;
constexpr SmiUINT32 sNMP_SYNTAX_ENDOFMIBVIEW = 0x82;

constexpr int SNMP_CLASS_SUCCESS = 0;
constexpr int SNMP_CLASS_INVALID = -10;

// True for the three SNMPv2 exception tags.
constexpr bool isSnmpExceptionSyntax(SmiUINT32 syntax)
{
    return syntax == sNMP_SYNTAX_NOSUCHOBJECT || syntax == sNMP_SYNTAX_NOSUCHINSTANCE ||
           syntax == sNMP_SYNTAX_ENDOFMIBVIEW;
}

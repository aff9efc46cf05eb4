#pragma once
// Error codes of the SNMP layer and their replaceable message tables.
//   0              success ("(KvSNMP++) Ok!")
//   -101 .. -119   agent error status 1 .. 19
//   -201 .. -217   SNMPv3 message processing
//   -301 .. -314   SNMPv3 user-based security
//   -401 .. -423   SNMP class errors
//   -501 .. -528   the library's own (text -code-500 of gKvSNMPTexts)
#include "AnsiString.h"

#include <array>
#include <cstdint>

extern std::array<AnsiString, 19> gSnmpStatusTexts; // "snmp.err"
extern std::array<AnsiString, 17> gSnmpV3MpTexts;   // "snmpv3.err"
extern std::array<AnsiString, 14> gSnmpV3UsmTexts;  // "snmpusm.err"
extern std::array<AnsiString, 23> gSnmpClassTexts;  // "snmpclass.err"
extern std::array<AnsiString, 29> gKvSNMPTexts;     // "kvsnmp.err"
extern std::array<AnsiString, 2> gKvSNMPLogFormats; // "snmp.msg"

// The library's own codes.
namespace KvSNMPCode {
constexpr int32_t Ok = 0;
constexpr int32_t CannotCreateSession = -506;
constexpr int32_t LoadBootCounter = -507;
constexpr int32_t SaveBootCounter = -508;
constexpr int32_t InvalidAddress = -509;
constexpr int32_t GetNextOnScalars = -510;
constexpr int32_t BadSyntax = -511;
constexpr int32_t NullInExpression = -512;
constexpr int32_t BadSyntaxInExpression = -513;
constexpr int32_t BadKeyCount = -514;
constexpr int32_t BadItemType = -515;
constexpr int32_t BadAssociatedItemType = -516;
constexpr int32_t BadPartialSyntax = -517;
constexpr int32_t BadPartialValue = -518;
constexpr int32_t PartialIndexOutOfRange = -519;
constexpr int32_t NoOptionList = -520;
constexpr int32_t BadControlType = -521;
constexpr int32_t NotEnoughControls = -522;
constexpr int32_t UnknownError = -528;
// The agent's noSuchName (error status 2): an SNMPv1 walk ran past the end of its table.
constexpr int32_t NoSuchName = -102;
// The engine's time-out (SNMP class error -5): the device did not answer.
constexpr int32_t NoAnswer = -405;

// An agent's error status in its answer (-101 .. -119): the device refused the request.
constexpr bool IsAgentError(int32_t code)
{
    return code <= -101 && code >= -119;
}
// An SNMP class error (-401 .. -423): the request failed in the engine, so the device's answer,
// if any, says nothing about the objects asked for.
constexpr bool IsClassError(int32_t code)
{
    return code <= -401 && code >= -423;
}
} // namespace KvSNMPCode

// Maps an SNMP engine status (or an agent error status 1..19) to a code and its current text.
void KvSNMPMapError(int status, int &code, AnsiString &message);
// The current text of a library code (0 or -501 .. -528); other codes give the text of -528.
AnsiString KvSNMPText(int code);
// Raises the framework exception with the text of a library code and the code as help context.
[[noreturn]] void KvSNMPRaise(int code);
// Puts the built-in texts back into every table (tests, or after a failed load).
void KvSNMPResetTexts();

// Value conversion by syntax: response bindings to item texts and item texts to bindings.
#include "Exception.h"
#include "KvDateTime.h"
#include "KvOptionList.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "KvSNMPValues.h"
#include "KvValueText.h"
#include "Vb.h"

#include <bit>
#include <cstring>

using namespace kvsnmp;

namespace kvsnmp {

bool isConvertibleSyntax(int32_t syntax)
{
    return (syntax >= KvSyntax::Boolean && syntax <= KvSyntax::ObjectId) ||
           (syntax >= KvSyntax::IpAddress && syntax <= KvSyntax::DisplayStr);
}

AnsiString doubleBytesToText(const uint8_t *bytes)
{
    uint64_t bits = 0;
    for (int k = 7; k >= 0; --k)
        bits = bits << 8 | bytes[k];
    return floatToStr(std::bit_cast<double>(bits));
}

OctetStr doubleToBytes(double value)
{
    uint64_t bits = std::bit_cast<uint64_t>(value);
    std::vector<uint8_t> bytes(8);
    for (int k = 0; k < 8; ++k)
        bytes[static_cast<std::size_t>(k)] = static_cast<uint8_t>(bits >> (8 * k));
    return OctetStr(std::move(bytes));
}

double bytesToDouble(const uint8_t *bytes)
{
    uint64_t bits = 0;
    for (int k = 7; k >= 0; --k)
        bits = bits << 8 | bytes[k];
    return std::bit_cast<double>(bits);
}

AnsiString dateAndTimeToText(const uint8_t *octets, std::size_t length)
{
    KvDateTime dt;
    dt.Assign(octets, length < KvDateTime::Size ? length : KvDateTime::Size);
    dt.SwapYear();
    return dt.Format();
}

std::vector<uint8_t> textToDateAndTime(const AnsiString &text)
{
    KvDateTime dt;
    dt.Parse(text);
    dt.SwapYear();
    uint8_t octets[KvDateTime::Size];
    dt.GetOctets(octets);
    return std::vector<uint8_t>(octets, octets + KvDateTime::Size);
}

double textToBcDateTime(const AnsiString &text)
{
    double value = 0;
    if (!readDateTime(text, value))
        throw Exception("'" + text + "' is not a valid date and time");
    return value;
}

Oid textToOid(const AnsiString &text)
{
    Oid oid(text);
    if (!oid.valid() || oid.len() == 0)
        KvSNMPRaiseMapped(kSnmpClassInvalidOid);
    return oid;
}

IpAddress textToIpAddress(const AnsiString &text)
{
    IpAddress address(text);
    if (!address.valid())
        KvSNMPRaiseMapped(kSnmpClassInvalidAddress);
    return address;
}

} // namespace kvsnmp

void KvSNMPRaiseMapped(int status)
{
    int code = 0;
    AnsiString message;
    KvSNMPMapError(status, code, message);
    throw Exception(message, code);
}

void KvSNMPRequest::VbToValue(int i, const Vb &vb)
{
    KvSNMPItem *item = VarList.GetItem(i);
    const int32_t syntax = item->Syntax;
    if (!isConvertibleSyntax(syntax))
        KvSNMPRaise(KvSNMPCode::BadSyntax);

    item->Inexact = false;
    item->Kept = false;
    if (vb.get_exception_status() == sNMP_SYNTAX_ENDOFMIBVIEW) {
        item->Value = "(NOTDONE)";
        return;
    }
    // The common case without a detour through a temporary text: the value keeps its storage.
    if (syntax == KvSyntax::DisplayStr && !item->Options) {
        const OctetStr *octets = vb.octet_value();
        if (!octets || octets->empty()) {
            item->Value.clear();
            return;
        }
        const auto *begin = reinterpret_cast<const char *>(octets->data());
        const auto *zero = static_cast<const char *>(std::memchr(begin, 0, octets->len()));
        item->Value.assign(begin, zero ? zero : begin + octets->len());
        item->Inexact = zero != nullptr;
        return;
    }

    AnsiString text;
    switch (syntax) {
    case KvSyntax::Boolean: {
        int32_t v = 0;
        vb.get_value(v);
        text = v == 0 ? "false" : "true";
        break;
    }
    case KvSyntax::Integer: {
        int32_t v = 0;
        vb.get_value(v);
        text = std::to_string(v);
        break;
    }
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger: {
        uint32_t v = 0;
        vb.get_value(v);
        text = std::to_string(v);
        break;
    }
    case KvSyntax::Counter64: {
        Counter64 v;
        vb.get_value(v);
        text = std::to_string(v.value());
        break;
    }
    case KvSyntax::Double: {
        OctetStr octets;
        vb.get_value(octets);
        // Fewer than 8 octets hold no double: the item has no value.
        text = octets.len() >= 8 ? doubleBytesToText(octets.data()) : AnsiString("(NULL)");
        break;
    }
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque:
    case KvSyntax::MacAddress: {
        OctetStr octets;
        vb.get_value(octets);
        text = octets.get_printable_hex();
        break;
    }
    case KvSyntax::Null:
        text = "(NULL)";
        break;
    case KvSyntax::ObjectId: {
        Oid v;
        vb.get_value(v);
        text = v.get_printable();
        break;
    }
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr: {
        IpAddress v(std::array<uint8_t, 4>{0, 0, 0, 0});
        vb.get_value(v);
        text = v.get_printable();
        break;
    }
    case KvSyntax::TimeTicks: {
        TimeTicks v;
        vb.get_value(v);
        text = formatTimeTicks(v);
        break;
    }
    case KvSyntax::DateTime: {
        OctetStr octets;
        vb.get_value(octets);
        // A DateAndTime has 8 octets, or 11 with the offset from UTC.
        text = octets.len() >= 8 ? dateAndTimeToText(octets.data(), octets.len()) : AnsiString("(NULL)");
        break;
    }
    case KvSyntax::BcDateTime: {
        OctetStr octets;
        vb.get_value(octets);
        text = octets.len() >= 8 ? formatDateTime(bytesToDouble(octets.data())) : AnsiString("(NULL)");
        break;
    }
    case KvSyntax::DisplayStr: {
        const OctetStr *octets = vb.octet_value();
        if (octets)
            text = octets->get_printable();
        break;
    }
    default:
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    }

    const bool keepsEmpty = syntax == KvSyntax::BitStr || syntax == KvSyntax::OctetStr ||
                            syntax == KvSyntax::Opaque || syntax == KvSyntax::MacAddress;
    if (!keepsEmpty && vb.printable_value_empty())
        text = syntax == KvSyntax::DisplayStr ? AnsiString() : AnsiString("(NULL)");

    if (item->Options)
        text = item->Options->ValueToName(text);
    item->Value = std::move(text);
}

void KvSNMPRequest::ValueToVb(int i, Vb &vb)
{
    KvSNMPItem *item = VarList.GetItem(i);
    const int32_t syntax = item->Syntax;
    if (!isConvertibleSyntax(syntax))
        KvSNMPRaise(KvSNMPCode::BadSyntax);

    const AnsiString text = item->Options ? item->Options->NameToValue(item->Value) : item->Value;
    if (syntax == KvSyntax::Null || text == "(NULL)") {
        vb.set_null();
        return;
    }

    switch (syntax) {
    case KvSyntax::Boolean:
        vb.set_value(static_cast<int32_t>(text == "true" ? 1 : 0));
        break;
    case KvSyntax::Integer:
        vb.set_value(static_cast<int32_t>(readDecimal32(text)));
        break;
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger:
        vb.set_unsigned(readDecimal32(text), sNMP_SYNTAX_UINT32);
        break;
    case KvSyntax::Counter64:
        vb.set_value(Counter64(readDecimal64(text)));
        break;
    case KvSyntax::Double:
        vb.set_value(doubleToBytes(readDouble(text)));
        break;
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque:
    case KvSyntax::MacAddress:
        vb.set_value(OctetStr::from_hex_string(text));
        break;
    case KvSyntax::ObjectId:
        vb.set_value(textToOid(text));
        break;
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr:
        vb.set_value(textToIpAddress(text));
        break;
    case KvSyntax::TimeTicks:
        vb.set_value(TimeTicks(readTimeTicks(text)));
        break;
    case KvSyntax::DateTime:
        vb.set_value(OctetStr(textToDateAndTime(text)));
        break;
    case KvSyntax::BcDateTime:
        vb.set_value(doubleToBytes(textToBcDateTime(text)));
        break;
    case KvSyntax::DisplayStr:
        vb.set_value(OctetStr(text));
        break;
    default:
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    }
}

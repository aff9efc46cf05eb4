// Conversions between value texts and their data, and parts of data.
#include "KvPartialValue.h"

#include "Exception.h"
#include "KvSNMPErrors.h"
#include "KvSNMPValues.h"
#include "KvSNMPVarList.h"
#include "KvValueText.h"
#include "Oid.h"

#include <cstdio>
#include <vector>

using namespace kvsnmp;

namespace kvpartial {

namespace {

void putLe(std::vector<uint8_t> &out, uint64_t value, int octets)
{
    for (int k = 0; k < octets; ++k)
        out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

void putBe(std::vector<uint8_t> &out, uint64_t value, int octets)
{
    for (int k = octets - 1; k >= 0; --k)
        out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

uint64_t getLe(const OctetStr &data, int octets)
{
    uint64_t value = 0;
    for (int k = octets - 1; k >= 0; --k)
        value = value << 8 | data[static_cast<std::size_t>(k)];
    return value;
}

uint32_t getBe16(const OctetStr &data)
{
    return static_cast<uint32_t>(data[0]) << 8 | data[1];
}

bool isVariableSize(int32_t syntax)
{
    return syntax == KvSyntax::BitStr || syntax == KvSyntax::OctetStr || syntax == KvSyntax::ObjectId ||
           syntax == KvSyntax::Opaque || syntax == KvSyntax::DisplayStr;
}

// An address is at most four dotted numbers of 0..255; anything else is unreadable rather
// than cut down to octets, which would turn a typing error into another address.
OctetStr addressData(const AnsiString &text)
{
    std::vector<uint32_t> numbers;
    if (!Oid::parse(text, numbers) || numbers.empty() || numbers.size() > 4)
        return OctetStr();
    std::vector<uint8_t> out;
    for (uint32_t n : numbers) {
        if (n > 255)
            return OctetStr();
        out.push_back(static_cast<uint8_t>(n));
    }
    return OctetStr(std::move(out));
}

} // namespace

bool hasData(int32_t syntax)
{
    return (syntax >= KvSyntax::Boolean && syntax <= KvSyntax::ObjectId) ||
           (syntax >= KvSyntax::IpAddress && syntax <= KvSyntax::DisplayStr) ||
           (syntax >= KvSyntax::Bool8 && syntax <= KvSyntax::UInt16);
}

std::size_t partSize(int32_t syntax)
{
    switch (syntax) {
    case KvSyntax::Boolean:
    case KvSyntax::Integer:
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr:
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger:
    case KvSyntax::TimeTicks:
        return 4;
    case KvSyntax::Counter64:
    case KvSyntax::Double:
    case KvSyntax::BcDateTime:
        return 8;
    case KvSyntax::MacAddress:
        return 6;
    case KvSyntax::DateTime:
        return 11;
    case KvSyntax::Bool8:
    case KvSyntax::Int8:
    case KvSyntax::UInt8:
        return 1;
    case KvSyntax::Bool16:
    case KvSyntax::Int16:
    case KvSyntax::UInt16:
        return 2;
    default:
        return 0;
    }
}

std::size_t minimumSize(int32_t syntax)
{
    if (syntax == KvSyntax::Null)
        return 0;
    if (isVariableSize(syntax))
        return 1;
    return partSize(syntax);
}

OctetStr textToData(const AnsiString &text, int32_t syntax)
{
    if (!hasData(syntax))
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    if (syntax == KvSyntax::Null || text == "(NULL)")
        return OctetStr();
    std::vector<uint8_t> out;
    switch (syntax) {
    case KvSyntax::Boolean:
        putLe(out, text == "true" ? 1 : 0, 4);
        break;
    case KvSyntax::Integer:
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger:
        putLe(out, readDecimal32(text), 4);
        break;
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque:
    case KvSyntax::MacAddress:
        return OctetStr::from_hex_string(text);
    case KvSyntax::ObjectId: {
        std::vector<uint32_t> ids;
        if (!Oid::parse(text, ids))
            return OctetStr();
        for (uint32_t id : ids)
            putLe(out, id, 4);
        break;
    }
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr:
        return addressData(text);
    case KvSyntax::TimeTicks:
        putLe(out, readTimeTicks(text), 4);
        break;
    case KvSyntax::Counter64:
        putLe(out, readDecimal64(text), 8);
        break;
    case KvSyntax::Double:
        return doubleToBytes(readDouble(text));
    case KvSyntax::DateTime:
        return OctetStr(textToDateAndTime(text));
    case KvSyntax::BcDateTime:
        return doubleToBytes(textToBcDateTime(text));
    case KvSyntax::DisplayStr:
        return OctetStr(std::string_view(text));
    case KvSyntax::Bool8:
        out.push_back(text == "true" ? 1 : 0);
        break;
    case KvSyntax::Int8:
    case KvSyntax::UInt8:
        out.push_back(static_cast<uint8_t>(readDecimal32(text)));
        break;
    case KvSyntax::Bool16:
        putBe(out, text == "true" ? 1 : 0, 2);
        break;
    case KvSyntax::Int16:
    case KvSyntax::UInt16:
        putBe(out, readDecimal32(text) & 0xFFFFu, 2);
        break;
    default:
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    }
    return OctetStr(std::move(out));
}

AnsiString dataToText(const OctetStr &data, int32_t syntax)
{
    if (!hasData(syntax))
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    if (syntax == KvSyntax::Null)
        return "(NULL)";
    if (data.empty())
        return syntax == KvSyntax::DisplayStr ? AnsiString() : AnsiString("(NULL)");
    if (data.len() < minimumSize(syntax))
        KvSNMPRaise(KvSNMPCode::BadPartialValue);
    switch (syntax) {
    case KvSyntax::Boolean:
        return getLe(data, 4) == 0 ? "false" : "true";
    case KvSyntax::Integer:
        return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(getLe(data, 4))));
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger:
        return std::to_string(static_cast<uint32_t>(getLe(data, 4)));
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque:
    case KvSyntax::MacAddress:
        return data.get_printable_hex();
    case KvSyntax::ObjectId: {
        // Whole groups of four octets only; a cut-off last group is not read.
        AnsiString text;
        for (std::size_t at = 0; at + 4 <= data.len(); at += 4) {
            uint32_t id = 0;
            for (int k = 3; k >= 0; --k)
                id = id << 8 | data[at + static_cast<std::size_t>(k)];
            if (!text.empty())
                text += ".";
            text += std::to_string(id);
        }
        return text;
    }
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr:
        return std::to_string(data[0]) + "." + std::to_string(data[1]) + "." + std::to_string(data[2]) + "." +
               std::to_string(data[3]);
    case KvSyntax::TimeTicks:
        return formatTimeTicks(static_cast<uint32_t>(getLe(data, 4)));
    case KvSyntax::Counter64:
        return std::to_string(getLe(data, 8));
    case KvSyntax::Double:
        return doubleBytesToText(data.data());
    case KvSyntax::DateTime:
        // The offset from UTC is part of the value and stays in its text.
        return dateAndTimeToText(data.data(), 11);
    case KvSyntax::BcDateTime:
        return formatDateTime(bytesToDouble(data.data()));
    case KvSyntax::DisplayStr:
        return data.get_printable();
    case KvSyntax::Bool8:
        return data[0] == 0 ? "false" : "true";
    case KvSyntax::Int8:
        return std::to_string(static_cast<int8_t>(data[0]));
    case KvSyntax::UInt8:
        return std::to_string(data[0]);
    case KvSyntax::Bool16:
        return getBe16(data) == 0 ? "false" : "true";
    case KvSyntax::Int16:
        return std::to_string(static_cast<int16_t>(getBe16(data)));
    case KvSyntax::UInt16:
        return std::to_string(getBe16(data));
    default:
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    }
}

OctetStr partOf(const OctetStr &data, int offset, int32_t syntax)
{
    if (!hasData(syntax))
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    if (syntax == KvSyntax::Null || data.empty())
        return OctetStr();
    if (offset < 0 || static_cast<std::size_t>(offset) > data.len())
        KvSNMPRaise(KvSNMPCode::PartialIndexOutOfRange);
    const std::size_t from = static_cast<std::size_t>(offset);
    std::size_t count = data.len() - from;
    if (!isVariableSize(syntax)) {
        count = partSize(syntax);
        if (data.len() - from < count)
            KvSNMPRaise(KvSNMPCode::PartialIndexOutOfRange);
    }
    return OctetStr(data.data() + from, count);
}

void writePart(OctetStr &data, int offset, const OctetStr &part)
{
    const std::size_t from = offset > 0 ? static_cast<std::size_t>(offset) : 0;
    std::vector<uint8_t> bytes = data.bytes();
    if (bytes.size() < from + part.len())
        bytes.resize(from + part.len(), 0);
    for (std::size_t k = 0; k < part.len(); ++k)
        bytes[from + k] = part[k];
    data = OctetStr(std::move(bytes));
}

} // namespace kvpartial

// Table index encoding: key item values to and from instance OID sub-identifiers, and the
// end-of-column test of table walks.
#include "KvDateTime.h"
#include "KvOptionList.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "KvSNMPValues.h"
#include "KvValueText.h"
#include "Vb.h"

#include <bit>

using namespace kvsnmp;

namespace {

const char kHex[] = "0123456789ABCDEF";

// The sub-identifiers still to be read; running past the end refuses the index.
class IndexReader {
public:
    explicit IndexReader(const Oid &oid) : m_oid(oid) {}
    std::size_t left() const { return m_oid.len() - m_at; }
    void need(std::size_t n) const
    {
        if (n > left())
            KvSNMPRaise(KvSNMPCode::BadKeyCount);
    }
    uint32_t next() { return m_oid[m_at++]; }
    AnsiString rest() const { return m_oid.get_printable(m_at, m_oid.len() - m_at); }

private:
    const Oid &m_oid;
    std::size_t m_at = 0;
};

} // namespace

AnsiString KvSNMPRequest::IndexToValue(int i, AnsiString index)
{
    KvSNMPItem *item = VarList.GetItem(i);
    const int32_t syntax = item->Syntax;
    if (!isConvertibleSyntax(syntax))
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    const Oid oid(index);
    if (!oid.valid())
        KvSNMPRaise(KvSNMPCode::BadKeyCount);
    const bool implied = i == VarList.KeyCount - 1 && VarList.IsImpliedItem(i);

    IndexReader in(oid);
    AnsiString text;
    // A length sub-identifier first unless IMPLIED, where everything left belongs to the key.
    auto octetCount = [&]() -> std::size_t {
        if (implied)
            return in.left();
        in.need(1);
        std::size_t n = in.next();
        in.need(n);
        return n;
    };

    switch (syntax) {
    case KvSyntax::Boolean:
        in.need(1);
        text = in.next() == 0 ? "false" : "true";
        break;
    case KvSyntax::Integer:
        in.need(1);
        text = std::to_string(static_cast<int32_t>(in.next()));
        break;
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger:
        in.need(1);
        text = std::to_string(in.next());
        break;
    case KvSyntax::Counter64: {
        in.need(2);
        uint64_t high = in.next();
        uint64_t low = in.next();
        text = std::to_string(high << 32 | low);
        break;
    }
    case KvSyntax::Double: {
        in.need(2);
        uint64_t low = in.next();
        uint64_t high = in.next();
        text = floatToStr(std::bit_cast<double>(high << 32 | low));
        break;
    }
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque: {
        std::size_t n = octetCount();
        for (std::size_t k = 0; k < n; ++k) {
            uint8_t b = static_cast<uint8_t>(in.next());
            text += kHex[b >> 4];
            text += kHex[b & 0x0F];
        }
        break;
    }
    case KvSyntax::DisplayStr: {
        std::size_t n = octetCount();
        bool cut = false;
        for (std::size_t k = 0; k < n; ++k) {
            char c = static_cast<char>(static_cast<uint8_t>(in.next()));
            cut = cut || c == '\0';
            if (!cut)
                text += c;
        }
        break;
    }
    case KvSyntax::ObjectId: {
        if (implied) {
            text = oid.get_printable();
            while (in.left() > 0)
                in.next();
            break;
        }
        std::size_t n = octetCount();
        Oid value;
        for (std::size_t k = 0; k < n; ++k)
            value += in.next();
        text = value.get_printable();
        break;
    }
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr:
        in.need(4);
        for (int k = 0; k < 4; ++k) {
            if (k > 0)
                text += '.';
            text += std::to_string(in.next());
        }
        break;
    case KvSyntax::TimeTicks:
        in.need(1);
        text = formatTimeTicks(in.next());
        break;
    case KvSyntax::MacAddress:
        in.need(6);
        for (int k = 0; k < 6; ++k) {
            uint8_t b = static_cast<uint8_t>(in.next());
            text += kHex[b >> 4];
            text += kHex[b & 0x0F];
        }
        break;
    case KvSyntax::DateTime: {
        in.need(KvDateTime::Size);
        uint8_t octets[KvDateTime::Size];
        for (auto &o : octets)
            o = static_cast<uint8_t>(in.next());
        text = dateAndTimeToText(octets, KvDateTime::Size);
        break;
    }
    case KvSyntax::BcDateTime: {
        in.need(2);
        uint64_t low = in.next();
        uint64_t high = in.next();
        text = formatDateTime(std::bit_cast<double>(high << 32 | low));
        break;
    }
    case KvSyntax::Null:
        text = "(NULL)";
        break;
    default:
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    }

    if (item->Options)
        text = item->Options->ValueToName(text);
    item->Value = text;
    return in.rest();
}

void KvSNMPRequest::ValueToIndex(int i, AnsiString &index)
{
    const KvSNMPItem *item = VarList.GetItem(i);
    const int32_t syntax = item->Syntax;
    if (!isConvertibleSyntax(syntax))
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    const bool implied = i == VarList.KeyCount - 1 && VarList.IsImpliedItem(i);
    const AnsiString text = item->Options ? item->Options->NameToValue(item->Value) : item->Value;

    Oid out;
    auto appendOctets = [&](const uint8_t *data, std::size_t n) {
        if (!implied)
            out += static_cast<uint32_t>(n);
        for (std::size_t k = 0; k < n; ++k)
            out += static_cast<uint32_t>(data[k]);
    };
    auto appendDouble = [&](double v) {
        uint64_t bits = std::bit_cast<uint64_t>(v);
        out += static_cast<uint32_t>(bits);
        out += static_cast<uint32_t>(bits >> 32);
    };

    switch (syntax) {
    case KvSyntax::Boolean:
        out += text == "true" ? 1u : 0u;
        break;
    case KvSyntax::Integer:
    case KvSyntax::Counter:
    case KvSyntax::Guage:
    case KvSyntax::UInteger:
        out += readDecimal32(text);
        break;
    case KvSyntax::Counter64: {
        uint64_t v = readDecimal64(text);
        out += static_cast<uint32_t>(v >> 32);
        out += static_cast<uint32_t>(v);
        break;
    }
    case KvSyntax::Double:
        appendDouble(readDouble(text));
        break;
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque: {
        OctetStr octets = OctetStr::from_hex_string(text);
        appendOctets(octets.data(), octets.len());
        break;
    }
    case KvSyntax::DisplayStr:
        appendOctets(reinterpret_cast<const uint8_t *>(text.data()), text.size());
        break;
    case KvSyntax::ObjectId: {
        Oid value(text);
        if (!value.valid())
            KvSNMPRaiseMapped(kSnmpClassInvalidOid);
        if (!implied)
            out += static_cast<uint32_t>(value.len());
        out += value;
        break;
    }
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr: {
        IpAddress address = textToIpAddress(text);
        for (std::size_t k = 0; k < 4; ++k)
            out += static_cast<uint32_t>(address[k]);
        break;
    }
    case KvSyntax::TimeTicks:
        out += readTimeTicks(text);
        break;
    case KvSyntax::MacAddress: {
        OctetStr octets = OctetStr::from_hex_string(text);
        if (octets.len() >= 6) {
            for (std::size_t k = 0; k < 6; ++k)
                out += static_cast<uint32_t>(octets[k]);
        }
        break;
    }
    case KvSyntax::DateTime:
        for (uint8_t o : textToDateAndTime(text))
            out += static_cast<uint32_t>(o);
        break;
    case KvSyntax::BcDateTime:
        appendDouble(textToBcDateTime(text));
        break;
    case KvSyntax::Null:
        break;
    default:
        KvSNMPRaise(KvSNMPCode::BadSyntax);
    }
    index = out.get_printable();
}

bool KvSNMPRequest::IsEndOfColumn(const Oid &column, const Oid &last, const Oid &answer)
{
    if (!VarList.IsTable())
        return false;
    // The answer must lie strictly inside the column, sub-identifier by sub-identifier.
    if (!column.valid() || !answer.valid() || answer.len() <= column.len() || !answer.startsWith(column))
        return true;
    // And past the previous answer: an agent that does not move on cannot keep a walk going.
    return last.valid() && !last.empty() && answer <= last;
}

bool KvSNMPRequest::IsEndOfColumn(const AnsiString &column, const AnsiString &last, const AnsiString &answer)
{
    return IsEndOfColumn(Oid(column), Oid(last), Oid(answer));
}

bool KvSNMPRequest::IsEndOfColumnAnswer(const AnsiString &column, const AnsiString &last, const Vb &answer)
{
    if (VarList.IsTable() && answer.get_exception_status() == sNMP_SYNTAX_ENDOFMIBVIEW)
        return true;
    return IsEndOfColumn(Oid(column), Oid(last), answer.get_oid());
}

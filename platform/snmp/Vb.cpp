#include "Vb.h"

namespace {

bool isUnsigned32Syntax(SmiUINT32 s)
{
    return s == sNMP_SYNTAX_CNTR32 || s == sNMP_SYNTAX_GAUGE32 || s == sNMP_SYNTAX_TIMETICKS ||
           s == sNMP_SYNTAX_UINTEGER;
}

bool isOctetSyntax(SmiUINT32 s)
{
    return s == sNMP_SYNTAX_OCTETS || s == sNMP_SYNTAX_BITS || s == sNMP_SYNTAX_OPAQUE ||
           s == sNMP_SYNTAX_NSAP;
}

} // namespace

void Vb::set_syntax(SmiUINT32 syntax)
{
    if (syntax == m_syntax)
        return;
    if (m_kind == Kind::Unsigned && isUnsigned32Syntax(syntax)) {
        m_syntax = syntax;
        return;
    }
    if (m_kind == Kind::Octets && isOctetSyntax(syntax)) {
        m_syntax = syntax;
        return;
    }
    // Any other change leaves an empty value of the new kind.
    m_number = 0;
    m_octets.clear();
    m_oidValue.clear();
    m_syntax = syntax;
    if (syntax == sNMP_SYNTAX_INT)
        m_kind = Kind::Signed;
    else if (isUnsigned32Syntax(syntax))
        m_kind = Kind::Unsigned;
    else if (syntax == sNMP_SYNTAX_CNTR64)
        m_kind = Kind::Wide;
    else if (isOctetSyntax(syntax))
        m_kind = Kind::Octets;
    else if (syntax == sNMP_SYNTAX_OID)
        m_kind = Kind::Ident;
    else if (syntax == sNMP_SYNTAX_IPADDR) {
        m_kind = Kind::Ip;
        m_octets = OctetStr(std::vector<std::uint8_t>(4, 0));
    } else
        m_kind = Kind::None;
}

void Vb::set_null()
{
    m_syntax = sNMP_SYNTAX_NULL;
    m_kind = Kind::None;
    m_number = 0;
    m_octets.clear();
    m_oidValue.clear();
}

void Vb::set_value(std::int32_t v)
{
    set_null();
    m_syntax = sNMP_SYNTAX_INT;
    m_kind = Kind::Signed;
    m_number = static_cast<std::uint32_t>(v);
}

void Vb::set_value(std::uint32_t v)
{
    SmiUINT32 tag = isUnsigned32Syntax(m_syntax) ? m_syntax : sNMP_SYNTAX_UINT32;
    set_unsigned(v, tag);
}

void Vb::set_value(const Counter32 &v)
{
    set_unsigned(v, sNMP_SYNTAX_CNTR32);
}

void Vb::set_value(const Gauge32 &v)
{
    set_unsigned(v, sNMP_SYNTAX_GAUGE32);
}

void Vb::set_value(const TimeTicks &v)
{
    set_unsigned(v, sNMP_SYNTAX_TIMETICKS);
}

void Vb::set_value(const Counter64 &v)
{
    set_null();
    m_syntax = sNMP_SYNTAX_CNTR64;
    m_kind = Kind::Wide;
    m_number = v.value();
}

void Vb::set_value(const OctetStr &v)
{
    set_octets(v, sNMP_SYNTAX_OCTETS);
}

void Vb::set_value(const Oid &v)
{
    set_null();
    m_syntax = sNMP_SYNTAX_OID;
    m_kind = Kind::Ident;
    m_oidValue = v;
}

void Vb::set_value(const IpAddress &v)
{
    set_null();
    m_syntax = sNMP_SYNTAX_IPADDR;
    m_kind = Kind::Ip;
    m_octets.set_data(v.octets().data(), 4);
}

void Vb::set_unsigned(std::uint32_t v, SmiUINT32 syntax)
{
    set_null();
    m_syntax = syntax;
    m_kind = Kind::Unsigned;
    m_number = v;
}

void Vb::set_octets(const OctetStr &v, SmiUINT32 syntax)
{
    set_null();
    m_syntax = syntax;
    m_kind = Kind::Octets;
    m_octets = v;
}

void Vb::set_octets(OctetStr &&v, SmiUINT32 syntax)
{
    set_null();
    m_syntax = syntax;
    m_kind = Kind::Octets;
    m_octets = std::move(v);
}

void Vb::set_octets(const unsigned char *data, std::size_t count, SmiUINT32 syntax)
{
    set_null();
    m_syntax = syntax;
    m_kind = Kind::Octets;
    m_octets.set_data(data, count);
}

void Vb::set_exception_status(SmiUINT32 syntax)
{
    set_null();
    m_syntax = syntax;
}

int Vb::get_value(std::int32_t &v) const
{
    if (m_kind != Kind::Signed && m_kind != Kind::Unsigned)
        return SNMP_CLASS_INVALID;
    v = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_number));
    return SNMP_CLASS_SUCCESS;
}

int Vb::get_value(std::uint32_t &v) const
{
    if (m_kind != Kind::Signed && m_kind != Kind::Unsigned)
        return SNMP_CLASS_INVALID;
    v = static_cast<std::uint32_t>(m_number);
    return SNMP_CLASS_SUCCESS;
}

int Vb::get_value(Counter64 &v) const
{
    if (m_kind != Kind::Wide && m_kind != Kind::Unsigned)
        return SNMP_CLASS_INVALID;
    v = Counter64(m_number);
    return SNMP_CLASS_SUCCESS;
}

int Vb::get_value(TimeTicks &v) const
{
    if (m_kind != Kind::Unsigned && m_kind != Kind::Signed)
        return SNMP_CLASS_INVALID;
    v = TimeTicks(static_cast<std::uint32_t>(m_number));
    return SNMP_CLASS_SUCCESS;
}

int Vb::get_value(OctetStr &v) const
{
    if (m_kind != Kind::Octets && m_kind != Kind::Ip)
        return SNMP_CLASS_INVALID;
    v = m_octets;
    return SNMP_CLASS_SUCCESS;
}

int Vb::get_value(Oid &v) const
{
    if (m_kind != Kind::Ident)
        return SNMP_CLASS_INVALID;
    v = m_oidValue;
    return SNMP_CLASS_SUCCESS;
}

int Vb::get_value(IpAddress &v) const
{
    if ((m_kind != Kind::Ip && m_kind != Kind::Octets) || m_octets.len() != 4)
        return SNMP_CLASS_INVALID;
    v = IpAddress(std::array<std::uint8_t, 4>{m_octets[0], m_octets[1], m_octets[2], m_octets[3]});
    return SNMP_CLASS_SUCCESS;
}

std::string Vb::get_printable_value() const
{
    switch (m_kind) {
    case Kind::None:
        return {};
    case Kind::Signed:
        return std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(m_number)));
    case Kind::Unsigned:
        if (m_syntax == sNMP_SYNTAX_TIMETICKS)
            return TimeTicks(static_cast<std::uint32_t>(m_number)).get_printable();
        return std::to_string(static_cast<std::uint32_t>(m_number));
    case Kind::Wide:
        return std::to_string(m_number);
    case Kind::Octets: {
        // Printable text when every byte is printable, otherwise hexadecimal.
        bool printable = true;
        for (std::uint8_t b : m_octets.bytes())
            if (b < 0x20 || b > 0x7E)
                printable = false;
        return printable ? m_octets.to_string() : m_octets.get_printable_hex();
    }
    case Kind::Ident:
        return m_oidValue.get_printable();
    case Kind::Ip:
        return IpAddress(std::array<std::uint8_t, 4>{m_octets[0], m_octets[1], m_octets[2], m_octets[3]})
            .get_printable();
    }
    return {};
}

bool Vb::printable_value_empty() const
{
    switch (m_kind) {
    case Kind::None:
        return true;
    case Kind::Octets:
    case Kind::Ip:
        return m_octets.empty();
    case Kind::Ident:
        return m_oidValue.empty();
    default:
        return false;
    }
}

bool operator==(const Vb &a, const Vb &b)
{
    return a.m_oid == b.m_oid && a.m_syntax == b.m_syntax && a.m_kind == b.m_kind &&
           a.m_number == b.m_number && a.m_octets == b.m_octets && a.m_oidValue == b.m_oidValue;
}

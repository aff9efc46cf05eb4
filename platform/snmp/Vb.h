#pragma once
// One variable binding: an object identifier and a typed value (or SNMP NULL, or one of
// the SNMPv2 exception values noSuchObject, noSuchInstance, endOfMibView).
#include "OctetStr.h"
#include "Oid.h"
#include "SmiValues.h"
#include "SnmpSyntax.h"

#include <cstdint>
#include <string>

class Vb {
public:
    Vb() = default;
    explicit Vb(const Oid &name) : m_oid(name) {}
    explicit Vb(Oid &&name) : m_oid(std::move(name)) {}

    void set_oid(const Oid &name) { m_oid = name; }
    // The identifier from its sub-identifiers, keeping this binding's storage.
    void set_oid(const std::uint32_t *ids, std::size_t count) { m_oid.set_data(ids, count); }
    void get_oid(Oid &name) const { name = m_oid; }
    const Oid &get_oid() const { return m_oid; }
    std::string get_printable_oid() const { return m_oid.get_printable(); }
    bool valid() const { return m_oid.valid(); }

    // The tag of the value held; sNMP_SYNTAX_NULL when there is none.
    SmiUINT32 get_syntax() const { return m_syntax; }
    // Records the tag a value is to carry. A value of another kind is dropped; an unsigned
    // 32-bit value keeps its number under the new 32-bit tag.
    void set_syntax(SmiUINT32 syntax);

    void set_null();
    void set_value(std::int32_t v);
    // Unsigned32 (Gauge32's tag) unless set_syntax chose another 32-bit unsigned tag first.
    void set_value(std::uint32_t v);
    void set_value(const Counter32 &v);
    void set_value(const Gauge32 &v);
    void set_value(const TimeTicks &v);
    void set_value(const Counter64 &v);
    void set_value(const OctetStr &v);
    void set_value(const Oid &v);
    void set_value(const IpAddress &v);
    // Unsigned 32-bit number under an explicit tag (Counter32, Gauge32, TimeTicks, UInteger32).
    void set_unsigned(std::uint32_t v, SmiUINT32 syntax);
    // Octets under an explicit tag (OCTET STRING, BITS, Opaque, NsapAddress).
    void set_octets(const OctetStr &v, SmiUINT32 syntax);
    void set_octets(OctetStr &&v, SmiUINT32 syntax);
    void set_octets(const unsigned char *data, std::size_t count, SmiUINT32 syntax);
    // noSuchObject, noSuchInstance or endOfMibView.
    void set_exception_status(SmiUINT32 syntax);
    // The exception tag, or 0 when the binding carries a value or NULL.
    SmiUINT32 get_exception_status() const { return isSnmpExceptionSyntax(m_syntax) ? m_syntax : 0; }

    // Each returns SNMP_CLASS_SUCCESS when the value is of a fitting kind, else
    // SNMP_CLASS_INVALID and leaves the output unchanged. Integers of 32 bits read across
    // signedness (INTEGER as unsigned and back, modulo 2^32).
    int get_value(std::int32_t &v) const;
    int get_value(std::uint32_t &v) const;
    int get_value(Counter64 &v) const;
    int get_value(TimeTicks &v) const;
    int get_value(OctetStr &v) const;
    int get_value(Oid &v) const;
    int get_value(IpAddress &v) const;

    // Text of the value; empty for NULL and the exception values.
    std::string get_printable_value() const;
    // Whether get_printable_value() would be empty, without making the text.
    bool printable_value_empty() const;
    // The octets of an OCTET STRING kind or IpAddress value, without a copy; null otherwise.
    const OctetStr *octet_value() const
    {
        return m_kind == Kind::Octets || m_kind == Kind::Ip ? &m_octets : nullptr;
    }

    friend bool operator==(const Vb &a, const Vb &b);

private:
    enum class Kind : std::uint8_t { None, Signed, Unsigned, Wide, Octets, Ident, Ip };

    Oid m_oid;
    SmiUINT32 m_syntax = sNMP_SYNTAX_NULL;
    Kind m_kind = Kind::None;
    std::uint64_t m_number = 0; // Signed (as int32 bits), Unsigned, Wide
    OctetStr m_octets;          // Octets, Ip (4 bytes)
    Oid m_oidValue;             // Ident
};

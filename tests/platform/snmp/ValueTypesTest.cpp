#include "OctetStr.h"
#include "Oid.h"
#include "Pdu.h"
#include "SmiValues.h"
#include "Vb.h"

#include <gtest/gtest.h>

TEST(OidTest, ParsesDottedTextStrictly)
{
    struct Case {
        const char *text;
        bool valid;
        const char *printable;
        std::size_t len;
    } cases[] = {
        {"1.3.6.1.2.1.1.1.0", true, "1.3.6.1.2.1.1.1.0", 9},
        {".1.3.6", true, "1.3.6", 3},
        {"", true, "", 0},
        {"4294967295", true, "4294967295", 1},
        {"4294967296", false, "", 0},
        {"1..3", false, "", 0},
        {"1.3.", false, "", 0},
        {"1.a", false, "", 0},
        {" 1.3", false, "", 0},
        {"1.3 ", false, "", 0},
        {"-1", false, "", 0},
    };
    for (const auto &c : cases) {
        Oid oid(c.text);
        EXPECT_EQ(oid.valid(), c.valid) << c.text;
        EXPECT_EQ(oid.get_printable(), c.printable) << c.text;
        EXPECT_EQ(oid.len(), c.len) << c.text;
    }
}

TEST(OidTest, ComparesBySubIdentifiers)
{
    EXPECT_LT(Oid("1.3.6.1.2"), Oid("1.3.6.1.10"));
    EXPECT_LT(Oid("1.3.6"), Oid("1.3.6.0"));
    EXPECT_GT(Oid("1.4"), Oid("1.3.6.1"));
    EXPECT_EQ(Oid("1.3.6"), Oid(".1.3.6"));
    EXPECT_EQ(Oid("1.3.6.1").nCompare(3, Oid("1.3.6.9")), 0);
    EXPECT_LT(Oid("1.3.5.1").nCompare(3, Oid("1.3.6")), 0);
    EXPECT_GT(Oid("1.3.6").nCompare(4, Oid("1.3")), 0);
    EXPECT_TRUE(Oid("1.3.6.1.2").startsWith(Oid("1.3.6")));
    EXPECT_FALSE(Oid("1.3.60.1").startsWith(Oid("1.3.6")));
}

TEST(OidTest, AppendsAndTrims)
{
    Oid oid("1.3");
    oid += 6u;
    oid += Oid("1.2");
    oid += "4.5";
    EXPECT_EQ(oid.get_printable(), "1.3.6.1.2.4.5");
    EXPECT_EQ(oid.get_printable(2, 3), "6.1.2");
    EXPECT_EQ(oid[2], 6u);
    oid.trim(2);
    EXPECT_EQ(oid.get_printable(), "1.3.6.1.2");
    oid += "x";
    EXPECT_FALSE(oid.valid());
    oid.trim(100);
    EXPECT_EQ(oid.len(), 0u);
}

TEST(OctetStrTest, HexReadingAndPrinting)
{
    struct Case {
        const char *text;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"1AFF", {0x1A, 0xFF}},
        {"abc", {0x0A, 0xBC}},
        {"00 1a ff", {0x00, 0x1A, 0xFF}},
        {"", {}},
        {"zz", {0x00}},
        {"G1", {0x01}},
        {"F", {0x0F}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(OctetStr::from_hex_string(c.text).bytes(), c.bytes) << c.text;
    const uint8_t raw[] = {0x00, 0x1A, 0xFF};
    EXPECT_EQ(OctetStr(raw, 3).get_printable_hex(), "001AFF");
    const uint8_t text[] = {'a', 'b', 0, 'c'};
    EXPECT_EQ(OctetStr(text, 4).get_printable(), "ab");
    EXPECT_EQ(OctetStr(text, 4).to_string(), std::string("ab\0c", 4));
}

TEST(SmiValuesTest, IpAddressIsAStrictDottedQuad)
{
    struct Case {
        const char *text;
        bool valid;
    } cases[] = {
        {"192.168.0.1", true}, {"0.0.0.0", true},    {"255.255.255.255", true}, {"256.1.1.1", false},
        {"1.2.3", false},      {"1.2.3.4.5", false}, {"localhost", false},      {"", false},
        {" 1.2.3.4", false},   {"1.2.3.4 ", false},  {"1..3.4", false},         {"0001.2.3.4", false},
    };
    for (const auto &c : cases) {
        IpAddress ip(c.text);
        EXPECT_EQ(ip.valid(), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(ip.get_printable(), c.text);
        }
    }
}

TEST(SmiValuesTest, Counter64AndTimeTicks)
{
    Counter64 c(0x12345678u, 0x9ABCDEF0u);
    EXPECT_EQ(c.high(), 0x12345678u);
    EXPECT_EQ(c.low(), 0x9ABCDEF0u);
    EXPECT_EQ(c.value(), 0x123456789ABCDEF0ull);
    EXPECT_EQ(Counter64(UINT64_MAX).get_printable(), "18446744073709551615");
    EXPECT_EQ(TimeTicks(8640000).get_printable(), "1 day 0:00:00.00");
    EXPECT_EQ(TimeTicks(2 * 8640000 + 5).get_printable(), "2 days, 0:00:00.05");
    EXPECT_EQ(TimeTicks(12345).get_printable(), "0:02:03.45");
}

TEST(VbTest, ValuesAndSyntaxTags)
{
    Vb vb(Oid("1.3.6.1"));
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_NULL);
    EXPECT_EQ(vb.get_printable_value(), "");

    vb.set_value(int32_t(-5));
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_INT);
    uint32_t u = 0;
    EXPECT_EQ(vb.get_value(u), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(u, 4294967291u);
    EXPECT_EQ(vb.get_printable_value(), "-5");

    vb.set_value(uint32_t(7));
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_UINT32);
    vb.set_syntax(sNMP_SYNTAX_CNTR32);
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_CNTR32);
    EXPECT_EQ(vb.get_value(u), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(u, 7u);

    vb.set_value(TimeTicks(12345));
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_TIMETICKS);
    EXPECT_EQ(vb.get_printable_value(), "0:02:03.45");

    vb.set_value(Counter64(UINT64_MAX));
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_CNTR64);
    Counter64 c;
    EXPECT_EQ(vb.get_value(c), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(c.value(), UINT64_MAX);
    int32_t i = 42;
    EXPECT_EQ(vb.get_value(i), SNMP_CLASS_INVALID);
    EXPECT_EQ(i, 42);

    vb.set_value(IpAddress("10.1.2.3"));
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_IPADDR);
    IpAddress ip;
    EXPECT_EQ(vb.get_value(ip), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(ip.get_printable(), "10.1.2.3");

    vb.set_value(Oid("1.3.6.1.4"));
    Oid o;
    EXPECT_EQ(vb.get_value(o), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(o.get_printable(), "1.3.6.1.4");

    vb.set_value(OctetStr("abc"));
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_OCTETS);
    EXPECT_EQ(vb.get_printable_value(), "abc");
    vb.set_syntax(sNMP_SYNTAX_OPAQUE);
    OctetStr s;
    EXPECT_EQ(vb.get_value(s), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(s.to_string(), "abc");

    vb.set_exception_status(sNMP_SYNTAX_ENDOFMIBVIEW);
    EXPECT_EQ(vb.get_exception_status(), sNMP_SYNTAX_ENDOFMIBVIEW);
    EXPECT_EQ(vb.get_printable_value(), "");
    EXPECT_EQ(vb.get_value(s), SNMP_CLASS_INVALID);
    vb.set_null();
    EXPECT_EQ(vb.get_exception_status(), 0u);
}

TEST(PduTest, BindingsAndFields)
{
    Pdu pdu;
    pdu += Vb(Oid("1.3.6.1.2.1.1.1.0"));
    pdu += Vb(Oid("1.3.6.1.2.1.1.5.0"));
    EXPECT_EQ(pdu.get_vb_count(), 2);
    Vb vb;
    EXPECT_TRUE(pdu.get_vb(vb, 1));
    EXPECT_EQ(vb.get_printable_oid(), "1.3.6.1.2.1.1.5.0");
    EXPECT_FALSE(pdu.get_vb(vb, 2));
    EXPECT_FALSE(pdu.get_vb(vb, -1));
    pdu.set_error_status(2);
    pdu.set_error_index(1);
    pdu.set_request_id(77);
    pdu.set_type(sNMP_PDU_GETNEXT);
    pdu.set_security_level(3);
    pdu.set_context_name(OctetStr("ctx"));
    pdu.set_context_engine_id(OctetStr("engine"));
    EXPECT_EQ(pdu.get_error_status(), 2);
    EXPECT_EQ(pdu.get_error_index(), 1);
    EXPECT_EQ(pdu.get_request_id(), 77);
    EXPECT_EQ(pdu.get_type(), sNMP_PDU_GETNEXT);
    EXPECT_EQ(pdu.get_security_level(), 3);
    EXPECT_EQ(pdu.get_context_name().to_string(), "ctx");
    EXPECT_EQ(pdu.get_context_engine_id().to_string(), "engine");
    pdu.trim(1);
    EXPECT_EQ(pdu.get_vb_count(), 1);
    pdu.clear();
    EXPECT_EQ(pdu.get_vb_count(), 0);
    EXPECT_EQ(pdu.get_error_status(), 0);
}

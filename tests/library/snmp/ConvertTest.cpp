#include "KvOptionList.h"
#include "KvSNMPErrors.h"
#include "SnmpCoreTestSupport.h"
#include "Vb.h"

#include <cstring>

using namespace snmpcoretest;

namespace {

// Sends text through ValueToVb, then reads the binding back with VbToValue.
std::string roundTrip(int32_t syntax, const std::string &text, Vb *sent = nullptr)
{
    Request r({item(syntax, KvAccess::ReadWrite, text.c_str())});
    Vb vb(Oid("1.3.6.1"));
    r.ValueToVb(0, vb);
    if (sent)
        *sent = vb;
    r.at(0).Value = "unchanged";
    r.VbToValue(0, vb);
    return r.at(0).Value;
}

std::vector<uint8_t> octetsOf(const Vb &vb)
{
    OctetStr s;
    EXPECT_EQ(vb.get_value(s), SNMP_CLASS_SUCCESS);
    return s.bytes();
}

std::string readBack(int32_t syntax, const Vb &vb, KvOptionList *options = nullptr)
{
    Request r({item(syntax, KvAccess::ReadOnly, "before", options)});
    r.VbToValue(0, vb);
    return r.at(0).Value;
}

Vb octetVb(std::vector<uint8_t> bytes)
{
    Vb vb(Oid("1.3.6.1"));
    vb.set_value(OctetStr(std::move(bytes)));
    return vb;
}

} // namespace

TEST(ConvertTest, EverySyntaxRoundTrips)
{
    struct Case {
        int32_t syntax;
        const char *text;
        SmiUINT32 tag;
    } cases[] = {
        {KvSyntax::Boolean, "true", sNMP_SYNTAX_INT},
        {KvSyntax::Boolean, "false", sNMP_SYNTAX_INT},
        {KvSyntax::Integer, "-5", sNMP_SYNTAX_INT},
        {KvSyntax::Integer, "2147483647", sNMP_SYNTAX_INT},
        {KvSyntax::Integer, "-2147483648", sNMP_SYNTAX_INT},
        {KvSyntax::Counter, "4294967295", sNMP_SYNTAX_UINT32},
        {KvSyntax::Guage, "0", sNMP_SYNTAX_UINT32},
        {KvSyntax::UInteger, "123456", sNMP_SYNTAX_UINT32},
        {KvSyntax::Counter64, "18446744073709551615", sNMP_SYNTAX_CNTR64},
        {KvSyntax::Counter64, "4294967296", sNMP_SYNTAX_CNTR64},
        {KvSyntax::Counter64, "0", sNMP_SYNTAX_CNTR64},
        {KvSyntax::Double, "1.5", sNMP_SYNTAX_OCTETS},
        {KvSyntax::Double, "-0.25", sNMP_SYNTAX_OCTETS},
        {KvSyntax::Double, "123456789", sNMP_SYNTAX_OCTETS},
        {KvSyntax::BitStr, "80", sNMP_SYNTAX_OCTETS},
        {KvSyntax::OctetStr, "001AFF", sNMP_SYNTAX_OCTETS},
        {KvSyntax::OctetStr, "", sNMP_SYNTAX_OCTETS},
        {KvSyntax::Opaque, "DEADBEEF", sNMP_SYNTAX_OCTETS},
        {KvSyntax::Null, "(NULL)", sNMP_SYNTAX_NULL},
        {KvSyntax::ObjectId, "1.3.6.1.4.1.32473", sNMP_SYNTAX_OID},
        {KvSyntax::IpAddress, "192.168.0.1", sNMP_SYNTAX_IPADDR},
        {KvSyntax::NsapAddr, "10.0.0.254", sNMP_SYNTAX_IPADDR},
        {KvSyntax::TimeTicks, "1 day 0:00:00.00", sNMP_SYNTAX_TIMETICKS},
        {KvSyntax::TimeTicks, "2 days, 0:00:00.05", sNMP_SYNTAX_TIMETICKS},
        {KvSyntax::TimeTicks, "0:02:03.45", sNMP_SYNTAX_TIMETICKS},
        {KvSyntax::TimeTicks, "497 days, 2:27:52.95", sNMP_SYNTAX_TIMETICKS},
        {KvSyntax::MacAddress, "0001020304FF", sNMP_SYNTAX_OCTETS},
        {KvSyntax::DateTime, "2008-11-12,13:45:7.0,+8:0", sNMP_SYNTAX_OCTETS},
        {KvSyntax::DateTime, "2008-11-12,13:45:7.3", sNMP_SYNTAX_OCTETS},
        {KvSyntax::DateTime, "1999-1-2,3:4:5.6,-5:30", sNMP_SYNTAX_OCTETS},
        {KvSyntax::BcDateTime, "2024/02/29 01:02:03 pm", sNMP_SYNTAX_OCTETS},
        {KvSyntax::BcDateTime, "1899/12/30 12:00:00 am", sNMP_SYNTAX_OCTETS},
        {KvSyntax::BcDateTime, "1850/06/01 11:59:59 pm", sNMP_SYNTAX_OCTETS},
        {KvSyntax::DisplayStr, "hello world", sNMP_SYNTAX_OCTETS},
    };
    for (const auto &c : cases) {
        Vb sent;
        EXPECT_EQ(roundTrip(c.syntax, c.text, &sent),
                  c.syntax == KvSyntax::OctetStr && !*c.text ? "" : c.text)
            << c.syntax << " " << c.text;
        EXPECT_EQ(sent.get_syntax(), c.tag) << c.syntax << " " << c.text;
    }
}

TEST(ConvertTest, WireFormOfTheLibrarySyntaxes)
{
    Vb vb;
    roundTrip(KvSyntax::Double, "1.5", &vb);
    EXPECT_EQ(octetsOf(vb), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xF8, 0x3F})); // little-endian
    roundTrip(KvSyntax::DateTime, "2008-11-12,13:45:7.0,+8:0", &vb);
    EXPECT_EQ(octetsOf(vb), (std::vector<uint8_t>{0x07, 0xD8, 11, 12, 13, 45, 7, 0, '+', 8, 0}));
    roundTrip(KvSyntax::BcDateTime, "1900/01/01 06:00:00 am", &vb);
    double day = 0;
    std::vector<uint8_t> bytes = octetsOf(vb);
    ASSERT_EQ(bytes.size(), 8u);
    std::memcpy(&day, bytes.data(), 8);
    EXPECT_DOUBLE_EQ(day, 2.25);
    roundTrip(KvSyntax::DisplayStr, "ab", &vb);
    EXPECT_EQ(octetsOf(vb), (std::vector<uint8_t>{'a', 'b'}));
}

TEST(ConvertTest, TextReadings)
{
    struct Case {
        int32_t syntax;
        const char *text;
        const char *back;
    } cases[] = {
        {KvSyntax::Boolean, "True", "false"}, // only the exact "true" sends 1
        {KvSyntax::Boolean, "1", "false"},
        {KvSyntax::Integer, "", "0"},
        {KvSyntax::Integer, "12abc", "12"},
        {KvSyntax::Integer, "  +7", "7"},
        {KvSyntax::Integer, "4294967295", "-1"}, // wraps in 32 bits
        {KvSyntax::Integer, "0x10", "0"},
        {KvSyntax::Counter, "-1", "4294967295"},
        {KvSyntax::Counter64, "1.8e3", "1800"},
        {KvSyntax::Counter64, "-1", "18446744073709551615"},
        {KvSyntax::Counter64, "99999999999999999999999", "18446744073709551615"},
        {KvSyntax::Counter64, "inf", "0"},
        {KvSyntax::Double, "inf", "0"},
        {KvSyntax::Double, "nan", "0"},
        {KvSyntax::Double, "2.5xyz", "2.5"},
        {KvSyntax::OctetStr, "1AFF", "1AFF"},
        {KvSyntax::OctetStr, "abc", "0ABC"},
        {KvSyntax::OctetStr, "00 1a ff", "001AFF"},
        {KvSyntax::MacAddress, "00:11", "000011"}, // ":" counts as a 0 digit
        {KvSyntax::TimeTicks, "5", "0:00:00.05"},
        {KvSyntax::DateTime, "2008-11-12,13:45:7.0,+5", "2008-11-12,13:45:7.0,+5:0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roundTrip(c.syntax, c.text), c.back) << c.syntax << " " << c.text;
}

TEST(ConvertTest, DateTimeTextThatIsNoDateIsRefusedBeforeSending)
{
    for (const char *text :
         {"not a date", "", "2008/02/31 01:00:00 am", "2007/02/29", "2008/04/31 12:00:00 pm", "2008/13/01"}) {
        SCOPED_TRACE(text);
        try {
            roundTrip(KvSyntax::BcDateTime, text);
            ADD_FAILURE() << "sent";
        } catch (const Exception &e) {
            EXPECT_EQ(e.Message, "'" + std::string(text) + "' is not a valid date and time");
        }
    }
    EXPECT_EQ(roundTrip(KvSyntax::BcDateTime, "2008/02/29 01:00:00 am"), "2008/02/29 01:00:00 am");
    EXPECT_EQ(roundTrip(KvSyntax::BcDateTime, "2000/02/29"), "2000/02/29 12:00:00 am");
}

TEST(ConvertTest, NullTextsAndNullBindings)
{
    Vb vb;
    roundTrip(KvSyntax::Integer, "(NULL)", &vb);
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_NULL);
    roundTrip(KvSyntax::DisplayStr, "(NULL)", &vb);
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_NULL);
    roundTrip(KvSyntax::Null, "anything", &vb);
    EXPECT_EQ(vb.get_syntax(), sNMP_SYNTAX_NULL);

    Vb null(Oid("1.3.6.1"));
    struct Case {
        int32_t syntax;
        const char *text;
    } cases[] = {
        {KvSyntax::Integer, "(NULL)"},  {KvSyntax::Boolean, "(NULL)"},   {KvSyntax::Counter64, "(NULL)"},
        {KvSyntax::ObjectId, "(NULL)"}, {KvSyntax::IpAddress, "(NULL)"}, {KvSyntax::TimeTicks, "(NULL)"},
        {KvSyntax::DateTime, "(NULL)"}, {KvSyntax::Double, "(NULL)"},    {KvSyntax::DisplayStr, ""},
        {KvSyntax::OctetStr, ""},       {KvSyntax::MacAddress, ""},      {KvSyntax::Null, "(NULL)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readBack(c.syntax, null), c.text) << c.syntax;
    EXPECT_EQ(readBack(KvSyntax::OctetStr, octetVb({})), "");
    EXPECT_EQ(readBack(KvSyntax::DisplayStr, octetVb({})), "");
}

TEST(ConvertTest, ResponseTexts)
{
    EXPECT_EQ(readBack(KvSyntax::OctetStr, octetVb({0x00, 0x1A, 0xFF})), "001AFF");
    EXPECT_EQ(readBack(KvSyntax::DisplayStr, octetVb({'a', 'b', 0, 'c'})), "ab");
    Vb ticks(Oid("1.3"));
    ticks.set_value(TimeTicks(8640000));
    EXPECT_EQ(readBack(KvSyntax::TimeTicks, ticks), "1 day 0:00:00.00");
    ticks.set_value(TimeTicks(2 * 8640000 + 5));
    EXPECT_EQ(readBack(KvSyntax::TimeTicks, ticks), "2 days, 0:00:00.05");
    ticks.set_value(TimeTicks(12345));
    EXPECT_EQ(readBack(KvSyntax::TimeTicks, ticks), "0:02:03.45");
    Vb number(Oid("1.3"));
    number.set_value(int32_t(7));
    EXPECT_EQ(readBack(KvSyntax::Boolean, number), "true");
    number.set_value(int32_t(0));
    EXPECT_EQ(readBack(KvSyntax::Boolean, number), "false");
    number.set_value(int32_t(-1));
    EXPECT_EQ(readBack(KvSyntax::Counter, number), "4294967295");
    // A type the item does not expect is read as the item's own type.
    EXPECT_EQ(readBack(KvSyntax::Integer, octetVb({'1'})), "0");
}

TEST(ConvertTest, ShortDataIsNotReadPastItsEnd)
{
    EXPECT_EQ(readBack(KvSyntax::Double, octetVb({1, 2, 3, 4})), "(NULL)");
    EXPECT_EQ(readBack(KvSyntax::BcDateTime, octetVb({1, 2, 3, 4, 5, 6, 7})), "(NULL)");
    EXPECT_EQ(readBack(KvSyntax::DateTime, octetVb({0x07, 0xD8, 11, 12})), "(NULL)");
    // Eight octets are a DateAndTime without offset.
    EXPECT_EQ(readBack(KvSyntax::DateTime, octetVb({0x07, 0xD8, 11, 12, 13, 45, 7, 0})),
              "2008-11-12,13:45:7.0");
    // Longer data uses only its first octets.
    EXPECT_EQ(readBack(KvSyntax::Double, octetVb({0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0x55})), "1.5");
}

TEST(ConvertTest, OptionListsNameRawValues)
{
    const KvOptionPair pairs[] = {{0, "Disable"}, {1, "Enable"}, {}};
    KvOptionList options(pairs, okNumber, 0);
    Vb vb(Oid("1.3"));
    vb.set_value(int32_t(1));
    EXPECT_EQ(readBack(KvSyntax::Integer, vb, &options), "Enable");
    vb.set_value(int32_t(7));
    EXPECT_EQ(readBack(KvSyntax::Integer, vb, &options), "7");

    Request r({item(KvSyntax::Integer, KvAccess::ReadWrite, "Enable", &options)});
    Vb out(Oid("1.3"));
    r.ValueToVb(0, out);
    int32_t v = -1;
    EXPECT_EQ(out.get_value(v), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(v, 1);
}

TEST(ConvertTest, EndOfMibViewIsNotDone)
{
    Vb vb(Oid("1.3"));
    vb.set_exception_status(sNMP_SYNTAX_ENDOFMIBVIEW);
    EXPECT_EQ(readBack(KvSyntax::Integer, vb), "(NOTDONE)");
    vb.set_exception_status(sNMP_SYNTAX_NOSUCHINSTANCE);
    EXPECT_EQ(readBack(KvSyntax::Integer, vb), "(NULL)");
}

TEST(ConvertTest, RefusedSyntaxesAndTexts)
{
    struct Case {
        int32_t syntax;
        const char *text;
        int code;
    } cases[] = {
        {KvSyntax::UInt8, "1", -511},
        {KvSyntax::Bool8, "true", -511},
        {0, "1", -511},
        {7, "1", -511},
        {77, "1", -511},
        {KvSyntax::ObjectId, "1..3", -417},
        {KvSyntax::ObjectId, "", -417},
        {KvSyntax::ObjectId, "1.x", -417},
        {KvSyntax::IpAddress, "host", -418},
        {KvSyntax::IpAddress, "", -418},
        {KvSyntax::IpAddress, "1.2.3", -418},
        {KvSyntax::NsapAddr, "1.2.3.256", -418},
    };
    for (const auto &c : cases) {
        Request r({item(c.syntax, KvAccess::ReadWrite, c.text)});
        Vb vb(Oid("1.3"));
        vb.set_value(int32_t(99));
        EXPECT_EQ(raisedCode([&] { r.ValueToVb(0, vb); }), c.code) << c.syntax << " " << c.text;
        int32_t v = 0;
        EXPECT_EQ(vb.get_value(v), SNMP_CLASS_SUCCESS);
        EXPECT_EQ(v, 99) << "binding untouched";
    }
    Request r({item(KvSyntax::UInt8, KvAccess::ReadWrite, "kept")});
    Vb vb(Oid("1.3"));
    vb.set_value(int32_t(1));
    EXPECT_EQ(raisedCode([&] { r.VbToValue(0, vb); }), -511);
    EXPECT_EQ(r.at(0).Value, "kept");
}

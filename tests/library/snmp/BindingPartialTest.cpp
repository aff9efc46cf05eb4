// Value texts, their data and parts of data.
#include "BindingSupport.h"
#include "KvPartialValue.h"
#include "KvSNMPErrors.h"

using namespace bindtest;

namespace {

std::string hexOf(const OctetStr &data)
{
    return data.get_printable_hex();
}

OctetStr fromHex(const std::string &hex)
{
    return OctetStr::from_hex_string(hex);
}

struct RoundTrip {
    const char *text;
    int syntax;
    const char *data;     // expected data in hex
    const char *backText; // text made from that data; null: raises -518
};

TEST(BindingPartial, TextToDataAndBack)
{
    const RoundTrip cases[] = {
        {"-1", KvSyntax::Integer, "FFFFFFFF", "-1"},
        {"-1", KvSyntax::Counter, "FFFFFFFF", "4294967295"},
        {"12abc", KvSyntax::Integer, "0C000000", "12"},
        {"", KvSyntax::Integer, "00000000", "0"},
        {"true", KvSyntax::Boolean, "01000000", "true"},
        {"True", KvSyntax::Boolean, "00000000", "false"},
        {"192.168.0.1", KvSyntax::IpAddress, "C0A80001", "192.168.0.1"},
        // Not an address: more than four fields, or a field above 255, is unreadable.
        {"1.2.3.4.5", KvSyntax::IpAddress, "", "(NULL)"},
        {"300.1.1.1", KvSyntax::IpAddress, "", "(NULL)"},
        {"10.0.0.x", KvSyntax::IpAddress, "", "(NULL)"},
        {"", KvSyntax::IpAddress, "", "(NULL)"},
        {"10.0.0", KvSyntax::IpAddress, "0A0000", nullptr},
        {"AABBCCDD", KvSyntax::MacAddress, "AABBCCDD", nullptr},
        {"00112233445566FF", KvSyntax::MacAddress, "00112233445566FF", "00112233445566FF"},
        {"", KvSyntax::OctetStr, "", "(NULL)"},
        {"", KvSyntax::DisplayStr, "", ""},
        {"1.3.6.1", KvSyntax::ObjectId, "01000000030000000600000001000000", "1.3.6.1"},
        {"1.x", KvSyntax::ObjectId, "", "(NULL)"},
        {"258", KvSyntax::UInt16, "0102", "258"},
        {"65536", KvSyntax::UInt16, "0000", "0"},
        {"-2", KvSyntax::Int16, "FFFE", "-2"},
        {"200", KvSyntax::Int8, "C8", "-56"},
        {"200", KvSyntax::UInt8, "C8", "200"},
        {"true", KvSyntax::Bool8, "01", "true"},
        {"true", KvSyntax::Bool16, "0001", "true"},
        {"4294967296", KvSyntax::Counter64, "0000000001000000", "4294967296"},
        {"0:02:03.45", KvSyntax::TimeTicks, "39300000", "0:02:03.45"},
        {"hello", KvSyntax::DisplayStr, "68656C6C6F", "hello"},
        {"2.5", KvSyntax::Double, "0000000000000440", "2.5"},
        // A date-time keeps its offset from UTC.
        {"2024-5-6,7:8:9.1,+2:30", KvSyntax::DateTime, "07E80506070809012B021E", "2024-5-6,7:8:9.1,+2:30"},
        {"2024-5-6,7:8:9.1", KvSyntax::DateTime, "07E80506070809012B0000", "2024-5-6,7:8:9.1"},
    };
    for (const RoundTrip &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " syntax " + std::to_string(c.syntax));
        const OctetStr data = KvSNMPRequest2Controls::TextToPartialData(c.text, c.syntax);
        EXPECT_EQ(hexOf(data), c.data);
        if (c.backText)
            EXPECT_EQ(KvSNMPRequest2Controls::PartialDataToText(data, c.syntax), c.backText);
        else
            expectCode(KvSNMPCode::BadPartialValue,
                       [&] { KvSNMPRequest2Controls::PartialDataToText(data, c.syntax); });
    }
}

TEST(BindingPartial, MissingValueSurvivesEverySyntax)
{
    const int syntaxes[] = {1,  2,  3,  4,  5,  6,  64,  65,  66,  67,  68,  69, 70,
                            71, 72, 73, 74, 75, 76, 193, 194, 195, 196, 197, 198};
    for (int s : syntaxes) {
        SCOPED_TRACE(s);
        const OctetStr data = KvSNMPRequest2Controls::TextToPartialData("(NULL)", s);
        EXPECT_TRUE(data.empty());
        EXPECT_EQ(KvSNMPRequest2Controls::PartialDataToText(data, s),
                  s == KvSyntax::DisplayStr ? "" : "(NULL)");
    }
}

TEST(BindingPartial, BadSyntaxAndShortData)
{
    expectCode(KvSNMPCode::BadSyntax, [] { KvSNMPRequest2Controls::TextToPartialData("1", 7); });
    expectCode(KvSNMPCode::BadSyntax, [] { KvSNMPRequest2Controls::PartialDataToText(fromHex("01"), 199); });
    expectCode(KvSNMPCode::BadSyntax, [] { KvSNMPRequest2Controls::GetPartialData(fromHex("01"), 0, 0); });
    // Ten octets are no date-time; twelve show their first eleven.
    expectCode(KvSNMPCode::BadPartialValue, [] {
        KvSNMPRequest2Controls::PartialDataToText(fromHex("07E80506070809012B02"), KvSyntax::DateTime);
    });
    EXPECT_EQ(
        KvSNMPRequest2Controls::PartialDataToText(fromHex("07E80506070809012B021EFF"), KvSyntax::DateTime),
        "2024-5-6,7:8:9.1,+2:30");
    try {
        KvSNMPRequest2Controls::TextToPartialData("xyz", KvSyntax::BcDateTime);
        ADD_FAILURE() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message, "'xyz' is not a valid date and time");
    }
}

TEST(BindingPartial, PartsOfData)
{
    const OctetStr data = fromHex("001122334455");
    struct Case {
        int offset;
        int syntax;
        const char *part; // null: raises -519
        const char *text;
    } cases[] = {
        {2, KvSyntax::UInt16, "2233", "8755"},
        {5, KvSyntax::UInt16, nullptr, nullptr},
        {4, KvSyntax::DisplayStr, "4455", "DU"},
        {6, KvSyntax::DisplayStr, "", ""},
        {7, KvSyntax::DisplayStr, nullptr, nullptr},
        {3, KvSyntax::Null, "", "(NULL)"},
        {0, KvSyntax::MacAddress, "001122334455", "001122334455"},
        {1, KvSyntax::MacAddress, nullptr, nullptr},
        {1, KvSyntax::Integer, "11223344", "1144201745"},
        {-1, KvSyntax::UInt8, nullptr, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.offset) + " syntax " + std::to_string(c.syntax));
        if (!c.part) {
            expectCode(KvSNMPCode::PartialIndexOutOfRange,
                       [&] { KvSNMPRequest2Controls::GetPartialData(data, c.offset, c.syntax); });
            continue;
        }
        const OctetStr part = KvSNMPRequest2Controls::GetPartialData(data, c.offset, c.syntax);
        EXPECT_EQ(hexOf(part), c.part);
        EXPECT_EQ(KvSNMPRequest2Controls::PartialDataToText(part, c.syntax), c.text);
    }
    // Empty data has empty parts, whatever the offset.
    EXPECT_TRUE(KvSNMPRequest2Controls::GetPartialData(OctetStr(), 9, KvSyntax::UInt16).empty());
}

TEST(BindingPartial, WritePartExtendsAndKeepsTheRest)
{
    OctetStr value = fromHex("AABBCC");
    kvpartial::writePart(value, 1, fromHex("11"));
    EXPECT_EQ(hexOf(value), "AA11CC");
    kvpartial::writePart(value, 4, fromHex("2233"));
    EXPECT_EQ(hexOf(value), "AA11CC002233");
}

} // namespace

#include "KvSNMPErrors.h"
#include "SnmpCoreTestSupport.h"
#include "Vb.h"

using namespace snmpcoretest;

namespace {

AnsiString indexOf(Request &r, int i)
{
    AnsiString index;
    r.ValueToIndex(i, index);
    return index;
}

} // namespace

TEST(IndexTest, TwoKeysIntegerAndDisplayString)
{
    Request r({item(KvSyntax::Integer, KvAccess::ReadOnly, "3"),
               item(KvSyntax::DisplayStr, KvAccess::ReadOnly, "ab"), item(KvSyntax::Integer)},
              MVT_FMV, 2);
    EXPECT_EQ(indexOf(r, 0), "3");
    EXPECT_EQ(indexOf(r, 1), "2.97.98");
    r.at(0).Value = r.at(1).Value = "";
    EXPECT_EQ(r.IndexToValue(0, "3.2.97.98"), "2.97.98");
    EXPECT_EQ(r.at(0).Value, "3");
    EXPECT_EQ(r.IndexToValue(1, "2.97.98"), "");
    EXPECT_EQ(r.at(1).Value, "ab");
}

TEST(IndexTest, ImpliedOnlyOnTheLastKey)
{
    Request last({item(KvSyntax::Integer, KvAccess::ReadOnly, "3"),
                  item(KvSyntax::DisplayStr, KvAccess::ReadOnly | KvAccess::Implied, "ab")},
                 MVT_FMV, 2);
    EXPECT_EQ(indexOf(last, 1), "97.98");
    EXPECT_EQ(last.IndexToValue(1, "97.98"), "");
    EXPECT_EQ(last.at(1).Value, "ab");

    Request notLast({item(KvSyntax::DisplayStr, KvAccess::ReadOnly | KvAccess::Implied, "ab"),
                     item(KvSyntax::Integer, KvAccess::ReadOnly, "3")},
                    MVT_FMV, 2);
    EXPECT_EQ(indexOf(notLast, 0), "2.97.98");
    EXPECT_EQ(notLast.IndexToValue(0, "2.97.98.3"), "3");
    EXPECT_EQ(notLast.at(0).Value, "ab");
}

TEST(IndexTest, KeyExamples)
{
    struct Case {
        int32_t syntax;
        uint32_t access;
        const char *value;
        const char *index;
        const char *readBack;
    } cases[] = {
        {KvSyntax::OctetStr, KvAccess::ReadOnly, "0AFF", "2.10.255", "0AFF"},
        {KvSyntax::MacAddress, KvAccess::ReadOnly, "000102030405", "0.1.2.3.4.5", "000102030405"},
        {KvSyntax::MacAddress, KvAccess::ReadOnly | KvAccess::Implied, "000102030405", "0.1.2.3.4.5",
         "000102030405"},
        {KvSyntax::MacAddress, KvAccess::ReadOnly, "0A0B", "", nullptr}, // fewer than 6 octets
        {KvSyntax::IpAddress, KvAccess::ReadOnly, "192.168.0.1", "192.168.0.1", "192.168.0.1"},
        {KvSyntax::Integer, KvAccess::ReadOnly, "-1", "4294967295", "-1"},
        {KvSyntax::Counter, KvAccess::ReadOnly, "4294967295", "4294967295", "4294967295"},
        {KvSyntax::Boolean, KvAccess::ReadOnly, "true", "1", "true"},
        {KvSyntax::Boolean, KvAccess::ReadOnly, "True", "0", "false"},
        {KvSyntax::Counter64, KvAccess::ReadOnly, "4294967298", "1.2", "4294967298"},
        {KvSyntax::ObjectId, KvAccess::ReadOnly, "1.3.6", "3.1.3.6", "1.3.6"},
        {KvSyntax::ObjectId, KvAccess::ReadOnly | KvAccess::Implied, "1.3.6", "1.3.6", "1.3.6"},
        {KvSyntax::TimeTicks, KvAccess::ReadOnly, "0:02:03.45", "12345", "0:02:03.45"},
        {KvSyntax::Null, KvAccess::ReadOnly, "(NULL)", "", "(NULL)"},
        {KvSyntax::DisplayStr, KvAccess::ReadOnly, "", "0", ""},
        {KvSyntax::DisplayStr, KvAccess::ReadOnly | KvAccess::Implied, "", "", ""},
        {KvSyntax::Double, KvAccess::ReadOnly, "1.5", "0.1073217536", "1.5"},
    };
    for (const auto &c : cases) {
        Request r({item(c.syntax, c.access, c.value)}, MVT_FMV, 1);
        EXPECT_EQ(indexOf(r, 0), c.index) << c.syntax << " " << c.value;
        if (c.readBack) {
            r.at(0).Value = "x";
            EXPECT_EQ(r.IndexToValue(0, c.index), "") << c.syntax << " " << c.value;
            EXPECT_EQ(r.at(0).Value, c.readBack) << c.syntax << " " << c.value;
        }
    }
}

TEST(IndexTest, EverySyntaxRoundTripsWithAndWithoutImplied)
{
    struct Case {
        int32_t syntax;
        const char *value;
    } cases[] = {
        {KvSyntax::Boolean, "true"},
        {KvSyntax::Integer, "-42"},
        {KvSyntax::BitStr, "80FF"},
        {KvSyntax::OctetStr, "00FF10"},
        {KvSyntax::Null, "(NULL)"},
        {KvSyntax::ObjectId, "1.3.6.1.4.1.32473"},
        {KvSyntax::IpAddress, "10.0.0.1"},
        {KvSyntax::Counter, "7"},
        {KvSyntax::Guage, "4294967295"},
        {KvSyntax::TimeTicks, "2 days, 0:00:00.05"},
        {KvSyntax::Opaque, "0102"},
        {KvSyntax::NsapAddr, "1.2.3.4"},
        {KvSyntax::Counter64, "18446744073709551615"},
        {KvSyntax::UInteger, "65535"},
        {KvSyntax::Double, "-2.75"},
        {KvSyntax::MacAddress, "00AABBCCDDEE"},
        {KvSyntax::DateTime, "2008-11-12,13:45:7.0,+8:0"},
        {KvSyntax::BcDateTime, "2024/02/29 01:02:03 pm"},
        {KvSyntax::DisplayStr, "ssid-1"},
    };
    for (bool implied : {false, true}) {
        for (const auto &c : cases) {
            uint32_t access = KvAccess::ReadOnly | (implied ? KvAccess::Implied : 0);
            // A trailing integer key shows that exactly the key's sub-identifiers are used.
            Request r({item(KvSyntax::Integer, KvAccess::ReadOnly, "9"), item(c.syntax, access, c.value)},
                      MVT_FMV, 2);
            Request first({item(c.syntax, access, c.value), item(KvSyntax::Integer, KvAccess::ReadOnly, "9")},
                          MVT_FMV, 2);
            AnsiString piece = indexOf(r, 1);
            r.at(1).Value = "x";
            EXPECT_EQ(r.IndexToValue(1, piece), "") << c.syntax << " implied " << implied;
            EXPECT_EQ(r.at(1).Value, c.value) << c.syntax << " implied " << implied;

            AnsiString key = indexOf(first, 0);
            AnsiString row = key.empty() ? "9" : key + ".9";
            first.at(0).Value = "x";
            EXPECT_EQ(first.IndexToValue(0, row), "9") << c.syntax << " implied " << implied;
            EXPECT_EQ(first.at(0).Value, c.value) << c.syntax << " implied " << implied;
        }
    }
}

TEST(IndexTest, FixedSizesAndKeysAfterThem)
{
    Request r({item(KvSyntax::DateTime, KvAccess::ReadOnly, "2008-11-12,13:45:7.0"),
               item(KvSyntax::Integer, KvAccess::ReadOnly, "5")},
              MVT_FMV, 2);
    AnsiString piece = indexOf(r, 0);
    EXPECT_EQ(Oid(piece).len(), 11u);
    EXPECT_EQ(r.IndexToValue(0, piece + ".5"), "5");
    EXPECT_EQ(r.IndexToValue(1, "5"), "");
    EXPECT_EQ(r.at(1).Value, "5");

    Request nullKey({item(KvSyntax::Null, KvAccess::ReadOnly), item(KvSyntax::Integer, KvAccess::ReadOnly)},
                    MVT_FMV, 2);
    EXPECT_EQ(nullKey.IndexToValue(0, "4.5"), "4.5");
    EXPECT_EQ(nullKey.at(0).Value, "(NULL)");
}

TEST(IndexTest, IndexesThatRunOutAreRefused)
{
    struct Case {
        int32_t syntax;
        const char *index;
    } cases[] = {
        {KvSyntax::OctetStr, "5.1.2"},   {KvSyntax::DisplayStr, "3.97"}, {KvSyntax::ObjectId, "4.1.3"},
        {KvSyntax::OctetStr, ""},        {KvSyntax::Integer, ""},        {KvSyntax::IpAddress, "10.0.0"},
        {KvSyntax::MacAddress, "1.2.3"}, {KvSyntax::DateTime, "1.2.3"},  {KvSyntax::Counter64, "1"},
        {KvSyntax::Double, "7"},         {KvSyntax::BcDateTime, "7"},    {KvSyntax::OctetStr, "4294967295"},
        {KvSyntax::Integer, "1..2"},
    };
    for (const auto &c : cases) {
        Request r({item(c.syntax, KvAccess::ReadOnly, "kept")}, MVT_FMV, 1);
        EXPECT_EQ(raisedCode([&] { r.IndexToValue(0, c.index); }), -514) << c.syntax << " " << c.index;
        EXPECT_EQ(r.at(0).Value, "kept");
    }
}

TEST(IndexTest, KeysThatTakeNoSubIdentifierAcceptAUsedUpIndex)
{
    Request nullLast({item(KvSyntax::Integer, KvAccess::ReadOnly), item(KvSyntax::Null, KvAccess::ReadOnly)},
                     MVT_FMV, 2);
    EXPECT_NO_THROW(nullLast.IndexToKeys("5"));
    EXPECT_EQ(nullLast.at(0).Value, "5");
    EXPECT_EQ(nullLast.at(1).Value, "(NULL)");

    for (int32_t syntax : {KvSyntax::OctetStr, KvSyntax::DisplayStr, KvSyntax::ObjectId}) {
        SCOPED_TRACE(syntax);
        Request emptyImplied({item(KvSyntax::Integer, KvAccess::ReadOnly),
                              item(syntax, KvAccess::NotAccess | KvAccess::Implied, "kept")},
                             MVT_FMV, 2);
        EXPECT_NO_THROW(emptyImplied.IndexToKeys("7"));
        EXPECT_EQ(emptyImplied.at(1).Value, "");
        EXPECT_EQ(emptyImplied.at(1).InstanceOid, emptyImplied.VarList.ColumnOid(1));
        // Without IMPLIED the length is missing: still refused.
        Request withLength({item(KvSyntax::Integer, KvAccess::ReadOnly), item(syntax, KvAccess::ReadOnly)},
                           MVT_FMV, 2);
        EXPECT_EQ(raisedCode([&] { withLength.IndexToKeys("7"); }), -514);
    }
    Request integerLast(
        {item(KvSyntax::Integer, KvAccess::ReadOnly), item(KvSyntax::Integer, KvAccess::ReadOnly)}, MVT_FMV,
        2);
    EXPECT_EQ(raisedCode([&] { integerLast.IndexToKeys("7"); }), -514);
}

TEST(IndexTest, BadSyntaxAndBadTexts)
{
    Request r({item(KvSyntax::Int16, KvAccess::ReadOnly, "1")}, MVT_FMV, 1);
    EXPECT_EQ(raisedCode([&] { r.IndexToValue(0, "1"); }), -511);
    EXPECT_EQ(raisedCode([&] { indexOf(r, 0); }), -511);
    Request ip({item(KvSyntax::IpAddress, KvAccess::ReadOnly, "1.2.3")}, MVT_FMV, 1);
    EXPECT_EQ(raisedCode([&] { indexOf(ip, 0); }), -418);
    Request oid({item(KvSyntax::ObjectId, KvAccess::ReadOnly, "1..2")}, MVT_FMV, 1);
    EXPECT_EQ(raisedCode([&] { indexOf(oid, 0); }), -417);
}

TEST(IndexTest, EndOfColumn)
{
    Request table({item(KvSyntax::Integer, KvAccess::ReadOnly)}, MVT_FMV, 1);
    Request scalars({item(KvSyntax::Integer, KvAccess::ReadOnly)}, MVT_SV, 0);
    const char *col = "1.3.6.1.2.1.2.2.1.2";
    struct Case {
        const char *column, *last, *answer;
        bool ended;
    } cases[] = {
        {col, "1.3.6.1.2.1.2.2.1.2.5", "1.3.6.1.2.1.2.2.1.3.1", true},
        {col, "1.3.6.1.2.1.2.2.1.2.5", "1.3.6.1.2.1.2.2.1.2.6", false},
        {col, "1.3.6.1.2.1.2.2.1.2.5", "1.3.6.1.2.1.2.2.1.2.5", true}, // did not move
        {col, "1.3.6.1.2.1.2.2.1.2.5", "1.3.6.1.2.1.2.2.1.2.4", true}, // moved backwards
        {col, "1.3.6.1.2.1.2.2.1.2.5", "1.3.6.1.2.1.2.2.1.2.5.1", false},
        {col, "", "1.3.6.1.2.1.2.2.1.2.1", false}, // first row
        {col, "", col, true},                      // no instance
        {col, "", "1.3.6.1.2.1.2.2.1.2", true},
        {"1.3.6.1.4.1.9.1", "", "1.3.6.1.4.1.9.10.5", true}, // X.1 does not own X.10.5
        {"1.3.6.1.4.1.9.1", "", "1.3.6.1.4.1.9.1.5", false},
        {col, "", "1.3.6.1.2.1.2.2.1", true}, // shorter
        {col, "", "", true},
        {col, "", "garbage", true},
        {col, "1.3.6.1.2.1.2.2.1.2.10", "1.3.6.1.2.1.2.2.1.2.9", true}, // 9 < 10 by sub-identifier
        {col, "1.3.6.1.2.1.2.2.1.2.9", "1.3.6.1.2.1.2.2.1.2.10", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(table.IsEndOfColumn(c.column, c.last, c.answer), c.ended)
            << c.answer << " after " << c.last;
        EXPECT_FALSE(scalars.IsEndOfColumn(c.column, c.last, c.answer));
    }
    Vb end(Oid("1.3.6.1.2.1.2.2.1.2.6"));
    end.set_exception_status(sNMP_SYNTAX_ENDOFMIBVIEW);
    EXPECT_TRUE(table.IsEndOfColumnAnswer(col, "1.3.6.1.2.1.2.2.1.2.5", end));
    Vb next(Oid("1.3.6.1.2.1.2.2.1.2.6"));
    next.set_value(int32_t(1));
    EXPECT_FALSE(table.IsEndOfColumnAnswer(col, "1.3.6.1.2.1.2.2.1.2.5", next));
}

TEST(IndexTest, WalkOverNonIncreasingAnswersEnds)
{
    // An agent that answers a get-next with the same or an earlier row: the walk must stop.
    Request table({item(KvSyntax::Integer, KvAccess::ReadOnly)}, MVT_FMV, 1);
    const AnsiString column = "1.3.6.1.4.1.32473.11.37.4.3.1.1";
    struct Agent {
        std::vector<AnsiString> answers;
    } agents[] = {
        {{".1", ".2", ".3", ".3", ".4"}},
        {{".1", ".5", ".2", ".6"}},
        {{".2", ".2.0", ".10", ".9", ".11"}},
    };
    for (const auto &agent : agents) {
        AnsiString last;
        std::size_t rows = 0;
        for (std::size_t step = 0; step < 1000; ++step) {
            AnsiString answer = column + agent.answers[step % agent.answers.size()];
            if (table.IsEndOfColumn(column, last, answer))
                break;
            last = answer;
            ++rows;
        }
        EXPECT_LT(rows, agent.answers.size());
    }
}

TEST(IndexTest, FailureCountOfANewRequestIsZero)
{
    Request r({item(KvSyntax::Integer)});
    EXPECT_EQ(r.FailureCount(), 0);
}

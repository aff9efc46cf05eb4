#include "Clock.h"
#include "KvExpression.h"
#include "KvOptionList.h"
#include "KvValueText.h"
#include "SnmpCoreTestSupport.h"

#include <cmath>

using namespace snmpcoretest;

TEST(ExpressionTest, ArithmeticPrecedenceAndGrouping)
{
    struct Case {
        const char *text;
        double value;
    } cases[] = {
        {"", 0},         {"2+3*4", 14}, {"2*3+4", 10},    {"(2+3)*4", 20},     {"-5", -5},
        {"10-2-3", 5},   {"8/4/2", 1},  {"2*-3", -6},     {"8/2*3", 12},       {"2-(3-4)", 3},
        {"-(2+3)", -5},  {"--4", 4},    {" 1 + 2 ", 3},   {"1.5e1+1", 16},     {"1e-1*10", 1},
        {"12abc+1", 13}, {"abc", 0},    {"2+", 2},        {"(1+2", 3},         {"0x10", 0},
        {"inf", 0},      {"nan+1", 1},  {"((((7))))", 7}, {"3*(2+(1-4))", -3}, {"+-+2", -2},
        {"100/8", 12.5},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(EvalArithmetic(c.text), c.value) << c.text;
    EXPECT_TRUE(std::isinf(EvalArithmetic("1/0")));
}

TEST(ExpressionTest, NowIsTheClocksDateTime)
{
    kv::ScopedClock clock(std::make_shared<kv::MockClock>());
    double now = kvsnmp::nowDateTime();
    EXPECT_GT(now, 46000.0); // 2026
    EXPECT_DOUBLE_EQ(EvalArithmetic("NOW"), now);
    EXPECT_DOUBLE_EQ(EvalArithmetic("now"), now);
    EXPECT_DOUBLE_EQ(EvalArithmetic(" NOW"), now);
    EXPECT_DOUBLE_EQ(EvalArithmetic("NOW+1"), now + 1);
    EXPECT_DOUBLE_EQ(EvalArithmetic("NOWX"), 0);
}

TEST(ExpressionTest, Conditions)
{
    struct Case {
        const char *text;
        bool value;
    } cases[] = {
        {"true", true},
        {"FALSE", false},
        {" true ", true},
        {"true|x", true},
        {"false&x", false},
        {"!false", true},
        {"!!true", true},
        {"!(1=2)", true},
        {"(1=1)&(2=2)", true},
        {"false|false|true", true},
        {"true&true&false", false},
        {"true|false&false", true}, // "&" binds tighter
        {"5 = 5", true},
        {"5 > 10", false}, // numbers compare as numbers
        {"10 > 9", true},
        {"1.0 = 1", true},
        {"-3 < 2", true},
        {"abc < abd", true},
        {"\"10\" > \"9\"", false}, // quoted texts compare as texts
        {"b >= a", true},
        {"a <= a", true},
        {"a <> b", true},
        {"a=b", false},
        {"\"a|b\" = \"a|b\"", true},
        {"\"a&b\" = \"a&b\" & true", true},
        {"\"x=y\" = \"x=y\"", true},
        {"\"a\"\"b\" = \"a\"\"b\"", true},
        {"\"(\" = \"(\"", true},
        {"( true )", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EvalCondition(c.text), c.value) << c.text;

    for (const char *bad : {"x", "", "true false", "(true) x", "true)", "5"}) {
        try {
            EvalCondition(bad);
            ADD_FAILURE() << bad;
        } catch (const Exception &e) {
            EXPECT_EQ(e.Message, "(KvCommon) Bad logic operand!") << bad;
            EXPECT_EQ(e.HelpContext, -1) << bad;
        }
    }
}

TEST(ExpressionTest, TextUtilities)
{
    EXPECT_EQ(ReplaceAll("aXa", "X", "XX"), "aXXa");
    EXPECT_EQ(ReplaceAll("aXa", "", "XX"), "aXa");
    EXPECT_EQ(ReplaceAll("[A][A]", "[A]", "1"), "11");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ScanNumber("12ab", 1, "0123456789"), 2);
    EXPECT_EQ(ScanNumber("12ab", 3, "0123456789"), 0);
    EXPECT_EQ(ScanNumber("12ab", 5, "0123456789"), 0);
    EXPECT_EQ(ScanNumber("12ab", 0, "0123456789"), 0);
    EXPECT_EQ(ScanNumber("1234", 2, "0123456789"), 4);
    EXPECT_EQ(Unquote("\"abc\""), "abc");
    EXPECT_EQ(Unquote("\""), "");
    EXPECT_EQ(Unquote("\"a\"\"b\""), "a\"b");
    EXPECT_EQ(Unquote("abc"), "abc");
    EXPECT_EQ(Quote("a\"b"), "\"a\"\"b\"");
    AnsiString left = "L", right = "R";
    EXPECT_EQ(FindOperator(gKvCompareOperators, "abc", left, right), -1);
    EXPECT_EQ(left, "L");
    EXPECT_EQ(FindOperator(gKvCompareOperators, "a<>b", left, right), 0);
    EXPECT_EQ(left, "a");
    EXPECT_EQ(right, "b");
    EXPECT_EQ(FindOperator(gKvCompareOperators, "a=b<c", left, right), 5);
    EXPECT_EQ(right, "b<c");
    EXPECT_EQ(FindOperator(gKvCompareOperators, "\"<\" >= x", left, right), 1);
    EXPECT_EQ(left, "\"<\" ");
}

TEST(ExpressionTest, ItemReferences)
{
    Request r({item(KvSyntax::Integer, KvAccess::ReadWrite, "5"),
               item(KvSyntax::DisplayStr, KvAccess::ReadWrite, "abc"),
               item(KvSyntax::Boolean, KvAccess::ReadWrite, "true"),
               item(KvSyntax::TimeTicks, KvAccess::ReadWrite, "0:00:01.00")});
    EXPECT_TRUE(r.IsConditionTrue(""));
    EXPECT_TRUE(r.IsConditionTrue("$0 = 5"));
    EXPECT_TRUE(r.IsConditionTrue("$1 = \"abc\""));
    EXPECT_FALSE(r.IsConditionTrue("$0 > 10"));
    EXPECT_TRUE(r.IsConditionTrue("$ = 5")); // a marker without digits is item 0
    EXPECT_TRUE(r.IsConditionTrue("$2 = 1"));
    EXPECT_TRUE(r.IsConditionTrue("$3 = 100"));
    EXPECT_EQ(r.ExpandExpression("$0+$2", false, "$"), "5+1");
    EXPECT_EQ(r.ExpandExpression("#1 = x", true, "#"), "\"abc\" = x");
    EXPECT_EQ(r.ExpandExpression("\"$0\" = $0", true, "$"), "\"$0\" = 5"); // literals are not expanded
    EXPECT_EQ(raisedCode([&] { r.ExpandExpression("$1+1", false, "$"); }), -513);
    EXPECT_EQ(raisedCode([&] { r.ExpandExpression("$12", true, "$"); }), -512);
    EXPECT_EQ(raisedCode([&] { r.ExpandExpression("$99999999999999999999", true, "$"); }), -512);
    r.at(0).Value = "(NULL)";
    EXPECT_EQ(raisedCode([&] { r.IsConditionTrue("$0 = 5"); }), -512);
}

TEST(ExpressionTest, ValuesCannotChangeTheExpression)
{
    Request r({item(KvSyntax::DisplayStr, KvAccess::ReadWrite, "$0"),
               item(KvSyntax::DisplayStr, KvAccess::ReadWrite, "a\"b"),
               item(KvSyntax::DisplayStr, KvAccess::ReadWrite, "x\" | \"y"),
               item(KvSyntax::Integer, KvAccess::ReadWrite, "1+1"),
               item(KvSyntax::DisplayStr, KvAccess::ReadWrite, "a|b")});
    EXPECT_EQ(r.ExpandExpression("$0", true, "$"), "\"$0\""); // no endless expansion
    EXPECT_TRUE(r.IsConditionTrue("$0 = \"$0\""));
    EXPECT_TRUE(r.IsConditionTrue("$1 = \"a\"\"b\""));
    EXPECT_FALSE(r.IsConditionTrue("$2 = \"y\""));
    EXPECT_TRUE(r.IsConditionTrue("$2 = \"x\"\" | \"\"y\""));
    EXPECT_EQ(r.ExpandExpression("$3*3", false, "$"), "1*3"); // a non-number goes in as its number
    EXPECT_TRUE(r.IsConditionTrue("$4 = \"a|b\""));
}

TEST(ExpressionTest, EvaluateItem)
{
    const KvOptionPair pairs[] = {{0, "Off"}, {1, "On"}, {}};
    KvOptionList options(pairs, okNumber, 0);
    Request r({item(KvSyntax::Integer, KvAccess::ReadWrite, "21"), item(KvSyntax::Boolean),
               item(KvSyntax::Counter), item(KvSyntax::Counter64), item(KvSyntax::Double),
               item(KvSyntax::TimeTicks), item(KvSyntax::BcDateTime),
               item(KvSyntax::DisplayStr, KvAccess::ReadWrite, "abc"),
               item(KvSyntax::Integer, KvAccess::ReadWrite, "", &options), item(KvSyntax::Int16),
               item(KvSyntax::UInt8), item(KvSyntax::Bool8)});
    struct Case {
        int index;
        const char *expression;
        const char *value;
    } cases[] = {
        {0, "$0*2", "42"},
        {1, "$0-21", "false"},
        {1, "3", "true"},
        {2, "-1", "4294967295"},
        {2, "4294967296+5", "5"},
        {0, "-7.9", "-7"},
        {0, "2147483648", "-2147483648"},
        {3, "2*2147483648", "4294967296"},
        {4, "1/4", "0.25"},
        {5, "100*60", "0:01:00.00"},
        {6, "2.25", "1900/01/01 06:00:00 am"},
        {8, "1", "On"},
        {9, "-3", "-3"},
        {10, "7", "7"},
        {11, "0", "false"},
    };
    for (const auto &c : cases) {
        r.at(c.index).GetExpression = c.expression;
        r.EvaluateItem(c.index, true);
        EXPECT_EQ(r.at(c.index).Value, c.value) << c.expression;
        r.at(c.index).GetExpression.clear();
        r.at(0).Value = "21";
    }

    r.at(0).SetExpression = "$0+1";
    r.EvaluateItem(0, true); // no get expression: nothing happens
    EXPECT_EQ(r.at(0).Value, "21");
    r.EvaluateItem(0, false);
    EXPECT_EQ(r.at(0).Value, "22");

    r.at(0).GetExpression = "$7+1";
    EXPECT_EQ(raisedCode([&] { r.EvaluateItem(0, true); }), -513);
    r.at(7).GetExpression = "1";
    EXPECT_EQ(raisedCode([&] { r.EvaluateItem(7, true); }), -513);
    r.at(0).GetExpression = "1/0";
    EXPECT_EQ(raisedCode([&] { r.EvaluateItem(0, true); }), -513);
    r.at(0).GetExpression = "0/0";
    EXPECT_EQ(raisedCode([&] { r.EvaluateItem(0, true); }), -513);
    r.at(0).GetExpression = "1e308*10";
    EXPECT_EQ(raisedCode([&] { r.EvaluateItem(0, true); }), -513);
    EXPECT_EQ(r.at(0).Value, "22");
}

TEST(ExpressionTest, FilterAndConditions)
{
    Request r({item(KvSyntax::Integer, KvAccess::ReadWrite, "3")});
    EXPECT_TRUE(r.MatchesFilter());
    r.Filter = "$0 <> 0";
    EXPECT_TRUE(r.MatchesFilter());
    r.at(0).Value = "0";
    EXPECT_FALSE(r.MatchesFilter());
    EXPECT_TRUE(r.MatchesCondition("$0 = 0"));
}

TEST(ExpressionTest, DeepNestingIsRefused)
{
    std::string deep(5000, '(');
    EXPECT_EQ(raisedCode([&] { EvalArithmetic(deep + "1"); }), -513);
    EXPECT_EQ(raisedCode([&] { EvalCondition(deep + "true"); }), -513);
    EXPECT_DOUBLE_EQ(EvalArithmetic(std::string(5000, '-') + "1"), 1);
}

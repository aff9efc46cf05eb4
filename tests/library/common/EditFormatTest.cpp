#include "Exception.h"
#include "KvEditFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

int formatError(const char *pattern)
{
    try {
        KvParseEditFormat(pattern);
    } catch (const Exception &e) {
        return e.HelpContext;
    }
    return 0;
}

TEST(EditFormatTest, BadPatternsRaiseMinusTwo)
{
    const char *bad[] = {
        "",          "%",
        "s",         "%q",
        "%u.",       "%s{z}",
        "%s{l8",     "%u{n1}x",
        "%n",        "%u{l3n1}",
        "%u{n}",     "%u{x-}",
        "%u{n1-2}",  "%u{n1.2.3}",
        "%s{e}",     "%s{w}",
        "%s{l}",     "%u{",
        "%u}",       "%u{n1}{x2}",
        "%s{ l1}",   "%s{w99999999999}",
        "%s{laaaa}", "%u{nx5}",
        "%u{ninf}",  "%u{n0xx}",
    };
    for (const char *pattern : bad)
        EXPECT_EQ(formatError(pattern), -2) << pattern;
}

TEST(EditFormatTest, GoodPatterns)
{
    const double lowest = std::numeric_limits<double>::lowest();
    const double highest = std::numeric_limits<double>::max();
    const struct {
        const char *pattern;
        char kind, delimiter;
        double minimum, maximum;
        int length;
        unsigned flags;
        char exitChar;
        int width;
    } cases[] = {
        {"%s", 's', 0, 0, 0, 0, 0, 0, 0},
        {"%h", 'h', 0, 0, 0, 0, 0, 0, 0},
        {"%i", 'i', 0, -2147483648.0, 2147483647.0, 0, 0, 0, 0},
        {"%u", 'u', 0, 0, 4294967295.0, 0, 0, 0, 0},
        {"%f", 'f', 0, lowest, highest, 0, 0, 0, 0},
        {"%n.", 'n', '.', 0, 4294967295.0, 0, 0, 0, 0},
        {"%u{n1x65535}", 'u', 0, 1, 65535, 0, 0, 0, 0},
        {"%u{n300x9999999}", 'u', 0, 300, 9999999, 0, 0, 0, 0},
        {"%s{l8f}", 's', 0, 0, 0, 8, 2, 0, 0},
        {"%s{l3a}", 's', 0, 0, 0, 3, 1, 0, 0},
        {"%s{l0n}", 's', 0, 0, 0, 0, 4, 0, 0},
        {"%u{n1l3}", 'u', 0, 1, 4294967295.0, 3, 0, 0, 0},
        {"%u{e.}", 'u', 0, 0, 4294967295.0, 0, 0, '.', 0},
        {"%n.{l4f}", 'n', '.', 0, 4294967295.0, 4, 2, 0, 0},
        {"%s{w120l5afn}", 's', 0, 0, 0, 5, 7, 0, 120},
        {"%s{l5aa}", 's', 0, 0, 0, 5, 1, 0, 0}, // a repeated letter sets its bit once
        {"%f{n-1.5x.5}", 'f', 0, -1.5, 0.5, 0, 0, 0, 0},
        {"%s{}", 's', 0, 0, 0, 0, 0, 0, 0},
        {"%s{e}}", 's', 0, 0, 0, 0, 0, '}', 0},
        {"%n{", 'n', '{', 0, 4294967295.0, 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pattern);
        KvEditFormat f = KvParseEditFormat(c.pattern);
        EXPECT_EQ(f.Kind, c.kind);
        EXPECT_EQ(f.Delimiter, c.delimiter);
        if (c.kind != 's' && c.kind != 'h') {
            EXPECT_EQ(f.Minimum, c.minimum);
            EXPECT_EQ(f.Maximum, c.maximum);
        }
        EXPECT_EQ(f.Length, c.length);
        EXPECT_EQ(f.Flags, c.flags);
        EXPECT_EQ(f.ExitChar, c.exitChar);
        EXPECT_EQ(f.Width, c.width);
    }
}

TEST(EditFormatTest, SplitBeforeEveryPercent)
{
    EXPECT_EQ(KvSplitEditFormat("%u{n1x65535}"), (std::vector<AnsiString>{"%u{n1x65535}"}));
    EXPECT_EQ(KvSplitEditFormat("%u%s{l8}%h"), (std::vector<AnsiString>{"%u", "%s{l8}", "%h"}));
    EXPECT_EQ(KvSplitEditFormat("ab%u"), (std::vector<AnsiString>{"ab", "%u"}));
    EXPECT_EQ(KvSplitEditFormat(""), (std::vector<AnsiString>{}));
}

TEST(EditFormatTest, FilterRemovesEveryDisallowedCharacter)
{
    const struct {
        const char *pattern, *text, *kept;
    } cases[] = {
        {"%u{n1x65535}", "12a", "12"},
        {"%u", "a1b2-c3", "123"},
        {"%h", "0aFg", "0aF"},
        {"%s", "any text!", "any text!"},
        {"%i", "-12-3", "-123"},
        {"%i", "1-2", "12"},
        {"%f", "-1.2.3", "-1.23"},
        {"%f", ".5-", ".5"},
        {"%n.", "1..2", "1.2"},
        {"%n.", ".1", "1"},
        {"%n.", "192.168.0.1", "192.168.0.1"},
        {"%n,", "1.2,3", "12,3"},
        {"%u", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KvFilterEditText(KvParseEditFormat(c.pattern), c.text), c.kept)
            << c.pattern << " " << c.text;
}

TEST(EditFormatTest, ExitChecks)
{
    const std::string huge(400, '9');
    const struct {
        const char *pattern, *text;
        int entry;
        const char *message; // empty: not checked
    } cases[] = {
        {"%u{n1x65535}", "0", 8, "(KvCommon) Please enter a number between 1 and 65535!"},
        {"%u{n1x65535}", "65535", 0, ""},
        {"%u{n1x65535}", "65536", 8, ""},
        {"%u", "99999999999", 8, "(KvCommon) Please enter a number between 0 and 4294967295!"},
        {"%u", "4294967295", 0, ""},
        {"%i", "-2147483649", 8, "(KvCommon) Please enter a number between -2147483648 and 2147483647!"},
        {"%i", "-", 8, ""},
        {"%f", ".", 8, ""},
        {"%f", "-.5", 0, ""},
        {"%f", huge.c_str(), 8, ""},
        {"%u", "", 0, ""},
        {"%s{l0n}", "", 3, "(KvCommon) Empty value is not allowed!"},
        {"%s{l8f}", "abc", 5, "(KvCommon) Please enter a string whose length is 8!"},
        {"%s{l8f}", "abcdefgh", 0, ""},
        {"%s{l8}", "abc", 0, ""},
        {"%s{l2}", "abc", 4, "(KvCommon) Please enter a string whose length is less than 2!"},
        {"%h{l12f}", "00112233445", 7, "(KvCommon) Please enter a hex string whose length is 12!"},
        {"%h{l4}", "00112", 6, "(KvCommon) Please enter a hex string whose length is less than 4!"},
        {"%n.{l4f}", "1.2.3", 10,
         "(KvCommon) Please enter a delimited number string with delimiter '.'.\nHere,the count of the "
         "number "
         "is equal to 4!"},
        {"%n.{l4f}", "1.2.3.4", 0, ""},
        {"%n.{l2}", "1.2.3", 9,
         "(KvCommon) Please enter a delimited number string with delimiter '.'.\nHere,the count of the "
         "number "
         "is less than 2!"},
        {"%n.{x255}", "192.168.0.256", 11,
         "(KvCommon) Please enter a delimited number string with delimiter '.'.\nHere,each number is between "
         "0 "
         "and 255!"},
        {"%n.", "4294967296", 11, ""},
        {"%n.", "4294967295.1", 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + c.text);
        KvEditFormat format = KvParseEditFormat(c.pattern);
        AnsiString message;
        EXPECT_EQ(KvCheckEditText(format, c.text, message), c.entry);
        if (*c.message) {
            EXPECT_EQ(message, c.message);
        }
        if (c.entry == 0) {
            EXPECT_TRUE(message.empty());
        }
    }
}

TEST(EditFormatTest, NegativeBoundsOfNumberListsAreCut)
{
    KvEditFormat f = KvParseEditFormat("%n,{n-5x7}");
    AnsiString message;
    EXPECT_EQ(KvCheckEditText(f, "0,7", message), 0);
    EXPECT_EQ(KvCheckEditText(f, "8", message), 11);
    EXPECT_NE(message.find("between 0 and 7"), AnsiString::npos);
}

} // namespace

#include "Exception.h"
#include "KvCommonTexts.h"
#include "KvMessageFile.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

class MessageFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = kvtest::makeTempDir("kvmsg"); }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string write(const std::string &content)
    {
        std::string path = m_dir + "/test.err";
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    std::string m_dir;
};

std::vector<AnsiString> builtIn(std::size_t n)
{
    std::vector<AnsiString> table;
    for (std::size_t i = 0; i < n; ++i)
        table.push_back("built-in " + std::to_string(i));
    return table;
}

TEST_F(MessageFileTest, FileContentsBecomeEntries)
{
    const struct {
        const char *name;
        std::string content;
        std::vector<AnsiString> expected; // first entries; the rest keep their built-in texts
    } cases[] = {
        {"blank lines skipped", "A\n\n   \nB\n", {"A", "B"}},
        {"inner and outer spaces kept", "  lead\ntrail  \n", {"  lead", "trail  "}},
        {"last line without line feed", "one\nlast", {"one", "last"}},
        {"CR LF like LF", "A\r\n\r\nB\r\n", {"A", "B"}},
        {"control-only line skipped", "\t\x01\nX\n", {"X"}},
        {"lone CR kept", "a\rb\n", {"a\rb"}},
        {"1500 characters split",
         std::string(1500, 'x') + "\n",
         {std::string(1023, 'x'), std::string(477, 'x')}},
        {"1022 characters and CR LF stay one entry",
         std::string(1022, 'y') + "\r\nZ\n",
         {std::string(1022, 'y'), "Z"}},
    };
    for (const auto &c : cases) {
        auto table = builtIn(4);
        ReadTextLines(table, write(c.content));
        for (std::size_t i = 0; i < table.size(); ++i) {
            AnsiString expected = i < c.expected.size() ? c.expected[i] : "built-in " + std::to_string(i);
            EXPECT_EQ(table[i], expected) << c.name << " entry " << i;
        }
    }
}

TEST_F(MessageFileTest, NothingUsableLeavesTable)
{
    auto table = builtIn(3);
    ReadTextLines(table, m_dir + "/missing.err");
    EXPECT_EQ(table, builtIn(3));
    ReadTextLines(table, write(" \n\r\n\t\n"));
    EXPECT_EQ(table, builtIn(3));
    ReadTextLines(table, write(""));
    EXPECT_EQ(table, builtIn(3));
}

TEST_F(MessageFileTest, LinesBeyondTableUnused)
{
    auto table = builtIn(2);
    ReadTextLines(table, write("a\nb\nc\nd\n"));
    EXPECT_EQ(table, (std::vector<AnsiString>{"a", "b"}));
}

TEST_F(MessageFileTest, ReplacesCommonTable)
{
    auto saved = gKvCommonTexts;
    ReadTextLines(gKvCommonTexts, write("(KvCommon) Fine!\n(KvCommon) Bad operand\n"));
    EXPECT_EQ(gKvCommonTexts[0], "(KvCommon) Fine!");
    EXPECT_EQ(KvCommonText(-1), "(KvCommon) Bad operand");
    EXPECT_EQ(gKvCommonTexts[2], saved[2]);
    gKvCommonTexts = saved;
}

TEST(CommonTextsTest, TableAndRaise)
{
    EXPECT_EQ(gKvCommonTexts.size(), 19u);
    EXPECT_EQ(KvCommonText(0), "(KvCommon) Ok!");
    EXPECT_EQ(KvCommonText(-18), "(KvCommon) Fail to read option data from file([FILENAME])!");
    EXPECT_EQ(KvCommonText(-19), "");
    EXPECT_EQ(KvCommonText(1), "");
    EXPECT_NE(gKvCommonTexts[9].find("'[DELIMITER]'.\nHere,the count"), AnsiString::npos);
    try {
        KvCommonRaise(-2);
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -2);
        EXPECT_EQ(e.Message, "(KvCommon) Bad format specifier of edit's constraint!");
    }
}

} // namespace

#include "KvCommonUtils.h"
#include "KvDateTime.h"
#include "KvIni.h"
#include "KvNetInterface.h"
#include "KvNumList.h"
#include "KvNumberText.h"
#include "KvPath.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <clocale>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

namespace fs = std::filesystem;

TEST(IntPowerTest, Table)
{
    const struct {
        uint32_t base, exponent, expected;
    } cases[] = {
        {2, 10, 1024},       {2, 32, 0},          {0, 0, 1},           {7, 0, 1},
        {4294967295u, 0, 1}, {3, 1, 3},           {10, 9, 1000000000}, {10, 10, 1410065408u},
        {0, 5, 0},           {1, 4294967295u, 1}, {4294967295u, 2, 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IntPower(c.base, c.exponent), c.expected) << c.base << "^" << c.exponent;
}

TEST(JoinPathTest, Table)
{
    const struct {
        const char *folder, *name, *expected;
    } cases[] = {
        {"", "name", "name"},
        {"/a", "b", "/a/b"},
        {"/a/", "b", "/a/b"},
        {"C:\\a\\", "b", "C:\\a\\b"},
        {"rel", "KvSNMP_PP_BootCounter", "rel/KvSNMP_PP_BootCounter"},
        {"/", "x", "/x"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(JoinPath(c.folder, c.name), c.expected);
}

TEST(ResolvePathNoCaseTest, FindsFoldersWhateverTheirCase)
{
    std::string dir = kvtest::makeTempDir("kvpath");
    fs::create_directories(dir + "/errmsg");
    std::ofstream(dir + "/errmsg/Common.err") << "x\n";
    EXPECT_EQ(ResolvePathNoCase(dir + "/errMSg/common.err"), dir + "/errmsg/Common.err");
    EXPECT_EQ(ResolvePathNoCase(dir + "/ERRMSG/"), dir + "/errmsg/");
    EXPECT_EQ(ResolvePathNoCase(dir + "/errmsg/Common.err"), dir + "/errmsg/Common.err");
    // Missing names stay as written.
    EXPECT_EQ(ResolvePathNoCase(dir + "/errMSg/snmp.err"), dir + "/errmsg/snmp.err");
    EXPECT_EQ(ResolvePathNoCase(dir + "/none/x"), dir + "/none/x");
    EXPECT_EQ(ResolvePathNoCase(""), "");
    // Relative paths resolve against the current folder.
    auto saved = fs::current_path();
    fs::current_path(dir);
    EXPECT_EQ(ResolvePathNoCase("ERRmsg/COMMON.ERR"), "errmsg/Common.err");
    fs::current_path(saved);
    fs::remove_all(dir);
}

class IniTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = kvtest::makeTempDir("kvini");
        m_file = m_dir + "/192.168.0.1.cfg";
        std::ofstream(m_file, std::ios::binary) << "\xEF\xBB\xBF; host settings\r\n"
                                                   "[Other]\r\n"
                                                   "AgentPort=1\r\n"
                                                   "  [ Program Information ]  \r\n"
                                                   "  AgentPort =  161  \r\n"
                                                   "Version=\r\n"
                                                   "ContextName=\"quoted  \"\r\n"
                                                   "SecurityName='x'\r\n"
                                                   "Odd=\"unbalanced\r\n"
                                                   "AuthPassword=a=b;c\\d,e\r\n"
                                                   "agentport=999\r\n"
                                                   "NoEquals\r\n"
                                                   "Tabbed=\tv\t\r\n"
                                                   "[program information]\r\n"
                                                   "PrivPassword=second section\r\n"
                                                   "[Last]\n"
                                                   "Long="
                                                << std::string(5000, 'L') << "\n";
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string m_dir, m_file;
};

TEST_F(IniTest, ReadsByProfileRules)
{
    KvIni ini(m_file);
    const struct {
        const char *section, *key, *def, *expected;
    } cases[] = {
        {"Program Information", "AgentPort", "", "161"},
        {"program INFORMATION", "AGENTPORT", "", "161"},
        {"Other", "AgentPort", "", "1"},
        {"Program Information", "Version", "dflt", "dflt"},
        {"Program Information", "Version", " spaced ", " spaced "},
        {"Program Information", "Missing", " spaced ", "spaced"},
        {"Program Information", "Missing", "", ""},
        {"Program Information", "ContextName", "", "quoted"},
        {"Program Information", "SecurityName", "", "x"},
        {"Program Information", "Odd", "", "\"unbalanced"},
        {"Program Information", "AuthPassword", "", "a=b;c\\d,e"},
        {"Program Information", "NoEquals", "d", "d"},
        {"Program Information", "Tabbed", "", "v"},
        {"Program Information", "PrivPassword", "none", "none"},
        {"Nowhere", "AgentPort", "x", "x"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, c.def), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.ReadString("Last", "Long", "").size(), 4095u);
}

TEST_F(IniTest, MissingFileGivesDefault)
{
    KvIni ini(m_dir + "/none.cfg");
    EXPECT_EQ(ini.ReadString("a", "b", "  d  "), "d");
    EXPECT_EQ(ini.ReadString("a", "b", ""), "");
}

TEST(DateTimeTest, Format)
{
    KvDateTime t;
    t.Year = 2008;
    t.Month = 11;
    t.Day = 12;
    t.Hour = 13;
    t.Minutes = 45;
    t.Seconds = 7;
    t.Direction = '+';
    EXPECT_EQ(t.Format(), "2008-11-12,13:45:7.0");
    t.UtcHours = 8;
    EXPECT_EQ(t.Format(), "2008-11-12,13:45:7.0,+8:0");
    t.Direction = 0; // no direction: no offset shown
    EXPECT_EQ(t.Format(), "2008-11-12,13:45:7.0");
    t.Direction = '-';
    t.UtcMinutes = 30;
    EXPECT_EQ(t.Format(), "2008-11-12,13:45:7.0,-8:30");
}

TEST(DateTimeTest, Parse)
{
    const struct {
        const char *text;
        int year, month, day, hour, minutes, seconds, deci;
        char direction;
        int utcHours, utcMinutes;
    } cases[] = {
        {"2008-11-12,13:45:7.0,-5:30", 2008, 11, 12, 13, 45, 7, 0, '-', 5, 30},
        {"2008-11-12,13:45:7.0", 2008, 11, 12, 13, 45, 7, 0, '+', 0, 0},
        {"2008-11-12,13:45:7.3,+8:0", 2008, 11, 12, 13, 45, 7, 3, '+', 8, 0},
        {"2008-11-12,13:45:7.0,+5", 2008, 11, 12, 13, 45, 7, 0, '+', 5, 0},
        {"2008-11-12,13:45:7.0,-5", 2008, 11, 12, 13, 45, 7, 0, '-', 5, 0},
        {"2008-11-12", 2008, 11, 12, 0, 0, 0, 0, '+', 0, 0},
        {"", 0, 0, 0, 0, 0, 0, 0, '+', 0, 0},
        {"garbage", 0, 0, 0, 0, 0, 0, 0, '+', 0, 0},
        {"70000-300-1,1:1:1.1", 70000 & 0xFFFF, 300 & 0xFF, 1, 1, 1, 1, 1, '+', 0, 0},
        {"99999999999999999999999-1", -1, 1, 0, 0, 0, 0, 0, '+', 0, 0},
        {"-1-2-3", 0xFFFF, 2, 3, 0, 0, 0, 0, '+', 0, 0},
        // The most negative 64-bit number and beyond are cut like any other, without overflow.
        {"-9223372036854775808-2-3", 0, 2, 3, 0, 0, 0, 0, '+', 0, 0},
        {"-18446744073709551617-2-3", -1, 2, 3, 0, 0, 0, 0, '+', 0, 0},
    };
    for (const auto &c : cases) {
        KvDateTime t;
        t.Parse(c.text);
        if (c.year >= 0) {
            EXPECT_EQ(t.Year, c.year) << c.text;
        }
        EXPECT_EQ(t.Month, c.month) << c.text;
        EXPECT_EQ(t.Day, c.day) << c.text;
        EXPECT_EQ(t.Hour, c.hour) << c.text;
        EXPECT_EQ(t.Minutes, c.minutes) << c.text;
        EXPECT_EQ(t.Seconds, c.seconds) << c.text;
        EXPECT_EQ(t.DeciSeconds, c.deci) << c.text;
        EXPECT_EQ(t.Direction, c.direction) << c.text;
        EXPECT_EQ(t.UtcHours, c.utcHours) << c.text;
        EXPECT_EQ(t.UtcMinutes, c.utcMinutes) << c.text;
    }
}

TEST(DateTimeTest, WireRoundTrip)
{
    const uint8_t wire[11] = {0x07, 0xD8, 11, 12, 13, 45, 7, 0, '+', 8, 0};
    KvDateTime t;
    t.Assign(wire);
    t.SwapYear();
    EXPECT_EQ(t.Year, 2008);
    EXPECT_EQ(t.Format(), "2008-11-12,13:45:7.0,+8:0");
    t.SwapYear();
    uint8_t back[11];
    t.GetOctets(back);
    EXPECT_EQ(std::memcmp(back, wire, 11), 0);
}

TEST(DateTimeTest, EightOctetsWithoutOffset)
{
    // Exactly eight octets on the heap, so reading a ninth would be caught by the sanitizer.
    auto wire = std::make_unique<uint8_t[]>(8);
    const uint8_t bytes[8] = {0x07, 0xD8, 1, 2, 3, 4, 5, 6};
    std::memcpy(wire.get(), bytes, 8);
    KvDateTime t;
    t.Assign(wire.get(), 8);
    t.SwapYear();
    EXPECT_EQ(t.Format(), "2008-1-2,3:4:5.6");
    EXPECT_EQ(t.Direction, 0);
    t.Assign(nullptr, 0);
    EXPECT_EQ(t.Format(), "0-0-0,0:0:0.0");
}

TEST(DateTimeTest, SetNowIsLocalTime)
{
    KvDateTime t;
    std::time_t before = std::time(nullptr);
    t.SetNow();
    std::tm local{};
    localtime_r(&before, &local);
    EXPECT_EQ(t.Year, local.tm_year + 1900);
    EXPECT_EQ(t.Month, local.tm_mon + 1);
    EXPECT_EQ(t.DeciSeconds, 0);
    EXPECT_EQ(t.Direction, '+');
    EXPECT_EQ(t.UtcHours, 0);
    EXPECT_EQ(t.UtcMinutes, 0);
}

TEST(NetInterfaceTest, ListsLoopback)
{
    KvNetInterface records[KvMaxNetInterfaces];
    records[9].Address = "stale";
    int count = GetLocalInterfaces(records);
    ASSERT_GE(count, 1);
    ASSERT_LE(count, KvMaxNetInterfaces);
    bool loopback = false;
    for (int i = 0; i < count; ++i) {
        if (records[i].Address == "127.0.0.1") {
            loopback = true;
            EXPECT_EQ(records[i].Loopback, 1);
            EXPECT_EQ(records[i].Up, 1);
            EXPECT_EQ(records[i].Netmask, "255.0.0.0");
        }
    }
    EXPECT_TRUE(loopback);
    for (int i = count; i < KvMaxNetInterfaces; ++i)
        EXPECT_TRUE(records[i].Address.empty());
}

TEST(NetInterfaceTest, MoreThanTenGiveTheFirstTen)
{
    // Twelve IPv4 entries with an IPv6 one and one without address in between.
    std::vector<sockaddr_in> addresses(12), masks(12);
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    std::vector<ifaddrs> entries(14);
    char name[] = "eth";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = ifaddrs{};
        entries[i].ifa_name = name;
        entries[i].ifa_next = i + 1 < entries.size() ? &entries[i + 1] : nullptr;
    }
    std::size_t v4 = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == 1) {
            entries[i].ifa_addr = reinterpret_cast<sockaddr *>(&v6);
            continue;
        }
        if (i == 2)
            continue; // no address at all
        addresses[v4].sin_family = AF_INET;
        addresses[v4].sin_addr.s_addr = htonl(0x0A000001u + static_cast<uint32_t>(v4));
        masks[v4].sin_family = AF_INET;
        masks[v4].sin_addr.s_addr = htonl(0xFFFFFF00u);
        entries[i].ifa_addr = reinterpret_cast<sockaddr *>(&addresses[v4]);
        entries[i].ifa_netmask = reinterpret_cast<sockaddr *>(&masks[v4]);
        entries[i].ifa_flags = v4 == 0 ? (IFF_UP | IFF_BROADCAST | IFF_MULTICAST) : IFF_POINTOPOINT;
        ++v4;
    }
    KvNetInterface records[KvMaxNetInterfaces];
    ASSERT_EQ(KvInterfacesFromList(entries.data(), records), 10);
    EXPECT_EQ(records[0].Address, "10.0.0.1");
    EXPECT_EQ(records[0].Netmask, "255.255.255.0");
    EXPECT_EQ(records[0].Up, 1);
    EXPECT_EQ(records[0].Broadcast, 1);
    EXPECT_EQ(records[0].Multicast, 1);
    EXPECT_EQ(records[0].PointToPoint, 0);
    EXPECT_EQ(records[1].PointToPoint, 1);
    EXPECT_EQ(records[1].Up, 0);
    EXPECT_EQ(records[9].Address, "10.0.0.10");
    EXPECT_EQ(KvInterfacesFromList(nullptr, records), 0);
    EXPECT_TRUE(records[0].Address.empty());
}

TEST(NumListTest, UnsignedParse)
{
    const struct {
        const char *text;
        std::vector<unsigned> numbers;
        bool overflow;
    } cases[] = {
        {"3,10,7", {3, 10, 7}, false},
        {"", {}, false},
        {"5,", {5, 0}, false},
        {",", {0, 0}, false},
        {"4294967295", {4294967295u}, false},
        {"4294967296", {0}, true},
        {"12.75,3", {12, 3}, false},
        {"99999999999999999999999", {}, true},
    };
    for (const auto &c : cases) {
        KvNumList<unsigned int> list;
        list.Delimiter = ',';
        list.Parse(c.text);
        EXPECT_EQ(list.Overflowed(), c.overflow) << c.text;
        if (c.overflow && c.numbers.empty())
            continue;
        EXPECT_EQ(list.Count, static_cast<int32_t>(c.numbers.size())) << c.text;
        EXPECT_EQ(list.Numbers, c.numbers) << c.text;
    }
}

TEST(NumListTest, SignedParseAndQueries)
{
    KvNumList<int> list;
    EXPECT_EQ(list.Delimiter, '.');
    EXPECT_EQ(list.FieldCount(nullptr), 0);
    EXPECT_EQ(list.FieldCount(""), 0);
    EXPECT_EQ(list.FieldCount("1.2.3"), 3);
    list.Delimiter = ',';
    list.Parse("3,10,7");
    EXPECT_EQ(list.Count, 3);
    EXPECT_EQ(list.IndexOf(10), 1);
    EXPECT_EQ(list.IndexOf(4), -1);
    EXPECT_TRUE(list.InRange(3, 10));
    EXPECT_FALSE(list.InRange(4, 10));
    list.Parse("5.9,2");
    EXPECT_EQ(list[0], 5);
    list.Parse(nullptr);
    EXPECT_EQ(list.Count, 0);
    EXPECT_TRUE(list.InRange(1, 0));
    KvNumList<unsigned int> empty;
    EXPECT_TRUE(empty.InRange(5, 6));
}

TEST(NumberTextTest, ParseInt32)
{
    const struct {
        const char *text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"-2147483648", true, INT32_MIN},
        {"2147483647", true, INT32_MAX},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"0x10", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"inf", false, 0},
        {"+7", true, 7},
    };
    for (const auto &c : cases) {
        int32_t value = 0;
        EXPECT_EQ(kv::parseInt32(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(NumberTextTest, DecimalsIgnoreLocale)
{
    // A locale with a decimal comma must not change how "1.5" reads or prints.
    const char *saved = std::setlocale(LC_NUMERIC, nullptr);
    std::string savedName = saved ? saved : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    double value = 0;
    EXPECT_TRUE(kv::parseDecimal("1.5", value));
    EXPECT_EQ(value, 1.5);
    EXPECT_EQ(kv::floatText(0.5), "0.5");
    std::setlocale(LC_NUMERIC, savedName.c_str());

    const struct {
        const char *text;
        bool ok;
        double value;
    } cases[] = {
        {"-5", true, -5},  {"1.", true, 1},     {".5", true, 0.5}, {"-", false, 0},   {".", false, 0},
        {"1-2", false, 0}, {"1.2.3", false, 0}, {"inf", false, 0}, {"nan", false, 0}, {"0x10", false, 0},
        {"1e5", false, 0}, {"", false, 0},      {"+1", false, 0},
    };
    for (const auto &c : cases) {
        double v = 0;
        EXPECT_EQ(kv::parseDecimal(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(NumberTextTest, FloatText)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {1, "1"},
        {65535, "65535"},
        {-2147483648.0, "-2147483648"},
        {4294967295.0, "4294967295"},
        {0, "0"},
        {2.5, "2.5"},
        {std::numeric_limits<double>::max(), "1.79769313486232E308"},
        {-1.7976931348623157e308, "-1.79769313486232E308"},
        {1e-7, "1E-7"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(kv::floatText(c.value), c.text);
}

} // namespace

#include "NetUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(IsValidIPAddress, Table)
{
    struct Case {
        const char *text;
        bool valid;
    };
    const Case cases[] = {
        {"192.168.0.1", true},
        {"1.0.0.1", true},
        {"223.255.255.254", true},
        {"10.1.2.3", true},
        {"127.0.0.1", true},
        {"010.001.002.003", true},
        {"0.1.2.3", false},
        {"224.0.0.1", false},
        {"255.255.255.255", false},
        {"192.168.0.0", false},
        {"192.168.0.255", false},
        {"192.168.256.1", false},
        {"192.256.0.1", false},
        {"192.168.0", false},
        {"192.168.0.1.5", false},
        {"192.168..1", false},
        {".168.0.1", false},
        {"abc.def.ghi.jkl", false},
        {"", false},
        {"...", false},
        {"192.168.0.1 ", false},
        {" 192.168.0.1", false},
        {"192.168.0.-1", false},
        {"192.168.0.+1", false},
        {"192.168.0.0x1", false},
        {"99999999999.1.1.1", false},
        {"192.168.0.99999999999999999999", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsValidIPAddress(c.text), c.valid) << '"' << c.text << '"';
}

TEST(IsValidSubnetMask, Table)
{
    struct Case {
        const char *text;
        bool valid;
    };
    const Case cases[] = {
        {"255.255.255.0", true},    {"255.255.255.254", true},  {"192.0.0.0", true},
        {"255.0.0.0", true},        {"255.255.0.0", true},      {"255.255.255.128", true},
        {"255.255.255.252", true},  {"255.255.255.255", false}, {"128.0.0.0", false},
        {"0.0.0.0", false},         {"255.0.255.0", false},     {"127.0.0.0", false},
        {"255.255.255.1", false},   {"255.255.256.0", false},   {"255.255.255", false},
        {"255.255.255.0.0", false}, {"255.255..0", false},      {"", false},
        {"a.b.c.d", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsValidSubnetMask(c.text), c.valid) << '"' << c.text << '"';
}

TEST(IsValidSubnetMask, AcceptsExactlyTwoToThirtyOneOnes)
{
    for (int ones = 0; ones <= 32; ++ones) {
        uint32_t bits = ones == 0 ? 0 : ~uint32_t(0) << (32 - ones);
        std::string text = std::to_string(bits >> 24) + "." + std::to_string((bits >> 16) & 255) + "." +
                           std::to_string((bits >> 8) & 255) + "." + std::to_string(bits & 255);
        EXPECT_EQ(IsValidSubnetMask(text), ones >= 2 && ones <= 31) << text;
    }
}

TEST(NetworkAddressOf, Table)
{
    struct Case {
        const char *address;
        const char *mask;
        const char *network;
    };
    const Case cases[] = {
        {"192.168.10.77", "255.255.255.0", "192.168.10.0"},
        {"10.1.2.200", "255.255.255.128", "10.1.2.128"},
        {"10.1.2.200", "255.255.0.0", "10.1.0.0"},
        {"192.168.0.50", "255.255.255.0", "192.168.0.0"},
        {"10.1.2", "255.255.255.255", "10.1.2.0"},
        {"10.x.2.3", "255.255.255.0", "10.0.2.0"},
        {"", "", "0.0.0.0"},
        {"300.1.1.1", "255.255.255.255", "44.1.1.1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NetworkAddressOf(c.address, c.mask), c.network) << c.address << " / " << c.mask;
}

TEST(AddressReport, TakesIpAddressLinesOnceWithTheirBlank)
{
    const std::vector<AnsiString> report = {
        "Ethernet adapter:",
        "        IP Address. . . . . . . . . . . . : 10.0.0.5",
        "        Subnet Mask . . . . . . . . . . . : 255.255.255.0",
        "        Default Gateway . . . . . . . . . : 10.0.0.1",
        "        IP Address without colon",
    };
    LocalAddressLists lists;
    TakeAddressReport(lists, report);
    TakeAddressReport(lists, report);
    ASSERT_EQ(lists.IpAddressList.size(), 1u);
    EXPECT_EQ(lists.IpAddressList[0], " 10.0.0.5");
    EXPECT_EQ(lists.IpConfigList, report);
}

TEST(AddressReport, DefaultGatewayIsNeverAnAddress)
{
    LocalAddressLists lists;
    TakeAddressReport(lists, std::vector<AnsiString>{"Default Gateway (IP Address) : 10.0.0.1"});
    EXPECT_TRUE(lists.IpAddressList.empty());
}

TEST(AddressReport, ListOnlyGrowsAndAFailedReportKeepsIt)
{
    LocalAddressLists lists;
    TakeAddressReport(lists, std::vector<AnsiString>{"IP Address: 10.0.0.5"});
    TakeAddressReport(lists, std::vector<AnsiString>{"IP Address: 10.0.0.6", "IP Address: 10.0.0.5"});
    EXPECT_EQ(lists.IpAddressList, (std::vector<AnsiString>{" 10.0.0.5", " 10.0.0.6"}));
    TakeAddressReport(lists, std::nullopt);
    EXPECT_TRUE(lists.IpConfigList.empty());
    EXPECT_EQ(lists.IpAddressList.size(), 2u);
}

TEST(AddressReport, LocalReportHasNoLoopbackAndParses)
{
    auto report = LocalAddressReportLines();
    ASSERT_TRUE(report.has_value());
    LocalAddressLists lists;
    std::vector<AnsiString> handed;
    TakeAddressReport(lists, report);
    for (const auto &entry : lists.IpAddressList) {
        EXPECT_EQ(entry.rfind(" ", 0), 0u) << entry;
        EXPECT_NE(entry, " 127.0.0.1");
    }
    GetLocalIPAddresses(lists, handed);
    EXPECT_EQ(handed, lists.IpAddressList);
}

TEST(LocalInterfaces, IncludeLoopbackAtMostTen)
{
    auto interfaces = LocalInterfaceAddresses();
    EXPECT_LE(interfaces.size(), 10u);
    bool loopback = std::any_of(interfaces.begin(), interfaces.end(),
                                [](const KvNetInterface &i) { return i.Address == "127.0.0.1"; });
    EXPECT_TRUE(loopback);
}

TEST(SelectLocalTftpAddress, FirstInterfaceOnTheDevicesNetworkWins)
{
    const std::vector<KvNetInterface> interfaces = {
        {"172.16.0.9", "255.255.0.0"},
        {"192.168.1.10", "255.255.255.0"},
        {"192.168.1.11", "255.255.255.0"},
    };
    LocalAddressLists lists;
    AnsiString target = "stale";
    EXPECT_TRUE(SelectLocalTftpAddress(interfaces, {"192.168.1.1", "255.255.255.0", "192.168.1.1"}, lists,
                                       std::vector<AnsiString>{}, target));
    EXPECT_EQ(target, "192.168.1.10");
    // The report was not needed, so it was not taken.
    EXPECT_TRUE(lists.IpConfigList.empty());
}

TEST(SelectLocalTftpAddress, AllFourOctetsTakePart)
{
    const std::vector<KvNetInterface> interfaces = {{"10.1.2.20", "255.255.255.0"}};
    LocalAddressLists lists;
    AnsiString target;
    // The device lives in the upper half of the /24 under its /25 mask.
    EXPECT_FALSE(SelectLocalTftpAddress(interfaces, {"10.1.2.200", "255.255.255.128", "10.1.2.200"}, lists,
                                        std::vector<AnsiString>{}, target));
    EXPECT_TRUE(target.empty());
}

TEST(SelectLocalTftpAddress, FallsBackOnTheReportTrimmed)
{
    const std::vector<KvNetInterface> interfaces = {{"172.16.0.9", "255.255.0.0"}};
    LocalAddressLists lists;
    AnsiString target;
    EXPECT_TRUE(SelectLocalTftpAddress(
        interfaces, {"", "", "192.168.7.1"}, lists,
        std::vector<AnsiString>{"IP Address: 10.0.0.5", "IP Address:  192.168.7.33 "}, target));
    EXPECT_EQ(target, "192.168.7.33");
}

TEST(SelectLocalTftpAddress, NeitherMatchesLeavesTargetEmpty)
{
    LocalAddressLists lists;
    AnsiString target = "left over";
    EXPECT_FALSE(SelectLocalTftpAddress({}, {"192.168.1.1", "255.255.255.0", "192.168.1.1"}, lists,
                                        std::vector<AnsiString>{"IP Address: 10.0.0.5"}, target));
    EXPECT_TRUE(target.empty());
}

TEST(SelectLocalTftpAddress, LoopbackDeviceMatchesLoopbackInterface)
{
    LocalAddressLists lists;
    AnsiString target;
    EXPECT_TRUE(SelectLocalTftpAddress({"127.0.0.1", "255.0.0.0", "127.0.0.1"}, lists, target));
    EXPECT_EQ(target, "127.0.0.1");
}

} // namespace

// Echo packets: the checksum against known vectors, the request as built, and which received
// packets answer a probe.
#include "IcmpPacket.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

std::array<uint8_t, 2> stored(uint16_t checksum)
{
    std::array<uint8_t, 2> bytes{};
    std::memcpy(bytes.data(), &checksum, 2);
    return bytes;
}

struct ChecksumCase {
    std::vector<uint8_t> bytes;
    std::array<uint8_t, 2> expected; // as the packet holds it (network order)
};

TEST(IcmpChecksum, KnownVectors)
{
    const std::vector<ChecksumCase> cases = {
        {{0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7}, {0x22, 0x0d}}, // RFC 1071's example
        {{}, {0xff, 0xff}},
        {{0x00, 0x00, 0x00, 0x00}, {0xff, 0xff}},
        {{0xff, 0xff, 0xff, 0xff}, {0x00, 0x00}},                         // the fold carries again
        {{0x01}, {0xfe, 0xff}},                                           // odd byte: high byte of its word
        {{0x08, 0x00, 0x00, 0x00, 0x12, 0x34, 0x00, 0x01}, {0xe5, 0xca}}, // echo request header
        {{0x45, 0x00, 0x00, 0x73, 0x00, 0x00, 0x40, 0x00, 0x40, 0x11,
          0x00, 0x00, 0xc0, 0xa8, 0x00, 0x01, 0xc0, 0xa8, 0x00, 0xc7},
         {0xb8, 0x61}}, // the well-known IPv4 header example
    };
    for (const ChecksumCase &c : cases)
        EXPECT_EQ(stored(IcmpChecksum(c.bytes.data(), c.bytes.size())), c.expected)
            << c.bytes.size() << " bytes";
    EXPECT_EQ(IcmpChecksum(nullptr, 4), 0xffff);
}

TEST(IcmpEchoRequest, BuiltPacketIsValidAndNumbered)
{
    gIcmpSequence = 65535;
    std::array<uint8_t, 1024> packet;
    packet.fill(0xAA);
    ASSERT_EQ(FillIcmpEchoRequest(packet, 0, 0x4321), kIcmpEchoRequestSize);
    EXPECT_EQ(packet[0], 8);
    EXPECT_EQ(packet[1], 0);
    EXPECT_EQ(IcmpEchoIdentifier(packet), 0x4321);
    EXPECT_EQ(IcmpEchoSequence(packet), 65535);
    EXPECT_EQ(gIcmpSequence, 0);                                     // wrapped
    EXPECT_EQ(IcmpChecksum(packet.data(), kIcmpEchoRequestSize), 0); // the sum over a valid packet
    EXPECT_EQ(packet[12], 0xAA);                                     // nothing written past it

    ASSERT_EQ(FillIcmpEchoRequest(packet, 4), 16u);
    EXPECT_EQ(IcmpEchoSequence(packet), 0);
    EXPECT_EQ(IcmpEchoIdentifier(packet), static_cast<uint16_t>(getpid() & 0xFFFF));
    EXPECT_EQ(packet[15], 0);
    EXPECT_EQ(IcmpChecksum(packet.data(), 16), 0);

    std::array<uint8_t, 11> tooSmall{};
    EXPECT_EQ(FillIcmpEchoRequest(tooSmall, 0), 0u);
    EXPECT_EQ(FillIcmpEchoRequest(packet, 1020), 0u);
    EXPECT_EQ(gIcmpSequence, 1); // refused builds use no number
}

// An IPv4 packet from src carrying an ICMP message of type with identifier and sequence.
std::vector<uint8_t> ipPacket(uint32_t src, uint8_t type, uint16_t id, uint16_t seq, uint8_t ihlWords = 5)
{
    std::vector<uint8_t> p(4u * ihlWords, 0);
    p[0] = static_cast<uint8_t>(0x40 | ihlWords);
    p[9] = 1;
    p[12] = static_cast<uint8_t>(src >> 24);
    p[13] = static_cast<uint8_t>(src >> 16);
    p[14] = static_cast<uint8_t>(src >> 8);
    p[15] = static_cast<uint8_t>(src);
    std::vector<uint8_t> icmp(12, 0);
    icmp[0] = type;
    std::memcpy(&icmp[4], &id, 2);
    std::memcpy(&icmp[6], &seq, 2);
    p.insert(p.end(), icmp.begin(), icmp.end());
    return p;
}

std::vector<uint8_t> truncated(std::vector<uint8_t> packet, std::size_t size)
{
    packet.resize(size);
    return packet;
}

TEST(IcmpEchoReply, ReadsTheTypeAfterTheIpHeader)
{
    EXPECT_TRUE(IsIcmpEchoReply(ipPacket(1, 0, 1, 1).data(), 32));
    EXPECT_FALSE(IsIcmpEchoReply(ipPacket(1, 3, 1, 1).data(), 32)); // destination unreachable
    EXPECT_FALSE(IsIcmpEchoReply(ipPacket(1, 8, 1, 1).data(), 32)); // a request
    EXPECT_TRUE(IsIcmpEchoReply(ipPacket(1, 0, 1, 1, 6).data(), 36));
    EXPECT_FALSE(IsIcmpEchoReply(ipPacket(1, 0, 1, 1).data(), 31)); // header + 12 not received
    EXPECT_FALSE(IsIcmpEchoReply(nullptr, 32));
}

TEST(IcmpEchoReply, OnlyOurRepliesFromTheProbedAddressCount)
{
    const uint32_t probed = 0x7F000001, other = 0x7F000002;
    const std::vector<uint16_t> sent = {7, 8, 9};
    const IcmpEchoExpectation expected{probed, 0x1234, sent};
    struct Case {
        const char *what;
        std::vector<uint8_t> packet;
        bool withIp;
        uint32_t from;
        bool answers;
    };
    std::vector<uint8_t> plain = ipPacket(probed, 0, 0x1234, 8);
    plain.erase(plain.begin(), plain.begin() + 20);
    std::vector<uint8_t> coded = ipPacket(probed, 0, 0x1234, 8);
    coded[21] = 1;
    const std::vector<Case> cases = {
        {"reply to the second request", ipPacket(probed, 0, 0x1234, 8), true, probed, true},
        {"late reply to the first", ipPacket(probed, 0, 0x1234, 7), true, probed, true},
        {"our own request on loopback", ipPacket(probed, 8, 0x1234, 9), true, probed, false},
        {"unreachable", ipPacket(probed, 3, 0x1234, 9), true, probed, false},
        {"another process's reply", ipPacket(probed, 0, 0x1235, 9), true, probed, false},
        {"a sequence we never sent", ipPacket(probed, 0, 0x1234, 10), true, probed, false},
        {"another host", ipPacket(other, 0, 0x1234, 9), true, other, false},
        {"header names another host", ipPacket(other, 0, 0x1234, 9), true, probed, false},
        {"non-zero code", coded, true, probed, false},
        {"ping socket: message only", plain, false, probed, true},
        {"ping socket: another host", plain, false, other, false},
        {"truncated", truncated(ipPacket(probed, 0, 0x1234, 8), 24), true, probed, false},
        {"header longer than the packet", truncated(ipPacket(probed, 0, 0x1234, 8, 15), 40), true, probed,
         false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AnswersEchoProbe(c.packet, c.withIp, c.from, expected), c.answers) << c.what;
}

} // namespace

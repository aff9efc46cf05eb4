#include "TFTPPacket.h"
#include "TFTPServer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv::tftp;

namespace {

std::vector<std::uint8_t> bytes(const std::string &s)
{
    return {s.begin(), s.end()};
}

TEST(TFTPStatusText, CodesMapToTheirTexts)
{
    EXPECT_EQ(KvTFTPStatusText(3), "(KvTFTP) Success to transfer file.");
    EXPECT_EQ(KvTFTPStatusText(0), "(KvTFTP) A TFTP session is disconnected...");
    EXPECT_EQ(KvTFTPStatusText(-1101), "(KvTFTP) Undefined error:");
    EXPECT_EQ(KvTFTPStatusText(-1109), "(KvTFTP) Fail to open socket!Please check if the network is ready.");
    EXPECT_EQ(KvTFTPStatusText(-1114), "(KvTFTP) Transfer has been canceled.");
    EXPECT_EQ(KvTFTPStatusText(4), "");
    EXPECT_EQ(KvTFTPStatusText(-1100), "");
    EXPECT_EQ(KvTFTPStatusText(-1115), "");
}

struct RequestCase {
    const char *label;
    std::string datagram;
    bool ok;
    std::uint16_t opcode;
    std::string name;
    std::string mode;
};

TEST(TFTPPacket, ParseRequestTable)
{
    using namespace std::string_literals;
    const RequestCase cases[] = {
        {"read", "\0\1fw.tfp\0octet\0"s, true, OpRRQ, "fw.tfp", "octet"},
        {"write", "\0\2cfg.dcf\0netascii\0"s, true, OpWRQ, "cfg.dcf", "netascii"},
        {"options ignored", "\0\1a\0octet\0blksize\0001024\0tsize\0000\0"s, true, OpRRQ, "a", "octet"},
        {"empty name kept", "\0\1\0octet\0"s, true, OpRRQ, "", "octet"},
        {"empty mode", "\0\1a\0\0"s, true, OpRRQ, "a", ""},
        {"mode without zero", "\0\1a\0octet"s, false, 0, "", ""},
        {"name without zero", "\0\2abcdef"s, false, 0, "", ""},
        {"only name zero", "\0\1a\0"s, false, 0, "", ""},
        {"short", "\0\1a"s, false, 0, "", ""},
        {"empty", ""s, false, 0, "", ""},
        {"data opcode", "\0\3\0\1xx"s, false, 0, "", ""},
        {"error opcode", "\0\5\0\1\0"s, false, 0, "", ""},
        {"high opcode", "\1\1a\0octet\0"s, false, 0, "", ""},
    };
    for (const auto &c : cases) {
        auto d = bytes(c.datagram);
        auto r = parseRequest(d);
        ASSERT_EQ(r.has_value(), c.ok) << c.label;
        if (!r)
            continue;
        EXPECT_EQ(r->opcode, c.opcode) << c.label;
        EXPECT_EQ(r->fileName, c.name) << c.label;
        EXPECT_EQ(r->mode, c.mode) << c.label;
    }
}

TEST(TFTPPacket, ParsePacketKindsAndBounds)
{
    using namespace std::string_literals;
    auto ack = bytes("\0\4\xff\xfe"s);
    auto p = parsePacket(ack);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, Packet::Kind::Ack);
    EXPECT_EQ(p->block, 0xfffe);

    auto data = bytes("\0\3\0\7abc"s);
    p = parsePacket(data);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, Packet::Kind::Data);
    EXPECT_EQ(p->block, 7);
    EXPECT_EQ(std::string(p->data.begin(), p->data.end()), "abc");

    std::vector<std::uint8_t> full(516, 'x');
    full[0] = 0, full[1] = 3, full[2] = 0, full[3] = 1;
    p = parsePacket(full);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, Packet::Kind::Data);
    EXPECT_EQ(p->data.size(), 512u);

    full.push_back('y');
    p = parsePacket(full);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, Packet::Kind::OversizedData);
    EXPECT_TRUE(p->data.empty());

    // A truncated receive still knows the datagram was too long.
    p = parsePacket(std::span<const std::uint8_t>(full.data(), 100), 3000);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, Packet::Kind::OversizedData);

    EXPECT_FALSE(parsePacket(bytes("\0\4\0"s)));
    EXPECT_FALSE(parsePacket(bytes(""s)));
    p = parsePacket(bytes("\0\5\0\2\0"s));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, Packet::Kind::Error);
    EXPECT_EQ(p->block, 2);
    p = parsePacket(bytes("\0\1a\0octet\0"s));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, Packet::Kind::Other);
}

TEST(TFTPPacket, FileNameRules)
{
    const std::pair<std::string, bool> cases[] = {
        {"fw.tfp", true},
        {"LogFile.RD", true},
        {"name with spaces.dcf", true},
        {".hidden", true},
        {"..x", true},
        {"caf\xc3\xa9.bin", true},
        {std::string(200, 'a'), true},
        {std::string(201, 'a'), false},
        {"", false},
        {".", false},
        {"..", false},
        {"../x", false},
        {"/etc/passwd", false},
        {"a/b", false},
        {"a\\b", false},
        {"..\\x", false},
        {"C:\\dir\\cfg.dcf", false},
        {"tab\tname", false},
        {"new\nline", false},
        {"del\x7f", false},
        {"bell\x07", false},
    };
    for (const auto &[name, ok] : cases)
        EXPECT_EQ(isAcceptableFileName(name), ok) << name;
}

TEST(TFTPPacket, BuildersWriteRfc1350Layout)
{
    std::uint8_t buf[600];
    std::vector<std::uint8_t> payload(512, 0xab);
    ASSERT_EQ(buildData(buf, 0x1234, payload), 516u);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 3);
    EXPECT_EQ(buf[2], 0x12);
    EXPECT_EQ(buf[3], 0x34);
    EXPECT_EQ(buf[515], 0xab);
    ASSERT_EQ(buildData(buf, 1, {}), 4u);
    ASSERT_EQ(buildAck(buf, 65535), 4u);
    EXPECT_EQ(buf[1], 4);
    EXPECT_EQ(buf[2], 0xff);
    EXPECT_EQ(buf[3], 0xff);
    // Every code carries its text, the disk-full one included.
    ASSERT_EQ(buildError(buf, ErrAccessViolation), 4u + 18u);
    EXPECT_EQ(buf[1], 5);
    EXPECT_EQ(buf[3], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(buf + 4)), "Access violation.");
    ASSERT_EQ(buildError(buf, ErrDiskFull), 4u + 34u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(buf + 4)), "Disk full or allocation exceeded.");
    ASSERT_EQ(buildError(buf, 9), 4u + 41u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(buf + 4)),
              "Not defined, see error message (if any).");
    ASSERT_EQ(buildError(buf, ErrNotDefined, std::string_view("busy\0tail", 9)), 4u + 5u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(buf + 4)), "busy");
    EXPECT_EQ(errorMessage(std::span<const std::uint8_t>(buf, 9)), "busy");
    EXPECT_EQ(errorMessage(bytes(std::string("\0\5\0\3full", 8))), "full"); // no terminating zero

    std::vector<std::uint8_t> tooLong(513, 0);
    EXPECT_THROW(buildData(buf, 1, tooLong), std::length_error);
    std::uint8_t small[10];
    EXPECT_THROW(buildError(small, 1), std::length_error);
}

} // namespace

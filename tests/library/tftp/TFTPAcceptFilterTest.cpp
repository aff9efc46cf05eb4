// The server's accept filter and its listening address.
#include "TFTPServer.h"
#include "TftpTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tftptest;
namespace fs = std::filesystem;

namespace {

class TFTPAcceptFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = kvtest::makeTempDir("kvtftp-filter-");
        server.SetListenAddress("127.0.0.1");
        server.SetTimeout(50, 3);
        server.SetOnStatus([this](KvTFTPServer *, const KvTFTPMsg *msg, bool *) {
            codes.push_back(msg->Code);
            records.push_back(*msg);
        });
        // Only a write of "in.cfg" and a read of "out.img", by 127.0.0.1.
        server.SetAcceptFilter([](const KvTFTPMsg &r) {
            return r.RemoteIP == "127.0.0.1" &&
                   ((r.Kind == 2 && r.FileName == "in.cfg") || (r.Kind == 1 && r.FileName == "out.img"));
        });
        server.Start(root, 0);
        port = server.ListeningPort();
        writeFile(root + "/out.img", Bytes(100, 'x'));
        writeFile(root + "/other.bin", Bytes(10, 'o'));
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    KvTFTPServer server;
    std::string root;
    int port = 0;
    std::vector<int> codes;
    std::vector<KvTFTPMsg> records;
};

struct Refused {
    int opcode;
    const char *name;
    const char *from = "127.0.0.1";
};

class TFTPRefusedRequest : public TFTPAcceptFilter, public ::testing::WithParamInterface<Refused> {};

} // namespace

TEST_P(TFTPRefusedRequest, GetsAnAccessErrorAndTouchesNoFile)
{
    const auto before = listFolder(root);
    UdpClient c(GetParam().from);
    c.sendTo(port, request(GetParam().opcode, GetParam().name));
    int from = 0;
    auto answer = c.receive(2000, &from);
    ASSERT_TRUE(answer);
    EXPECT_EQ(opcodeOf(*answer), 5);
    EXPECT_EQ(blockOf(*answer), 2); // access violation
    EXPECT_EQ(from, port);          // from the listening port: no session was made
    pump(100);
    EXPECT_EQ(server.SessionCount(), 0);
    // Reported once, with who asked for what.
    ASSERT_EQ(codes, std::vector<int>{TFTP_ERR_ACCESS});
    EXPECT_EQ(records[0].RemoteIP, GetParam().from);
    EXPECT_EQ(records[0].RemotePort, c.port());
    EXPECT_EQ(records[0].FileName, GetParam().name);
    EXPECT_EQ(records[0].Kind, GetParam().opcode);
    EXPECT_EQ(listFolder(root), before);
    EXPECT_EQ(readFile(root + "/other.bin"), Bytes(10, 'o'));
}

INSTANTIATE_TEST_SUITE_P(Requests, TFTPRefusedRequest,
                         ::testing::Values(Refused{2, "other.bin"}, Refused{2, "out.img"},
                                           Refused{1, "in.cfg"}, Refused{1, "other.bin"},
                                           Refused{2, "new.bin"},
                                           // Accepted names, but from another host.
                                           Refused{1, "out.img", "127.0.0.2"},
                                           Refused{2, "in.cfg", "127.0.0.2"}));

TEST_F(TFTPAcceptFilter, AcceptedRequestsRunAsUsual)
{
    UdpClient c;
    c.sendTo(port, request(1, "out.img"));
    int from = 0;
    auto block = c.receive(2000, &from);
    ASSERT_TRUE(block);
    EXPECT_EQ(opcodeOf(*block), 3);
    EXPECT_NE(from, port);
    c.sendTo(from, ack(1));

    UdpClient w;
    w.sendTo(port, request(2, "in.cfg"));
    auto ack0 = w.receive(2000, &from);
    ASSERT_TRUE(ack0);
    EXPECT_EQ(opcodeOf(*ack0), 4);
    w.sendTo(from, data(1, Bytes(3, 'c')));
    ASSERT_TRUE(w.receive(2000));
    pump(100);
    EXPECT_EQ(readFile(root + "/in.cfg"), Bytes(3, 'c'));
}

TEST_F(TFTPAcceptFilter, NewListenAddressBindsAnewOnTheSamePort)
{
    server.SetListenAddress("127.0.0.2");
    server.Start(root, 0);
    EXPECT_TRUE(server.IsListening());
    EXPECT_EQ(server.ListeningPort(), port);
    // 127.0.0.1 is no longer served; 127.0.0.2 is.
    UdpClient c;
    c.sendTo(port, request(1, "out.img"));
    EXPECT_FALSE(c.receive(300));
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.2", &to.sin_addr);
    const Bytes rrq = request(1, "out.img");
    ::sendto(fd, rrq.data(), rrq.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    std::uint8_t reply[600];
    ssize_t got = -1;
    for (int i = 0; i < 200 && got < 0; ++i) {
        pump(10);
        got = ::recv(fd, reply, sizeof reply, 0);
    }
    ::close(fd);
    ASSERT_GE(got, 4);
    EXPECT_EQ(reply[1], 3);
}

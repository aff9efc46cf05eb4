#include "TFTPServer.h"
#include "Clock.h"
#include "Exception.h"
#include "TftpTestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>

using namespace tftptest;
namespace fs = std::filesystem;

namespace {

class TFTPServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        base = kvtest::makeTempDir("kvtftp-");
        root = base + "/root";
        fs::create_directory(root);
        server = std::make_unique<KvTFTPServer>();
        server->SetListenAddress("127.0.0.1");
        // Half a second: longer than every silence a test waits for, short enough to end soon.
        server->SetTimeout(50, 3);
        server->SetOnStatus([this](KvTFTPServer *, const KvTFTPMsg *msg, bool *cancel) {
            codes.push_back(msg->Code);
            records.push_back(*msg);
            if (cancelOn && cancelOn(*msg))
                *cancel = true;
        });
        server->Start(root, 0);
        port = server->ListeningPort();
        ASSERT_GT(port, 0);
    }

    void TearDown() override
    {
        server.reset();
        std::error_code ec;
        fs::remove_all(base, ec);
    }

    // Pumps until every session has been freed (status 0 reported).
    void drain(int ms = 5000)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (server->SessionCount() > 0 && std::chrono::steady_clock::now() < deadline)
            kv::waitForEvents(5);
    }

    // Plays a complete read of name; returns the bytes received.
    Bytes readAll(UdpClient &c, const std::string &name)
    {
        c.sendTo(port, request(1, name));
        Bytes got;
        int sessionPort = 0;
        for (std::uint16_t expect = 1;; ++expect) {
            auto p = c.receive(2000, &sessionPort);
            EXPECT_TRUE(p);
            if (!p)
                return got;
            EXPECT_EQ(opcodeOf(*p), 3);
            EXPECT_EQ(blockOf(*p), expect);
            got.insert(got.end(), p->begin() + 4, p->end());
            c.sendTo(sessionPort, ack(expect));
            if (p->size() < 516)
                return got;
        }
    }

    std::string base, root;
    std::unique_ptr<KvTFTPServer> server;
    int port = 0;
    std::vector<int> codes;
    std::vector<KvTFTPMsg> records;
    std::function<bool(const KvTFTPMsg &)> cancelOn;
};

struct ReadCase {
    std::size_t size;
    std::vector<int> statuses;
    int blocks;
};

TEST_F(TFTPServerTest, ReadStatusSequences)
{
    const ReadCase cases[] = {
        {1500, {1, 2, 2, 2, 3, 0}, 3},
        {1024, {1, 2, 2, 2, 3, 0}, 3}, // 512, 512, then an empty block
        {0, {1, 2, 3, 0}, 1},
        {511, {1, 2, 3, 0}, 1},
    };
    for (const auto &rc : cases) {
        codes.clear();
        records.clear();
        std::string name = "file" + std::to_string(rc.size) + ".bin";
        Bytes content = randomBytes(rc.size, 7);
        writeFile(root + "/" + name, content);
        UdpClient c;
        EXPECT_EQ(readAll(c, name), content) << rc.size;
        drain();
        EXPECT_EQ(codes, rc.statuses) << rc.size;
        ASSERT_FALSE(records.empty());
        const KvTFTPMsg &last = records.back();
        EXPECT_EQ(last.Kind, 1);
        EXPECT_EQ(last.FileName, name);
        EXPECT_EQ(last.Bytes, static_cast<std::int64_t>(rc.size));
        EXPECT_EQ(last.RemoteIP, "127.0.0.1");
        EXPECT_EQ(last.RemotePort, c.port());
        EXPECT_EQ(last.Port, port);
        EXPECT_EQ(last.Mode, "octet");
        EXPECT_EQ(records.front().Message, "(KvTFTP) A TFTP session is connected...");
    }
}

TEST_F(TFTPServerTest, WriteOf1500BytesReplacesFileAndLeavesNothingElse)
{
    writeFile(root + "/cfg.dcf", Bytes(4000, 'o')); // longer old contents must go entirely
    Bytes content = randomBytes(1500, 3);
    UdpClient c;
    c.sendTo(port, request(2, "cfg.dcf"));
    int sp = 0;
    auto p = c.receive(2000, &sp);
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, ack(0));
    for (std::uint16_t b = 1; b <= 3; ++b) {
        std::size_t from = (b - 1) * 512u, to = std::min<std::size_t>(content.size(), b * 512u);
        c.sendTo(sp, data(b, Bytes(content.begin() + from, content.begin() + to)));
        p = c.receive();
        ASSERT_TRUE(p);
        EXPECT_EQ(*p, ack(b));
        if (b < 3) {
            EXPECT_EQ(readFile(root + "/cfg.dcf"), Bytes(4000, 'o')) << "replaced before the end";
        }
    }
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, 2, 3, 0}));
    EXPECT_EQ(readFile(root + "/cfg.dcf"), content);
    EXPECT_EQ(listFolder(root), std::vector<std::string>{"cfg.dcf"});
    EXPECT_EQ(records.back().Kind, 2);
    EXPECT_EQ(records.back().Bytes, 1500);
    EXPECT_EQ(records.back().LastBlockLength, 1500 - 1024);
}

TEST_F(TFTPServerTest, LongWriteCrossingReservedStretchesArrivesWhole)
{
    // Past 64 KiB and past the 4 MiB the server reserves ahead: the file is exactly what came.
    writeFile(root + "/big.tfp", Bytes(10, 'o'));
    Bytes content = randomBytes((4u << 20) + 700, 9);
    UdpClient c;
    c.sendTo(port, request(2, "big.tfp"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    const std::size_t blocks = content.size() / 512 + 1;
    for (std::size_t b = 1; b <= blocks; ++b) {
        const std::size_t from = (b - 1) * 512, to = std::min(content.size(), b * 512);
        const auto block = static_cast<std::uint16_t>(b);
        c.sendTo(sp, data(block, Bytes(content.begin() + static_cast<std::ptrdiff_t>(from),
                                       content.begin() + static_cast<std::ptrdiff_t>(to))));
        auto p = c.receive();
        ASSERT_TRUE(p) << "block " << b;
        ASSERT_EQ(*p, ack(block));
    }
    drain();
    EXPECT_EQ(codes.back(), 0);
    EXPECT_EQ(readFile(root + "/big.tfp"), content);
    EXPECT_EQ(listFolder(root), std::vector<std::string>{"big.tfp"});
}

TEST_F(TFTPServerTest, MissingFileGetsErrorOneWithItsText)
{
    UdpClient c;
    c.sendTo(port, request(1, "missing.tfp"));
    auto p = c.receive();
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, errorPacket(1));
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, -1102, 0}));
    EXPECT_EQ(records[1].Message, "(KvTFTP) File not found!");
}

TEST_F(TFTPServerTest, RepeatedRequestIsIgnoredWhileSessionLives)
{
    writeFile(root + "/a.bin", randomBytes(2000, 1));
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    auto first = c.receive();
    ASSERT_TRUE(first);
    c.sendTo(port, request(1, "a.bin"));
    EXPECT_FALSE(c.receive(200));
    EXPECT_EQ(server->SessionCount(), 1);
    EXPECT_EQ(records.back().SessionNo, 0);
}

TEST_F(TFTPServerTest, SameRequestAfterSessionFreedGetsNextSessionNo)
{
    writeFile(root + "/a.bin", randomBytes(10, 1));
    UdpClient c;
    EXPECT_EQ(readAll(c, "a.bin").size(), 10u);
    drain();
    EXPECT_EQ(records.back().SessionNo, 0);
    EXPECT_EQ(readAll(c, "a.bin").size(), 10u);
    drain();
    EXPECT_EQ(records.back().SessionNo, 1);
}

TEST_F(TFTPServerTest, ReadAcceptsOnlyTheAckOfTheBlockJustSent)
{
    Bytes content = randomBytes(1500, 9);
    writeFile(root + "/a.bin", content);
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    int sp = 0;
    auto p = c.receive(2000, &sp);
    ASSERT_TRUE(p);
    ASSERT_EQ(blockOf(*p), 1);
    c.sendTo(sp, ack(0));                 // older block: ignored
    c.sendTo(sp, ack(5));                 // a block never sent: ignored
    c.sendTo(sp, packet({0, 4, 0}));      // short
    c.sendTo(sp, data(1, Bytes(3, 'x'))); // wrong kind for a read
    EXPECT_FALSE(c.receive(200));
    c.sendTo(sp, ack(1));
    p = c.receive();
    ASSERT_TRUE(p);
    EXPECT_EQ(blockOf(*p), 2);
    EXPECT_EQ(Bytes(p->begin() + 4, p->end()), Bytes(content.begin() + 512, content.begin() + 1024));
    c.sendTo(sp, ack(1)); // a duplicate ACK does not resend (no sorcerer's apprentice)
    EXPECT_FALSE(c.receive(200));
}

TEST_F(TFTPServerTest, WriteAnswersRepeatedBlockOnceWrittenAndIgnoresOutOfOrder)
{
    // A finished write stays for one time-out (here 5 s) to acknowledge its final block again.
    server->SetTimeout(500, 3);
    Bytes content = randomBytes(1200, 5);
    UdpClient c;
    c.sendTo(port, request(2, "w.bin"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    Bytes b1(content.begin(), content.begin() + 512), b2(content.begin() + 512, content.begin() + 1024),
        b3(content.begin() + 1024, content.end());
    c.sendTo(sp, data(2, b2)); // out of order: ignored
    EXPECT_FALSE(c.receive(200));
    c.sendTo(sp, data(1, b1));
    EXPECT_EQ(c.receive(), ack(1));
    c.sendTo(sp, data(1, b1)); // our ACK "was lost": acknowledged again, not written twice
    EXPECT_EQ(c.receive(), ack(1));
    c.sendTo(sp, data(2, b2));
    EXPECT_EQ(c.receive(), ack(2));
    c.sendTo(sp, data(3, b3));
    EXPECT_EQ(c.receive(), ack(3));
    c.sendTo(sp, data(3, b3)); // the final ACK lost: answered again while the session lingers
    EXPECT_EQ(c.receive(), ack(3));
    EXPECT_EQ(readFile(root + "/w.bin"), content);
    EXPECT_EQ(records.back().Bytes, 1200);
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, 2, 3}));
}

TEST_F(TFTPServerTest, ForeignTransferIdentifierGetsErrorFiveAndChangesNothing)
{
    Bytes content = randomBytes(700, 2);
    writeFile(root + "/a.bin", content);
    UdpClient c, stranger;
    c.sendTo(port, request(1, "a.bin"));
    int sp = 0;
    auto p = c.receive(2000, &sp);
    ASSERT_TRUE(p);
    stranger.sendTo(sp, ack(1));
    EXPECT_EQ(stranger.receive(), errorPacket(5));
    EXPECT_FALSE(c.receive(200)) << "the stranger's ACK must not advance the transfer";
    c.sendTo(sp, ack(1));
    p = c.receive();
    ASSERT_TRUE(p);
    EXPECT_EQ(blockOf(*p), 2);
    EXPECT_EQ(p->size(), 4u + 700 - 512);
    c.sendTo(sp, ack(2));
    drain();
    EXPECT_EQ(codes.back(), 0);
    EXPECT_EQ(codes[codes.size() - 2], 3);
}

TEST_F(TFTPServerTest, UnsafeNamesAreRefusedAndNothingOutsideRootIsTouched)
{
    writeFile(base + "/secret", Bytes{'s'});
    const std::string names[] = {
        "../secret", "/etc/passwd",         "sub/x",      "..", ".", "", "..\\secret",
        "a\x01",     std::string(300, 'n'), ".kvtftp-abc"};
    for (int kind : {1, 2}) {
        for (const auto &n : names) {
            codes.clear();
            UdpClient c;
            c.sendTo(port, request(kind, n));
            auto p = c.receive();
            ASSERT_TRUE(p) << n;
            EXPECT_EQ(*p, errorPacket(2)) << n;
            drain();
            EXPECT_EQ(codes, (std::vector<int>{1, -1103, 0})) << n;
        }
    }
    EXPECT_EQ(readFile(base + "/secret"), Bytes{'s'});
    EXPECT_EQ(listFolder(base), (std::vector<std::string>{"root", "secret"}));
    EXPECT_TRUE(listFolder(root).empty());
}

TEST_F(TFTPServerTest, EmptyRootFolderRefusesEverything)
{
    server->Start("", 0);
    EXPECT_EQ(server->GetRootDir(), "");
    UdpClient c;
    for (int kind : {1, 2}) {
        c.sendTo(port, request(kind, "x.bin"));
        EXPECT_EQ(c.receive(), errorPacket(2));
        drain();
    }
    EXPECT_FALSE(fileExists("x.bin"));
}

TEST_F(TFTPServerTest, FifosFoldersAndLinksAreNotServed)
{
    ASSERT_EQ(::mkfifo((root + "/pipe").c_str(), 0644), 0);
    fs::create_directory(root + "/folder");
    writeFile(base + "/outside", Bytes{'o'});
    fs::create_symlink(base + "/outside", root + "/link");
    for (int kind : {1, 2}) {
        for (const char *n : {"pipe", "folder", "link"}) {
            UdpClient c;
            c.sendTo(port, request(kind, n));
            EXPECT_EQ(c.receive(), errorPacket(2)) << n << " kind " << kind;
            drain();
        }
    }
    EXPECT_TRUE(fs::is_fifo(root + "/pipe"));
    EXPECT_TRUE(fs::is_symlink(root + "/link"));
    EXPECT_EQ(readFile(base + "/outside"), Bytes{'o'});
}

TEST_F(TFTPServerTest, PathBeingWrittenIsNotServed)
{
    writeFile(root + "/f.bin", Bytes(10, 'a'));
    UdpClient writer, reader, second;
    writer.sendTo(port, request(2, "f.bin"));
    ASSERT_EQ(writer.receive(), ack(0));
    reader.sendTo(port, request(1, "f.bin"));
    EXPECT_EQ(reader.receive(), errorPacket(2));
    second.sendTo(port, request(2, "f.bin"));
    EXPECT_EQ(second.receive(), errorPacket(2));
}

TEST_F(TFTPServerTest, OversizedDataIsRefusedAndOldFileKept)
{
    writeFile(root + "/f.bin", Bytes(10, 'a'));
    UdpClient c;
    c.sendTo(port, request(2, "f.bin"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    c.sendTo(sp, data(1, Bytes(1024, 'b')));
    EXPECT_EQ(c.receive(), errorPacket(4));
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, -1105, 0}));
    EXPECT_EQ(readFile(root + "/f.bin"), Bytes(10, 'a'));
    EXPECT_EQ(listFolder(root), std::vector<std::string>{"f.bin"});
}

TEST_F(TFTPServerTest, OtherOpcodesAndMalformedRequestsGetNoAnswer)
{
    UdpClient c;
    c.sendTo(port, errorPacket(1));
    c.sendTo(port, packet({0, 4, 0, 1}));
    c.sendTo(port, packet({0, 1}, "noterminator"));
    c.sendTo(port, packet({0, 1}, std::string("name\0mode", 9)));
    c.sendTo(port, packet({0}));
    EXPECT_FALSE(c.receive(200));
    EXPECT_TRUE(codes.empty());
    EXPECT_EQ(server->SessionCount(), 0);
}

TEST_F(TFTPServerTest, WriteErrorEndsWithDiskFullAndKeepsOldFile)
{
    writeFile(root + "/big.bin", Bytes(10, 'a'));
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    UdpClient c;
    c.sendTo(port, request(2, "big.bin"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    c.sendTo(sp, data(1, Bytes(512, 'b')));
    EXPECT_EQ(c.receive(), ack(1));
    c.sendTo(sp, data(2, Bytes(512, 'b')));
    auto p = c.receive();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, errorPacket(3));
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, -1104, 0}));
    EXPECT_EQ(records[3].Message, "(KvTFTP) Disk full!");
    EXPECT_EQ(readFile(root + "/big.bin"), Bytes(10, 'a'));
    EXPECT_EQ(listFolder(root), std::vector<std::string>{"big.bin"});
}

TEST_F(TFTPServerTest, CancelOnTransferStatusEndsAtNextAck)
{
    writeFile(root + "/a.bin", randomBytes(1500, 4));
    cancelOn = [](const KvTFTPMsg &m) { return m.Code == 2 && m.Bytes >= 1024; };
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    c.sendTo(sp, ack(1));
    ASSERT_TRUE(c.receive());
    c.sendTo(sp, ack(2));
    EXPECT_FALSE(c.receive(200)) << "a cancelled session sends nothing more";
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, -1114, 0}));
}

TEST_F(TFTPServerTest, CancelledWriteLeavesOldFileAndNoPartialFile)
{
    writeFile(root + "/c.bin", Bytes(10, 'a'));
    cancelOn = [](const KvTFTPMsg &m) { return m.Code == 2 && m.Bytes >= 512; };
    UdpClient c;
    c.sendTo(port, request(2, "c.bin"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    c.sendTo(sp, data(1, Bytes(512, 'b')));
    EXPECT_EQ(c.receive(), ack(1));
    c.sendTo(sp, data(2, Bytes(100, 'b')));
    EXPECT_FALSE(c.receive(200));
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, -1114, 0}));
    EXPECT_EQ(readFile(root + "/c.bin"), Bytes(10, 'a'));
    EXPECT_EQ(listFolder(root), std::vector<std::string>{"c.bin"});
}

TEST_F(TFTPServerTest, CancelledBeforeStartSendsNothing)
{
    writeFile(root + "/a.bin", Bytes(5, 'a'));
    cancelOn = [](const KvTFTPMsg &m) { return m.Code == 1; };
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    EXPECT_FALSE(c.receive(200));
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, -1114, 0}));
}

TEST_F(TFTPServerTest, SecondServerOnSamePortFailsToStart)
{
    KvTFTPServer other;
    other.SetListenAddress("127.0.0.1");
    try {
        other.Start(root, port);
        FAIL() << "a second server bound the same port";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -1109);
        EXPECT_EQ(e.Message.rfind("(KvTFTP) Fail to open socket!Please check if the network is ready.", 0),
                  0u);
        EXPECT_NE(e.Message.find("in use"), std::string::npos) << e.Message;
    }
    EXPECT_FALSE(other.IsListening());
    // The first server still gets its requests.
    UdpClient c;
    c.sendTo(port, request(1, "none"));
    EXPECT_EQ(c.receive(), errorPacket(1));
}

TEST_F(TFTPServerTest, SecondStartMovesRootButKeepsSocket)
{
    std::string other = base + "/other";
    fs::create_directory(other);
    writeFile(other + "/o.bin", Bytes(3, 'o'));
    server->Start(other, port + 1 > 65535 ? 1 : port + 1);
    EXPECT_EQ(server->ListeningPort(), port);
    EXPECT_EQ(server->GetTemplate().Port, port);
    EXPECT_EQ(server->GetRootDir(), other + "/");
    UdpClient c;
    EXPECT_EQ(readAll(c, "o.bin"), Bytes(3, 'o'));
    server->Start(other + "/", port);
    EXPECT_EQ(server->GetRootDir(), other + "/");
}

TEST_F(TFTPServerTest, StopFromInsideStatusHandlerIsSafe)
{
    writeFile(root + "/a.bin", Bytes(5, 'a'));
    server->SetOnStatus([this](KvTFTPServer *s, const KvTFTPMsg *m, bool *) {
        codes.push_back(m->Code);
        if (m->Code == 3)
            s->Stop();
    });
    UdpClient c;
    EXPECT_EQ(readAll(c, "a.bin"), Bytes(5, 'a'));
    pump(200);
    EXPECT_FALSE(server->IsListening());
    EXPECT_EQ(server->SessionCount(), 0);
    EXPECT_EQ(codes.back(), 0);
}

TEST_F(TFTPServerTest, DestroyedServerNeverCallsItsHandler)
{
    writeFile(root + "/a.bin", randomBytes(3000, 1));
    server->SetTimeout(10, 1);
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    ASSERT_TRUE(c.receive());
    std::size_t seen = codes.size();
    // The destructor still waits for the silent peer's session, but reports nothing.
    server.reset();
    EXPECT_EQ(codes.size(), seen);
}

TEST_F(TFTPServerTest, TransfersAreCappedPerPeerAndInAllAndTheExcessIsRefused)
{
    EXPECT_EQ(KvTFTPServer::MaxSessionsPerPeer, 8);
    EXPECT_EQ(KvTFTPServer::MaxSessions, 64);
    writeFile(root + "/a.bin", randomBytes(2000, 5));
    const Bytes busy =
        packet({0, 5, 0, 0}, std::string("Too many transfers at once, try again later.") + '\0');
    struct Client {
        std::unique_ptr<UdpClient> socket;
        int sessionPort = 0;
    };
    std::vector<Client> served;
    // Asks for a transfer from address; the answer, and the client kept when it was served.
    auto ask = [&](const std::string &address) {
        Client c{std::make_unique<UdpClient>(address.c_str())};
        c.socket->sendTo(port, request(1, "a.bin"));
        auto p = c.socket->receive(2000, &c.sessionPort);
        if (p && opcodeOf(*p) == 3)
            served.push_back(std::move(c));
        return p;
    };
    for (int i = 0; i < KvTFTPServer::MaxSessionsPerPeer; ++i)
        ASSERT_EQ(opcodeOf(ask("127.0.0.2").value_or(Bytes{})), 3) << i;
    EXPECT_EQ(ask("127.0.0.2"), busy);
    // Other addresses are served until the total is reached.
    const int addresses = KvTFTPServer::MaxSessions / KvTFTPServer::MaxSessionsPerPeer;
    for (int a = 3; a < 2 + addresses; ++a)
        for (int i = 0; i < KvTFTPServer::MaxSessionsPerPeer; ++i)
            ASSERT_EQ(opcodeOf(ask("127.0.0." + std::to_string(a)).value_or(Bytes{})), 3);
    EXPECT_EQ(server->SessionCount(), KvTFTPServer::MaxSessions);
    EXPECT_EQ(ask("127.0.0.99"), busy);
    EXPECT_EQ(server->SessionCount(), KvTFTPServer::MaxSessions);

    // Transfers that end make room at once.
    for (auto &c : served)
        c.socket->sendTo(c.sessionPort, packet({0, 5, 0, 0}, std::string("enough") + '\0'));
    drain();
    EXPECT_EQ(server->SessionCount(), 0);
    ASSERT_EQ(opcodeOf(ask("127.0.0.2").value_or(Bytes{})), 3);
    served.back().socket->sendTo(served.back().sessionPort, packet({0, 5, 0, 0}, std::string("done") + '\0'));
    drain();
}

TEST_F(TFTPServerTest, EndedSessionsAreFreedAtOnce)
{
    std::vector<std::unique_ptr<UdpClient>> clients;
    for (int i = 0; i < 20; ++i) {
        clients.push_back(std::make_unique<UdpClient>());
        clients.back()->sendTo(port, request(1, "missing" + std::to_string(i)));
    }
    for (auto &c : clients)
        EXPECT_EQ(c->receive(), errorPacket(1));
    EXPECT_EQ(server->SessionCount(), 0);
}

// Time-outs run on the swappable monotonic clock.
class TFTPServerTimeoutTest : public TFTPServerTest {
protected:
    void SetUp() override
    {
        clock = std::make_shared<kv::MockClock>();
        clock->setTimerDivisor(20);
        scoped = std::make_unique<kv::ScopedClock>(clock);
        TFTPServerTest::SetUp();
        server->SetTimeout(300, 3);
    }
    void TearDown() override
    {
        TFTPServerTest::TearDown();
        scoped.reset();
    }
    std::shared_ptr<kv::MockClock> clock;
    std::unique_ptr<kv::ScopedClock> scoped;
};

TEST_F(TFTPServerTimeoutTest, ErrorFromThePeerEndsTheTransferAtOnce)
{
    // The clock stands still: no time-out can end these transfers.
    writeFile(root + "/a.bin", randomBytes(2000, 3));
    writeFile(root + "/w.bin", Bytes(10, 'a'));
    UdpClient reader, writer;
    reader.sendTo(port, request(1, "a.bin"));
    int readerPort = 0;
    ASSERT_TRUE(reader.receive(2000, &readerPort));
    writer.sendTo(port, request(2, "w.bin"));
    int writerPort = 0;
    ASSERT_EQ(writer.receive(2000, &writerPort), ack(0));
    writer.sendTo(writerPort, data(1, Bytes(512, 'b')));
    ASSERT_EQ(writer.receive(), ack(1));

    reader.sendTo(readerPort, packet({0, 5, 0, 3}, std::string("no room") + '\0'));
    writer.sendTo(writerPort, packet({0, 5, 0, 0}, std::string("aborted") + '\0'));
    drain();
    EXPECT_EQ(server->SessionCount(), 0);
    auto find = [&](int code) {
        return std::find_if(records.begin(), records.end(),
                            [&](const KvTFTPMsg &m) { return m.Code == code; });
    };
    ASSERT_NE(find(-1104), records.end());
    EXPECT_EQ(find(-1104)->Message, "(KvTFTP) Disk full! (no room)");
    EXPECT_EQ(find(-1104)->Kind, 1);
    ASSERT_NE(find(-1101), records.end());
    EXPECT_EQ(find(-1101)->Message, "(KvTFTP) Undefined error: aborted");
    EXPECT_EQ(find(-1101)->Kind, 2);
    // An ERROR is never answered, and the interrupted write changed nothing.
    EXPECT_FALSE(reader.receive(50));
    EXPECT_FALSE(writer.receive(50));
    EXPECT_EQ(readFile(root + "/w.bin"), Bytes(10, 'a'));
    EXPECT_EQ(listFolder(root), (std::vector<std::string>{"a.bin", "w.bin"}));
}

TEST_F(TFTPServerTimeoutTest, SilentReaderGetsThreeSendsThreeSecondsApartThenTimeout)
{
    Bytes content = randomBytes(600, 8);
    writeFile(root + "/a.bin", content);
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    auto first = c.receive();
    ASSERT_TRUE(first);
    for (int send = 2; send <= 3; ++send) {
        clock->advanceMs(2999);
        EXPECT_FALSE(c.receive(60)) << "resent before the time-out";
        clock->advanceMs(1);
        auto again = c.receive();
        ASSERT_TRUE(again) << send;
        EXPECT_EQ(*again, *first);
        EXPECT_EQ(records.back().RetryCount, send);
        EXPECT_EQ(codes.back(), 2);
    }
    clock->advanceMs(2999);
    pump(60);
    EXPECT_EQ(codes.back(), 2);
    clock->advanceMs(1);
    pump(60);
    EXPECT_FALSE(c.receive(10));
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, 2, -1113, 0}));
}

TEST_F(TFTPServerTimeoutTest, LostAckIsRecoveredByRetransmission)
{
    Bytes content = randomBytes(1300, 8);
    writeFile(root + "/a.bin", content);
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    int sp = 0;
    auto p = c.receive(2000, &sp);
    ASSERT_TRUE(p);
    c.sendTo(sp, ack(1));
    p = c.receive();
    ASSERT_TRUE(p);
    ASSERT_EQ(blockOf(*p), 2);
    // The ACK of block 2 is "lost": the block comes again after the time-out.
    clock->advanceMs(3000);
    auto again = c.receive();
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *p);
    c.sendTo(sp, ack(2));
    p = c.receive();
    ASSERT_TRUE(p);
    EXPECT_EQ(blockOf(*p), 3);
    c.sendTo(sp, ack(3));
    drain();
    EXPECT_EQ(codes.back(), 0);
    EXPECT_EQ(codes[codes.size() - 2], 3);
}

TEST_F(TFTPServerTimeoutTest, SilentWriterTimesOutAtFirstTimeoutLeavingOldFile)
{
    writeFile(root + "/w.bin", Bytes(10, 'a'));
    UdpClient c;
    c.sendTo(port, request(2, "w.bin"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    c.sendTo(sp, data(1, Bytes(512, 'b')));
    EXPECT_EQ(c.receive(), ack(1));
    clock->advanceMs(3000);
    EXPECT_FALSE(c.receive(100)) << "a write session does not repeat its ACK";
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, -1113, 0}));
    EXPECT_EQ(readFile(root + "/w.bin"), Bytes(10, 'a'));
    EXPECT_EQ(listFolder(root), std::vector<std::string>{"w.bin"});
}

TEST_F(TFTPServerTimeoutTest, FinishedWriteAcknowledgesItsFinalBlockUntilItsTimeout)
{
    UdpClient c;
    c.sendTo(port, request(2, "w.bin"));
    int sp = 0;
    ASSERT_TRUE(c.receive(2000, &sp));
    c.sendTo(sp, data(1, Bytes(100, 'w')));
    EXPECT_EQ(c.receive(), ack(1));
    EXPECT_EQ(readFile(root + "/w.bin"), Bytes(100, 'w')) << "committed at the final block";
    clock->advanceMs(2999);
    pump(60);
    c.sendTo(sp, data(1, Bytes(100, 'w')));
    EXPECT_EQ(c.receive(), ack(1)) << "the final ACK was lost; the repeat gets it again";
    EXPECT_EQ(server->SessionCount(), 1);
    clock->advanceMs(1);
    drain();
    EXPECT_EQ(server->SessionCount(), 0);
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 3, 0}));
    EXPECT_EQ(readFile(root + "/w.bin"), Bytes(100, 'w'));
    EXPECT_EQ(listFolder(root), std::vector<std::string>{"w.bin"});
}

TEST_F(TFTPServerTimeoutTest, CancelIsHonouredOnTimeout)
{
    writeFile(root + "/a.bin", Bytes(100, 'a'));
    bool cancelNow = false;
    cancelOn = [&](const KvTFTPMsg &) { return cancelNow; };
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    ASSERT_TRUE(c.receive());
    cancelNow = true;
    // The status of the first resend sets the flag; the next time-out ends the transfer.
    clock->advanceMs(3000);
    ASSERT_TRUE(c.receive());
    clock->advanceMs(3000);
    EXPECT_FALSE(c.receive(100));
    drain();
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 2, -1114, 0}));
}

TEST_F(TFTPServerTimeoutTest, StopWithSilentPeerReturnsAfterTenSecondsKeepingSession)
{
    server->SetTimeout(5000, 3);
    writeFile(root + "/a.bin", Bytes(600, 'a'));
    UdpClient c;
    c.sendTo(port, request(1, "a.bin"));
    ASSERT_TRUE(c.receive());
    // Time runs on while Stop waits: 500 ms of clock per (shortened) tick.
    kv::Timer advance;
    advance.onTimeout = [&] { clock->advanceMs(500); };
    advance.start(100);
    std::int64_t before = clock->monotonicMs();
    server->Stop();
    std::int64_t waited = clock->monotonicMs() - before;
    advance.stop();
    EXPECT_GE(waited, 10000);
    EXPECT_LE(waited, 11000);
    EXPECT_FALSE(server->IsListening());
    EXPECT_EQ(server->SessionCount(), 1);
    EXPECT_EQ(codes.back(), 2);
}

} // namespace

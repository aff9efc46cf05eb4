// tftp-serve, the server as a program of its own, with few file descriptors under a flood of
// read requests: a normal client is still served at once.
#include "Harness.h"
#include "TftpTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace tftptest;

TEST(TFTPFlood, ServerWithFewDescriptorsAnswersANormalClientAtOnce)
{
    const std::string serve = kvtest::binaryDir() + "/bench/tftp/tftp-serve";
    if (::access(serve.c_str(), X_OK) != 0)
        KV_PEER_MISSING(serve + " is not built");
    const std::string root = kvtest::makeTempDir("kvtftp-flood-");
    const Bytes content = randomBytes(1500, 11);
    writeFile(root + "/normal.bin", content);
    for (int i = 0; i < 600; ++i)
        writeFile(root + "/f" + std::to_string(i), randomBytes(1000, static_cast<unsigned>(i)));

    devsimtest::Process server;
    ASSERT_TRUE(server.start({"/bin/sh", "-c", "ulimit -n 256 && exec \"$0\" \"$1\" 0 2>&1", serve, root}));
    ASSERT_TRUE(server.waitForLine("serving", 5000)) << server.output();
    const std::string &said = server.output();
    const auto colon = said.find(':', said.find("127.0.0.1"));
    const int port = std::atoi(said.c_str() + colon + 1);
    ASSERT_GT(port, 0) << said;

    // Read requests that are never acknowledged, each of another file.
    UdpClient flood("127.0.0.2");
    for (int i = 0; i < 600; ++i)
        flood.sendTo(port, request(1, "f" + std::to_string(i)));
    // The server has taken in what the socket could hold once its answers stop.
    int served = 0;
    int answers = 0;
    while (auto p = flood.receive(300)) {
        ++answers;
        served += opcodeOf(*p) == 3 ? 1 : 0;
    }
    EXPECT_GT(answers, 8);
    EXPECT_LE(served, 8);

    UdpClient normal;
    normal.sendTo(port, request(1, "normal.bin"));
    Bytes got;
    int sessionPort = 0;
    for (std::uint16_t block = 1;; ++block) {
        auto p = normal.receive(1000, &sessionPort);
        ASSERT_TRUE(p) << "no block " << block;
        ASSERT_EQ(opcodeOf(*p), 3);
        ASSERT_EQ(blockOf(*p), block);
        got.insert(got.end(), p->begin() + 4, p->end());
        normal.sendTo(sessionPort, ack(block));
        if (p->size() < 516)
            break;
    }
    EXPECT_EQ(got, content);
    EXPECT_EQ(server.stop(), 0);
    std::error_code ec;
    fs::remove_all(root, ec);
}

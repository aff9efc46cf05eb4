// Transfers with the real TFTP clients of the distribution, run as child processes while
// the server serves from this process's event loop.
#include "TFTPServer.h"
#include "TftpTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tftptest;
namespace fs = std::filesystem;

namespace {

enum class Client { TftpHpa, Atftp, Curl, CurlNoOptions, CurlBlksize };

const char *clientName(Client c)
{
    switch (c) {
    case Client::TftpHpa:
        return "tftp";
    case Client::Atftp:
        return "atftp";
    case Client::Curl:
        return "curl";
    case Client::CurlNoOptions:
        return "curlNoOptions";
    case Client::CurlBlksize:
        return "curlBlksize";
    }
    return "";
}

std::string program(Client c)
{
    switch (c) {
    case Client::TftpHpa:
        return "tftp";
    case Client::Atftp:
        return "atftp";
    default:
        return "curl";
    }
}

std::vector<std::string> command(Client c, bool get, int port, const std::string &name,
                                 const std::string &local)
{
    std::string p = std::to_string(port);
    std::string url = "tftp://127.0.0.1:" + p + "/" + name;
    switch (c) {
    case Client::TftpHpa:
        return get ? std::vector<std::string>{"tftp", "-m",  "binary", "127.0.0.1", p,
                                              "-c",   "get", name,     local}
                   : std::vector<std::string>{"tftp", "-m",  "binary", "127.0.0.1", p,
                                              "-c",   "put", local,    name};
    case Client::Atftp:
        return {"atftp", get ? "--get" : "--put", "-r", name, "-l", local, "127.0.0.1", p};
    case Client::Curl:
    case Client::CurlNoOptions:
    case Client::CurlBlksize: {
        std::vector<std::string> args{"curl", "-sS", "--noproxy", "*", "--max-time", "300"};
        if (c == Client::CurlNoOptions)
            args.push_back("--tftp-no-options");
        if (c == Client::CurlBlksize) {
            args.push_back("--tftp-blksize");
            args.push_back("1468");
        }
        if (get) {
            args.push_back("-o");
            args.push_back(local);
        } else {
            args.push_back("-T");
            args.push_back(local);
        }
        args.push_back(url);
        return args;
    }
    }
    return {};
}

struct InteropCase {
    Client client;
    std::size_t size;
};

void PrintTo(const InteropCase &c, std::ostream *os)
{
    *os << clientName(c.client) << " " << c.size << " bytes";
}

std::string caseName(const ::testing::TestParamInfo<InteropCase> &info)
{
    return std::string(clientName(info.param.client)) + "_" + std::to_string(info.param.size);
}

class TFTPInterop : public ::testing::TestWithParam<InteropCase> {
protected:
    void SetUp() override
    {
        if (!programAvailable(program(GetParam().client)))
            KV_PEER_MISSING(program(GetParam().client) + " is not installed");
        base = kvtest::makeTempDir("kvtftp-interop-");
        root = base + "/root";
        local = base + "/local";
        fs::create_directory(root);
        fs::create_directory(local);
        server = std::make_unique<KvTFTPServer>();
        server->SetListenAddress("127.0.0.1");
        server->SetTimeout(100, 3);
        server->SetOnStatus([this](KvTFTPServer *, const KvTFTPMsg *m, bool *) {
            if (m->Code == 3)
                ++successes;
            if (m->Code < 0)
                failures.push_back(m->Code);
        });
        server->Start(root, 0);
        port = server->ListeningPort();
    }
    void TearDown() override
    {
        server.reset();
        std::error_code ec;
        if (!base.empty())
            fs::remove_all(base, ec);
    }
    void waitForSessionsFreed()
    {
        for (int i = 0; i < 200 && server->SessionCount() > 0; ++i)
            kv::waitForEvents(10);
    }

    std::string base, root, local;
    std::unique_ptr<KvTFTPServer> server;
    int port = 0;
    int successes = 0;
    std::vector<int> failures;
};

TEST_P(TFTPInterop, GetAndPutAreByteForByte)
{
    const auto &param = GetParam();
    Bytes content = randomBytes(param.size, static_cast<unsigned>(param.size) + 11);
    const int timeoutMs = 240000;

    writeFile(root + "/served.bin", content);
    std::string fetched = local + "/fetched.bin";
    auto r =
        runClient(command(param.client, true, port, "served.bin", fetched), base + "/get.log", timeoutMs);
    ASSERT_FALSE(r.timedOut) << r.output;
    ASSERT_EQ(r.exitCode, 0) << r.output;
    ASSERT_TRUE(fileExists(fetched)) << r.output;
    EXPECT_TRUE(readFile(fetched) == content) << "get differs; client said: " << r.output;

    std::string upload = local + "/upload.bin";
    Bytes other = randomBytes(param.size, static_cast<unsigned>(param.size) + 12);
    writeFile(upload, other);
    writeFile(root + "/stored.bin", Bytes(700, 'x')); // replaced entirely
    r = runClient(command(param.client, false, port, "stored.bin", upload), base + "/put.log", timeoutMs);
    ASSERT_FALSE(r.timedOut) << r.output;
    ASSERT_EQ(r.exitCode, 0) << r.output;
    waitForSessionsFreed();
    EXPECT_TRUE(readFile(root + "/stored.bin") == other) << "put differs; client said: " << r.output;
    EXPECT_EQ(listFolder(root), (std::vector<std::string>{"served.bin", "stored.bin"}));
    EXPECT_EQ(successes, 2);
    EXPECT_TRUE(failures.empty());
}

std::vector<InteropCase> interopCases()
{
    std::vector<InteropCase> cases;
    const std::size_t small[] = {0, 511, 512, 1024, 1500, 1u << 20};
    for (Client c :
         {Client::TftpHpa, Client::Atftp, Client::Curl, Client::CurlNoOptions, Client::CurlBlksize})
        for (std::size_t s : small)
            cases.push_back({c, s});
    // Past 65535 blocks the block numbers wrap.
    for (Client c : {Client::TftpHpa, Client::Atftp, Client::Curl}) {
        cases.push_back({c, 10u << 20});
        cases.push_back({c, 40u << 20});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Clients, TFTPInterop, ::testing::ValuesIn(interopCases()), caseName);

} // namespace

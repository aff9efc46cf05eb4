// The FTP login check against pyftpdlib and against a server that never answers.
#include "FtpLogin.h"
#include "FtpServer.h"
#include "Pump.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

namespace {

std::optional<kv::FtpLoginOutcome> check(kv::FtpLoginTarget target, int waitMs = 8000)
{
    kv::FtpLoginCheck login;
    std::optional<kv::FtpLoginOutcome> result;
    login.Start(target, [&](const kv::FtpLoginOutcome &o) { result = o; });
    EXPECT_TRUE(login.Running());
    kvtest::pumpUntil([&] { return result.has_value(); }, waitMs);
    EXPECT_FALSE(login.Running());
    return result;
}

// Accepts connections (into its backlog) but never says anything.
class SilentServer {
public:
    SilentServer() : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(m_fd, 4) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len) != 0)
            ADD_FAILURE() << "no listening socket";
        m_port = ntohs(a.sin_port);
    }
    ~SilentServer() { ::close(m_fd); }
    int port() const { return m_port; }

private:
    int m_fd;
    int m_port = 0;
};

struct Login {
    const char *user;
    const char *password;
    bool loggedIn;
};

class FtpLogin : public ::testing::TestWithParam<Login> {};

} // namespace

TEST_P(FtpLogin, AgainstARealServer)
{
    kvtest::FtpServer server("admin", "s3cret");
    ASSERT_TRUE(server.ok()) << server.why();
    const Login l = GetParam();
    auto outcome = check({"127.0.0.1", server.port(), l.user, l.password, 3000, 3000});
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->LoggedIn, l.loggedIn) << outcome->Reason;
    EXPECT_EQ(outcome->Refused, !l.loggedIn);
}

INSTANTIATE_TEST_SUITE_P(Users, FtpLogin,
                         ::testing::Values(Login{"admin", "s3cret", true}, Login{"admin", "wrong", false},
                                           Login{"nobody", "s3cret", false}));

// Two checks against the same silent server: the one with the short waits ends on its own
// while the one with long waits still runs, so the waits given are what ends a check.
TEST(FtpLoginCheck, ServerThatNeverGreetsEndsWithinTheReplyTimeout)
{
    SilentServer silent;
    kv::FtpLoginCheck patient;
    bool patientDone = false;
    patient.Start({"127.0.0.1", silent.port(), "u", "p", 60000, 60000},
                  [&](const auto &) { patientDone = true; });
    auto outcome = check({"127.0.0.1", silent.port(), "u", "p", 1000, 1000}, 20000);
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->LoggedIn);
    EXPECT_FALSE(outcome->Refused);
    EXPECT_TRUE(patient.Running());
    EXPECT_FALSE(patientDone);
}

TEST(FtpLoginCheck, NothingListeningIsAFailure)
{
    auto outcome = check({"127.0.0.1", 1, "u", "p", 1000, 1000});
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->LoggedIn);
}

TEST(FtpLoginCheck, AbandonedCheckCallsNothing)
{
    SilentServer silent;
    bool called = false;
    {
        kv::FtpLoginCheck login;
        login.Start({"127.0.0.1", silent.port(), "u", "p", 300, 300}, [&](const auto &) { called = true; });
        kvtest::pump(50);
        EXPECT_TRUE(login.Running());
    }
    kvtest::pump(1500);
    EXPECT_FALSE(called);
}

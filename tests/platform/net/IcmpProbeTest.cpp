// The echo probe over real sockets, sending only to loopback: in this host's namespace, and
// in network namespaces the test creates (unshare -n) where the echo and ping-socket settings
// can be changed without touching the host. Tests skip, saying why, where that is refused.
#include "IcmpProbe.h"
#include "Clock.h"
#include "IcmpPacket.h"
#include "Pump.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <cctype>
#include <optional>
#include <string>

namespace {

using kv::IcmpProbeOutcome;
using Verdict = kv::IcmpProbeOutcome::Verdict;
constexpr uint32_t kLoopback = 0x7F000001;

std::optional<IcmpProbeOutcome> probe(kv::IcmpProber &prober, uint32_t address)
{
    std::optional<IcmpProbeOutcome> outcome;
    auto running = prober.Start(address, [&](const IcmpProbeOutcome &o) { outcome = o; });
    kvtest::pumpUntil([&] { return outcome.has_value(); }, 10000);
    return outcome;
}

TEST(IcmpProbe, LoopbackAnswers)
{
    kv::SocketIcmpProber prober;
    const uint16_t before = gIcmpSequence;
    const auto outcome = probe(prober, kLoopback);
    ASSERT_TRUE(outcome);
    if (outcome->verdict == Verdict::CannotRun)
        GTEST_SKIP() << "no ICMP socket for this user (" << outcome->reason << ")";
    EXPECT_EQ(outcome->verdict, Verdict::InUse);
    EXPECT_EQ(outcome->requestsSent, 1); // the first answer ends the probe
    EXPECT_EQ(static_cast<uint16_t>(gIcmpSequence - before), 1);
}

TEST(IcmpProbe, WithoutAnInstalledProberNothingIsSent)
{
    kv::ScopedIcmpProber none(nullptr);
    const uint16_t before = gIcmpSequence;
    const auto outcome = probe(kv::IcmpProber::instance(), kLoopback);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->verdict, Verdict::CannotRun);
    EXPECT_EQ(outcome->requestsSent, 0);
    EXPECT_EQ(gIcmpSequence, before);
}

TEST(IcmpProbe, DestroyedProbeNeverAnswers)
{
    kv::SocketIcmpProber prober;
    bool answered = false;
    prober.Start(kLoopback, [&](const IcmpProbeOutcome &) { answered = true; }).reset();
    kvtest::pump(100);
    EXPECT_FALSE(answered);
}

// ---- in a network namespace of the test's own ----------------------------------------------

struct ToolRun {
    bool ran = false;
    std::string out;
    std::string why; // when the namespace was refused
};

ToolRun runIsolated(const QStringList &toolArgs)
{
    ToolRun run;
    // As root a plain network namespace; otherwise one inside a user namespace.
    for (const QStringList &unshare : {QStringList{"-n"}, QStringList{"-r", "-n"}}) {
        QProcess p;
        p.start("unshare", unshare + QStringList{KV_ICMP_PROBE_TOOL, "--isolated"} + toolArgs);
        if (!p.waitForStarted(5000)) {
            run.why = "unshare cannot be run";
            return run;
        }
        p.waitForFinished(30000);
        const std::string out = p.readAllStandardOutput().toStdString();
        const std::string err = p.readAllStandardError().toStdString();
        if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
            run.ran = true;
            run.out = out;
            return run;
        }
        run.why += (run.why.empty() ? "" : " / ") + err;
        if (p.exitCode() == 1 && err.find("unshare") == std::string::npos)
            ADD_FAILURE() << "the probe tool refused its arguments: " << err;
    }
    return run;
}

struct NamespaceCase {
    const char *what;
    QStringList args;
    const char *expected; // the tool's outcome line
};

class IcmpProbeIsolated : public ::testing::TestWithParam<NamespaceCase> {};

TEST_P(IcmpProbeIsolated, Outcome)
{
    const NamespaceCase &c = GetParam();
    const ToolRun run = runIsolated(c.args);
    if (!run.ran)
        GTEST_SKIP() << "no network namespace for this test: " << run.why;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), c.expected) << c.what << "\n" << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Namespace, IcmpProbeIsolated,
    ::testing::Values(
        NamespaceCase{"no ping group: raw socket", {"127.0.0.1"}, "verdict=in-use socket=raw sent=1"},
        NamespaceCase{"echo ignored: silent after three requests",
                      {"--echo-ignore", "--wait-ms", "200", "127.0.0.1"},
                      "verdict=free socket=raw sent=3"},
        NamespaceCase{"ping group: unprivileged socket",
                      {"--ping-group", "127.0.0.2"},
                      "verdict=in-use socket=ping sent=1"},
        NamespaceCase{"ping group, echo ignored",
                      {"--ping-group", "--echo-ignore", "--wait-ms", "200", "127.0.0.1"},
                      "verdict=free socket=ping sent=3"},
        NamespaceCase{
            "neither socket allowed", {"--drop-raw", "127.0.0.1"}, "verdict=cannot-run socket=none sent=0"}),
    [](const ::testing::TestParamInfo<NamespaceCase> &tested) {
        std::string name;
        for (const char c : std::string(tested.param.what))
            if (std::isalnum(static_cast<unsigned char>(c)))
                name += c;
        return name;
    });

} // namespace

// The forms' entry to the echo probe: only dotted addresses are probed, as numbers.
#include "PingHost.h"
#include "Pump.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

class RecordingProber : public kv::IcmpProber {
public:
    std::vector<uint32_t> probed;
    std::unique_ptr<kv::IcmpProbe> Start(uint32_t address, Done done) override
    {
        probed.push_back(address);
        kv::IcmpProbeOutcome outcome;
        outcome.verdict = kv::IcmpProbeOutcome::Verdict::InUse;
        return kv::PostIcmpOutcome(outcome, std::move(done));
    }
};

std::optional<kv::IcmpProbeOutcome> ping(const AnsiString &text)
{
    std::optional<kv::IcmpProbeOutcome> outcome;
    auto probe = PingHost(text, [&](const kv::IcmpProbeOutcome &o) { outcome = o; });
    kvtest::pumpUntil([&] { return outcome.has_value(); }, 2000);
    return outcome;
}

TEST(PingHost, ProbesDottedAddressesOnly)
{
    auto prober = std::make_shared<RecordingProber>();
    kv::ScopedIcmpProber installed(prober);
    const auto answered = ping("192.168.0.05");
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->verdict, kv::IcmpProbeOutcome::Verdict::InUse);
    EXPECT_EQ(prober->probed, std::vector<uint32_t>{0xC0A80005});

    for (const char *name : {"localhost", "", "1.2.3", "192.168.0.256"}) {
        const auto refused = ping(name);
        ASSERT_TRUE(refused) << name;
        EXPECT_EQ(refused->verdict, kv::IcmpProbeOutcome::Verdict::CannotRun) << name;
        EXPECT_EQ(refused->reason, std::string("Unable to resolve ") + name);
    }
    EXPECT_EQ(prober->probed.size(), 1u); // nothing else reached the prober
}

TEST(PingHost, QuestionNamesWhyTheCheckCannotBeMade)
{
    kv::IcmpProbeOutcome outcome;
    outcome.reason = "raw socket (CAP_NET_RAW): Operation not permitted";
    EXPECT_EQ(UncheckedAddressQuestion(outcome),
              "Whether the IP is already used cannot be checked (raw socket (CAP_NET_RAW): Operation not "
              "permitted). Use it anyway?");
}

} // namespace

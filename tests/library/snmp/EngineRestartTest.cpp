// SNMPv3 against a device that restarts: with the engine ID it keeps (boots go up, its clock
// starts again) and with a new one (a replaced or factory-reset device).
#include "Clock.h"
#include "EngineTestSupport.h"
#include "Harness.h"
#include "KvSNMPErrors.h"

using namespace enginetest;

namespace {

const std::string kSysDescr = "1.3.6.1.2.1.1.1";

struct Restart {
    const char *name;
    std::vector<std::string> args;
};

class EngineRestart : public ::testing::TestWithParam<Restart> {};

} // namespace

TEST_P(EngineRestart, PollingRecoversWithinSeconds)
{
    devsimtest::Devsim device({"--user", "restartuser:SHA:restartpass1:DES:restartpass2"});
    ASSERT_TRUE(device.ok());
    auto r = makeRequest(device.port(), 3);
    useUser(*r, "restartuser", 3, "restartpass1", 2, "restartpass2", 3);
    r->VarList = makeList({{kSysDescr, KvSyntax::DisplayStr, KvAccess::ReadOnly}}, SVT_SV, 0);

    // Polls as the main window does: one asynchronous get at a time, a new one after each.
    auto poll = [&] {
        int code = 1;
        r->GetAsync([&](KvSNMPError *e, KvSNMPVarList *) { code = e->Code; }, true);
        EXPECT_TRUE(pumpUntil([&] { return code != 1; }, 5000));
        return code;
    };
    ASSERT_EQ(poll(), 0);
    ASSERT_TRUE(device.restart(GetParam().args));

    const std::int64_t start = kv::Clock::instance().monotonicMs();
    int code = -1;
    while (code != 0 && kv::Clock::instance().monotonicMs() - start < 8000)
        code = poll();
    EXPECT_EQ(code, 0);
    EXPECT_LT(kv::Clock::instance().monotonicMs() - start, 5000);
    EXPECT_NE(r->VarList.GetItem(0)->Value.find("QRN-5290AP"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Device, EngineRestart,
                         ::testing::Values(Restart{"SameEngineId", {}},
                                           Restart{"NewEngineId", {"--engine-id", "replaced-unit"}}),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

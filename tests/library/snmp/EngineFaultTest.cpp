// Requests against a scripted agent: what a real agent rarely does on purpose.
#include "Clock.h"
#include "EngineTestSupport.h"
#include "Exception.h"
#include "KvSNMPErrors.h"
#include "Snmp.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace enginetest;

namespace {

const std::string kCol1 = "1.3.6.1.4.1.32473.77.1.1";
const std::string kCol2 = "1.3.6.1.4.1.32473.77.1.2";
const std::string kScalar = "1.3.6.1.4.1.32473.77.2";

std::string WireVbText(const WireRequest &req)
{
    std::string out;
    for (auto id : req.vbs.front().oid)
        out += (out.empty() ? "" : ".") + std::to_string(id);
    return out;
}

KvSNMPVarList twoColumns()
{
    return makeList(
        {{kCol1, KvSyntax::Integer, KvAccess::ReadOnly}, {kCol2, KvSyntax::Integer, KvAccess::ReadOnly}},
        MVT_FMV, 1);
}

struct Completion {
    int calls = 0;
    KvSNMPError last;
    KvSNMPCompletion closure()
    {
        return [this](KvSNMPError *e, KvSNMPVarList *) {
            ++calls;
            last = *e;
        };
    }
};

} // namespace

TEST(EngineFault, AgentErrorStatusWithIndexReachesBothPaths)
{
    const struct {
        int status;
        int code;
        std::uint8_t exception = 0; // with status 0: this SNMPv2 exception in the second binding
    } cases[] = {{1, -101},  {3, -103},       {5, -105},       {16, -116},     {18, -118},
                 {19, -119}, {0, -102, 0x80}, {0, -102, 0x81}, {0, -102, 0x82}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.status + 1000 * c.exception);
        FakeAgent agent([&](const WireRequest &req) {
            WireReply r;
            r.echo = c.exception == 0;
            r.errorStatus = c.status;
            r.errorIndex = c.exception == 0 ? 2 : 0;
            if (c.exception != 0)
                r.vbs = {req.vbs[0], WireVb{req.vbs[1].oid, c.exception, {}}};
            return r;
        });
        auto r = makeRequest(agent.port(), 1);
        r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadWrite, "1"},
                               {kScalar + ".9", KvSyntax::Integer, KvAccess::ReadWrite, "2"}},
                              SVT_SV, 0);
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        r->Set(ok, false, "", nullptr);
        EXPECT_FALSE(ok);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].Code, c.code);
        EXPECT_EQ(log.records[0].Message, gSnmpStatusTexts[static_cast<std::size_t>(-100 - c.code - 1)]);

        Completion done;
        r->SetAsync(done.closure(), false, "", nullptr);
        ASSERT_TRUE(pumpUntil([&] { return done.calls > 0; }, 3000));
        EXPECT_EQ(done.last.Code, c.code);
        EXPECT_EQ(done.last.ErrorIndex, 2);
        EXPECT_EQ(done.last.Finished, 1);
        EXPECT_EQ(r->FailureCount(), 1) << "a completion's failure is not counted";
    }
}

TEST(EngineFault, TooBigWithoutBindingsReadsNothingPastTheEnd)
{
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.errorStatus = 1;
        return r; // no bindings at all
    });
    for (KvSNMPItemType type : {SVT_SV, MVT_FMV}) {
        SCOPED_TRACE(type);
        auto r = makeRequest(agent.port(), 1);
        r->VarList = type == SVT_SV ? makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0)
                                    : twoColumns();
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        EXPECT_FALSE(r->Get(ok, true));
        EXPECT_FALSE(ok);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].Code, -101);
        EXPECT_EQ(r->VarList.GetItem(0)->Value, "(NOTDONE)");

        Completion done;
        r->GetAsync(done.closure(), true);
        ASSERT_TRUE(pumpUntil([&] { return done.calls > 0; }, 3000));
        EXPECT_EQ(done.last.Code, -101);
        EXPECT_EQ(done.last.Finished, 1);
    }
}

TEST(EngineFault, ScalarAnswerWithoutTheObjectsAskedFailsTheRead)
{
    const struct {
        const char *name;
        std::function<std::vector<WireVb>()> answer;
        const char *why;
    } cases[] = {
        {"no bindings", [] { return std::vector<WireVb>{}; }, "no value for "},
        {"one of two", [] { return std::vector<WireVb>{intVb(kScalar + ".0", 7)}; }, "no value for "},
        {"another object",
         [] {
             return std::vector<WireVb>{intVb(kScalar + ".0", 7), intVb("1.3.6.1.2.1.1.3.0", 9)};
         },
         "the answer names 1.3.6.1.2.1.1.3.0 where "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakeAgent agent([&](const WireRequest &) {
            WireReply r;
            r.vbs = c.answer();
            return r;
        });
        auto r = makeRequest(agent.port(), 1);
        r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly},
                               {kScalar + ".5", KvSyntax::Integer, KvAccess::ReadOnly}},
                              SVT_SV, 0);
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        EXPECT_FALSE(r->Get(ok, true));
        EXPECT_FALSE(ok);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].Code, -411);
        EXPECT_NE(log.records[0].Message.find(c.why), std::string::npos) << log.records[0].Message;
        EXPECT_EQ(r->VarList.GetItem(1)->Value, "(NOTDONE)");
        EXPECT_NE(r->VarList.GetItem(1)->InstanceOid, "1.3.6.1.2.1.1.3.0");

        Completion done;
        r->GetAsync(done.closure(), true);
        ASSERT_TRUE(pumpUntil([&] { return done.calls > 0; }, 3000));
        EXPECT_EQ(done.last.Code, -411);
        EXPECT_EQ(done.last.ErrorIndex, c.answer().empty() ? 1 : 2);
        EXPECT_EQ(done.last.Finished, 1);
        EXPECT_EQ(r->VarList.GetItem(1)->Value, "(NOTDONE)");
    }
}

TEST(EngineFault, NonIncreasingAnswersEndTheWalk)
{
    // The agent answers every get-next with the first row again.
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.vbs = {intVb(kCol1 + ".1", 10), intVb(kCol2 + ".1", 20)};
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->VarList = twoColumns();
    bool ok = true;
    int rows = 0;
    bool first = true;
    while (r->Get(ok, first) && rows < 10) {
        first = false;
        ++rows;
    }
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(ok);
}

TEST(EngineFault, RowIndexComesFromAColumnThatHasNotEnded)
{
    // Column 1 has left the table; column 2 still answers row 7.
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.vbs = {intVb("1.3.6.1.4.1.32473.77.9.1.99", 1), intVb(kCol2 + ".7", 70)};
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->VarList = makeList({{kCol1, KvSyntax::Integer, KvAccess::ReadOnly},
                           {kCol2, KvSyntax::Integer, KvAccess::ReadOnly},
                           {"1.3.6.1.4.1.32473.77.1.3", KvSyntax::Integer, KvAccess::NotAccess}},
                          MVT_FMV, 0);
    r->VarList.SetKeyCount(0);
    bool ok = true;
    EXPECT_TRUE(r->Get(ok, true));
    EXPECT_EQ(r->VarList.GetItem(0)->Value, "(NOTDONE)");
    EXPECT_EQ(r->VarList.GetItem(1)->Value, "70");
    EXPECT_EQ(r->VarList.GetItem(1)->InstanceOid, kCol2 + ".7");
}

TEST(EngineFault, TypeMismatchIsTakenWithoutHarm)
{
    FakeAgent agent([](const WireRequest &req) {
        WireReply r;
        for (const auto &vb : req.vbs)
            r.vbs.push_back(WireVb{vb.oid, 0x04, {'x', 'y'}}); // a string where an integer was asked
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly},
                           {kScalar + ".5", KvSyntax::IpAddress, KvAccess::ReadOnly},
                           {kScalar + ".6", KvSyntax::Counter64, KvAccess::ReadOnly}},
                          SVT_SV, 0);
    bool ok = true;
    EXPECT_NO_THROW(r->Get(ok, true));
    EXPECT_TRUE(ok);
}

TEST(EngineFault, SnmpV2ExceptionsFailAGetAndEndAWalk)
{
    FakeAgent agent([](const WireRequest &req) {
        WireReply r;
        if (req.pduType == 0xA0) {
            r.vbs = {intVb(kScalar + ".0", 5), tagVb(kScalar + ".3.0", 0x81)};
        } else {
            for (const auto &vb : req.vbs)
                r.vbs.push_back(WireVb{vb.oid, 0x82, {}});
        }
        return r;
    });
    auto get = makeRequest(agent.port(), 1);
    get->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly},
                             {kScalar + ".3", KvSyntax::Integer, KvAccess::ReadOnly}},
                            SVT_SV, 0);
    ResultLog log;
    log.attach(*get);
    bool ok = true;
    get->Get(ok, true);
    EXPECT_FALSE(ok);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].Code, -102);

    auto walk = makeRequest(agent.port(), 1);
    walk->VarList = twoColumns();
    ResultLog walkLog;
    walkLog.attach(*walk);
    bool walkOk = true;
    EXPECT_FALSE(walk->Get(walkOk, true));
    EXPECT_TRUE(walkOk);
    EXPECT_TRUE(walkLog.records.empty());
}

TEST(EngineFault, SnmpV1EndOfMibEndsTheWalkQuietly)
{
    int calls = 0;
    FakeAgent agent([&](const WireRequest &) {
        WireReply r;
        if (calls++ == 0) {
            r.vbs = {intVb(kCol1 + ".1", 1), intVb(kCol2 + ".1", 2)};
        } else {
            r.echo = true;
            r.errorStatus = 2;
            r.errorIndex = 1;
        }
        return r;
    });
    auto r = makeRequest(agent.port(), 0);
    r->VarList = twoColumns();
    ResultLog log;
    log.attach(*r);
    bool ok = true;
    EXPECT_TRUE(r->Get(ok, true));
    EXPECT_FALSE(r->Get(ok, false));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(log.records.empty());
}

TEST(EngineFault, TimeOutAfterEveryTry)
{
    std::atomic<int> finished{0};
    std::vector<int> finishedAtTry; // failures reported when each try reached the agent
    std::mutex m;
    FakeAgent agent([&](const WireRequest &) {
        std::lock_guard<std::mutex> lock(m);
        finishedAtTry.push_back(finished.load());
        return WireReply{true, 0, 0, 0, false, {}};
    });
    auto r = makeRequest(agent.port(), 1);
    r->Timeout = 10; // 100 ms
    r->Retries = 2;
    r->VarList = twoColumns();
    KvSNMPError last;
    const auto start = std::chrono::steady_clock::now();
    r->GetAsync(
        [&](KvSNMPError *e, KvSNMPVarList *) {
            last = *e;
            ++finished;
        },
        true);
    ASSERT_TRUE(pumpUntil([&] { return finished > 0; }, 10000));
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(finished.load(), 1);
    EXPECT_EQ(last.Code, -405);
    EXPECT_EQ(last.Message, "(SNMPClass) SNMP request timed out!");
    EXPECT_EQ(agent.requests(), 3);
    std::lock_guard<std::mutex> lock(m);
    EXPECT_EQ(finishedAtTry, (std::vector<int>{0, 0, 0})) << "the failure came before the last try";
    // A lower bound only: three unanswered tries of 100 ms cannot end sooner, and a slower
    // machine only takes longer. It catches a time-out given in the wrong unit.
    EXPECT_GE(spent, std::chrono::milliseconds(290)) << "a try was not given its time-out";
}

TEST(EngineFault, LateReplyAfterTheTimeOutIsDropped)
{
    std::atomic<int> n{0};
    FakeAgent agent([&](const WireRequest &req) {
        WireReply r;
        r.delayMs = n++ == 0 ? 300 : 0; // the first answer comes after the time-out
        r.vbs = {intVb(WireVbText(req), n.load())};
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->Timeout = 10;
    r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    Completion first;
    r->GetAsync(first.closure(), true);
    ASSERT_TRUE(pumpUntil([&] { return first.calls > 0; }, 3000));
    EXPECT_EQ(first.last.Code, -405);
    // The late answer arrives while the next request is out; only that one's answer counts.
    r->Timeout = 100;
    Completion second;
    r->GetAsync(second.closure(), true);
    ASSERT_TRUE(pumpUntil([&] { return second.calls > 0; }, 3000));
    kvtest::pump(400);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(second.last.Code, 0);
    EXPECT_EQ(r->VarList.GetItem(0)->Value, "2");
    EXPECT_EQ(r->Outstanding, 0);
}

TEST(EngineFault, DestructorWaitsButDeliversNothingIntoTheRequest)
{
    std::atomic<int> answered{0};
    FakeAgent agent([&](const WireRequest &req) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150)); // the answer comes late
        ++answered;
        WireReply r;
        r.vbs = {intVb(WireVbText(req), 1)};
        return r;
    });
    int calls = 0;
    auto r = makeRequest(agent.port(), 1);
    r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    r->GetAsync([&](KvSNMPError *, KvSNMPVarList *) { ++calls; }, true);
    r->GetAsync([&](KvSNMPError *, KvSNMPVarList *) { ++calls; }, true);
    EXPECT_EQ(r->Outstanding, 2);
    {
        // On a clock that never moves the wait's limit cannot end it: only the answers can.
        kv::ScopedClock frozen(std::make_shared<kv::MockClock>());
        r.reset();
    }
    EXPECT_EQ(answered.load(), 2) << "the destructor did not wait for the answers";
    EXPECT_EQ(agent.requests(), 2);
    EXPECT_EQ(gKvSNMPSession->outstanding(), 0);
    EXPECT_EQ(calls, 0);
}

// Every reading of this clock is 7 s after the previous one.
struct JumpingClock : kv::Clock {
    mutable std::int64_t now = 0;
    std::int64_t monotonicMs() const override { return now += 7000; }
};

TEST(EngineFault, RepliesAfterTheDestructorsWaitAreDroppedSafely)
{
    FakeAgent agent([](const WireRequest &req) {
        WireReply r;
        r.delayMs = 200;
        r.vbs = {intVb(WireVbText(req), 1)};
        return r;
    });
    int calls = 0;
    {
        auto r = makeRequest(agent.port(), 1);
        r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
        r->GetAsync([&](KvSNMPError *, KvSNMPVarList *) { ++calls; }, true);
        // The destructor's 6000 ms are over at its first look at the clock.
        kv::ScopedClock scoped(std::make_shared<JumpingClock>());
        r.reset();
    }
    kvtest::pump(500); // the answer arrives now, for nobody
    EXPECT_EQ(agent.requests(), 1);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(gKvSNMPSession->outstanding(), 0);
}

TEST(EngineFault, SilentSnmpV3AgentNeverBlocksASend)
{
    SilentAgent silent;
    auto r = makeRequest(silent.port(), 3);
    useUser(*r, "someone", 3, "password123", 2, "password456", 3);
    // The engine-id discovery is tried twice, one second apart.
    r->Timeout = 100;
    r->Retries = 1;
    r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    Completion done;
    r->GetAsync(done.closure(), true);
    r->GetAsync(done.closure(), true);
    // Back from both sends before the discovery's first time-out: its retry has not gone out.
    EXPECT_LE(silent.drain(), 1) << "a send waited for engine discovery";
    EXPECT_EQ(done.calls, 0);
    ASSERT_TRUE(pumpUntil([&] { return done.calls == 2; }, 10000));
    EXPECT_GE(silent.drain(), 1) << "the discovery was not tried again";
    EXPECT_EQ(done.last.Code, -405);
    EXPECT_EQ(r->Outstanding, 0);
}

TEST(EngineFault, SetRestoresTheListOnEveryPath)
{
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.echo = true;
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->VarList = makeList({{kScalar + ".1", KvSyntax::Integer, KvAccess::ReadWrite, "1"},
                           {kScalar + ".2", KvSyntax::UInt8, KvAccess::ReadWrite, "2"},
                           {kScalar + ".3", KvSyntax::Integer, KvAccess::ReadWrite, "3"}},
                          SVT_SV, 0);
    // Item 1's syntax cannot be sent: the set raises after step 2 changed the list.
    std::vector<AnsiString> values{"10", "20"};
    bool ok = true;
    EXPECT_THROW(r->Set(ok, false, "0,1", &values), Exception);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r->VarList.GetItem(i)->Access, KvAccess::ReadWrite) << i;
        EXPECT_EQ(r->VarList.GetItem(i)->Value, std::to_string(i + 1)) << i;
    }
    // A values list shorter than the index list is refused before anything changes.
    std::vector<AnsiString> one{"10"};
    ResultLog log;
    log.attach(*r);
    ok = true;
    const int before = agent.requests();
    r->Set(ok, false, "0,2", &one);
    EXPECT_FALSE(ok);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(agent.requests(), before);
    // Index list 0,2 with two values: only items 0 and 2 go out, with those values.
    std::vector<WireRequest> seen;
    agent.setScript([&](const WireRequest &req) {
        seen.push_back(req);
        WireReply reply;
        reply.echo = true;
        return reply;
    });
    r->VarList.GetItem(1)->Syntax = KvSyntax::Integer;
    std::vector<AnsiString> two{"10", "30"};
    ok = true;
    r->Set(ok, false, "0,2", &two);
    EXPECT_TRUE(ok);
    ASSERT_EQ(seen.size(), 1u);
    ASSERT_EQ(seen[0].vbs.size(), 2u);
    EXPECT_EQ(seen[0].vbs[0].oid, parseOid(kScalar + ".1.0"));
    EXPECT_EQ(seen[0].vbs[1].oid, parseOid(kScalar + ".3.0"));
    EXPECT_EQ(seen[0].vbs[1].value, std::vector<std::uint8_t>{30});
    EXPECT_EQ(seen[0].community, "quintel");
    EXPECT_EQ(r->VarList.GetItem(0)->Value, "1");
    EXPECT_EQ(r->VarList.GetItem(2)->Value, "3");
}

TEST(EngineFault, VersionTwoIsSnmpV2cAndUnknownVersionsAreRefused)
{
    FakeAgent agent([](const WireRequest &req) {
        WireReply r;
        r.vbs = {intVb(WireVbText(req), req.version)};
        return r;
    });
    auto r = makeRequest(agent.port(), 2);
    r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    bool ok = true;
    r->Get(ok, true);
    EXPECT_TRUE(ok);
    EXPECT_EQ(r->VarList.GetItem(0)->Value, "1"); // the wire version number of SNMPv2c

    r->Security.Version = 5;
    ResultLog log;
    log.attach(*r);
    ok = true;
    r->Get(ok, true);
    EXPECT_FALSE(ok);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].Code, -412);
}

namespace {

// Names resolve here without a name server: tests send nothing off this machine.
bool fakeResolver(const std::string &name, std::uint32_t &ip)
{
    if (name != "agent.kvtest")
        return false;
    ip = 0x7F000001;
    return true;
}

struct FakeResolverScope {
    FakeResolverScope() { UdpAddress::set_resolver(fakeResolver); }
    ~FakeResolverScope()
    {
        UdpAddress::set_resolver(nullptr);
        UdpAddress::clear_resolver_cache();
    }
};

} // namespace

TEST(EngineFault, HostNamesAreResolvedOncePerProcess)
{
    FakeAgent agent([](const WireRequest &req) {
        WireReply r;
        r.vbs = {intVb(WireVbText(req), 3)};
        return r;
    });
    FakeResolverScope resolver;
    UdpAddress::clear_resolver_cache();
    const int before = UdpAddress::resolver_lookups();
    for (int i = 0; i < 3; ++i) {
        auto r = makeRequest(agent.port(), 1);
        r->Device.Address = "agent.kvtest";
        r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
        bool ok = true;
        r->Get(ok, true);
        EXPECT_TRUE(ok);
        EXPECT_EQ(r->VarList.GetItem(0)->Value, "3");
    }
    EXPECT_EQ(UdpAddress::resolver_lookups() - before, 1);
    // A name that does not resolve is not kept: each attempt asks again.
    auto bad = makeRequest(agent.port(), 1);
    bad->Device.Address = "no-such-host.kvtest";
    bad->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        try {
            bad->Get(ok, true);
            ADD_FAILURE() << "no exception";
        } catch (const Exception &e) {
            EXPECT_EQ(e.HelpContext, -509);
        }
    }
    EXPECT_EQ(UdpAddress::resolver_lookups() - before, 3);
    EXPECT_EQ(agent.requests(), 3);
}

TEST(EngineFault, TableWithoutRowsEndsAtOnceWithoutReport)
{
    // The first get-next answer already lies past both columns.
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.vbs = {intVb(kScalar + ".0", 1), intVb(kScalar + ".0", 1)};
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->VarList = twoColumns();
    ResultLog log;
    log.attach(*r);
    bool ok = true;
    EXPECT_FALSE(r->Get(ok, true));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(log.records.empty());
    EXPECT_EQ(r->VarList.GetItem(0)->Value, "(NOTDONE)");
    EXPECT_EQ(r->VarList.GetItem(1)->Value, "(NOTDONE)");

    Completion done;
    r->GetAsync(done.closure(), true);
    ASSERT_TRUE(pumpUntil([&] { return done.calls > 0; }, 3000));
    EXPECT_EQ(done.last.Code, 0);
    EXPECT_EQ(done.last.Finished, 1);
    EXPECT_EQ(r->FailureCount(), 0);
}

TEST(EngineFault, SnmpV1EmptyTableAtTheEndOfTheMibReportsEachColumn)
{
    // noSuchName for the very first get-next: the bindings stand where nothing stood before.
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.echo = true;
        r.errorStatus = 2;
        r.errorIndex = 1;
        return r;
    });
    auto r = makeRequest(agent.port(), 0);
    r->VarList = twoColumns();
    ResultLog log;
    log.attach(*r);
    bool ok = true;
    EXPECT_FALSE(r->Get(ok, true));
    EXPECT_FALSE(ok);
    ASSERT_EQ(log.records.size(), 2u);
    for (const auto &rec : log.records) {
        EXPECT_EQ(rec.Code, -102);
        EXPECT_EQ(rec.Message, "(SNMP) Variable does not exist!");
    }
}

TEST(EngineFault, TimeOutInTheMiddleOfAWalkKeepsThePreviousRow)
{
    std::atomic<int> calls{0};
    FakeAgent agent([&](const WireRequest &) {
        WireReply r;
        if (calls++ == 0)
            r.vbs = {intVb(kCol1 + ".4", 40), intVb(kCol2 + ".4", 41)};
        else
            r.drop = true;
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->Timeout = 10;
    r->VarList = twoColumns();
    ResultLog log;
    log.attach(*r);
    bool ok = true;
    ASSERT_TRUE(r->Get(ok, true));
    EXPECT_EQ(r->VarList.GetItem(0)->Value, "4");
    EXPECT_FALSE(r->Get(ok, false));
    EXPECT_FALSE(ok);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].Code, -405);
    EXPECT_EQ(r->VarList.GetItem(0)->InstanceOid, kCol1 + ".4");
    EXPECT_EQ(r->VarList.GetItem(1)->InstanceOid, kCol2 + ".4");
}

TEST(EngineFault, RefusedAsynchronousSendCompletesFromTheEventLoop)
{
    SilentAgent silent;
    auto r = makeRequest(silent.port(), 5); // a version the session refuses
    r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadWrite, "1"}}, SVT_SV, 0);
    ResultLog log;
    log.attach(*r);
    Completion get, set;
    r->GetAsync(get.closure(), true);
    r->SetAsync(set.closure(), false, "", nullptr);
    EXPECT_EQ(get.calls + set.calls, 0) << "delivered from inside the send";
    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_EQ(log.records[0].Code, -412);
    EXPECT_EQ(r->Outstanding, 2);
    ASSERT_TRUE(pumpUntil([&] { return get.calls == 1 && set.calls == 1; }, 2000));
    EXPECT_EQ(get.last.Code, -412);
    EXPECT_EQ(get.last.Finished, 1);
    EXPECT_EQ(set.last.Code, -412);
    EXPECT_EQ(r->Outstanding, 0);
    EXPECT_EQ(r->FailureCount(), 2);
    // A refused send still pending when its request goes is never delivered.
    int late = 0;
    r->GetAsync([&](KvSNMPError *, KvSNMPVarList *) { ++late; }, true);
    r.reset();
    kvtest::pump(100);
    EXPECT_EQ(late, 0);
}

TEST(EngineFault, AnswersWaitingTogetherAreTakenInOneTurnOfTheEventLoop)
{
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.echo = true;
        return r;
    });
    constexpr int kReads = 8;
    std::vector<Completion> done(kReads); // outlives the reads, whose ends wait for answers
    std::vector<std::unique_ptr<KvSNMPRequest>> reads;
    {
        // The session's socket is open and watched.
        Completion first;
        auto r = makeRequest(agent.port(), 1);
        r->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
        r->GetAsync(first.closure(), true);
        ASSERT_TRUE(pumpUntil([&] { return first.calls > 0; }, 3000));
        kvtest::pump(50);
    }
    for (int i = 0; i < kReads; ++i) {
        reads.push_back(makeRequest(agent.port(), 1));
        reads.back()->Timeout = 500;
        reads.back()->VarList = makeList({{kScalar, KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
        reads.back()->GetAsync(done[static_cast<std::size_t>(i)].closure(), true);
    }
    // Every answer is in the socket before the event loop looks.
    for (int i = 0; i < 2000 && agent.requests() < 1 + kReads; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(agent.requests(), 1 + kReads);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QCoreApplication::processEvents();
    int delivered = 0;
    for (const Completion &d : done)
        delivered += d.calls;
    EXPECT_EQ(delivered, kReads);
}

// The global session, its engine-boots counter and the request defaults.
#include "BootCounter.h"
#include "Clock.h"
#include "EngineTestSupport.h"
#include "Exception.h"
#include "Snmp.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

using namespace enginetest;

TEST(EngineGlobalSession, CountsEngineBootsInTheGivenFolder)
{
    const std::string dir = kvtest::makeTempDir("kv-global");
    KvSNMPCreateGlobalSession(dir);
    ASSERT_NE(gKvSNMPSession, nullptr);
    unsigned int boots = 0;
    const std::string file = dir + "/KvSNMP_PP_BootCounter";
    ASSERT_EQ(getBootCounter(file, OctetStr("KvSNMP_PP_Application"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, 1u);
    Snmp *first = gKvSNMPSession;
    KvSNMPCreateGlobalSession(dir);
    ASSERT_EQ(getBootCounter(file, OctetStr("KvSNMP_PP_Application"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, 2u);
    EXPECT_EQ(gKvSNMPSession, first) << "one session for the process";

    EXPECT_EQ(gKvSNMPDefaultDevice.Address, "127.0.0.1");
    EXPECT_EQ(gKvSNMPDefaultDevice.Port, 161);
    EXPECT_EQ(gKvSNMPDefaultSecurity.Version, 0);
    EXPECT_EQ(gKvSNMPDefaultSecurity.ReadCommunity, "mardle");
    EXPECT_EQ(gKvSNMPDefaultSecurity.WriteCommunity, "quintel");
    EXPECT_EQ(gKvSNMPDefaultSecurity.SecurityModel, 1);
    EXPECT_EQ(gKvSNMPDefaultSecurity.SecurityLevel, 1);
    EXPECT_EQ(gKvSNMPDefaultSecurity.AuthProtocol, 1);
    EXPECT_EQ(gKvSNMPDefaultSecurity.PrivProtocol, 1);
    EXPECT_EQ(gKvSNMPDefaultTimeout, 100);
    ASSERT_NE(gKvSNMPEventProcessor, nullptr);
    EXPECT_TRUE(gKvSNMPEventProcessor->Running());
}

TEST(EngineGlobalSession, CounterAtItsLimitStaysThere)
{
    const std::string dir = kvtest::makeTempDir("kv-global");
    const std::string file = dir + "/KvSNMP_PP_BootCounter";
    ASSERT_EQ(saveBootCounter(file, OctetStr("KvSNMP_PP_Application"), MAX_ENGINE_BOOTS), SNMPv3_OK);
    KvSNMPCreateGlobalSession(dir);
    unsigned int boots = 0;
    ASSERT_EQ(getBootCounter(file, OctetStr("KvSNMP_PP_Application"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, MAX_ENGINE_BOOTS);
}

TEST(EngineGlobalSession, UnwritableCounterRaisesAfterTheSessionExists)
{
    try {
        KvSNMPCreateGlobalSession("/nonexistent-kv-folder/sub");
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -508);
        // The message names the file and why it could not be written.
        EXPECT_EQ(e.Message, "(KvSNMP++) Error when saving SNMP engine boots counter! "
                             "(/nonexistent-kv-folder/sub/KvSNMP_PP_BootCounter: No such file or directory)");
    }
    EXPECT_NE(gKvSNMPSession, nullptr);
}

TEST(EngineGlobalSession, ReadOnlyCounterFileRaisesAndStaysAsItWas)
{
    const std::string dir = kvtest::makeTempDir("kv-engine-readonly");
    const std::string file = dir + "/KvSNMP_PP_BootCounter";
    ASSERT_EQ(saveBootCounter(file, OctetStr("KvSNMP_PP_Application"), 4), SNMPv3_OK);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    try {
        KvSNMPCreateGlobalSession(dir);
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -508);
    }
    unsigned int boots = 0;
    EXPECT_EQ(getBootCounter(file, OctetStr("KvSNMP_PP_Application"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, 4u);
}

TEST(EngineGlobalSession, RequestsCopyTheDefaultsOnce)
{
    ensureGlobalSession();
    const KvSNMPDevice savedDevice = gKvSNMPDefaultDevice;
    const int32_t savedTimeout = gKvSNMPDefaultTimeout;
    gKvSNMPDefaultDevice.Address = "10.9.8.7";
    gKvSNMPDefaultDevice.Port = 1161;
    gKvSNMPDefaultTimeout = 250;
    KvSNMPRequest r;
    gKvSNMPDefaultDevice.Address = "10.0.0.1";
    EXPECT_EQ(r.Device.Address, "10.9.8.7");
    EXPECT_EQ(r.Device.Port, 1161);
    EXPECT_EQ(r.Timeout, 250);
    EXPECT_EQ(r.Retries, 1);
    EXPECT_EQ(r.Alive, 1);
    EXPECT_EQ(r.Outstanding, 0);
    EXPECT_EQ(r.FailureCount(), 0);
    gKvSNMPDefaultDevice = savedDevice;
    gKvSNMPDefaultTimeout = savedTimeout;
}

TEST(EngineGlobalSession, TickWithoutASessionDoesNothing)
{
    ensureGlobalSession();
    Snmp *saved = gKvSNMPSession;
    gKvSNMPSession = nullptr;
    gKvSNMPEventProcessor->OnTimer();
    gKvSNMPSession = saved;
    EXPECT_TRUE(gKvSNMPEventProcessor->Running());
}

// The event timer waits a minute: only a socket's watcher can read an answer in time.
struct StillTimers : kv::Clock {
    int timerIntervalMs(int) const override { return 60000; }
};

TEST(EngineGlobalSession, SocketReopenedUnderTheSameNumberIsWatched)
{
    FakeAgent agent([](const WireRequest &) {
        WireReply r;
        r.echo = true;
        return r;
    });
    auto r = makeRequest(agent.port(), 1);
    r->VarList = makeList({{"1.3.6.1.2.1.1.3", KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    kv::ScopedClock clock{std::make_shared<StillTimers>()};
    int calls = 0;
    r->GetAsync([&](KvSNMPError *, KvSNMPVarList *) { ++calls; }, true);
    ASSERT_TRUE(pumpUntil([&] { return calls == 1; }, 2000));
    const std::vector<int> before = gKvSNMPSession->socket_fds();
    // Closed and opened again before the event loop syncs the watchers.
    KvSNMPCloseIdleSessions();
    const std::vector<int> left = gKvSNMPSession->socket_fds();
    r->GetAsync([&](KvSNMPError *, KvSNMPVarList *) { ++calls; }, true);
    std::vector<int> opened = gKvSNMPSession->socket_fds();
    opened.erase(std::remove_if(opened.begin(), opened.end(),
                                [&](int fd) { return std::count(left.begin(), left.end(), fd) > 0; }),
                 opened.end());
    ASSERT_EQ(opened.size(), 1u);
    ASSERT_EQ(std::count(before.begin(), before.end(), opened[0]), 1) << "the number was not reused";
    EXPECT_TRUE(pumpUntil([&] { return calls == 2; }, 2000)) << "the answer was not read";
}

TEST(EngineGlobalSession, BadListKindAndAddressAreRefusedBeforeSending)
{
    SilentAgent silent;
    auto r = makeRequest(silent.port(), 1);
    r->VarList = makeList({{"1.3.6.1.2.1.1.1", KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    r->VarList.Type = static_cast<KvSNMPItemType>(7);
    ResultLog log;
    log.attach(*r);
    bool ok = true;
    EXPECT_FALSE(r->Get(ok, true));
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].Code, -515);
    int calls = 0;
    r->GetAsync(
        [&](KvSNMPError *e, KvSNMPVarList *) {
            ++calls;
            EXPECT_EQ(e->Code, -515);
        },
        true);
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(pumpUntil([&] { return calls == 1; }, 2000));
    EXPECT_EQ(r->Outstanding, 0);

    r->VarList.Type = SVT_SV;
    r->Device.Address = "300.1.1.1";
    try {
        r->Get(ok, true);
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -509);
    }
    r->Device.Address = "127.0.0.1";
    try {
        r->Get(ok, false); // a next read of a scalar list
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -510);
    }
}

TEST(EngineGlobalSession, PduBuildingFollowsTheListKind)
{
    ensureGlobalSession();
    KvSNMPRequest r;
    r.VarList = makeList({{"1.3.6.1.2.1.1.1", KvSyntax::DisplayStr, KvAccess::ReadWrite, "x"}}, SVT_SV, 0);
    Pdu pdu;
    r.BuildPdu(pkFirstRead, pdu);
    ASSERT_EQ(pdu.get_vb_count(), 1);
    EXPECT_EQ(pdu[0].get_printable_oid(), "1.3.6.1.2.1.1.1.0");
    r.VarList.Type = MVT_SV;
    Pdu pdu2;
    r.BuildPdu(pkFirstRead, pdu2);
    EXPECT_EQ(pdu2[0].get_printable_oid(), "1.3.6.1.2.1.1.1");

    // Two keys (3 and 4.192.168.0.1 pieces) name the row a table set writes.
    r.VarList = makeList({{"1.3.6.1.4.1.32473.5.1.1", KvSyntax::Integer, KvAccess::ReadOnly, "3"},
                          {"1.3.6.1.4.1.32473.5.1.2", KvSyntax::IpAddress, KvAccess::ReadOnly, "192.168.0.1"},
                          {"1.3.6.1.4.1.32473.5.1.3", KvSyntax::Integer, KvAccess::ReadWrite, "9"}},
                         MVT_FMV, 2);
    Pdu set;
    r.BuildPdu(pkWrite, set);
    ASSERT_EQ(set.get_vb_count(), 1);
    EXPECT_EQ(set[0].get_printable_oid(), "1.3.6.1.4.1.32473.5.1.3.3.192.168.0.1");
    EXPECT_EQ(r.BuildIndexedOid(), "3.192.168.0.1");

    // A row index shorter than the keys need.
    try {
        r.IndexToKeys("3");
        FAIL() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -514);
    }
}

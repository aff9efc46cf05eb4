// Requests against Debian's snmpd: every version, every syntax, tables of every index kind.
#include "EngineTestSupport.h"
#include "KvSNMPErrors.h"

using namespace enginetest;

namespace {

class EngineSnmpd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_agent = new SnmpdAgent(3); }
    static void TearDownTestSuite()
    {
        delete s_agent;
        s_agent = nullptr;
    }
    void SetUp() override
    {
        if (!s_agent->ok())
            KV_PEER_MISSING(s_agent->why());
        ensureGlobalSession();
    }
    int port() const { return s_agent->port(); }
    static SnmpdAgent *s_agent;
};
SnmpdAgent *EngineSnmpd::s_agent = nullptr;

KvSNMPVarList scalarsOfEverySyntax()
{
    return makeList({{tree("1.1"), KvSyntax::Integer, KvAccess::ReadOnly},
                     {tree("1.2"), KvSyntax::DisplayStr, KvAccess::ReadOnly},
                     {tree("1.3"), KvSyntax::ObjectId, KvAccess::ReadOnly},
                     {tree("1.4"), KvSyntax::TimeTicks, KvAccess::ReadOnly},
                     {tree("1.5"), KvSyntax::IpAddress, KvAccess::ReadOnly},
                     {tree("1.6"), KvSyntax::Counter, KvAccess::ReadOnly},
                     {tree("1.7"), KvSyntax::Guage, KvAccess::ReadOnly},
                     {tree("1.8"), KvSyntax::Counter64, KvAccess::ReadOnly},
                     {tree("1.9"), KvSyntax::OctetStr, KvAccess::ReadOnly}},
                    SVT_SV, 0);
}

void expectEverySyntax(const KvSNMPVarList &list)
{
    EXPECT_EQ(list.GetItem(0)->Value, "42");
    EXPECT_EQ(list.GetItem(1)->Value, "hello");
    EXPECT_EQ(list.GetItem(2)->Value, "1.3.6.1.4.1.32473");
    EXPECT_EQ(list.GetItem(3)->Value, "0:02:03.45");
    EXPECT_EQ(list.GetItem(4)->Value, "192.168.0.1");
    EXPECT_EQ(list.GetItem(5)->Value, "4000000000");
    EXPECT_EQ(list.GetItem(6)->Value, "77");
    EXPECT_EQ(list.GetItem(7)->Value, "5000000000");
    EXPECT_EQ(list.GetItem(8)->Value, "001AFF");
    EXPECT_EQ(list.GetItem(0)->InstanceOid, tree("1.1.0"));
}

// Walks synchronously; returns the value texts of every row, columns joined by "|".
std::vector<std::string> walk(KvSNMPRequest &r, bool &ok)
{
    std::vector<std::string> rows;
    bool first = true;
    while (r.Get(ok, first)) {
        first = false;
        std::string row;
        for (int i = 0; i < r.VarList.Count(); ++i)
            row += (i ? "|" : "") + r.VarList.GetItem(i)->Value;
        rows.push_back(row);
        if (rows.size() > 100)
            break;
    }
    return rows;
}

std::vector<std::string> walkAsync(KvSNMPRequest &r, int &finishedCode)
{
    std::vector<std::string> rows;
    bool finished = false;
    finishedCode = 1;
    std::function<void(KvSNMPError *, KvSNMPVarList *)> next;
    next = [&](KvSNMPError *e, KvSNMPVarList *list) {
        if (e->Finished) {
            finished = true;
            finishedCode = e->Code;
            return;
        }
        std::string row;
        for (int i = 0; i < list->Count(); ++i)
            row += (i ? "|" : "") + list->GetItem(i)->Value;
        rows.push_back(row);
        r.GetAsync(next, false);
    };
    r.GetAsync(next, true);
    EXPECT_TRUE(pumpUntil([&] { return finished; }, 10000));
    return rows;
}

} // namespace

TEST_F(EngineSnmpd, SynchronousGetOfEverySyntaxOnEachCommunityVersion)
{
    for (int version : {0, 1, 2}) {
        SCOPED_TRACE(version);
        auto r = makeRequest(port(), version);
        r->VarList = scalarsOfEverySyntax();
        if (version == 0) // SNMPv1 carries no Counter64
            r->VarList.GetItem(7)->Access = KvAccess::Invalid | KvAccess::ReadOnly;
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        EXPECT_FALSE(r->Get(ok, true));
        EXPECT_TRUE(ok);
        EXPECT_TRUE(log.records.empty()) << (log.records.empty() ? "" : log.records[0].Message);
        if (version == 0) {
            r->VarList.GetItem(7)->Value = "5000000000";
        }
        expectEverySyntax(r->VarList);
    }
}

TEST_F(EngineSnmpd, AsynchronousGetDeliversFromTheEventLoop)
{
    auto r = makeRequest(port(), 1);
    r->VarList = scalarsOfEverySyntax();
    int calls = 0;
    KvSNMPError seen;
    r->GetAsync(
        [&](KvSNMPError *e, KvSNMPVarList *) {
            ++calls;
            seen = *e;
        },
        true);
    EXPECT_EQ(calls, 0) << "a completion ran inside GetAsync";
    EXPECT_EQ(r->Outstanding, 1);
    ASSERT_TRUE(pumpUntil([&] { return calls > 0; }, 5000));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen.Code, 0);
    EXPECT_EQ(seen.Finished, 1);
    EXPECT_EQ(seen.AgentAddress, "127.0.0.1");
    EXPECT_EQ(seen.AgentPort, port());
    EXPECT_EQ(r->Outstanding, 0);
    expectEverySyntax(r->VarList);
}

TEST_F(EngineSnmpd, WalksTablesOfEveryIndexKind)
{
    struct Case {
        std::vector<ItemDef> items;
        int keys;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases = {
        {{{tree("2.1.1"), KvSyntax::Integer, KvAccess::NotAccess},
          {tree("2.1.2"), KvSyntax::DisplayStr, KvAccess::ReadOnly},
          {tree("2.1.3"), KvSyntax::Integer, KvAccess::ReadOnly}},
         1,
         {"1|row1|10", "2|row2|20", "5|row5|50"}},
        {{{tree("4.1.1"), KvSyntax::DisplayStr, KvAccess::NotAccess},
          {tree("4.1.2"), KvSyntax::DisplayStr, KvAccess::ReadOnly}},
         1,
         {"ab|ab-row", "cd|cd-row"}},
        {{{tree("5.1.1"), KvSyntax::IpAddress, KvAccess::NotAccess},
          {tree("5.1.2"), KvSyntax::Integer, KvAccess::ReadOnly}},
         1,
         {"10.0.0.1|1", "192.168.0.1|2"}},
        {{{tree("6.1.1"), KvSyntax::Integer, KvAccess::NotAccess},
          {tree("6.1.2"), KvSyntax::DisplayStr, KvAccess::NotAccess},
          {tree("6.1.3"), KvSyntax::DisplayStr, KvAccess::ReadOnly}},
         2,
         {"3|ab|three-ab", "4|x|four-x"}},
    };
    for (int version : {0, 1}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(c.items[0].oid + " v" + std::to_string(version));
            auto r = makeRequest(port(), version);
            r->VarList = makeList(c.items, MVT_FMV, c.keys);
            bool ok = true;
            EXPECT_EQ(walk(*r, ok), c.rows);
            EXPECT_TRUE(ok);
            auto a = makeRequest(port(), version);
            a->VarList = makeList(c.items, MVT_FMV, c.keys);
            int code = -1;
            EXPECT_EQ(walkAsync(*a, code), c.rows);
            EXPECT_EQ(code, 0);
        }
    }
}

TEST_F(EngineSnmpd, SnmpV3UsersOfEachProtocolReadAndWalk)
{
    struct User {
        const char *name;
        int auth;
        const char *authPass;
        int priv;
        const char *privPass;
        int level;
    };
    const User users[] = {{kShaUser, 3, kShaAuth, 2, kShaPriv, 3},
                          {kMd5User, 2, kMd5Auth, 2, kMd5Priv, 3},
                          {kMd5AuthOnly, 2, kMd5AuthOnlyPass, 1, "", 2}};
    for (const auto &u : users) {
        SCOPED_TRACE(u.name);
        auto r = makeRequest(port(), 3);
        useUser(*r, u.name, u.auth, u.authPass, u.priv, u.privPass, u.level);
        r->VarList = scalarsOfEverySyntax();
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        r->Get(ok, true);
        EXPECT_TRUE(ok) << (log.records.empty() ? "" : log.records[0].Message);
        expectEverySyntax(r->VarList);

        auto a = makeRequest(port(), 3);
        useUser(*a, u.name, u.auth, u.authPass, u.priv, u.privPass, u.level);
        a->VarList = makeList({{tree("3.1.1"), KvSyntax::Integer, KvAccess::ReadOnly},
                               {tree("3.1.2"), KvSyntax::DisplayStr, KvAccess::ReadOnly}},
                              MVT_FMV, 1);
        int code = -1;
        EXPECT_EQ(walkAsync(*a, code), (std::vector<std::string>{"1|name1", "2|name2", "3|name3"}));
        EXPECT_EQ(code, 0);
    }
}

TEST_F(EngineSnmpd, SetWritesWithTheWriteCommunityAndReadsBack)
{
    for (int version : {0, 1, 3}) {
        SCOPED_TRACE(version);
        auto r = makeRequest(port(), version);
        if (version == 3)
            useUser(*r, kShaUser, 3, kShaAuth, 2, kShaPriv, 3);
        r->VarList = makeList({{tree("1.10"), KvSyntax::Integer, KvAccess::ReadWrite, "0"},
                               {tree("1.11"), KvSyntax::DisplayStr, KvAccess::ReadWrite, "keep"}},
                              SVT_SV, 0);
        const std::string value = std::to_string(100 + version);
        std::vector<AnsiString> values{value};
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        r->Set(ok, true, "0", &values);
        EXPECT_TRUE(ok) << (log.records.empty() ? "" : log.records[0].Message);
        // The list is as before the call; the read-back is a fresh get.
        EXPECT_EQ(r->VarList.GetItem(1)->Access, KvAccess::ReadWrite);
        bool ok2 = true;
        r->Get(ok2, true);
        EXPECT_TRUE(ok2) << (log.records.empty() ? "" : log.records.back().Message);
        EXPECT_EQ(r->VarList.GetItem(0)->Value, value);
        EXPECT_EQ(r->VarList.GetItem(1)->Value, "writable");
    }
}

TEST_F(EngineSnmpd, SetWithTheReadCommunityIsRefused)
{
    auto r = makeRequest(port(), 1, "mardle", "mardle");
    r->VarList = makeList({{tree("1.10"), KvSyntax::Integer, KvAccess::ReadWrite, "5"}}, SVT_SV, 0);
    ResultLog log;
    log.attach(*r);
    bool ok = true;
    r->Set(ok, false, "", nullptr);
    EXPECT_FALSE(ok);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].Code, -106);
}

TEST_F(EngineSnmpd, MissingObjectFailsTheReadOnEveryVersion)
{
    for (int version : {0, 1, 3}) {
        SCOPED_TRACE(version);
        auto r = makeRequest(port(), version);
        if (version == 3)
            useUser(*r, kMd5User, 2, kMd5Auth, 2, kMd5Priv, 3);
        r->VarList = makeList({{tree("1.1"), KvSyntax::Integer, KvAccess::ReadOnly},
                               {tree("1.99"), KvSyntax::Integer, KvAccess::ReadOnly}},
                              SVT_SV, 0);
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        r->Get(ok, true);
        EXPECT_FALSE(ok);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].Code, -102);

        auto a = makeRequest(port(), version);
        a->Security = r->Security;
        a->VarList = r->VarList;
        KvSNMPError seen;
        bool done = false;
        a->GetAsync(
            [&](KvSNMPError *e, KvSNMPVarList *) {
                seen = *e;
                done = true;
            },
            true);
        ASSERT_TRUE(pumpUntil([&] { return done; }, 5000));
        EXPECT_EQ(seen.Code, -102);
        EXPECT_EQ(seen.ErrorIndex, 2);
    }
}

TEST_F(EngineSnmpd, WrongCredentialsGiveTheirOwnErrors)
{
    struct Case {
        const char *user;
        const char *authPass;
        const char *privPass;
        int code;
    };
    const Case cases[] = {
        {kShaUser, "wrongpass1", kShaPriv, -308}, // wrong digest
        {"nosuchuser", kShaAuth, kShaPriv, -304}, // unknown user
        {kShaUser, kShaAuth, "wrongpriv1", -405}, // wrong privacy key: the agent stays silent
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.user + std::string(" ") + c.authPass + " " + c.privPass);
        auto r = makeRequest(port(), 3);
        r->Timeout = 30;
        useUser(*r, c.user, 3, c.authPass, 2, c.privPass, 3);
        r->VarList = makeList({{tree("1.1"), KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
        ResultLog log;
        log.attach(*r);
        bool ok = true;
        r->Get(ok, true);
        EXPECT_FALSE(ok);
        ASSERT_EQ(log.records.size(), 1u);
        EXPECT_EQ(log.records[0].Code, c.code) << log.records[0].Message;
    }
    // Correct credentials for the same user name take effect within the process.
    auto r = makeRequest(port(), 3);
    useUser(*r, kShaUser, 3, kShaAuth, 2, kShaPriv, 3);
    r->VarList = makeList({{tree("1.1"), KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    bool ok = true;
    r->Get(ok, true);
    EXPECT_TRUE(ok);
    EXPECT_EQ(r->VarList.GetItem(0)->Value, "42");
}

TEST_F(EngineSnmpd, ShortPassPhraseIsRefusedWithAReason)
{
    auto r = makeRequest(port(), 3);
    useUser(*r, kShaUser, 3, "short", 1, "", 2);
    r->VarList = makeList({{tree("1.1"), KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    ResultLog log;
    log.attach(*r);
    bool called = false;
    KvSNMPError seen;
    r->GetAsync(
        [&](KvSNMPError *e, KvSNMPVarList *) {
            called = true;
            seen = *e;
        },
        true);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].Code, -301);
    EXPECT_NE(log.records[0].Message.find("8 characters"), std::string::npos);
    EXPECT_FALSE(called) << "delivered from inside GetAsync";
    EXPECT_EQ(r->Outstanding, 1);
    ASSERT_TRUE(pumpUntil([&] { return called; }, 2000));
    EXPECT_EQ(seen.Code, -301);
    EXPECT_EQ(seen.Finished, 1);
    EXPECT_EQ(r->Outstanding, 0);
    EXPECT_EQ(r->FailureCount(), 1);
}

TEST_F(EngineSnmpd, IdeaPrivacyIsAnUnsupportedProtocol)
{
    auto r = makeRequest(port(), 3);
    useUser(*r, kShaUser, 3, kShaAuth, 9, kShaPriv, 3);
    r->VarList = makeList({{tree("1.1"), KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    ResultLog log;
    log.attach(*r);
    bool ok = true;
    r->Get(ok, true);
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].Code, -313);
}

TEST_F(EngineSnmpd, CompletionsKeepArrivingInsideANestedModalLoop)
{
    auto outer = makeRequest(port(), 1);
    outer->VarList = makeList({{tree("1.1"), KvSyntax::Integer, KvAccess::ReadOnly}}, SVT_SV, 0);
    auto inner = makeRequest(port(), 1);
    inner->VarList = makeList({{tree("1.2"), KvSyntax::DisplayStr, KvAccess::ReadOnly}}, SVT_SV, 0);
    bool innerDone = false;
    bool innerSeenInsideOuter = false;
    outer->GetAsync(
        [&](KvSNMPError *, KvSNMPVarList *) {
            inner->GetAsync([&](KvSNMPError *, KvSNMPVarList *) { innerDone = true; }, true);
            // A modal window's loop: further completions must still arrive.
            innerSeenInsideOuter = pumpUntil([&] { return innerDone; }, 3000);
        },
        true);
    ASSERT_TRUE(pumpUntil([&] { return innerDone; }, 5000));
    EXPECT_TRUE(innerSeenInsideOuter);
    EXPECT_EQ(inner->VarList.GetItem(0)->Value, "hello");
}

// Another SNMP stack answers a set of an object it does not take with error status 0 and
// noSuchInstance in the binding: the write failed, on every version and on both roads.
TEST(EngineSnmpsim, SetAnsweredWithNoSuchInstanceFails)
{
    SnmpsimAgent agent("1.3.6.1.2.1.1.1.0|4|simulated\n1.3.6.1.2.1.1.5.0|4|kept\n", {"mardle", "quintel"});
    if (!agent.ok())
        KV_PEER_MISSING(agent.why());
    const struct {
        int version;
        bool callback;
    } cases[] = {{1, false}, {1, true}, {3, false}, {3, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + (c.callback ? " callback" : " blocking"));
        auto r = makeRequest(agent.port(), c.version);
        r->Timeout = 300;
        if (c.version == 3) {
            useUser(*r, SnmpsimAgent::kUser, 2, SnmpsimAgent::kAuth, 2, SnmpsimAgent::kPriv, 3);
            r->Scope.ContextName = "quintel";
        }
        r->VarList =
            makeList({{"1.3.6.1.2.1.1.5", KvSyntax::DisplayStr, KvAccess::ReadWrite, "changed"}}, SVT_SV, 0);
        KvSNMPError seen;
        ResultLog log;
        log.attach(*r);
        if (c.callback) {
            bool done = false;
            r->SetAsync(
                [&](KvSNMPError *e, KvSNMPVarList *) {
                    seen = *e;
                    done = true;
                },
                false, "", nullptr);
            ASSERT_TRUE(pumpUntil([&] { return done; }, 5000));
            EXPECT_EQ(seen.ErrorIndex, 1);
            EXPECT_EQ(seen.Finished, 1);
        } else {
            bool ok = true;
            r->Set(ok, false, "", nullptr);
            EXPECT_FALSE(ok);
            ASSERT_EQ(log.records.size(), 1u);
            seen = log.records[0];
        }
        EXPECT_EQ(seen.Code, -102);
        EXPECT_EQ(seen.Message, "(SNMP) Variable does not exist!");
        // The agent answers a read of the same object.
        bool ok = true;
        r->Get(ok, true);
        EXPECT_TRUE(ok);
        EXPECT_EQ(r->VarList.GetItem(0)->Value, "kept");
    }
}

// The session surface itself: boot counter file, addresses, users, and the callback rules.
#include "Address.h"
#include "BootCounter.h"
#include "Snmp.h"
#include "TestEnv.h"
#include "Usm.h"

#include <arpa/inet.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Silent {
    int fd = -1;
    int port = 0;
    Silent()
    {
        fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof(a));
        socklen_t l = sizeof(a);
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &l);
        port = ntohs(a.sin_port);
    }
    ~Silent() { ::close(fd); }
};

struct Seen {
    std::vector<int> reasons;
};

void remember(int reason, Snmp *, Pdu &, SnmpTarget &, void *data)
{
    static_cast<Seen *>(data)->reasons.push_back(reason);
}

} // namespace

TEST(EngineBootCounter, FirstSaveCreatesTheFileInItsFormat)
{
    const std::string dir = kvtest::makeTempDir("kv-boots");
    const std::string file = dir + "/KvSNMP_PP_BootCounter";
    unsigned int boots = 99;
    EXPECT_EQ(getBootCounter(file, OctetStr("KvSNMP_PP_Application"), boots), SNMPv3_FILEOPEN_ERROR);
    EXPECT_EQ(boots, 0u);
    ASSERT_EQ(saveBootCounter(file, OctetStr("AB"), 1), SNMPv3_OK);
    // 'A' = 0x41 -> "DA", 'B' = 0x42 -> "DB".
    const std::string text = readFile(file);
    EXPECT_NE(text.find("\nDADB 1\n"), std::string::npos) << text;
    EXPECT_EQ(text[0], '#');
    EXPECT_EQ(getBootCounter(file, OctetStr("AB"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, 1u);
    EXPECT_EQ(getBootCounter(file, OctetStr("ABC"), boots), SNMPv3_NO_ENTRY_ERROR);
}

TEST(EngineBootCounter, KeepsOtherEntriesAndCommentsAndCapsTheCount)
{
    const std::string dir = kvtest::makeTempDir("kv-boots");
    const std::string file = dir + "/KvSNMP_PP_BootCounter";
    {
        std::ofstream out(file);
        out << "# written by hand\nDADB 7\nDCDD 12\n";
    }
    unsigned int boots = 0;
    ASSERT_EQ(getBootCounter(file, OctetStr("CD"), boots), SNMPv3_OK); // 'C' 0x43 -> "DC", 'D' 0x44 -> "DD"
    EXPECT_EQ(boots, 12u);
    ASSERT_EQ(getBootCounter(file, OctetStr("AB"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, 7u);
    ASSERT_EQ(saveBootCounter(file, OctetStr("AB"), 4000000000u), SNMPv3_OK);
    ASSERT_EQ(getBootCounter(file, OctetStr("AB"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, MAX_ENGINE_BOOTS);
    const std::string text = readFile(file);
    EXPECT_NE(text.find("# written by hand\n"), std::string::npos);
    EXPECT_NE(text.find("DCDD 12\n"), std::string::npos);
    // No temporary file is left beside it.
    int files = 0;
    for (const auto &e : std::filesystem::directory_iterator(dir))
        files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(EngineBootCounter, ReadOnlyFileIsNotReplaced)
{
    const std::string dir = kvtest::makeTempDir("kv-boots");
    const std::string file = dir + "/KvSNMP_PP_BootCounter";
    {
        std::ofstream out(file);
        out << "# kept\nDADB 5\n";
    }
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_NE(saveBootCounter(file, OctetStr("AB"), 6), SNMPv3_OK);
    unsigned int boots = 0;
    EXPECT_EQ(getBootCounter(file, OctetStr("AB"), boots), SNMPv3_OK);
    EXPECT_EQ(boots, 5u);
    EXPECT_EQ(readFile(file), "# kept\nDADB 5\n");
}

TEST(EngineBootCounter, UnwritableFolderFailsTheSave)
{
    EXPECT_NE(saveBootCounter("/nonexistent-folder-kv/KvSNMP_PP_BootCounter", OctetStr("AB"), 1), SNMPv3_OK);
}

TEST(EngineAddress, ParsesAddressesAndPorts)
{
    const struct {
        const char *text;
        bool valid;
        const char *printable;
    } cases[] = {
        {"127.0.0.1", true, "127.0.0.1/0"},
        {"127.0.0.1/1161", true, "127.0.0.1/1161"},
        {"10.1.2.3:99", true, "10.1.2.3/99"},
        {"127.0.0.1/70000", false, ""},
        {"", false, ""},
        {"256.1.1.1", false, ""},
        {"bad name!", false, ""},
        {"localhost", true, "127.0.0.1/0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        UdpAddress a(c.text);
        EXPECT_EQ(a.valid(), c.valid);
        if (c.valid) {
            EXPECT_EQ(a.get_printable(), c.printable);
        }
    }
}

TEST(EngineUsm, RefusesWhatCannotBeUsed)
{
    EXPECT_EQ(usmAddUserName(OctetStr("u1"), SNMP_AUTHPROTOCOL_HMACSHA, SNMP_PRIVPROTOCOL_DES,
                             OctetStr("12345678"), OctetStr("abcdefgh")),
              SNMPv3_USM_OK);
    ASSERT_NE(kv::snmp::findUsmUser("u1"), nullptr);
    EXPECT_EQ(usmAddUserName(OctetStr("u1"), SNMP_AUTHPROTOCOL_HMACSHA, SNMP_PRIVPROTOCOL_IDEA,
                             OctetStr("12345678"), OctetStr("abcdefgh")),
              SNMPv3_USM_UNSUPPORTED_PRIVPROTOCOL);
    EXPECT_EQ(kv::snmp::findUsmUser("u1"), nullptr) << "a failed add leaves no old keys behind";
    EXPECT_EQ(usmAddUserName(OctetStr("u1"), 7, SNMP_PRIVPROTOCOL_NONE, OctetStr("12345678"), OctetStr("")),
              SNMPv3_USM_UNSUPPORTED_AUTHPROTOCOL);
    EXPECT_EQ(usmAddUserName(OctetStr("u1"), SNMP_AUTHPROTOCOL_HMACMD5, SNMP_PRIVPROTOCOL_NONE,
                             OctetStr("1234567"), OctetStr("")),
              SNMPv3_USM_ERROR);
    EXPECT_NE(usmLastErrorText().find("8 characters"), std::string::npos);
    EXPECT_EQ(usmAddUserName(OctetStr("u2"), SNMP_AUTHPROTOCOL_NONE, SNMP_PRIVPROTOCOL_NONE, OctetStr(""),
                             OctetStr("")),
              SNMPv3_USM_OK);
    // The same keys again keep the entry; new keys make a new generation.
    const auto gen = kv::snmp::findUsmUser("u2")->generation;
    usmAddUserName(OctetStr("u2"), SNMP_AUTHPROTOCOL_NONE, SNMP_PRIVPROTOCOL_NONE, OctetStr(""),
                   OctetStr(""));
    EXPECT_EQ(kv::snmp::findUsmUser("u2")->generation, gen);
    usmAddUserName(OctetStr("u2"), SNMP_AUTHPROTOCOL_HMACMD5, SNMP_PRIVPROTOCOL_NONE, OctetStr("12345678"),
                   OctetStr(""));
    EXPECT_NE(kv::snmp::findUsmUser("u2")->generation, gen);
}

TEST(EngineSession, CallbacksNeverRunInsideTheSendAndClosingEndsThem)
{
    Silent silent;
    Seen seen;
    {
        int status = -1;
        Snmp session(status, 0);
        ASSERT_EQ(status, SNMP_CLASS_SUCCESS);
        UdpAddress address("127.0.0.1");
        address.set_port(static_cast<std::uint16_t>(silent.port));
        CTarget target(address);
        target.set_version(version2c);
        target.set_timeout(500);
        Pdu pdu;
        pdu += Vb(Oid("1.3.6.1.2.1.1.1.0"));
        EXPECT_EQ(session.get(pdu, target, remember, &seen), SNMP_CLASS_SUCCESS);
        EXPECT_EQ(session.get_next(pdu, target, remember, &seen), SNMP_CLASS_SUCCESS);
        EXPECT_TRUE(seen.reasons.empty());
        session.process_pending_events();
        EXPECT_TRUE(seen.reasons.empty());
        EXPECT_EQ(session.outstanding(), 2);
        EXPECT_FALSE(session.socket_fds().empty());
    }
    EXPECT_EQ(seen.reasons, (std::vector<int>{SNMP_CLASS_SESSION_DESTROYED, SNMP_CLASS_SESSION_DESTROYED}));
}

TEST(EngineSession, RefusesWhatItCannotSend)
{
    int status = -1;
    Snmp session(status, 0);
    Seen seen;
    Pdu pdu;
    pdu += Vb(Oid("1.3.6.1.2.1.1.1.0"));
    CTarget invalid;
    EXPECT_EQ(session.get(pdu, invalid, remember, &seen), SNMP_CLASS_INVALID_ADDRESS);
    UdpAddress address("127.0.0.1");
    address.set_port(161);
    CTarget target(address);
    EXPECT_EQ(session.get(pdu, target, nullptr, nullptr), SNMP_CLASS_INVALID_CALLBACK);
    target.set_version(4);
    EXPECT_EQ(session.get(pdu, target, remember, &seen), SNMP_CLASS_INVALID_TARGET);
    UTarget user(address);
    user.set_security_name(OctetStr("never-added"));
    EXPECT_EQ(session.get(pdu, user, remember, &seen), SNMPv3_USM_UNKNOWN_SECURITY_NAME);
    usmAddUserName(OctetStr("noauth"), SNMP_AUTHPROTOCOL_NONE, SNMP_PRIVPROTOCOL_NONE, OctetStr(""),
                   OctetStr(""));
    user.set_security_name(OctetStr("noauth"));
    pdu.set_security_level(SNMP_SECURITY_LEVEL_AUTH_PRIV);
    EXPECT_EQ(session.get(pdu, user, remember, &seen), SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL);
    user.set_security_model(SNMP_SECURITY_MODEL_V2);
    EXPECT_EQ(session.get(pdu, user, remember, &seen), SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL);
    Pdu badOid;
    badOid += Vb(Oid("1"));
    target.set_version(version1);
    EXPECT_EQ(session.get(badOid, target, remember, &seen), SNMP_CLASS_INVALID_OID);
    EXPECT_TRUE(seen.reasons.empty());
    EXPECT_EQ(mpInit(&session, OctetStr("KvSNMP_PP_Application"), 3), SNMPv3_MP_OK);
    EXPECT_EQ(mpInit(nullptr, OctetStr("x"), 3), SNMPv3_MP_NOT_INITIALIZED);
}

TEST(EngineSession, ClosesOnlyTheSessionsNoRequestWaitsOn)
{
    Silent waited, done;
    Seen seen; // outlives the session, which ends what is left with its destructor
    int status = -1;
    Snmp session(status, 0);
    ASSERT_EQ(status, SNMP_CLASS_SUCCESS);
    UdpAddress slowAddress("127.0.0.1"), quickAddress("127.0.0.1");
    slowAddress.set_port(static_cast<std::uint16_t>(waited.port));
    quickAddress.set_port(static_cast<std::uint16_t>(done.port));
    CTarget slow(slowAddress), quick(quickAddress);
    for (CTarget *t : {&slow, &quick}) {
        t->set_version(version2c);
        t->set_retry(0);
    }
    slow.set_timeout(500);
    quick.set_timeout(1);
    Pdu pdu;
    pdu += Vb(Oid("1.3.6.1.2.1.1.1.0"));
    ASSERT_EQ(session.get(pdu, slow, remember, &seen), SNMP_CLASS_SUCCESS);
    ASSERT_EQ(session.get(pdu, quick, remember, &seen), SNMP_CLASS_SUCCESS);
    ASSERT_EQ(session.socket_fds().size(), 2u);
    // The quick one times out: its session waits on nothing any more.
    for (int i = 0; i < 100 && seen.reasons.empty(); ++i) {
        ::usleep(5000);
        session.process_pending_events();
    }
    ASSERT_EQ(seen.reasons, std::vector<int>{SNMP_CLASS_TIMEOUT});
    EXPECT_EQ(session.close_idle_sessions(), 1);
    EXPECT_EQ(session.socket_fds().size(), 1u);
    EXPECT_EQ(session.outstanding(), 1);
    // Closed sessions open again when needed.
    ASSERT_EQ(session.get(pdu, quick, remember, &seen), SNMP_CLASS_SUCCESS);
    EXPECT_EQ(session.socket_fds().size(), 2u);
}

TEST(EngineSession, ABatchSendsNoMoreReadsToAnAgentThatLetOneTimeOut)
{
    Silent silent, other;
    int status = -1;
    Snmp session(status, 0);
    ASSERT_EQ(status, SNMP_CLASS_SUCCESS);
    auto targetOf = [](const Silent &agent) {
        UdpAddress address("127.0.0.1");
        address.set_port(static_cast<std::uint16_t>(agent.port));
        CTarget target(address);
        target.set_version(version2c);
        target.set_retry(1);
        target.set_timeout(10);
        return target;
    };
    const CTarget target = targetOf(silent);
    // The datagrams an agent received since the last look.
    auto received = [](const Silent &agent) {
        int n = 0;
        char buffer[1500];
        while (::recv(agent.fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0)
            ++n;
        return n;
    };
    auto read = [&](const CTarget &to, bool next = false) {
        Pdu pdu;
        pdu += Vb(Oid("1.3.6.1.2.1.1.1.0"));
        const int result = next ? session.get_next(pdu, to) : session.get(pdu, to);
        EXPECT_EQ(pdu.get_vb_count(), 1);
        EXPECT_EQ(pdu[0].get_printable_oid(), "1.3.6.1.2.1.1.1.0"); // as a time-out leaves it
        return result;
    };

    session.begin_read_batch();
    EXPECT_EQ(read(target), SNMP_CLASS_TIMEOUT);
    // The try and its retry, then the probe that found nothing else answered meanwhile (its own
    // try and retry).
    EXPECT_EQ(received(silent), 4);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(read(target, true), SNMP_CLASS_TIMEOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(received(silent), 0);
    // A set still goes out, and so do reads of another agent.
    Pdu set;
    set += Vb(Oid("1.3.6.1.2.1.1.5.0"));
    EXPECT_EQ(session.set(set, target), SNMP_CLASS_TIMEOUT);
    EXPECT_EQ(received(silent), 2);
    EXPECT_EQ(read(targetOf(other)), SNMP_CLASS_TIMEOUT);
    EXPECT_EQ(received(other), 4);
    // An inner batch's end forgets nothing; the outermost one's does.
    session.begin_read_batch();
    session.end_read_batch();
    EXPECT_EQ(read(target), SNMP_CLASS_TIMEOUT);
    EXPECT_EQ(received(silent), 0);
    session.end_read_batch();
    EXPECT_EQ(read(target), SNMP_CLASS_TIMEOUT);
    EXPECT_EQ(received(silent), 2);
}

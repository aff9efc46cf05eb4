#pragma once
// Agents the engine tests talk to on 127.0.0.1: Debian's snmpd with a private
// configuration and a scripted object tree, and a fake SNMPv1/v2c agent in a thread whose
// answers each test writes by hand.
#include "Pump.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace enginetest {

// Users of the snmpd configuration.
constexpr const char *kShaUser = "shauser";
constexpr const char *kShaAuth = "shapass123";
constexpr const char *kShaPriv = "despass123";
constexpr const char *kMd5User = "md5user";
constexpr const char *kMd5Auth = "md5pass123";
constexpr const char *kMd5Priv = "despass456";
constexpr const char *kMd5AuthOnly = "md5auth";
constexpr const char *kMd5AuthOnlyPass = "md5auth123";
// Subtree served by the script.
constexpr const char *kTestTree = "1.3.6.1.4.1.32473.99";

class SnmpdAgent {
public:
    // Starts snmpd on a free loopback port; tableRows sizes the walk table .3 (columns 1..4);
    // extraConfig is added to the agent's configuration.
    explicit SnmpdAgent(int tableRows = 3, const std::string &extraConfig = std::string());
    ~SnmpdAgent();
    bool ok() const { return m_ok; }
    int port() const { return m_port; }
    const std::string &dir() const { return m_dir; }
    std::string why() const { return m_why; }

private:
    int m_port = 0;
    int m_pid = -1;
    bool m_ok = false;
    std::string m_dir;
    std::string m_why;
};

// Debian's snmpsim (another SNMP stack) on a free loopback port, serving the objects of a
// snmprec text ("oid|tag|value" lines) under each of the communities, which are also the SNMPv3
// context names; its one SNMPv3 user has MD5 and DES. It answers a set with noSuchInstance.
class SnmpsimAgent {
public:
    SnmpsimAgent(const std::string &snmprec, const std::vector<std::string> &communities);
    ~SnmpsimAgent();
    bool ok() const { return m_ok; }
    int port() const { return m_port; }
    std::string why() const { return m_why; }
    static constexpr const char *kUser = "simuser";
    static constexpr const char *kAuth = "simauth123";
    static constexpr const char *kPriv = "simpriv123";

private:
    int m_port = 0;
    int m_pid = -1;
    bool m_ok = false;
    std::string m_dir;
    std::string m_why;
};

// One variable binding on the wire.
struct WireVb {
    std::vector<std::uint32_t> oid;
    std::uint8_t tag = 0x05;
    std::vector<std::uint8_t> value;
};

struct WireRequest {
    int version = 0;
    std::string community;
    std::uint8_t pduType = 0;
    std::int32_t requestId = 0;
    std::vector<WireVb> vbs;
};

struct WireReply {
    bool drop = false; // send nothing
    int delayMs = 0;   // wait before answering
    int errorStatus = 0;
    int errorIndex = 0;
    bool echo = false; // answer with the request's own bindings
    std::vector<WireVb> vbs;
};

class FakeAgent {
public:
    using Script = std::function<WireReply(const WireRequest &)>;
    explicit FakeAgent(Script script);
    ~FakeAgent();
    int port() const { return m_port; }
    int requests() const { return m_requests.load(); }
    void setScript(Script script);

private:
    void run();
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    Script m_script;
    std::thread m_thread;
};

// A bound UDP socket that never answers.
class SilentAgent {
public:
    SilentAgent();
    ~SilentAgent();
    int port() const { return m_port; }
    // Takes the datagrams waiting on the socket and returns how many came since the last call.
    int drain();

private:
    int m_fd = -1;
    int m_port = 0;
};

std::vector<std::uint32_t> parseOid(const std::string &dotted);
WireVb intVb(const std::string &oid, std::int32_t value);
WireVb strVb(const std::string &oid, const std::string &value);
WireVb tagVb(const std::string &oid, std::uint8_t tag); // NULL and the exception values

using kvtest::pumpUntil;

} // namespace enginetest

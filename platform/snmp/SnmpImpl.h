#pragma once
// The inside of the SNMP session, shared by its own files only (Snmp.cpp: dispatch and the
// public surface; SnmpSessions.cpp: opening and closing; SnmpDiscovery.cpp: engine-id
// discovery and USM; SnmpPduConvert.cpp: PDUs to and from net-snmp). net-snmp's headers define
// macros and types that must not reach the rest of the program: include this nowhere else.
// net-snmp names its callback type like ours; rename it for these files.
#define snmp_callback netsnmp_callback_type
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#undef snmp_callback

#include "AgentSilence.h"
#include "Snmp.h"
#include "Usm.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace snmpnet {

struct NetSession;

// One request from the moment it is taken until its completion is delivered.
struct Pending {
    std::uint64_t id = 0;
    snmp_callback callback = nullptr;
    void *callbackData = nullptr;
    int command = 0;
    Pdu request;
    std::shared_ptr<SnmpTarget> target; // shared by the session's requests to the same target
    NetSession *session = nullptr;
    bool blocking = false;
    bool probe = false;
    bool cancelled = false;
    bool done = false;
    bool resent = false; // already sent again after a new engine-id discovery
    std::int64_t sentMs = 0;
    int reason = 0;
    Pdu response;
};

enum class SessionState { Discovering, Ready, Failed };

struct NetSession {
    void *handle = nullptr;
    std::string key;
    bool v3 = false;
    std::string userName;
    std::uint64_t userGeneration = 0;
    SessionState state = SessionState::Ready;
    // The agent reported that it does not know our engine id or time: it has restarted or
    // been replaced, and the session must learn its engine id again.
    bool stale = false;
    std::uint64_t probeId = 0;
    std::vector<std::uint64_t> waiting;
    // What the session was opened for, to find it again without making its key.
    const kv::snmp::UsmUser *user = nullptr;
    bool v1 = false;
    std::uint32_t ip = 0;
    std::uint16_t port = 0;
    unsigned long timeout = 0;
    int retries = 0;
    // The target of the last request, kept while the next ones go to the same target.
    std::shared_ptr<SnmpTarget> lastTarget;
};

// Every session of the process, for SNMPProcessPendingEvents.
std::set<Snmp *> &liveSessions();

// Tickets are handed out in increasing order and live for one request: a sorted vector.
class TicketTable {
public:
    using Entry = std::pair<std::uint64_t, Snmp::Impl *>;
    using iterator = std::vector<Entry>::iterator;

    iterator end() { return m_entries.end(); }
    iterator find(std::uint64_t id)
    {
        auto it = lowerBound(id);
        return it != m_entries.end() && it->first == id ? it : m_entries.end();
    }
    Snmp::Impl *&operator[](std::uint64_t id)
    {
        if (m_entries.empty() || m_entries.back().first < id) {
            m_entries.emplace_back(id, nullptr);
            return m_entries.back().second;
        }
        auto it = lowerBound(id);
        if (it == m_entries.end() || it->first != id)
            it = m_entries.insert(it, Entry(id, nullptr));
        return it->second;
    }
    void erase(std::uint64_t id)
    {
        auto it = find(id);
        if (it != m_entries.end())
            m_entries.erase(it);
    }

private:
    iterator lowerBound(std::uint64_t id)
    {
        return std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                [](const Entry &e, std::uint64_t key) { return e.first < key; });
    }
    std::vector<Entry> m_entries;
};

TicketTable &ticketOwners();
void *ticketOf(std::uint64_t id);
// Ids of requests and probes, in the order they were taken.
extern std::uint64_t gNextId;

// net-snmp's calls into the session: routed by ticket to the session that owns the request.
int netSnmpCallback(int op, netsnmp_session *, int, netsnmp_pdu *pdu, void *magic);

// ---- sessions (SnmpSessions.cpp) ----------------------------------------------------------
void initNetSnmpOnce();
// Whether a request to b may use the copy a of an earlier target.
bool sameTarget(const SnmpTarget &a, const SnmpTarget &b);

// ---- PDUs (SnmpPduConvert.cpp) --------------------------------------------------------------
// Appends vb to pdu; false when the binding cannot be encoded.
bool addBinding(netsnmp_pdu *pdu, const Vb &vb);
// The answer into out, keeping out's storage.
void fromNetPdu(const netsnmp_pdu *p, Pdu &out);
int statusOfNetError(int err);
// The status a report PDU stands for, from its first binding's OID.
int statusOfReport(const netsnmp_pdu *p);

// ---- engine reports and users (SnmpDiscovery.cpp) -------------------------------------------
// The session's transport reports an engine report to owner (see watchingRecv).
void watchTransport(void *handle, Snmp::Impl *owner);
// Before the session closes: its transport goes with it.
void unwatchTransport(void *handle);
// Removes the process's cached keys of this user for this engine, so new pass phrases or
// protocols take effect.
void purgeUsmUser(const std::string &name, const u_char *engineId, std::size_t engineIdLen);

} // namespace snmpnet

struct Snmp::Impl {
    using NetSession = snmpnet::NetSession;
    using Pending = snmpnet::Pending;

    Snmp *self = nullptr;
    std::map<std::string, std::unique_ptr<NetSession>> sessions;
    std::map<std::uint64_t, std::unique_ptr<Pending>> pending; // taken, not yet completed
    std::deque<std::unique_ptr<Pending>> ready;                // completed, not yet delivered
    std::vector<std::uint64_t> finishedProbes;
    std::vector<void *> pumpHandles;
    // Delivered requests kept for the next ones, with the storage of their answers.
    std::vector<std::unique_ptr<Pending>> spares;
    std::function<void()> observer;
    std::function<bool(int)> blockingWait;
    // Who answered and who fell silent; the read batches.
    snmpnet::AgentSilence silence;
    int completionHolds = 0;
    std::string lastError;
    OctetStr localEngineId;
    std::uint32_t boots = 0;
    bool closing = false;

    int fail(int status, std::string why)
    {
        lastError = std::move(why);
        return status;
    }

    void notifySockets()
    {
        if (observer)
            observer();
    }

    // ---- dispatch (Snmp.cpp) ----
    // Why a request cannot be taken (its status), or SNMP_CLASS_SUCCESS; user is the USM user of
    // a user target.
    int refusal(const Pdu &pdu, const SnmpTarget &target, bool callbackMissing,
                const kv::snmp::UsmUser *&user);
    std::unique_ptr<Pending> newPending();
    // Called by net-snmp from inside its read, time-out and close calls: only records.
    void onNetSnmp(int op, std::uint64_t id, netsnmp_pdu *pdu);
    void complete(std::map<std::uint64_t, std::unique_ptr<Pending>>::iterator it);
    void completeWith(std::uint64_t id, int reason);
    void pumpOnce(NetSession *only, int maxWaitMs, int readableFd = -1);
    void drainDatagrams(int fd);

    // ---- blocking requests, silence and read batches (SnmpBlocking.cpp) ----
    // What became of the agent while a blocking request waited.
    enum class Heard { Unknown, Alive, Silent, GivenUp };
    struct Probe {
        std::uint64_t id = 0;
        std::int64_t sentMs = -1;
    };
    // Waits for the blocking request id and hands its answer (or time-out) to pdu.
    int finishBlocking(std::uint64_t id, Pdu &pdu, snmpnet::AgentKey agent, bool batchedRead);
    Heard awaitBlocking(Pending &p, snmpnet::AgentKey agent);
    bool waitSlice(NetSession *on);
    bool fallenSilent(const Pending &p, snmpnet::AgentKey agent, Probe &probe);
    Heard judgeAfterTimeOut(const Pending &p, snmpnet::AgentKey agent);
    Probe sendProbe(const Pending &p);
    void dropProbe(Probe &probe);
    bool sessionKnown(const NetSession *s) const;

    // ---- sessions (SnmpSessions.cpp) ----
    NetSession *openSession(const SnmpTarget &target, const kv::snmp::UsmUser *user, int &status);
    void closeSession(const std::string &key);
    // Sends a new SNMPv3 session's engine-id probe; on failure closes the handle and sets status.
    void closeStaleSessions(const kv::snmp::UsmUser &user);
    bool sendEngineProbe(NetSession &s, const UdpAddress &addr, int &status);
    void closeHandle(NetSession &s);
    // Takes a session's requests off it (its probe goes): their net-snmp notices are ignored
    // from now on. Returns the requests that still need a completion.
    std::vector<std::uint64_t> detachRequests(const NetSession &s);

    // ---- PDUs (SnmpPduConvert.cpp) ----
    int transmit(Pending &p);

    // ---- discovery (SnmpDiscovery.cpp) ----
    void afterNetSnmp();
    void rediscover(const std::string &key);
    void finishDiscovery(NetSession &s, Pending &probe);
};

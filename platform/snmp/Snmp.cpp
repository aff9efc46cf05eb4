// net-snmp stands behind this file only: its headers define macros and types that must not
// reach the rest of the program.
// net-snmp names its callback type like ours; rename it for this file.
#define snmp_callback netsnmp_callback_type
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#undef snmp_callback

#include "EngineReport.h"
#include "Snmp.h"
#include "Usm.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <sys/select.h>
#include <unistd.h>
#include <unordered_map>

namespace {

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

std::set<Snmp *> &liveSessions()
{
    static std::set<Snmp *> sessions;
    return sessions;
}

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

TicketTable &ticketOwners()
{
    static TicketTable owners;
    return owners;
}

std::uint64_t gNextId = 1;

void initNetSnmpOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Numeric OIDs only, no users' configuration files, no state under $HOME or /var/lib:
    // net-snmp's folder is the process's own, removed when it ends.
    setenv("MIBS", "", 1);
    static const struct StateFolder {
        StateFolder()
        {
            std::error_code ec;
            std::string pattern = (std::filesystem::temp_directory_path(ec) / "kvsnmp-XXXXXX").string();
            if (::mkdtemp(pattern.data()))
                path = pattern;
        }
        ~StateFolder()
        {
            std::error_code ec;
            if (!path.empty())
                std::filesystem::remove_all(path, ec);
        }
        std::filesystem::path path;
    } folder;
    std::error_code ec;
    const std::filesystem::path dir =
        folder.path.empty() ? std::filesystem::path("/nonexistent") : folder.path;
    std::filesystem::create_directories(dir / "mibs", ec);
    std::filesystem::create_directories(dir / "cert_indexes", ec);
    const std::string state = dir.string();
    const std::string mibs = (dir / "mibs").string();
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, mibs.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, state.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CONFIGURATION_DIR, state.c_str());
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
    snmp_disable_log();
    init_snmp("kvsnmp");
}

// ---- value conversion -------------------------------------------------------------

std::vector<oid> toNetOid(const Oid &o)
{
    std::vector<oid> out(o.len());
    for (std::size_t i = 0; i < o.len(); ++i)
        out[i] = o[i];
    return out;
}

Oid fromNetOid(const oid *ids, std::size_t count)
{
    std::vector<std::uint32_t> out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<std::uint32_t>(ids[i]);
    return Oid(std::move(out));
}

// Appends vb to pdu; false when the binding cannot be encoded.
bool addBinding(netsnmp_pdu *pdu, const Vb &vb)
{
    const Oid &name = vb.get_oid();
    if (!name.valid() || name.len() < 2 || name.len() > MAX_OID_LEN)
        return false;
    struct NetName {
        oid ids[MAX_OID_LEN];
        std::size_t count;
        const oid *data() const { return ids; }
        std::size_t size() const { return count; }
    } netName;
    netName.count = name.len();
    for (std::size_t i = 0; i < netName.count; ++i)
        netName.ids[i] = name[i];
    netsnmp_variable_list *added = nullptr;
    const SmiUINT32 syntax = vb.get_syntax();
    switch (syntax) {
    case sNMP_SYNTAX_INT: {
        std::int32_t v = 0;
        vb.get_value(v);
        long value = v;
        added =
            snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_INTEGER, &value, sizeof(value));
        break;
    }
    case sNMP_SYNTAX_CNTR32:
    case sNMP_SYNTAX_GAUGE32:
    case sNMP_SYNTAX_TIMETICKS:
    case sNMP_SYNTAX_UINTEGER: {
        std::uint32_t v = 0;
        vb.get_value(v);
        unsigned long value = v;
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), static_cast<u_char>(syntax),
                                      &value, sizeof(value));
        break;
    }
    case sNMP_SYNTAX_CNTR64: {
        Counter64 v;
        vb.get_value(v);
        counter64 value{};
        value.high = v.high();
        value.low = v.low();
        added =
            snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_COUNTER64, &value, sizeof(value));
        break;
    }
    case sNMP_SYNTAX_OCTETS:
    case sNMP_SYNTAX_BITS:
    case sNMP_SYNTAX_OPAQUE:
    case sNMP_SYNTAX_NSAP: {
        OctetStr v;
        vb.get_value(v);
        static const u_char empty = 0;
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), static_cast<u_char>(syntax),
                                      v.len() ? v.data() : &empty, v.len());
        break;
    }
    case sNMP_SYNTAX_OID: {
        Oid v;
        vb.get_value(v);
        if (v.len() > MAX_OID_LEN)
            return false;
        std::vector<oid> value = toNetOid(v);
        static const oid zeroDotZero[2] = {0, 0};
        if (value.empty())
            added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_OBJECT_ID, zeroDotZero,
                                          sizeof(zeroDotZero));
        else
            added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_OBJECT_ID, value.data(),
                                          value.size() * sizeof(oid));
        break;
    }
    case sNMP_SYNTAX_IPADDR: {
        IpAddress v;
        vb.get_value(v);
        u_char bytes[4] = {v[0], v[1], v[2], v[3]};
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_IPADDRESS, bytes, 4);
        break;
    }
    default:
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_NULL, nullptr, 0);
        break;
    }
    return added != nullptr;
}

// Fills vb from a received binding, keeping vb's storage (answers reuse their bindings).
void fromNetBinding(const netsnmp_variable_list *v, Vb &vb)
{
    std::uint32_t ids[MAX_OID_LEN];
    const std::size_t count = std::min<std::size_t>(v->name_length, MAX_OID_LEN);
    for (std::size_t i = 0; i < count; ++i)
        ids[i] = static_cast<std::uint32_t>(v->name[i]);
    vb.set_oid(ids, count);
    switch (v->type) {
    case ASN_INTEGER:
        vb.set_value(static_cast<std::int32_t>(v->val.integer ? *v->val.integer : 0));
        break;
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
    case ASN_UINTEGER:
        vb.set_unsigned(static_cast<std::uint32_t>(v->val.integer ? *v->val.integer : 0), v->type);
        break;
    case ASN_COUNTER64:
        if (v->val.counter64)
            vb.set_value(Counter64(static_cast<std::uint32_t>(v->val.counter64->high),
                                   static_cast<std::uint32_t>(v->val.counter64->low)));
        else
            vb.set_value(Counter64(0));
        break;
    case ASN_OCTET_STR:
    case ASN_BIT_STR:
    case ASN_OPAQUE:
    case ASN_NSAP:
        vb.set_octets(v->val.string, v->val.string ? v->val_len : 0, v->type);
        break;
    case ASN_OBJECT_ID:
        vb.set_value(v->val.objid ? fromNetOid(v->val.objid, v->val_len / sizeof(oid)) : Oid());
        break;
    case ASN_IPADDRESS:
        if (v->val.string && v->val_len >= 4)
            vb.set_value(IpAddress(std::array<std::uint8_t, 4>{v->val.string[0], v->val.string[1],
                                                               v->val.string[2], v->val.string[3]}));
        else
            vb.set_value(IpAddress(std::array<std::uint8_t, 4>{0, 0, 0, 0}));
        break;
    case SNMP_NOSUCHOBJECT:
    case SNMP_NOSUCHINSTANCE:
    case SNMP_ENDOFMIBVIEW:
        vb.set_exception_status(v->type);
        break;
    default:
        vb.set_null();
        break;
    }
}

// The answer into out, keeping out's storage.
void fromNetPdu(const netsnmp_pdu *p, Pdu &out)
{
    int count = 0;
    for (const netsnmp_variable_list *v = p->variables; v; v = v->next_variable)
        ++count;
    out.resize(count);
    int i = 0;
    for (const netsnmp_variable_list *v = p->variables; v; v = v->next_variable)
        fromNetBinding(v, out[i++]);
    out.set_error_status(static_cast<int>(p->errstat));
    out.set_error_index(static_cast<int>(p->errindex));
    out.set_request_id(static_cast<std::int32_t>(p->reqid));
    out.set_type(static_cast<unsigned short>(p->command));
    out.set_security_level(p->securityLevel);
    out.set_context_name(OctetStr());
    out.set_context_engine_id(OctetStr());
}

// ---- status mapping ---------------------------------------------------------------

int statusOfNetError(int err)
{
    switch (err) {
    case SNMPERR_SUCCESS:
        return SNMP_CLASS_SUCCESS;
    case SNMPERR_TIMEOUT:
        return SNMP_CLASS_TIMEOUT;
    case SNMPERR_BAD_SENDTO:
        return SNMP_CLASS_TL_FAILED;
    case SNMPERR_TOO_LONG:
        return SNMP_CLASS_INVALID_PDU;
    case SNMPERR_BAD_NAME:
        return SNMP_CLASS_INVALID_OID;
    case SNMPERR_BAD_ADDRESS:
        return SNMP_CLASS_INVALID_ADDRESS;
    case SNMPERR_UNKNOWN_USER_NAME:
    case SNMPERR_USM_UNKNOWNSECURITYNAME:
    case SNMPERR_BAD_SEC_NAME:
        return SNMPv3_USM_UNKNOWN_SECURITY_NAME;
    case SNMPERR_UNSUPPORTED_SEC_LEVEL:
    case SNMPERR_USM_UNSUPPORTEDSECURITYLEVEL:
    case SNMPERR_BAD_SEC_LEVEL:
        return SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL;
    case SNMPERR_NOT_IN_TIME_WINDOW:
    case SNMPERR_USM_NOTINTIMEWINDOW:
        return SNMPv3_USM_NOT_IN_TIME_WINDOW;
    case SNMPERR_UNKNOWN_ENG_ID:
    case SNMPERR_USM_UNKNOWNENGINEID:
        return SNMPv3_USM_UNKNOWN_ENGINEID;
    case SNMPERR_AUTHENTICATION_FAILURE:
    case SNMPERR_USM_AUTHENTICATIONFAILURE:
        return SNMPv3_USM_AUTHENTICATION_FAILURE;
    case SNMPERR_DECRYPTION_ERR:
    case SNMPERR_USM_DECRYPTIONERROR:
        return SNMPv3_USM_DECRYPTION_ERROR;
    case SNMPERR_USM_ENCRYPTIONERROR:
        return SNMPv3_USM_ENCRYPTION_ERROR;
    case SNMPERR_USM_PARSEERROR:
        return SNMPv3_USM_PARSE_ERROR;
    case SNMPERR_USM_GENERICERROR:
    case SNMPERR_KT_NOT_AVAILABLE:
        return SNMPv3_USM_ERROR;
    case SNMPERR_UNKNOWN_SEC_MODEL:
        return SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL;
    case SNMPERR_INVALID_MSG:
        return SNMPv3_MP_INVALID_MESSAGE;
    case SNMPERR_UNKNOWN_PDU:
        return SNMPv3_MP_UNKNOWN_PDU_HANDLERS;
    default:
        return SNMP_CLASS_ERROR;
    }
}

// The status a report PDU stands for, from its first binding's OID.
int statusOfReport(const netsnmp_pdu *p)
{
    struct Known {
        std::uint32_t ids[11];
        std::size_t len;
        int status;
    };
    static const Known known[] = {
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 1}, 10, SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 2}, 10, SNMPv3_USM_NOT_IN_TIME_WINDOW},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 3}, 10, SNMPv3_USM_UNKNOWN_SECURITY_NAME},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 4}, 10, SNMPv3_USM_UNKNOWN_ENGINEID},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 5}, 10, SNMPv3_USM_AUTHENTICATION_FAILURE},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 6}, 10, SNMPv3_USM_DECRYPTION_ERROR},
        {{1, 3, 6, 1, 6, 3, 11, 2, 1, 1}, 10, SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL},
        {{1, 3, 6, 1, 6, 3, 11, 2, 1, 2}, 10, SNMPv3_MP_INVALID_MESSAGE},
        {{1, 3, 6, 1, 6, 3, 11, 2, 1, 3}, 10, SNMPv3_MP_UNKNOWN_PDU_HANDLERS},
        {{1, 3, 6, 1, 6, 3, 12, 1, 4}, 9, SNMPv3_MP_UNAVAILABLE_CONTEXT},
        {{1, 3, 6, 1, 6, 3, 12, 1, 5}, 9, SNMPv3_MP_UNKNOWN_CONTEXT},
    };
    const netsnmp_variable_list *v = p->variables;
    if (!v)
        return SNMPv3_MP_INVALID_MESSAGE;
    for (const auto &k : known) {
        if (v->name_length < k.len)
            continue;
        bool match = true;
        for (std::size_t i = 0; i < k.len && match; ++i)
            match = v->name[i] == k.ids[i];
        if (match)
            return k.status;
    }
    return SNMP_CLASS_ERROR;
}

int netSnmpCallback(int op, netsnmp_session *, int, netsnmp_pdu *pdu, void *magic);

// Whether a request to b may use the copy a of an earlier target.
bool sameTarget(const SnmpTarget &a, const SnmpTarget &b)
{
    if (a.is_user_target() != b.is_user_target() || !(a.udp_address() == b.udp_address()) ||
        a.get_version() != b.get_version() || a.get_retry() != b.get_retry() ||
        a.get_timeout() != b.get_timeout())
        return false;
    if (a.is_user_target()) {
        const auto &ua = static_cast<const UTarget &>(a);
        const auto &ub = static_cast<const UTarget &>(b);
        return ua.get_security_model() == ub.get_security_model() &&
               ua.get_security_name() == ub.get_security_name();
    }
    const auto &ca = static_cast<const CTarget &>(a);
    const auto &cb = static_cast<const CTarget &>(b);
    return ca.get_readcommunity() == cb.get_readcommunity() &&
           ca.get_writecommunity() == cb.get_writecommunity();
}

// ---- engine reports -------------------------------------------------------------------
// net-snmp drops the unauthenticated report a restarted agent sends for a request made with
// its old engine id, so the request only times out. The session's transport is watched
// instead: an SNMPv3 report of an unknown engine id or a message outside the time window
// marks the session for a new discovery.

struct WatchedTransport {
    Snmp::Impl *owner = nullptr;
    int (*recv)(netsnmp_transport *, void *, int, void **, int *) = nullptr;
};

std::unordered_map<netsnmp_transport *, WatchedTransport> &watchedTransports()
{
    static std::unordered_map<netsnmp_transport *, WatchedTransport> watched;
    return watched;
}

void markStale(Snmp::Impl *owner, netsnmp_transport *t);

int watchingRecv(netsnmp_transport *t, void *buf, int size, void **opaque, int *olength)
{
    auto it = watchedTransports().find(t);
    if (it == watchedTransports().end())
        return -1;
    const WatchedTransport watch = it->second;
    const int n = watch.recv(t, buf, size, opaque, olength);
    if (n > 0 && kv::snmp::isEngineReport(std::span<const std::uint8_t>(
                     static_cast<const std::uint8_t *>(buf), static_cast<std::size_t>(n))))
        markStale(watch.owner, t);
    return n;
}

void watchTransport(void *handle, Snmp::Impl *owner)
{
    netsnmp_transport *t = snmp_sess_transport(handle);
    if (!t || !t->f_recv || t->f_recv == watchingRecv)
        return;
    watchedTransports()[t] = WatchedTransport{owner, t->f_recv};
    t->f_recv = watchingRecv;
}

// Before the session closes: its transport goes with it.
void unwatchTransport(void *handle)
{
    netsnmp_transport *t = snmp_sess_transport(handle);
    auto it = t ? watchedTransports().find(t) : watchedTransports().end();
    if (it == watchedTransports().end())
        return;
    t->f_recv = it->second.recv;
    watchedTransports().erase(it);
}

} // namespace

// ---- the session ----------------------------------------------------------------------

struct Snmp::Impl {
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

    // Called by net-snmp from inside its read, time-out and close calls: only records.
    void onNetSnmp(int op, std::uint64_t id, netsnmp_pdu *pdu)
    {
        auto it = pending.find(id);
        if (it == pending.end() || it->second->done)
            return;
        Pending &p = *it->second;
        switch (op) {
        case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE:
            if (!pdu)
                return;
            if (pdu->command == SNMP_MSG_REPORT) {
                p.reason = statusOfReport(pdu);
                p.response = p.request;
                p.response.set_error_status(0);
                p.response.set_error_index(0);
            } else {
                p.reason = SNMP_CLASS_ASYNC_RESPONSE;
                fromNetPdu(pdu, p.response);
            }
            break;
        case NETSNMP_CALLBACK_OP_TIMED_OUT:
            p.reason = SNMP_CLASS_TIMEOUT;
            p.response = p.request;
            break;
        case NETSNMP_CALLBACK_OP_SEND_FAILED:
            p.reason = SNMP_CLASS_TL_FAILED;
            p.response = p.request;
            break;
        default: // resend and security notices: the request is still outstanding
            return;
        }
        complete(it);
    }

    void complete(std::map<std::uint64_t, std::unique_ptr<Pending>>::iterator it)
    {
        Pending &p = *it->second;
        p.done = true;
        ticketOwners().erase(p.id);
        if (p.probe) {
            finishedProbes.push_back(p.id);
            return;
        }
        if (p.blocking)
            return; // the waiting caller takes it
        ready.push_back(std::move(it->second));
        pending.erase(it);
    }

    void completeWith(std::uint64_t id, int reason)
    {
        auto it = pending.find(id);
        if (it == pending.end() || it->second->done)
            return;
        it->second->reason = reason;
        it->second->response = it->second->request;
        complete(it);
    }

    NetSession *openSession(const SnmpTarget &target, const kv::snmp::UsmUser *user, int &status);
    int transmit(Pending &p);
    void afterNetSnmp();
    void rediscover(const std::string &key);
    void closeHandle(NetSession &s);
    // Takes a session's requests off it (its probe goes): their net-snmp notices are ignored
    // from now on. Returns the requests that still need a completion.
    std::vector<std::uint64_t> detachRequests(const NetSession &s);
    void finishDiscovery(NetSession &s, Pending &probe);
    void closeSession(const std::string &key);
    void pumpOnce(NetSession *only, int maxWaitMs);
};

namespace {

void markStale(Snmp::Impl *owner, netsnmp_transport *t)
{
    for (auto &[key, s] : owner->sessions)
        if (s->v3 && s->state == SessionState::Ready && snmp_sess_transport(s->handle) == t)
            s->stale = true;
}

int netSnmpCallback(int op, netsnmp_session *, int, netsnmp_pdu *pdu, void *magic)
{
    auto id = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(magic));
    auto it = ticketOwners().find(id);
    if (it != ticketOwners().end())
        it->second->onNetSnmp(op, id, pdu);
    return 1;
}

void *ticketOf(std::uint64_t id)
{
    return reinterpret_cast<void *>(static_cast<std::uintptr_t>(id));
}

// Removes the process's cached keys of this user for this engine, so new pass phrases or
// protocols take effect.
void purgeUsmUser(const std::string &name, const u_char *engineId, std::size_t engineIdLen)
{
    for (usmUser *u = usm_get_userList(); u;) {
        usmUser *next = u->next;
        if (u->name && name == u->name && u->engineIDLen == engineIdLen &&
            (engineIdLen == 0 || std::memcmp(u->engineID, engineId, engineIdLen) == 0)) {
            usm_remove_user(u);
            usm_free_user(u);
        }
        u = next;
    }
}

} // namespace

NetSession *Snmp::Impl::openSession(const SnmpTarget &target, const kv::snmp::UsmUser *user, int &status)
{
    const UdpAddress &addr = target.udp_address();
    const unsigned long timeout = target.get_timeout();
    const int retries = std::max(0, target.get_retry());
    const bool v1 = !user && target.get_version() == version1;
    // A user's record is made anew (new generation) when the user changes.
    for (auto &[k, s] : sessions) {
        if (s->user == user && s->v1 == v1 && s->ip == addr.ipv4() && s->port == addr.get_port() &&
            s->timeout == timeout && s->retries == retries &&
            (!user || s->userGeneration == user->generation)) {
            status = SNMP_CLASS_SUCCESS;
            return s.get();
        }
    }
    std::string key =
        (user ? "u|" + user->name + "|" + std::to_string(user->generation) : std::string(v1 ? "c1" : "c2")) +
        "|" + addr.get_printable() + "|" + std::to_string(timeout) + "|" + std::to_string(retries);
    if (auto it = sessions.find(key); it != sessions.end()) {
        status = SNMP_CLASS_SUCCESS;
        return it->second.get();
    }
    if (user) {
        // Sessions on older keys of the same user are of no further use.
        std::vector<std::string> stale;
        for (auto &[k, s] : sessions)
            if (s->v3 && s->userName == user->name && s->userGeneration != user->generation)
                stale.push_back(k);
        for (const auto &k : stale)
            closeSession(k);
    }

    netsnmp_session cfg;
    snmp_sess_init(&cfg);
    std::string peer = "udp:" + addr.ip_text() + ":" + std::to_string(addr.get_port());
    cfg.peername = peer.data();
    cfg.timeout = static_cast<long>(std::max<unsigned long>(timeout, 1) * 10000);
    cfg.retries = retries;
    cfg.callback = netSnmpCallback;
    std::string secName;
    static const char publicCommunity[] = "public";
    if (user) {
        cfg.version = SNMP_VERSION_3;
        cfg.flags |= SNMP_FLAGS_DONT_PROBE;
        secName = user->name;
        cfg.securityName = secName.data();
        cfg.securityNameLen = secName.size();
        cfg.securityModel = SNMP_SEC_MODEL_USM;
        cfg.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
        if (user->authProtocol != SNMP_AUTHPROTOCOL_NONE) {
            cfg.securityLevel = SNMP_SEC_LEVEL_AUTHNOPRIV;
            const bool md5 = user->authProtocol == SNMP_AUTHPROTOCOL_HMACMD5;
            cfg.securityAuthProto = const_cast<oid *>(md5 ? usmHMACMD5AuthProtocol : usmHMACSHA1AuthProtocol);
            cfg.securityAuthProtoLen = md5 ? USM_AUTH_PROTO_MD5_LEN : USM_AUTH_PROTO_SHA_LEN;
            cfg.securityAuthKeyLen = USM_AUTH_KU_LEN;
            if (generate_Ku(cfg.securityAuthProto, static_cast<u_int>(cfg.securityAuthProtoLen),
                            reinterpret_cast<const u_char *>(user->authPassword.data()),
                            user->authPassword.size(), cfg.securityAuthKey,
                            &cfg.securityAuthKeyLen) != SNMPERR_SUCCESS) {
                status = fail(SNMPv3_USM_ERROR, "the authentication key cannot be made from the pass phrase");
                return nullptr;
            }
            if (user->privProtocol == SNMP_PRIVPROTOCOL_DES) {
                cfg.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
                cfg.securityPrivProto = const_cast<oid *>(usmDESPrivProtocol);
                cfg.securityPrivProtoLen = USM_PRIV_PROTO_DES_LEN;
                cfg.securityPrivKeyLen = USM_PRIV_KU_LEN;
                if (generate_Ku(cfg.securityAuthProto, static_cast<u_int>(cfg.securityAuthProtoLen),
                                reinterpret_cast<const u_char *>(user->privPassword.data()),
                                user->privPassword.size(), cfg.securityPrivKey,
                                &cfg.securityPrivKeyLen) != SNMPERR_SUCCESS) {
                    status = fail(SNMPv3_USM_ERROR, "the privacy key cannot be made from the pass phrase");
                    return nullptr;
                }
            }
        }
    } else {
        cfg.version = v1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
        cfg.community = reinterpret_cast<u_char *>(const_cast<char *>(publicCommunity));
        cfg.community_len = sizeof(publicCommunity) - 1;
    }
    void *handle = snmp_sess_open(&cfg);
    if (!handle) {
        status = fail(SNMP_CLASS_TL_FAILED, "cannot open a UDP socket to " + addr.get_printable());
        return nullptr;
    }
    // Opening clears the flag; without it the first send would probe, blocking, itself.
    if (user) {
        snmp_sess_session(handle)->flags |= SNMP_FLAGS_DONT_PROBE;
        watchTransport(handle, this);
    }
    auto s = std::make_unique<NetSession>();
    s->handle = handle;
    s->key = key;
    s->v3 = user != nullptr;
    s->user = user;
    s->v1 = v1;
    s->ip = addr.ipv4();
    s->port = addr.get_port();
    s->timeout = timeout;
    s->retries = retries;
    if (user) {
        s->userName = user->name;
        s->userGeneration = user->generation;
        s->state = SessionState::Discovering;
        // Our own engine-id probe, sent without waiting; requests queue until it ends.
        auto probe = std::make_unique<Pending>();
        probe->id = gNextId++;
        probe->probe = true;
        probe->session = s.get();
        netsnmp_pdu *p = snmp_pdu_create(SNMP_MSG_GET);
        p->version = SNMP_VERSION_3;
        p->securityModel = SNMP_SEC_MODEL_USM;
        p->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
        p->securityName = static_cast<char *>(calloc(1, 1));
        p->securityNameLen = 0;
        p->contextName = static_cast<char *>(calloc(1, 1));
        p->contextNameLen = 0;
        p->flags |= UCD_MSG_FLAG_EXPECT_RESPONSE;
        ticketOwners()[probe->id] = this;
        if (snmp_sess_async_send(handle, p, netSnmpCallback, ticketOf(probe->id)) == 0) {
            snmp_free_pdu(p);
            ticketOwners().erase(probe->id);
            unwatchTransport(handle);
            snmp_sess_close(handle);
            status = fail(SNMP_CLASS_TL_FAILED, "cannot send the engine-id probe to " + addr.get_printable());
            return nullptr;
        }
        s->probeId = probe->id;
        pending[probe->id] = std::move(probe);
    }
    NetSession *raw = s.get();
    sessions[key] = std::move(s);
    notifySockets();
    status = SNMP_CLASS_SUCCESS;
    return raw;
}

void Snmp::Impl::closeSession(const std::string &key)
{
    auto it = sessions.find(key);
    if (it == sessions.end())
        return;
    NetSession *s = it->second.get();
    // Requests still on this session end as time-outs.
    const std::vector<std::uint64_t> ids = detachRequests(*s);
    closeHandle(*s);
    for (auto id : ids)
        completeWith(id, SNMP_CLASS_TIMEOUT);
    sessions.erase(it);
    notifySockets();
}

std::vector<std::uint64_t> Snmp::Impl::detachRequests(const NetSession &s)
{
    std::vector<std::uint64_t> ids;
    for (auto it = pending.begin(); it != pending.end();) {
        Pending &p = *it->second;
        if (p.session != &s || p.done) {
            ++it;
            continue;
        }
        ticketOwners().erase(it->first);
        // A discovery probe goes with its session.
        if (p.probe) {
            it = pending.erase(it);
            continue;
        }
        p.session = nullptr;
        ids.push_back(it->first);
        ++it;
    }
    return ids;
}

void Snmp::Impl::closeHandle(NetSession &s)
{
    unwatchTransport(s.handle);
    snmp_sess_close(s.handle);
}

void Snmp::Impl::rediscover(const std::string &key)
{
    auto it = sessions.find(key);
    if (it == sessions.end())
        return;
    NetSession *stale = it->second.get();
    const std::vector<std::uint64_t> ids = detachRequests(*stale);
    // What net-snmp learnt of the old engine's clock must not outlive it.
    if (netsnmp_session *ns = snmp_sess_session(stale->handle); ns && ns->securityEngineIDLen > 0)
        free_enginetime(ns->securityEngineID, ns->securityEngineIDLen);
    closeHandle(*stale);
    sessions.erase(it);
    notifySockets();
    // The requests sent with the old engine id get no answer: each goes out once more after
    // the new discovery; one that already did ends with the agent's report.
    for (auto id : ids) {
        auto pit = pending.find(id);
        if (pit == pending.end())
            continue;
        Pending &p = *pit->second;
        if (p.resent) {
            completeWith(id, SNMPv3_USM_UNKNOWN_ENGINEID);
            continue;
        }
        p.resent = true;
        const auto &ut = static_cast<const UTarget &>(*p.target);
        const kv::snmp::UsmUser *user = kv::snmp::findUsmUser(ut.get_security_name().to_string());
        int status = SNMPv3_USM_UNKNOWN_SECURITY_NAME;
        NetSession *s = user ? openSession(*p.target, user, status) : nullptr;
        if (!s) {
            completeWith(id, status);
            continue;
        }
        p.session = s;
        if (s->state == SessionState::Discovering) {
            s->waiting.push_back(id);
        } else {
            status = transmit(p);
            if (status != SNMP_CLASS_SUCCESS)
                completeWith(id, status);
        }
    }
}

int Snmp::Impl::transmit(Pending &p)
{
    NetSession &s = *p.session;
    netsnmp_pdu *np = snmp_pdu_create(p.command);
    if (s.v3) {
        np->version = SNMP_VERSION_3;
        np->securityModel = SNMP_SEC_MODEL_USM;
        np->securityLevel = p.request.get_security_level();
        const OctetStr &ctx = p.request.get_context_name();
        np->contextName = static_cast<char *>(malloc(ctx.len() + 1));
        if (ctx.len())
            std::memcpy(np->contextName, ctx.data(), ctx.len());
        np->contextName[ctx.len()] = '\0';
        np->contextNameLen = ctx.len();
        const OctetStr &engine = p.request.get_context_engine_id();
        if (engine.len()) {
            np->contextEngineID = static_cast<u_char *>(malloc(engine.len()));
            std::memcpy(np->contextEngineID, engine.data(), engine.len());
            np->contextEngineIDLen = engine.len();
        }
    } else {
        const auto &ct = static_cast<const CTarget &>(*p.target);
        np->version = ct.get_version() == version1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
        // The write community goes with sets only.
        const OctetStr &community =
            p.command == SNMP_MSG_SET ? ct.get_writecommunity() : ct.get_readcommunity();
        np->community = static_cast<u_char *>(malloc(community.len() + 1));
        if (community.len())
            std::memcpy(np->community, community.data(), community.len());
        np->community_len = community.len();
    }
    for (const Vb &vb : p.request.vbs()) {
        if (!addBinding(np, vb)) {
            snmp_free_pdu(np);
            return fail(SNMP_CLASS_INVALID_OID, "a binding has an invalid object identifier");
        }
    }
    ticketOwners()[p.id] = this;
    if (snmp_sess_async_send(s.handle, np, netSnmpCallback, ticketOf(p.id)) == 0) {
        int clib = 0, err = 0;
        char *text = nullptr;
        snmp_sess_error(s.handle, &clib, &err, &text);
        std::string why = text ? text : "";
        free(text);
        snmp_free_pdu(np);
        ticketOwners().erase(p.id);
        return fail(statusOfNetError(err), why);
    }
    return SNMP_CLASS_SUCCESS;
}

void Snmp::Impl::finishDiscovery(NetSession &s, Pending &probe)
{
    netsnmp_session *ns = snmp_sess_session(s.handle);
    std::vector<std::uint64_t> waiting;
    waiting.swap(s.waiting);
    if (ns && ns->securityEngineIDLen > 0) {
        // net-snmp may already have made the user from an older entry of the same name:
        // make it again from this session's keys.
        purgeUsmUser(s.userName, ns->securityEngineID, ns->securityEngineIDLen);
        ns->flags &= ~static_cast<unsigned long>(SNMP_FLAGS_USER_CREATED);
        if (create_user_from_session(ns) == SNMPERR_SUCCESS) {
            s.state = SessionState::Ready;
            for (auto id : waiting) {
                auto it = pending.find(id);
                if (it == pending.end() || it->second->done)
                    continue;
                int status = transmit(*it->second);
                if (status != SNMP_CLASS_SUCCESS)
                    completeWith(id, status);
            }
            return;
        }
        probe.reason = SNMPv3_USM_ERROR;
    }
    // No engine id: the waiting requests fail with the probe's outcome, and the next request
    // starts a new discovery.
    int reason = probe.reason == SNMP_CLASS_ASYNC_RESPONSE || probe.reason == 0 ? SNMPv3_MP_INVALID_ENGINEID
                                                                                : probe.reason;
    for (auto id : waiting)
        completeWith(id, reason);
    s.state = SessionState::Failed;
}

void Snmp::Impl::afterNetSnmp()
{
    while (!finishedProbes.empty()) {
        std::uint64_t id = finishedProbes.front();
        finishedProbes.erase(finishedProbes.begin());
        auto it = pending.find(id);
        if (it == pending.end())
            continue;
        std::unique_ptr<Pending> probe = std::move(it->second);
        pending.erase(it);
        NetSession *s = nullptr;
        for (auto &[k, sess] : sessions)
            if (sess->probeId == id)
                s = sess.get();
        if (!s)
            continue;
        finishDiscovery(*s, *probe);
        if (s->state == SessionState::Failed)
            closeSession(s->key);
    }
    std::vector<std::string> stale;
    for (auto &[key, s] : sessions)
        if (s->stale)
            stale.push_back(key);
    for (const auto &key : stale)
        rediscover(key);
}

void Snmp::Impl::pumpOnce(NetSession *only, int maxWaitMs)
{
    fd_set readable;
    FD_ZERO(&readable);
    int maxFd = 0;
    timeval tv{maxWaitMs / 1000, (maxWaitMs % 1000) * 1000};
    // Not re-entered: net-snmp's callbacks only record.
    std::vector<void *> &handles = pumpHandles;
    handles.clear();
    for (auto &[k, s] : sessions)
        if (!only || s.get() == only)
            handles.push_back(s->handle);
    for (void *h : handles) {
        if (maxWaitMs == 0) {
            // No wait: only the sockets matter, not when the next retry is due.
            netsnmp_transport *t = snmp_sess_transport(h);
            if (t && t->sock >= 0) {
                FD_SET(t->sock, &readable);
                maxFd = std::max(maxFd, t->sock + 1);
            }
            continue;
        }
        int block = 0;
        snmp_sess_select_info(h, &maxFd, &readable, &tv, &block);
    }
    if (tv.tv_sec < 0 || tv.tv_usec < 0)
        tv = timeval{0, 0};
    if (maxWaitMs == 0)
        tv = timeval{0, 0};
    int n = handles.empty() ? 0 : select(maxFd, &readable, nullptr, nullptr, &tv);
    for (void *h : handles) {
        // A session may have been closed by an earlier step of this loop.
        bool alive = false;
        for (auto &[k, s] : sessions)
            alive = alive || s->handle == h;
        if (!alive)
            continue;
        if (n > 0)
            snmp_sess_read(h, &readable);
        snmp_sess_timeout(h);
        afterNetSnmp();
    }
}

// ---- public surface ---------------------------------------------------------------------

Snmp::Snmp(int &status, std::uint16_t port) : m_impl(std::make_unique<Impl>())
{
    m_impl->self = this;
    initNetSnmpOnce();
    liveSessions().insert(this);
    status = port == 0 ? SNMP_CLASS_SUCCESS : SNMP_CLASS_TL_IN_USE;
}

Snmp::~Snmp()
{
    liveSessions().erase(this);
    Impl &d = *m_impl;
    d.closing = true;
    std::vector<std::string> keys;
    for (auto &[k, s] : d.sessions)
        keys.push_back(k);
    for (auto &[id, p] : d.pending)
        ticketOwners().erase(id);
    for (const auto &k : keys) {
        d.closeHandle(*d.sessions[k]);
        d.sessions.erase(k);
    }
    // Everything not yet delivered ends with the session-closing reason.
    std::vector<std::unique_ptr<Pending>> left;
    for (auto &r : d.ready)
        left.push_back(std::move(r));
    d.ready.clear();
    for (auto &[id, p] : d.pending)
        if (!p->probe && !p->blocking)
            left.push_back(std::move(p));
    d.pending.clear();
    for (auto &p : left) {
        if (p->cancelled || !p->callback)
            continue;
        Pdu empty = p->request;
        p->callback(SNMP_CLASS_SESSION_DESTROYED, this, empty, *p->target, p->callbackData);
    }
}

int Snmp::send(int command, Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData,
               bool blocking, bool takePdu)
{
    Impl &d = *m_impl;
    d.lastError.clear();
    if (!blocking && !callback)
        return d.fail(SNMP_CLASS_INVALID_CALLBACK, "no callback");
    if (!target.valid())
        return d.fail(SNMP_CLASS_INVALID_ADDRESS, "the agent address is not valid");
    const kv::snmp::UsmUser *user = nullptr;
    if (target.is_user_target()) {
        const auto &ut = static_cast<const UTarget &>(target);
        if (target.get_version() != version3)
            return d.fail(SNMP_CLASS_INVALID_TARGET, "a user target needs version 3");
        if (ut.get_security_model() != SNMP_SECURITY_MODEL_USM)
            return d.fail(SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL,
                          "only the user-based security model is supported");
        user = kv::snmp::findUsmUser(ut.get_security_name().to_string());
        if (!user)
            return d.fail(SNMPv3_USM_UNKNOWN_SECURITY_NAME, "the user was not added");
        const int level = pdu.get_security_level();
        if (level < SNMP_SECURITY_LEVEL_NOAUTH_NOPRIV || level > SNMP_SECURITY_LEVEL_AUTH_PRIV ||
            (level >= SNMP_SECURITY_LEVEL_AUTH_NOPRIV && user->authProtocol == SNMP_AUTHPROTOCOL_NONE) ||
            (level == SNMP_SECURITY_LEVEL_AUTH_PRIV && user->privProtocol == SNMP_PRIVPROTOCOL_NONE))
            return d.fail(SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL,
                          "the user's protocols do not allow this level");
    } else {
        const int v = target.get_version();
        if (v != version1 && v != version2c && v != version2stern)
            return d.fail(SNMP_CLASS_INVALID_TARGET, "unknown SNMP version " + std::to_string(v));
    }
    for (const Vb &vb : pdu.vbs())
        if (!vb.valid() || vb.get_oid().len() < 2)
            return d.fail(SNMP_CLASS_INVALID_OID, "a binding has an invalid object identifier");

    int status = SNMP_CLASS_SUCCESS;
    NetSession *s = d.openSession(target, user, status);
    if (!s)
        return status;

    std::unique_ptr<Pending> p;
    if (d.spares.empty()) {
        p = std::make_unique<Pending>();
    } else {
        p = std::move(d.spares.back());
        d.spares.pop_back();
    }
    p->id = gNextId++;
    p->callback = callback;
    p->callbackData = callbackData;
    p->command = command;
    // A blocking request gives the caller the answer in pdu anyway.
    const bool take = takePdu || blocking;
    const unsigned short type = pdu.get_type();
    if (take)
        p->request = std::move(pdu);
    else
        p->request = pdu;
    p->request.set_type(static_cast<unsigned short>(command));
    if (!s->lastTarget || !sameTarget(*s->lastTarget, target))
        s->lastTarget.reset(target.clone());
    p->target = s->lastTarget;
    p->session = s;
    p->blocking = blocking;
    Pending *raw = p.get();
    const std::uint64_t id = p->id;

    if (s->state == SessionState::Discovering) {
        s->waiting.push_back(id);
        d.pending.emplace_hint(d.pending.end(), id, std::move(p));
    } else {
        status = d.transmit(*p);
        if (status != SNMP_CLASS_SUCCESS) {
            if (take) {
                pdu = std::move(p->request);
                pdu.set_type(type);
            }
            return status;
        }
        d.pending.emplace_hint(d.pending.end(), id, std::move(p));
    }
    if (!blocking)
        return SNMP_CLASS_SUCCESS;

    // Blocking: run this request's session until it completes; other completions stay queued.
    while (!raw->done) {
        NetSession *on = raw->session;
        bool known = false;
        for (auto &[k, sess] : d.sessions)
            known = known || sess.get() == on;
        if (!known) {
            d.completeWith(id, SNMP_CLASS_TIMEOUT);
            break;
        }
        if (!d.blockingWait) {
            d.pumpOnce(on, 200);
            continue;
        }
        // The rest of the program runs meanwhile (its event loop also reads the sockets);
        // a copy, since the wait may replace the function.
        d.pumpOnce(on, 0);
        if (raw->done)
            break;
        const std::function<bool(int)> wait = d.blockingWait;
        if (!wait(20) && !raw->done) {
            d.completeWith(id, SNMP_CLASS_TIMEOUT);
            break;
        }
    }
    auto it = d.pending.find(id);
    std::unique_ptr<Pending> done = std::move(it->second);
    d.pending.erase(it);
    if (done->reason == SNMP_CLASS_ASYNC_RESPONSE) {
        pdu = done->response;
        return pdu.get_error_status();
    }
    pdu = done->response;
    return done->reason;
}

int Snmp::get(Pdu &pdu, const SnmpTarget &target)
{
    return send(SNMP_MSG_GET, pdu, target, nullptr, nullptr, true);
}

int Snmp::get_next(Pdu &pdu, const SnmpTarget &target)
{
    return send(SNMP_MSG_GETNEXT, pdu, target, nullptr, nullptr, true);
}

int Snmp::set(Pdu &pdu, const SnmpTarget &target)
{
    return send(SNMP_MSG_SET, pdu, target, nullptr, nullptr, true);
}

int Snmp::get(Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData)
{
    return send(SNMP_MSG_GET, pdu, target, callback, callbackData, false);
}

int Snmp::get_next(Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData)
{
    return send(SNMP_MSG_GETNEXT, pdu, target, callback, callbackData, false);
}

int Snmp::set(Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData)
{
    return send(SNMP_MSG_SET, pdu, target, callback, callbackData, false);
}

int Snmp::get(Pdu &&pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData)
{
    return send(SNMP_MSG_GET, pdu, target, callback, callbackData, false, true);
}

int Snmp::get_next(Pdu &&pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData)
{
    return send(SNMP_MSG_GETNEXT, pdu, target, callback, callbackData, false, true);
}

int Snmp::set(Pdu &&pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData)
{
    return send(SNMP_MSG_SET, pdu, target, callback, callbackData, false, true);
}

void Snmp::cancel_callbacks(void *callbackData)
{
    Impl &d = *m_impl;
    for (auto &p : d.ready)
        if (p->callbackData == callbackData)
            p->cancelled = true;
    for (auto &[id, p] : d.pending)
        if (p->callbackData == callbackData)
            p->cancelled = true;
}

void Snmp::process_pending_events()
{
    Impl &d = *m_impl;
    d.pumpOnce(nullptr, 0);
    // One completion at a time; a completion that pumps events lets a nested call go on
    // with the rest of the queue.
    while (!d.ready.empty()) {
        std::unique_ptr<Pending> p = std::move(d.ready.front());
        d.ready.pop_front();
        if (!p->cancelled && p->callback)
            p->callback(p->reason, this, p->response, *p->target, p->callbackData);
        if (d.spares.size() < 4) {
            p->callback = nullptr;
            p->callbackData = nullptr;
            p->target.reset();
            p->session = nullptr;
            p->probe = p->cancelled = p->done = p->blocking = p->resent = false;
            p->reason = 0;
            d.spares.push_back(std::move(p));
        }
    }
}

std::vector<int> Snmp::socket_fds() const
{
    std::vector<int> fds;
    for (auto &[k, s] : m_impl->sessions) {
        netsnmp_transport *t = snmp_sess_transport(s->handle);
        if (t && t->sock >= 0)
            fds.push_back(t->sock);
    }
    return fds;
}

void Snmp::set_socket_observer(std::function<void()> observer)
{
    m_impl->observer = std::move(observer);
}

int Snmp::outstanding() const
{
    int n = 0;
    for (auto &[id, p] : m_impl->pending)
        if (!p->probe && !p->blocking && !p->cancelled)
            ++n;
    for (auto &p : m_impl->ready)
        if (!p->cancelled)
            ++n;
    return n;
}

bool Snmp::idle() const
{
    return m_impl->pending.empty() && m_impl->ready.empty();
}

int Snmp::close_idle_sessions()
{
    Impl &d = *m_impl;
    std::vector<std::string> idle;
    for (auto &[key, s] : d.sessions) {
        bool waited = false;
        for (auto &[id, p] : d.pending)
            waited = waited || (p->session == s.get() && !p->done);
        if (!waited)
            idle.push_back(key);
    }
    for (const auto &key : idle)
        d.closeSession(key);
    return static_cast<int>(idle.size());
}

const std::string &Snmp::last_error_text() const
{
    return m_impl->lastError;
}

void Snmp::set_blocking_wait(std::function<bool(int ms)> wait)
{
    m_impl->blockingWait = std::move(wait);
}

void Snmp::set_local_engine(const OctetStr &engineId, std::uint32_t boots)
{
    m_impl->localEngineId = engineId;
    m_impl->boots = boots;
}

void SNMPProcessPendingEvents()
{
    // A completion may destroy a session; take a copy and check before each call.
    if (liveSessions().size() == 1) {
        (*liveSessions().begin())->process_pending_events();
        return;
    }
    std::vector<Snmp *> sessions(liveSessions().begin(), liveSessions().end());
    for (Snmp *s : sessions)
        if (liveSessions().count(s))
            s->process_pending_events();
}

int mpInit(Snmp *session, const OctetStr &engineId, std::uint32_t boots)
{
    if (!session)
        return SNMPv3_MP_NOT_INITIALIZED;
    if (engineId.len() == 0 || engineId.len() > 32)
        return SNMPv3_MP_INVALID_ENGINEID;
    session->set_local_engine(engineId, boots);
    return SNMPv3_MP_OK;
}

// Opening and closing the net-snmp sessions behind the session: one per agent address,
// version (or SNMPv3 user), time-out and retry count.
#include "SnmpImpl.h"

#include "Clock.h"

#include <cstdlib>
#include <filesystem>

using namespace snmpnet;

namespace snmpnet {

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

} // namespace snmpnet

namespace {

// The SNMPv3 part of a session's configuration: the user's name, level and keys made from the
// pass phrases. Returns why the keys cannot be made, or nullptr.
const char *setUpUsm(netsnmp_session &cfg, const kv::snmp::UsmUser &user, std::string &secName)
{
    cfg.version = SNMP_VERSION_3;
    cfg.flags |= SNMP_FLAGS_DONT_PROBE;
    secName = user.name;
    cfg.securityName = secName.data();
    cfg.securityNameLen = secName.size();
    cfg.securityModel = SNMP_SEC_MODEL_USM;
    cfg.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    if (user.authProtocol == SNMP_AUTHPROTOCOL_NONE)
        return nullptr;
    cfg.securityLevel = SNMP_SEC_LEVEL_AUTHNOPRIV;
    const bool md5 = user.authProtocol == SNMP_AUTHPROTOCOL_HMACMD5;
    cfg.securityAuthProto = const_cast<oid *>(md5 ? usmHMACMD5AuthProtocol : usmHMACSHA1AuthProtocol);
    cfg.securityAuthProtoLen = md5 ? USM_AUTH_PROTO_MD5_LEN : USM_AUTH_PROTO_SHA_LEN;
    cfg.securityAuthKeyLen = USM_AUTH_KU_LEN;
    if (generate_Ku(cfg.securityAuthProto, static_cast<u_int>(cfg.securityAuthProtoLen),
                    reinterpret_cast<const u_char *>(user.authPassword.data()), user.authPassword.size(),
                    cfg.securityAuthKey, &cfg.securityAuthKeyLen) != SNMPERR_SUCCESS)
        return "the authentication key cannot be made from the pass phrase";
    if (user.privProtocol != SNMP_PRIVPROTOCOL_DES)
        return nullptr;
    cfg.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
    cfg.securityPrivProto = const_cast<oid *>(usmDESPrivProtocol);
    cfg.securityPrivProtoLen = USM_PRIV_PROTO_DES_LEN;
    cfg.securityPrivKeyLen = USM_PRIV_KU_LEN;
    if (generate_Ku(cfg.securityAuthProto, static_cast<u_int>(cfg.securityAuthProtoLen),
                    reinterpret_cast<const u_char *>(user.privPassword.data()), user.privPassword.size(),
                    cfg.securityPrivKey, &cfg.securityPrivKeyLen) != SNMPERR_SUCCESS)
        return "the privacy key cannot be made from the pass phrase";
    return nullptr;
}

} // namespace

// Sessions on older keys of a user are of no further use.
void Snmp::Impl::closeStaleSessions(const kv::snmp::UsmUser &user)
{
    std::vector<std::string> stale;
    for (auto &[k, s] : sessions)
        if (s->v3 && s->userName == user.name && s->userGeneration != user.generation)
            stale.push_back(k);
    for (const auto &k : stale)
        closeSession(k);
}

// Our own engine-id probe, sent without waiting; requests queue until it ends.
bool Snmp::Impl::sendEngineProbe(NetSession &s, const UdpAddress &addr, int &status)
{
    void *handle = s.handle;
    auto probe = std::make_unique<Pending>();
    probe->id = gNextId++;
    probe->probe = true;
    probe->session = &s;
    probe->sentMs = AgentSilence::nowMs();
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
        return false;
    }
    s.probeId = probe->id;
    pending[probe->id] = std::move(probe);
    return true;
}

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
    if (user)
        closeStaleSessions(*user);

    netsnmp_session cfg;
    snmp_sess_init(&cfg);
    std::string peer = "udp:" + addr.ip_text() + ":" + std::to_string(addr.get_port());
    cfg.peername = peer.data();
    const int timeoutMs =
        static_cast<int>(std::min<unsigned long>(std::max<unsigned long>(timeout, 1), 1000000) * 10);
    cfg.timeout = static_cast<long>(kv::Clock::instance().requestTimeoutMs(timeoutMs)) * 1000;
    cfg.retries = retries;
    cfg.callback = netSnmpCallback;
    std::string secName;
    static const char publicCommunity[] = "public";
    if (user) {
        if (const char *why = setUpUsm(cfg, *user, secName)) {
            status = fail(SNMPv3_USM_ERROR, why);
            return nullptr;
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
        if (!sendEngineProbe(*s, addr, status))
            return nullptr;
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

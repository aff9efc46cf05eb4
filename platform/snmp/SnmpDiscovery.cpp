// SNMPv3 engine-id discovery and the user-based security model: the session's own probe,
// the users made from its keys, and a new discovery when the agent restarted.
#include "EngineReport.h"
#include "SnmpImpl.h"

#include <cstring>
#include <unordered_map>

using namespace snmpnet;

namespace {

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

void markStale(Snmp::Impl *owner, netsnmp_transport *t)
{
    for (auto &[key, s] : owner->sessions)
        if (s->v3 && s->state == SessionState::Ready && snmp_sess_transport(s->handle) == t)
            s->stale = true;
}

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

} // namespace

namespace snmpnet {

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

} // namespace snmpnet

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

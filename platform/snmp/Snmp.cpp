// The session's dispatch: taking requests, blocking until an answer, delivering completions
// from the event loop, and the public surface.
#include "SnmpImpl.h"

#include <poll.h>
#include <sys/select.h>
#include <unistd.h>

using namespace snmpnet;

namespace snmpnet {

std::set<Snmp *> &liveSessions()
{
    static std::set<Snmp *> sessions;
    return sessions;
}

TicketTable &ticketOwners()
{
    static TicketTable owners;
    return owners;
}

void *ticketOf(std::uint64_t id)
{
    return reinterpret_cast<void *>(static_cast<std::uintptr_t>(id));
}

std::uint64_t gNextId = 1;

int netSnmpCallback(int op, netsnmp_session *, int, netsnmp_pdu *pdu, void *magic)
{
    auto id = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(magic));
    auto it = ticketOwners().find(id);
    if (it != ticketOwners().end())
        it->second->onNetSnmp(op, id, pdu);
    return 1;
}

} // namespace snmpnet

// ---- completions --------------------------------------------------------------------------

void Snmp::Impl::onNetSnmp(int op, std::uint64_t id, netsnmp_pdu *pdu)
{
    auto it = pending.find(id);
    if (it == pending.end() || it->second->done)
        return;
    Pending &p = *it->second;
    const AgentKey agent(p.session->ip, p.session->port);
    switch (op) {
    case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE:
        if (!pdu)
            return;
        silence.answered(agent, p.id, p.sentMs);
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
        // A blocking request's own time-out is counted once its wait has judged the agent.
        if (!p.blocking)
            silence.timedOut(agent);
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

void Snmp::Impl::complete(std::map<std::uint64_t, std::unique_ptr<Pending>>::iterator it)
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

void Snmp::Impl::completeWith(std::uint64_t id, int reason)
{
    auto it = pending.find(id);
    if (it == pending.end() || it->second->done)
        return;
    it->second->reason = reason;
    it->second->response = it->second->request;
    complete(it);
}

void Snmp::Impl::pumpOnce(NetSession *only, int maxWaitMs, int readableFd)
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
    bool readableKnown = false;
    for (void *h : handles) {
        if (maxWaitMs == 0) {
            // No wait: only the sockets matter, not when the next retry is due.
            netsnmp_transport *t = snmp_sess_transport(h);
            if (t && t->sock >= 0) {
                FD_SET(t->sock, &readable);
                maxFd = std::max(maxFd, t->sock + 1);
                // Datagram reads never wait (net-snmp reads them with MSG_DONTWAIT).
                readableKnown = readableKnown ||
                                (t->sock == readableFd && (t->flags & NETSNMP_TRANSPORT_FLAG_STREAM) == 0);
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
    int n = 0;
    if (readableKnown) {
        // The event loop saw this socket readable: read it alone (the others have watchers of
        // their own); a datagram taken meanwhile by a nested loop costs a read that finds none.
        FD_ZERO(&readable);
        FD_SET(readableFd, &readable);
        n = 1;
    } else if (!handles.empty()) {
        n = select(maxFd, &readable, nullptr, nullptr, &tv);
    }
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
    if (readableKnown) {
        drainDatagrams(readableFd);
    } else if (n > 0) {
        std::vector<int> readFds;
        for (auto &[k, s] : sessions) {
            netsnmp_transport *t = snmp_sess_transport(s->handle);
            if (t && t->sock >= 0 && FD_ISSET(t->sock, &readable) &&
                (t->flags & NETSNMP_TRANSPORT_FLAG_STREAM) == 0)
                readFds.push_back(t->sock);
        }
        for (int fd : readFds)
            drainDatagrams(fd);
    }
}

// Answers that are already waiting (a burst of reads) are taken in this turn of the event
// loop rather than one turn each; bounded, so a flood cannot hold the window still. Only
// while the session still waits for answers: a lone request (a get, a walk's next step)
// costs no look that finds nothing.
void Snmp::Impl::drainDatagrams(int fd)
{
    constexpr int kMostPerTurn = 64;
    for (int taken = 0; taken < kMostPerTurn; ++taken) {
        NetSession *owner = nullptr;
        for (auto &[k, s] : sessions) {
            netsnmp_transport *t = snmp_sess_transport(s->handle);
            if (t && t->sock == fd)
                owner = s.get();
        }
        if (!owner)
            return;
        bool waited = false;
        for (auto &[id, p] : pending)
            waited = waited || (p->session == owner && !p->done);
        if (!waited)
            return;
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, 0) != 1 || (waiting.revents & POLLIN) == 0)
            return;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        snmp_sess_read(owner->handle, &readable);
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

int Snmp::Impl::refusal(const Pdu &pdu, const SnmpTarget &target, bool callbackMissing,
                        const kv::snmp::UsmUser *&user)
{
    if (callbackMissing)
        return fail(SNMP_CLASS_INVALID_CALLBACK, "no callback");
    if (!target.valid())
        return fail(SNMP_CLASS_INVALID_ADDRESS, "the agent address is not valid");
    if (target.is_user_target()) {
        const auto &ut = static_cast<const UTarget &>(target);
        if (target.get_version() != version3)
            return fail(SNMP_CLASS_INVALID_TARGET, "a user target needs version 3");
        if (ut.get_security_model() != SNMP_SECURITY_MODEL_USM)
            return fail(SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL,
                        "only the user-based security model is supported");
        user = kv::snmp::findUsmUser(ut.get_security_name().to_string());
        if (!user)
            return fail(SNMPv3_USM_UNKNOWN_SECURITY_NAME, "the user was not added");
        const int level = pdu.get_security_level();
        if (level < SNMP_SECURITY_LEVEL_NOAUTH_NOPRIV || level > SNMP_SECURITY_LEVEL_AUTH_PRIV ||
            (level >= SNMP_SECURITY_LEVEL_AUTH_NOPRIV && user->authProtocol == SNMP_AUTHPROTOCOL_NONE) ||
            (level == SNMP_SECURITY_LEVEL_AUTH_PRIV && user->privProtocol == SNMP_PRIVPROTOCOL_NONE))
            return fail(SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL,
                        "the user's protocols do not allow this level");
    } else {
        const int v = target.get_version();
        if (v != version1 && v != version2c && v != version2stern)
            return fail(SNMP_CLASS_INVALID_TARGET, "unknown SNMP version " + std::to_string(v));
    }
    for (const Vb &vb : pdu.vbs())
        if (!vb.valid() || vb.get_oid().len() < 2)
            return fail(SNMP_CLASS_INVALID_OID, "a binding has an invalid object identifier");
    return SNMP_CLASS_SUCCESS;
}

std::unique_ptr<Snmp::Impl::Pending> Snmp::Impl::newPending()
{
    if (spares.empty())
        return std::make_unique<Pending>();
    std::unique_ptr<Pending> p = std::move(spares.back());
    spares.pop_back();
    return p;
}

int Snmp::send(int command, Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData,
               bool blocking, bool takePdu)
{
    Impl &d = *m_impl;
    d.lastError.clear();
    const kv::snmp::UsmUser *user = nullptr;
    if (const int refused = d.refusal(pdu, target, !blocking && !callback, user);
        refused != SNMP_CLASS_SUCCESS)
        return refused;

    // A read of a batch to an agent found silent: the same time-out at once, the PDU left as a
    // time-out leaves it.
    const bool batchedRead = blocking && command != SNMP_MSG_SET && d.silence.inBatch();
    const AgentKey agent(target.udp_address().ipv4(), target.udp_address().get_port());
    if (batchedRead && d.silence.silentInBatch(agent)) {
        pdu.set_type(static_cast<unsigned short>(command));
        return SNMP_CLASS_TIMEOUT;
    }

    int status = SNMP_CLASS_SUCCESS;
    NetSession *s = d.openSession(target, user, status);
    if (!s)
        return status;

    std::unique_ptr<Pending> p = d.newPending();
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
    p->sentMs = AgentSilence::nowMs();
    const std::uint64_t id = p->id;

    if (s->state != SessionState::Discovering) {
        status = d.transmit(*p);
        if (status != SNMP_CLASS_SUCCESS) {
            if (take) {
                pdu = std::move(p->request);
                pdu.set_type(type);
            }
            return status;
        }
    } else {
        s->waiting.push_back(id);
    }
    d.pending.emplace_hint(d.pending.end(), id, std::move(p));
    d.silence.asking(agent);
    if (!blocking)
        return SNMP_CLASS_SUCCESS;
    return d.finishBlocking(id, pdu, agent, batchedRead);
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

void Snmp::process_pending_events(int readableFd)
{
    Impl &d = *m_impl;
    d.pumpOnce(nullptr, 0, readableFd);
    if (d.completionHolds > 0)
        return;
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

void Snmp::hold_completions(bool hold)
{
    m_impl->completionHolds += hold ? 1 : (m_impl->completionHolds > 0 ? -1 : 0);
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

const std::function<bool(int ms)> &Snmp::blocking_wait() const
{
    return m_impl->blockingWait;
}

void Snmp::set_local_engine(const OctetStr &engineId, std::uint32_t boots)
{
    m_impl->localEngineId = engineId;
    m_impl->boots = boots;
}

void SNMPProcessPendingEvents(int readableFd)
{
    // A completion may destroy a session; take a copy and check before each call.
    if (liveSessions().size() == 1) {
        (*liveSessions().begin())->process_pending_events(readableFd);
        return;
    }
    std::vector<Snmp *> sessions(liveSessions().begin(), liveSessions().end());
    for (Snmp *s : sessions)
        if (liveSessions().count(s))
            s->process_pending_events(readableFd);
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

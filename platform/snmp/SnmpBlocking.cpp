// Blocking requests: the wait for the answer, the agent's silence and the read batches.
#include "SnmpImpl.h"

using namespace snmpnet;

int Snmp::Impl::finishBlocking(std::uint64_t id, Pdu &pdu, AgentKey agent, bool batchedRead)
{
    Heard heard = awaitBlocking(*pending[id], agent);
    auto it = pending.find(id);
    std::unique_ptr<Pending> done = std::move(it->second);
    pending.erase(it);
    if (done->reason == SNMP_CLASS_TIMEOUT) {
        // A read of a batch that timed out while its agent answered nothing at all: the rest
        // of the batch's reads to that agent end at once.
        if (batchedRead && heard == Heard::Unknown)
            heard = judgeAfterTimeOut(*done, agent);
        if (batchedRead && heard != Heard::Alive)
            silence.markSilent(agent);
        if (heard != Heard::GivenUp)
            silence.timedOut(agent);
    }
    pdu = done->response;
    return done->reason == SNMP_CLASS_ASYNC_RESPONSE ? pdu.get_error_status() : done->reason;
}

// Runs the request's session until it completes; gives it up (as a time-out) when the program
// gives the wait up or, for a read, when its agent has fallen silent. A write waits for its own
// time-out: a device busy taking settings may answer nothing meanwhile and still take them.
Snmp::Impl::Heard Snmp::Impl::awaitBlocking(Pending &p, AgentKey agent)
{
    Probe probe;
    Heard heard = Heard::Unknown;
    const bool read = p.command != SNMP_MSG_SET;
    while (!p.done) {
        if (!sessionKnown(p.session)) {
            completeWith(p.id, SNMP_CLASS_TIMEOUT);
            break;
        }
        if (!waitSlice(p.session)) {
            if (!p.done) {
                completeWith(p.id, SNMP_CLASS_TIMEOUT);
                heard = Heard::GivenUp;
            }
            break;
        }
        if (!p.done && read && fallenSilent(p, agent, probe)) {
            completeWith(p.id, SNMP_CLASS_TIMEOUT);
            heard = Heard::Silent;
        }
    }
    dropProbe(probe);
    return heard;
}

// One slice of a blocking wait; false when the program gave the wait up.
bool Snmp::Impl::waitSlice(NetSession *on)
{
    if (!blockingWait) {
        pumpOnce(on, 200);
        return true;
    }
    // The rest of the program runs meanwhile (its event loop also reads the sockets).
    pumpOnce(on, 0);
    // A copy: the wait may replace the function.
    const std::function<bool(int)> wait = blockingWait;
    return wait(20);
}

// The agent has answered nothing for the silence limit, the request had the time a probe gets,
// and either another request to the agent timed out meanwhile or a probe got no answer.
bool Snmp::Impl::fallenSilent(const Pending &p, AgentKey agent, Probe &probe)
{
    const std::int64_t now = AgentSilence::nowMs();
    const std::int64_t heard = silence.lastHeardMs(agent);
    if (now - heard < AgentSilence::silenceLimitMs() || now - p.sentMs < AgentSilence::probeWindowMs())
        return false;
    if (silence.timedOutSince(agent, heard))
        return true;
    if (probe.sentMs <= heard) {
        dropProbe(probe);
        probe = sendProbe(p);
        return false;
    }
    return now - probe.sentMs >= AgentSilence::probeWindowMs();
}

// A batched read timed out: its agent is alive when it answered anything meanwhile; silent when
// another request to it timed out meanwhile; otherwise a probe decides.
Snmp::Impl::Heard Snmp::Impl::judgeAfterTimeOut(const Pending &p, AgentKey agent)
{
    if (silence.answeredSince(agent, p.id + 1))
        return Heard::Alive;
    if (silence.timedOutSince(agent, p.sentMs) || !sessionKnown(p.session))
        return Heard::Silent;
    Probe probe = sendProbe(p);
    Heard heard = Heard::Silent;
    while (AgentSilence::nowMs() - probe.sentMs < AgentSilence::probeWindowMs() && sessionKnown(p.session)) {
        if (!waitSlice(p.session)) {
            heard = Heard::GivenUp;
            break;
        }
        if (probe.id != 0 && silence.answeredSince(agent, probe.id)) {
            heard = Heard::Alive;
            break;
        }
        if (silence.timedOutSince(agent, probe.sentMs))
            break; // the probe's own time-out came first
    }
    dropProbe(probe);
    return heard;
}

// A get of sysUpTime.0 in the request's session: any answer to it is a sign of life, whatever
// it says. Nothing is delivered for it.
Snmp::Impl::Probe Snmp::Impl::sendProbe(const Pending &p)
{
    Probe probe;
    probe.sentMs = AgentSilence::nowMs();
    if (p.session->state != SessionState::Ready)
        return probe;
    auto q = std::make_unique<Pending>();
    q->id = gNextId++;
    q->command = SNMP_MSG_GET;
    q->request = p.request;
    q->request.clear();
    q->request += Vb(Oid("1.3.6.1.2.1.1.3.0"));
    q->request.set_type(SNMP_MSG_GET);
    q->target = p.target;
    q->session = p.session;
    q->sentMs = probe.sentMs;
    q->cancelled = true;
    // The probe's own failure is not the waiting request's.
    const std::string error = lastError;
    const bool sent = transmit(*q) == SNMP_CLASS_SUCCESS;
    lastError = error;
    if (!sent)
        return probe;
    probe.id = q->id;
    pending.emplace_hint(pending.end(), q->id, std::move(q));
    return probe;
}

// A probe whose window has passed: its answer, should it still come, is not waited for.
void Snmp::Impl::dropProbe(Probe &probe)
{
    if (probe.id != 0) {
        auto it = pending.find(probe.id);
        if (it != pending.end() && !it->second->done) {
            ticketOwners().erase(probe.id);
            pending.erase(it);
        }
    }
    probe = Probe();
}

bool Snmp::Impl::sessionKnown(const NetSession *s) const
{
    for (auto &[k, sess] : sessions)
        if (sess.get() == s)
            return true;
    return false;
}

void Snmp::begin_read_batch()
{
    m_impl->silence.beginBatch();
}

void Snmp::end_read_batch()
{
    m_impl->silence.endBatch();
}

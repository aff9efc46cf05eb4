#include "AgentSilence.h"

#include "Clock.h"

#include <algorithm>

namespace snmpnet {

int AgentSilence::silenceLimitMs()
{
    return kv::Clock::instance().requestTimeoutMs(20000);
}

int AgentSilence::probeWindowMs()
{
    return kv::Clock::instance().requestTimeoutMs(2000);
}

std::int64_t AgentSilence::nowMs()
{
    return kv::Clock::steadyMs();
}

void AgentSilence::asking(AgentKey agent)
{
    if (m_agents.count(agent) == 0)
        m_agents[agent].askedMs = nowMs();
}

void AgentSilence::answered(AgentKey agent, std::uint64_t id, std::int64_t sentMs)
{
    Agent &a = m_agents[agent];
    a.heardMs = std::max(a.heardMs, sentMs);
    a.heardId = std::max(a.heardId, id);
}

void AgentSilence::timedOut(AgentKey agent)
{
    m_agents[agent].timedOutMs = nowMs();
}

std::int64_t AgentSilence::lastHeardMs(AgentKey agent) const
{
    auto it = m_agents.find(agent);
    if (it == m_agents.end())
        return nowMs();
    return it->second.heardMs >= 0 ? it->second.heardMs : it->second.askedMs;
}

bool AgentSilence::answeredSince(AgentKey agent, std::uint64_t id) const
{
    auto it = m_agents.find(agent);
    return it != m_agents.end() && it->second.heardId >= id;
}

bool AgentSilence::timedOutSince(AgentKey agent, std::int64_t sinceMs) const
{
    auto it = m_agents.find(agent);
    return it != m_agents.end() && it->second.timedOutMs >= sinceMs &&
           it->second.timedOutMs >= it->second.heardMs;
}

void AgentSilence::endBatch()
{
    if (m_batches > 0 && --m_batches == 0)
        m_silent.clear();
}

void AgentSilence::markSilent(AgentKey agent)
{
    if (inBatch())
        m_silent.insert(agent);
}

} // namespace snmpnet

#pragma once
// What the session knows of each agent's silence, and the read batches that rely on it. Any
// answer of an agent (an error status or a report too) is a sign of life; a request to it that
// timed out, or a short probe that got no answer, is a sign of silence. A blocking request to an
// agent that has answered nothing for a while is given up, and within a read batch the reads
// after one that found its agent silent end at once, unsent (SnmpBlocking.cpp).
#include <cstdint>
#include <map>
#include <set>
#include <utility>

namespace snmpnet {

// An agent: IPv4 address and UDP port.
using AgentKey = std::pair<std::uint32_t, std::uint16_t>;

class AgentSilence {
public:
    // How long an agent may answer nothing while a blocking request waits before the program
    // asks whether it is silent; how long a probe, or a new request, gets to show it is not.
    static int silenceLimitMs();
    static int probeWindowMs();
    // Milliseconds on a steady clock.
    static std::int64_t nowMs();

    // A request goes to the agent (the first one starts its record).
    void asking(AgentKey agent);
    // An answer came to request id, sent at sentMs: the agent was alive then. (An answer that
    // was on its way before a request went out says nothing of the agent after it.)
    void answered(AgentKey agent, std::uint64_t id, std::int64_t sentMs);
    void timedOut(AgentKey agent);
    // When the agent was last known alive, or else first asked.
    std::int64_t lastHeardMs(AgentKey agent) const;
    // A request taken as id or later (ids grow with every request) was answered.
    bool answeredSince(AgentKey agent, std::uint64_t id) const;
    // A request to it timed out after sinceMs and after its last answer.
    bool timedOutSince(AgentKey agent, std::int64_t sinceMs) const;

    // Read batches nest; the outermost one's end forgets the agents found silent.
    void beginBatch() { ++m_batches; }
    void endBatch();
    bool inBatch() const { return m_batches > 0; }
    bool silentInBatch(AgentKey agent) const { return m_silent.count(agent) != 0; }
    void markSilent(AgentKey agent);

private:
    struct Agent {
        std::int64_t askedMs = 0;  // first asked
        std::int64_t heardMs = -1; // last known alive
        std::uint64_t heardId = 0; // the request that showed it
        std::int64_t timedOutMs = -1;
    };
    std::map<AgentKey, Agent> m_agents;
    int m_batches = 0;
    std::set<AgentKey> m_silent;
};

} // namespace snmpnet

#pragma once
// The library's one SNMP session and the processing that delivers its completions on the
// GUI thread: socket readiness of the session's sockets triggers it at once, and a 20 ms
// timer handles retries and time-outs.
#include "EventLoop.h"

#include <map>
#include <memory>

class _SnmpEventProcessor {
public:
    _SnmpEventProcessor();
    ~_SnmpEventProcessor();
    _SnmpEventProcessor(const _SnmpEventProcessor &) = delete;
    _SnmpEventProcessor &operator=(const _SnmpEventProcessor &) = delete;

    void Start();
    void Stop();
    bool Running() const;
    // The tick: processes the global session's pending events.
    void OnTimer();
    // Watches the global session's current sockets (called when they change).
    void SyncSockets();

private:
    kv::Timer m_timer;
    std::map<int, std::unique_ptr<kv::SocketWatcher>> m_watchers;
    bool m_syncPosted = false;
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

extern std::unique_ptr<_SnmpEventProcessor> gKvSNMPEventProcessor;

// File name of the engine-boots counter.
constexpr const char *kKvSNMPBootCounterFile = "KvSNMP_PP_BootCounter";
// Local SNMPv3 engine id.
constexpr const char *kKvSNMPLocalEngineId = "KvSNMP_PP_Application";

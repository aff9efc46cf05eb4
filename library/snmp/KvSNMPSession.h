#pragma once
// The library's one SNMP session and the processing that delivers its completions on the
// GUI thread: socket readiness of the session's sockets triggers it at once, and a 20 ms
// timer handles retries and time-outs. The timer ticks only while requests are on their way:
// an idle module does not wake up for it.
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
    // Started (and not stopped), whether or not the timer is ticking just now.
    bool Running() const;
    // Makes the timer tick again (after an asynchronous request was sent).
    void Wake();
    // The tick: processes the global session's pending events.
    void OnTimer();
    // Watches the global session's current sockets (called when they change).
    void SyncSockets();

private:
    kv::Timer m_timer;
    bool m_started = false;
    std::map<int, std::unique_ptr<kv::SocketWatcher>> m_watchers;
    bool m_syncPosted = false;
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

extern std::unique_ptr<_SnmpEventProcessor> gKvSNMPEventProcessor;

// File name of the engine-boots counter.
constexpr const char *kKvSNMPBootCounterFile = "KvSNMP_PP_BootCounter";
// Local SNMPv3 engine id.
constexpr const char *kKvSNMPLocalEngineId = "KvSNMP_PP_Application";

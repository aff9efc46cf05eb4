#pragma once
// The SNMP session: blocking and callback get, get-next and set over UDP, versions 1, 2c
// and 3. Callback completions are never run from inside a send: they are queued and run
// one at a time by SNMPProcessPendingEvents(), which the owner calls from its event loop
// (on socket readiness and on a timer). A completion may itself pump events; the queue then
// goes on delivering from the nested call.
#include "Pdu.h"
#include "SnmpStatus.h"
#include "Target.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Snmp;

// reason: SNMP_CLASS_ASYNC_RESPONSE for an answer (the PDU carries its error status and
// bindings), SNMP_CLASS_TIMEOUT (the PDU carries the request's own bindings),
// SNMP_CLASS_SESSION_DESTROYED when the session closes with the request outstanding, or
// another status when the request failed otherwise (a USM report, a failed send).
using snmp_callback = void (*)(int reason, Snmp *session, Pdu &pdu, SnmpTarget &target, void *callbackData);

class Snmp {
public:
    // status is SNMP_CLASS_SUCCESS or SNMP_CLASS_RESOURCE_UNAVAIL. Sockets bind to any free
    // local port; port is accepted for compatibility and must be 0.
    Snmp(int &status, std::uint16_t port = 0);
    // Outstanding callback requests get SNMP_CLASS_SESSION_DESTROYED, right here.
    ~Snmp();
    Snmp(const Snmp &) = delete;
    Snmp &operator=(const Snmp &) = delete;

    // Blocking requests: the answer replaces pdu's bindings, status and index. Returns
    // SNMP_CLASS_SUCCESS, the agent's error status (1 .. 19), or a failure status.
    int get(Pdu &pdu, const SnmpTarget &target);
    int get_next(Pdu &pdu, const SnmpTarget &target);
    int set(Pdu &pdu, const SnmpTarget &target);
    // Callback requests: SNMP_CLASS_SUCCESS when the request was taken; the callback then
    // runs exactly once, from SNMPProcessPendingEvents (or from the destructor with
    // SNMP_CLASS_SESSION_DESTROYED). On any other return the callback never runs.
    int get(Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData);
    int get_next(Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData);
    int set(Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData);
    // The same, taking the PDU's bindings instead of copying them: pdu is left empty when
    // the request was taken, as it was otherwise.
    int get(Pdu &&pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData);
    int get_next(Pdu &&pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData);
    int set(Pdu &&pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData);

    // Drops every queued or future completion whose callback data is callbackData; the
    // requests themselves stay on the wire and their answers are discarded.
    void cancel_callbacks(void *callbackData);

    // Receives what is ready, handles retries and time-outs, then delivers queued
    // completions one at a time. Safe to call again from inside a completion. readableFd:
    // a socket the event loop has just seen readable, read without asking the kernel again.
    void process_pending_events(int readableFd = -1);
    // Sockets the owner should watch for readability; the observer runs whenever the set
    // changes.
    std::vector<int> socket_fds() const;
    void set_socket_observer(std::function<void()> observer);
    // While held (holds nest), process_pending_events() reads answers and handles time-outs but
    // delivers no completion; they are delivered in order once the last hold ends.
    void hold_completions(bool hold);
    // Callback requests sent and not yet delivered.
    int outstanding() const;
    // No request of any kind is on its way or waiting for delivery.
    bool idle() const;
    // Closes the sessions (one per agent address, version, time-out and retry count) that no
    // request is waiting on; a later request opens its session again. Returns how many closed.
    int close_idle_sessions();
    // Text that explains the last failure status this session returned (may be empty).
    const std::string &last_error_text() const;

    // Local SNMPv3 engine identity (see mpInit).
    void set_local_engine(const OctetStr &engineId, std::uint32_t boots);

    // While a blocking request waits for its answer, wait(ms) is called to let the rest of the
    // program run for up to ms (a window stays painted); it returns false to give the request
    // up, which then ends as a time-out. Without it the wait watches the session's sockets only.
    // A blocking read whose agent has answered nothing, to anyone, for 20 s is given up the
    // same way once a request to it timed out meanwhile or a short probe got no answer in 2 s.
    // A blocking set waits for its own time-out (or for the program to give it up).
    void set_blocking_wait(std::function<bool(int ms)> wait);
    const std::function<bool(int ms)> &blocking_wait() const;

    // Read batches: while one is open, a blocking get or get-next that times out while its agent
    // answered nothing at all (another request to it timed out meanwhile, or a short probe got
    // no answer), or that was given up, marks the agent silent: the batch's later blocking reads
    // to it end at once as time-outs, unsent, with the PDU as a time-out leaves it. A silent
    // agent costs one time-out per batch; one lost answer costs its own read only. Sets are
    // sent as always. Batches nest; the outermost one's end forgets the silence.
    void begin_read_batch();
    void end_read_batch();

    struct Impl;

private:
    int send(int command, Pdu &pdu, const SnmpTarget &target, snmp_callback callback, void *callbackData,
             bool blocking, bool takePdu = false);
    std::unique_ptr<Impl> m_impl;
};

// Runs process_pending_events() of every session of the process.
void SNMPProcessPendingEvents(int readableFd = -1);

// Starts the SNMPv3 engine of the session with the local engine id and boots counter.
// SNMPv3_MP_OK on success.
int mpInit(Snmp *session, const OctetStr &engineId, std::uint32_t boots);

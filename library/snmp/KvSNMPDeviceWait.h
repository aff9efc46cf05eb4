#pragma once
// The program's waits for the device while a synchronous request runs. Every window stays
// painted, timers and answers go on, and keyboard and mouse input is dropped; Escape, a window's
// close box, a termination signal or the application's end give the wait up, and the request
// ends with the time-out error. A device that answers nothing at all is given up by the session
// itself (Snmp::set_blocking_wait). Once a request has waited a couple of seconds the program
// says so, and how to give up: in the main window (a wait listener) and in the status bar of the
// binding that waits (KvSNMPWaitStatus).
#include "AnsiString.h"
#include "EventLoop.h"

#include <functional>
#include <memory>

class Snmp;
class TObject;
class KvSNMPRequest2Controls;

// "Waiting for the device A to answer..."
AnsiString WaitingForDeviceText(const AnsiString &address);
// How to give a wait up.
extern const char *const kWaitGiveUpText;
// Both, on one line (a status bar).
AnsiString WaitNoticeText(const AnsiString &address);

// The session's blocking wait while the object lives, unless an enclosing one is installed
// already (then that one goes on, its giving up included). With holdCompletions, answers to
// asynchronous requests are delivered only after the wait: a lone write waits this way, so that
// no answer lands in the middle of the form's writes.
class KvSNMPDeviceWait {
public:
    explicit KvSNMPDeviceWait(bool holdCompletions = false);
    ~KvSNMPDeviceWait();
    KvSNMPDeviceWait(const KvSNMPDeviceWait &) = delete;
    KvSNMPDeviceWait &operator=(const KvSNMPDeviceWait &) = delete;

private:
    std::unique_ptr<kv::UserWait> m_wait; // only when this object installed the wait
    Snmp *m_session = nullptr;            // the session it was installed on
    bool m_held = false;
};

// Told when a synchronous request to the device at address has waited long enough to say so
// (waiting), and when that wait ends. Returns an id for KvSNMPRemoveWaitListener.
using KvSNMPWaitListener = std::function<void(bool waiting, const AnsiString &address)>;
int KvSNMPAddWaitListener(KvSNMPWaitListener listener);
void KvSNMPRemoveWaitListener(int id);

// One synchronous request's wait, and the listeners told after the delay. A write waits as
// KvSNMPDeviceWait does, holding completions; a read only inside a wait installed already (a
// read batch, the start-up): a lone read keeps the rest of the program still, as it always did.
class KvSNMPRequestWait {
public:
    KvSNMPRequestWait(const AnsiString &address, bool write);
    ~KvSNMPRequestWait();
    KvSNMPRequestWait(const KvSNMPRequestWait &) = delete;
    KvSNMPRequestWait &operator=(const KvSNMPRequestWait &) = delete;

    // The user gave up a wait in the step that makes this request: it is not sent, and ends
    // with the time-out error.
    static bool GivenUp() { return kv::UserWait::givingUp(); }

    // How long a request waits before the program says that it waits.
    static constexpr int kNoticeDelayMs = 2000;

private:
    std::unique_ptr<KvSNMPDeviceWait> m_wait;
    AnsiString m_address;
    kv::Timer m_notice;
    bool m_told = false;
};

// The status bar of a binding while one of its synchronous operations waits: its log target
// (a status bar or panel) or else its form's status bar shows the waiting text, at once (a write,
// whose earlier outcome must not stand meanwhile) or once the request has waited the notice
// delay (a read); afterwards it shows again what it showed before, unless something else was
// written there meanwhile.
class KvSNMPWaitStatus {
public:
    KvSNMPWaitStatus(KvSNMPRequest2Controls &binding, bool atOnce);
    ~KvSNMPWaitStatus();
    KvSNMPWaitStatus(const KvSNMPWaitStatus &) = delete;
    KvSNMPWaitStatus &operator=(const KvSNMPWaitStatus &) = delete;

private:
    void show(const AnsiString &text);
    std::weak_ptr<int> m_life; // the binding's: its status bar lives as long
    TObject *m_target = nullptr;
    AnsiString m_address; // the binding's device: waits for others are not its own
    AnsiString m_before;
    AnsiString m_shown;
    int m_listener = 0;
};

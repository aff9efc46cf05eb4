#include "KvSNMPDeviceWait.h"

#include "ComCtrls.h"
#include "Forms.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Controls.h"
#include "KvSNMPSession.h"
#include "Snmp.h"

#include <map>
#include <vector>

AnsiString WaitingForDeviceText(const AnsiString &address)
{
    return "Waiting for the device " + address + " to answer...";
}

const char *const kWaitGiveUpText = "Press Esc to stop waiting.";

AnsiString WaitNoticeText(const AnsiString &address)
{
    return WaitingForDeviceText(address) + " " + kWaitGiveUpText;
}

// ---- the session's wait -----------------------------------------------------------------------

KvSNMPDeviceWait::KvSNMPDeviceWait(bool holdCompletions)
{
    if (!gKvSNMPSession || gKvSNMPSession->blocking_wait())
        return;
    m_session = gKvSNMPSession;
    m_wait = std::make_unique<kv::UserWait>();
    kv::UserWait *wait = m_wait.get();
    m_session->set_blocking_wait(
        [wait](int ms) { return wait->wait(ms) && !(Application != nullptr && Application->Terminated()); });
    m_held = holdCompletions;
    if (m_held)
        m_session->hold_completions(true);
}

KvSNMPDeviceWait::~KvSNMPDeviceWait()
{
    if (!m_wait)
        return;
    m_session->set_blocking_wait(nullptr);
    if (m_held) {
        m_session->hold_completions(false);
        // What came meanwhile is delivered by the event timer.
        if (gKvSNMPEventProcessor)
            gKvSNMPEventProcessor->Wake();
    }
}

// ---- listeners --------------------------------------------------------------------------------

namespace {

std::map<int, KvSNMPWaitListener> &listeners()
{
    static std::map<int, KvSNMPWaitListener> all;
    return all;
}

void tellListeners(bool waiting, const AnsiString &address)
{
    // A copy: a listener may add or remove listeners.
    std::vector<KvSNMPWaitListener> now;
    for (const auto &[id, listener] : listeners())
        now.push_back(listener);
    for (const auto &listener : now)
        listener(waiting, address);
}

} // namespace

int KvSNMPAddWaitListener(KvSNMPWaitListener listener)
{
    static int next = 0;
    listeners()[++next] = std::move(listener);
    return next;
}

void KvSNMPRemoveWaitListener(int id)
{
    listeners().erase(id);
}

KvSNMPRequestWait::KvSNMPRequestWait(const AnsiString &address, bool write)
    : m_wait(write ? std::make_unique<KvSNMPDeviceWait>(true) : nullptr), m_address(address)
{
    m_notice.setSingleShot(true);
    m_notice.onTimeout = [this] {
        m_told = true;
        tellListeners(true, m_address);
    };
    m_notice.start(kNoticeDelayMs);
}

KvSNMPRequestWait::~KvSNMPRequestWait()
{
    m_notice.stop();
    if (m_told)
        tellListeners(false, m_address);
}

// ---- a binding's status bar ---------------------------------------------------------------------

namespace {

TObject *statusTarget(const KvSNMPRequest2Controls &binding)
{
    if (binding.LogTarget)
        return dynamic_cast<TStatusBar *>(binding.LogTarget) ||
                       dynamic_cast<TStatusPanel *>(binding.LogTarget)
                   ? binding.LogTarget
                   : nullptr;
    if (!binding.Owner)
        return nullptr;
    for (int i = 0; i < binding.Owner->ComponentCount(); ++i)
        if (auto *bar = dynamic_cast<TStatusBar *>(binding.Owner->Components(i)))
            return bar;
    return nullptr;
}

AnsiString textOf(TObject *target)
{
    if (auto *bar = dynamic_cast<TStatusBar *>(target))
        return bar->SimpleText();
    if (auto *panel = dynamic_cast<TStatusPanel *>(target))
        return panel->Text();
    return AnsiString();
}

void setText(TObject *target, const AnsiString &text)
{
    if (auto *bar = dynamic_cast<TStatusBar *>(target))
        bar->SetSimpleText(text);
    else if (auto *panel = dynamic_cast<TStatusPanel *>(target))
        panel->SetText(text);
}

} // namespace

KvSNMPWaitStatus::KvSNMPWaitStatus(KvSNMPRequest2Controls &binding, bool atOnce)
    : m_life(binding.LifeToken()), m_target(statusTarget(binding)), m_address(binding.Request.Device.Address)
{
    if (!m_target)
        return;
    m_before = textOf(m_target);
    if (atOnce) {
        show(WaitNoticeText(binding.Request.Device.Address));
        return;
    }
    m_listener = KvSNMPAddWaitListener([this](bool waiting, const AnsiString &address) {
        if (waiting && address == m_address && !m_life.expired())
            show(WaitNoticeText(address));
    });
}

KvSNMPWaitStatus::~KvSNMPWaitStatus()
{
    if (m_listener)
        KvSNMPRemoveWaitListener(m_listener);
    if (m_target && !m_life.expired() && !m_shown.empty() && textOf(m_target) == m_shown)
        setText(m_target, m_before);
}

void KvSNMPWaitStatus::show(const AnsiString &text)
{
    m_shown = text;
    setText(m_target, text);
}

#pragma once
// A form's binding of one group of MIB objects, made in one call, that remembers whether its
// last read succeeded, so that a group the form could not read is never written back.
#include "KvSNMPErrors.h"
#include "KvSNMPRequest2Edits.h"
#include "Newrequest.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

enum class BindMode : uint8_t { Sync = 0, Async = 1 };

// What MakeBinding sets up. Handlers go here rather than into OnGetDone/OnSetDone, which
// carry the log line of a failed asynchronous request in front of them.
struct BindingSetup {
    const KvSNMPItem *Items = nullptr; // a FormItemTable or any table ended by an empty OID
    // The group as the form names it ("SSID", "Super G Mode"): what a status text calls it when
    // it was not read, or written before a failure.
    const char *Label = nullptr;
    KvSNMPItemType Type = MVT_SV;
    int32_t KeyCount = 0;
    BindMode Mode = BindMode::Async;
    int32_t Timeout = 0;    // units of 10 ms; 0 keeps the library's default
    TObject *Log = nullptr; // status bar (or memo, panel) that shows the request log line
    KvSNMPDoneEvent OnGetDone = nullptr;
    KvSNMPDoneEvent OnSetDone = nullptr;
};

enum class ReadState { NotRead, Reading, Read, Failed };

enum class WriteResult {
    Written, // a synchronous Set succeeded
    Started, // an asynchronous Set is under way; its set-done handler gets the outcome
    Failed,  // the Set failed (synchronous) or could not start
    Unread,  // the group's last read did not succeed: nothing was sent
    Empty,   // no item of the group is writable now: nothing was sent
};

// Items a Set of the list would carry now (the index columns of a table are not sent).
int32_t WritableItemCount(const KvSNMPVarList &list);
// Empties every control bound to the binding (no text, nothing chosen, boxes neither on nor
// off, no radio button on): what a group shows when it was not read, so that no default or earlier value
// passes for the device's. List views are left to the form.
void ClearBoundControls(KvSNMPRequest2Edits &binding);
// The frame's Set: refused without a good read or with nothing to send.
WriteResult WriteGroup(KvSNMPRequest2Controls &binding, bool wasRead, bool reGetAfterSet,
                       bool takeFromControls);
// The list, mode, time-out, log target and handlers of setup, into a new binding.
void ConfigureBinding(KvSNMPRequest2Controls &binding, const BindingSetup &setup);

// How a group's last read went, and what the device answered when it failed.
class ReadOutcome {
public:
    // The group in the form's words (its first object's name when the form gave none).
    const AnsiString &Label() const { return m_label; }
    // Read stands only after a Get whose every answer arrived and was shown.
    ReadState LastRead() const { return m_read; }
    bool WasRead() const { return m_read == ReadState::Read; }
    // The failed read's message ("(SNMP) ..."); empty unless the last read failed.
    AnsiString ReadFailure() const { return m_read == ReadState::Failed ? m_failure : AnsiString(); }
    // The last read failed because the device did not answer (not an error it answered with,
    // such as an object it lacks).
    bool FailedUnanswered() const { return m_read == ReadState::Failed && m_unanswered; }
    // The group was read once, and its last read failed: its controls lost what they showed.
    bool ReadBackFailed() const { return m_read == ReadState::Failed && m_everRead; }
    // Runs whenever a read of the group has ended, whatever its outcome (the last one given
    // stands; an observer, so it may be given on a group held const).
    void WatchReadEnd(std::function<void()> told) const { m_readEnded = std::move(told); }

protected:
    void ReadEnded(ReadState state)
    {
        m_read = state;
        m_everRead = m_everRead || state == ReadState::Read;
        if (auto told = m_readEnded)
            told();
    }

    AnsiString m_label;
    ReadState m_read = ReadState::NotRead;
    AnsiString m_failure;
    bool m_unanswered = false;
    bool m_everRead = false;
    mutable std::function<void()> m_readEnded;
};

// The failure of the first group named whose last read failed (a null group is skipped);
// empty when none failed. A form shows it, and no success text over it.
AnsiString FirstReadFailure(std::initializer_list<const ReadOutcome *> groups);
// The labels of the groups named whose last read failed, in that order.
std::vector<AnsiString> UnreadLabels(std::initializer_list<const ReadOutcome *> groups);

template <class Base> class TFormBinding final : public Base, public ReadOutcome {
public:
    explicit TFormBinding(TForm *owner) : Base(owner) {}
    ~TFormBinding() override { this->Detach(); }

    // Taking the values from the controls empties every item first: a writable item without
    // a control goes out empty (0), so a group binds all its writable items or patches the
    // others to read-only (AccessPatch) for the write.
    WriteResult Write(bool reGetAfterSet = true, bool takeFromControls = true)
    {
        m_writeUnanswered = false;
        return WriteGroup(*this, WasRead(), reGetAfterSet, takeFromControls);
    }
    // A write of values the form chose itself (none shown from a read): sent whether or not the
    // group was read.
    WriteResult WriteChosen(bool reGetAfterSet = true, bool takeFromControls = true)
    {
        m_writeUnanswered = false;
        return WriteGroup(*this, true, reGetAfterSet, takeFromControls);
    }
    // The last write failed because the device did not answer it (it timed out, or the user gave
    // the wait up): the device may still take it. Not a refusal.
    bool WriteUnanswered() const { return m_writeUnanswered; }
    // Runs once, with the outcome, when the asynchronous write under way completes (before the
    // form's own set-done handler). The binding owns it: a form closed meanwhile hears nothing.
    void AwaitWrite(std::function<void(const KvSNMPError &)> once) { m_awaitWrite = std::move(once); }

    void DoBeforeGet() override
    {
        m_read = ReadState::Reading;
        m_failure.clear();
        m_unanswered = false;
        m_failures = this->Request.Failures;
        Base::DoBeforeGet();
    }
    // A read that failed shows none of its values, never "(NULL)" for values that did not
    // come; its controls are emptied once it has ended.
    void ShowValues() override
    {
        if (m_read == ReadState::Reading && this->Request.Failures != m_failures)
            return;
        Base::ShowValues();
    }
    // A synchronous Get comes here whatever its outcome (a failure has been counted by then);
    // an asynchronous one only once its last row has been shown.
    void DoAfterGet() override
    {
        const bool read = this->Request.Failures == m_failures;
        m_read = read ? ReadState::Read : ReadState::Failed;
        if (!read) {
            if (m_failure.empty())
                m_failure = "The values could not be read from the device.";
            ClearBoundControls(*this);
        }
        ReadEnded(m_read);
        Base::DoAfterGet();
    }

    // A failed asynchronous Get ends in its get-done handler alone: the binding marks itself
    // there before the form's handler runs. A synchronous one reports to the result handler.
    // Writes are told the same ways. MakeBinding calls it once the handlers are set.
    void MarkOutcomes(const char *label)
    {
        m_label = label != nullptr                    ? AnsiString(label)
                  : this->Request.VarList.Count() > 0 ? AnsiString(this->Request.VarList.GetItem(0)->Name)
                                                      : AnsiString();
        KvSNMPDoneEvent setDone = std::move(this->OnSetDone);
        this->OnSetDone = [this, setDone](KvSNMPRequest2Controls *sender, KvSNMPError *e) {
            if (e != nullptr && e->Code != 0)
                m_writeUnanswered = e->Code == KvSNMPCode::NoAnswer;
            if (auto once = std::exchange(m_awaitWrite, nullptr); once && e != nullptr)
                once(*e);
            if (setDone)
                setDone(sender, e);
        };
        KvSNMPDoneEvent handler = std::move(this->OnGetDone);
        this->OnGetDone = [this, handler](KvSNMPRequest2Controls *sender, KvSNMPError *e) {
            if (e != nullptr && e->Code != 0 && m_read == ReadState::Reading) {
                m_read = ReadState::Failed;
                m_failure = e->Message;
                m_unanswered = e->Code == KvSNMPCode::NoAnswer;
                ClearBoundControls(*this);
                // The observer posts what it does: the handler's status comes first.
                ReadEnded(ReadState::Failed);
            }
            if (handler)
                handler(sender, e);
        };
        KvSNMPResultProc result = std::move(this->Request.OnResult);
        this->Request.OnResult = [this, result](KvSNMPError *e) {
            if (e != nullptr && e->Code != 0 && this->Operation == 1)
                m_writeUnanswered = e->Code == KvSNMPCode::NoAnswer;
            else if (e != nullptr && e->Code != 0 && m_read == ReadState::Reading) {
                m_failure = e->Message;
                m_unanswered = e->Code == KvSNMPCode::NoAnswer;
            }
            if (result)
                result(e);
        };
    }

private:
    int64_t m_failures = 0;
    bool m_writeUnanswered = false;
    std::function<void(const KvSNMPError &)> m_awaitWrite;
};

using FormBinding = TFormBinding<KvSNMPRequest2Edits>;
using FormWalker = TFormBinding<New_req2Edit>;

// An optional group, unless the device lacks it: one it answered at opening (supported), or
// one whose answer was lost then, which it may well have, so that the opening's status and the
// chain name it as not read. Null when the device answered that read with an error, and for a
// group not made.
FormBinding *UnlessLacking(const std::unique_ptr<FormBinding> &group, bool supported);

template <class Base = KvSNMPRequest2Edits>
std::unique_ptr<TFormBinding<Base>> MakeBinding(TForm *form, const BindingSetup &setup)
{
    auto binding = std::make_unique<TFormBinding<Base>>(form);
    ConfigureBinding(*binding, setup);
    binding->MarkOutcomes(setup.Label);
    return binding;
}

// Switches access flags of single items (6 read-write, 2 read-only, 32 invalid) for the next
// Get or Set, and puts them back when it goes out of scope, whatever happens in between.
class AccessPatch {
public:
    AccessPatch(KvSNMPRequest2Controls &binding, std::initializer_list<std::pair<int, uint32_t>> flags);
    // The same for a list of flags put together at run time.
    AccessPatch(KvSNMPRequest2Controls &binding, const std::vector<std::pair<int, uint32_t>> &flags);
    ~AccessPatch();
    AccessPatch(const AccessPatch &) = delete;
    AccessPatch &operator=(const AccessPatch &) = delete;

private:
    KvSNMPVarList &m_list;
    std::vector<std::pair<int, uint32_t>> m_saved;
};

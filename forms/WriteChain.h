#pragma once
// The writes of one Apply, group after group, told in the form's own words: a group that was
// not read is skipped and named, a group written is noted, the first failure stops the chain,
// and the status says what was written before it and whether the device refused the write or
// left it unanswered (then it may still take it).
//
//   Chain.Begin();
//   Chain.Put(SSIDBinding.get());
//   Chain.Put(ChannelReq.get(), {.Failure = OnFailure::GoOn});
//   Chain.Put(VlanBinding.get(), {.PutBack = {APModeBinding.get(), restoreMode}});
//   Chain.Put(GuestBinding.get(), {.IfStoppedLater = [this] { PutBackGuests(); }});
//   if (!Chain.Stopped() && Chain.WroteAny())
//       RunRestartCountdown();
//   StatusBar->SetSimpleText(Chain.Text("Setting Success!", "Setting error!"));
//   Chain.PutBackAfterStop();
//
// A group that writes asynchronously goes on from its completion:
//
//   Chain.PutThen(TableBinding.get(), {.After = AfterSet::KeepShown}, [this](bool goesOn) { ... });
//
// Groups are named by their labels (BindingSetup::Label); each says by name how it goes into
// the chain, so an Apply reads as its groups in order.
#include "AnsiString.h"
#include "FormBinding.h"

#include <functional>
#include <memory>
#include <vector>

class TForm;
class TStatusBar;

// "The device did not answer; it may still take the setting."
extern const char *const kWriteUnansweredText;
// A write's failure in the form's words; when the device did not answer, says so (it may still
// take the setting: not a refusal).
AnsiString WriteFailureText(const AnsiString &failure, bool unanswered);

// What a group's failed write does to the rest: stops the chain, or lets the groups after it
// go on (named as written after the failure). GoOnIfRefused: a refusal is named among the
// refused and the chain writes on as before; a write left unanswered stops it (a device that
// did not answer is asked nothing more).
enum class OnFailure { Stop, GoOn, GoOnIfRefused };
// A group that was not read: left out and named, or written all the same (values the form
// chose itself, none shown from a read).
enum class Unread { Skip, Write };
// After the set: the group is read again, or the controls keep what was sent.
enum class AfterSet { ReGet, KeepShown };
// The values sent: taken from the controls, or as the group holds them already.
enum class SendValues { FromControls, AsHeld };

// A pre-step's group to put back as the device held it. Restore (if any) sets the values back
// and says whether anything differs from what was written; nothing is sent otherwise.
struct PutBackStep {
    FormBinding *Group = nullptr;
    std::function<bool()> Restore = nullptr;
    Unread IfUnread = Unread::Skip;
    SendValues Values = SendValues::FromControls;
};

// How one group goes into the chain.
struct GroupWrite {
    OnFailure Failure = OnFailure::Stop;
    Unread IfUnread = Unread::Skip;
    AfterSet After = AfterSet::ReGet;
    SendValues Values = SendValues::FromControls;
    // Put back when this group's write does not come (it failed, or the chain had stopped).
    PutBackStep PutBack = {};
    // A pre-step's put-back: what writing this group changed for the writes after it, should
    // the chain stop after it was written. Kept, and run by PutBackAfterStop once the outcome
    // is shown (a silent device is not asked again before the user learns of it).
    std::function<void()> IfStoppedLater = nullptr;
    // Parts of the group the form keeps out of this write (patched read-only): named as not
    // written whenever the group is tried.
    std::vector<AnsiString> LeftOut = {};
};

// What came of one group's write.
enum class GroupResult {
    Written,
    NotRead,       // left out and named
    NothingToSend, // no group, or nothing writable in it
    Started,       // an asynchronous write is under way
    Failed,        // refused or left unanswered: the chain has noted it (and gone on where
                   // the group's options say so)
    NotTried,      // the chain had stopped before it
};

// One group's write outside a chain, its options by name (a table's rows one by one).
WriteResult WriteGroupAs(FormBinding &group, const GroupWrite &how);
// The same for a group that writes asynchronously: next(written) runs from form's event queue
// once the device has answered, or at once when the write did not start.
void WriteGroupThen(TForm *form, FormBinding &group, const GroupWrite &how, std::function<void(bool)> next);

class WriteChain {
public:
    using Next = std::function<void(bool goesOn)>;
    // Continuations of asynchronous writes run from form's event queue, never after it is gone.
    explicit WriteChain(TForm *form) : m_form(form) {}

    // A new Apply: the last one's outcome is forgotten.
    void Begin();
    // Writes one group now as how says; nothing once the chain has stopped (NotTried). A write
    // that throws is noted as failed at the group, and the exception goes on to the form. An
    // asynchronous group's outcome is noted when the device answers (Started until then), before
    // the group's own set-done handler runs.
    GroupResult Put(FormBinding *group, const GroupWrite &how = {});
    // The same for a group that writes asynchronously: next runs once the device has answered
    // (from the form's event queue, after the group's own set-done handler), or at once when the
    // write did not start. goesOn is false when the chain has stopped.
    void PutThen(FormBinding *group, const GroupWrite &how, Next next);
    // The same for a group the form writes its own way (several sets, say): write says what
    // came of it, the chain notes it under group's label as for Put.
    GroupResult PutOwn(FormBinding *group, const std::function<WriteResult()> &write,
                       const GroupWrite &how = {});
    // The groups a failure let go on end here: after a failure nothing more is written.
    void EndGoingOn() { m_goingOn = false; }
    // After a stop: puts back a group the chain wrote (see PutBackStep), and names it as put
    // back, or as not taken back when the device refused that too.
    void PutBack(const PutBackStep &step);
    // After a stop: runs, in the order written, the put-backs the groups written declared
    // (GroupWrite::IfStoppedLater); each once. Nothing when the chain did not stop.
    void PutBackAfterStop();

    // A write the form cannot send (the values it would take are out of its lists): the chain
    // stops at group, named as not written.
    void Refuse(FormBinding *group);
    // A step of the form's own that wrote outside the chain (switching a console off first,
    // emptying a row before its entry): its failure stops the chain at label; unanswered, the
    // device may still have taken it.
    void StopAt(const AnsiString &label, bool unanswered);
    // What such a step changed and the form wrote back: named as put back, or as not put back
    // when the device did not take it back (or the form could not send it).
    void NotePutBack(const AnsiString &label, bool taken)
    {
        (taken ? m_putBack : m_notPutBack).push_back(label);
    }

    // A write failed (the chain writes nothing more unless the form lets it go on).
    bool Stopped() const { return m_stopped; }
    // The chain writes on: nothing failed, or a failure let the rest go on.
    bool GoesOn() const { return !m_stopped || m_goingOn; }
    // The write the chain stopped at was left unanswered, not refused.
    bool Unanswered() const { return m_unanswered; }
    bool WroteAny() const { return !m_written.empty(); }
    bool Wrote(const ReadOutcome *group) const;
    // An asynchronous write of the chain is under way.
    bool Waiting() const { return m_waiting; }
    const std::vector<AnsiString> &Written() const { return m_written; }
    const std::vector<AnsiString> &Skipped() const { return m_skipped; }
    // Groups refused under OnFailure::GoOnIfRefused, in order.
    const std::vector<AnsiString> &Refused() const { return m_refused; }
    // What the library said of the failure the chain stopped at (the set's error message, or
    // the text of the exception a write threw); empty when it said nothing.
    const AnsiString &FailureDetail() const { return m_failureDetail; }

    // The outcome: after a stop the failure text, the group it stopped at, whether the device
    // did not answer and what was written before it; else the success text when anything was
    // written. Either way the groups refused on the way and those not read are named.
    AnsiString Text(const AnsiString &success, const AnsiString &failure) const;
    // The same for a form with no text of its own: the line the request logged stands, whatever
    // came of the write, and the chain adds what it has to say.
    AnsiString TextAfter(const AnsiString &logged) const { return Text(logged, logged); }

    // Shows a write's outcome in bar and keeps it standing through the read back that follows
    // (the reads of the groups the chain wrote or stopped at, and of reread, that have started
    // or start before the form waits for events): whatever the reads log there, the outcome
    // stays, and the groups they could not read are named after it (ReadBackText).
    void Show(TStatusBar *bar, const AnsiString &outcome,
              std::initializer_list<const ReadOutcome *> reread = {});

private:
    // Notes a group as written, with the put-back it declares.
    void wrote(FormBinding *group, const GroupWrite &how);
    // Notes a write's result; false when it stopped the chain.
    bool took(FormBinding *group, WriteResult result, const GroupWrite &how);
    // A failed write at group, gone on or put back as how says.
    void failed(FormBinding *group, bool unanswered, const GroupWrite &how);
    void fail(bool unanswered, const AnsiString &label);
    // Put, with next posted once an asynchronous write has been answered.
    GroupResult put(FormBinding *group, const GroupWrite &how, Next next);
    void touched(FormBinding *group);
    // The outcome shown again while it stands; false once no read back is under way.
    bool showStanding();

    AnsiString readBackText(const AnsiString &outcome, const std::vector<const ReadOutcome *> &groups) const;
    friend AnsiString ReadBackText(const AnsiString &, const WriteChain &,
                                   const std::vector<const ReadOutcome *> &);

    TForm *m_form;
    bool m_stopped = false;
    bool m_goingOn = false;
    bool m_unanswered = false;
    std::size_t m_failedAt = 0; // m_written before the failure
    bool m_waiting = false;
    std::vector<AnsiString> m_written;
    std::vector<AnsiString> m_skipped;
    std::vector<AnsiString> m_refused;
    AnsiString m_failureDetail;
    std::vector<AnsiString> m_putBack;
    std::vector<AnsiString> m_notPutBack;
    std::vector<std::function<void()>> m_ifStopped;
    std::vector<const ReadOutcome *> m_writtenGroups;
    AnsiString m_failedLabel;
    // Written or stopped at: their read back is the chain's.
    std::vector<const ReadOutcome *> m_touched;
    // The outcome standing through the read back, and the reads it waits for.
    TStatusBar *m_bar = nullptr;
    AnsiString m_outcome;
    std::vector<const ReadOutcome *> m_reread;
    int m_showing = 0; // the Show whose read back stands; 0 for none
    int m_shows = 0;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

// After a write that took the user's choices: a list shows a kept value no longer once its
// group was written with another entry chosen (the device no longer holds it, and choosing it
// again would be left out of the write). Lists whose group was not written keep theirs.
struct KeptList {
    TComboBox *List;
    const ReadOutcome *Group;
};
void ForgetKeptValues(const WriteChain &chain, std::initializer_list<KeptList> lists);

// The status after a write whose values the form reads back: the write's outcome stays, and the
// groups read before whose read back failed (those the chain wrote or stopped at, and groups) are
// named once after it ("Set Success! Not read back: Log Settings."); one the chain left out as
// not read is named as such already. Their controls show nothing then, as for any group not read.
AnsiString ReadBackText(const AnsiString &outcome, const WriteChain &chain,
                        const std::vector<const ReadOutcome *> &groups);

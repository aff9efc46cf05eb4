#include "WriteChain.h"

#include "ComCtrls.h"
#include "FormFrame.h"
#include "Forms.h"

#include <algorithm>
#include <utility>

const char *const kWriteUnansweredText = "The device did not answer; it may still take the setting.";

AnsiString WriteFailureText(const AnsiString &failure, bool unanswered)
{
    return unanswered ? failure + " " + kWriteUnansweredText : failure;
}

void WriteChain::Begin()
{
    m_stopped = false;
    m_goingOn = false;
    m_failedAt = 0;
    m_unanswered = false;
    m_waiting = false;
    m_written.clear();
    m_skipped.clear();
    m_refused.clear();
    m_failureDetail.clear();
    m_putBack.clear();
    m_notPutBack.clear();
    m_ifStopped.clear();
    m_writtenGroups.clear();
    m_failedLabel.clear();
    m_touched.clear();
    m_showing = 0;
}

void WriteChain::touched(FormBinding *group)
{
    if (std::find(m_touched.begin(), m_touched.end(), group) == m_touched.end())
        m_touched.push_back(group);
}

void WriteChain::wrote(FormBinding *group, const GroupWrite &how)
{
    m_written.push_back(group->Label());
    m_writtenGroups.push_back(group);
    touched(group);
    if (how.IfStoppedLater)
        m_ifStopped.push_back(how.IfStoppedLater);
}

bool WriteChain::took(FormBinding *group, WriteResult result, const GroupWrite &how)
{
    switch (result) {
    case WriteResult::Written:
        wrote(group, how);
        return true;
    case WriteResult::Unread:
        m_skipped.push_back(group->Label());
        return true;
    case WriteResult::Empty:
    case WriteResult::Started:
        return true;
    case WriteResult::Failed:
        failed(group, group->WriteUnanswered(), how);
        return false;
    }
    return false;
}

void WriteChain::failed(FormBinding *group, bool unanswered, const GroupWrite &how)
{
    touched(group);
    if (how.Failure == OnFailure::GoOnIfRefused && !unanswered) {
        m_refused.push_back(group->Label());
        return;
    }
    fail(unanswered, group->Label());
    if (how.Failure == OnFailure::GoOn)
        m_goingOn = true;
    PutBack(how.PutBack);
}

WriteResult WriteGroupAs(FormBinding &group, const GroupWrite &how)
{
    const bool reGet = how.After == AfterSet::ReGet;
    const bool fromControls = how.Values == SendValues::FromControls;
    return how.IfUnread == Unread::Write ? group.WriteChosen(reGet, fromControls)
                                         : group.Write(reGet, fromControls);
}

void WriteGroupThen(TForm *form, FormBinding &group, const GroupWrite &how, std::function<void(bool)> next)
{
    group.AwaitWrite([form, next](const KvSNMPError &e) {
        const bool written = e.Code == 0;
        form->Post([next, written] { next(written); });
    });
    WriteResult result = WriteResult::Failed;
    try {
        result = WriteGroupAs(group, how);
    } catch (...) {
        group.AwaitWrite(nullptr);
        throw;
    }
    if (result == WriteResult::Started)
        return;
    group.AwaitWrite(nullptr);
    next(result == WriteResult::Written);
}

GroupResult WriteChain::Put(FormBinding *group, const GroupWrite &how)
{
    return put(group, how, nullptr);
}

GroupResult WriteChain::put(FormBinding *group, const GroupWrite &how, Next next)
{
    auto write = [group, &how] { return WriteGroupAs(*group, how); };
    if (!GoesOn() || group == nullptr)
        return PutOwn(group, write, how);
    // Armed before the write: a send that fails at once completes nothing.
    group->AwaitWrite([this, group, how, next](const KvSNMPError &e) {
        m_waiting = false;
        if (e.Code == 0) {
            wrote(group, how);
        } else {
            failed(group, e.Code == KvSNMPCode::NoAnswer, how);
            m_failureDetail = e.Message;
        }
        // Outside the completion: the next step writes again and may show the countdown.
        if (next)
            m_form->Post([this, next] { next(GoesOn()); });
    });
    const GroupResult result = PutOwn(group, write, how);
    if (result == GroupResult::Started)
        m_waiting = true;
    else
        group->AwaitWrite(nullptr);
    return result;
}

GroupResult WriteChain::PutOwn(FormBinding *group, const std::function<WriteResult()> &write,
                               const GroupWrite &how)
{
    if (!GoesOn()) {
        PutBack(how.PutBack);
        return GroupResult::NotTried;
    }
    if (group == nullptr)
        return GroupResult::NothingToSend;
    m_skipped.insert(m_skipped.end(), how.LeftOut.begin(), how.LeftOut.end());
    WriteResult result = WriteResult::Failed;
    try {
        result = write();
    } catch (const std::exception &e) {
        // A value that cannot go out: nothing was sent, and no completion is to come.
        group->AwaitWrite(nullptr);
        m_waiting = false;
        failed(group, false, {.PutBack = how.PutBack});
        m_failureDetail = e.what();
        throw;
    }
    if (!took(group, result, how))
        return GroupResult::Failed;
    switch (result) {
    case WriteResult::Written:
        return GroupResult::Written;
    case WriteResult::Unread:
        return GroupResult::NotRead;
    case WriteResult::Started:
        return GroupResult::Started;
    case WriteResult::Empty:
    case WriteResult::Failed:
        break;
    }
    return GroupResult::NothingToSend;
}

void WriteChain::PutThen(FormBinding *group, const GroupWrite &how, Next next)
{
    if (put(group, how, next) != GroupResult::Started)
        next(GoesOn());
}

void WriteChain::PutBack(const PutBackStep &step)
{
    if (step.Group == nullptr || !Wrote(step.Group))
        return;
    if (step.Restore && !step.Restore())
        return;
    const bool taken =
        WriteGroupAs(*step.Group, {.IfUnread = step.IfUnread, .Values = step.Values}) == WriteResult::Written;
    (taken ? m_putBack : m_notPutBack).push_back(step.Group->Label());
}

void WriteChain::PutBackAfterStop()
{
    if (!m_stopped)
        return;
    for (const std::function<void()> &putBack : std::exchange(m_ifStopped, {}))
        putBack();
}

void WriteChain::Refuse(FormBinding *group)
{
    if (group != nullptr)
        StopAt(group->Label(), false);
}

void WriteChain::StopAt(const AnsiString &label, bool unanswered)
{
    fail(unanswered, label);
}

void WriteChain::fail(bool unanswered, const AnsiString &label)
{
    // A second failure ends the chain; the text tells of the first.
    m_goingOn = false;
    if (m_stopped)
        return;
    m_stopped = true;
    m_unanswered = unanswered;
    m_failedAt = m_written.size();
    m_failedLabel = label;
}

bool WriteChain::Wrote(const ReadOutcome *group) const
{
    return std::find(m_writtenGroups.begin(), m_writtenGroups.end(), group) != m_writtenGroups.end();
}

AnsiString WriteChain::Text(const AnsiString &success, const AnsiString &failure) const
{
    if (!m_stopped)
        return NotWrittenText(RefusedText(WroteAny() ? success : AnsiString(), m_refused), m_skipped);
    AnsiString text = WriteFailureText(failure, m_unanswered);
    // The group it stopped at: refused, not written; unanswered, perhaps taken.
    if (!m_failedLabel.empty())
        text += (m_unanswered ? " Not answered: " : " Not written: ") + m_failedLabel + ".";
    const auto split =
        m_written.begin() + static_cast<std::ptrdiff_t>(std::min(m_failedAt, m_written.size()));
    text = WrittenBeforeText(text, std::vector<AnsiString>(m_written.begin(), split));
    text = WrittenAfterText(text, std::vector<AnsiString>(split, m_written.end()));
    text = NotWrittenText(RefusedText(text, m_refused), m_skipped);
    return NotPutBackText(PutBackText(text, m_putBack), m_notPutBack);
}

void ForgetKeptValues(const WriteChain &chain, std::initializer_list<KeptList> lists)
{
    for (const KeptList &kept : lists)
        if (kept.List != nullptr && chain.Wrote(kept.Group))
            ForgetKeptValue(kept.List);
}

namespace {

bool Holds(const std::vector<AnsiString> &labels, const AnsiString &label)
{
    return std::find(labels.begin(), labels.end(), label) != labels.end();
}

} // namespace

AnsiString WriteChain::readBackText(const AnsiString &outcome,
                                    const std::vector<const ReadOutcome *> &groups) const
{
    std::vector<AnsiString> named;
    auto lost = [&](const ReadOutcome *group) {
        // One never read is the opening's to name; one left out as not read is named so.
        if (group != nullptr && group->ReadBackFailed() && !Holds(m_skipped, group->Label()) &&
            !Holds(named, group->Label()))
            named.push_back(group->Label());
    };
    for (const ReadOutcome *group : m_touched)
        lost(group);
    for (const ReadOutcome *group : groups)
        lost(group);
    AnsiString text = outcome;
    for (std::size_t i = 0; i < named.size(); ++i)
        text +=
            i > 0 ? ", " + named[i] : (text.empty() ? "" : " ") + AnsiString("Not read back: ") + named[i];
    return named.empty() ? text : text + ".";
}

AnsiString ReadBackText(const AnsiString &outcome, const WriteChain &chain,
                        const std::vector<const ReadOutcome *> &groups)
{
    return chain.readBackText(outcome, groups);
}

void WriteChain::Show(TStatusBar *bar, const AnsiString &outcome,
                      std::initializer_list<const ReadOutcome *> reread)
{
    m_bar = bar;
    m_outcome = outcome;
    m_reread.assign(reread.begin(), reread.end());
    const int show = ++m_shows;
    m_showing = show;
    std::weak_ptr<int> alive = m_alive;
    // Once the reads that run now have ended, and after every read of them that ends: the
    // outcome again, over whatever the read wrote there.
    auto check = [this, alive, show] {
        if (!alive.expired() && m_showing == show && !showStanding())
            m_showing = 0;
    };
    std::vector<const ReadOutcome *> watched = m_touched;
    watched.insert(watched.end(), m_reread.begin(), m_reread.end());
    for (const ReadOutcome *group : watched)
        if (group != nullptr)
            group->WatchReadEnd([this, alive, show, check] {
                if (!alive.expired() && m_showing == show)
                    m_form->Post(check);
            });
    showStanding();
    m_form->Post(check);
}

bool WriteChain::showStanding()
{
    auto reading = [](const ReadOutcome *g) { return g != nullptr && g->LastRead() == ReadState::Reading; };
    if (m_bar != nullptr)
        m_bar->SetSimpleText(readBackText(m_outcome, m_reread));
    return std::any_of(m_touched.begin(), m_touched.end(), reading) ||
           std::any_of(m_reread.begin(), m_reread.end(), reading);
}

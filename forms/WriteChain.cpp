#include "WriteChain.h"

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
    m_putBack.clear();
    m_notPutBack.clear();
    m_writtenGroups.clear();
}

bool WriteChain::took(FormBinding *group, WriteResult result)
{
    switch (result) {
    case WriteResult::Written:
        m_written.push_back(group->Label());
        m_writtenGroups.push_back(group);
        return true;
    case WriteResult::Unread:
        m_skipped.push_back(group->Label());
        return true;
    case WriteResult::Empty:
    case WriteResult::Started:
        return true;
    case WriteResult::Failed:
        Fail(group->WriteUnanswered());
        return false;
    }
    return false;
}

bool WriteChain::Write(FormBinding *group, bool reGetAfterSet, bool takeFromControls)
{
    if (m_stopped && !m_goingOn)
        return false;
    if (group == nullptr)
        return true;
    return took(group, group->Write(reGetAfterSet, takeFromControls));
}

void WriteChain::WriteThen(FormBinding *group, Next next, bool reGetAfterSet, bool takeFromControls)
{
    writeThen(group, std::move(next), false, reGetAfterSet, takeFromControls);
}

void WriteChain::WriteChosenThen(FormBinding *group, Next next)
{
    writeThen(group, std::move(next), true, true, true);
}

void WriteChain::writeThen(FormBinding *group, Next next, bool chosen, bool reGetAfterSet,
                           bool takeFromControls)
{
    if ((m_stopped && !m_goingOn) || group == nullptr) {
        next(!m_stopped || m_goingOn);
        return;
    }
    // Armed before the write: a send that fails at once completes nothing.
    group->AwaitWrite([this, group, next](const KvSNMPError &e) {
        m_waiting = false;
        if (e.Code == 0) {
            m_written.push_back(group->Label());
            m_writtenGroups.push_back(group);
        } else {
            Fail(e.Code == KvSNMPCode::NoAnswer);
        }
        // Outside the completion: the next step writes again and may show the countdown.
        m_form->Post([this, next] { next(!m_stopped || m_goingOn); });
    });
    const WriteResult result = chosen ? group->WriteChosen() : group->Write(reGetAfterSet, takeFromControls);
    if (result == WriteResult::Started) {
        m_waiting = true;
        return;
    }
    group->AwaitWrite(nullptr);
    next(took(group, result));
}

WriteResult WriteGroupAs(FormBinding &group, const GroupWrite &how)
{
    const bool reGet = how.After == AfterSet::ReGet;
    const bool fromControls = how.Values == SendValues::FromControls;
    return how.IfUnread == Unread::Write ? group.WriteChosen(reGet, fromControls)
                                         : group.Write(reGet, fromControls);
}

GroupResult WriteChain::Put(FormBinding *group, const GroupWrite &how)
{
    return PutOwn(
        group, [group, &how] { return WriteGroupAs(*group, how); }, how);
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
    const WriteResult result = write();
    if (!took(group, result)) {
        if (how.Failure == OnFailure::GoOn)
            GoOn();
        PutBack(how.PutBack);
        return GroupResult::Failed;
    }
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

void WriteChain::Skip(const AnsiString &label)
{
    m_skipped.push_back(label);
}

void WriteChain::Note(const AnsiString &label)
{
    m_written.push_back(label);
}

void WriteChain::Fail(bool unanswered)
{
    // A second failure ends the chain; the text tells of the first.
    m_goingOn = false;
    if (m_stopped)
        return;
    m_stopped = true;
    m_unanswered = unanswered;
    m_failedAt = m_written.size();
}

void WriteChain::GoOn()
{
    m_goingOn = m_stopped;
}

bool WriteChain::Wrote(const ReadOutcome *group) const
{
    return std::find(m_writtenGroups.begin(), m_writtenGroups.end(), group) != m_writtenGroups.end();
}

AnsiString WriteChain::Text(const AnsiString &success, const AnsiString &failure) const
{
    if (!m_stopped)
        return NotWrittenText(WroteAny() ? success : AnsiString(), m_skipped);
    AnsiString text = WriteFailureText(failure, m_unanswered);
    const auto split =
        m_written.begin() + static_cast<std::ptrdiff_t>(std::min(m_failedAt, m_written.size()));
    text = WrittenBeforeText(text, std::vector<AnsiString>(m_written.begin(), split));
    text = WrittenAfterText(text, std::vector<AnsiString>(split, m_written.end()));
    text = NotWrittenText(text, m_skipped);
    return NotPutBackText(PutBackText(text, m_putBack), m_notPutBack);
}

void ForgetKeptValues(const WriteChain &chain, std::initializer_list<KeptList> lists)
{
    for (const KeptList &kept : lists)
        if (kept.List != nullptr && chain.Wrote(kept.Group))
            ForgetKeptValue(kept.List);
}

AnsiString ReadBackText(const AnsiString &outcome, const WriteChain &chain,
                        std::initializer_list<const ReadOutcome *> groups)
{
    AnsiString named;
    for (const ReadOutcome *group : groups)
        if (group != nullptr && chain.Wrote(group) && group->LastRead() == ReadState::Failed)
            named += (named.empty() ? " " : ", ") + group->Label();
    if (named.empty())
        return outcome;
    return (outcome.empty() ? AnsiString() : outcome + " ") + "Not read back:" + named + ".";
}

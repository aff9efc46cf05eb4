// Get and Set of a form-bound request, their asynchronous completions and the request log.
#include "KvSNMPRequest2Controls.h"

#include "ComCtrls.h"
#include "DateTime.h"
#include "Exception.h"
#include "Forms.h"
#include "KvPartialValue.h"
#include "KvSNMPDeviceWait.h"
#include "KvSNMPErrors.h"
#include "MessageBoxService.h"
#include "StdCtrls.h"

#include <QWidget>

#include <vector>

KvSNMPBusyFlag::operator bool() const
{
    return m_owner && m_owner->IsBusy();
}

// One synchronous operation: counts as busy until finish() or the end of the scope
// (exceptions included), unless the binding was destroyed meanwhile.
struct KvSNMPRequest2Controls::SyncRun {
    SyncRun(KvSNMPRequest2Controls &binding, bool isWalk) : self(binding), life(binding.m_life), walk(isWalk)
    {
        ++self.m_syncDepth;
        if (walk)
            self.m_walking = true;
    }
    ~SyncRun() { finish(); }
    SyncRun(const SyncRun &) = delete;
    SyncRun &operator=(const SyncRun &) = delete;
    void finish()
    {
        if (done || life.expired()) {
            done = true;
            return;
        }
        done = true;
        --self.m_syncDepth;
        if (walk)
            self.m_walking = false;
    }

    KvSNMPRequest2Controls &self;
    std::weak_ptr<int> life;
    bool walk;
    bool done = false;
};

KvSNMPRequest2Controls::KvSNMPRequest2Controls(TForm *owner) : Owner(owner)
{
}

KvSNMPRequest2Controls::~KvSNMPRequest2Controls()
{
    Detach();
    // Request's destructor waits for what is still outstanding; nothing reaches us then.
}

void KvSNMPRequest2Controls::Detach()
{
    if (m_detached)
        return;
    m_detached = true;
    Request.Alive = 0;
    m_life.reset();
    m_syncDepth = 0;
    m_asyncOps = 0;
    m_walking = false;
}

bool KvSNMPRequest2Controls::IsBusy() const
{
    if (m_syncDepth > 0)
        return true;
    // A stopped request drops its completions: once none is outstanding, nothing will come.
    return m_asyncOps > 0 && (Request.Alive || Request.Outstanding > 0);
}

void KvSNMPRequest2Controls::reconcile()
{
    if (m_syncDepth == 0 && !Request.Alive && Request.Outstanding == 0) {
        m_asyncOps = 0;
        m_walking = false;
    }
}

void KvSNMPRequest2Controls::endAsync()
{
    if (m_asyncOps > 0)
        --m_asyncOps;
}

void KvSNMPRequest2Controls::sendOk()
{
    if (!Request.OnResult)
        return;
    KvSNMPError ok;
    ok.Code = 0;
    ok.ErrorIndex = 0;
    ok.Message = KvSNMPText(0);
    ok.AgentPort = 0;
    ok.Finished = 0;
    ok.Failures = -1;
    // A copy: the handler may delete this binding and with it Request.OnResult.
    KvSNMPResultProc handler = Request.OnResult;
    handler(&ok);
}

KvSNMPCompletion KvSNMPRequest2Controls::getClosure()
{
    std::weak_ptr<int> life = m_life;
    return [life, this](KvSNMPError *e, KvSNMPVarList *) {
        if (!life.expired())
            GetAsyncDone(e);
    };
}

KvSNMPCompletion KvSNMPRequest2Controls::setClosure()
{
    std::weak_ptr<int> life = m_life;
    return [life, this](KvSNMPError *e, KvSNMPVarList *) {
        if (!life.expired())
            SetAsyncDone(e);
    };
}

bool KvSNMPRequest2Controls::Get()
{
    if (m_detached)
        return false;
    reconcile();
    const bool table = Request.VarList.IsTable();
    // Nested message pumping must not interleave two walks over the same instance OIDs.
    if (table && m_walking)
        return false;
    std::weak_ptr<int> life = m_life;
    bool ok = true;
    Operation = 0;
    DoBeforeGet();
    if (life.expired())
        return false;
    const AnsiString cond = BuildFilterCondition();
    RowCount = 0;
    bool started = false;
    try {
        if (Mode == 0) {
            const KvSNMPWaitStatus waiting(*this, false);
            SyncRun run(*this, table);
            if (!table) {
                Request.Get(ok, true);
                if (Request.MatchesCondition(cond) && Request.MatchesFilter()) {
                    ShowValues();
                    if (life.expired())
                        return false;
                    ++RowCount;
                }
            } else {
                bool first = true;
                while (Request.Get(ok, first)) {
                    first = false;
                    if (Request.MatchesCondition(cond) && Request.MatchesFilter()) {
                        ShowValues();
                        if (life.expired())
                            return false;
                        ++RowCount;
                    }
                }
            }
            DoAfterGet();
            if (life.expired())
                return false;
            run.finish();
            if (ok)
                sendOk();
            return ok;
        }
        if (Mode == 1 && Request.Alive) {
            ++m_asyncOps;
            started = true;
            if (table)
                m_walking = true;
            Request.GetAsync(getClosure(), true);
        }
    } catch (const Exception &e) {
        if (started && !life.expired()) {
            endAsync();
            if (table)
                m_walking = false;
        }
        throw Exception(e.Message, e.HelpContext);
    } catch (...) {
        if (started && !life.expired()) {
            endAsync();
            if (table)
                m_walking = false;
        }
        throw;
    }
    return true;
}

bool KvSNMPRequest2Controls::Set(bool reGetAfterSet, bool takeFromControls, AnsiString indexList,
                                 TStrings *values)
{
    if (m_detached)
        return false;
    // An ending module commands nothing new: the step after a countdown or a box that the end
    // cut short (a firmware update, a restart) must not reach the device.
    if (Application != nullptr && Application->Terminated())
        return false;
    reconcile();
    std::weak_ptr<int> life = m_life;
    bool ok = true;
    Operation = 1;
    ReGetAfterSet = reGetAfterSet;
    DoBeforeSet();
    if (life.expired())
        return false;
    if (takeFromControls) {
        TakeValues();
        if (life.expired())
            return false;
    }
    std::vector<AnsiString> lines;
    const std::vector<AnsiString> *valueList = nullptr;
    if (values) {
        for (int i = 0; i < values->Count(); ++i)
            lines.push_back(values->Strings(i));
        valueList = &lines;
    }
    const bool table = Request.VarList.IsTable();
    bool started = false;
    try {
        if (Mode == 0) {
            {
                const KvSNMPWaitStatus waiting(*this, true);
                SyncRun run(*this, false);
                Request.Set(ok, false, indexList, valueList);
                DoAfterSet();
                if (life.expired())
                    return false;
                run.finish();
                if (ok)
                    sendOk();
                if (life.expired())
                    return ok;
            }
            if (table && ReGetAfterSet)
                Get();
            return ok;
        }
        if (Mode == 1 && Request.Alive) {
            ++m_asyncOps;
            started = true;
            Request.SetAsync(setClosure(), false, indexList, valueList);
        }
    } catch (const Exception &e) {
        if (started && !life.expired())
            endAsync();
        throw Exception(e.Message, e.HelpContext);
    } catch (...) {
        if (started && !life.expired())
            endAsync();
        throw;
    }
    return true;
}

void KvSNMPRequest2Controls::reportResult(const AnsiString &message, int operation)
{
    Operation = operation;
    if (LogTarget)
        ShowRequestLog(message);
    else
        ShowMessageBox(message);
}

void KvSNMPRequest2Controls::failCompletion(const std::exception &ex, int operation)
{
    const auto *framework = dynamic_cast<const Exception *>(&ex);
    reportResult(framework ? framework->Message : AnsiString(ex.what()), operation);
}

void KvSNMPRequest2Controls::GetAsyncDone(KvSNMPError *e)
{
    if (m_detached)
        return;
    std::weak_ptr<int> life = m_life;
    const bool table = Request.VarList.IsTable();
    auto finishWalk = [&] {
        endAsync();
        if (table)
            m_walking = false;
        Operation = 0;
    };
    if (e->Code != 0) {
        finishWalk();
        KvSNMPDoneEvent done = OnGetDone;
        if (done)
            done(this, e);
        return;
    }
    try {
        const AnsiString cond = BuildFilterCondition();
        if (!table) {
            if (Request.MatchesCondition(cond) && Request.MatchesFilter()) {
                ShowValues();
                if (life.expired())
                    return;
                ++RowCount;
            }
        } else if (!e->Finished) {
            if (Request.MatchesCondition(cond) && Request.MatchesFilter()) {
                ShowValues();
                if (life.expired())
                    return;
                ++RowCount;
            }
            if (Request.Alive && !m_detached) {
                Request.GetAsync(getClosure(), false);
                return;
            }
        }
    } catch (const std::exception &ex) {
        if (life.expired())
            return;
        finishWalk();
        failCompletion(ex, 0);
        return;
    }
    try {
        DoAfterGet();
    } catch (const std::exception &ex) {
        // A form's hook that raises still ends the Get, or the form could never close.
        if (life.expired())
            return;
        finishWalk();
        failCompletion(ex, 0);
        return;
    }
    if (life.expired())
        return;
    finishWalk();
    sendOk();
    if (life.expired())
        return;
    KvSNMPDoneEvent done = OnGetDone;
    if (done)
        done(this, e);
}

void KvSNMPRequest2Controls::SetAsyncDone(KvSNMPError *e)
{
    if (m_detached)
        return;
    std::weak_ptr<int> life = m_life;
    if (e->Code != 0) {
        endAsync();
        Operation = 1;
        KvSNMPDoneEvent done = OnSetDone;
        if (done)
            done(this, e);
        return;
    }
    bool ended = false;
    try {
        DoAfterSet();
        if (life.expired())
            return;
        endAsync();
        ended = true;
        Operation = 1;
        sendOk();
        if (life.expired())
            return;
        KvSNMPDoneEvent done = OnSetDone;
        if (done)
            done(this, e);
        if (life.expired())
            return;
        if (Request.VarList.IsTable() && ReGetAfterSet)
            Get();
    } catch (const std::exception &ex) {
        // Nothing can propagate out of a completion: the message goes to the log or a box.
        if (life.expired())
            return;
        // A hook that raised before the end still ends the Set.
        if (!ended) {
            endAsync();
            Operation = 1;
        }
        failCompletion(ex, Operation);
    }
}

void KvSNMPRequest2Controls::ShowGetResult(const KvSNMPError &e)
{
    reportResult(e.Message, 0);
}

void KvSNMPRequest2Controls::ShowSetResult(const KvSNMPError &e)
{
    reportResult(e.Message, 1);
}

void KvSNMPRequest2Controls::ShowMessageBox(const AnsiString &text)
{
    AnsiString caption = Application ? Application->Title() : AnsiString();
    const auto cut = caption.find_last_of("\\:");
    if (cut != AnsiString::npos)
        caption = caption.substr(cut + 1);
    kv::MessageBoxService::instance().show(text, caption, MB_OK, Owner ? Owner->Widget() : nullptr);
}

AnsiString KvSNMPRequest2Controls::BuildFilterCondition()
{
    if (!FilterSource || FilterCondition.empty())
        return AnsiString();
    return FilterSource->ExpandExpression(FilterCondition, true, "#");
}

void KvSNMPRequest2Controls::ShowRequestLog(AnsiString message)
{
    if (!LogTarget)
        return;
    const std::size_t formatIndex = Operation == 1 ? 1 : 0;
    AnsiString line = gKvSNMPLogFormats[formatIndex];
    const std::size_t p = line.find("[ERROR]");
    const std::size_t q = line.find("[VARLIST]");
    const AnsiString &name = Request.VarList.ListName;
    if (name.empty()) {
        // Without a list name, drop everything from after "[ERROR]" to the end of "[VARLIST]".
        if (p != AnsiString::npos && q != AnsiString::npos && p <= q)
            line.erase(p + 7, q - p + 2);
    } else {
        AnsiString out;
        std::size_t at = 0;
        for (std::size_t hit = line.find("[VARLIST]"); hit != AnsiString::npos;
             hit = line.find("[VARLIST]", at)) {
            out += line.substr(at, hit - at) + name;
            at = hit + 9;
        }
        line = out + line.substr(at);
    }
    // "[ERROR]" and "[TIME]" in one pass, so that a message holding "[TIME]" stays as it is.
    const AnsiString time = FormatDateTime("hh:nn:ss ampm", Now());
    AnsiString out;
    std::size_t at = 0;
    while (at < line.size()) {
        if (line.compare(at, 7, "[ERROR]") == 0) {
            out += message;
            at += 7;
        } else if (line.compare(at, 6, "[TIME]") == 0) {
            out += time;
            at += 6;
        } else {
            out += line[at++];
        }
    }
    if (auto *memo = dynamic_cast<TMemo *>(LogTarget))
        memo->Lines()->Add(out);
    else if (auto *bar = dynamic_cast<TStatusBar *>(LogTarget))
        bar->SetSimpleText(out);
    else if (auto *panel = dynamic_cast<TStatusPanel *>(LogTarget))
        panel->SetText(out);
}

OctetStr KvSNMPRequest2Controls::TextToPartialData(AnsiString text, int syntax)
{
    return kvpartial::textToData(text, syntax);
}

AnsiString KvSNMPRequest2Controls::PartialDataToText(const OctetStr &data, int syntax)
{
    return kvpartial::dataToText(data, syntax);
}

OctetStr KvSNMPRequest2Controls::GetPartialData(const OctetStr &data, int offset, int syntax)
{
    return kvpartial::partOf(data, offset, syntax);
}

// Construction, destruction and the get, get-next and set operations of a request.
#include "EventLoop.h"
#include "Exception.h"
#include "KvNumList.h"
#include "KvSNMPDeviceWait.h"
#include "KvSNMPEngine.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequestCache.h"
#include "KvSNMPSession.h"
#include "Snmp.h"

#include <algorithm>
#include <memory>

namespace {

using kvengine::CallbackRecord;

// One outgoing request: the target for the device's version and the PDU, built in that
// order: callers check the USM status that building the target leaves.
struct Outgoing {
    Outgoing(KvSNMPRequest &request, int kind) : target(&request.EngineCache().target(request))
    {
        request.BuildPdu(kind, pdu);
    }
    SnmpTarget *target;
    Pdu pdu;
};

void report(KvSNMPRequest &r, bool *ok, int code, const AnsiString &message)
{
    if (ok)
        *ok = false;
    ++r.Failures;
    if (r.OnResult) {
        KvSNMPError e;
        e.Code = code;
        e.Message = message;
        e.Failures = r.Failures;
        r.OnResult(&e);
    }
}

void reportStatus(KvSNMPRequest &r, bool *ok, int status, const AnsiString &detail = AnsiString())
{
    int code = 0;
    AnsiString message;
    KvSNMPMapError(status, code, message);
    if (!detail.empty())
        message += " (" + detail + ")";
    report(r, ok, code, message);
}

// A scalar answer without the objects asked, or naming others, is a failed read.
bool refusedAnswer(KvSNMPRequest &r, bool *ok, const Pdu &answer)
{
    AnsiString why;
    if (kvengine::foreignScalarAnswer(r, answer, why) == 0)
        return false;
    kvengine::refuseScalarAnswer(r);
    reportStatus(r, ok, SNMP_CLASS_INVALID_PDU, why);
    return true;
}

bool validKind(const KvSNMPVarList &list)
{
    return list.Type == SVT_SV || list.Type == MVT_SV || list.Type == MVT_FMV || list.Type == MVT_UMV;
}

// The failure of an asynchronous operation that never reached the wire still completes,
// from the event loop (and so does a write with nothing to send, with code 0).
void postFailure(KvSNMPRequest &r, KvSNMPCompletion closure, int code, const AnsiString &message)
{
    ++r.Outstanding;
    std::weak_ptr<int> token = r.EngineCache().token;
    KvSNMPRequest *request = &r;
    kv::postCall([token, request, closure = std::move(closure), code, message] {
        if (token.expired())
            return;
        --request->Outstanding;
        if (!request->Alive)
            return;
        KvSNMPError e;
        e.Code = code;
        e.Message = message;
        e.Finished = 1;
        e.Failures = request->Failures;
        if (closure)
            closure(&e, &request->VarList);
    });
}

void postStatusFailure(KvSNMPRequest &r, KvSNMPCompletion closure, int status, const AnsiString &detail)
{
    int code = 0;
    AnsiString message;
    KvSNMPMapError(status, code, message);
    if (!detail.empty())
        message += " (" + detail + ")";
    postFailure(r, std::move(closure), code, message);
}

void processResponse(CallbackRecord &record, int reason, Pdu &pdu, SnmpTarget &target,
                     std::unique_ptr<CallbackRecord> owned);

void KvSNMPAsyncCallback(int reason, Snmp *, Pdu &pdu, SnmpTarget &target, void *data)
{
    // A request cancels its callbacks when it is destroyed, so the record and its request
    // are alive here.
    auto *record = static_cast<CallbackRecord *>(data);
    auto &records = record->request->EngineCache().records;
    auto it = std::find_if(records.begin(), records.end(), [&](const auto &r) { return r.get() == record; });
    if (it == records.end())
        return;
    std::unique_ptr<CallbackRecord> owned = std::move(*it);
    records.erase(it);
    processResponse(*record, reason, pdu, target, std::move(owned));
}

void processResponse(CallbackRecord &record, int reason, Pdu &pdu, SnmpTarget &target,
                     std::unique_ptr<CallbackRecord> owned)
{
    KvSNMPRequest &r = *record.request;
    // The session closed, or the request is being destroyed: nothing is delivered into it.
    if (reason == SNMP_CLASS_SESSION_DESTROYED || !r.Alive) {
        --r.Outstanding;
        return;
    }
    const bool table = r.VarList.IsTable();
    int status;
    if (reason == SNMP_CLASS_TIMEOUT)
        status = SNMP_CLASS_TIMEOUT;
    else if (reason == SNMP_CLASS_ASYNC_RESPONSE)
        status = pdu.get_error_status();
    else
        status = reason; // a report or a failed send: never a success
    if (reason == SNMP_CLASS_ASYNC_RESPONSE && (record.isGet || record.isSet))
        status = kvengine::foldExceptions(status, pdu);

    KvSNMPError e;
    int code = 0;
    KvSNMPMapError(status, code, e.Message);
    e.Code = code;
    e.ErrorIndex = pdu.get_error_index();
    const UdpAddress &source = target.udp_address();
    e.AgentAddress = r.EngineCache().addressText(source);
    e.AgentPort = source.get_port();
    e.Failures = r.Failures;

    AnsiString why;
    if (code == 0 && record.isGet && reason == SNMP_CLASS_ASYNC_RESPONSE) {
        if (const int at = kvengine::foreignScalarAnswer(r, pdu, why)) {
            KvSNMPMapError(SNMP_CLASS_INVALID_PDU, code, e.Message);
            e.Code = code;
            e.Message += " (" + why + ")";
            e.ErrorIndex = at;
            kvengine::refuseScalarAnswer(r);
        }
    }

    try {
        if ((code == 0 && record.takeValues) || (code == KvSNMPCode::NoSuchName && table && !record.isSet)) {
            bool stayed = false;
            if (code == KvSNMPCode::NoSuchName) {
                int readable = 0;
                for (int i = 0; i < r.VarList.Count(); ++i)
                    if (r.VarList.IsReadableItem(i))
                        stayed = stayed || kvengine::bindingStayed(r, pdu, readable++);
            }
            bool over = kvengine::takeAnswer(r, pdu);
            if (code == KvSNMPCode::NoSuchName) {
                over = true;
                if (stayed) {
                    e.Code = 0;
                    e.Message = KvSNMPText(0);
                }
            }
            e.Finished = (over || !table) ? 1 : 0;
        } else {
            e.Finished = 1;
        }
    } catch (const Exception &ex) {
        // An answer that cannot be taken in still completes, with the failure.
        e.Code = ex.HelpContext;
        e.Message = ex.Message;
        e.Finished = 1;
    }
    --r.Outstanding;
    // The closure runs last: it may delete the request.
    KvSNMPCompletion closure = std::move(record.closure);
    r.EngineCache().spare = std::move(owned);
    if (closure)
        closure(&e, &r.VarList);
}

void sendAsync(KvSNMPRequest &r, int kind, KvSNMPCompletion closure, bool takeValues, Pdu &pdu,
               SnmpTarget &target)
{
    if (kvengine::lastUsmStatus() != SNMPv3_USM_OK) {
        reportStatus(r, nullptr, kvengine::lastUsmStatus(), kvengine::lastUsmText());
        postStatusFailure(r, std::move(closure), kvengine::lastUsmStatus(), kvengine::lastUsmText());
        return;
    }
    if (!gKvSNMPSession) {
        reportStatus(r, nullptr, SNMP_CLASS_INVALID);
        postStatusFailure(r, std::move(closure), SNMP_CLASS_INVALID, AnsiString());
        return;
    }
    kvengine::RequestCache &cache = r.EngineCache();
    auto record = cache.spare ? std::move(cache.spare) : std::make_unique<CallbackRecord>();
    record->request = &r;
    record->takeValues = takeValues;
    record->isGet = kind == 0;
    record->isSet = kind == 2;
    record->closure = std::move(closure);
    CallbackRecord *raw = record.get();
    auto &records = cache.records;
    records.push_back(std::move(record));
    int status;
    if (kind == 0)
        status = gKvSNMPSession->get(std::move(pdu), target, KvSNMPAsyncCallback, raw);
    else if (kind == 1)
        status = gKvSNMPSession->get_next(std::move(pdu), target, KvSNMPAsyncCallback, raw);
    else
        status = gKvSNMPSession->set(std::move(pdu), target, KvSNMPAsyncCallback, raw);
    if (status != SNMP_CLASS_SUCCESS) {
        KvSNMPCompletion back = std::move(raw->closure);
        records.erase(
            std::find_if(records.begin(), records.end(), [&](const auto &p) { return p.get() == raw; }));
        const AnsiString detail = gKvSNMPSession->last_error_text();
        reportStatus(r, nullptr, status, detail);
        postStatusFailure(r, std::move(back), status, detail);
        return;
    }
    ++r.Outstanding;
    // Retries and time-outs of the request need the event timer.
    if (gKvSNMPEventProcessor)
        gKvSNMPEventProcessor->Wake();
}

// A blocking read (first or next kind: get for a scalar list, get-next for a table) or write,
// with the program's wait for the device; not sent when the user gave up a wait in this step.
int sendBlocking(KvSNMPRequest &r, int kind, Outgoing &out, AnsiString &detail)
{
    if (KvSNMPRequestWait::GivenUp())
        return SNMP_CLASS_TIMEOUT;
    const KvSNMPRequestWait waiting(r.Device.Address, kind == pkWrite);
    int status;
    if (kind == pkWrite)
        status = gKvSNMPSession->set(out.pdu, *out.target);
    else if (r.VarList.IsTable())
        status = gKvSNMPSession->get_next(out.pdu, *out.target);
    else
        status = gKvSNMPSession->get(out.pdu, *out.target);
    detail = gKvSNMPSession->last_error_text();
    return status;
}

// Puts the list back as it was on every path out of a set, exceptions included.
class ListRestorer {
public:
    explicit ListRestorer(KvSNMPVarList &list) : m_list(list), m_saved(list) {}
    ~ListRestorer() { restore(); }
    void restore()
    {
        if (m_armed)
            m_list = m_saved;
        m_armed = false;
    }

private:
    KvSNMPVarList &m_list;
    KvSNMPVarList m_saved;
    bool m_armed = true;
};

// Set steps 2 and 3: marks the items outside the index list invalid and takes the values.
void prepareSet(KvSNMPRequest &r, const AnsiString &indexList, const std::vector<AnsiString> *values)
{
    if (!indexList.empty()) {
        KvNumList<int> numbers;
        numbers.Delimiter = ',';
        numbers.Parse(indexList.c_str());
        for (int i = 0; i < r.VarList.Count(); ++i) {
            KvSNMPItem *item = r.VarList.GetItem(i);
            int k = numbers.IndexOf(i);
            if (k < 0) {
                item->Access |= KvAccess::Invalid;
            } else {
                item->Access &= ~KvAccess::Invalid;
                if (values) {
                    item->Value = (*values)[static_cast<std::size_t>(k)];
                    item->Kept = false;
                }
            }
        }
    }
    // The device keeps a value its control could not show exactly and the user left alone.
    for (int i = 0; i < r.VarList.Count(); ++i)
        if (r.VarList.GetItem(i)->Kept)
            r.VarList.GetItem(i)->Access |= KvAccess::Invalid;
    for (int i = 0; i < r.VarList.Count(); ++i)
        r.EvaluateItem(i, false);
}

// Only kept values were left to write: nothing goes out, and nothing failed.
bool onlyKeptValues(const KvSNMPVarList &list)
{
    bool kept = false;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.IsSetItem(i) && !(list.IsTable() && i < list.KeyCount))
            return false;
        kept = kept || list.GetItem(i)->Kept;
    }
    return kept;
}

// A values list shorter than the index list would leave items without a value.
bool valuesCoverIndexes(const AnsiString &indexList, const std::vector<AnsiString> *values)
{
    if (indexList.empty() || !values)
        return true;
    KvNumList<int> numbers;
    numbers.Delimiter = ',';
    numbers.Parse(indexList.c_str());
    return static_cast<std::size_t>(numbers.Count) <= values->size();
}

} // namespace

KvSNMPRequest::KvSNMPRequest() : m_cache(std::make_unique<kvengine::RequestCache>())
{
    Retries = 1;
    Alive = 1;
    LoadDefaults();
    Outstanding = 0;
    Failures = 0;
}

KvSNMPRequest::~KvSNMPRequest()
{
    Alive = 0;
    // Completions that arrive while waiting only count down; nothing is taken into this
    // object, whose derived parts are already gone.
    kv::handleEventsUntil([this] { return Outstanding <= 0; }, 6000);
    if (gKvSNMPSession)
        for (auto &record : m_cache->records)
            gKvSNMPSession->cancel_callbacks(record.get());
}

void KvSNMPRequest::LoadDefaults()
{
    Device = gKvSNMPDefaultDevice;
    Scope = gKvSNMPDefaultScope;
    Security = gKvSNMPDefaultSecurity;
    Timeout = gKvSNMPDefaultTimeout;
}

bool KvSNMPRequest::Get(bool &ok, bool first)
{
    if (!Alive) {
        ok = false;
        return false;
    }
    Outgoing out(*this, first ? pkFirstRead : pkNextRead);
    if (!validKind(VarList)) {
        report(*this, &ok, KvSNMPCode::BadItemType, KvSNMPText(KvSNMPCode::BadItemType));
        return false;
    }
    if (kvengine::lastUsmStatus() != SNMPv3_USM_OK) {
        reportStatus(*this, &ok, kvengine::lastUsmStatus(), kvengine::lastUsmText());
        return false;
    }
    if (!gKvSNMPSession) {
        reportStatus(*this, &ok, SNMP_CLASS_INVALID);
        return false;
    }
    const bool table = VarList.IsTable();
    AnsiString detail;
    int status = sendBlocking(*this, table ? pkNextRead : pkFirstRead, out, detail);
    if (!table)
        status = kvengine::foldExceptions(status, out.pdu);
    int code = 0;
    AnsiString message;
    KvSNMPMapError(status, code, message);
    if (code == KvSNMPCode::NoSuchName && table) {
        int position = 0;
        for (int i = 0; i < VarList.Count(); ++i) {
            if (!VarList.IsReadableItem(i))
                continue;
            if (kvengine::bindingStayed(*this, out.pdu, position))
                return false; // the SNMPv1 answer past the end of the MIB
            report(*this, &ok, code, message);
            ++position;
        }
    } else if (code != 0) {
        if (!detail.empty())
            message += " (" + detail + ")";
        report(*this, &ok, code, message);
    } else if (refusedAnswer(*this, &ok, out.pdu)) {
        return false;
    }
    if (kvengine::takeAnswer(*this, out.pdu))
        return false;
    return table;
}

void KvSNMPRequest::GetAsync(KvSNMPCompletion closure, bool first)
{
    if (!Alive)
        return;
    Outgoing out(*this, first ? pkFirstRead : pkNextRead);
    if (!validKind(VarList)) {
        report(*this, nullptr, KvSNMPCode::BadItemType, KvSNMPText(KvSNMPCode::BadItemType));
        postFailure(*this, std::move(closure), KvSNMPCode::BadItemType, KvSNMPText(KvSNMPCode::BadItemType));
        return;
    }
    sendAsync(*this, VarList.IsTable() ? 1 : 0, std::move(closure), true, out.pdu, *out.target);
}

bool KvSNMPRequest::Set(bool &ok, bool readBack, AnsiString indexList, const std::vector<AnsiString> *values)
{
    if (!Alive) {
        ok = false;
        return false;
    }
    if (!valuesCoverIndexes(indexList, values)) {
        report(*this, &ok, KvSNMPCode::BadPartialValue, KvSNMPText(KvSNMPCode::BadPartialValue));
        return false;
    }
    ListRestorer restorer(VarList);
    prepareSet(*this, indexList, values);
    if (onlyKeptValues(VarList))
        return false;
    Outgoing out(*this, pkWrite);
    int status = SNMP_CLASS_SUCCESS;
    AnsiString detail;
    if (kvengine::lastUsmStatus() != SNMPv3_USM_OK) {
        status = kvengine::lastUsmStatus();
        detail = kvengine::lastUsmText();
    } else if (!gKvSNMPSession) {
        status = SNMP_CLASS_INVALID;
    } else {
        status = kvengine::foldExceptions(sendBlocking(*this, pkWrite, out, detail), out.pdu);
    }
    restorer.restore();
    if (status != SNMP_CLASS_SUCCESS)
        reportStatus(*this, &ok, status, detail);
    if (!readBack)
        return false;
    if (kvengine::takeAnswer(*this, out.pdu))
        return false;
    return VarList.IsTable();
}

void KvSNMPRequest::SetAsync(KvSNMPCompletion closure, bool readBack, AnsiString indexList,
                             const std::vector<AnsiString> *values)
{
    if (!Alive)
        return;
    if (!valuesCoverIndexes(indexList, values)) {
        report(*this, nullptr, KvSNMPCode::BadPartialValue, KvSNMPText(KvSNMPCode::BadPartialValue));
        postFailure(*this, std::move(closure), KvSNMPCode::BadPartialValue,
                    KvSNMPText(KvSNMPCode::BadPartialValue));
        return;
    }
    SnmpTarget *target = nullptr;
    Pdu pdu;
    {
        ListRestorer restorer(VarList);
        prepareSet(*this, indexList, values);
        if (onlyKeptValues(VarList)) {
            postFailure(*this, std::move(closure), 0, KvSNMPText(0));
            return;
        }
        target = &EngineCache().target(*this);
        BuildPdu(pkWrite, pdu);
    }
    sendAsync(*this, 2, std::move(closure), readBack, pdu, *target);
}

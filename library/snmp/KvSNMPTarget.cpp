// Targets, PDUs and the taking in of answers.
#include "Exception.h"
#include "KvSNMPEngine.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequestCache.h"
#include "Snmp.h"
#include "Usm.h"

#include <memory>
#include <vector>

namespace {
int gUsmStatus = SNMPv3_USM_OK;
AnsiString gUsmText;

// Where an ended column asks again: at the row the key items name before the answer is
// taken in. Key values that name no row leave the column where it was.
struct RowBefore {
    explicit RowBefore(KvSNMPRequest &r)
    {
        try {
            index = r.BuildIndexedOid();
            valid = true;
        } catch (const Exception &) {
            valid = false;
        }
    }
    AnsiString instanceOid(const AnsiString &column, const AnsiString &previous) const
    {
        if (!valid)
            return previous.empty() ? column : previous;
        return index.empty() ? column : column + "." + index;
    }
    AnsiString index;
    bool valid = false;
};
} // namespace

namespace kvengine {

int lastUsmStatus()
{
    return gUsmStatus;
}

const AnsiString &lastUsmText()
{
    return gUsmText;
}

void clearUsmStatus()
{
    gUsmStatus = SNMPv3_USM_OK;
    gUsmText.clear();
}

int foldExceptions(int status, Pdu &answer)
{
    if (status != SNMP_CLASS_SUCCESS || answer.get_error_status() != 0)
        return status;
    for (int j = 0; j < answer.get_vb_count(); ++j) {
        SmiUINT32 ex = answer[j].get_exception_status();
        if (ex == sNMP_SYNTAX_NOSUCHOBJECT || ex == sNMP_SYNTAX_NOSUCHINSTANCE ||
            ex == sNMP_SYNTAX_ENDOFMIBVIEW) {
            answer.set_error_status(SNMP_ERROR_NO_SUCH_NAME);
            answer.set_error_index(j + 1);
            return SNMP_ERROR_NO_SUCH_NAME;
        }
    }
    return status;
}

bool takeAnswer(KvSNMPRequest &r, const Pdu &answer)
{
    KvSNMPVarList &list = r.VarList;
    RequestCache &cache = r.EngineCache();
    const bool table = list.IsTable();
    const int count = list.Count();
    const int answers = answer.get_vb_count();
    cache.fit(count);
    // First which columns have ended, against the instances asked for.
    std::vector<RequestCache::Taken> &taken = cache.taken;
    taken.assign(static_cast<std::size_t>(count), RequestCache::Taken());
    int readable = 0;
    int endedCount = 0;
    bool askAgain = false; // an ended column will ask again at the current row
    for (int i = 0, j = 0; i < count; ++i) {
        if (!list.IsReadableItem(i))
            continue;
        ++readable;
        RequestCache::Taken &t = taken[static_cast<std::size_t>(i)];
        t.column = &cache.column(list, i);
        // An answer with fewer bindings than asked (tooBig) ends the items it lacks.
        const bool lacking = j >= answers;
        bool end = lacking;
        if (!lacking) {
            const Vb &vb = answer[j++];
            end = (table && vb.get_exception_status() == sNMP_SYNTAX_ENDOFMIBVIEW) ||
                  r.IsEndOfColumn(t.column->oid, cache.instanceOid(*list.GetItem(i), i), vb.get_oid());
        }
        if (end) {
            t.ended = true;
            ++endedCount;
            askAgain = askAgain || table || !lacking;
        }
    }
    // Made before any value is taken in: the keys name the row asked for.
    std::unique_ptr<RowBefore> rowBefore;
    if (askAgain)
        rowBefore = std::make_unique<RowBefore>(r);
    AnsiString rowIndex;
    for (int i = 0, j = 0; i < count; ++i) {
        if (!list.IsReadableItem(i))
            continue;
        KvSNMPItem *item = list.GetItem(i);
        const RequestCache::Taken &t = taken[static_cast<std::size_t>(i)];
        const AnsiString &column = t.column->text;
        const bool lacking = j >= answers;
        const Vb *vb = lacking ? nullptr : &answer[j++];
        if (t.ended) {
            if (table || !lacking)
                item->InstanceOid = rowBefore->instanceOid(column, item->InstanceOid);
            item->Value = "(NOTDONE)";
            continue;
        }
        r.VbToValue(i, *vb);
        cache.setInstance(*item, i, vb->get_oid());
        // The row index comes only from a column that has not ended.
        const AnsiString &newOid = item->InstanceOid;
        if (table && rowIndex.empty() && newOid.size() > column.size() + 1)
            rowIndex.assign(newOid, column.size() + 1);
    }
    if (endedCount == readable)
        return true;
    if (table)
        r.IndexToKeys(rowIndex);
    for (int i = 0; i < count; ++i)
        r.EvaluateItem(i, true);
    return false;
}

int foreignScalarAnswer(KvSNMPRequest &r, const Pdu &answer, AnsiString &why)
{
    const KvSNMPVarList &list = r.VarList;
    if (list.IsTable())
        return 0;
    RequestCache &cache = r.EngineCache();
    cache.fit(list.Count());
    int j = 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.IsReadableItem(i))
            continue;
        // A column written as it prints compares by sub-identifiers; other texts as texts.
        const RequestCache::Column &column = cache.column(list, i);
        if (column.canonical && j < answer.get_vb_count() &&
            answer[j].get_oid() == (list.Type == SVT_SV ? column.scalar : column.oid)) {
            ++j;
            continue;
        }
        const AnsiString asked = list.Type == SVT_SV ? column.text + ".0" : column.text;
        if (j >= answer.get_vb_count()) {
            why = "no value for " + asked + " in the answer";
            return j + 1;
        }
        const AnsiString named = answer[j].get_printable_oid();
        if (named != asked) {
            why = "the answer names " + named + " where " + asked + " was asked";
            return j + 1;
        }
        ++j;
    }
    return 0;
}

void refuseScalarAnswer(KvSNMPRequest &r)
{
    for (int i = 0; i < r.VarList.Count(); ++i)
        if (r.VarList.IsReadableItem(i))
            r.VarList.GetItem(i)->Value = "(NOTDONE)";
}

bool bindingStayed(KvSNMPRequest &r, const Pdu &answer, int position)
{
    int j = 0;
    for (int i = 0; i < r.VarList.Count(); ++i) {
        if (!r.VarList.IsReadableItem(i))
            continue;
        if (j == position) {
            if (j >= answer.get_vb_count())
                return true;
            return answer[j].get_printable_oid() == r.VarList.GetItem(i)->InstanceOid;
        }
        ++j;
    }
    return false;
}

} // namespace kvengine

void KvSNMPRequest::BuildTarget(UTarget &userTarget, CTarget &communityTarget, SnmpTarget *&target)
{
    UdpAddress address(Device.Address);
    address.set_port(Device.Port);
    if (!address.valid())
        KvSNMPRaise(KvSNMPCode::InvalidAddress);
    userTarget = UTarget(address);
    communityTarget = CTarget(address);
    gUsmStatus = SNMPv3_USM_OK;
    gUsmText.clear();
    if (Security.Version == 3) {
        userTarget.set_version(version3);
        userTarget.set_retry(Retries);
        userTarget.set_timeout(static_cast<unsigned long>(Timeout < 0 ? 0 : Timeout));
        userTarget.set_security_model(Security.SecurityModel);
        userTarget.set_security_name(OctetStr(Security.SecurityName));
        gUsmStatus =
            usmAddUserName(OctetStr(Security.SecurityName), Security.AuthProtocol, Security.PrivProtocol,
                           OctetStr(Security.AuthPassPhrase), OctetStr(Security.PrivPassPhrase));
        gUsmText = usmLastErrorText();
        target = &userTarget;
    } else {
        communityTarget.set_version(Security.Version);
        communityTarget.set_retry(Retries);
        communityTarget.set_timeout(static_cast<unsigned long>(Timeout < 0 ? 0 : Timeout));
        communityTarget.set_readcommunity(OctetStr(Security.ReadCommunity));
        communityTarget.set_writecommunity(OctetStr(Security.WriteCommunity));
        target = &communityTarget;
    }
}

void KvSNMPRequest::BuildPdu(int kind, Pdu &pdu)
{
    pdu.set_security_level(Security.SecurityLevel);
    pdu.set_context_name(OctetStr(Scope.ContextName));
    pdu.set_context_engine_id(OctetStr(Scope.ContextEngineId));
    kvengine::RequestCache &cache = EngineCache();
    cache.fit(VarList.Count());
    pdu.reserve(VarList.Count());
    for (int i = 0; i < VarList.Count(); ++i) {
        KvSNMPItem *item = VarList.GetItem(i);
        if (kind == pkFirstRead) {
            if (!VarList.IsReadableItem(i))
                continue;
            item->InstanceOid.clear();
            pdu += Vb(VarList.Type == SVT_SV ? cache.scalarOid(VarList, i) : cache.columnOid(VarList, i));
            continue;
        }
        if (kind == pkNextRead) {
            if (!VarList.IsReadableItem(i))
                continue;
            if (VarList.Type == SVT_SV || VarList.Type == MVT_SV)
                KvSNMPRaise(KvSNMPCode::GetNextOnScalars);
            pdu += Vb(cache.instanceOid(*item, i));
            continue;
        }
        if ((VarList.IsTable() && i < VarList.KeyCount) || !VarList.IsSetItem(i))
            continue;
        const AnsiString &column = cache.columnText(VarList, i);
        Vb vb;
        switch (VarList.Type) {
        case SVT_SV:
            vb.set_oid(Oid(column + ".0"));
            break;
        case MVT_SV:
            vb.set_oid(Oid(column));
            break;
        case MVT_FMV:
        case MVT_UMV: {
            AnsiString index = BuildIndexedOid();
            vb.set_oid(Oid(index.empty() ? column : column + "." + index));
            break;
        }
        default:
            KvSNMPRaise(KvSNMPCode::BadItemType);
        }
        vb.set_syntax(static_cast<SmiUINT32>(item->Syntax));
        ValueToVb(i, vb);
        pdu += std::move(vb);
    }
}

AnsiString KvSNMPRequest::BuildIndexedOid()
{
    AnsiString out;
    for (int k = 0; k < VarList.KeyCount && k < VarList.Count(); ++k) {
        AnsiString piece;
        ValueToIndex(k, piece);
        if (piece.empty())
            continue; // a key that writes nothing (null, short MAC) adds no dots
        if (!out.empty())
            out += ".";
        out += piece;
    }
    return out;
}

void KvSNMPRequest::IndexToKeys(const AnsiString &rowIndex)
{
    AnsiString rest = rowIndex;
    // A null key, or an empty string as the IMPLIED last key, takes no sub-identifier: only
    // IndexToValue knows whether a key may find the index used up (it raises -514 otherwise).
    for (int k = 0; k < VarList.KeyCount && k < VarList.Count(); ++k) {
        if (!VarList.IsReadableItem(k)) {
            AnsiString &instance = VarList.GetItem(k)->InstanceOid;
            instance.assign(EngineCache().columnText(VarList, k));
            if (!rest.empty())
                instance.append(1, '.').append(rest);
        }
        rest = IndexToValue(k, std::move(rest));
    }
}

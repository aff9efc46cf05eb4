// Targets, PDUs and the taking in of answers.
#include "Exception.h"
#include "KvSNMPEngine.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "Snmp.h"
#include "Usm.h"

#include <vector>

namespace {
int gUsmStatus = SNMPv3_USM_OK;
AnsiString gUsmText;

// Where an ended column asks again: at the row the key items named before this answer was
// taken in. A key column that ends gets "(NOTDONE)" as its value, which names no row.
class RowBefore {
public:
    explicit RowBefore(KvSNMPRequest &r) : m_request(r)
    {
        KvSNMPVarList &list = r.VarList;
        if (list.IsTable())
            for (int k = 0; k < list.KeyCount && k < list.Count(); ++k)
                m_keys.push_back(list.GetItem(k)->Value);
    }

    AnsiString instanceOid(const AnsiString &column, const AnsiString &previous)
    {
        if (!m_known) {
            m_known = true;
            m_valid = compute();
        }
        if (!m_valid)
            return previous.empty() ? column : previous;
        return m_index.empty() ? column : column + "." + m_index;
    }

private:
    bool compute()
    {
        KvSNMPVarList &list = m_request.VarList;
        std::vector<AnsiString> now;
        for (std::size_t k = 0; k < m_keys.size(); ++k) {
            KvSNMPItem *item = list.GetItem(static_cast<int>(k));
            now.push_back(item->Value);
            item->Value = m_keys[k];
        }
        bool ok = true;
        try {
            m_index = m_request.BuildIndexedOid();
        } catch (const Exception &) {
            ok = false; // key values that name no row: the column stays where it was
        }
        for (std::size_t k = 0; k < now.size(); ++k)
            list.GetItem(static_cast<int>(k))->Value = std::move(now[k]);
        return ok;
    }

    KvSNMPRequest &m_request;
    std::vector<AnsiString> m_keys;
    AnsiString m_index;
    bool m_known = false;
    bool m_valid = false;
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

int foldExceptions(int status, Pdu &answer)
{
    if (status != SNMP_CLASS_SUCCESS || answer.get_error_status() != 0)
        return status;
    for (int j = 0; j < answer.get_vb_count(); ++j) {
        SmiUINT32 ex = answer[j].get_exception_status();
        if (ex == sNMP_SYNTAX_NOSUCHOBJECT || ex == sNMP_SYNTAX_NOSUCHINSTANCE) {
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
    const bool table = list.IsTable();
    int readable = 0;
    int ended = 0;
    int j = 0;
    AnsiString rowIndex;
    RowBefore rowBefore(r);
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.IsReadableItem(i))
            continue;
        ++readable;
        KvSNMPItem *item = list.GetItem(i);
        const AnsiString column = list.ColumnOid(i);
        // An answer with fewer bindings than asked (tooBig) ends the items it lacks.
        if (j >= answer.get_vb_count()) {
            if (table)
                item->InstanceOid = rowBefore.instanceOid(column, item->InstanceOid);
            item->Value = "(NOTDONE)";
            ++ended;
            continue;
        }
        const Vb &vb = answer[j++];
        const AnsiString newOid = vb.get_printable_oid();
        if (r.IsEndOfColumnAnswer(column, item->InstanceOid, vb)) {
            item->InstanceOid = rowBefore.instanceOid(column, item->InstanceOid);
            item->Value = "(NOTDONE)";
            ++ended;
            continue;
        }
        r.VbToValue(i, vb);
        item->InstanceOid = newOid;
        // The row index comes only from a column that has not ended.
        if (rowIndex.empty() && newOid.size() > column.size() + 1)
            rowIndex = newOid.substr(column.size() + 1);
    }
    if (ended == readable)
        return true;
    if (table)
        r.IndexToKeys(rowIndex);
    for (int i = 0; i < list.Count(); ++i)
        r.EvaluateItem(i, true);
    return false;
}

int foreignScalarAnswer(KvSNMPRequest &r, const Pdu &answer, AnsiString &why)
{
    const KvSNMPVarList &list = r.VarList;
    if (list.IsTable())
        return 0;
    int j = 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.IsReadableItem(i))
            continue;
        const AnsiString asked = list.Type == SVT_SV ? list.ColumnOid(i) + ".0" : list.ColumnOid(i);
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
    for (int i = 0; i < VarList.Count(); ++i) {
        KvSNMPItem *item = VarList.GetItem(i);
        const AnsiString column = VarList.ColumnOid(i);
        Vb vb;
        if (kind == pkFirstRead) {
            if (!VarList.IsReadableItem(i))
                continue;
            item->InstanceOid.clear();
            vb.set_oid(Oid(VarList.Type == SVT_SV ? column + ".0" : column));
        } else if (kind == pkNextRead) {
            if (!VarList.IsReadableItem(i))
                continue;
            if (VarList.Type == SVT_SV || VarList.Type == MVT_SV)
                KvSNMPRaise(KvSNMPCode::GetNextOnScalars);
            vb.set_oid(Oid(item->InstanceOid));
        } else {
            if ((VarList.IsTable() && i < VarList.KeyCount) || !VarList.IsSetItem(i))
                continue;
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
        }
        pdu += vb;
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
        if (!VarList.IsReadableItem(k))
            VarList.GetItem(k)->InstanceOid =
                rest.empty() ? VarList.ColumnOid(k) : VarList.ColumnOid(k) + "." + rest;
        rest = IndexToValue(k, rest);
    }
}

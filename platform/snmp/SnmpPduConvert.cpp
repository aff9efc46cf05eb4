// PDUs between the session and net-snmp: bindings into net-snmp's PDUs, answers back into
// ours, and net-snmp's errors and SNMPv3 reports as the session's statuses.
#include "SnmpImpl.h"

#include <cstdlib>
#include <cstring>

using namespace snmpnet;

namespace {

std::vector<oid> toNetOid(const Oid &o)
{
    std::vector<oid> out(o.len());
    for (std::size_t i = 0; i < o.len(); ++i)
        out[i] = o[i];
    return out;
}

Oid fromNetOid(const oid *ids, std::size_t count)
{
    std::vector<std::uint32_t> out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<std::uint32_t>(ids[i]);
    return Oid(std::move(out));
}

// Fills vb from a received binding, keeping vb's storage (answers reuse their bindings).
void fromNetBinding(const netsnmp_variable_list *v, Vb &vb)
{
    std::uint32_t ids[MAX_OID_LEN];
    const std::size_t count = std::min<std::size_t>(v->name_length, MAX_OID_LEN);
    for (std::size_t i = 0; i < count; ++i)
        ids[i] = static_cast<std::uint32_t>(v->name[i]);
    vb.set_oid(ids, count);
    switch (v->type) {
    case ASN_INTEGER:
        vb.set_value(static_cast<std::int32_t>(v->val.integer ? *v->val.integer : 0));
        break;
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
    case ASN_UINTEGER:
        vb.set_unsigned(static_cast<std::uint32_t>(v->val.integer ? *v->val.integer : 0), v->type);
        break;
    case ASN_COUNTER64:
        if (v->val.counter64)
            vb.set_value(Counter64(static_cast<std::uint32_t>(v->val.counter64->high),
                                   static_cast<std::uint32_t>(v->val.counter64->low)));
        else
            vb.set_value(Counter64(0));
        break;
    case ASN_OCTET_STR:
    case ASN_BIT_STR:
    case ASN_OPAQUE:
    case ASN_NSAP:
        vb.set_octets(v->val.string, v->val.string ? v->val_len : 0, v->type);
        break;
    case ASN_OBJECT_ID:
        vb.set_value(v->val.objid ? fromNetOid(v->val.objid, v->val_len / sizeof(oid)) : Oid());
        break;
    case ASN_IPADDRESS:
        if (v->val.string && v->val_len >= 4)
            vb.set_value(IpAddress(std::array<std::uint8_t, 4>{v->val.string[0], v->val.string[1],
                                                               v->val.string[2], v->val.string[3]}));
        else
            vb.set_value(IpAddress(std::array<std::uint8_t, 4>{0, 0, 0, 0}));
        break;
    case SNMP_NOSUCHOBJECT:
    case SNMP_NOSUCHINSTANCE:
    case SNMP_ENDOFMIBVIEW:
        vb.set_exception_status(v->type);
        break;
    default:
        vb.set_null();
        break;
    }
}

} // namespace

namespace snmpnet {

// Appends vb to pdu; false when the binding cannot be encoded.
bool addBinding(netsnmp_pdu *pdu, const Vb &vb)
{
    const Oid &name = vb.get_oid();
    if (!name.valid() || name.len() < 2 || name.len() > MAX_OID_LEN)
        return false;
    struct NetName {
        oid ids[MAX_OID_LEN];
        std::size_t count;
        const oid *data() const { return ids; }
        std::size_t size() const { return count; }
    } netName;
    netName.count = name.len();
    for (std::size_t i = 0; i < netName.count; ++i)
        netName.ids[i] = name[i];
    netsnmp_variable_list *added = nullptr;
    const SmiUINT32 syntax = vb.get_syntax();
    switch (syntax) {
    case sNMP_SYNTAX_INT: {
        std::int32_t v = 0;
        vb.get_value(v);
        long value = v;
        added =
            snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_INTEGER, &value, sizeof(value));
        break;
    }
    case sNMP_SYNTAX_CNTR32:
    case sNMP_SYNTAX_GAUGE32:
    case sNMP_SYNTAX_TIMETICKS:
    case sNMP_SYNTAX_UINTEGER: {
        std::uint32_t v = 0;
        vb.get_value(v);
        unsigned long value = v;
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), static_cast<u_char>(syntax),
                                      &value, sizeof(value));
        break;
    }
    case sNMP_SYNTAX_CNTR64: {
        Counter64 v;
        vb.get_value(v);
        counter64 value{};
        value.high = v.high();
        value.low = v.low();
        added =
            snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_COUNTER64, &value, sizeof(value));
        break;
    }
    case sNMP_SYNTAX_OCTETS:
    case sNMP_SYNTAX_BITS:
    case sNMP_SYNTAX_OPAQUE:
    case sNMP_SYNTAX_NSAP: {
        OctetStr v;
        vb.get_value(v);
        static const u_char empty = 0;
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), static_cast<u_char>(syntax),
                                      v.len() ? v.data() : &empty, v.len());
        break;
    }
    case sNMP_SYNTAX_OID: {
        Oid v;
        vb.get_value(v);
        if (v.len() > MAX_OID_LEN)
            return false;
        std::vector<oid> value = toNetOid(v);
        static const oid zeroDotZero[2] = {0, 0};
        if (value.empty())
            added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_OBJECT_ID, zeroDotZero,
                                          sizeof(zeroDotZero));
        else
            added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_OBJECT_ID, value.data(),
                                          value.size() * sizeof(oid));
        break;
    }
    case sNMP_SYNTAX_IPADDR: {
        IpAddress v;
        vb.get_value(v);
        u_char bytes[4] = {v[0], v[1], v[2], v[3]};
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_IPADDRESS, bytes, 4);
        break;
    }
    default:
        added = snmp_pdu_add_variable(pdu, netName.data(), netName.size(), ASN_NULL, nullptr, 0);
        break;
    }
    return added != nullptr;
}

// The answer into out, keeping out's storage.
void fromNetPdu(const netsnmp_pdu *p, Pdu &out)
{
    int count = 0;
    for (const netsnmp_variable_list *v = p->variables; v; v = v->next_variable)
        ++count;
    out.resize(count);
    int i = 0;
    for (const netsnmp_variable_list *v = p->variables; v; v = v->next_variable)
        fromNetBinding(v, out[i++]);
    out.set_error_status(static_cast<int>(p->errstat));
    out.set_error_index(static_cast<int>(p->errindex));
    out.set_request_id(static_cast<std::int32_t>(p->reqid));
    out.set_type(static_cast<unsigned short>(p->command));
    out.set_security_level(p->securityLevel);
    out.set_context_name(OctetStr());
    out.set_context_engine_id(OctetStr());
}

// ---- status mapping ---------------------------------------------------------------

int statusOfNetError(int err)
{
    switch (err) {
    case SNMPERR_SUCCESS:
        return SNMP_CLASS_SUCCESS;
    case SNMPERR_TIMEOUT:
        return SNMP_CLASS_TIMEOUT;
    case SNMPERR_BAD_SENDTO:
        return SNMP_CLASS_TL_FAILED;
    case SNMPERR_TOO_LONG:
        return SNMP_CLASS_INVALID_PDU;
    case SNMPERR_BAD_NAME:
        return SNMP_CLASS_INVALID_OID;
    case SNMPERR_BAD_ADDRESS:
        return SNMP_CLASS_INVALID_ADDRESS;
    case SNMPERR_UNKNOWN_USER_NAME:
    case SNMPERR_USM_UNKNOWNSECURITYNAME:
    case SNMPERR_BAD_SEC_NAME:
        return SNMPv3_USM_UNKNOWN_SECURITY_NAME;
    case SNMPERR_UNSUPPORTED_SEC_LEVEL:
    case SNMPERR_USM_UNSUPPORTEDSECURITYLEVEL:
    case SNMPERR_BAD_SEC_LEVEL:
        return SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL;
    case SNMPERR_NOT_IN_TIME_WINDOW:
    case SNMPERR_USM_NOTINTIMEWINDOW:
        return SNMPv3_USM_NOT_IN_TIME_WINDOW;
    case SNMPERR_UNKNOWN_ENG_ID:
    case SNMPERR_USM_UNKNOWNENGINEID:
        return SNMPv3_USM_UNKNOWN_ENGINEID;
    case SNMPERR_AUTHENTICATION_FAILURE:
    case SNMPERR_USM_AUTHENTICATIONFAILURE:
        return SNMPv3_USM_AUTHENTICATION_FAILURE;
    case SNMPERR_DECRYPTION_ERR:
    case SNMPERR_USM_DECRYPTIONERROR:
        return SNMPv3_USM_DECRYPTION_ERROR;
    case SNMPERR_USM_ENCRYPTIONERROR:
        return SNMPv3_USM_ENCRYPTION_ERROR;
    case SNMPERR_USM_PARSEERROR:
        return SNMPv3_USM_PARSE_ERROR;
    case SNMPERR_USM_GENERICERROR:
    case SNMPERR_KT_NOT_AVAILABLE:
        return SNMPv3_USM_ERROR;
    case SNMPERR_UNKNOWN_SEC_MODEL:
        return SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL;
    case SNMPERR_INVALID_MSG:
        return SNMPv3_MP_INVALID_MESSAGE;
    case SNMPERR_UNKNOWN_PDU:
        return SNMPv3_MP_UNKNOWN_PDU_HANDLERS;
    default:
        return SNMP_CLASS_ERROR;
    }
}

// The status a report PDU stands for, from its first binding's OID.
int statusOfReport(const netsnmp_pdu *p)
{
    struct Known {
        std::uint32_t ids[11];
        std::size_t len;
        int status;
    };
    static const Known known[] = {
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 1}, 10, SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 2}, 10, SNMPv3_USM_NOT_IN_TIME_WINDOW},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 3}, 10, SNMPv3_USM_UNKNOWN_SECURITY_NAME},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 4}, 10, SNMPv3_USM_UNKNOWN_ENGINEID},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 5}, 10, SNMPv3_USM_AUTHENTICATION_FAILURE},
        {{1, 3, 6, 1, 6, 3, 15, 1, 1, 6}, 10, SNMPv3_USM_DECRYPTION_ERROR},
        {{1, 3, 6, 1, 6, 3, 11, 2, 1, 1}, 10, SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL},
        {{1, 3, 6, 1, 6, 3, 11, 2, 1, 2}, 10, SNMPv3_MP_INVALID_MESSAGE},
        {{1, 3, 6, 1, 6, 3, 11, 2, 1, 3}, 10, SNMPv3_MP_UNKNOWN_PDU_HANDLERS},
        {{1, 3, 6, 1, 6, 3, 12, 1, 4}, 9, SNMPv3_MP_UNAVAILABLE_CONTEXT},
        {{1, 3, 6, 1, 6, 3, 12, 1, 5}, 9, SNMPv3_MP_UNKNOWN_CONTEXT},
    };
    const netsnmp_variable_list *v = p->variables;
    if (!v)
        return SNMPv3_MP_INVALID_MESSAGE;
    for (const auto &k : known) {
        if (v->name_length < k.len)
            continue;
        bool match = true;
        for (std::size_t i = 0; i < k.len && match; ++i)
            match = v->name[i] == k.ids[i];
        if (match)
            return k.status;
    }
    return SNMP_CLASS_ERROR;
}

} // namespace snmpnet

int Snmp::Impl::transmit(Pending &p)
{
    NetSession &s = *p.session;
    netsnmp_pdu *np = snmp_pdu_create(p.command);
    if (s.v3) {
        np->version = SNMP_VERSION_3;
        np->securityModel = SNMP_SEC_MODEL_USM;
        np->securityLevel = p.request.get_security_level();
        const OctetStr &ctx = p.request.get_context_name();
        np->contextName = static_cast<char *>(malloc(ctx.len() + 1));
        if (ctx.len())
            std::memcpy(np->contextName, ctx.data(), ctx.len());
        np->contextName[ctx.len()] = '\0';
        np->contextNameLen = ctx.len();
        const OctetStr &engine = p.request.get_context_engine_id();
        if (engine.len()) {
            np->contextEngineID = static_cast<u_char *>(malloc(engine.len()));
            std::memcpy(np->contextEngineID, engine.data(), engine.len());
            np->contextEngineIDLen = engine.len();
        }
    } else {
        const auto &ct = static_cast<const CTarget &>(*p.target);
        np->version = ct.get_version() == version1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
        // The write community goes with sets only.
        const OctetStr &community =
            p.command == SNMP_MSG_SET ? ct.get_writecommunity() : ct.get_readcommunity();
        np->community = static_cast<u_char *>(malloc(community.len() + 1));
        if (community.len())
            std::memcpy(np->community, community.data(), community.len());
        np->community_len = community.len();
    }
    for (const Vb &vb : p.request.vbs()) {
        if (!addBinding(np, vb)) {
            snmp_free_pdu(np);
            return fail(SNMP_CLASS_INVALID_OID, "a binding has an invalid object identifier");
        }
    }
    ticketOwners()[p.id] = this;
    if (snmp_sess_async_send(s.handle, np, netSnmpCallback, ticketOf(p.id)) == 0) {
        int clib = 0, err = 0;
        char *text = nullptr;
        snmp_sess_error(s.handle, &clib, &err, &text);
        std::string why = text ? text : "";
        free(text);
        snmp_free_pdu(np);
        ticketOwners().erase(p.id);
        return fail(statusOfNetError(err), why);
    }
    return SNMP_CLASS_SUCCESS;
}

#include "BareNetSnmp.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <chrono>
#include <cstring>
#include <type_traits>

namespace bench {

static_assert(std::is_same_v<oid, unsigned long>, "names hold net-snmp's sub-identifiers as they are");

namespace {

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool valueText(const netsnmp_variable_list *v, std::string &text)
{
    switch (v->type) {
    case ASN_OCTET_STR:
        text.assign(reinterpret_cast<const char *>(v->val.string), v->val_len);
        return true;
    case ASN_INTEGER:
        text = std::to_string(*v->val.integer);
        return true;
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
        text = std::to_string(static_cast<unsigned long>(*v->val.integer) & 0xffffffffUL);
        return true;
    case ASN_IPADDRESS:
        text = std::to_string(v->val.string[0]) + "." + std::to_string(v->val.string[1]) + "." +
               std::to_string(v->val.string[2]) + "." + std::to_string(v->val.string[3]);
        return v->val_len == 4;
    default:
        return false;
    }
}

} // namespace

Name parseName(const std::string &dotted)
{
    Name out;
    unsigned long v = 0;
    bool any = false;
    for (char c : dotted) {
        if (c == '.') {
            if (any)
                out.push_back(v);
            v = 0;
            any = false;
        } else {
            v = v * 10 + static_cast<unsigned long>(c - '0');
            any = true;
        }
    }
    if (any)
        out.push_back(v);
    return out;
}

BareSession::BareSession(int port, const std::string &community)
{
    netsnmp_session cfg;
    snmp_sess_init(&cfg);
    std::string peer = "udp:127.0.0.1:" + std::to_string(port);
    std::string name = community;
    cfg.peername = peer.data();
    cfg.version = SNMP_VERSION_2c;
    cfg.community = reinterpret_cast<u_char *>(name.data());
    cfg.community_len = name.size();
    cfg.timeout = 1000000;
    cfg.retries = 1;
    m_session = snmp_sess_open(&cfg);
}

BareSession::~BareSession()
{
    if (m_session)
        snmp_sess_close(m_session);
}

BareSession::Outcome BareSession::request(bool next, const std::vector<Name> &names,
                                          std::vector<Name> &answered, Values &values)
{
    netsnmp_pdu *pdu = snmp_pdu_create(next ? SNMP_MSG_GETNEXT : SNMP_MSG_GET);
    for (const Name &name : names)
        snmp_add_null_var(pdu, name.data(), name.size());
    netsnmp_pdu *response = nullptr;
    if (snmp_sess_synch_response(m_session, pdu, &response) != STAT_SUCCESS || !response)
        return Outcome::Failed;
    Outcome outcome = response->errstat == SNMP_ERR_NOERROR ? Outcome::Answered : Outcome::Failed;
    answered.resize(names.size());
    values.resize(names.size());
    std::size_t n = 0;
    for (netsnmp_variable_list *v = response->variables; v && outcome == Outcome::Answered;
         v = v->next_variable) {
        if (n == names.size() || v->type == SNMP_ENDOFMIBVIEW) {
            outcome = n == names.size() ? Outcome::Failed : Outcome::EndOfView;
            break;
        }
        answered[n].assign(v->name, v->name + v->name_length);
        if (!valueText(v, values[n++]))
            outcome = Outcome::Failed;
    }
    snmp_free_pdu(response);
    return outcome == Outcome::Answered && n != names.size() ? Outcome::Failed : outcome;
}

double bareGets(int port, const std::string &community, const std::vector<std::string> &oids, int count,
                const std::function<bool(const Values &)> &check)
{
    BareSession s(port, community);
    if (!s.ok())
        return -1;
    std::vector<Name> names, answered;
    for (const std::string &o : oids)
        names.push_back(parseName(o));
    Values values;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i)
        if (s.request(false, names, answered, values) != BareSession::Outcome::Answered || !check(values))
            return -1;
    return since(start);
}

double bareWalk(int port, const std::string &community, const std::string &entry,
                const std::vector<int> &columns, int &rows,
                const std::function<bool(const Name &index, const Values &)> &check)
{
    BareSession s(port, community);
    if (!s.ok())
        return -1;
    const Name base = parseName(entry);
    std::vector<Name> current, answered;
    for (int c : columns) {
        current.push_back(base);
        current.back().push_back(static_cast<unsigned long>(c));
    }
    Values values;
    Name index;
    rows = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const BareSession::Outcome outcome = s.request(true, current, answered, values);
        if (outcome == BareSession::Outcome::Failed)
            return -1;
        // The end of the agent's view ends a walk of its last table.
        bool inside = outcome == BareSession::Outcome::Answered;
        for (std::size_t c = 0; c < answered.size() && inside; ++c) {
            const Name &name = answered[c];
            inside = name.size() > base.size() + 1 &&
                     std::memcmp(name.data(), base.data(), base.size() * sizeof(unsigned long)) == 0 &&
                     name[base.size()] == static_cast<unsigned long>(columns[c]);
        }
        if (!inside)
            break;
        index.assign(answered[0].begin() + static_cast<std::ptrdiff_t>(base.size() + 1), answered[0].end());
        if (!check(index, values))
            return -1;
        current = answered;
        ++rows;
    }
    return since(start);
}

} // namespace bench

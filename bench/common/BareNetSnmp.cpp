#include "BareNetSnmp.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace bench {

namespace {

void *openSession(int port)
{
    netsnmp_session cfg;
    snmp_sess_init(&cfg);
    std::string peer = "udp:127.0.0.1:" + std::to_string(port);
    cfg.peername = peer.data();
    cfg.version = SNMP_VERSION_2c;
    static char community[] = "mardle";
    cfg.community = reinterpret_cast<u_char *>(community);
    cfg.community_len = std::strlen(community);
    cfg.timeout = 1000000;
    cfg.retries = 1;
    return snmp_sess_open(&cfg);
}

std::vector<oid> parse(const std::string &dotted)
{
    std::vector<oid> out;
    oid v = 0;
    bool any = false;
    for (char c : dotted) {
        if (c == '.') {
            if (any)
                out.push_back(v);
            v = 0;
            any = false;
        } else {
            v = v * 10 + static_cast<oid>(c - '0');
            any = true;
        }
    }
    if (any)
        out.push_back(v);
    return out;
}

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

double bareGets(int port, const std::string &dotted, int count)
{
    void *s = openSession(port);
    if (!s)
        return -1;
    const auto name = parse(dotted);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        netsnmp_pdu *pdu = snmp_pdu_create(SNMP_MSG_GET);
        snmp_add_null_var(pdu, name.data(), name.size());
        netsnmp_pdu *response = nullptr;
        if (snmp_sess_synch_response(s, pdu, &response) != STAT_SUCCESS) {
            snmp_sess_close(s);
            return -1;
        }
        snmp_free_pdu(response);
    }
    const double seconds = since(start);
    snmp_sess_close(s);
    return seconds;
}

double bareWalk(int port, const std::string &entry, const std::vector<int> &columns, int &rows)
{
    void *s = openSession(port);
    if (!s)
        return -1;
    std::vector<std::vector<oid>> current;
    const auto base = parse(entry);
    for (int c : columns) {
        auto column = base;
        column.push_back(static_cast<oid>(c));
        current.push_back(column);
    }
    rows = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        netsnmp_pdu *pdu = snmp_pdu_create(SNMP_MSG_GETNEXT);
        for (const auto &name : current)
            snmp_add_null_var(pdu, name.data(), name.size());
        netsnmp_pdu *response = nullptr;
        if (snmp_sess_synch_response(s, pdu, &response) != STAT_SUCCESS || !response)
            break;
        bool inside = response->errstat == 0;
        int c = 0;
        for (netsnmp_variable_list *v = response->variables; v && inside; v = v->next_variable, ++c) {
            inside = v->name_length > base.size() + 1 &&
                     std::memcmp(v->name, base.data(), base.size() * sizeof(oid)) == 0 &&
                     v->name[base.size()] == static_cast<oid>(columns[static_cast<std::size_t>(c)]);
            if (inside)
                current[static_cast<std::size_t>(c)].assign(v->name, v->name + v->name_length);
        }
        snmp_free_pdu(response);
        if (!inside)
            break;
        ++rows;
    }
    const double seconds = since(start);
    snmp_sess_close(s);
    return seconds;
}

} // namespace bench

#include "KvSNMPRequestCache.h"

#include "KvSNMPEngine.h"
#include "KvSNMPRequest.h"

namespace kvengine {

RequestCache::RequestCache() = default;
RequestCache::~RequestCache() = default;

SnmpTarget &RequestCache::target(KvSNMPRequest &r)
{
    const bool same = m_target && r.Security.Version != 3 && r.Device.Port == m_port &&
                      r.Security.Version == m_version && r.Retries == m_retries && r.Timeout == m_timeout &&
                      r.Device.Address == m_address && r.Security.ReadCommunity == m_read &&
                      r.Security.WriteCommunity == m_write;
    if (same) {
        clearUsmStatus();
        return *m_target;
    }
    m_target = nullptr;
    SnmpTarget *built = nullptr;
    r.BuildTarget(m_userTarget, m_communityTarget, built);
    m_target = built;
    m_address = r.Device.Address;
    m_port = r.Device.Port;
    m_version = r.Security.Version;
    m_retries = r.Retries;
    m_timeout = r.Timeout;
    m_read = r.Security.ReadCommunity;
    m_write = r.Security.WriteCommunity;
    return *m_target;
}

void RequestCache::fit(int count)
{
    const auto n = static_cast<std::size_t>(count > 0 ? count : 0);
    if (m_columns.size() < n)
        m_columns.resize(n);
    if (m_instances.size() < n)
        m_instances.resize(n);
}

const RequestCache::Column &RequestCache::column(const KvSNMPVarList &list, int i)
{
    const auto at = static_cast<std::size_t>(i);
    if (m_columns.size() <= at)
        m_columns.resize(at + 1);
    Column &c = m_columns[at];
    const AnsiString &oidText = list.GetItem(i)->Oid;
    if (!c.known || c.oidText != oidText || c.base != list.BaseOid) {
        c.base = list.BaseOid;
        c.oidText = oidText;
        c.text = list.ColumnOid(i);
        c.oid = Oid(c.text);
        c.scalar = Oid(c.text + ".0");
        c.canonical = c.oid.valid() && c.oid.get_printable() == c.text;
        c.known = true;
    }
    return c;
}

const AnsiString &RequestCache::columnText(const KvSNMPVarList &list, int i)
{
    return column(list, i).text;
}

const Oid &RequestCache::columnOid(const KvSNMPVarList &list, int i)
{
    return column(list, i).oid;
}

const Oid &RequestCache::scalarOid(const KvSNMPVarList &list, int i)
{
    return column(list, i).scalar;
}

const Oid &RequestCache::instanceOid(const KvSNMPItem &item, int i)
{
    // A first read has cleared it: keep what the last answer gave for setInstance.
    if (item.InstanceOid.empty())
        return m_none;
    const auto at = static_cast<std::size_t>(i);
    if (m_instances.size() <= at)
        m_instances.resize(at + 1);
    Instance &c = m_instances[at];
    if (!c.known || c.text != item.InstanceOid) {
        c.text = item.InstanceOid;
        c.oid = Oid(c.text);
        c.known = true;
    }
    return c.oid;
}

void RequestCache::setInstance(KvSNMPItem &item, int i, const Oid &oid)
{
    const auto at = static_cast<std::size_t>(i);
    if (m_instances.size() <= at)
        m_instances.resize(at + 1);
    Instance &c = m_instances[at];
    if (!c.known || c.oid != oid) {
        // Answers of a walk lie inside the item's column: its text is known already.
        const Column *col = at < m_columns.size() && m_columns[at].known ? &m_columns[at] : nullptr;
        if (col && col->canonical && !col->oid.empty() && oid.len() > col->oid.len() &&
            oid.startsWith(col->oid)) {
            c.text.assign(col->text).append(1, '.');
            oid.append_printable(c.text, col->oid.len());
        } else {
            oid.get_printable(c.text);
        }
        c.oid = oid;
        c.known = true;
    }
    if (item.InstanceOid != c.text)
        item.InstanceOid = c.text;
}

const AnsiString &RequestCache::addressText(const UdpAddress &address)
{
    if (m_agentText.empty() || m_agentIp != address.ipv4()) {
        m_agentText = address.ip_text();
        m_agentIp = address.ipv4();
    }
    return m_agentText;
}

} // namespace kvengine

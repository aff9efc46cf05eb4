#pragma once
// A request's working state between sends: the target it was built for, the column and
// instance identifiers of its items in parsed form, and its callbacks in flight. All of it is
// derived from the request's fields and checked against them before use.
#include "AnsiString.h"
#include "KvSNMPRequest.h"
#include "Oid.h"
#include "Target.h"

#include <memory>
#include <vector>

namespace kvengine {

// What an asynchronous request's completion needs.
struct CallbackRecord {
    KvSNMPRequest *request = nullptr;
    bool takeValues = true;
    bool isGet = false; // a get (not a get-next or set): noSuch* values fail it
    bool isSet = false; // noSuch* values fail it too; a set never ends a walk
    KvSNMPCompletion closure;
};

class RequestCache {
public:
    RequestCache();
    ~RequestCache();
    RequestCache(const RequestCache &) = delete;
    RequestCache &operator=(const RequestCache &) = delete;

    // The target for the request's agent and security, built again only when they changed
    // (SNMPv3 targets every time: each send adds the user).
    SnmpTarget &target(KvSNMPRequest &request);

    struct Column {
        AnsiString base;
        AnsiString oidText;
        AnsiString text;        // the column OID as text
        Oid oid;                // parsed
        Oid scalar;             // followed by .0
        bool canonical = false; // text is what printing oid gives
        bool known = false;
    };
    // Column OID of item i (as KvSNMPVarList::ColumnOid).
    const Column &column(const KvSNMPVarList &list, int i);

    // Makes room for count items, so references handed out stay valid while they are used.
    void fit(int count);
    // Column OID of item i (as KvSNMPVarList::ColumnOid), as text and parsed.
    const AnsiString &columnText(const KvSNMPVarList &list, int i);
    const Oid &columnOid(const KvSNMPVarList &list, int i);
    // The column OID followed by .0 (the instance of a scalar).
    const Oid &scalarOid(const KvSNMPVarList &list, int i);
    // Item i's InstanceOid, parsed.
    const Oid &instanceOid(const KvSNMPItem &item, int i);
    // Sets item i's InstanceOid to the text of oid.
    void setInstance(KvSNMPItem &item, int i, const Oid &oid);
    // The dotted text of an agent's address.
    const AnsiString &addressText(const UdpAddress &address);

    // Asynchronous requests sent and not yet completed; a posted failure checks the token.
    std::vector<std::unique_ptr<CallbackRecord>> records;
    // A finished record, kept for the next send.
    std::unique_ptr<CallbackRecord> spare;
    std::shared_ptr<int> token = std::make_shared<int>(0);
    // Scratch space of takeAnswer: per item, its column and whether it has ended.
    struct Taken {
        const Column *column = nullptr;
        bool ended = false;
    };
    std::vector<Taken> taken;

private:
    struct Instance {
        AnsiString text;
        Oid oid;
        bool known = false;
    };
    std::vector<Column> m_columns;
    std::vector<Instance> m_instances;
    Oid m_none;
    uint32_t m_agentIp = 0;
    AnsiString m_agentText;

    SnmpTarget *m_target = nullptr;
    UTarget m_userTarget;
    CTarget m_communityTarget;
    AnsiString m_address;
    uint16_t m_port = 0;
    uint8_t m_version = 0;
    int32_t m_retries = 0;
    int32_t m_timeout = 0;
    AnsiString m_read;
    AnsiString m_write;
};

} // namespace kvengine

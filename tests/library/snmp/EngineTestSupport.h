#pragma once
// Shared set-up of the engine tests: the global session in a private folder and helpers
// that build requests.
#include "EngineAgents.h"
#include "KvSNMPRequest.h"
#include "KvSNMPSession.h"
#include "TestEnv.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace enginetest {

inline void ensureGlobalSession()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static std::string dir = kvtest::makeTempDir("kv-engine-session");
    KvSNMPCreateGlobalSession(dir);
}

struct ItemDef {
    std::string oid;
    int32_t syntax;
    uint32_t access;
    std::string value = {};
};

inline KvSNMPVarList makeList(const std::vector<ItemDef> &items, KvSNMPItemType type, int keyCount)
{
    std::vector<KvSNMPItem> table;
    for (const auto &s : items) {
        KvSNMPItem item;
        item.Oid = s.oid;
        item.Name = s.oid;
        item.Syntax = s.syntax;
        item.Access = s.access;
        item.Value = s.value;
        table.push_back(item);
    }
    table.push_back(KvSNMPItem{});
    return KvSNMPVarList(table.data(), type, keyCount);
}

// A request on 127.0.0.1:port with the given version and communities.
inline std::unique_ptr<KvSNMPRequest> makeRequest(int port, int version, const std::string &read = "mardle",
                                                  const std::string &write = "quintel")
{
    ensureGlobalSession();
    auto r = std::make_unique<KvSNMPRequest>();
    r->Device.Address = "127.0.0.1";
    r->Device.Port = static_cast<uint16_t>(port);
    r->Security.Version = static_cast<uint8_t>(version);
    r->Security.ReadCommunity = read;
    r->Security.WriteCommunity = write;
    r->Timeout = 100;
    r->Retries = 0;
    return r;
}

inline void useUser(KvSNMPRequest &r, const std::string &name, int auth, const std::string &authPass,
                    int priv, const std::string &privPass, int level)
{
    r.Security.Version = 3;
    r.Security.SecurityModel = 3;
    r.Security.SecurityName = name;
    r.Security.AuthProtocol = auth;
    r.Security.AuthPassPhrase = authPass;
    r.Security.PrivProtocol = priv;
    r.Security.PrivPassPhrase = privPass;
    r.Security.SecurityLevel = level;
}

// Collects the failures a request reports through OnResult.
struct ResultLog {
    std::vector<KvSNMPError> records;
    void attach(KvSNMPRequest &r)
    {
        r.OnResult = [this](KvSNMPError *e) { records.push_back(*e); };
    }
};

inline std::string tree(const std::string &rest)
{
    return std::string(kTestTree) + "." + rest;
}

} // namespace enginetest

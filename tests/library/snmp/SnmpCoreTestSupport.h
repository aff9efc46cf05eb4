#pragma once
// A request over a variable list built from items given in a test.
#include "Exception.h"
#include "KvSNMPRequest.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace snmpcoretest {

inline KvSNMPItem item(int32_t syntax, uint32_t access = KvAccess::ReadWrite, const char *value = "",
                       KvOptionList *options = nullptr)
{
    KvSNMPItem it;
    it.Oid = "1.3.6.1.4.1.32473.11.37.4.9.1." + std::to_string(syntax);
    it.Name = "item";
    it.Syntax = syntax;
    it.Access = access;
    it.Options = options;
    it.Value = value;
    return it;
}

// Owns a request whose list holds the given items.
class Request : public KvSNMPRequest {
public:
    Request(std::initializer_list<KvSNMPItem> items, KvSNMPItemType type = SVT_SV, int32_t keyCount = 0)
    {
        std::vector<KvSNMPItem> table(items);
        table.push_back(KvSNMPItem{});
        VarList = KvSNMPVarList(table.data(), type, keyCount);
    }
    KvSNMPItem &at(int i) { return *VarList.GetItem(i); }
};

// The help context of the exception that f raises, or 0 when it raises none.
template <typename F> int raisedCode(F &&f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.HelpContext;
    }
    return 0;
}

} // namespace snmpcoretest

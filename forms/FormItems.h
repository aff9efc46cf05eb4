#pragma once
// Static item tables of the forms, written with OID suffixes under one prefix (the device's
// enterprise subtree unless the table names another). The table adds the empty-OID record
// that ends every item table, so a form cannot forget it.
//
//   const FormItemTable kItems = {
//       {"2.4.3.1.1.1", "adInternalStationConnection", KvSyntax::Integer, KvAccess::ReadWrite,
//        &gAdInternalStationConnectionNames2},
//   };
//   const FormItemTable kSystem{"1.3.6.1.2.1.1", {{"5", "sysName", KvSyntax::DisplayStr,
//   KvAccess::ReadWrite}}};
#include "KvSNMPVarList.h"

#include <initializer_list>
#include <vector>

// The device's own MIB subtree.
inline constexpr const char kEnterprise[] = "1.3.6.1.4.1.32473.11.37.4";

// One record: the OID below the table's prefix, then the item's fields in KvSNMPItem order.
struct FormItem {
    const char *Oid;
    const char *Name;
    int32_t Syntax;
    uint32_t Access;
    KvOptionList *Options = nullptr;
};

class FormItemTable {
public:
    FormItemTable(std::initializer_list<FormItem> items);
    FormItemTable(const char *prefix, std::initializer_list<FormItem> items);

    // The records, ended by the empty-OID record.
    const KvSNMPItem *Items() const { return m_items.data(); }
    operator const KvSNMPItem *() const { return Items(); }
    int Count() const { return static_cast<int>(m_items.size()) - 1; }
    // Index of the item of that name; raises std::out_of_range when the table has none.
    int IndexOf(const char *name) const;

private:
    std::vector<KvSNMPItem> m_items;
};

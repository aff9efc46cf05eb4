#pragma once
// MIB item records and the variable lists built from static tables of them.
#include "AnsiString.h"

#include <cstdint>
#include <memory>
#include <vector>

class KvOptionList;

// Syntax codes of items: the SNMP type tags where they exist, the library's own above.
namespace KvSyntax {
constexpr int32_t Boolean = 1;
constexpr int32_t Integer = 2;
constexpr int32_t BitStr = 3;
constexpr int32_t OctetStr = 4;
constexpr int32_t Null = 5;
constexpr int32_t ObjectId = 6;
constexpr int32_t IpAddress = 64;
constexpr int32_t Counter = 65;
constexpr int32_t Guage = 66;
constexpr int32_t TimeTicks = 67;
constexpr int32_t Opaque = 68;
constexpr int32_t NsapAddr = 69;
constexpr int32_t Counter64 = 70;
constexpr int32_t UInteger = 71;
constexpr int32_t Double = 72;
constexpr int32_t MacAddress = 73;
constexpr int32_t DateTime = 74;
constexpr int32_t BcDateTime = 75;
constexpr int32_t DisplayStr = 76;
constexpr int32_t Bool8 = 193;
constexpr int32_t Int8 = 194;
constexpr int32_t UInt8 = 195;
constexpr int32_t Bool16 = 196;
constexpr int32_t Int16 = 197;
constexpr int32_t UInt16 = 198;
} // namespace KvSyntax

// Access flags of items (or-ed).
namespace KvAccess {
constexpr uint32_t NotAccess = 1;
constexpr uint32_t ReadOnly = 2;
constexpr uint32_t WriteOnly = 4;
constexpr uint32_t ReadWrite = 6;
constexpr uint32_t Derived = 8;
constexpr uint32_t Hidden = 16;
constexpr uint32_t Invalid = 32;
constexpr uint32_t Implied = 64; // IMPLIED table index: no length in the instance OID
} // namespace KvAccess

// List kinds. A list's Type byte may hold other values; operations refuse them (-515).
enum KvSNMPItemType : uint8_t {
    SVT_SV = 0,  // scalars; ".0" is appended to every Oid
    MVT_SV = 1,  // scalars whose Oid carries the instance
    MVT_FMV = 2, // a table walked row by row; the first KeyCount items are its index
    MVT_UMV = 3, // as MVT_FMV for requests; the control bindings differ
};

// One SNMP object. Static tables of these end with a record whose Oid is empty ({} or
// {nullptr}); trailing fields may be left out ({"1.3.6.1.2.1.1.1", "sysDescr", 76, 2}), and a
// null text is the empty text. An empty expression text means "no expression".
struct KvSNMPItem {
    KvSNMPItem() = default;
    KvSNMPItem(const char *oid, const char *name = nullptr, int32_t syntax = 0, uint32_t access = 0,
               KvOptionList *options = nullptr, const char *getExpression = nullptr,
               const char *setExpression = nullptr, const char *extra = nullptr, const char *value = nullptr,
               const char *instanceOid = nullptr)
        : Oid(text(oid)), Name(text(name)), Syntax(syntax), Access(access), Options(options),
          GetExpression(text(getExpression)), SetExpression(text(setExpression)), Extra(text(extra)),
          Value(text(value)), InstanceOid(text(instanceOid))
    {
    }

    AnsiString Oid;
    AnsiString Name;
    int32_t Syntax = 0;
    uint32_t Access = 0;
    KvOptionList *Options = nullptr; // borrowed, never owned
    AnsiString GetExpression;
    AnsiString SetExpression;
    AnsiString Extra;
    AnsiString Value;       // current value text
    AnsiString InstanceOid; // full instance OID of the last answer
    // The value last read is not the device's exactly (a text cut at a zero octet): a form
    // writes it back only when the user changed what it shows.
    bool Inexact = false;
    // Left out of a set: its control still shows the inexact value read (the device keeps it).
    bool Kept = false;

private:
    static AnsiString text(const char *p) { return p ? AnsiString(p) : AnsiString(); }
};

// Number of records before the first one with an empty Oid; 0 for a null table.
int32_t KvSNMPItemTableCount(const KvSNMPItem *table);

class KvSNMPVarList {
public:
    KvSNMPVarList();
    // Raises -514 when keyCount is outside 0 .. the table's record count.
    KvSNMPVarList(const KvSNMPItem *table, KvSNMPItemType type, int32_t keyCount);
    KvSNMPVarList(const KvSNMPVarList &other);
    KvSNMPVarList &operator=(const KvSNMPVarList &other);
    ~KvSNMPVarList();

    AnsiString BaseOid;
    int32_t KeyCount = 0;
    KvSNMPItemType Type = SVT_SV;
    AnsiString ListName;
    // Option lists owned by the list (not those that items point to).
    std::vector<std::unique_ptr<KvOptionList>> OptionLists;

    void Append(const KvSNMPItem *table);
    void Clear();
    // Copies Type, KeyCount, ListName and every item; BaseOid and OptionLists stay.
    // Assigning a list to itself changes nothing.
    void Assign(const KvSNMPVarList &other);

    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    // Item i; the caller keeps i within 0 .. Count()-1.
    KvSNMPItem *GetItem(int32_t i) const { return m_items[static_cast<std::size_t>(i)].get(); }

    // Sets KeyCount; raises -514 when it is outside 0 .. Count().
    void SetKeyCount(int32_t keyCount);
    // Raises -514 when KeyCount is outside 0 .. Count().
    void CheckKeyCount() const;
    // True for the table kinds MVT_FMV and MVT_UMV.
    bool IsTable() const { return Type == MVT_FMV || Type == MVT_UMV; }
    // Column OID of item i: Oid, or BaseOid + "." + Oid when BaseOid is set.
    AnsiString ColumnOid(int32_t i) const;

    bool IsReadableItem(int32_t i) const;
    bool IsSetItem(int32_t i) const;
    bool IsGetItem(int32_t i) const;
    bool IsHiddenItem(int32_t i) const;
    bool IsImpliedItem(int32_t i) const;
    int32_t CountGetItems() const;
    int32_t CountHiddenItems() const;

private:
    std::vector<std::unique_ptr<KvSNMPItem>> m_items;
};

// Keyword lists of list kinds, syntaxes and access flags (numeric option lists).
extern KvOptionList *gKvSNMPItemTypeNames;
extern KvOptionList *gKvSNMPSyntaxNames;
extern KvOptionList *gKvSNMPAccessNames;
// Build and destroy the keyword lists (they also run on their own at program start and exit).
void KvSNMPKeywordsInit();
void KvSNMPKeywordsExit();

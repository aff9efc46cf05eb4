#include "KvSNMPVarList.h"

#include "KvOptionList.h"
#include "KvSNMPErrors.h"

int32_t KvSNMPItemTableCount(const KvSNMPItem *table)
{
    int32_t count = 0;
    if (table) {
        while (!table[count].Oid.empty())
            ++count;
    }
    return count;
}

KvSNMPVarList::KvSNMPVarList() = default;

KvSNMPVarList::KvSNMPVarList(const KvSNMPItem *table, KvSNMPItemType type, int32_t keyCount) : Type(type)
{
    Append(table);
    SetKeyCount(keyCount);
}

KvSNMPVarList::KvSNMPVarList(const KvSNMPVarList &other)
{
    Assign(other);
}

KvSNMPVarList &KvSNMPVarList::operator=(const KvSNMPVarList &other)
{
    Assign(other);
    return *this;
}

KvSNMPVarList::~KvSNMPVarList() = default;

void KvSNMPVarList::Append(const KvSNMPItem *table)
{
    int32_t n = KvSNMPItemTableCount(table);
    m_items.reserve(m_items.size() + static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        auto item = std::make_unique<KvSNMPItem>(table[i]);
        m_items.push_back(std::move(item));
    }
}

void KvSNMPVarList::Clear()
{
    m_items.clear();
}

void KvSNMPVarList::Assign(const KvSNMPVarList &other)
{
    if (&other == this)
        return;
    other.CheckKeyCount();
    std::vector<std::unique_ptr<KvSNMPItem>> copy;
    copy.reserve(other.m_items.size());
    for (const auto &item : other.m_items)
        copy.push_back(std::make_unique<KvSNMPItem>(*item));
    m_items = std::move(copy);
    Type = other.Type;
    KeyCount = other.KeyCount;
    ListName = other.ListName;
}

void KvSNMPVarList::SetKeyCount(int32_t keyCount)
{
    if (keyCount < 0 || keyCount > Count())
        KvSNMPRaise(KvSNMPCode::BadKeyCount);
    KeyCount = keyCount;
}

void KvSNMPVarList::CheckKeyCount() const
{
    if (KeyCount < 0 || KeyCount > Count())
        KvSNMPRaise(KvSNMPCode::BadKeyCount);
}

AnsiString KvSNMPVarList::ColumnOid(int32_t i) const
{
    const AnsiString &oid = GetItem(i)->Oid;
    return BaseOid.empty() ? oid : BaseOid + "." + oid;
}

bool KvSNMPVarList::IsReadableItem(int32_t i) const
{
    uint32_t a = GetItem(i)->Access;
    return !(a & KvAccess::Invalid) && (a & KvAccess::ReadOnly);
}

bool KvSNMPVarList::IsSetItem(int32_t i) const
{
    uint32_t a = GetItem(i)->Access;
    if (a & KvAccess::Invalid)
        return false;
    return (a & KvAccess::WriteOnly) || (IsTable() && i < KeyCount);
}

bool KvSNMPVarList::IsGetItem(int32_t i) const
{
    uint32_t a = GetItem(i)->Access;
    if (a & (KvAccess::Invalid | KvAccess::Hidden))
        return false;
    return (a & (KvAccess::NotAccess | KvAccess::Derived | KvAccess::ReadOnly)) != 0;
}

bool KvSNMPVarList::IsHiddenItem(int32_t i) const
{
    uint32_t a = GetItem(i)->Access;
    return a == KvAccess::WriteOnly || (a & KvAccess::Invalid) || (a & KvAccess::Hidden);
}

bool KvSNMPVarList::IsImpliedItem(int32_t i) const
{
    return (GetItem(i)->Access & KvAccess::Implied) != 0;
}

int32_t KvSNMPVarList::CountGetItems() const
{
    int32_t n = 0;
    for (int32_t i = 0; i < Count(); ++i)
        n += IsGetItem(i) ? 1 : 0;
    return n;
}

int32_t KvSNMPVarList::CountHiddenItems() const
{
    int32_t n = 0;
    for (int32_t i = 0; i < Count(); ++i)
        n += IsHiddenItem(i) ? 1 : 0;
    return n;
}

// Keyword lists.

namespace {

const KvOptionPair kItemTypeKeywords[] = {
    {0, "SVT_SV"}, {1, "MVT_SV"}, {2, "MVT_FMV"}, {3, "MVT_UMV"}, {},
};

const KvOptionPair kSyntaxKeywords[] = {
    {2, "integer"},     {3, "bitstr"},
    {4, "octetstr"},    {5, "null"},
    {6, "objectid"},    {64, "ipaddress"},
    {65, "counter"},    {66, "guage"},
    {67, "timeticks"},  {68, "opaque"},
    {70, "counter64"},  {1, "boolean"},
    {69, "nsapaddr"},   {71, "uinteger"},
    {72, "double"},     {73, "macaddress"},
    {74, "datetime"},   {75, "bcdatetime"},
    {76, "displaystr"}, {193, "bool8"},
    {194, "int8"},      {195, "uint8"},
    {196, "bool16"},    {197, "int16"},
    {198, "uint16"},    {},
};

const KvOptionPair kAccessKeywords[] = {
    {1, "notaccess"}, {2, "readonly"}, {4, "writeonly"}, {6, "readwrite"},
    {8, "derived"},   {16, "hidden"},  {32, "invalid"},  {},
};

// Builds the keyword lists among the start-up routines and frees them at exit.
struct KeywordLifetime {
    KeywordLifetime() { KvSNMPKeywordsInit(); }
    ~KeywordLifetime() { KvSNMPKeywordsExit(); }
};

} // namespace

KvOptionList *gKvSNMPItemTypeNames = nullptr;
KvOptionList *gKvSNMPSyntaxNames = nullptr;
KvOptionList *gKvSNMPAccessNames = nullptr;

namespace {
std::unique_ptr<KvOptionList> gItemTypeOwner;
std::unique_ptr<KvOptionList> gSyntaxOwner;
std::unique_ptr<KvOptionList> gAccessOwner;
} // namespace

void KvSNMPKeywordsInit()
{
    gItemTypeOwner = std::make_unique<KvOptionList>(kItemTypeKeywords, okNumber, 0);
    gSyntaxOwner = std::make_unique<KvOptionList>(kSyntaxKeywords, okNumber, 0);
    gAccessOwner = std::make_unique<KvOptionList>(kAccessKeywords, okNumber, 0);
    gKvSNMPItemTypeNames = gItemTypeOwner.get();
    gKvSNMPSyntaxNames = gSyntaxOwner.get();
    gKvSNMPAccessNames = gAccessOwner.get();
}

void KvSNMPKeywordsExit()
{
    gKvSNMPItemTypeNames = nullptr;
    gKvSNMPSyntaxNames = nullptr;
    gKvSNMPAccessNames = nullptr;
    gItemTypeOwner.reset();
    gSyntaxOwner.reset();
    gAccessOwner.reset();
}

namespace {
KeywordLifetime gKeywordLifetime;
}

#include "Exception.h"
#include "KvOptionList.h"
#include "KvSNMPErrors.h"
#include "KvSNMPVarList.h"

#include <gtest/gtest.h>

namespace {

KvSNMPItem gTable[] = {
    {"1.3.6.1.4.1.32473.11.37.4.3.1.1", "Index", KvSyntax::Integer, KvAccess::ReadOnly},
    {"1.3.6.1.4.1.32473.11.37.4.3.1.2", "Mac", KvSyntax::MacAddress, KvAccess::ReadOnly},
    {"1.3.6.1.4.1.32473.11.37.4.3.1.3", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite, nullptr, "", "",
     "", "initial"},
    {"1.3.6.1.4.1.32473.11.37.4.3.1.4", "Secret", KvSyntax::DisplayStr, KvAccess::WriteOnly},
    {"1.3.6.1.4.1.32473.11.37.4.3.1.5", "Note", KvSyntax::DisplayStr, KvAccess::NotAccess},
    {"1.3.6.1.4.1.32473.11.37.4.3.1.6", "Gone", KvSyntax::DisplayStr,
     KvAccess::ReadWrite | KvAccess::Invalid},
    {"1.3.6.1.4.1.32473.11.37.4.3.1.7", "Calc", KvSyntax::Integer, KvAccess::Derived},
    {"1.3.6.1.4.1.32473.11.37.4.3.1.8", "Quiet", KvSyntax::Integer, KvAccess::ReadOnly | KvAccess::Hidden},
    {},
};

} // namespace

TEST(VarListTest, TableCountStopsAtEmptyOid)
{
    EXPECT_EQ(KvSNMPItemTableCount(gTable), 8);
    EXPECT_EQ(KvSNMPItemTableCount(nullptr), 0);
    KvSNMPItem empty[] = {{}};
    EXPECT_EQ(KvSNMPItemTableCount(empty), 0);
    KvSNMPItem nullEnded[] = {{"1.3.6.1.2.1.1.1", nullptr, KvSyntax::DisplayStr, KvAccess::ReadOnly},
                              {nullptr}};
    EXPECT_EQ(KvSNMPItemTableCount(nullEnded), 1);
    EXPECT_EQ(nullEnded[0].Name, "");
    KvSNMPVarList list(empty, SVT_SV, 0);
    EXPECT_EQ(list.Count(), 0);
    KvSNMPVarList full(gTable, MVT_FMV, 2);
    full.Append(empty);
    EXPECT_EQ(full.Count(), 8);
    full.Append(nullptr);
    EXPECT_EQ(full.Count(), 8);
}

TEST(VarListTest, AppendCopiesRecords)
{
    KvSNMPVarList list(gTable, MVT_FMV, 2);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.GetItem(2)->Value, "initial");
    EXPECT_EQ(list.GetItem(0)->Value, "");
    EXPECT_EQ(list.GetItem(0)->InstanceOid, "");
    list.GetItem(2)->Value = "changed";
    EXPECT_EQ(gTable[2].Value, "initial");
    list.Append(gTable);
    EXPECT_EQ(list.Count(), 16);
    EXPECT_EQ(list.GetItem(10)->Value, "initial");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(VarListTest, PredicatesByAccessFlags)
{
    KvSNMPVarList list(gTable, MVT_FMV, 2);
    struct Case {
        int item;
        bool readable, set, get, hidden;
    } cases[] = {
        // Key columns count as settable in a table list even when read-only.
        {0, true, true, true, false},   {1, true, true, true, false},
        {2, true, true, true, false},   // readwrite
        {3, false, true, false, true},  // write-only: settable and hidden
        {4, false, false, true, false}, // notaccess: shown only
        {5, false, false, false, true}, // invalid: nothing, hidden
        {6, false, false, true, false}, // derived
        {7, true, false, false, true},  // hidden
    };
    for (const auto &c : cases) {
        EXPECT_EQ(list.IsReadableItem(c.item), c.readable) << c.item;
        EXPECT_EQ(list.IsSetItem(c.item), c.set) << c.item;
        EXPECT_EQ(list.IsGetItem(c.item), c.get) << c.item;
        EXPECT_EQ(list.IsHiddenItem(c.item), c.hidden) << c.item;
    }
    EXPECT_EQ(list.CountGetItems(), 5);
    EXPECT_EQ(list.CountHiddenItems(), 3);

    KvSNMPVarList scalars(gTable, SVT_SV, 0);
    EXPECT_FALSE(scalars.IsSetItem(0));
    EXPECT_FALSE(scalars.IsImpliedItem(0));
    scalars.GetItem(0)->Access |= KvAccess::Implied;
    EXPECT_TRUE(scalars.IsImpliedItem(0));
}

TEST(VarListTest, CopiesAreIndependent)
{
    KvSNMPVarList source(gTable, MVT_UMV, 1);
    source.ListName = "rows";
    source.BaseOid = "9.9";
    KvSNMPVarList copy(source);
    EXPECT_EQ(copy.Count(), 8);
    EXPECT_EQ(copy.Type, MVT_UMV);
    EXPECT_EQ(copy.KeyCount, 1);
    EXPECT_EQ(copy.ListName, "rows");
    EXPECT_EQ(copy.BaseOid, ""); // BaseOid is not assigned
    copy.GetItem(2)->Value = "copy";
    EXPECT_EQ(source.GetItem(2)->Value, "initial");

    KvSNMPVarList assigned;
    assigned.BaseOid = "kept";
    assigned = source;
    EXPECT_EQ(assigned.BaseOid, "kept");
    assigned.GetItem(2)->InstanceOid = "1.2";
    EXPECT_EQ(source.GetItem(2)->InstanceOid, "");
}

TEST(VarListTest, SelfAssignmentKeepsItems)
{
    KvSNMPVarList list(gTable, MVT_FMV, 2);
    KvSNMPVarList &alias = list;
    list = alias;
    EXPECT_EQ(list.Count(), 8);
    list.Assign(alias);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.GetItem(2)->Value, "initial");
}

TEST(VarListTest, KeyCountOutsideTheItemsIsRefused)
{
    for (int keyCount : {-1, 9, 100}) {
        try {
            KvSNMPVarList list(gTable, MVT_FMV, keyCount);
            FAIL() << keyCount;
        } catch (const Exception &e) {
            EXPECT_EQ(e.HelpContext, -514);
            EXPECT_EQ(e.Message, "(KvSNMP++) Bad key count of SNMP variable list!");
        }
    }
    KvSNMPVarList list(gTable, MVT_FMV, 8);
    EXPECT_EQ(list.KeyCount, 8);
    list.KeyCount = 20; // a field set by hand is checked where it is used
    KvSNMPVarList other;
    EXPECT_THROW(other = list, Exception);
    EXPECT_EQ(other.Count(), 0);
    EXPECT_THROW(list.SetKeyCount(-2), Exception);
}

TEST(VarListTest, ColumnOidWithBase)
{
    KvSNMPVarList list(gTable, MVT_FMV, 1);
    EXPECT_EQ(list.ColumnOid(0), "1.3.6.1.4.1.32473.11.37.4.3.1.1");
    list.BaseOid = "1.3";
    EXPECT_EQ(list.ColumnOid(0), "1.3.1.3.6.1.4.1.32473.11.37.4.3.1.1");
}

TEST(VarListTest, KeywordLists)
{
    ASSERT_NE(gKvSNMPSyntaxNames, nullptr);
    EXPECT_EQ(gKvSNMPItemTypeNames->Count(), 4);
    EXPECT_EQ(gKvSNMPSyntaxNames->Count(), 25);
    EXPECT_EQ(gKvSNMPAccessNames->Count(), 7);
    EXPECT_EQ(gKvSNMPSyntaxNames->GetPair(0)->Name, "integer");
    EXPECT_EQ(gKvSNMPSyntaxNames->GetPair(11)->Name, "boolean");
    EXPECT_EQ(gKvSNMPSyntaxNames->ValueToName("66"), "guage");
    EXPECT_EQ(gKvSNMPSyntaxNames->NameToValue("displaystr"), "76");
    EXPECT_EQ(gKvSNMPItemTypeNames->ValueToName("2"), "MVT_FMV");
    EXPECT_EQ(gKvSNMPAccessNames->NameToValue("readwrite"), "6");
    EXPECT_EQ(gKvSNMPAccessNames->ValueToName("64"), "64");
}

// Tables shown in list views: columns, rows, selection into the bound controls and the
// write-back of the selected row.
#include "BindingSupport.h"
#include "KvOptionList.h"
#include "StdCtrls.h"

using namespace bindtest;

namespace {

class BindingTable : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        devsim = std::make_unique<Devsim>();
        if (!devsim->ok())
            KV_PEER_MISSING(devsim->why());
        binding = std::make_unique<KvSNMPRequest2Edits>(form);
        target(binding->Request, devsim->port());
        binding->OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *e) { getDone.push_back(e->Code); };
        binding->OnSetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *e) { setDone.push_back(e->Code); };
        list = new TListView(form);
        list->SetParent(form);
        name = new TEdit(form);
        number = new TEdit(form);
    }
    void TearDown() override
    {
        binding.reset();
        devsim.reset();
        BindingTest::TearDown();
    }
    std::vector<std::string> row(int i)
    {
        TListItem *item = list->Items()->Item(i);
        std::vector<std::string> cells{item->Caption()};
        for (int k = 0; k < item->SubItems()->Count(); ++k)
            cells.push_back(item->SubItems()->Strings(k));
        return cells;
    }
    void getAll()
    {
        const auto before = getDone.size();
        ASSERT_TRUE(binding->Get());
        ASSERT_TRUE(pumpUntil([&] { return getDone.size() > before; }));
        ASSERT_EQ(getDone.back(), 0);
    }

    std::unique_ptr<Devsim> devsim;
    std::unique_ptr<KvSNMPRequest2Edits> binding;
    TListView *list = nullptr;
    TEdit *name = nullptr;
    TEdit *number = nullptr;
    std::vector<int> getDone;
    std::vector<int> setDone;
};

TEST_F(BindingTable, AsyncGetSelectAndSetThatRow)
{
    binding->Request.VarList = tableList();
    binding->AssociateEdits(1, "%s", name);
    binding->AssociateEdits(2, "%i", number);
    binding->SetupListView(list, true);
    getAll();

    ASSERT_EQ(list->Columns()->Count(), 4);
    EXPECT_EQ(list->Columns()->Items(0)->Caption(), "Index");
    EXPECT_EQ(list->Columns()->Items(0)->Width(), 0);
    EXPECT_EQ(list->Columns()->Items(1)->Caption(), "Name");
    EXPECT_EQ(list->Columns()->Items(1)->Width(), -2);
    ASSERT_EQ(list->Items()->Count(), 3);
    EXPECT_EQ(row(0), (std::vector<std::string>{"1", "alpha", "11", "10.0.0.1"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"3", "gamma", "33", "10.0.0.3"}));
    EXPECT_EQ(binding->RowCount, 3);
    // Controls stay off until a row is chosen, and show nothing meanwhile.
    EXPECT_FALSE(name->Enabled());
    EXPECT_EQ(name->Text(), "");

    list->SetItemIndex(1);
    EXPECT_TRUE(name->Enabled());
    EXPECT_EQ(name->Text(), "beta");
    EXPECT_EQ(number->Text(), "22");

    name->SetText("BETA");
    number->SetText("222");
    ASSERT_TRUE(binding->Set(false, true));
    ASSERT_TRUE(pumpUntil([&] { return !setDone.empty(); }));
    EXPECT_EQ(setDone[0], 0);
    const std::string log = devsim->writeLog();
    EXPECT_NE(log.find("set noError v2c:private bindName.2=\"BETA\" bindNumber.2=222 bindAddr.2=10.0.0.2\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find(".1="), std::string::npos) << log;
    EXPECT_EQ(log.find(".3="), std::string::npos) << log;
}

TEST_F(BindingTable, SetAfterSetReadsTheTableAgain)
{
    binding->Request.VarList = tableList();
    binding->AssociateEdits(2, "%i", number);
    binding->SetupListView(list, false);
    getAll();
    list->SetItemIndex(2);
    number->SetText("-3");
    ASSERT_TRUE(binding->Set(true, true));
    ASSERT_TRUE(pumpUntil([&] { return !setDone.empty() && getDone.size() == 2; }));
    EXPECT_EQ(row(2), (std::vector<std::string>{"3", "gamma", "-3", "10.0.0.3"}));
    EXPECT_TRUE(number->Enabled());
}

TEST_F(BindingTable, UnfilteredListKeepsControlsEnabled)
{
    binding->Request.VarList = tableList(MVT_UMV);
    binding->AssociateEdits(1, "%s", name);
    binding->SetupListView(list, true);
    getAll();
    EXPECT_TRUE(name->Enabled());
}

TEST_F(BindingTable, SelectionCallsOwnHandlerAndFillsOnce)
{
    binding->Request.VarList = tableList();
    std::vector<std::pair<int, bool>> own;
    list->OnSelectItem = [&](TObject *, TListItem *item, bool selected) {
        own.emplace_back(item->Index(), selected);
    };
    int fills = 0;
    name->OnChange = [&](TObject *) { ++fills; };
    binding->AssociateEdits(1, "%s", name);
    binding->SetupListView(list, true);
    getAll();
    list->SetItemIndex(0);
    own.clear();
    fills = 0;
    auto *box = new TCheckBox(form);
    box->OnClick = [](TObject *) {};
    binding->Associate(3, new TLabel(form));
    binding->Request.VarList.GetItem(0)->Options = nullptr;
    list->SetItemIndex(2);
    EXPECT_EQ(own, (std::vector<std::pair<int, bool>>{{0, false}, {2, true}}));
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(name->Text(), "gamma");
    EXPECT_FALSE(binding->Modified);
}

TEST_F(BindingTable, SelectingClearsModified)
{
    const KvOptionPair pairs[] = {{11, "eleven"}, {22, "twenty-two"}, {}};
    KvOptionList numbers(pairs, okNumber, 0);
    binding->Request.VarList = tableList();
    auto *combo = new TComboBox(form);
    combo->OnChange = [](TObject *) {};
    binding->AddAssociation(2, 0, KvSyntax::Integer, &numbers, combo);
    binding->SetupListView(list, true);
    getAll();
    list->SetItemIndex(0);
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->OnChange(combo);
    EXPECT_TRUE(binding->Modified);
    list->SetItemIndex(1);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_FALSE(binding->Modified);
}

// A form may mark items hidden or left out after the list is filled (the form kit hides a
// status row while a row is edited, a delete leaves the other columns out): the cells still
// belong to the columns the list view was set up with, so the Set addresses the selected row.
TEST_F(BindingTable, ChangedAccessFlagsKeepTheColumnsOfTheFilledList)
{
    struct Case {
        const char *what;
        int item;
        uint32_t flag;
        const char *written;
    };
    const Case cases[] = {
        {"address hidden", 3, KvAccess::Hidden, "bindName.2=\"BETA\" bindNumber.2=22 bindAddr.2=10.0.0.2\n"},
        {"number left out", 2, KvAccess::Invalid, "bindName.2=\"BETA\" bindAddr.2=10.0.0.2\n"},
    };
    const std::string base = kTableBase;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        // The key is a shown column here, so any item turning hidden would move before it.
        binding->Request.VarList =
            makeList({{base + ".1", "Index", KvSyntax::Integer, KvAccess::NotAccess},
                      {base + ".2", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                      {base + ".3", "Number", KvSyntax::Integer, KvAccess::ReadWrite},
                      {base + ".4", "Address", KvSyntax::IpAddress, KvAccess::ReadWrite}},
                     MVT_FMV, 1, "BindTable");
        binding->AssociateEdits(1, "%s", name);
        binding->SetupListView(list, true);
        getAll();
        ASSERT_EQ(list->Items()->Count(), 3);
        list->SetItemIndex(1);
        ASSERT_EQ(name->Text(), "beta");

        // A Set puts the list back from a copy: the item is looked up again each time.
        binding->Request.VarList.GetItem(c.item)->Access |= c.flag;
        name->SetText("BETA");
        setDone.clear();
        ASSERT_TRUE(binding->Set(false, true));
        ASSERT_TRUE(pumpUntil([&] { return !setDone.empty(); }));
        EXPECT_EQ(setDone[0], 0);
        const std::string log = devsim->writeLog();
        EXPECT_NE(log.find(std::string("set noError v2c:private ") + c.written), std::string::npos) << log;

        // Rows read while the flag is still set follow the same columns.
        getAll();
        ASSERT_EQ(row(1).size(), 4u);
        EXPECT_EQ(row(1)[0], "2");
        EXPECT_EQ(row(1)[1], "BETA");
        list->SetItemIndex(-1);
        list->SetItemIndex(1);
        EXPECT_EQ(binding->Request.VarList.GetItem(0)->Value, "2");
        EXPECT_EQ(name->Text(), "BETA");
        binding->Request.VarList.GetItem(c.item)->Access &= ~c.flag;

        // Put the row back for the next case.
        name->SetText("beta");
        setDone.clear();
        ASSERT_TRUE(binding->Set(false, true));
        ASSERT_TRUE(pumpUntil([&] { return !setDone.empty(); }));
        binding->Disassociate(1);
    }
}

TEST_F(BindingTable, ColumnLayout)
{
    const std::string base = kTableBase;
    binding->Request.VarList = makeList({{base + ".1", "K1", KvSyntax::Integer, KvAccess::Hidden},
                                         {base + ".5", "K2", KvSyntax::Integer, KvAccess::Hidden},
                                         {base + ".2", "A", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                                         {base + ".6", "W", KvSyntax::Integer, KvAccess::WriteOnly},
                                         {base + ".3", "B", KvSyntax::Integer, KvAccess::ReadOnly},
                                         {base + ".4", "C", KvSyntax::IpAddress, KvAccess::ReadWrite}},
                                        MVT_FMV, 2);
    binding->SetupListView(list, true);
    std::vector<std::string> captions;
    std::vector<int> widths;
    for (int i = 0; i < list->Columns()->Count(); ++i) {
        captions.push_back(list->Columns()->Items(i)->Caption());
        widths.push_back(list->Columns()->Items(i)->Width());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"K1", "K2", "W", "A", "B", "C"}));
    EXPECT_EQ(widths, (std::vector<int>{0, 0, 0, -2, -2, -2}));
    EXPECT_TRUE(list->ReadOnly());
    EXPECT_TRUE(list->GridLines());
    EXPECT_FALSE(list->HideSelection());

    // A row's caption is the first key.
    for (int i = 0; i < binding->Request.VarList.Count(); ++i)
        binding->Request.VarList.GetItem(i)->Value = "v" + std::to_string(i);
    binding->AddListRow();
    EXPECT_EQ(row(0), (std::vector<std::string>{"v0", "v1", "v3", "v2", "v4", "v5"}));
    list->SetItemIndex(0);
    binding->Request.VarList.GetItem(4)->Value.clear();
    binding->SelectedRowToValues();
    EXPECT_EQ(binding->Request.VarList.GetItem(4)->Value, "v4");

    // Columns the list view already has are kept.
    auto *own = new TListView(form);
    for (const char *c : {"a", "b", "c", "d", "e", "f", "g"}) {
        TListColumn *col = own->Columns()->Add();
        col->SetCaption(c);
        col->SetWidth(33);
    }
    binding->SetupListView(own, true);
    EXPECT_EQ(own->Columns()->Count(), 7);
    EXPECT_EQ(own->Columns()->Items(0)->Caption(), "a");
    EXPECT_EQ(own->Columns()->Items(0)->Width(), 33);
}

} // namespace

#include "ComCtrls.h"
#include "GuiTestSupport.h"

#include <QTreeWidget>

#include <string>
#include <vector>

namespace {

class ListView : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        lv = new TListView(form.get());
        lv->SetParent(form.get());
        for (const char *caption : {"Index", "MAC", "Name"}) {
            TListColumn *c = lv->Columns()->Add();
            c->SetCaption(caption);
        }
        lv->Columns()->Items(0)->SetWidth(0);
        lv->Columns()->Items(1)->SetWidth(-2);
        for (int i = 1; i <= 3; ++i) {
            TListItem *item = lv->Items()->Add();
            item->SetCaption(std::to_string(i));
            item->SubItems()->Add("00112233445" + std::to_string(i));
            item->SubItems()->Add("row" + std::to_string(i));
        }
        lv->OnSelectItem = [this](TObject *, TListItem *item, bool selected) {
            log.push_back((selected ? "+" : "-") + item->Caption());
        };
    }
    std::unique_ptr<TForm> form;
    TListView *lv = nullptr;
    std::vector<std::string> log;
};

TEST_F(ListView, ColumnsHiddenAndFitted)
{
    auto *tree = static_cast<QTreeWidget *>(lv->Widget());
    EXPECT_EQ(tree->columnCount(), 3);
    EXPECT_TRUE(tree->isColumnHidden(0));
    EXPECT_FALSE(tree->isColumnHidden(1));
    EXPECT_GT(tree->columnWidth(1), 0);
    EXPECT_EQ(lv->Columns()->Items(1)->Width(), -2);
    EXPECT_EQ(tree->topLevelItem(1)->text(2).toStdString(), "row2");
}

// The column follows its widest cell wherever a row lands and whichever cell changes.
TEST_F(ListView, FittedColumnWidensForAnInsertedRowAndAChangedCell)
{
    auto *tree = static_cast<QTreeWidget *>(lv->Widget());
    const int narrow = tree->columnWidth(1);
    TListItem *top = lv->Items()->Insert(0);
    top->SubItems()->Add("00112233445566778899aabbccdd");
    const int inserted = tree->columnWidth(1);
    EXPECT_GT(inserted, narrow);
    EXPECT_EQ(tree->topLevelItem(0)->text(1).toStdString(), "00112233445566778899aabbccdd");

    lv->Items()->Item(2)->SubItems()->SetString(0, "00112233445566778899aabbccddeeff0011");
    EXPECT_GT(tree->columnWidth(1), inserted);
    EXPECT_EQ(tree->topLevelItem(2)->text(1).toStdString(), "00112233445566778899aabbccddeeff0011");
    EXPECT_EQ(tree->columnWidth(1), tree->sizeHintForIndex(tree->model()->index(2, 1)).width());
}

TEST_F(ListView, MovingSelectionReportsDeselectThenSelect)
{
    lv->Items()->Item(0)->SetSelected(true);
    lv->SetSelected(lv->Items()->Item(2));
    EXPECT_EQ(log, (std::vector<std::string>{"+1", "-1", "+3"}));
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(2));
    EXPECT_EQ(lv->ItemIndex(), 2);
}

TEST_F(ListView, UserSelectionReportsTheSameWay)
{
    auto *tree = static_cast<QTreeWidget *>(lv->Widget());
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->setCurrentItem(tree->topLevelItem(1));
    EXPECT_EQ(log, (std::vector<std::string>{"+1", "-1", "+2"}));
    EXPECT_EQ(lv->Selected()->SubItems()->Strings(1), "row2");
}

TEST_F(ListView, SelectingTheSelectedItemReportsNothing)
{
    lv->SetItemIndex(1);
    lv->SetItemIndex(1);
    EXPECT_EQ(log, (std::vector<std::string>{"+2"}));
    lv->SetSelected(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"+2", "-2"}));
}

TEST_F(ListView, ClearAndDeleteDropTheSelectionSilently)
{
    lv->SetItemIndex(1);
    lv->Items()->Delete(1);
    EXPECT_EQ(lv->Selected(), nullptr);
    EXPECT_EQ(lv->Items()->Count(), 2);
    lv->SetItemIndex(0);
    lv->Items()->Clear();
    EXPECT_EQ(lv->Selected(), nullptr);
    EXPECT_EQ(lv->Items()->Count(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"+2", "+1"}));
}

TEST_F(ListView, HandlerThatClearsTheListOnDeselectIsSafe)
{
    lv->SetItemIndex(0);
    lv->OnSelectItem = [this](TObject *, TListItem *, bool selected) {
        if (!selected)
            lv->Items()->Clear();
        else
            log.push_back("select after clear");
    };
    lv->SetItemIndex(1);
    EXPECT_EQ(lv->Items()->Count(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"+1"}));
}

TEST_F(ListView, ColumnsClearedAndRebuilt)
{
    lv->Columns()->Clear();
    EXPECT_EQ(lv->Columns()->Count(), 0);
    lv->Columns()->Add()->SetCaption("Only");
    EXPECT_EQ(static_cast<QTreeWidget *>(lv->Widget())->columnCount(), 1);
}

} // namespace

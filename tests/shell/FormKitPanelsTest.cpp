// The kit's building blocks without a device: button bar, message area and rows.
#include "FormKitSupport.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

using namespace formkittest;

namespace {

constexpr const char *kSys = "1.3.6.1.2.1.1";

KvOptionPair kStatusPairs[] = {{1, "active"}, {2, "notInService"}, {4, "createAndGo"}, {6, "destroy"}, {}};
KvOptionList gStatus(kStatusPairs);

KvSNMPVarList readOnlyPair()
{
    return makeList({{std::string(kSys) + ".1", "Description", KvSyntax::DisplayStr, KvAccess::ReadOnly},
                     {std::string(kSys) + ".3", "Uptime", KvSyntax::TimeTicks, KvAccess::ReadOnly}},
                    SVT_SV, 0);
}

KvSNMPVarList settables(int n)
{
    std::vector<Item> items;
    for (int i = 0; i < n; ++i)
        items.push_back({std::string(kSys) + "." + std::to_string(4 + i), "Item " + std::to_string(i),
                         KvSyntax::DisplayStr, KvAccess::ReadWrite});
    return makeList(items, SVT_SV, 0);
}

std::vector<std::string> visibleButtons(const TCtrlBtnPanel *bar)
{
    std::vector<std::string> names;
    const std::pair<TBitBtn *, const char *> all[] = {
        {bar->RefreshBtn, "Refresh"},         {bar->EditBtn, "Edit"},
        {bar->SetCheckedBtn, "SetChecked"},   {bar->AddBtn, "Add"},
        {bar->DeleteBtn, "Delete"},           {bar->CheckAllBtn, "CheckAll"},
        {bar->ClearChecksBtn, "ClearChecks"}, {bar->CloseBtn, "Close"}};
    for (const auto &[button, name] : all)
        if (button->Visible())
            names.push_back(name);
    return names;
}

// A 1 x 1 picture in the BMP format.
void writeBmp(const std::string &path)
{
    const uint8_t bytes[] = {'B', 'M', 58,   0,    0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0,   0, 1,    0,
                             0,   0,   1,    0,    0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0,   0, 0x13, 0x0B,
                             0,   0,   0x13, 0x0B, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 255, 0};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

class FormKitPanels : public KitTest {};

} // namespace

TEST_F(FormKitPanels, TwoReadOnlyItemsGiveDisabledRowsAndOnlyRefreshAndClose)
{
    auto binding = makeBinding(host, readOnlyPair());
    auto *panel = new TSNMPEditorPanel(host, binding.get());
    TEditsPanel *edits = panel->EditsPanel;
    ASSERT_EQ(edits->RowCount(), 2);
    for (const UISnmpVar &row : edits->Rows) {
        EXPECT_EQ(row.Kind, 1);
        EXPECT_FALSE(row.CheckBox->Visible());
        EXPECT_TRUE(dynamic_cast<TEdit *>(row.Editor)->ReadOnly());
    }
    EXPECT_TRUE(edits->AllReadOnly());
    EXPECT_EQ(visibleButtons(panel->BtnPanel), (std::vector<std::string>{"Refresh", "Close"}));
}

TEST_F(FormKitPanels, OneSettableItemShowsAPlainSetButtonAndNoCheckBox)
{
    auto binding = makeBinding(host, settables(1));
    auto *panel = new TSNMPEditorPanel(host, binding.get());
    TCtrlBtnPanel *bar = panel->BtnPanel;
    EXPECT_EQ(visibleButtons(bar), (std::vector<std::string>{"Refresh", "SetChecked", "Close"}));
    EXPECT_EQ(bar->SetCheckedBtn->Caption(), "Set");
    EXPECT_TRUE(bar->SetCheckedBtn->Enabled());
    const UISnmpVar &row = panel->EditsPanel->Rows[0];
    EXPECT_TRUE(row.CheckBox->Checked());
    EXPECT_FALSE(row.CheckBox->Visible());
}

TEST_F(FormKitPanels, SetCheckedFollowsTheTicksOfThreeSettableRows)
{
    auto binding = makeBinding(host, settables(3));
    auto *panel = new TSNMPEditorPanel(host, binding.get());
    TEditsPanel *edits = panel->EditsPanel;
    TCtrlBtnPanel *bar = panel->BtnPanel;
    EXPECT_EQ(visibleButtons(bar),
              (std::vector<std::string>{"Refresh", "SetChecked", "CheckAll", "ClearChecks", "Close"}));
    EXPECT_EQ(bar->SetCheckedBtn->Caption(), "Set Checked");
    for (const UISnmpVar &row : edits->Rows) {
        EXPECT_TRUE(row.CheckBox->Visible());
        EXPECT_FALSE(row.CheckBox->Checked());
    }
    EXPECT_FALSE(bar->SetCheckedBtn->Enabled());
    edits->Rows[1].CheckBox->SetChecked(true);
    EXPECT_TRUE(bar->SetCheckedBtn->Enabled());
    edits->Rows[1].CheckBox->SetChecked(false);
    EXPECT_FALSE(bar->SetCheckedBtn->Enabled());

    panel->CheckAllClick(bar->CheckAllBtn);
    EXPECT_EQ(edits->CountChecked(), 3);
    EXPECT_TRUE(bar->SetCheckedBtn->Enabled());
    panel->ClearChecksClick(bar->ClearChecksBtn);
    EXPECT_EQ(edits->CountChecked(), 0);
    EXPECT_FALSE(bar->SetCheckedBtn->Enabled());
}

TEST_F(FormKitPanels, RowKindsFollowAccessAndValueNames)
{
    auto list = makeList({{"1.1", "ro", KvSyntax::Integer, KvAccess::ReadOnly},
                          {"1.2", "rw", KvSyntax::Integer, KvAccess::ReadWrite},
                          {"1.3", "rw named", KvSyntax::Integer, KvAccess::ReadWrite, &gStatus},
                          {"1.4", "ro named", KvSyntax::Integer, KvAccess::ReadOnly, &gStatus}},
                         SVT_SV, 0);
    auto binding = makeBinding(host, list);
    TEditsPanel edits(host, binding.get());
    const int kinds[] = {1, 2, 3, 4};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const UISnmpVar &row = edits.Rows[static_cast<std::size_t>(i)];
        EXPECT_EQ(row.Kind, kinds[i]);
        EXPECT_EQ(row.Format, "%s");
        EXPECT_EQ(row.Editor->Tag, i);
        EXPECT_EQ(row.CheckBox->Tag, i);
        EXPECT_EQ(row.Label->Caption(), list.GetItem(i)->Name);
        EXPECT_EQ(dynamic_cast<TComboBox *>(row.Editor) != nullptr, kinds[i] == 3);
    }
    auto *combo = dynamic_cast<TComboBox *>(edits.Rows[2].Editor);
    EXPECT_EQ(combo->Items()->Count(), 4);
    EXPECT_EQ(combo->Items()->Strings(3), "destroy");
}

TEST_F(FormKitPanels, KeyColumnIsReadOnlyEvenWhenSettable)
{
    auto list = makeList({{"1.1", "Index", KvSyntax::Integer, KvAccess::ReadWrite},
                          {"1.2", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite}},
                         MVT_FMV, 1);
    auto binding = makeBinding(host, list);
    TEditsPanel edits(host, binding.get());
    EXPECT_EQ(edits.Rows[0].Kind, 2);
    EXPECT_FALSE(edits.IsEditableRow(0));
    EXPECT_TRUE(dynamic_cast<TEdit *>(edits.Rows[0].Editor)->ReadOnly());
    EXPECT_FALSE(edits.Rows[0].CheckBox->Visible());
    EXPECT_FALSE(dynamic_cast<TEdit *>(edits.Rows[1].Editor)->ReadOnly());
    EXPECT_TRUE(edits.Rows[1].CheckBox->Visible());
}

TEST_F(FormKitPanels, SettableEditsAcceptAtMost42Characters)
{
    auto binding = makeBinding(host, settables(2));
    TEditsPanel edits(host, binding.get());
    EXPECT_EQ(dynamic_cast<TEdit *>(edits.Rows[0].Editor)->MaxLength(), 42);
    EXPECT_EQ(dynamic_cast<TEdit *>(edits.Rows[1].Editor)->MaxLength(), 42);
}

TEST_F(FormKitPanels, AHiddenRowTakesNoPlaceAndComesBackInListOrder)
{
    auto binding = makeBinding(host, settables(3));
    TEditsPanel edits(host, binding.get());
    const int top1 = edits.Rows[1].Editor->Top();
    const int top2 = edits.Rows[2].Editor->Top();
    const int height = edits.Height();
    ASSERT_LT(top1, top2);

    edits.HideRow(1);
    EXPECT_NE(binding->Request.VarList.GetItem(1)->Access & KvAccess::Hidden, 0u);
    edits.LayoutRows(true);
    EXPECT_FALSE(edits.Rows[1].Editor->Visible());
    EXPECT_EQ(edits.Rows[2].Editor->Top(), top1);
    EXPECT_LT(edits.Height(), height);

    edits.ShowRow(1);
    EXPECT_EQ(binding->Request.VarList.GetItem(1)->Access & KvAccess::Hidden, 0u);
    edits.LayoutRows(true);
    EXPECT_EQ(edits.Rows[1].Editor->Top(), top1);
    EXPECT_EQ(edits.Rows[2].Editor->Top(), top2);
    EXPECT_EQ(edits.Height(), height);
}

TEST_F(FormKitPanels, RowsAreLaidOutBelowEachOther)
{
    auto binding = makeBinding(host, settables(3));
    TEditsPanel edits(host, binding.get());
    const UISnmpVar &first = edits.Rows[0];
    EXPECT_EQ(first.Editor->Top(), 20);
    EXPECT_EQ(first.CheckBox->Left(), 20);
    EXPECT_EQ(first.Label->Left(), 45);
    EXPECT_EQ(first.Editor->Width(), 121);
    for (int i = 1; i < 3; ++i) {
        const UISnmpVar &row = edits.Rows[static_cast<std::size_t>(i)];
        EXPECT_EQ(row.Editor->Top(),
                  edits.Rows[static_cast<std::size_t>(i - 1)].Editor->Top() + row.Editor->Height() + 5);
        EXPECT_EQ(row.Editor->Left(), first.Editor->Left());
    }
    edits.SetEditorWidth(200);
    EXPECT_EQ(edits.Rows[2].Editor->Width(), 200);
    EXPECT_EQ(edits.Width(), edits.Rows[2].Editor->Left() + 200 + 40);
}

TEST_F(FormKitPanels, RowOperationsRefuseAnIndexOutsideTheRows)
{
    auto binding = makeBinding(host, settables(3));
    TEditsPanel edits(host, binding.get());
    const std::function<void()> ops[] = {
        [&] { edits.EnableRow(3); }, [&] { edits.HideRow(-1); },         [&] { edits.ShowRow(7); },
        [&] { edits.ClearRow(3); },  [&] { (void)edits.IsRowEmpty(3); },
    };
    for (const auto &op : ops) {
        try {
            op();
            ADD_FAILURE() << "no exception";
        } catch (const Exception &e) {
            EXPECT_EQ(e.Message.rfind("TEditsPanel::", 0), 0u) << e.Message;
            EXPECT_NE(e.Message.find("< 3"), std::string::npos) << e.Message;
        }
    }
    // DisableRow tells the user and changes nothing.
    edits.DisableRow(3);
    ASSERT_NE(boxes().lastCall(), nullptr);
    EXPECT_EQ(boxes().lastCall()->text, "aIdx is overtop!\n you may define < 3");
    EXPECT_EQ(boxes().lastCall()->flags, static_cast<unsigned>(MB_OK));
}

TEST_F(FormKitPanels, ArrangeCtrlBtnWithoutBindingRaises)
{
    TEditsPanel edits(host, nullptr);
    TCtrlBtnPanel bar(host);
    try {
        edits.ArrangeCtrlBtn(&bar);
        ADD_FAILURE() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message, "TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!");
    }
}

TEST_F(FormKitPanels, ClearRowEmptiesEditorAndValue)
{
    auto list = makeList({{"1.1", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                          {"1.2", "Status", KvSyntax::Integer, KvAccess::ReadWrite, &gStatus}},
                         SVT_SV, 0);
    auto binding = makeBinding(host, list);
    TEditsPanel edits(host, binding.get());
    edits.Rows[0].Editor->SetText("abc");
    auto *combo = dynamic_cast<TComboBox *>(edits.Rows[1].Editor);
    combo->SetItemIndex(2);
    binding->Request.VarList.GetItem(0)->Value = "abc";
    EXPECT_FALSE(edits.IsRowEmpty(0));
    EXPECT_FALSE(edits.IsRowEmpty(1));
    edits.ClearAll();
    EXPECT_TRUE(edits.IsRowEmpty(0));
    EXPECT_TRUE(edits.IsRowEmpty(1));
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(binding->Request.VarList.GetItem(0)->Value, "");
}

TEST_F(FormKitPanels, ButtonBarStacksOnlyVisibleControls)
{
    TCtrlBtnPanel bar(host);
    EXPECT_FALSE(bar.AddBtn->Visible());
    EXPECT_FALSE(bar.DeleteBtn->Visible());
    EXPECT_EQ(bar.Width(), 2 * 10 + 96);
    EXPECT_EQ(bar.Ctrls.size(), 10u);
    EXPECT_EQ(bar.Ctrls[0], bar.CountText);
    EXPECT_EQ(bar.Ctrls[1], bar.SamplesLabel);
    bar.EditBtn->Hide();
    bar.ArrangeButtons();
    int y = 10;
    for (TControl *c : bar.Ctrls) {
        EXPECT_EQ(c->Left(), 10);
        EXPECT_EQ(c->Width(), 96);
        EXPECT_EQ(c->Top(), y);
        if (c->Visible())
            y = c->Top() + c->Height() + 5;
    }
    EXPECT_EQ(bar.SetCheckedBtn->Top(), bar.RefreshBtn->Top() + bar.RefreshBtn->Height() + 5);
}

TEST_F(FormKitPanels, ButtonPicturesComeFromTheCurrentFolder)
{
    const std::string dir = kvtest::makeTempDir("kv-formkit-bmp-");
    writeBmp(dir + "/Get.bmp");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    auto bar = std::make_unique<TCtrlBtnPanel>(host);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
    EXPECT_TRUE(bar->RefreshBtn->HasGlyph());
    EXPECT_EQ(bar->RefreshBtn->Caption(), "");
    EXPECT_FALSE(bar->EditBtn->HasGlyph());
    EXPECT_EQ(bar->EditBtn->Caption(), "Edit");
    EXPECT_EQ(bar->CloseBtn->Caption(), "Close");
}

TEST_F(FormKitPanels, MessagePanelIsTheBindingsLogTarget)
{
    auto binding = makeBinding(host, settables(2));
    auto *panel = new TSNMPEditorPanel(host, binding.get());
    ASSERT_NE(panel->MsgPanel, nullptr);
    EXPECT_EQ(panel->MsgPanel->Height(), 50);
    EXPECT_TRUE(panel->MsgPanel->Memo->ReadOnly());
    EXPECT_EQ(binding->LogTarget, panel->MsgPanel->Memo);
    binding->ShowRequestLog("hello");
    EXPECT_EQ(panel->MsgPanel->Memo->Lines()->Count(), 1);
    EXPECT_NE(panel->MsgPanel->Memo->Lines()->Strings(0).find("hello"), std::string::npos);
}

TEST_F(FormKitPanels, CloseWithoutFormAsksForOne)
{
    auto binding = makeBinding(host, settables(1));
    auto *panel = new TSNMPEditorPanel(host, binding.get());
    panel->CloseClick(panel->BtnPanel->CloseBtn);
    ASSERT_NE(boxes().lastCall(), nullptr);
    EXPECT_EQ(boxes().lastCall()->text, "Please initial close form");
}

TEST_F(FormKitPanels, AttachFormFitsTheFormWithinLimits)
{
    auto binding = makeBinding(host, settables(3));
    auto *form = new TForm(app.get());
    form->SetClientWidth(100);
    form->SetClientHeight(100);
    auto *panel = new TSNMPEditorPanel(form, binding.get());
    panel->AttachForm(form);
    EXPECT_EQ(panel->OwnerForm, form);
    EXPECT_GE(form->ClientWidth(), std::min(panel->Width(), 800));
    EXPECT_LE(form->ClientWidth(), 800);
    EXPECT_LE(form->ClientHeight(), 550);
    EXPECT_EQ(panel->Align(), alClient);
    panel->EditsPanel->SetEditorWidth(2000);
    panel->SetEditorWidth(2000);
    EXPECT_EQ(form->ClientWidth(), 800);
}

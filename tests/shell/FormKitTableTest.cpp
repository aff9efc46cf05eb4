// The kit's SNMP panels and the configuration form without a device: buttons, status
// columns, dialogs, hints, and the flags a refused or failed Set must leave as they were.
#include "FormKitSupport.h"

using namespace formkittest;

namespace {

KvOptionPair kStatusPairs[] = {{1, "active"}, {2, "notInService"}, {4, "createAndGo"}, {6, "destroy"}, {}};
KvOptionList gStatus(kStatusPairs);

constexpr const char *kTable = "1.3.6.1.4.1.32473.11.37.4.250.1.1";

KvSNMPVarList statusTable()
{
    const std::string t = kTable;
    return makeList({{t + ".1", "Index", KvSyntax::Integer, KvAccess::NotAccess},
                     {t + ".2", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                     {t + ".3", "Address", KvSyntax::IpAddress, KvAccess::ReadWrite},
                     {t + ".4", "Status", KvSyntax::Integer, KvAccess::ReadWrite, &gStatus}},
                    MVT_FMV, 1);
}

class FormKitTable : public KitTest {};

} // namespace

TEST_F(FormKitTable, ListPanelShowsAddAndDeleteOnlyForStatusColumns)
{
    auto binding = makeBinding(host, statusTable());
    auto *panel = new TSNMPListViewPanel(host, binding.get());
    TCtrlBtnPanel *bar = panel->BtnPanel;
    EXPECT_TRUE(bar->SamplesLabel->Visible());
    EXPECT_TRUE(bar->CountText->Visible());
    EXPECT_TRUE(bar->RefreshBtn->Visible());
    EXPECT_TRUE(bar->EditBtn->Visible());
    EXPECT_FALSE(bar->EditBtn->Enabled());
    EXPECT_FALSE(bar->SetCheckedBtn->Visible());
    EXPECT_FALSE(bar->CheckAllBtn->Visible());
    EXPECT_FALSE(bar->AddBtn->Visible());
    EXPECT_FALSE(bar->DeleteBtn->Visible());
    EXPECT_EQ(panel->ClientCtrl, panel->ListViewPanel);
    EXPECT_FALSE(panel->EditsPanel->Visible());
    EXPECT_LE(panel->ListViewPanel->Width(), 450);
    EXPECT_EQ(panel->ListViewPanel->Height(), 350);

    panel->SetAddStatus(3, "createAndGo");
    EXPECT_TRUE(bar->AddBtn->Visible());
    EXPECT_FALSE(bar->DeleteBtn->Visible());
    EXPECT_EQ(panel->ListViewPanel->AddStatusColumn, 3);
    EXPECT_EQ(panel->ListViewPanel->AddStatusValue, "createAndGo");
}

TEST_F(FormKitTable, StatusValuesMustBeOfferedByAComboRow)
{
    auto binding = makeBinding(host, statusTable());
    auto *panel = new TSNMPListViewPanel(host, binding.get());
    struct Case {
        bool add;
        int column;
        const char *value;
        const char *message;
    };
    const Case cases[] = {
        {true, 3, "create", "TSNMPListViewPanel::SetAddStatus - Wrong AddStatusValue:create"},
        {false, 3, "gone", "TSNMPListViewPanel::SetDeleteStatus - Wrong DeleteStatusValue:gone"},
        // A row that is not a combo box, and a column outside the rows.
        {false, 1, "destroy", "TSNMPListViewPanel::SetDeleteStatus - Wrong DeleteStatusValue:destroy"},
        {true, 9, "createAndGo", "TSNMPListViewPanel::SetAddStatus - Wrong AddStatusValue:createAndGo"},
        {true, -1, "createAndGo", "TSNMPListViewPanel::SetAddStatus - Wrong AddStatusValue:createAndGo"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        try {
            if (c.add)
                panel->SetAddStatus(c.column, c.value);
            else
                panel->SetDeleteStatus(c.column, c.value);
            ADD_FAILURE() << "no exception";
        } catch (const Exception &e) {
            EXPECT_EQ(e.Message, c.message);
        }
        EXPECT_EQ(panel->ListViewPanel->AddStatusColumn, -1);
        EXPECT_EQ(panel->ListViewPanel->DeleteStatusColumn, -1);
        EXPECT_FALSE(panel->BtnPanel->AddBtn->Visible());
        EXPECT_FALSE(panel->BtnPanel->DeleteBtn->Visible());
    }
}

TEST_F(FormKitTable, AddDialogIsCaptionedAfterTheFormAndTicksKeyAndStatusRows)
{
    auto *form = new TForm(app.get());
    form->SetCaption("X");
    auto binding = makeBinding(form, statusTable());
    binding->Mode = 2; // no device: the refresh after the dialog sends nothing
    auto *panel = new TSNMPListViewPanel(form, binding.get());
    panel->AttachForm(form);
    panel->SetAddStatus(3, "createAndGo");
    std::string caption;
    bool keyTicked = false, keyLocked = false, statusTicked = false, statusLocked = false;
    std::string statusText;
    bool nameTicked = true;
    onNextModal([&](TForm *dialog) {
        caption = dialog->Caption();
        const UISnmpVar &key = panel->EditsPanel->Rows[0];
        keyTicked = key.CheckBox->Checked();
        keyLocked = !key.CheckBox->Enabled() && key.Editor->Enabled();
        const UISnmpVar &status = panel->EditsPanel->Rows[3];
        statusTicked = status.CheckBox->Checked();
        statusLocked = !status.CheckBox->Enabled() && !status.Editor->Enabled();
        statusText = status.Editor->Text();
        nameTicked = panel->EditsPanel->Rows[1].CheckBox->Checked();
        EXPECT_EQ(panel->EditsPanel->ParentForm(), dialog);
    });
    panel->AddClick(panel->BtnPanel->AddBtn);
    EXPECT_EQ(caption, "X (Add)");
    EXPECT_TRUE(keyTicked);
    EXPECT_TRUE(keyLocked);
    EXPECT_TRUE(statusTicked);
    EXPECT_TRUE(statusLocked);
    EXPECT_EQ(statusText, "createAndGo");
    EXPECT_FALSE(nameTicked);
    // The edits panel is back, hidden, and the dialog is gone.
    EXPECT_EQ(panel->EditsPanel->Parent(), panel->ClientPanel);
    EXPECT_FALSE(panel->EditsPanel->Visible());
    EXPECT_EQ(modalForm(), nullptr);
    EXPECT_EQ(panel->EditsPanel->ButtonBar(), panel->BtnPanel);
}

TEST_F(FormKitTable, HoveringARowOfThreeColumnsGivesThreeLines)
{
    const std::string t = kTable;
    auto list = makeList({{t + ".2", "Name", KvSyntax::DisplayStr, KvAccess::ReadOnly},
                          {t + ".3", "Address", KvSyntax::IpAddress, KvAccess::ReadOnly},
                          {t + ".4", "Status", KvSyntax::Integer, KvAccess::ReadOnly}},
                         MVT_UMV, 0);
    auto binding = makeBinding(host, list);
    auto *panel = new TSNMPListViewPanel(host, binding.get());
    TListView *lv = panel->ListViewPanel->ListView;
    ASSERT_EQ(lv->Columns()->Count(), 3);
    TListItem *item = lv->Items()->Add();
    item->SetCaption("alpha");
    item->SubItems()->Add("10.1.1.1");
    item->SubItems()->Add("1");
    EXPECT_EQ(panel->BuildItemHint(item), "Name\t\t\t  alpha\nAddress  10.1.1.1\nStatus\t  1\n");
    panel->ListChange(lv, item, 0);
    EXPECT_EQ(panel->BtnPanel->CountText->Caption(), "1");
    panel->ListMouseMove(lv, 0, -100, -100);
    EXPECT_FALSE(lv->ShowHint());
}

TEST_F(FormKitTable, ListClickFollowsTheSelection)
{
    auto binding = makeBinding(host, statusTable());
    auto *panel = new TSNMPListViewPanel(host, binding.get());
    TListView *lv = panel->ListViewPanel->ListView;
    TListItem *item = lv->Items()->Add();
    item->SetCaption("1");
    for (const char *s : {"alpha", "10.1.1.1", "active"})
        item->SubItems()->Add(s);
    lv->SetSelected(item);
    panel->ListClick(lv);
    EXPECT_TRUE(panel->BtnPanel->EditBtn->Enabled());
    EXPECT_TRUE(panel->BtnPanel->DeleteBtn->Enabled());
    EXPECT_EQ(panel->EditsPanel->Rows[1].Editor->Text(), "alpha");
    lv->SetSelected(nullptr);
    panel->ListClick(lv);
    EXPECT_FALSE(panel->BtnPanel->EditBtn->Enabled());
    EXPECT_FALSE(panel->BtnPanel->DeleteBtn->Enabled());
    EXPECT_EQ(panel->EditsPanel->Rows[1].Editor->Text(), "");
}

TEST_F(FormKitTable, DeleteWithoutSelectionAsksNothingAndSendsNothing)
{
    auto binding = makeBinding(host, statusTable());
    binding->Request.Device.Address = "not an address at all";
    auto *panel = new TSNMPListViewPanel(host, binding.get());
    panel->SetDeleteStatus(3, "destroy");
    panel->DeleteClick(panel->BtnPanel->DeleteBtn);
    EXPECT_TRUE(boxes().calls().empty());
    EXPECT_EQ(binding->Mode, 1);
}

TEST_F(FormKitTable, EmptyTickedRowBlocksTheSetAndRestoresModeAndFlags)
{
    const std::string sys = "1.3.6.1.2.1.1";
    auto list =
        makeList({{sys + ".4", "Contact", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                  {sys + ".5", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                  {sys + ".6", "Location", KvSyntax::DisplayStr, KvAccess::ReadWrite | KvAccess::Invalid},
                  {sys + ".7", "Other", KvSyntax::DisplayStr, KvAccess::ReadWrite}},
                 SVT_SV, 0);
    auto binding = makeBinding(host, list);
    // Anything sent would fail on this address, and it would show in the memo.
    binding->Request.Device.Address = "not an address at all";
    auto *panel = new TSNMPEditorPanel(host, binding.get());
    TEditsPanel *edits = panel->EditsPanel;
    edits->Rows[0].Editor->SetText("x");
    edits->Rows[0].CheckBox->SetChecked(true);
    edits->Rows[1].CheckBox->SetChecked(true); // ticked, empty
    panel->SetCheckedClick(panel->BtnPanel->SetCheckedBtn);
    ASSERT_NE(boxes().lastCall(), nullptr);
    EXPECT_EQ(boxes().lastCall()->text, "Some items are empty!");
    EXPECT_EQ(boxes().lastCall()->caption, "Warning");
    EXPECT_EQ(boxes().lastCall()->flags, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(panel->MsgPanel->Memo->Lines()->Count(), 0);
    EXPECT_EQ(binding->Mode, 1);
    const uint32_t expected[] = {KvAccess::ReadWrite, KvAccess::ReadWrite,
                                 KvAccess::ReadWrite | KvAccess::Invalid, KvAccess::ReadWrite};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(binding->Request.VarList.GetItem(i)->Access, expected[i]) << i;
}

TEST_F(FormKitTable, AnExceptionOfTheSetIsLoggedAndModeAndFlagsComeBack)
{
    const std::string sys = "1.3.6.1.2.1.1";
    auto list =
        makeList({{sys + ".4", "Contact", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                  {sys + ".5", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                  {sys + ".6", "Location", KvSyntax::DisplayStr, KvAccess::ReadWrite | KvAccess::Invalid}},
                 SVT_SV, 0);
    auto binding = makeBinding(host, list);
    binding->Request.Device.Address = "not an address at all";
    binding->Mode = 1;
    auto *panel = new TSNMPEditorPanel(host, binding.get());
    panel->EditsPanel->Rows[0].Editor->SetText("x");
    panel->EditsPanel->Rows[0].CheckBox->SetChecked(true);
    panel->SetCheckedClick(panel->BtnPanel->SetCheckedBtn);
    EXPECT_TRUE(boxes().calls().empty());
    ASSERT_EQ(panel->MsgPanel->Memo->Lines()->Count(), 1);
    EXPECT_NE(panel->MsgPanel->Memo->Lines()->Strings(0).find("(KvSNMP++)"), std::string::npos);
    EXPECT_EQ(binding->Mode, 1);
    EXPECT_EQ(binding->Request.VarList.GetItem(0)->Access, KvAccess::ReadWrite);
    EXPECT_EQ(binding->Request.VarList.GetItem(1)->Access, KvAccess::ReadWrite);
    EXPECT_EQ(binding->Request.VarList.GetItem(2)->Access, KvAccess::ReadWrite | KvAccess::Invalid);
    EXPECT_FALSE(binding->Busy);
}

TEST_F(FormKitTable, ConfigFormTakesOnePanelOnly)
{
    auto *form = new TConfigForm(app.get());
    EXPECT_EQ(form->Caption(), "ConfigForm");
    EXPECT_EQ(form->FormType, 0);
    auto *first = new KvSNMPRequest2Edits(form);
    first->Mode = 2;
    auto *panel = form->AddEditorPanel(first);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(form->FormType, 1);
    EXPECT_EQ(form->Requests.size(), 1u);
    try {
        form->AddEditorPanel(new KvSNMPRequest2Edits(form));
        ADD_FAILURE() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message, "Can not change Type of a Config Form!");
    }
    try {
        form->AddListViewPanel(new KvSNMPRequest2Edits(form), -1, "", -1, "");
        ADD_FAILURE() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message, "Can not change Type of a Config Form!");
    }
    EXPECT_EQ(form->FormType, 1);
    EXPECT_EQ(form->Requests.size(), 1u);
    delete form;
}

TEST_F(FormKitTable, ListViewPanelWithAnAddValueTheComboLacksRaisesAfterTheTypeIsSet)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Mode = 2;
    binding->Request.VarList = statusTable();
    try {
        form->AddListViewPanel(binding, 3, "create", 3, "destroy");
        ADD_FAILURE() << "no exception";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message, "TSNMPListViewPanel::SetAddStatus - Wrong AddStatusValue:create");
    }
    EXPECT_EQ(form->FormType, 2);
    EXPECT_EQ(form->Requests.size(), 1u);
    delete form;
}

TEST_F(FormKitTable, ConfigFormWithStatusColumnsShowsAddAndDelete)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Mode = 2;
    binding->Request.VarList = statusTable();
    TSNMPListViewPanel *panel = form->AddListViewPanel(binding, 3, "createAndGo", 3, "destroy");
    EXPECT_TRUE(panel->BtnPanel->AddBtn->Visible());
    EXPECT_TRUE(panel->BtnPanel->DeleteBtn->Visible());
    EXPECT_EQ(panel->OwnerForm, form);
    EXPECT_GE(form->ClientWidth(), std::min(panel->Width(), 800));
    delete form;
}

TEST_F(FormKitTable, FormWithoutPanelRefreshesNothingAndClosesQuietly)
{
    auto *form = new TConfigForm(app.get());
    onNextModal([](TForm *f) { f->Close(); });
    form->ShowModal();
    EXPECT_TRUE(form->Requests.empty());
    EXPECT_TRUE(form->Dispatch(TConfigForm::WM_CONFIGREFRESH));
    EXPECT_FALSE(form->Dispatch(1234));
    delete form;
}

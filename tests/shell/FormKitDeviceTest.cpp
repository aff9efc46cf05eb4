// The form kit and the filtered walk against the simulated access point: the Information
// form reads and writes the MIB-II system group, a table with a row-status column is added
// to, edited and deleted from, and the filtered walk numbers the rows it shows.
#include "FormKitSupport.h"
#include "RunningClock.h"

#include "Harness.h"
#include "Newrequest.h"

#include <sstream>

using namespace formkittest;

namespace {

KvOptionPair kStatusPairs[] = {{1, "active"}, {2, "notInService"}, {4, "createAndGo"}, {6, "destroy"}, {}};
KvOptionList gStatus(kStatusPairs);

const std::string kSys = "1.3.6.1.2.1.1";
const std::string kKitTable = "1.3.6.1.4.1.32473.11.37.4.250.1.1";
const std::string kFiltTable = "1.3.6.1.4.1.32473.11.37.4.251.1.1";

KvSNMPVarList systemGroup()
{
    return makeList({{kSys + ".1", "System Description", KvSyntax::DisplayStr, KvAccess::ReadOnly},
                     {kSys + ".2", "System Object ID", KvSyntax::ObjectId, KvAccess::ReadOnly},
                     {kSys + ".3", "System Uptime", KvSyntax::TimeTicks, KvAccess::ReadOnly},
                     {kSys + ".4", "System Contact", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                     {kSys + ".5", "System Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                     {kSys + ".6", "System Location", KvSyntax::DisplayStr, KvAccess::ReadWrite}},
                    SVT_SV, 0);
}

KvSNMPVarList statusTable()
{
    return makeList({{kKitTable + ".1", "Index", KvSyntax::Integer, KvAccess::NotAccess},
                     {kKitTable + ".2", "Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
                     {kKitTable + ".3", "Address", KvSyntax::IpAddress, KvAccess::ReadWrite},
                     {kKitTable + ".4", "Status", KvSyntax::Integer, KvAccess::ReadWrite, &gStatus}},
                    MVT_FMV, 1);
}

// A status column whose only values create and destroy rows: an edit offers none of them.
KvOptionPair kCreateDestroyPairs[] = {{4, "createAndGo"}, {6, "destroy"}, {}};
KvOptionList gCreateDestroy(kCreateDestroyPairs);

KvSNMPVarList createDestroyTable()
{
    KvSNMPVarList list = statusTable();
    list.GetItem(3)->Options = &gCreateDestroy;
    return list;
}

KvSNMPVarList filteredTable()
{
    return makeList({{kFiltTable + ".1", "Index", KvSyntax::Integer, KvAccess::NotAccess},
                     {kFiltTable + ".2", "Address", KvSyntax::IpAddress, KvAccess::ReadOnly},
                     {kFiltTable + ".3", "Tag", KvSyntax::DisplayStr, KvAccess::ReadOnly},
                     {kFiltTable + ".4", "Flag", KvSyntax::Integer, KvAccess::ReadOnly}},
                    MVT_UMV, 1);
}

class FormKitDevice : public KitTest {
protected:
    void SetUp() override
    {
        KitTest::SetUp();
        static const std::string sessionDir = kvtest::makeTempDir("kv-formkit-session-");
        KvSNMPCreateGlobalSession(sessionDir);
        device = std::make_unique<devsimtest::Devsim>(
            std::vector<std::string>{"--profile", kvtest::sourceDir() + "/tests/shell/formkit-tables.cat"});
        ASSERT_TRUE(device->ok());
        savedDevice = gKvSNMPDefaultDevice;
        savedSecurity = gKvSNMPDefaultSecurity;
        savedTimeout = gKvSNMPDefaultTimeout;
        gKvSNMPDefaultDevice.Address = "127.0.0.1";
        gKvSNMPDefaultDevice.Port = static_cast<uint16_t>(device->port());
        gKvSNMPDefaultSecurity = KvSNMPSecurity{};
        gKvSNMPDefaultSecurity.Version = 1;
        gKvSNMPDefaultSecurity.ReadCommunity = "public";
        gKvSNMPDefaultSecurity.WriteCommunity = "private";
        gKvSNMPDefaultTimeout = 100;
    }
    void TearDown() override
    {
        KitTest::TearDown();
        gKvSNMPDefaultDevice = savedDevice;
        gKvSNMPDefaultSecurity = savedSecurity;
        gKvSNMPDefaultTimeout = savedTimeout;
        device.reset();
    }

    // The set lines of the device's write log.
    std::vector<std::string> setLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(device->readFile("writes.log"));
        for (std::string line; std::getline(in, line);)
            if (line.find(" set ") != std::string::npos)
                lines.push_back(line);
        return lines;
    }

    std::unique_ptr<devsimtest::Devsim> device;
    KvSNMPDevice savedDevice;
    KvSNMPSecurity savedSecurity;
    int32_t savedTimeout = 0;
};

bool has(const std::string &line, const std::string &text)
{
    return line.find(text) != std::string::npos;
}

std::vector<std::string> comboItems(TWinControl *editor)
{
    std::vector<std::string> items;
    auto *combo = dynamic_cast<TComboBox *>(editor);
    for (int i = 0; combo && i < combo->Items()->Count(); ++i)
        items.push_back(combo->Items()->Strings(i));
    return items;
}

std::vector<std::string> captions(TListView *lv)
{
    std::vector<std::string> out;
    for (int i = 0; i < lv->Items()->Count(); ++i)
        out.push_back(lv->Items()->Item(i)->Caption());
    return out;
}

} // namespace

TEST_F(FormKitDevice, InformationFormReadsTheSystemGroupAndSetsOnlyTickedRows)
{
    auto *form = new TConfigForm(app.get());
    form->SetCaption("Home \\ Information");
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = systemGroup();
    binding->Request.Timeout = 3000;
    TSNMPEditorPanel *panel = form->AddEditorPanel(binding);
    panel->SetEditorWidth(180);
    binding->Get();

    std::vector<std::string> shown;
    bool closedAfterSet = false;
    std::string memo;
    onNextModal([&](TForm *dialog) {
        TEditsPanel *edits = panel->EditsPanel;
        ASSERT_TRUE(
            pumpUntil([&] { return !binding->Busy && !edits->Rows[4].Editor->Text().empty(); }, 5000));
        for (const UISnmpVar &row : edits->Rows)
            shown.push_back(row.Editor->Text());
        edits->Rows[3].Editor->SetText("ops desk");
        edits->Rows[3].CheckBox->SetChecked(true);
        edits->Rows[4].Editor->SetText("not sent");
        edits->Rows[5].Editor->SetText("lab 2");
        edits->Rows[5].CheckBox->SetChecked(true);
        panel->BtnPanel->SetCheckedBtn->Click();
        memo = panel->MsgPanel->Memo->Text();
        closedAfterSet = dialog->ModalResult() != mrNone;
    });
    form->ShowModal();
    // The editor panel's Set Checked is not a dialog's: the form stays open until closed.
    EXPECT_FALSE(closedAfterSet);
    EXPECT_TRUE(form->Requests.empty());
    delete form;

    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0], "QRN-5290AP 802.11g Wireless Access Point");
    EXPECT_EQ(shown[1], "1.3.6.1.4.1.32473.11.37");
    EXPECT_FALSE(shown[2].empty());
    EXPECT_EQ(shown[3], "");
    EXPECT_EQ(shown[4], "QRN-5290AP");
    EXPECT_EQ(shown[5], "");
    EXPECT_EQ(memo.find("Error"), std::string::npos) << memo;

    const auto lines = setLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(has(lines[0], "noError"));
    EXPECT_TRUE(has(lines[0], "sysContact=\"ops desk\""));
    EXPECT_TRUE(has(lines[0], "sysLocation=\"lab 2\""));
    EXPECT_FALSE(has(lines[0], "sysName"));
}

TEST_F(FormKitDevice, ClosingWaitsForBusyBindingsSixSecondsOnTheSwappableClock)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = systemGroup();
    binding->Request.Timeout = 3000; // the device's own answer would take far longer
    form->AddEditorPanel(binding);
    device->process().pause();
    ASSERT_TRUE(binding->Get());
    ASSERT_TRUE(binding->Busy);
    RunningMockClock mock;
    const std::int64_t start = mock.now();
    delete form;
    const std::int64_t took = mock.now() - start;
    device->process().resume();
    EXPECT_GE(took, TConfigForm::CloseWaitMs);
    EXPECT_LT(took, TConfigForm::CloseWaitMs + 1000);
}

TEST_F(FormKitDevice, AnEmptyTickedRowBlocksTheSet)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = systemGroup();
    TSNMPEditorPanel *panel = form->AddEditorPanel(binding);
    binding->Mode = 0;
    ASSERT_TRUE(binding->Get());
    TEditsPanel *edits = panel->EditsPanel;
    edits->Rows[3].CheckBox->SetChecked(true); // contact: empty
    edits->Rows[4].CheckBox->SetChecked(true);
    panel->SetCheckedClick(panel->BtnPanel->SetCheckedBtn);
    ASSERT_NE(boxes().lastCall(), nullptr);
    EXPECT_EQ(boxes().lastCall()->text, "Some items are empty!");
    EXPECT_EQ(boxes().lastCall()->caption, "Warning");
    EXPECT_EQ(binding->Mode, 0);
    EXPECT_TRUE(setLines().empty());
    delete form;
}

TEST_F(FormKitDevice, TheFormReadsAgainWhenItsRefreshMessageArrives)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = systemGroup();
    int reads = 0;
    binding->OnAfterGet = [&reads] { ++reads; };
    form->AddEditorPanel(binding);
    binding->Mode = 0;
    binding->Get();
    EXPECT_EQ(reads, 1);
    onNextModal([&](TForm *f) {
        pumpUntil([&] { return reads >= 2; }, 3000);
        f->Close();
    });
    form->ShowModal();
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(form->CurrentRequest, nullptr); // cleared with the bindings on close
    delete form;
}

TEST_F(FormKitDevice, ARefreshWhileTheBindingIsBusyDoesNothing)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = statusTable();
    int reads = 0;
    binding->OnBeforeGet = [&reads] { ++reads; };
    TSNMPListViewPanel *panel = form->AddListViewPanel(binding, -1, "", -1, "");
    binding->Get();
    ASSERT_TRUE(binding->Busy);
    form->Refresh();
    panel->RefreshClick(panel->BtnPanel->RefreshBtn);
    EXPECT_EQ(reads, 1);
    ASSERT_TRUE(pumpUntil([&] { return !binding->Busy; }, 5000));
    EXPECT_EQ(panel->ListViewPanel->ListView->Items()->Count(), 4);
    delete form;
}

TEST_F(FormKitDevice, ClosingWaitsForARunningWalkAndFreesTheBinding)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = statusTable();
    form->AddListViewPanel(binding, -1, "", -1, "");
    binding->Get();
    ASSERT_TRUE(binding->Busy);
    TCloseAction action = caHide;
    form->FormClose(form, action);
    EXPECT_TRUE(form->Requests.empty());
    // Nothing arrives for the freed binding afterwards.
    kvtest::pump(300);
    delete form;
}

TEST_F(FormKitDevice, TableFormAddsEditsAndDeletesRows)
{
    auto *form = new TConfigForm(app.get());
    form->SetCaption("Kit table");
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = statusTable();
    TSNMPListViewPanel *panel = form->AddListViewPanel(binding, 3, "createAndGo", 3, "destroy");
    TListView *lv = panel->ListViewPanel->ListView;
    auto &rows = panel->EditsPanel->Rows;
    binding->Get();
    ASSERT_TRUE(pumpUntil([&] { return !binding->Busy; }, 5000));
    ASSERT_EQ(lv->Items()->Count(), 4);
    EXPECT_EQ(panel->BtnPanel->CountText->Caption(), "4");

    // Add: the key, one ticked row and the add status are sent; the unticked row is not.
    std::string addCaption;
    bool addClosed = false;
    onNextModal([&](TForm *dialog) {
        addCaption = dialog->Caption();
        rows[0].Editor->SetText("3");
        rows[1].Editor->SetText("gamma");
        rows[1].CheckBox->SetChecked(true);
        rows[2].Editor->SetText("10.1.1.3");
        findControl<TSNMPPanel>(dialog)->BtnPanel->SetCheckedBtn->Click();
        addClosed = dialog->ModalResult() != mrNone;
    });
    panel->AddClick(panel->BtnPanel->AddBtn);
    EXPECT_EQ(addCaption, "Kit table (Add)");
    EXPECT_TRUE(addClosed);
    auto lines = setLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(has(lines[0], "noError"));
    EXPECT_TRUE(has(lines[0], "kitName.3=\"gamma\""));
    EXPECT_TRUE(has(lines[0], "kitStatus.3=4"));
    EXPECT_FALSE(has(lines[0], "kitAddr"));
    ASSERT_TRUE(pumpUntil([&] { return !binding->Busy; }, 5000));
    ASSERT_EQ(lv->Items()->Count(), 4);
    EXPECT_EQ(lv->Items()->Item(2)->SubItems()->Strings(0), "gamma");
    EXPECT_EQ(binding->Mode, 1);

    // Edit: a refused Set keeps the dialog and the input; the next one closes it.
    lv->SetSelected(lv->Items()->Item(0));
    panel->ListClick(lv);
    ASSERT_EQ(rows[1].Editor->Text(), "alpha");
    std::vector<std::string> statusDuringEdit;
    bool openAfterFailure = false;
    std::string keptInput;
    bool editClosed = false;
    const std::string tooLong(40, 'x');
    onNextModal([&](TForm *dialog) {
        statusDuringEdit = comboItems(rows[3].Editor);
        SCOPED_TRACE("edit dialog");
        EXPECT_TRUE(dynamic_cast<TEdit *>(rows[0].Editor)->ReadOnly());
        rows[1].Editor->SetText(tooLong);
        rows[1].CheckBox->SetChecked(true);
        TCtrlBtnPanel *bar = findControl<TSNMPPanel>(dialog)->BtnPanel;
        bar->SetCheckedBtn->Click();
        openAfterFailure = dialog->ModalResult() == mrNone;
        keptInput = rows[1].Editor->Text();
        rows[1].Editor->SetText("alpha2");
        bar->SetCheckedBtn->Click();
        editClosed = dialog->ModalResult() != mrNone;
    });
    panel->EditClick(panel->BtnPanel->EditBtn);
    EXPECT_EQ(statusDuringEdit, (std::vector<std::string>{"active", "notInService"}));
    EXPECT_TRUE(openAfterFailure);
    EXPECT_EQ(keptInput, tooLong);
    EXPECT_TRUE(editClosed);
    EXPECT_EQ(comboItems(rows[3].Editor),
              (std::vector<std::string>{"active", "notInService", "createAndGo", "destroy"}));
    lines = setLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_FALSE(has(lines[1], "noError"));
    EXPECT_TRUE(has(lines[2], "noError"));
    EXPECT_TRUE(has(lines[2], "kitName.1=\"alpha2\""));
    EXPECT_FALSE(has(lines[2], "kitStatus"));
    EXPECT_FALSE(has(lines[2], "kitAddr"));
    ASSERT_TRUE(pumpUntil([&] { return !binding->Busy; }, 5000));

    // Delete: nothing without a selection, nothing on "No", only the status on "Yes".
    lv->SetSelected(nullptr);
    panel->DeleteClick(panel->BtnPanel->DeleteBtn);
    EXPECT_TRUE(boxes().calls().empty() || boxes().lastCall()->caption != "Delete");
    lv->SetSelected(lv->Items()->Item(1));
    boxes().setNextAnswer(IDNO);
    panel->DeleteClick(panel->BtnPanel->DeleteBtn);
    ASSERT_NE(boxes().lastCall(), nullptr);
    EXPECT_EQ(boxes().lastCall()->text, "Are you sure to delete ?");
    EXPECT_EQ(boxes().lastCall()->caption, "Delete");
    EXPECT_EQ(boxes().lastCall()->flags, static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(setLines().size(), 3u);

    const std::vector<uint32_t> accessBefore = {KvAccess::NotAccess, KvAccess::ReadWrite, KvAccess::ReadWrite,
                                                KvAccess::ReadWrite};
    // The row is the one selected when Delete was pressed, whatever the box lets happen.
    boxes().hook = [&](const kv::MessageBoxCall &) {
        lv->SetSelected(lv->Items()->Item(0));
        return IDYES;
    };
    panel->DeleteClick(panel->BtnPanel->DeleteBtn);
    boxes().hook = nullptr;
    lines = setLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(has(lines[3], "noError"));
    EXPECT_TRUE(has(lines[3], "kitStatus.2=6"));
    EXPECT_FALSE(has(lines[3], "kitName"));
    EXPECT_FALSE(has(lines[3], "kitAddr"));
    EXPECT_EQ(binding->Mode, 1);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(binding->Request.VarList.GetItem(i)->Access, accessBefore[static_cast<std::size_t>(i)])
            << i;
    // The table was read again (synchronously) after the delete.
    ASSERT_EQ(lv->Items()->Count(), 4);
    EXPECT_EQ(lv->Items()->Item(1)->SubItems()->Strings(2), "destroy");
    delete form;
}

TEST_F(FormKitDevice, EditWithTheStatusRowHiddenWritesTheSelectedRow)
{
    auto *form = new TConfigForm(app.get());
    auto *binding = new KvSNMPRequest2Edits(form);
    binding->Request.VarList = createDestroyTable();
    TSNMPListViewPanel *panel = form->AddListViewPanel(binding, 3, "createAndGo", 3, "destroy");
    TListView *lv = panel->ListViewPanel->ListView;
    auto &rows = panel->EditsPanel->Rows;
    binding->Get();
    ASSERT_TRUE(pumpUntil([&] { return !binding->Busy; }, 5000));
    ASSERT_EQ(lv->Items()->Count(), 4);

    struct Case {
        bool checkAll; // "Check All" instead of ticking the rows one by one
        int row;
        const char *name;
        const char *written;
    };
    const Case cases[] = {
        {false, 0, "alpha2", "kitName.1=\"alpha2\" kitAddr.1=10.1.1.1"},
        {true, 1, "beta2", "kitName.2=\"beta2\" kitAddr.2=10.1.1.2"},
    };
    std::size_t sets = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        lv->SetSelected(lv->Items()->Item(c.row));
        panel->ListClick(lv);
        bool statusHidden = false;
        bool closed = false;
        onNextModal([&](TForm *dialog) {
            statusHidden = panel->EditsPanel->IsHiddenRow(3) && !rows[3].Editor->Visible();
            rows[1].Editor->SetText(c.name);
            TCtrlBtnPanel *bar = findControl<TSNMPPanel>(dialog)->BtnPanel;
            if (c.checkAll) {
                bar->CheckAllBtn->Click();
            } else {
                rows[1].CheckBox->SetChecked(true);
                rows[2].CheckBox->SetChecked(true);
            }
            bar->SetCheckedBtn->Click();
            closed = dialog->ModalResult() != mrNone;
        });
        panel->EditClick(panel->BtnPanel->EditBtn);
        EXPECT_TRUE(statusHidden);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(boxes().calls().empty()) << boxes().lastCall()->text;
        const auto lines = setLines();
        ASSERT_EQ(lines.size(), ++sets);
        EXPECT_TRUE(has(lines.back(), "noError")) << lines.back();
        EXPECT_TRUE(has(lines.back(), c.written)) << lines.back();
        EXPECT_FALSE(has(lines.back(), "kitStatus")) << lines.back();
        // The status row is back with both values, and the refreshed list shows the edit.
        EXPECT_FALSE(panel->EditsPanel->IsHiddenRow(3));
        EXPECT_EQ(binding->Request.VarList.GetItem(3)->Access, KvAccess::ReadWrite);
        EXPECT_EQ(comboItems(rows[3].Editor), (std::vector<std::string>{"createAndGo", "destroy"}));
        ASSERT_TRUE(pumpUntil([&] { return !binding->Busy; }, 5000));
        ASSERT_EQ(lv->Items()->Count(), 4);
        EXPECT_EQ(lv->Items()->Item(c.row)->Caption(), std::to_string(c.row + 1));
        EXPECT_EQ(lv->Items()->Item(c.row)->SubItems()->Strings(0), c.name);
    }
    delete form;
}

TEST_F(FormKitDevice, FilteredWalkNumbersTheShownRowsAtEveryWalk)
{
    auto *lv = new TListView(host);
    lv->SetParent(host);
    New_req2Edit walk(host);
    walk.Request.VarList = filteredTable();
    walk.SetupListView(lv, true);
    EXPECT_EQ(walk.FilterText, "0");
    EXPECT_EQ(walk.KeyColumn, 1);
    EXPECT_EQ(walk.RowCounter, 1);
    walk.Filter = "0.0.0.0"; // the forms' name of FilterText
    EXPECT_EQ(walk.FilterText, "0.0.0.0");

    const std::vector<std::string> numbers = {"1", "2", "3", "4", "5", "6"};
    for (uint8_t mode : {uint8_t(0), uint8_t(0), uint8_t(1), uint8_t(1)}) {
        SCOPED_TRACE(int(mode));
        walk.Mode = mode;
        walk.Get();
        ASSERT_TRUE(pumpUntil([&] { return !walk.Busy; }, 5000));
        EXPECT_EQ(captions(lv), numbers);
        EXPECT_EQ(walk.RowNumber, 7);
        // The index column gives way to the number; the others follow as sub-items.
        ASSERT_EQ(lv->Items()->Count(), 6);
        EXPECT_EQ(lv->Items()->Item(0)->SubItems()->Strings(0), "10.0.0.1");
        EXPECT_EQ(lv->Items()->Item(1)->SubItems()->Strings(0), "10.0.0.3");
        EXPECT_EQ(lv->Items()->Item(3)->SubItems()->Strings(0), "10.0.0.6");
        EXPECT_EQ(lv->Items()->Item(5)->SubItems()->Count(), 3);
    }
}

TEST_F(FormKitDevice, FilteredWalkComparesTheKeyTextExactly)
{
    auto *lv = new TListView(host);
    New_req2Edit walk(host);
    walk.Request.VarList = filteredTable();
    walk.SetupListView(lv, true);
    walk.Mode = 0;
    walk.KeyColumn = 2; // the tag column: "0", "00", " 0", then "a"
    walk.Get();
    ASSERT_EQ(lv->Items()->Count(), 7);
    EXPECT_EQ(lv->Items()->Item(0)->SubItems()->Strings(1), "00");
    EXPECT_EQ(lv->Items()->Item(1)->SubItems()->Strings(1), " 0");

    walk.KeyColumn = 3; // every flag is 0
    walk.Get();
    EXPECT_EQ(lv->Items()->Count(), 0);
    EXPECT_EQ(walk.RowCounter, 1);
}

TEST_F(FormKitDevice, FilteredWalkRefusesAKeyColumnOutsideTheList)
{
    auto *lv = new TListView(host);
    auto *memo = new TMemo(host);
    New_req2Edit walk(host);
    walk.Request.VarList = filteredTable();
    walk.SetupListView(lv, true);
    for (int column : {4, -1}) {
        walk.KeyColumn = column;
        walk.Mode = 0;
        try {
            walk.Get();
            ADD_FAILURE() << "no exception for " << column;
        } catch (const Exception &e) {
            EXPECT_NE(e.Message.find("KeyColumn"), std::string::npos) << e.Message;
        }
        EXPECT_FALSE(walk.Busy);
        // Asynchronously the walk ends at the first row and says why in its log.
        walk.SetLogControl(memo);
        walk.Mode = 1;
        walk.Get();
        ASSERT_TRUE(pumpUntil([&] { return !walk.Busy; }, 5000));
        EXPECT_NE(memo->Text().find("KeyColumn"), std::string::npos);
        memo->Clear();
        walk.SetLogControl(nullptr);
    }
    EXPECT_EQ(lv->Items()->Count(), 0);
}

TEST_F(FormKitDevice, FilteredWalkWithoutListViewFillsTheControls)
{
    auto *edit = new TEdit(host);
    New_req2Edit walk(host);
    walk.Request.VarList = filteredTable();
    walk.Associate(1, edit);
    walk.Mode = 0;
    walk.Get();
    EXPECT_EQ(edit->Text(), "10.0.0.8");
}

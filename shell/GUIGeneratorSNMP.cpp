// The kit's SNMP panels: a framed client control, the editor of a binding's variables and
// the table editor with its add, edit and delete dialogs.
#include "GUIGenerator.h"

#include "KvOptionList.h"
#include "KvSNMPRequest2Edits.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

constexpr int kSplitterSize = 3;
constexpr int kMaxFormWidth = 800;
constexpr int kMaxFormHeight = 550;
constexpr int kListPanelMaxWidth = 450;
constexpr int kListPanelHeight = 350;
constexpr int kListFrame = 4;
constexpr int kEditDialogWaitMs = 1000;

int kitBox(const std::string &text, const std::string &caption, unsigned flags)
{
    if (Application)
        return Application->MessageBox(text, caption, flags);
    return kv::MessageBoxService::instance().show(text, caption, flags);
}

// Waits, handling events, while the binding is busy; false when maxMs passed first.
bool waitWhileBusy(const KvSNMPRequest2Edits &binding, int maxMs)
{
    return kv::handleEventsUntil([&] { return !binding.Busy; }, maxMs);
}

// Forces the binding synchronous for one scope and puts back the mode it had, exceptions
// included.
class ModeScope {
public:
    explicit ModeScope(KvSNMPRequest2Edits &binding) : m_binding(binding), m_mode(binding.Mode)
    {
        binding.Mode = 0;
    }
    ~ModeScope() { m_binding.Mode = m_mode; }
    ModeScope(const ModeScope &) = delete;
    ModeScope &operator=(const ModeScope &) = delete;

private:
    KvSNMPRequest2Edits &m_binding;
    uint8_t m_mode;
};

// Leaves items out of one Set (the invalid flag) and gives every item it touched exactly the
// access flags it had before, exceptions included.
class InvalidScope {
public:
    explicit InvalidScope(KvSNMPRequest2Edits &binding) : m_binding(binding) {}
    ~InvalidScope() { restore(); }
    InvalidScope(const InvalidScope &) = delete;
    InvalidScope &operator=(const InvalidScope &) = delete;

    void leaveOut(int i)
    {
        KvSNMPItem *item = m_binding.Request.VarList.GetItem(i);
        m_saved.emplace_back(i, item->Access);
        item->Access |= KvAccess::Invalid;
    }
    void restore()
    {
        KvSNMPVarList &list = m_binding.Request.VarList;
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            if (it->first < list.Count())
                list.GetItem(it->first)->Access = it->second;
        m_saved.clear();
    }

private:
    KvSNMPRequest2Edits &m_binding;
    std::vector<std::pair<int, uint32_t>> m_saved;
};

// The height the bar's visible controls need.
int barHeight(const TCtrlBtnPanel *bar)
{
    int bottom = 0;
    for (const TControl *c : bar->Ctrls)
        if (c->Visible())
            bottom = std::max(bottom, c->Top() + c->Height());
    return std::max(bar->Height(), bottom + bar->VMargin);
}

} // namespace

// ---- TSNMPPanel ---------------------------------------------------------------------------

TSNMPPanel::TSNMPPanel(TWinControl *AOwner, TMsgPanel *sharedMsgPanel, KvSNMPRequest2Edits *binding)
    : TPanel(AOwner), Binding(binding)
{
    BtnPanel = new TCtrlBtnPanel(this);
    BtnPanel->RefreshBtn->OnClick = [this](TObject *s) { RefreshClick(s); };
    BtnPanel->CloseBtn->OnClick = [this](TObject *s) { CloseClick(s); };
    RightSplitter = new TSplitter(this);
    RightSplitter->SetParent(this);
    RightSplitter->SetWidth(kSplitterSize);
    RightSplitter->SetAlign(alRight);
    ClientPanel = new TPanel(this);
    ClientPanel->SetParent(this);
    ClientPanel->SetAlign(alClient);
    if (!sharedMsgPanel) {
        MsgPanel = new TMsgPanel(ClientPanel);
        MsgPanel->SetAlign(alBottom);
        m_msgInUse = MsgPanel;
    } else {
        m_msgInUse = sharedMsgPanel;
    }
    if (Binding)
        Binding->SetLogControl(m_msgInUse->Memo);
    BottomSplitter = new TSplitter(this);
    BottomSplitter->SetParent(ClientPanel);
    BottomSplitter->SetHeight(kSplitterSize);
    BottomSplitter->SetAlign(alBottom);
    SetParent(AOwner);
    SetWidth(0);
    SetHeight(0);
}

void TSNMPPanel::SetClientCtrl(TControl *control)
{
    if (ClientCtrl && ClientCtrl != control) {
        ClientCtrl->Hide();
        ClientCtrl->SetAlign(alNone);
    }
    ClientCtrl = control;
    control->SetParent(ClientPanel);
    control->Show();
    const int ownMsg = MsgPanel ? MsgPanel->Height() : 0;
    m_wantedWidth = control->Width() + BtnPanel->Width() + RightSplitter->Width() + 3;
    m_wantedHeight = std::max(control->Height() + ownMsg + BottomSplitter->Height(), barHeight(BtnPanel));
    SetWidth(m_wantedWidth);
    SetHeight(m_wantedHeight);
    control->SetAlign(alClient);
}

void TSNMPPanel::AttachForm(TForm *form)
{
    OwnerForm = form;
    if (!form)
        return;
    // The size the client control asked for: an aligned panel's own size follows the form.
    const int w = std::min(std::max(form->ClientWidth(), std::max(Width(), m_wantedWidth)), kMaxFormWidth);
    const int h =
        std::min(std::max(form->ClientHeight(), std::max(Height(), m_wantedHeight)), kMaxFormHeight);
    form->SetClientWidth(w);
    form->SetClientHeight(h);
    form->CenterOn(Application ? Application->MainForm() : nullptr);
    SetAlign(alClient);
}

void TSNMPPanel::RefreshClick(TObject *)
{
    // A second read while one runs would interleave two walks in the same controls.
    if (!Binding || Binding->Busy)
        return;
    try {
        Binding->Get();
    } catch (const Exception &e) {
        Binding->ShowRequestLog(e.Message);
    }
}

void TSNMPPanel::CloseClick(TObject *)
{
    if (OwnerForm)
        OwnerForm->Close();
    else
        kitBox("Please initial close form", Application ? Application->Title() : std::string(), MB_OK);
}

// ---- TSNMPEditorPanel ---------------------------------------------------------------------

TSNMPEditorPanel::TSNMPEditorPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding)
    : TSNMPPanel(AOwner, nullptr, binding)
{
    EditsPanel = new TEditsPanel(ClientPanel, binding);
    BtnPanel->SetCheckedBtn->OnClick = [this](TObject *s) { SetCheckedClick(s); };
    BtnPanel->SetCheckedBtn->SetEnabled(false);
    BtnPanel->CheckAllBtn->OnClick = [this](TObject *s) { CheckAllClick(s); };
    BtnPanel->ClearChecksBtn->OnClick = [this](TObject *s) { ClearChecksClick(s); };
    EditsPanel->ArrangeCtrlBtn(BtnPanel);
    SetClientCtrl(EditsPanel);
}

void TSNMPEditorPanel::SetEditorWidth(int width)
{
    EditsPanel->SetEditorWidth(width);
    SetClientCtrl(EditsPanel);
    if (OwnerForm)
        AttachForm(OwnerForm);
}

void TSNMPEditorPanel::SetCheckedClick(TObject *Sender)
{
    KvSNMPRequest2Edits *binding = EditsPanel->EditCtrl;
    if (!binding)
        return;
    bool empty = false;
    bool ok = false;
    {
        ModeScope mode(*binding);
        InvalidScope leftOut(*binding);
        try {
            binding->TakeValues();
            KvSNMPVarList &list = binding->Request.VarList;
            const int n = std::min(list.Count(), EditsPanel->RowCount());
            for (int i = 0; i < n; ++i) {
                if (!EditsPanel->Rows[static_cast<std::size_t>(i)].CheckBox->Checked())
                    leftOut.leaveOut(i);
                if (!(list.GetItem(i)->Access & KvAccess::Invalid) && EditsPanel->IsRowEmpty(i))
                    empty = true;
            }
            if (empty)
                kitBox("Some items are empty!", "Warning", MB_OK);
            else
                ok = binding->Set(false, false, AnsiString(), nullptr);
        } catch (const Exception &e) {
            ok = false;
            binding->ShowRequestLog(e.Message);
        }
    }
    // Only a Set that went through closes an add or edit dialog; otherwise the input stays.
    auto *button = dynamic_cast<TComponent *>(Sender);
    if (ok && button && button->Tag == 1) {
        if (auto *control = dynamic_cast<TControl *>(Sender))
            if (TForm *dialog = control->ParentForm())
                dialog->Close();
    }
}

void TSNMPEditorPanel::CheckAllClick(TObject *)
{
    // A hidden row (such as a status row with nothing left to choose) is not the user's to send.
    for (int i = 0; i < EditsPanel->RowCount(); ++i) {
        UISnmpVar &row = EditsPanel->Rows[static_cast<std::size_t>(i)];
        if (row.CheckBox->Enabled() && !EditsPanel->IsHiddenRow(i))
            row.CheckBox->SetChecked(true);
    }
    if (TCtrlBtnPanel *bar = EditsPanel->ButtonBar())
        if (EditsPanel->CountChecked() >= 1)
            bar->SetCheckedBtn->SetEnabled(true);
}

void TSNMPEditorPanel::ClearChecksClick(TObject *)
{
    for (UISnmpVar &row : EditsPanel->Rows)
        if (row.CheckBox->Enabled())
            row.CheckBox->SetChecked(false);
    if (TCtrlBtnPanel *bar = EditsPanel->ButtonBar())
        if (EditsPanel->CountChecked() == 0)
            bar->SetCheckedBtn->SetEnabled(false);
}

// ---- TListViewPanel -----------------------------------------------------------------------

TListViewPanel::TListViewPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding) : TPanel(AOwner)
{
    ListView = new TListView(this);
    ListView->SetParent(this);
    if (binding)
        binding->SetupListView(ListView, false);
    int width = kListFrame;
    for (int c = 0; c < ListView->Columns()->Count(); ++c)
        width += 8 * static_cast<int>(ListView->Columns()->Items(c)->Caption().size());
    SetWidth(std::min(width, kListPanelMaxWidth));
    SetHeight(kListPanelHeight);
    ListView->SetAlign(alClient);
    SetParent(AOwner);
}

void TListViewPanel::ArrangeCtrlBtn(TCtrlBtnPanel *bar)
{
    bar->SamplesLabel->Show();
    bar->CountText->Show();
    bar->RefreshBtn->Show();
    bar->EditBtn->Show();
    bar->EditBtn->SetEnabled(false);
    bar->CloseBtn->Show();
    bar->DeleteBtn->SetEnabled(false);
    bar->SetCheckedBtn->Hide();
    bar->CheckAllBtn->Hide();
    bar->ClearChecksBtn->Hide();
    bar->AddBtn->SetVisible(AddStatusColumn != -1);
    bar->DeleteBtn->SetVisible(DeleteStatusColumn != -1);
    bar->ArrangeButtons();
}

// ---- TSNMPListViewPanel -------------------------------------------------------------------

// One add or edit dialog: the edits panel is lent to it and given back, and the dialog is
// freed, on every way out.
class KitDialog {
public:
    KitDialog(TSNMPListViewPanel &owner, const std::string &caption) : m_owner(owner)
    {
        m_form.reset(new TForm(Application));
        m_form->SetCaption(caption);
        m_form->SetBorderStyle(bsSingle);
        if (owner.OwnerForm)
            m_form->CenterOn(owner.OwnerForm);
        owner.Binding->SetConstraintOwner(m_form.get());
        Panel = new TSNMPPanel(m_form.get(), owner.MessagePanel(), owner.Binding);
        TCtrlBtnPanel *bar = Panel->BtnPanel;
        bar->SetCheckedBtn->OnClick = [&owner](TObject *s) { owner.SetCheckedClick(s); };
        bar->SetCheckedBtn->Tag = 1;
        bar->CheckAllBtn->OnClick = [&owner](TObject *s) { owner.CheckAllClick(s); };
        bar->ClearChecksBtn->OnClick = [&owner](TObject *s) { owner.ClearChecksClick(s); };
    }
    ~KitDialog()
    {
        TEditsPanel *edits = m_owner.EditsPanel;
        edits->Hide();
        edits->SetAlign(alNone);
        edits->SetParent(m_owner.ClientPanel);
        edits->SetButtonBar(m_owner.BtnPanel);
        m_form.reset();
        m_owner.Binding->SetConstraintOwner(m_owner.OwnerForm);
    }
    KitDialog(const KitDialog &) = delete;
    KitDialog &operator=(const KitDialog &) = delete;

    // Lays the edits panel into the dialog and shows it modally.
    void Run(bool editorWidth200)
    {
        TEditsPanel *edits = m_owner.EditsPanel;
        TCtrlBtnPanel *bar = Panel->BtnPanel;
        edits->ArrangeCtrlBtn(bar);
        bar->RefreshBtn->Hide();
        bar->ArrangeButtons();
        if (editorWidth200)
            edits->SetEditorWidth(200);
        else
            edits->LayoutRows(true);
        Panel->SetClientCtrl(edits);
        Panel->AttachForm(m_form.get());
        m_form->ShowModal();
    }

    TForm *Form() const { return m_form.get(); }
    TSNMPPanel *Panel = nullptr;

private:
    TSNMPListViewPanel &m_owner;
    std::unique_ptr<TForm> m_form;
};

TSNMPListViewPanel::TSNMPListViewPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding)
    : TSNMPEditorPanel(AOwner, binding)
{
    ListViewPanel = new TListViewPanel(ClientPanel, binding);
    TListView *lv = ListViewPanel->ListView;
    lv->OnClick = [this](TObject *s) { ListClick(s); };
    lv->OnDblClick = [this](TObject *s) { ListDblClick(s); };
    lv->OnChange = [this](TObject *s, TListItem *item, int change) { ListChange(s, item, change); };
    lv->OnMouseMove = [this](TObject *s, unsigned shift, int x, int y) { ListMouseMove(s, shift, x, y); };
    BtnPanel->RefreshBtn->OnClick = [this](TObject *s) { RefreshClick(s); };
    BtnPanel->EditBtn->OnClick = [this](TObject *s) { EditClick(s); };
    BtnPanel->AddBtn->OnClick = [this](TObject *s) { AddClick(s); };
    BtnPanel->DeleteBtn->OnClick = [this](TObject *s) { DeleteClick(s); };
    ListViewPanel->ArrangeCtrlBtn(BtnPanel);
    if (EditsPanel->AllReadOnly()) {
        BtnPanel->EditBtn->Hide();
        BtnPanel->ArrangeButtons();
    }
    SetClientCtrl(ListViewPanel);
    OnBeforeAdd = [this](TObject *) { EditsPanel->ClearAll(); };
    // The row count follows every walk, also one the form starts itself.
    if (binding) {
        std::function<void()> previous = binding->OnAfterGet;
        std::weak_ptr<bool> alive = AliveToken();
        binding->OnAfterGet = [this, previous, alive] {
            if (previous)
                previous();
            if (!alive.expired())
                UpdateCount();
        };
    }
}

void TSNMPListViewPanel::CheckStatusRow(int column, const AnsiString &value, const char *what)
{
    TComboBox *combo = nullptr;
    if (column >= 0 && column < EditsPanel->RowCount())
        combo = dynamic_cast<TComboBox *>(EditsPanel->Rows[static_cast<std::size_t>(column)].Editor);
    if (!combo || combo->Items()->IndexOf(value) < 0)
        throw Exception(std::string("TSNMPListViewPanel::") + what + value);
}

void TSNMPListViewPanel::SetAddStatus(int column, const AnsiString &value)
{
    CheckStatusRow(column, value, "SetAddStatus - Wrong AddStatusValue:");
    ListViewPanel->AddStatusColumn = column;
    ListViewPanel->AddStatusValue = value;
    BtnPanel->AddBtn->Show();
    BtnPanel->ArrangeButtons();
}

void TSNMPListViewPanel::SetDeleteStatus(int column, const AnsiString &value)
{
    CheckStatusRow(column, value, "SetDeleteStatus - Wrong DeleteStatusValue:");
    ListViewPanel->DeleteStatusColumn = column;
    ListViewPanel->DeleteStatusValue = value;
    BtnPanel->DeleteBtn->Show();
    BtnPanel->ArrangeButtons();
}

void TSNMPListViewPanel::AddClick(TObject *Sender)
{
    if (!Binding)
        return;
    if (OnBeforeAdd)
        OnBeforeAdd(Sender);
    {
        std::string caption;
        if (auto *form = dynamic_cast<TForm *>(Parent()))
            caption = form->Caption();
        else if (auto *sheet = dynamic_cast<TTabSheet *>(Parent()))
            caption = sheet->Caption();
        else if (OwnerForm)
            caption = OwnerForm->Caption();
        KitDialog dialog(*this, caption + " (Add)");
        const KvSNMPVarList &list = Binding->Request.VarList;
        // A fresh dialog: settable rows open and unticked.
        EditsPanel->SetEditable(false);
        // Key columns are always sent and always editable when adding.
        for (int i = 0; i < std::min(list.KeyCount, EditsPanel->RowCount()); ++i) {
            EditsPanel->EnableRow(i);
            UISnmpVar &row = EditsPanel->Rows[static_cast<std::size_t>(i)];
            row.CheckBox->SetChecked(true);
            row.CheckBox->SetVisible(true);
            row.CheckBox->SetEnabled(false);
            row.Editor->SetEnabled(true);
        }
        const int status = ListViewPanel->AddStatusColumn;
        if (status >= 0 && status < EditsPanel->RowCount()) {
            UISnmpVar &row = EditsPanel->Rows[static_cast<std::size_t>(status)];
            row.Editor->SetEnabled(false);
            row.CheckBox->SetChecked(true);
            row.CheckBox->SetEnabled(false);
            if (auto *combo = dynamic_cast<TComboBox *>(row.Editor))
                combo->SetItemIndex(combo->Items()->IndexOf(ListViewPanel->AddStatusValue));
        }
        ListViewPanel->ListView->SetSelected(nullptr);
        BtnPanel->EditBtn->SetEnabled(false);
        BtnPanel->DeleteBtn->SetEnabled(false);
        dialog.Run(false);
    }
    RefreshClick(Sender);
    if (OnAfterAdd)
        OnAfterAdd(Sender);
}

namespace {

// The status rows' combo boxes while an edit dialog is open: the values that would create or
// destroy a row are taken out; afterwards every row is shown again and its combo box refilled
// in the option list's order, keeping its choice by text, on every way out.
class StatusRowsScope {
public:
    StatusRowsScope(TEditsPanel &edits, KvSNMPVarList &list) : m_edits(edits), m_list(list) {}
    ~StatusRowsScope()
    {
        for (const Row &row : m_rows) {
            if (row.hidden)
                m_edits.ShowRow(row.index);
            auto *combo = dynamic_cast<TComboBox *>(m_edits.Rows[static_cast<std::size_t>(row.index)].Editor);
            const std::string chosen = combo->ItemIndex() >= 0 ? combo->Text() : std::string();
            if (const KvOptionList *options = m_list.GetItem(row.index)->Options)
                options->FillComboItems(combo);
            else if (combo->Items()->IndexOf(row.removed) < 0)
                combo->Items()->Add(row.removed);
            combo->SetItemIndex(chosen.empty() ? -1 : combo->Items()->IndexOf(chosen));
        }
    }
    StatusRowsScope(const StatusRowsScope &) = delete;
    StatusRowsScope &operator=(const StatusRowsScope &) = delete;

    void takeOut(int column, const AnsiString &value)
    {
        if (column < 0 || column >= m_edits.RowCount())
            return;
        auto *combo = dynamic_cast<TComboBox *>(m_edits.Rows[static_cast<std::size_t>(column)].Editor);
        if (!combo)
            return;
        Row row{column, value, false};
        const int at = combo->Items()->IndexOf(value);
        if (at >= 0)
            combo->Items()->Delete(at);
        m_rows.push_back(row);
        if (combo->Items()->Count() == 0) {
            m_edits.HideRow(column);
            m_rows.back().hidden = true;
        }
    }

private:
    struct Row {
        int index;
        AnsiString removed;
        bool hidden;
    };
    TEditsPanel &m_edits;
    KvSNMPVarList &m_list;
    std::vector<Row> m_rows;
};

} // namespace

void TSNMPListViewPanel::EditClick(TObject *Sender)
{
    if (!Binding)
        return;
    // An edit writes the selected row; with none there is nothing to edit.
    if (!ListViewPanel->ListView->Selected())
        return;
    if (OnBeforeEdit)
        OnBeforeEdit(Sender);
    if (Binding->Mode == 1) {
        Binding->Request.Alive = 0;
        waitWhileBusy(*Binding, kEditDialogWaitMs);
        Binding->Request.Alive = 1;
    }
    {
        StatusRowsScope statusRows(*EditsPanel, Binding->Request.VarList);
        KitDialog dialog(*this, OwnerForm ? OwnerForm->Caption() : std::string());
        dialog.Panel->BtnPanel->SetCheckedBtn->SetEnabled(false);
        EditsPanel->SetEditable(false);
        statusRows.takeOut(ListViewPanel->AddStatusColumn, ListViewPanel->AddStatusValue);
        statusRows.takeOut(ListViewPanel->DeleteStatusColumn, ListViewPanel->DeleteStatusValue);
        dialog.Run(true);
    }
    RefreshClick(Sender);
    if (OnAfterEdit)
        OnAfterEdit(Sender);
}

void TSNMPListViewPanel::DeleteClick(TObject *)
{
    if (!Binding)
        return;
    TListView *lv = ListViewPanel->ListView;
    KvSNMPVarList &list = Binding->Request.VarList;
    const int status = ListViewPanel->DeleteStatusColumn;
    if (!lv->Selected() || status < 0 || status >= list.Count())
        return;
    // The row to delete is the one selected now; the box below lets other events run.
    Binding->SelectedRowToValues();
    std::vector<AnsiString> keys;
    for (int i = 0; i < list.KeyCount && i < list.Count(); ++i)
        keys.push_back(list.GetItem(i)->Value);
    if (kitBox("Are you sure to delete ?", "Delete", MB_YESNO) != IDYES)
        return;
    ModeScope mode(*Binding);
    {
        InvalidScope leftOut(*Binding);
        try {
            for (int i = 0; i < list.Count(); ++i)
                if (i >= list.KeyCount && i != status)
                    leftOut.leaveOut(i);
            Binding->TakeValues();
            for (std::size_t k = 0; k < keys.size(); ++k)
                list.GetItem(static_cast<int>(k))->Value = keys[k];
            list.GetItem(status)->Value = ListViewPanel->DeleteStatusValue;
            Binding->Set(false, false, AnsiString(), nullptr);
        } catch (const Exception &e) {
            Binding->ShowRequestLog(e.Message);
        }
    }
    // The re-read runs while the binding is still synchronous.
    if (BtnPanel->RefreshBtn->OnClick)
        BtnPanel->RefreshBtn->OnClick(BtnPanel->RefreshBtn);
}

void TSNMPListViewPanel::RefreshClick(TObject *)
{
    if (!Binding || Binding->Busy)
        return;
    BtnPanel->EditBtn->SetEnabled(false);
    BtnPanel->DeleteBtn->SetEnabled(false);
    try {
        Binding->Get();
    } catch (const Exception &e) {
        Binding->ShowRequestLog(e.Message);
    }
    UpdateCount();
}

void TSNMPListViewPanel::UpdateCount()
{
    BtnPanel->CountText->SetCaption(std::to_string(ListViewPanel->ListView->Items()->Count()));
}

void TSNMPListViewPanel::ListClick(TObject *)
{
    if (!ListViewPanel->ListView->Selected()) {
        BtnPanel->EditBtn->SetEnabled(false);
        BtnPanel->DeleteBtn->SetEnabled(false);
        EditsPanel->ClearAll();
    } else {
        BtnPanel->EditBtn->SetEnabled(true);
        BtnPanel->DeleteBtn->SetEnabled(true);
    }
}

void TSNMPListViewPanel::ListDblClick(TObject *)
{
    if (ListViewPanel->ListView->Selected() && BtnPanel->EditBtn->OnClick)
        BtnPanel->EditBtn->OnClick(BtnPanel->EditBtn);
}

void TSNMPListViewPanel::ListChange(TObject *, TListItem *, int)
{
    UpdateCount();
}

AnsiString TSNMPListViewPanel::BuildItemHint(TListItem *item)
{
    TListColumns *columns = ListViewPanel->ListView->Columns();
    std::size_t longest = 0;
    for (int c = 0; c < columns->Count(); ++c)
        longest = std::max(longest, columns->Items(c)->Caption().size());
    AnsiString hint;
    for (int c = 0; c < columns->Count(); ++c) {
        const std::string caption = columns->Items(c)->Caption();
        hint += caption;
        hint += std::string(longest - caption.size(), '\t');
        hint += "  ";
        hint += c == 0 ? item->Caption() : item->SubItems()->Strings(c - 1);
        hint += '\n';
    }
    return hint;
}

void TSNMPListViewPanel::ListMouseMove(TObject *, unsigned, int X, int Y)
{
    TListView *lv = ListViewPanel->ListView;
    if (TListItem *item = lv->GetItemAt(X, Y)) {
        lv->SetHint(BuildItemHint(item));
        lv->SetShowHint(true);
    } else {
        lv->SetShowHint(false);
    }
}

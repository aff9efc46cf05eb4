// The kit's building blocks: button bar, message area and the rows of a binding's variables.
#include "GUIGenerator.h"

#include "KvSNMPRequest2Edits.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kButtonWidth = 96;
constexpr int kMaxEditChars = 42;

// The picture of a button comes from the current folder when present.
void loadGlyph(TBitBtn *button, const char *fileName)
{
    std::error_code ec;
    std::filesystem::path path = std::filesystem::current_path(ec);
    if (ec)
        return;
    path /= fileName;
    if (!std::filesystem::is_regular_file(path, ec))
        return;
    const std::string caption = button->Caption();
    button->SetCaption("");
    // An unreadable picture leaves the caption.
    if (!button->LoadGlyph(path.string()))
        button->SetCaption(caption);
}

TBitBtn *makeButton(TCtrlBtnPanel *bar, const char *caption, const char *picture)
{
    auto *b = new TBitBtn(bar);
    b->SetParent(bar);
    b->SetCaption(caption);
    b->SetWidth(kButtonWidth);
    loadGlyph(b, picture);
    return b;
}

} // namespace

// ---- TCtrlBtnPanel ----------------------------------------------------------------------

TCtrlBtnPanel::TCtrlBtnPanel(TWinControl *AOwner) : TPanel(AOwner)
{
    SamplesLabel = new TLabel(this);
    SamplesLabel->SetParent(this);
    SamplesLabel->SetCaption("Samples");
    CountText = new TStaticText(this);
    CountText->SetParent(this);
    CountText->SetAutoSize(false);
    CountText->SetBorderStyle(sbsSunken);
    CountText->SetAlignment(taCenter);
    CountText->SetCaption("0");

    RefreshBtn = makeButton(this, "Refresh", "Get.bmp");
    EditBtn = makeButton(this, "Edit", "Set.bmp");
    SetCheckedBtn = makeButton(this, "Set Checked", "SetCheck.bmp");
    AddBtn = makeButton(this, "Add", "Add.bmp");
    DeleteBtn = makeButton(this, "Delete", "Delete.bmp");
    CheckAllBtn = makeButton(this, "Check All", "SelectAll.bmp");
    ClearChecksBtn = makeButton(this, "Clear Checks", "SelectNone.bmp");
    CloseBtn = makeButton(this, "Close", "Close.bmp");

    SamplesLabel->SetAutoSize(false);
    SamplesLabel->SetWidth(RefreshBtn->Width());
    CountText->SetWidth(RefreshBtn->Width());

    Ctrls = {CountText, SamplesLabel, RefreshBtn,  EditBtn,        SetCheckedBtn,
             AddBtn,    DeleteBtn,    CheckAllBtn, ClearChecksBtn, CloseBtn};
    AddBtn->Hide();
    DeleteBtn->Hide();
    ArrangeButtons();
    SetWidth(2 * HMargin + RefreshBtn->Width());
    SetParent(AOwner);
    SetAlign(alRight);
}

void TCtrlBtnPanel::ArrangeButtons()
{
    int y = VMargin;
    for (TControl *c : Ctrls) {
        c->SetWidth(kButtonWidth);
        c->SetLeft(HMargin);
        c->SetTop(y);
        if (c->Visible())
            y = c->Top() + c->Height() + 5;
    }
}

// ---- TMsgPanel ----------------------------------------------------------------------------

TMsgPanel::TMsgPanel(TWinControl *AOwner) : TPanel(AOwner)
{
    SetHeight(50);
    Memo = new TMemo(this);
    Memo->SetParent(this);
    Memo->SetReadOnly(true);
    Memo->SetAlign(alClient);
    SetParent(AOwner);
}

// ---- TEditsPanel --------------------------------------------------------------------------

int32_t kv::editsRowKind(const KvSNMPRequest2Edits &binding, int i)
{
    const KvSNMPVarList &list = binding.Request.VarList;
    const bool named = list.GetItem(i)->Options != nullptr;
    if (list.IsSetItem(i))
        return named ? 3 : 2;
    return named ? 4 : 1;
}

TEditsPanel::TEditsPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding) : TPanel(AOwner)
{
    ScrollBox = new TScrollBox(this);
    ScrollBox->SetParent(this);
    ScrollBox->SetAlign(alClient);
    SetParent(AOwner);
    if (binding)
        BuildEdits(binding);
    SetReadOnlyColors(clBlack, clBtnFace);
}

void TEditsPanel::CheckRow(int i, const char *operation) const
{
    if (i < 0 || i >= RowCount())
        throw Exception(std::string("TEditsPanel::") + operation + " - aIdx is overtop! you may define < " +
                        std::to_string(RowCount()));
}

bool TEditsPanel::IsHiddenRow(int i) const
{
    if (!EditCtrl || i < 0 || i >= EditCtrl->Request.VarList.Count())
        return false;
    return (EditCtrl->Request.VarList.GetItem(i)->Access & KvAccess::Hidden) != 0;
}

bool TEditsPanel::IsEditableRow(int i) const
{
    if (!EditCtrl || i < 0 || i >= EditCtrl->Request.VarList.Count())
        return false;
    const KvSNMPVarList &list = EditCtrl->Request.VarList;
    return list.IsSetItem(i) && i >= list.KeyCount;
}

void TEditsPanel::BuildEdits(KvSNMPRequest2Edits *binding)
{
    // Controls of an earlier build go first; the binding keeps associations of its own.
    for (UISnmpVar &row : Rows) {
        delete row.Editor;
        delete row.CheckBox;
        delete row.Label;
    }
    Rows.clear();
    EditCtrl = binding;
    if (!binding)
        return;
    const int n = binding->Request.VarList.Count();
    Rows.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        UISnmpVar &row = Rows[static_cast<std::size_t>(i)];
        row.Kind = kv::editsRowKind(*binding, i);
        row.Format = "%s";
        row.CheckBox = new TCheckBox(this);
        row.CheckBox->SetParent(ScrollBox);
        row.CheckBox->SetWidth(20);
        row.CheckBox->Tag = i;
        row.CheckBox->SetTabStop(false);
        row.CheckBox->OnClick = [this](TObject *s) { CheckBoxClick(s); };
        row.Label = new TLabel(this);
        row.Label->SetParent(ScrollBox);
        row.Label->SetAutoSize(true);
        row.Label->SetCaption(binding->Request.VarList.GetItem(i)->Name);
        row.Label->Tag = i;
        if (row.Kind == 3) {
            auto *combo = new TComboBox(this);
            combo->SetParent(ScrollBox);
            combo->Tag = i;
            row.Editor = combo;
            binding->AssociateCombo(i, combo);
        } else if (row.Kind >= 1 && row.Kind <= 4) {
            auto *edit = new TEdit(this);
            edit->SetParent(ScrollBox);
            edit->Tag = i;
            row.Editor = edit;
            binding->AssociateEdits(i, row.Format, edit);
        }
    }
    SetEditable(false);
    LayoutRows(true);
}

void TEditsPanel::LayoutRows(bool resize)
{
    int widestLabel = 0;
    for (const UISnmpVar &row : Rows)
        if (row.Label)
            widestLabel = std::max(widestLabel, row.Label->Width());
    int y = 20;
    bool first = true;
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < RowCount(); ++i) {
        UISnmpVar &row = Rows[static_cast<std::size_t>(i)];
        if (!row.Editor || IsHiddenRow(i))
            continue;
        row.Editor->SetWidth(EditorWidth);
        if (!first) {
            if (row.Editor->Height() < 20)
                row.Editor->SetHeight(21);
            y += row.Editor->Height() + 5;
        }
        first = false;
        const int h = row.Editor->Height();
        row.Editor->SetTop(y);
        row.CheckBox->SetTop(y + (h - row.CheckBox->Height()) / 2);
        row.Label->SetTop(y + (h - row.Label->Height()) / 2);
        row.CheckBox->SetLeft(20);
        row.Label->SetLeft(row.CheckBox->Left() + row.CheckBox->Width() + 5);
        row.Editor->SetLeft(row.Label->Left() + widestLabel + 5);
        right = std::max(right, row.Editor->Left() + row.Editor->Width());
        bottom = std::max(bottom, row.Editor->Top() + row.Editor->Height());
    }
    ScrollBox->UpdateScrollRange();
    if (resize) {
        SetAlign(alNone);
        SetWidth(right + 40);
        SetHeight(bottom + 40);
    }
}

void TEditsPanel::SetEditorWidth(int width)
{
    EditorWidth = width;
    LayoutRows(true);
}

void TEditsPanel::SetEditable(bool state)
{
    CheckState = state;
    for (int i = 0; i < RowCount(); ++i) {
        if (IsEditableRow(i))
            EnableRow(i);
        else
            DisableRow(i);
    }
}

void TEditsPanel::EnableRow(int i)
{
    CheckRow(i, "EnableRow");
    UISnmpVar &row = Rows[static_cast<std::size_t>(i)];
    row.CheckBox->SetEnabled(true);
    row.CheckBox->SetVisible(true);
    row.CheckBox->SetChecked(CheckState);
    if (auto *edit = dynamic_cast<TEdit *>(row.Editor)) {
        edit->SetReadOnly(false);
        edit->SetFontColor(clBlack);
        edit->SetColor(clWhite);
        edit->SetTabStop(true);
        edit->SetMaxLength(kMaxEditChars);
    } else if (auto *combo = dynamic_cast<TComboBox *>(row.Editor)) {
        combo->SetEnabled(true);
        combo->SetFontColor(clBlack);
        combo->SetColor(clWhite);
    }
}

void TEditsPanel::DisableRow(int i)
{
    if (i < 0 || i >= RowCount()) {
        ShowMessage("aIdx is overtop!\n you may define < " + std::to_string(RowCount()));
        return;
    }
    UISnmpVar &row = Rows[static_cast<std::size_t>(i)];
    row.CheckBox->SetEnabled(false);
    row.CheckBox->SetVisible(false);
    row.CheckBox->SetChecked(false);
    if (auto *edit = dynamic_cast<TEdit *>(row.Editor)) {
        edit->SetReadOnly(true);
        edit->SetTabStop(false);
    } else if (auto *combo = dynamic_cast<TComboBox *>(row.Editor)) {
        combo->SetEnabled(false);
    }
    if (row.Editor) {
        row.Editor->SetFontColor(ReadOnlyFontColor);
        row.Editor->SetColor(ReadOnlyColor);
    }
}

void TEditsPanel::SetReadOnlyColors(TColor fontColor, TColor color)
{
    ReadOnlyFontColor = fontColor;
    ReadOnlyColor = color;
    for (int i = 0; i < RowCount(); ++i)
        if (!EditCtrl || !EditCtrl->Request.VarList.IsSetItem(i))
            DisableRow(i);
}

void TEditsPanel::HideRow(int i)
{
    CheckRow(i, "HideRow");
    if (EditCtrl && i < EditCtrl->Request.VarList.Count())
        EditCtrl->Request.VarList.GetItem(i)->Access |= KvAccess::Hidden;
    UISnmpVar &row = Rows[static_cast<std::size_t>(i)];
    row.CheckBox->Hide();
    row.Label->Hide();
    if (row.Editor)
        row.Editor->Hide();
}

void TEditsPanel::ShowRow(int i)
{
    CheckRow(i, "ShowRow");
    if (EditCtrl && i < EditCtrl->Request.VarList.Count())
        EditCtrl->Request.VarList.GetItem(i)->Access &= ~KvAccess::Hidden;
    UISnmpVar &row = Rows[static_cast<std::size_t>(i)];
    row.CheckBox->Show();
    row.Label->Show();
    if (row.Editor)
        row.Editor->Show();
}

void TEditsPanel::ClearRow(int i)
{
    CheckRow(i, "ClearRow");
    UISnmpVar &row = Rows[static_cast<std::size_t>(i)];
    if (auto *edit = dynamic_cast<TEdit *>(row.Editor))
        edit->SetText("");
    else if (auto *combo = dynamic_cast<TComboBox *>(row.Editor))
        combo->SetItemIndex(-1);
    if (EditCtrl && i < EditCtrl->Request.VarList.Count())
        EditCtrl->Request.VarList.GetItem(i)->Value.clear();
}

void TEditsPanel::ClearAll()
{
    for (int i = 0; i < RowCount(); ++i)
        ClearRow(i);
}

bool TEditsPanel::IsRowEmpty(int i) const
{
    CheckRow(i, "IsRowEmpty");
    const TWinControl *editor = Rows[static_cast<std::size_t>(i)].Editor;
    return editor && editor->Text().empty();
}

bool TEditsPanel::AllReadOnly() const
{
    for (int i = 0; i < RowCount(); ++i)
        if (IsEditableRow(i))
            return false;
    return true;
}

int TEditsPanel::CountCheckable() const
{
    int n = 0;
    for (const UISnmpVar &row : Rows)
        if (row.CheckBox && row.CheckBox->Visible() && row.CheckBox->Enabled())
            ++n;
    return n;
}

int TEditsPanel::CountChecked() const
{
    int n = 0;
    for (const UISnmpVar &row : Rows)
        if (row.CheckBox && row.CheckBox->Visible() && row.CheckBox->Checked())
            ++n;
    return n;
}

void TEditsPanel::CheckBoxClick(TObject *)
{
    if (m_bar)
        m_bar->SetCheckedBtn->SetEnabled(CountChecked() >= 1);
}

void TEditsPanel::ArrangeCtrlBtn(TCtrlBtnPanel *bar)
{
    if (!EditCtrl)
        throw Exception("TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!");
    m_bar = bar;
    bar->RefreshBtn->Show();
    bar->SetCheckedBtn->Show();
    bar->CheckAllBtn->Show();
    bar->ClearChecksBtn->Show();
    bar->CloseBtn->Show();
    bar->SamplesLabel->Hide();
    bar->CountText->Hide();
    bar->EditBtn->Hide();
    bar->AddBtn->Hide();
    bar->DeleteBtn->Hide();
    if (AllReadOnly()) {
        bar->SetCheckedBtn->Hide();
        bar->CheckAllBtn->Hide();
        bar->ClearChecksBtn->Hide();
    } else if (CountCheckable() <= 1) {
        // A single settable variable gets a plain "Set" button and no check box.
        bar->CheckAllBtn->Hide();
        bar->ClearChecksBtn->Hide();
        bar->SetCheckedBtn->SetCaption("Set");
        bar->SetCheckedBtn->SetEnabled(true);
        for (UISnmpVar &row : Rows)
            if (row.CheckBox->Visible() && row.CheckBox->Enabled())
                row.CheckBox->SetChecked(true);
        if (CountChecked() <= 1)
            for (UISnmpVar &row : Rows)
                row.CheckBox->Hide();
    }
    bar->ArrangeButtons();
}

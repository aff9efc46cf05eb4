#pragma once
// The generic form kit: panels built in code around one KvSNMPRequest2Edits binding, for MIB
// groups and tables that have no form of their own.
//
//   TCtrlBtnPanel       the vertical button bar
//   TMsgPanel           the message area that receives the request log
//   TEditsPanel         one row (check box, label, editor) per variable of the binding
//   TSNMPPanel          any client control framed by a button bar and a message area
//   TSNMPEditorPanel    the rows of a TEditsPanel, written with "Set Checked"
//   TListViewPanel      a table in a list view
//   TSNMPListViewPanel  a table whose rows are edited, added and deleted in modal dialogs
#include "AnsiString.h"
#include "Vcl.h"

#include <cstdint>
#include <functional>
#include <vector>

class KvSNMPRequest2Edits;

class TCtrlBtnPanel : public TPanel {
public:
    // Builds the bar in owner (its parent), aligned to the owner's right edge.
    explicit TCtrlBtnPanel(TWinControl *AOwner);

    TLabel *SamplesLabel;
    TStaticText *CountText; // number of table rows shown
    TBitBtn *RefreshBtn;
    TBitBtn *EditBtn;
    TBitBtn *SetCheckedBtn;
    TBitBtn *AddBtn;
    TBitBtn *DeleteBtn;
    TBitBtn *CheckAllBtn;
    TBitBtn *ClearChecksBtn;
    TBitBtn *CloseBtn;
    int HMargin = 10;
    int VMargin = 10;
    // Layout order: CountText, SamplesLabel, then the eight buttons.
    std::vector<TControl *> Ctrls;

    // Stacks the visible controls of Ctrls; call it after showing or hiding buttons.
    void ArrangeButtons();
};

class TMsgPanel : public TPanel {
public:
    explicit TMsgPanel(TWinControl *AOwner);
    TMemo *Memo;
};

// One row of a TEditsPanel.
struct UISnmpVar {
    // 0 none; 1 read-only; 2 settable; 3 settable with value names; 4 read-only with value names
    int32_t Kind = 0;
    AnsiString Format;
    TWinControl *Editor = nullptr; // TEdit, or TComboBox for kind 3
    TCheckBox *CheckBox = nullptr;
    TLabel *Label = nullptr;
};

namespace kv {
// Kind of row for item i of the binding's list (see UISnmpVar).
int32_t editsRowKind(const KvSNMPRequest2Edits &binding, int i);
} // namespace kv

class TEditsPanel : public TPanel {
public:
    // binding may be null (BuildEdits later); the binding is not owned.
    TEditsPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding);

    std::vector<UISnmpVar> Rows;
    int EditorWidth = 121;
    TColor ReadOnlyFontColor = clBlack;
    TColor ReadOnlyColor = clBtnFace;
    bool CheckState = false;
    KvSNMPRequest2Edits *EditCtrl = nullptr;
    TScrollBox *ScrollBox;

    void BuildEdits(KvSNMPRequest2Edits *binding);
    void LayoutRows(bool resize);
    void SetEditorWidth(int width);
    void SetEditable(bool state);
    // Row operations raise a programming error for an index outside the rows, except
    // DisableRow, which shows its own box and changes nothing.
    void EnableRow(int i);
    void DisableRow(int i);
    void SetReadOnlyColors(TColor fontColor, TColor color);
    void HideRow(int i);
    void ShowRow(int i);
    void ClearRow(int i);
    void ClearAll();
    bool IsRowEmpty(int i) const;
    bool AllReadOnly() const;
    int CountCheckable() const;
    int CountChecked() const;
    int RowCount() const { return static_cast<int>(Rows.size()); }

    // Shows the buttons this panel needs on bar; bar's "Set Checked" then follows the ticks.
    virtual void ArrangeCtrlBtn(TCtrlBtnPanel *bar);

    // The bar whose "Set Checked" follows the check boxes (set by ArrangeCtrlBtn).
    TCtrlBtnPanel *ButtonBar() const { return m_bar; }
    void SetButtonBar(TCtrlBtnPanel *bar) { m_bar = bar; }

    // True when row i is settable and not a key column.
    bool IsEditableRow(int i) const;
    // True when item i carries the hidden access bit.
    bool IsHiddenRow(int i) const;

private:
    void CheckRow(int i, const char *operation) const;
    void CheckBoxClick(TObject *Sender);
    TCtrlBtnPanel *m_bar = nullptr;
};

class TSNMPPanel : public TPanel {
public:
    // sharedMsgPanel null: the panel makes its own message area.
    TSNMPPanel(TWinControl *AOwner, TMsgPanel *sharedMsgPanel, KvSNMPRequest2Edits *binding);

    KvSNMPRequest2Edits *Binding;
    TCtrlBtnPanel *BtnPanel;
    TPanel *ClientPanel;
    TMsgPanel *MsgPanel = nullptr; // own message area, null when shared
    TForm *OwnerForm = nullptr;
    TControl *ClientCtrl = nullptr;
    TSplitter *RightSplitter;
    TSplitter *BottomSplitter;

    void SetClientCtrl(TControl *control);
    void AttachForm(TForm *form);
    void RefreshClick(TObject *Sender);
    void CloseClick(TObject *Sender);

    // The message area in use (own or shared).
    TMsgPanel *MessagePanel() const { return m_msgInUse; }

    // The size SetClientCtrl asked for.
    int WantedWidth() const { return m_wantedWidth; }
    int WantedHeight() const { return m_wantedHeight; }

private:
    TMsgPanel *m_msgInUse = nullptr;
    int m_wantedWidth = 0;
    int m_wantedHeight = 0;
};

class TSNMPEditorPanel : public TSNMPPanel {
public:
    TSNMPEditorPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding);

    TEditsPanel *EditsPanel;

    void SetEditorWidth(int width);
    void SetCheckedClick(TObject *Sender);
    void CheckAllClick(TObject *Sender);
    void ClearChecksClick(TObject *Sender);
};

class TListViewPanel : public TPanel {
public:
    TListViewPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding);

    TListView *ListView;
    int DeleteStatusColumn = -1;
    int AddStatusColumn = -1;
    AnsiString AddStatusValue;
    AnsiString DeleteStatusValue;

    virtual void ArrangeCtrlBtn(TCtrlBtnPanel *bar);
};

class TSNMPListViewPanel : public TSNMPEditorPanel {
public:
    TSNMPListViewPanel(TWinControl *AOwner, KvSNMPRequest2Edits *binding);

    TListViewPanel *ListViewPanel;
    TNotifyEvent OnBeforeAdd;
    TNotifyEvent OnAfterAdd;
    TNotifyEvent OnBeforeEdit;
    TNotifyEvent OnAfterEdit;

    void SetAddStatus(int column, const AnsiString &value);
    void SetDeleteStatus(int column, const AnsiString &value);

    void AddClick(TObject *Sender);
    void EditClick(TObject *Sender);
    void DeleteClick(TObject *Sender);
    void RefreshClick(TObject *Sender);
    void ListClick(TObject *Sender);
    void ListDblClick(TObject *Sender);
    void ListChange(TObject *Sender, TListItem *Item, int Change);
    void ListMouseMove(TObject *Sender, unsigned Shift, int X, int Y);

    // The hint text of a list item (one line per column).
    AnsiString BuildItemHint(TListItem *item);

private:
    friend class KitDialog;
    void CheckStatusRow(int column, const AnsiString &value, const char *what);
    void UpdateCount();
};

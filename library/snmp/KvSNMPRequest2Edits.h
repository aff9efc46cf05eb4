#pragma once
// The concrete form binding: associations of items (or parts of their data) with edits,
// combo boxes, check boxes, radio groups, labels and static texts; values shown after a Get
// and taken back before a Set; edit input checked by a KvEditConstraint manager; and
// optionally a table shown in a report list view whose selected row flows into the controls.
#include "Classes.h"
#include "ComCtrls.h"
#include "KvEditConstraint.h"
#include "KvSNMPRequest2Controls.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// How long a list view that a walk fills row by row waits between repaints meanwhile (ms):
// each repaint lays out every row already there, so a longer list waits longer.
inline int ListRepaintInterval(int rows)
{
    return rows / 100 > 50 ? rows / 100 : 50;
}

class KvOptionList;
class TComboBox;
class TControl;
class TEdit;
class TForm;

// One association: an item (or a part of its data) and the controls that show it.
struct KvSNMPAssociation {
    int Item = 0;
    int Part = 0;   // octet offset of the bound part; 0 with the item's syntax: the whole value
    int Syntax = 0; // syntax of the bound value
    KvOptionList *Options = nullptr; // not owned
    int ControlCount = 0;
    std::vector<int> PartIndexes; // check-box bit lists: the bit shown by each box
    std::vector<TControl *> Controls;
    std::vector<TNotifyEvent> SavedEvents;  // each control's own change handler
    std::vector<QPointer<QWidget>> Widgets; // null once a control is gone
    // The edits show an inexact value read (Inexact): what they showed, which leaves the item
    // out of a set while they still show it.
    bool ShowsInexact = false;
    AnsiString InexactText;
};

class KvSNMPRequest2Edits : public KvSNMPRequest2Controls {
public:
    explicit KvSNMPRequest2Edits(TForm *owner);
    ~KvSNMPRequest2Edits() override;

    std::function<void()> OnBeforeGet;
    std::function<void()> OnBeforeSet;
    std::function<void()> OnAfterGet;
    std::function<void()> OnAfterSet;
    TLVSelectItemEvent SavedSelectItem;
    TListView *ListView = nullptr;
    std::vector<std::unique_ptr<KvSNMPAssociation>> Associations;
    std::unique_ptr<KvEditConstraint> Constraints;
    bool Modified = false;
    bool EnableOnSelect = true;

    // Whole-value associations.
    void Associate(int item, TControl *control);
    void Associate(int item, TWinControl *control) { Associate(item, static_cast<TControl *>(control)); }
    void AssociateCombo(int item, TComboBox *combo);
    // The count is accepted and not used (forms pass 2 or 3 with radio groups).
    void AssociateOptions(int item, TControl *control, int count);
    // One edit per "%" letter of format ("%s", "%u{n1x65535}", "%h%h%h%h%h%h" ...).
    void AssociateEdits(int item, const AnsiString &format, const std::vector<TEdit *> &edits);
    template <class... Rest>
    void AssociateEdits(int item, const AnsiString &format, TEdit *first, Rest *...rest)
    {
        AssociateEdits(item, format, std::vector<TEdit *>{first, rest...});
    }
    // Check boxes bound to single bits: the k-th index is the bit of the k-th control.
    void AssociateList(int item, const AnsiString &indexList, const std::vector<TControl *> &controls);
    void Disassociate(int item);
    void SetConstraintOwner(TForm *owner);

    // An association of a part of the item's data (offset and syntax of its own), or of the
    // whole value; raises -520 for a choice control without option list, -522 for a
    // text-prefix list in a combo box without second control.
    KvSNMPAssociation *AddAssociation(int item, int part, int syntax, KvOptionList *options, TControl *first,
                                      TControl *second = nullptr);
    KvSNMPAssociation *AddAssociations(int item, int part, int syntax, KvOptionList *options,
                                       const std::vector<TControl *> &controls);
    KvSNMPAssociation *AddIndexedAssociations(int item, int part, int syntax, KvOptionList *options,
                                              const AnsiString &indexList,
                                              const std::vector<TControl *> &controls);

    // Item values into the bound controls, and back (item index, or -1 for all).
    void ValuesToControls(int item);
    void ControlsToValues(int item);
    void EnableControls(bool enabled);
    void ControlChanged(TObject *sender);

    // List-view table display.
    void SetupListView(TListView *listView, bool enableOnSelect);
    void SetupListColumns();
    void AddListRow();
    void SelectedRowToValues();
    // Items in column order: the hidden items, then the shown ones, as they were when the
    // list view was set up for this variable list.
    std::vector<int> ColumnItems() const;

    void DoBeforeGet() override;
    void DoBeforeSet() override;
    void ShowValues() override;
    void TakeValues() override;
    void DoAfterGet() override;
    void DoAfterSet() override;
    virtual void ListViewSelectItem(TObject *sender, TListItem *item, bool selected);

protected:
    // Whether a list view's selection handler is the one this binding installed.
    bool IsOurSelectHook(const TLVSelectItemEvent &handler) const;
    void HookControlEvent(KvSNMPAssociation &association, int position);
    void UnhookControlEvent(KvSNMPAssociation &association, int position);

private:
    void showAssociation(KvSNMPAssociation &a, KvSNMPItem &item, const AnsiString &rawText);
    void splitIntoEdits(KvSNMPAssociation &a, const AnsiString &text, const OctetStr &raw);
    AnsiString joinEdits(KvSNMPAssociation &a);
    // After a whole value was shown in edits: notes whether it is inexact, and tells the user.
    void noteInexact(KvSNMPAssociation &a, const KvSNMPItem &item);
    // The edits of an inexact value still show what was read.
    bool keepsInexact(KvSNMPAssociation &a);
    bool controlAlive(const KvSNMPAssociation &a, int position) const;
    void releaseAssociation(KvSNMPAssociation &a);
    // Raw value texts shown last, per item: what a choice control without selection keeps
    // and what a bit list keeps of the bits no box names.
    std::map<int, AnsiString> m_lastShown;
    QPointer<QWidget> m_listWidget;
    // The column layout and the item OIDs of the list it was worked out for: forms change
    // the hidden and invalid flags while a row is edited, and the cells must keep their items.
    void fixColumnLayout();
    bool columnLayoutFits() const;
    std::vector<int> m_columnItems;
    int m_hiddenColumns = 0;
    std::vector<AnsiString> m_columnOids;
};

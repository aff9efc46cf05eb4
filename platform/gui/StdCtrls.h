#pragma once
// Standard controls: labels, edits, memos, combo boxes, check boxes, radio buttons, group
// boxes, list boxes and buttons.
//
// When the controls' events run:
// - TEdit::SetText runs OnChange when the text changes (as typing does).
// - TCheckBox::SetChecked runs OnClick when the state changes (as a click does).
// - TComboBox::SetItemIndex runs nothing; only the user's choice runs OnChange.
// - TRadioButton::SetChecked(true) runs OnClick when it was unchecked.
#include "Controls.h"

class TLabel : public TControl {
public:
    explicit TLabel(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    void SetAutoSize(bool v);
    bool AutoSize() const { return m_autoSize; }

private:
    bool m_autoSize = true;
};

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    void SetBorderStyle(TStaticBorderStyle s);
    void SetAlignment(TAlignment a);
    void SetAutoSize(bool v);
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;

    // Limits what the user types (0: no limit); text set by code is not cut.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int n);
    // Typed text shows as this character repeated (0: the text itself).
    char PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char c);
    // A read-only edit takes the focus by a click (to copy its text), not by Tab nor as the
    // first control of its window.
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    // bsNone draws neither frame nor background (a value shown as a label shows text); a
    // colour set afterwards fills the background again.
    TBorderStyle BorderStyle() const;
    void SetBorderStyle(TBorderStyle s);
    int SelStart() const;
    void SetSelStart(int pos);
    void SelectAll();

    TNotifyEvent OnChange;

private:
    int m_maxLength = 0;
    char m_passwordChar = 0;
    bool m_tabStop = true; // while read-only: the tab stop to go back to
};

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent *AOwner);
    ~TMemo() override;
    TStrings *Lines() { return &m_lines; }
    std::string Text() const override;
    void SetText(const std::string &text) override;
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    void SetWordWrap(bool v);
    void Clear() { m_lines.Clear(); }

    TNotifyEvent OnChange;

private:
    void LinesToWidget();
    TStringList m_lines;
};

enum TComboBoxStyle { csDropDown, csDropDownList, csSimple };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent *AOwner);
    ~TComboBox() override;
    TStrings *Items() { return &m_items; }
    int ItemIndex() const;
    // Selects without running OnChange; -1 or an index out of range clears the choice.
    void SetItemIndex(int i);
    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle s);
    // The chosen item's text (drop-down list) or the typed text (drop-down).
    std::string Text() const override;
    void SetText(const std::string &text) override;
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;

protected:
    QWidget *FocusWidget() const override;

private:
    void ItemsToWidget();
    TStringList m_items;
    TComboBoxStyle m_style = csDropDown;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    // False too while the box shows neither.
    bool Checked() const;
    // Runs OnClick when the state changes.
    void SetChecked(bool v);
    // Neither on nor off (partly checked): a value not known; Checked() is false. Runs OnClick
    // as a change does; the user's click makes the box on, and from then on it is on or off.
    void SetNeither();
    bool Neither() const;
};

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    bool Checked() const;
    // Checking runs OnClick (when it was unchecked) and unchecks the siblings.
    void SetChecked(bool v);

private:
    friend class TRadioGroup;
    void TurnSiblingsOff();
    bool m_silent = false;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    QWidget *ClientWidget() const override;
};

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent *AOwner);
    ~TListBox() override;
    TStrings *Items() { return &m_items; }
    int ItemIndex() const;
    void SetItemIndex(int i);
    void Clear() { m_items.Clear(); }

private:
    void ItemsToWidget();
    TStringList m_items;
};

class TButton : public TWinControl {
public:
    explicit TButton(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    // A non-zero result ends the modal showing of the button's form with it.
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult r) { m_modalResult = r; }
    void SetDefault(bool v);
    void SetCancel(bool v) { m_cancel = v; }
    bool Cancel() const { return m_cancel; }
    void Click() override;

private:
    TModalResult m_modalResult = mrNone;
    bool m_cancel = false;
};

// A button with a picture (glyph) next to or instead of its caption.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent *AOwner);
    // Loads the glyph from a picture file; false (glyph unchanged) when it cannot be read.
    bool LoadGlyph(const std::string &path);
    bool HasGlyph() const { return m_hasGlyph; }

private:
    bool m_hasGlyph = false;
};

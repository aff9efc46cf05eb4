#pragma once
// Main menu and menu items. A menu item with sub-items runs its OnClick when its sub-menu is
// about to open (so a handler can show or hide entries first); a leaf runs it when chosen.
// A main menu whose entries do not fit the form's width wraps into further rows.
#include "Classes.h"

#include <QMenuBar>
#include <QPointer>

class QAction;
class QMenu;
class TForm;
class TMainMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent *AOwner);
    ~TMenuItem() override;

    std::string Caption() const { return m_caption; }
    void SetCaption(const std::string &c);
    bool Visible() const { return m_visible; }
    void SetVisible(bool v);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v);
    bool Checked() const { return m_checked; }
    void SetChecked(bool v);

    // Appends a sub-item (the item keeps its owner; the menu shows it).
    void Add(TMenuItem *item);
    void Remove(TMenuItem *item);
    int Count() const { return static_cast<int>(m_items.size()); }
    TMenuItem *Items(int i) const;
    TMenuItem *Parent() const { return m_parent; }
    // Runs OnClick as choosing the item does.
    void Click();

    TNotifyEvent OnClick;

    QAction *Action() const { return m_action; }

private:
    friend class TMainMenu;
    void EnsureMenu();
    // The main menu whose root this item is, or null.
    TMainMenu *m_mainMenu = nullptr;
    void TopEntryChanged();
    std::string m_caption;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_checked = false;
    TMenuItem *m_parent = nullptr;
    std::vector<TMenuItem *> m_items;
    QAction *m_action = nullptr;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QAction> m_ownAction;
};

class TMainMenu : public TComponent {
public:
    // Shown on the owner when that is a form.
    explicit TMainMenu(TComponent *AOwner);
    ~TMainMenu() override;
    // The top-level entries.
    TMenuItem *Items() { return m_root.get(); }
    // The widget that holds the rows of the bar (null once the form's window is gone).
    QWidget *MenuArea() const { return m_area.data(); }
    // Spreads the top-level entries over as many rows as the width needs; returns the height.
    int Arrange(int width);
    // The row of the bar that shows a top-level entry, or null.
    QMenuBar *RowOf(const TMenuItem *item) const;
    // Opens the bar on its first menu (F10).
    void OpenBar();

private:
    friend class TMenuItem;
    void EntriesChanged();
    std::unique_ptr<TMenuItem> m_root;
    // Owned by the form's window once shown on a form, which may delete it first.
    QPointer<QWidget> m_area;
    std::vector<QPointer<QMenuBar>> m_rows;
    int m_arrangedWidth = -1;
    int m_height = 0;
};

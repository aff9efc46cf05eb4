#pragma once
// Main menu and menu items. A menu item with sub-items runs its OnClick when its sub-menu is
// about to open (so a handler can show or hide entries first); a leaf runs it when chosen.
#include "Classes.h"

#include <QMenuBar>
#include <QPointer>

class QAction;
class QMenu;
class TForm;

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
    // Set on the root item of a main menu; the form's widget may delete the bar first.
    QPointer<QMenuBar> m_bar;
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
    QMenuBar *MenuBar() const { return m_bar.data(); }

private:
    friend class TMenuItem;
    std::unique_ptr<TMenuItem> m_root;
    QPointer<QMenuBar> m_bar;
};

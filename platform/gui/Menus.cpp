#include "Menus.h"

#include "EventLoop.h"
#include "Forms.h"
#include "GuiPrivate.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent *AOwner) : TComponent(AOwner), m_ownAction(std::make_unique<QAction>())
{
    m_action = m_ownAction.get();
    QObject::connect(m_action, &QAction::triggered, m_action, [this] {
        if (m_items.empty())
            Click();
    });
}

TMenuItem::~TMenuItem()
{
    for (TMenuItem *child : m_items)
        child->m_parent = nullptr;
    m_items.clear();
    if (m_parent)
        m_parent->Remove(this);
    m_ownAction.reset();
    m_menu.reset();
}

void TMenuItem::SetCaption(const std::string &c)
{
    m_caption = c;
    QString text = kv::gui::toQ(c);
    m_action->setText(text);
    m_action->setSeparator(c == "-");
    if (m_menu)
        m_menu->setTitle(text);
}

void TMenuItem::SetVisible(bool v)
{
    m_visible = v;
    m_action->setVisible(v);
}

void TMenuItem::SetEnabled(bool v)
{
    m_enabled = v;
    m_action->setEnabled(v);
}

void TMenuItem::SetChecked(bool v)
{
    m_checked = v;
    m_action->setCheckable(v || m_action->isCheckable());
    m_action->setChecked(v);
}

void TMenuItem::EnsureMenu()
{
    if (m_menu)
        return;
    m_menu = std::make_unique<QMenu>(kv::gui::toQ(m_caption));
    // A sub-menu about to open reports the item's click, so its handler can adjust entries.
    QObject::connect(m_menu.get(), &QMenu::aboutToShow, m_menu.get(), [this] { Click(); });
    m_action->setMenu(m_menu.get());
}

void TMenuItem::Add(TMenuItem *item)
{
    if (!item || item == this)
        return;
    if (item->m_parent)
        item->m_parent->Remove(item);
    item->m_parent = this;
    m_items.push_back(item);
    if (m_bar) {
        m_bar->addAction(item->m_action);
    } else {
        EnsureMenu();
        m_menu->addAction(item->m_action);
    }
}

void TMenuItem::Remove(TMenuItem *item)
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    item->m_parent = nullptr;
    if (m_bar)
        m_bar->removeAction(item->m_action);
    else if (m_menu)
        m_menu->removeAction(item->m_action);
}

TMenuItem *TMenuItem::Items(int i) const
{
    return (i >= 0 && i < Count()) ? m_items[static_cast<std::size_t>(i)] : nullptr;
}

void TMenuItem::Click()
{
    if (Destroying() || !OnClick)
        return;
    TNotifyEvent handler = OnClick;
    kv::invokeGuarded([&] { handler(this); });
}

// ---- TMainMenu ----

TMainMenu::TMainMenu(TComponent *AOwner) : TComponent(AOwner), m_root(std::make_unique<TMenuItem>(nullptr))
{
    m_bar = new QMenuBar;
    m_bar->setNativeMenuBar(false);
    m_root->m_bar = m_bar;
    if (auto *form = dynamic_cast<TForm *>(AOwner))
        form->SetMenu(this);
}

TMainMenu::~TMainMenu()
{
    if (m_bar) {
        auto *form = dynamic_cast<TForm *>(Owner());
        if (form && form->Menu() == this)
            form->SetMenu(nullptr);
    }
    m_root.reset();
    delete m_bar.data();
}

#include "Menus.h"

#include "EventLoop.h"
#include "Forms.h"
#include "GuiPrivate.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStyle>

#include <algorithm>

namespace {

// A top menu's text: its caption with its first letter that no menu before it took as its
// Alt accelerator (Home takes H, so Help takes E).
QString withAccelerator(const std::string &caption, QString &taken)
{
    QString text = kv::gui::toQ(caption);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i].toLower();
        if (c.isLetterOrNumber() && !taken.contains(c)) {
            taken += c;
            return text.insert(i, QLatin1Char('&'));
        }
    }
    return text;
}

} // namespace

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
    TopEntryChanged();
}

void TMenuItem::SetVisible(bool v)
{
    const bool changed = v != m_visible;
    m_visible = v;
    m_action->setVisible(v);
    if (changed)
        TopEntryChanged();
}

void TMenuItem::TopEntryChanged()
{
    // A top-level entry that changes width may move the others between the bar's rows.
    if (m_parent && m_parent->m_mainMenu)
        m_parent->m_mainMenu->EntriesChanged();
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
    if (m_mainMenu) {
        m_mainMenu->EntriesChanged();
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
    if (m_mainMenu)
        m_mainMenu->EntriesChanged();
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
    m_area = new QWidget;
    m_root->m_mainMenu = this;
    if (auto *form = dynamic_cast<TForm *>(AOwner)) {
        form->SetMenu(this);
        // F10 opens the bar on its first menu, as Alt and the arrow keys do.
        auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), m_area);
        f10->setContext(Qt::WindowShortcut);
        QObject::connect(f10, &QShortcut::activated, m_area, [this] { OpenBar(); });
    }
}

void TMainMenu::OpenBar()
{
    for (QPointer<QMenuBar> &row : m_rows)
        for (QAction *a : row ? row->actions() : QList<QAction *>())
            if (a->isVisible() && a->isEnabled()) {
                row->setActiveAction(a);
                return;
            }
}

TMainMenu::~TMainMenu()
{
    BeginDestroy();
    if (m_area) {
        auto *form = dynamic_cast<TForm *>(Owner());
        if (form && form->Menu() == this)
            form->SetMenu(nullptr);
    }
    m_root.reset();
    delete m_area.data();
}

void TMainMenu::EntriesChanged()
{
    if (Destroying() || !m_area)
        return;
    m_arrangedWidth = -1;
    auto *form = dynamic_cast<TForm *>(Owner());
    if (form && form->Menu() == this)
        form->MenuChanged();
    else
        Arrange(m_area->width());
}

int TMainMenu::Arrange(int width)
{
    if (!m_area)
        return 0;
    if (width == m_arrangedWidth)
        return m_height;
    for (QPointer<QMenuBar> &row : m_rows)
        for (QAction *a : row->actions())
            row->removeAction(a);
    std::size_t used = 0;
    auto rowAt = [this](std::size_t i) {
        if (i == m_rows.size()) {
            auto *bar = new QMenuBar(m_area);
            bar->setNativeMenuBar(false);
            m_rows.emplace_back(bar);
        }
        return m_rows[i].data();
    };
    QMenuBar *bar = rowAt(0);
    // The bar hides what reaches into its right margin behind its overflow button.
    const int margin = bar->style()->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, bar);
    bool rowUsed = false;
    QString taken;
    for (int i = 0; i < m_root->Count(); ++i) {
        QAction *action = m_root->Items(i)->Action();
        action->setText(withAccelerator(m_root->Items(i)->Caption(), taken));
        bar->addAction(action);
        if (!action->isVisible())
            continue;
        if (rowUsed && bar->sizeHint().width() + margin > width) {
            bar->removeAction(action);
            bar = rowAt(++used);
            bar->addAction(action);
        }
        rowUsed = true;
    }
    while (m_rows.size() > used + 1) {
        delete m_rows.back().data();
        m_rows.pop_back();
    }
    int y = 0;
    for (QPointer<QMenuBar> &r : m_rows) {
        const int h = r->sizeHint().height();
        r->setGeometry(0, y, width, h);
        r->show();
        y += h;
    }
    m_area->resize(width, y);
    m_arrangedWidth = width;
    m_height = y;
    return y;
}

QMenuBar *TMainMenu::RowOf(const TMenuItem *item) const
{
    for (const QPointer<QMenuBar> &row : m_rows)
        if (row && item && row->actions().contains(item->Action()))
            return row.data();
    return nullptr;
}

#include "ComCtrls.h"

#include "Forms.h"
#include "GuiPrivate.h"

#include <QDateTimeEdit>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <vector>

using kv::gui::fromQ;
using kv::gui::toQ;

namespace {

// The tree's own item lookup remembers where an item was last found; the public one searches
// every row, which made filling a long list quadratic.
class ListTree : public QTreeWidget {
public:
    using QTreeWidget::indexFromItem;
};

} // namespace

// ---- list view columns ----

void TListColumn::SetCaption(const std::string &c)
{
    m_caption = c;
    m_view->ColumnsChanged();
}

void TListColumn::SetWidth(int w)
{
    m_width = w;
    m_view->ApplyColumnWidth(m_index);
}

TListColumn *TListColumns::Items(int i) const
{
    return (i >= 0 && i < Count()) ? m_columns[static_cast<std::size_t>(i)].get() : nullptr;
}

TListColumn *TListColumns::Add()
{
    m_columns.push_back(std::unique_ptr<TListColumn>(new TListColumn(m_view, Count())));
    m_view->ColumnsChanged();
    return m_columns.back().get();
}

void TListColumns::Clear()
{
    m_columns.clear();
    m_view->ColumnsChanged();
}

// ---- list items ----

TListItem::TListItem(TListView *view) : m_view(view)
{
    m_subItems.onChanged = [this] { Sync(); };
}

TListItem::~TListItem()
{
    m_subItems.onChanged = nullptr;
    delete m_node;
}

void TListItem::SetCaption(const std::string &c)
{
    m_caption = c;
    Sync();
}

void TListItem::Sync()
{
    if (!m_node)
        return;
    // Only changed cells are set and measured: a row filled cell by cell is measured once a cell.
    std::vector<int> changed;
    m_view->m_syncing = true;
    const int columns = std::max(m_node->columnCount(), m_subItems.Count() + 1);
    for (int i = 0; i < columns; ++i) {
        const QString text = toQ(i == 0 ? m_caption : m_subItems[i - 1]);
        if (m_node->text(i) != text) {
            m_node->setText(i, text);
            changed.push_back(i);
        }
    }
    m_view->m_syncing = false;
    for (int i : changed)
        m_view->FitColumnTo(this, i);
}

int TListItem::Index() const
{
    return m_view->m_items.IndexOf(this);
}

bool TListItem::Selected() const
{
    return m_view->m_selected == this;
}

void TListItem::SetSelected(bool v)
{
    if (v)
        m_view->SetSelected(this);
    else if (Selected())
        m_view->SetSelected(nullptr);
}

void TListItem::Delete()
{
    m_view->m_items.Delete(Index());
}

TListItem *TListItems::Item(int i) const
{
    return (i >= 0 && i < Count()) ? m_items[static_cast<std::size_t>(i)].get() : nullptr;
}

TListItem *TListItems::Add()
{
    return Insert(Count());
}

TListItem *TListItems::Insert(int i)
{
    if (i < 0 || i > Count())
        i = Count();
    auto *tree = static_cast<QTreeWidget *>(m_view->Widget());
    std::unique_ptr<TListItem> item(new TListItem(m_view));
    item->m_node = new QTreeWidgetItem;
    m_view->m_syncing = true;
    tree->insertTopLevelItem(i, item->m_node);
    m_view->m_syncing = false;
    TListItem *raw = item.get();
    m_items.insert(m_items.begin() + i, std::move(item));
    return raw;
}

void TListItems::Delete(int i)
{
    if (i < 0 || i >= Count())
        return;
    TListItem *item = m_items[static_cast<std::size_t>(i)].get();
    m_view->ItemRemoved(item);
    m_view->m_syncing = true;
    m_items.erase(m_items.begin() + i);
    m_view->m_syncing = false;
}

void TListItems::Clear()
{
    m_view->m_selected = nullptr;
    m_view->m_syncing = true;
    m_items.clear();
    m_view->m_syncing = false;
    for (int i = 0; i < m_view->m_columns.Count(); ++i)
        if (m_view->m_columns.Items(i)->Fitted())
            m_view->ApplyColumnWidth(i);
}

int TListItems::IndexOf(const TListItem *item) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<std::size_t>(i)].get() == item)
            return i;
    return -1;
}

// ---- TListView ----

TListView::TListView(TComponent *AOwner) : TWinControl(AOwner, new ListTree), m_columns(this), m_items(this)
{
    auto *tree = static_cast<QTreeWidget *>(Widget());
    tree->resize(250, 150);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setColumnCount(0);
    tree->setMouseTracking(true);
    tree->viewport()->setMouseTracking(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setMinimumSectionSize(0);
    QObject::connect(tree, &QTreeWidget::itemSelectionChanged, tree, [this] {
        if (!m_syncing)
            UserSelectionChanged();
    });
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, tree,
                     [this](QTreeWidgetItem *, int) { Fire(OnDblClick); });
    QObject::connect(tree, &QTreeWidget::itemClicked, tree,
                     [this](QTreeWidgetItem *, int) { Fire(OnClick); });
    // Mouse moves arrive at the viewport; report them in its coordinates.
    WatchWidget(tree->viewport());
}

TListView::~TListView()
{
    m_selected = nullptr;
    m_syncing = true;
    m_items.m_items.clear();
}

bool TListView::WidgetEvent(QObject *watched, QEvent *e)
{
    auto *tree = static_cast<QTreeWidget *>(Widget());
    if (watched == tree->viewport() && e->type() == QEvent::MouseMove && OnMouseMove) {
        const QPoint p = static_cast<QMouseEvent *>(e)->position().toPoint();
        auto handler = OnMouseMove;
        FireGuarded([&] { handler(this, 0, p.x(), p.y()); });
        return false;
    }
    return TWinControl::WidgetEvent(watched, e);
}

void TListView::ColumnsChanged()
{
    auto *tree = static_cast<QTreeWidget *>(Widget());
    QStringList labels;
    for (int i = 0; i < m_columns.Count(); ++i) {
        m_columns.Items(i)->m_index = i;
        labels << toQ(m_columns.Items(i)->Caption());
    }
    tree->setColumnCount(static_cast<int>(labels.size()));
    tree->setHeaderLabels(labels);
    for (int i = 0; i < m_columns.Count(); ++i)
        ApplyColumnWidth(i);
    for (auto &item : m_items.m_items)
        item->Sync();
}

void TListView::ApplyColumnWidth(int i)
{
    TListColumn *col = m_columns.Items(i);
    if (!col)
        return;
    auto *tree = static_cast<QTreeWidget *>(Widget());
    const int w = col->Width();
    if (w == 0) {
        tree->setColumnHidden(i, true);
        return;
    }
    tree->setColumnHidden(i, false);
    if (col->Fitted()) {
        QFontMetrics fm(tree->header()->font());
        int width = fm.horizontalAdvance(toQ(col->Caption())) + 16;
        for (auto &item : m_items.m_items)
            width = std::max(width, CellWidth(item->m_node, i));
        tree->setColumnWidth(i, width);
    } else if (w > 0) {
        tree->setColumnWidth(i, w);
    }
}

int TListView::CellWidth(const QTreeWidgetItem *node, int column) const
{
    auto *tree = static_cast<ListTree *>(Widget());
    const QModelIndex index = tree->indexFromItem(node, column);
    return index.isValid() ? tree->sizeHintForIndex(index).width() : 0;
}

void TListView::FitColumnTo(const TListItem *item, int column)
{
    const TListColumn *col = m_columns.Items(column);
    if (!col || !col->Fitted())
        return;
    auto *tree = static_cast<QTreeWidget *>(Widget());
    const int width = CellWidth(item->m_node, column);
    if (width > tree->columnWidth(column))
        tree->setColumnWidth(column, width);
}

void TListView::SetRowSelect(bool v)
{
    static_cast<QTreeWidget *>(Widget())->setSelectionBehavior(v ? QAbstractItemView::SelectRows
                                                                 : QAbstractItemView::SelectItems);
}

void TListView::SetGridLines(bool v)
{
    m_gridLines = v;
    // A style sheet that gives items a border draws them itself, selected ones included.
    static_cast<QTreeWidget *>(Widget())->setStyleSheet(
        v ? QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"
                           "QTreeView::item:selected { background: palette(highlight);"
                           " color: palette(highlighted-text); }")
          : QString());
}

int TListView::ItemIndex() const
{
    return m_selected ? m_selected->Index() : -1;
}

void TListView::SetItemIndex(int i)
{
    SetSelected(m_items.Item(i));
}

TListItem *TListView::GetItemAt(int x, int y) const
{
    auto *tree = static_cast<QTreeWidget *>(Widget());
    QTreeWidgetItem *node = tree->itemAt(x, y);
    if (!node)
        return nullptr;
    for (auto &item : m_items.m_items)
        if (item->m_node == node)
            return item.get();
    return nullptr;
}

void TListView::ItemRemoved(TListItem *item)
{
    if (m_selected == item)
        m_selected = nullptr;
}

void TListView::SetSelected(TListItem *item)
{
    if (item && item->m_view != this)
        return;
    TListItem *old = m_selected;
    auto *tree = static_cast<QTreeWidget *>(Widget());
    m_syncing = true;
    tree->clearSelection();
    if (item) {
        item->m_node->setSelected(true);
        tree->setCurrentItem(item->m_node);
    }
    m_syncing = false;
    if (old != item)
        ReportSelection(old, item);
}

void TListView::UserSelectionChanged()
{
    auto *tree = static_cast<QTreeWidget *>(Widget());
    const auto nodes = tree->selectedItems();
    TListItem *now = nullptr;
    if (!nodes.isEmpty()) {
        for (auto &item : m_items.m_items)
            if (item->m_node == nodes.first())
                now = item.get();
    }
    if (now != m_selected)
        ReportSelection(m_selected, now);
}

void TListView::ReportSelection(TListItem *old, TListItem *now)
{
    m_selected = now;
    std::weak_ptr<bool> alive = AliveToken();
    if (old && OnSelectItem) {
        auto handler = OnSelectItem;
        FireGuarded([&] { handler(this, old, false); });
        if (alive.expired())
            return;
    }
    // The first handler may have removed the new item.
    if (now && m_items.IndexOf(now) >= 0 && OnSelectItem) {
        auto handler = OnSelectItem;
        FireGuarded([&] { handler(this, now, true); });
    }
}

// ---- status bar ----

namespace {

// Narrower than this, a bar has not been laid out yet.
constexpr int kMinWrapWidth = 60;

// The forms' status bars tell outcomes, whole, on as many lines as they take; the main
// window's keeps its one line.
bool WrapsText(const TStatusBar &bar)
{
    const TForm *form = bar.ParentForm();
    return form != nullptr && (Application == nullptr || form != Application->MainForm());
}

// A status panel: what does not fit ends in "...", and the whole text is its tooltip; or,
// wrapping, it goes on to further lines between words.
class StatusPanelLabel : public QLabel {
public:
    explicit StatusPanelLabel(QWidget *parent) : QLabel(parent)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    void setWholeText(const QString &text, bool wrap)
    {
        if (text == m_whole && wrap == m_wrap)
            return;
        m_whole = text;
        m_wrap = wrap;
        setToolTip(text);
        fit();
    }
    // The lines of the text at the label's width.
    int lineCount() const { return static_cast<int>(wrapped().count(QLatin1Char('\n'))) + 1; }
    // The height all its lines take, with the frame.
    int textHeight() const
    {
        // As the label draws its lines, with a pixel to spare above and below.
        const QRect drawn =
            fontMetrics().boundingRect(QRect(0, 0, room(), 1 << 20), Qt::AlignLeft, wrapped());
        return drawn.height() + 2 * (frameWidth() + margin() + 1);
    }
    // The text, not its length, decides nothing about the bar's layout (and a new text costs
    // no measuring when the bar is laid out again).
    QSize minimumSizeHint() const override { return {2 * frameWidth(), lineHeight()}; }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        QLabel::resizeEvent(e);
        fit();
    }

private:
    int room() const
    {
        const QFontMetrics fm = fontMetrics();
        // A framed label indents its text by half an "x" (QLabel's rule for a negative indent).
        const int shift =
            indent() >= 0 ? indent() : (frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2 : 0);
        // Wrapping, the label fills the bar, whose width stands before the layout gets to it.
        const int width =
            m_wrap && parentWidget() ? parentWidget()->width() - 2 * frameWidth() : contentsRect().width();
        return width - 2 * margin() - shift;
    }
    // The text broken between words into lines that fit; a word longer than a line is broken
    // where it must be.
    QString wrapped() const
    {
        const QFontMetrics fm = fontMetrics();
        const int width = std::max(room(), fm.horizontalAdvance(QStringLiteral("MM")));
        QStringList lines;
        QString line;
        for (const QString &word : m_whole.split(QLatin1Char(' '))) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (fm.horizontalAdvance(longer) <= width || longer.isEmpty()) {
                line = longer;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            line = word;
            while (line.size() > 1 && fm.horizontalAdvance(line) > width) {
                qsizetype keep = line.size() - 1;
                while (keep > 1 && fm.horizontalAdvance(line.left(keep)) > width)
                    --keep;
                lines << line.left(keep);
                line = line.mid(keep);
            }
        }
        lines << line;
        return lines.join(QLatin1Char('\n'));
    }
    void fit()
    {
        if (m_wrap) {
            const QString shown = wrapped();
            if (text() != shown)
                setText(shown);
            return;
        }
        const QFontMetrics fm = fontMetrics();
        const int room = this->room();
        QString shown = m_whole;
        if (fm.horizontalAdvance(m_whole) > room) {
            const QString dots = QStringLiteral("...");
            qsizetype keep = m_whole.size() - 1;
            while (keep > 0 && fm.horizontalAdvance(m_whole.left(keep) + dots) > room)
                --keep;
            shown = m_whole.left(keep) + dots;
        }
        if (text() != shown)
            setText(shown);
    }
    int lineHeight() const { return fontMetrics().height() + 2 * (frameWidth() + margin()); }
    QString m_whole;
    bool m_wrap = false;
};

} // namespace

void TStatusPanel::SetText(const std::string &t)
{
    m_text = t;
    m_bar->Rebuild();
}

void TStatusPanel::SetWidth(int w)
{
    m_width = w;
    m_bar->Rebuild();
}

TStatusPanel *TStatusPanels::Items(int i) const
{
    return (i >= 0 && i < Count()) ? m_panels[static_cast<std::size_t>(i)].get() : nullptr;
}

TStatusPanel *TStatusPanels::Add()
{
    m_panels.push_back(std::unique_ptr<TStatusPanel>(new TStatusPanel(m_bar, Count())));
    m_bar->Rebuild();
    return m_panels.back().get();
}

void TStatusPanels::Clear()
{
    m_panels.clear();
    m_bar->Rebuild();
}

TStatusBar::TStatusBar(TComponent *AOwner) : TWinControl(AOwner, new QWidget), m_panels(this)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    Widget()->resize(200, 19);
    auto *layout = new QHBoxLayout(Widget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    SetAlign(alBottom);
    Rebuild();
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool v)
{
    m_simplePanel = v;
    Rebuild();
}

void TStatusBar::SetSimpleText(const std::string &t)
{
    m_simpleText = t;
    Rebuild();
}

void TStatusBar::Resized()
{
    TWinControl::Resized();
    FitLines();
}

void TStatusBar::FitLines()
{
    auto *label = m_simplePanel && WrapsText(*this)
                      ? Widget()->findChild<StatusPanelLabel *>(QString(), Qt::FindDirectChildrenOnly)
                      : nullptr;
    // Not laid out yet: its lines are counted once it has its width.
    if (m_fitting || Destroying() || (label != nullptr && Width() < kMinWrapWidth))
        return;
    // One line keeps the bar's own height; more take what they need.
    const int extra =
        label && label->lineCount() > 1 ? std::max(0, label->textHeight() - (Height() - m_extra)) : 0;
    if (extra == m_extra)
        return;
    m_fitting = true;
    const int delta = extra - m_extra;
    m_extra = extra;
    MakeRoom(delta);
    m_fitting = false;
}

void TStatusBar::MakeRoom(int delta)
{
    SetHeight(Height() + delta);
    TControl *inner = this;
    TWinControl *outer = Parent();
    while (outer != nullptr) {
        // A page grows with its page control.
        if (auto *sheet = dynamic_cast<TTabSheet *>(outer)) {
            inner = sheet->PageControl();
            outer = inner != nullptr ? inner->Parent() : nullptr;
            if (outer == nullptr)
                return;
        }
        if (inner != this) {
            const int bottom = inner->Top() + inner->Height();
            for (int i = 0; i < outer->ControlCount(); ++i) {
                TControl *below = outer->Controls(i);
                if (below != inner && below->Align() == alNone && below->Top() >= bottom)
                    below->SetTop(below->Top() + delta);
            }
            if (inner->Align() == alNone)
                inner->SetHeight(inner->Height() + delta);
        }
        if (dynamic_cast<TForm *>(outer) != nullptr || outer->Parent() == nullptr) {
            outer->SetClientHeight(outer->ClientHeight() + delta);
            return;
        }
        inner = outer;
        outer = outer->Parent();
    }
}

void TStatusBar::Rebuild()
{
    QWidget *w = Widget();
    auto *layout = static_cast<QHBoxLayout *>(w->layout());
    std::vector<StatusPanelLabel *> labels;
    for (QLabel *l : w->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
        labels.push_back(static_cast<StatusPanelLabel *>(l));
    const std::size_t needed = m_simplePanel ? 1 : static_cast<std::size_t>(m_panels.Count());
    while (labels.size() > needed) {
        delete labels.back();
        labels.pop_back();
    }
    while (labels.size() < needed) {
        auto *l = new StatusPanelLabel(w);
        layout->addWidget(l);
        labels.push_back(l);
    }
    // Each stretch is set once to its value: a change lays the bar out again.
    for (std::size_t i = 0; i < labels.size(); ++i) {
        StatusPanelLabel *l = labels[i];
        if (m_simplePanel) {
            l->setWholeText(toQ(m_simpleText), WrapsText(*this));
            l->setMinimumWidth(0);
            l->setMaximumWidth(QWIDGETSIZE_MAX);
            layout->setStretch(static_cast<int>(i), 1);
        } else {
            TStatusPanel *p = m_panels.Items(static_cast<int>(i));
            l->setWholeText(toQ(p->Text()), false);
            const bool last = i + 1 == labels.size();
            l->setMinimumWidth(last ? 0 : p->Width());
            l->setMaximumWidth(last ? QWIDGETSIZE_MAX : p->Width());
            layout->setStretch(static_cast<int>(i), last ? 1 : 0);
        }
    }
    FitLines();
}

// ---- page control ----

TTabSheet::TTabSheet(TComponent *AOwner) : TWinControl(AOwner, new QWidget)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
}

TTabSheet::~TTabSheet()
{
    if (m_pageControl)
        m_pageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl *pc)
{
    if (pc == m_pageControl)
        return;
    if (m_pageControl)
        m_pageControl->RemovePage(this);
    if (pc)
        pc->InsertPage(this);
}

void TTabSheet::SetText(const std::string &text)
{
    m_caption = text;
    if (m_pageControl)
        m_pageControl->SyncTabs();
}

void TTabSheet::SetTabVisible(bool v)
{
    m_tabVisible = v;
    if (m_pageControl)
        m_pageControl->SyncTabs();
}

void TTabSheet::SetEnabled(bool v)
{
    TWinControl::SetEnabled(v);
    if (m_pageControl)
        m_pageControl->SyncTabs();
}

int TTabSheet::PageIndex() const
{
    if (!m_pageControl)
        return -1;
    auto &pages = m_pageControl->m_pages;
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

TPageControl::TPageControl(TComponent *AOwner) : TWinControl(AOwner, new QTabWidget)
{
    auto *tabs = static_cast<QTabWidget *>(Widget());
    tabs->resize(289, 193);
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [this, tabs](int i) {
        if (m_syncing)
            return;
        auto *page = dynamic_cast<TTabSheet *>(TControl::FromWidget(tabs->widget(i)));
        m_active = page;
        Fire(OnChange);
    });
}

TPageControl::~TPageControl()
{
    // The sheets are destroyed with this control; they must not call back.
    for (TTabSheet *p : m_pages)
        p->m_pageControl = nullptr;
    m_pages.clear();
}

TTabSheet *TPageControl::Pages(int i) const
{
    return (i >= 0 && i < PageCount()) ? m_pages[static_cast<std::size_t>(i)] : nullptr;
}

void TPageControl::InsertPage(TTabSheet *page)
{
    page->m_pageControl = this;
    if (page->m_parent && page->m_parent != this)
        page->m_parent->RemoveChild(page);
    page->m_parent = this;
    AddChild(page);
    m_pages.push_back(page);
    if (!m_active)
        m_active = page;
    SyncTabs();
}

void TPageControl::RemovePage(TTabSheet *page)
{
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    if (it == m_pages.end())
        return;
    m_pages.erase(it);
    page->m_pageControl = nullptr;
    if (page->m_parent == this) {
        RemoveChild(page);
        page->m_parent = nullptr;
    }
    if (m_active == page)
        m_active = m_pages.empty() ? nullptr : m_pages.front();
    auto *tabs = static_cast<QTabWidget *>(Widget());
    m_syncing = true;
    const int index = tabs->indexOf(page->Widget());
    if (index >= 0)
        tabs->removeTab(index);
    page->Widget()->setParent(nullptr);
    m_syncing = false;
    SyncTabs();
}

void TPageControl::SyncTabs()
{
    auto *tabs = static_cast<QTabWidget *>(Widget());
    m_syncing = true;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        TTabSheet *p = m_pages[i];
        const int at = static_cast<int>(i);
        if (tabs->indexOf(p->Widget()) != at) {
            const int old = tabs->indexOf(p->Widget());
            if (old >= 0)
                tabs->removeTab(old);
            tabs->insertTab(at, p->Widget(), toQ(p->m_caption));
        }
        tabs->setTabText(at, toQ(p->m_caption));
        tabs->setTabVisible(at, p->m_tabVisible);
        tabs->setTabEnabled(at, p->Enabled());
    }
    if (m_active)
        tabs->setCurrentWidget(m_active->Widget());
    m_syncing = false;
}

TTabSheet *TPageControl::ActivePage() const
{
    return m_active;
}

void TPageControl::SetActivePage(TTabSheet *page)
{
    if (page && page->m_pageControl != this)
        return;
    m_active = page;
    SyncTabs();
}

int TPageControl::ActivePageIndex() const
{
    return m_active ? m_active->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int i)
{
    SetActivePage(Pages(i));
}

// ---- date-time picker ----

namespace {

QDateTime toQDateTime(TDateTime dt)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(dt, y, mo, d);
    DecodeTime(dt, h, mi, s, ms);
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

TDateTime fromQDateTime(const QDateTime &q)
{
    const QDate d = q.date();
    const QTime t = q.time();
    return TDateTime(EncodeDate(d.year(), d.month(), d.day()).Val +
                     EncodeTime(t.hour(), t.minute(), t.second(), t.msec()).Val);
}

} // namespace

TDateTimePicker::TDateTimePicker(TComponent *AOwner) : TWinControl(AOwner, new QDateTimeEdit)
{
    auto *e = static_cast<QDateTimeEdit *>(Widget());
    e->resize(186, 21);
    e->setLocale(QLocale::c());
    e->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_value = Now();
    ToWidget();
    QObject::connect(e, &QDateTimeEdit::dateTimeChanged, e, [this](const QDateTime &q) {
        if (m_syncing)
            return;
        m_value = fromQDateTime(q);
        Fire(OnChange);
    });
}

void TDateTimePicker::SetKind(TDateTimeKind k)
{
    m_kind = k;
    auto *e = static_cast<QDateTimeEdit *>(Widget());
    e->setDisplayFormat(k == dtkDate ? QStringLiteral("yyyy/MM/dd") : QStringLiteral("hh:mm:ss AP"));
}

TDateTime TDateTimePicker::DateTime() const
{
    return m_value;
}

void TDateTimePicker::SetDateTime(TDateTime dt)
{
    if (m_min.Val != 0.0 && dt.Val < m_min.Val)
        dt = m_min;
    if (m_max.Val != 0.0 && dt.Val > m_max.Val)
        dt = m_max;
    m_value = dt;
    ToWidget();
}

TDateTime TDateTimePicker::Date() const
{
    return TDateTime(std::floor(m_value.Val));
}

void TDateTimePicker::SetDate(TDateTime d)
{
    SetDateTime(TDateTime(std::floor(d.Val) + (m_value.Val - std::floor(m_value.Val))));
}

TDateTime TDateTimePicker::Time() const
{
    return TDateTime(m_value.Val - std::floor(m_value.Val));
}

void TDateTimePicker::SetTime(TDateTime t)
{
    SetDateTime(TDateTime(std::floor(m_value.Val) + (t.Val - std::floor(t.Val))));
}

void TDateTimePicker::SetMinDate(TDateTime d)
{
    m_min = d;
}

void TDateTimePicker::SetMaxDate(TDateTime d)
{
    m_max = d;
}

void TDateTimePicker::ToWidget()
{
    m_syncing = true;
    static_cast<QDateTimeEdit *>(Widget())->setDateTime(toQDateTime(m_value));
    m_syncing = false;
}

#include "TabOrder.h"

#include "Controls.h"

#include <QWidget>

#include <algorithm>

namespace kv::gui {

namespace {

// Controls whose tops lie within half a line of each other stand on one line, read from the
// left; the lines are read from the top.
void sortByPlace(std::vector<QWidget *> &widgets)
{
    std::stable_sort(widgets.begin(), widgets.end(),
                     [](const QWidget *a, const QWidget *b) { return a->y() < b->y(); });
    std::size_t line = 0;
    while (line < widgets.size()) {
        const QWidget *first = widgets[line];
        std::size_t end = line + 1;
        while (end < widgets.size() &&
               widgets[end]->y() < first->y() + std::min(first->height(), widgets[end]->height()) / 2)
            ++end;
        std::stable_sort(widgets.begin() + static_cast<std::ptrdiff_t>(line),
                         widgets.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
        line = end;
    }
}

bool isProxyOf(const QWidget *w, const QWidget *of)
{
    for (const QWidget *p = of->focusProxy(); p; p = p->focusProxy())
        if (p == w)
            return true;
    return false;
}

// A widget that holds controls of its own is read through; a Qt widget that takes the focus
// (an edit, a list, a combo box) is one stop with whatever Qt put inside it.
bool readInside(const QWidget *w)
{
    if (w->focusPolicy() == Qt::NoFocus)
        return true;
    const auto *control = dynamic_cast<const TWinControl *>(TControl::FromWidget(w));
    return control && control->Widget() == w && control->ControlCount() > 0;
}

void collect(QWidget *parent, std::vector<QWidget *> &out)
{
    std::vector<QWidget *> children;
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && !isProxyOf(w, parent))
            children.push_back(w);
    }
    // Hidden controls do not shape the lines (showing one puts the order right again); they
    // come last.
    const auto hidden = std::stable_partition(children.begin(), children.end(),
                                              [](const QWidget *w) { return !w->isHidden(); });
    std::vector<QWidget *> later(hidden, children.end());
    children.erase(hidden, children.end());
    sortByPlace(children);
    sortByPlace(later);
    children.insert(children.end(), later.begin(), later.end());
    for (QWidget *w : children) {
        // A widget that passes its focus on stands in the chain by the one that takes it.
        QWidget *stop = w;
        while (stop->focusProxy())
            stop = stop->focusProxy();
        if (w->focusPolicy() != Qt::NoFocus && stop->focusPolicy() != Qt::NoFocus)
            out.push_back(stop);
        if (readInside(w))
            collect(w, out);
    }
}

} // namespace

std::vector<QWidget *> readingOrder(QWidget *window)
{
    std::vector<QWidget *> out;
    if (window)
        collect(window, out);
    return out;
}

void orderFocusChain(QWidget *window)
{
    const std::vector<QWidget *> order = readingOrder(window);
    if (order.empty())
        return;
    // The chain is a ring that starts after the window: the first control goes there (Qt
    // moves only widgets that take the focus, so the window does for a moment).
    const Qt::FocusPolicy policy = window->focusPolicy();
    window->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(window, order.front());
    window->setFocusPolicy(policy);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget *firstTabStop(QWidget *window)
{
    for (QWidget *w = window ? window->nextInFocusChain() : nullptr; w && w != window;
         w = w->nextInFocusChain())
        if (w->window() == window && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() &&
            !w->focusProxy())
            return w;
    return nullptr;
}

} // namespace kv::gui

#pragma once
// Checks that a form's fixed pixel layout holds with the application's font: every visible
// label, check box, radio button, button and group caption shows its whole text, no two of
// these texts overlap, and every cell of a list shows its whole text.
#include "Forms.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace kvtest {

namespace detail {

struct ShownText {
    const QWidget *widget;
    QString text;
    QRect box; // where the text (or the control drawing it) lies, in the parent's coordinates
};

inline std::string describe(const QWidget *w, const QString &text)
{
    const TControl *c = TControl::FromWidget(w);
    const std::string name = c && !c->Name().empty() ? c->Name() : w->metaObject()->className();
    return name + " \"" + text.toStdString() + "\"";
}

// The room a control's text needs and the box it draws in; false for controls without text.
inline bool measure(const QWidget *w, int &need, int &room, QRect &box, QString &text)
{
    const QFontMetrics fm = w->fontMetrics();
    const QRect g = w->geometry();
    if (auto *label = qobject_cast<const QLabel *>(w)) {
        text = label->text();
        // A framed label indents its text by half an "x" unless told otherwise.
        const int indent = label->indent() >= 0      ? label->indent()
                           : label->frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2
                                                     : 0;
        const QRect cr = label->contentsRect().adjusted(indent, 0, 0, 0);
        // A text of several lines (a status bar's outcome) needs its longest line, and each
        // line must be seen.
        const QStringList lines = text.split(QLatin1Char('\n'));
        need = 0;
        for (const QString &line : lines)
            need = std::max(need, fm.horizontalAdvance(line));
        room = cr.width();
        if (lines.size() > 1) {
            EXPECT_LE(fm.boundingRect(QRect(0, 0, cr.width(), 1 << 20), Qt::AlignLeft, text).height(),
                      cr.height())
                << describe(w, text) << ": not every line is seen";
        }
        const Qt::Alignment a = label->alignment();
        int x = cr.left();
        if (a & Qt::AlignRight)
            x = cr.right() + 1 - need;
        else if (a & Qt::AlignHCenter)
            x = cr.left() + (cr.width() - need) / 2;
        box = QRect(g.x() + x, g.y() + cr.top() + (cr.height() - fm.height()) / 2, need, fm.height());
    } else if (auto *group = qobject_cast<const QGroupBox *>(w)) {
        text = group->title();
        need = fm.size(Qt::TextShowMnemonic, text).width() + 16;
        room = g.width();
        box = QRect(g.x(), g.y(), need, fm.height());
    } else if (auto *button = qobject_cast<const QAbstractButton *>(w)) {
        text = button->text();
        const bool mark = qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w);
        // A check mark or radio dot with its gap, or a push button's frame and padding.
        need = mark ? button->sizeHint().width() : fm.size(Qt::TextShowMnemonic, text).width() + 8;
        if (!mark && !button->icon().isNull())
            need += button->iconSize().width() + 4;
        room = g.width();
        box = mark ? QRect(g.x(), g.y(), std::min(need, g.width()), g.height()) : g;
    } else {
        return false;
    }
    return !text.isEmpty();
}

} // namespace detail

// Adds a test failure for every text that does not fit its control or overlaps another.
inline void expectTextsFit(TForm *form)
{
    ASSERT_NE(form, nullptr);
    QWidget *window = form->Widget();
    std::vector<detail::ShownText> shown;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        int need = 0, room = 0;
        QRect box;
        QString text;
        if (!detail::measure(w, need, room, box, text))
            continue;
        EXPECT_LE(need, room) << detail::describe(w, text) << " needs " << need << " pixels, has " << room;
        for (const detail::ShownText &other : shown)
            if (other.widget->parentWidget() == w->parentWidget() && other.box.intersects(box))
                ADD_FAILURE() << detail::describe(w, text) << " overlaps "
                              << detail::describe(other.widget, other.text) << " in " << form->Name();
        shown.push_back({w, text, box});
    }
    // Every cell of a list shows its whole text.
    for (QTreeWidget *list : window->findChildren<QTreeWidget *>()) {
        if (!list->isVisibleTo(window))
            continue;
        for (int column = 0; column < list->columnCount(); ++column)
            for (int row = 0; row < list->topLevelItemCount() && !list->isColumnHidden(column); ++row) {
                const int need = list->sizeHintForIndex(list->model()->index(row, column)).width();
                EXPECT_LE(need, list->columnWidth(column))
                    << detail::describe(list, list->topLevelItem(row)->text(column)) << " in column "
                    << column;
            }
    }
}

// Adds a test failure when a combo box does not show the whole of its chosen entry (a device
// value added to a list may be longer than the list's own entries).
inline void expectChoiceFits(const TControl *combo)
{
    const auto *box = qobject_cast<const QComboBox *>(combo->Widget());
    ASSERT_NE(box, nullptr) << combo->Name();
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    const QFontMetrics fm = box->fontMetrics();
    const QSize text(fm.horizontalAdvance(box->currentText()), fm.height());
    const int need = box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, box).width();
    EXPECT_LE(need, box->width()) << detail::describe(box, box->currentText()) << " needs " << need
                                  << " pixels, has " << box->width();
}

} // namespace kvtest

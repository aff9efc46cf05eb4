#include "Note.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kv {

namespace {

// The window the user looks at: a modal one, the active one, or else any shown.
QWidget *windowInFront(const QWidget *besides)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow(); active && active != besides)
        return active;
    QWidget *front = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != besides && w->isVisible() && w->windowType() != Qt::ToolTip)
            front = w;
    return front;
}

} // namespace

Note::Note() : m_box(std::make_unique<QLabel>(nullptr, Qt::ToolTip))
{
    m_box->setAttribute(Qt::WA_ShowWithoutActivating);
    m_box->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_box->setMargin(8);
    m_box->setAlignment(Qt::AlignCenter);
    m_box->setAutoFillBackground(true);
}

Note::~Note() = default;

void Note::show(const std::string &text)
{
    m_box->setText(QString::fromStdString(text));
    m_box->adjustSize();
    QRect place = m_box->rect();
    if (const QWidget *front = windowInFront(m_box.get()))
        place.moveCenter(front->frameGeometry().center());
    // Inside the screen, whatever the window's place.
    const QScreen *screen = QGuiApplication::screenAt(place.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        place.moveLeft(std::max(room.left(), std::min(place.left(), room.right() - place.width())));
        place.moveTop(std::max(room.top(), std::min(place.top(), room.bottom() - place.height())));
    }
    m_box->move(place.topLeft());
    m_box->show();
    m_box->raise();
}

void Note::hide()
{
    m_box->hide();
}

bool Note::shown() const
{
    return m_box->isVisible();
}

std::string Note::text() const
{
    return m_box->text().toStdString();
}

QWidget *Note::widget() const
{
    return m_box.get();
}

} // namespace kv

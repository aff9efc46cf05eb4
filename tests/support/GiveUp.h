#pragma once
// How a test's user gives up a wait for the device: Escape on a window, or its close box.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kvtest {

enum class GiveUp { No, Escape, CloseBox };

inline void giveUpWait(GiveUp how, QWidget *window)
{
    if (how == GiveUp::Escape) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &escape);
    } else if (how == GiveUp::CloseBox) {
        QCloseEvent close;
        QCoreApplication::sendEvent(window, &close);
    }
}

} // namespace kvtest

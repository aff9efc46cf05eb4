#pragma once
// Counts the paints of the widgets it watches: whether a window was drawn while the program
// waited for something.
#include <QEvent>
#include <QObject>

namespace kvtest {

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace kvtest

// Bare Qt windows of the main window's size, the references of the idle and endurance
// benchmarks (idle.sh, endurance.sh). Each runs on the module's event dispatcher and X
// transport, so the figures compare like with like.
//   bare-window rule            the main window's LED rule as a plain Qt program writes it: a
//                               poll every 2 s puts a new status text and starts a burst of
//                               100 steps of 30 ms (a poll during a burst adds one step); the
//                               LAN picture is shown or hidden on every step, the WLAN picture
//                               on every fourth, over a panel picture
//   bare-window rule in-place   the same rule, the LEDs opaque widgets that paint the panel's
//                               pixels or the LED over them and repaint only themselves, at once
//   bare-window blink           one picture shown or hidden every 30 ms, all the time
// Options: --speed D divides every interval by D (at least 1 ms); --polls N ends after N polls
// and prints the resident memory at the 100th poll (once the window has settled) and at the
// end. On SIGTERM or at the end
// it prints what it did ("polls P steps S"), which the benchmarks check.
#include "BenchSeries.h"
#include "EventLoop.h"
#include "ProcessInfo.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace {

// An LED that never hides: it paints the panel's pixels beneath it, with the LED over them
// when lit, and repaints only itself, at once (no posted update).
class InPlaceLed : public QWidget {
public:
    InPlaceLed(QWidget *parent, const QPixmap &panel, const QPixmap &led, QPoint panelAt, QRect at)
        : QWidget(parent)
    {
        setGeometry(at);
        setAttribute(Qt::WA_OpaquePaintEvent);
        m_dark = panel.copy(at.translated(-panelAt));
        m_lit = m_dark.copy();
        QPainter(&m_lit).drawPixmap(0, 0, led);
    }
    bool lit() const { return m_on; }
    void setLit(bool on)
    {
        if (on != m_on) {
            m_on = on;
            repaint();
        }
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawPixmap(0, 0, m_on ? m_lit : m_dark); }

private:
    QPixmap m_lit, m_dark;
    bool m_on = true;
};

// One LED of the panel, shown and hidden as a plain picture or painted in place.
class Led {
public:
    Led(QWidget *parent, const QPixmap &panel, QPoint panelAt, QRect at, Qt::GlobalColor colour, bool inPlace)
    {
        QPixmap picture(at.size());
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(QRect(1, 1, at.width() - 2, at.height() - 2), colour);
        if (inPlace) {
            m_inPlace = new InPlaceLed(parent, panel, picture, panelAt, at);
        } else {
            m_label = new QLabel(parent);
            m_label->setPixmap(picture);
            m_label->setGeometry(at);
        }
    }
    bool shown() const { return m_label ? m_label->isVisible() : m_inPlace->lit(); }
    void setShown(bool on)
    {
        if (m_label)
            m_label->setVisible(on);
        else
            m_inPlace->setLit(on);
    }

private:
    QLabel *m_label = nullptr;
    InPlaceLed *m_inPlace = nullptr;
};

} // namespace

int main(int argc, char **argv)
{
    kv::chooseLeanEventLoop();
    QApplication app(argc, argv);
    const int speed = std::max(1, bench::argValue(argc, argv, "--speed", 1));
    const int pollLimit = bench::argValue(argc, argv, "--polls", 0);
    auto interval = [speed](int ms) { return std::max(1, ms / speed); };

    QWidget window;
    window.setWindowTitle(QStringLiteral("bare-window"));
    window.resize(236, 244);
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    auto *status = new QStatusBar;
    layout->addWidget(status);
    status->showMessage(QStringLiteral("idle"));

    // A panel picture of the module's size with the LEDs where the module has them.
    const QPoint panelAt(8, 0);
    QPixmap panelPicture(220, 225);
    panelPicture.fill(Qt::darkGray);
    auto *panel = new QLabel(&window);
    panel->setPixmap(panelPicture);
    panel->setGeometry(QRect(panelAt, panelPicture.size()));
    const bool inPlace = bench::hasWord(argc, argv, "in-place");
    Led wlan(&window, panelPicture, panelAt, QRect(89, 181, 7, 7), Qt::green, inPlace);
    Led lan(&window, panelPicture, panelAt, QRect(106, 181, 7, 7), Qt::green, inPlace);
    Led power(&window, panelPicture, panelAt, QRect(158, 180, 8, 8), Qt::red, inPlace);
    window.show();

    long polls = 0;
    long steps = 0;
    long rssSettled = 0;
    QTimer blink;
    QTimer poll;
    poll.setSingleShot(true);
    int tag = 0;
    auto step = [&] {
        if (!blink.isActive()) {
            tag = 0;
            blink.start(interval(30));
        }
        power.setShown(false);
        lan.setShown(!lan.shown());
        if (tag % 4 == 0)
            wlan.setShown(!wlan.shown());
        ++steps;
        if (++tag >= 100)
            blink.stop();
    };

    if (bench::hasWord(argc, argv, "rule")) {
        QObject::connect(&blink, &QTimer::timeout, step);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            ++polls;
            if (polls == 100)
                rssSettled = bench::residentKiB();
            status->showMessage(QStringLiteral("Get: (KvSNMP++) Ok!. Receive at ") +
                                QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss AP.")));
            step();
            if (pollLimit > 0 && polls >= pollLimit)
                QCoreApplication::quit();
            else
                poll.start(interval(2000));
        });
        poll.start(0);
    } else if (bench::hasWord(argc, argv, "blink")) {
        QObject::connect(&blink, &QTimer::timeout, [&] {
            lan.setShown(!lan.shown());
            ++steps;
        });
        blink.start(interval(30));
    }

    kv::TerminationSignals onTerm([] { QCoreApplication::quit(); });
    const int code = QApplication::exec();
    if (pollLimit > 0)
        std::printf("memory at the 100th poll: %ld KiB, at the end: %ld KiB (%+ld KiB)\n", rssSettled,
                    bench::residentKiB(), bench::residentKiB() - rssSettled);
    std::printf("polls %ld steps %ld\n", polls, steps);
    return code;
}

// A bare Qt window of the main window's size with a status line: what the idle benchmark
// compares the module's idle CPU with. With an interval argument (ms) a timer ticks at that
// interval and does nothing: the floor that a blinking timer alone costs. With "blink" after
// the interval, every tick also shows or hides a small picture, as the LAN LED does on every
// step of a blink: the floor of a blink that the eye can see.
#include "EventLoop.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

int main(int argc, char **argv)
{
    // The module's event dispatcher and X transport, so the figures compare like with like.
    kv::chooseLeanEventLoop();
    QApplication app(argc, argv);
    QWidget window;
    window.resize(236, 244);
    auto *layout = new QVBoxLayout(&window);
    layout->addStretch();
    layout->addWidget(new QLabel(QStringLiteral("idle")));
    QPixmap picture(13, 7);
    picture.fill(Qt::green);
    auto *led = new QLabel(&window);
    led->setPixmap(picture);
    led->setAttribute(Qt::WA_OpaquePaintEvent);
    led->setGeometry(106, 181, 13, 7);
    window.show();
    QTimer tick;
    const int interval = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    const bool blink = argc > 2 && std::strcmp(argv[2], "blink") == 0;
    if (blink)
        QObject::connect(&tick, &QTimer::timeout, led, [led] { led->setVisible(!led->isVisible()); });
    if (interval > 0)
        tick.start(interval);
    return QApplication::exec();
}

// A bare Qt window of the main window's size with a status line: what the idle benchmark
// compares the module's idle CPU with. With an interval argument (ms) a timer ticks at that
// interval and does nothing: the floor that a blinking timer alone costs.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(236, 244);
    auto *layout = new QVBoxLayout(&window);
    layout->addStretch();
    layout->addWidget(new QLabel(QStringLiteral("idle")));
    window.show();
    QTimer tick;
    const int interval = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    if (interval > 0)
        tick.start(interval);
    return QApplication::exec();
}

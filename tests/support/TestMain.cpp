// One main for every test binary: a Qt application on the offscreen platform,
// so GUI code runs headless and sockets/timers have an event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

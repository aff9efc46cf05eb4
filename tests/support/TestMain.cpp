// One main for every test binary: a Qt application on the offscreen platform,
// so GUI code runs headless and sockets/timers have an event loop.
#include "TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Without a runtime folder Qt would make one in /tmp that outlives the tests.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string runtime = kvtest::makeTempDir("runtime-");
        chmod(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

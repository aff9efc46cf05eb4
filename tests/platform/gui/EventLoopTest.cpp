#include "EventLoop.h"
#include "Clock.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

TEST(EventLoop, PostedCallRunsFromLoopNotFromCaller)
{
    int runs = 0;
    kv::postCall([&] { ++runs; });
    EXPECT_EQ(runs, 0);
    kv::processMessages();
    EXPECT_EQ(runs, 1);
}

TEST(EventLoop, GuardDroppedBeforeRunCancelsCall)
{
    int runs = 0;
    {
        kv::PostGuard guard;
        kv::postCall(guard, [&] { ++runs; });
    }
    kv::processMessages();
    EXPECT_EQ(runs, 0);
}

TEST(EventLoop, SocketReadinessArrivesAsEvent)
{
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM, 0, fds), 0);
    int ready = 0;
    kv::SocketWatcher watcher(fds[0], kv::SocketWatcher::Kind::Read, [&] {
        char c;
        ASSERT_EQ(read(fds[0], &c, 1), 1);
        ++ready;
    });
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    for (int i = 0; i < 50 && ready == 0; ++i)
        kv::waitForEvents(100);
    EXPECT_EQ(ready, 1);
    close(fds[0]);
    close(fds[1]);
}

TEST(EventLoop, ExceptionInHandlerGoesToHandlerAndLoopContinues)
{
    std::string seen;
    kv::setUncaughtExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception &ex) {
            seen = ex.what();
        }
    });
    int after = 0;
    kv::postCall([] { throw std::runtime_error("boom"); });
    kv::postCall([&] { ++after; });
    kv::processMessages();
    EXPECT_EQ(seen, "boom");
    EXPECT_EQ(after, 1);
    kv::setUncaughtExceptionHandler(nullptr);
}

TEST(EventLoop, TimerIntervalFollowsMockClock)
{
    auto clock = std::make_shared<kv::MockClock>();
    clock->setTimerDivisor(1000);
    kv::ScopedClock scoped(clock);
    kv::Timer timer;
    int ticks = 0;
    timer.onTimeout = [&] { ++ticks; };
    timer.start(5000); // 5 ms with the divisor
    for (int i = 0; i < 100 && ticks < 3; ++i)
        kv::waitForEvents(50);
    timer.stop();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(timer.interval(), 5000);
}

} // namespace

TEST(EventLoop, HandleEventsUntilAConditionOrADeadlineOnTheInstalledClock)
{
    auto clock = std::make_shared<kv::MockClock>();
    kv::ScopedClock scoped(clock);
    // Time passes only while events are handled: 100 ms of the clock each real millisecond.
    kv::Timer ticker;
    ticker.onTimeout = [&] { clock->advanceMs(100); };
    ticker.start(1);
    const std::int64_t start = clock->monotonicMs();
    EXPECT_FALSE(kv::handleEventsUntil([] { return false; }, 1000));
    EXPECT_GE(clock->monotonicMs() - start, 1000);
    EXPECT_LT(clock->monotonicMs() - start, 1300);

    bool posted = false;
    kv::postCall([&] { posted = true; });
    const std::int64_t before = clock->monotonicMs();
    EXPECT_TRUE(kv::handleEventsUntil([&] { return posted; }, 60000));
    EXPECT_LT(clock->monotonicMs() - before, 1000);
    EXPECT_TRUE(kv::handleEventsUntil([] { return true; }, 0));
}

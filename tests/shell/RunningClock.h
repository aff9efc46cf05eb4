#pragma once
// A mock clock that a timer moves on by 100 ms every real millisecond while events are
// handled: waits on the swappable clock pass quickly, and their length is measured on it.
#include "Clock.h"
#include "EventLoop.h"

#include <memory>

struct RunningMockClock {
    std::shared_ptr<kv::MockClock> clock = std::make_shared<kv::MockClock>();
    kv::ScopedClock scoped{clock};
    kv::Timer ticker;
    RunningMockClock()
    {
        clock->setTimerDivisor(10);
        ticker.onTimeout = [c = clock.get()] { c->advanceMs(100); };
        ticker.start(1);
    }
    std::int64_t now() const { return clock->monotonicMs(); }
};

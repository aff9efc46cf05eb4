#pragma once
// Waiting in tests: the event loop is pumped, so sockets, posted calls and timers run; timer
// intervals follow the installed clock (see FastClock), while the limit of a wait is real time,
// so a clock that stands still cannot hang a test.
#include "Clock.h"

#include <ctime>
#include <functional>

namespace kvtest {

// Handles events until cond holds (true) or a limit of a few times maxMs passed (false): the
// limit guards against a hang and is never a timing to assert on.
bool pumpUntil(const std::function<bool()> &cond, int maxMs = 5000);
// Handles events for ms.
void pump(int ms);

// Timers run divisor times faster; time-outs and the monotonic clock stay real, so a device's
// answers are never outrun by the clock. The wall clock may be set.
class FastClock : public kv::Clock {
public:
    explicit FastClock(int divisor) : m_divisor(divisor) {}
    int timerIntervalMs(int requestedMs) const override
    {
        const int ms = requestedMs / m_divisor;
        return ms < 1 ? 1 : ms;
    }
    std::time_t wallTime() const override { return m_wall != 0 ? m_wall : kv::Clock::wallTime(); }
    void setWallTime(std::time_t t) { m_wall = t; }

private:
    int m_divisor;
    std::time_t m_wall = 0;
};

} // namespace kvtest

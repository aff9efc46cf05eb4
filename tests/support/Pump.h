#pragma once
// Waiting in tests: the event loop is pumped, so sockets, posted calls and timers run; timer
// intervals follow the installed clock (see FastClock), while the limit of a wait is real time,
// so a clock that stands still cannot hang a test.
#include "Clock.h"

#include <ctime>
#include <functional>

class QTimer;

namespace kvtest {

// Handles events until cond holds (true) or a limit of a few times maxMs passed (false): the
// limit guards against a hang and is never a timing to assert on.
bool pumpUntil(const std::function<bool()> &cond, int maxMs = 5000);
// Handles events for ms.
void pump(int ms);
// Runs fn once, from the event loop, after ms of real time (also while the program waits for a
// device); the timer owns the call, so it goes with the timer.
void runAfter(QTimer &timer, int ms, std::function<void()> fn);

// Timers run divisor times faster; time-outs and the monotonic clock stay real, so a device's
// answers are never outrun by the clock. With a time-out divisor, a request's time-outs and the
// program's waits for a silent device are that much shorter too, but never under half a second
// (a loaded machine still gets its answers in time). The wall clock may be set.
class FastClock : public kv::Clock {
public:
    explicit FastClock(int divisor, int timeoutDivisor = 1)
        : m_divisor(divisor), m_timeoutDivisor(timeoutDivisor)
    {
    }
    int timerIntervalMs(int requestedMs) const override
    {
        const int ms = requestedMs / m_divisor;
        return ms < 1 ? 1 : ms;
    }
    int requestTimeoutMs(int requestedMs) const override
    {
        if (m_timeoutScale > 1)
            return requestedMs * m_timeoutScale;
        if (m_timeoutDivisor <= 1)
            return requestedMs;
        const int shorter = requestedMs / m_timeoutDivisor;
        const int floor = requestedMs < 500 ? requestedMs : 500;
        return shorter > floor ? shorter : floor;
    }
    std::time_t wallTime() const override { return m_wall != 0 ? m_wall : kv::Clock::wallTime(); }
    void setWallTime(std::time_t t) { m_wall = t; }
    // Time-outs, and the waits for a silent device, scale times longer (1: as requested), for
    // sessions made from now on.
    void setTimeoutScale(int scale) { m_timeoutScale = scale; }
    void setTimeoutDivisor(int divisor) { m_timeoutDivisor = divisor; }

private:
    int m_divisor;
    int m_timeoutDivisor;
    int m_timeoutScale = 1;
    std::time_t m_wall = 0;
};

} // namespace kvtest

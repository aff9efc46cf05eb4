#pragma once
// Swappable time source: production reads the system clocks, tests install a
// MockClock so time-outs and countdowns run without waiting.
#include <cstdint>
#include <ctime>
#include <memory>

namespace kv {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic clock (time-outs, retransmissions).
    virtual std::int64_t monotonicMs() const;
    // Real milliseconds on the steady clock, whatever clock is installed.
    static std::int64_t steadyMs();
    // Wall-clock time (what the user and the device see).
    virtual std::time_t wallTime() const;
    // Interval a timer really waits for a requested interval; tests shorten it.
    virtual int timerIntervalMs(int requestedMs) const { return requestedMs; }
    // How long a network request really waits for an answer, and how long the program waits
    // before it takes a device for silent, for a requested time; tests shorten them.
    virtual int requestTimeoutMs(int requestedMs) const { return requestedMs; }

    static const Clock &instance();
    // Installs a clock for the process (nullptr restores the system clock).
    static void setInstance(std::shared_ptr<Clock> clock);
};

class MockClock : public Clock {
public:
    std::int64_t monotonicMs() const override { return m_ms; }
    std::time_t wallTime() const override { return m_wall; }
    int timerIntervalMs(int requestedMs) const override;

    void advanceMs(std::int64_t ms)
    {
        m_ms += ms;
        m_wall += static_cast<std::time_t>(ms / 1000);
    }
    void setWallTime(std::time_t t) { m_wall = t; }
    // Every timer interval is divided by this factor (at least 1 ms).
    void setTimerDivisor(int divisor) { m_divisor = divisor < 1 ? 1 : divisor; }

private:
    std::int64_t m_ms = 1000000;
    std::time_t m_wall = 1767225600; // 2026-01-01 00:00:00 UTC
    int m_divisor = 1;
};

// Installs a clock for one scope and restores the previous one on exit.
class ScopedClock {
public:
    explicit ScopedClock(std::shared_ptr<Clock> clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock &) = delete;
    ScopedClock &operator=(const ScopedClock &) = delete;

private:
    std::shared_ptr<Clock> m_previous;
};

} // namespace kv

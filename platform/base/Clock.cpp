#include "Clock.h"

#include <chrono>

namespace kv {

namespace {
std::shared_ptr<Clock> &current()
{
    static std::shared_ptr<Clock> clock = std::make_shared<Clock>();
    return clock;
}
} // namespace

std::int64_t Clock::steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t Clock::monotonicMs() const
{
    return steadyMs();
}

std::time_t Clock::wallTime() const
{
    return std::time(nullptr);
}

const Clock &Clock::instance()
{
    return *current();
}

void Clock::setInstance(std::shared_ptr<Clock> clock)
{
    current() = clock ? std::move(clock) : std::make_shared<Clock>();
}

int MockClock::timerIntervalMs(int requestedMs) const
{
    int ms = requestedMs / m_divisor;
    return ms < 1 ? 1 : ms;
}

ScopedClock::ScopedClock(std::shared_ptr<Clock> clock) : m_previous(current())
{
    Clock::setInstance(std::move(clock));
}

ScopedClock::~ScopedClock()
{
    current() = m_previous;
}

} // namespace kv

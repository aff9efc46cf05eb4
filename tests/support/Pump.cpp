#include "Pump.h"

#include "EventLoop.h"

#include <QTimer>

#include <algorithm>
#include <chrono>

namespace kvtest {

namespace {

// A wait's limit only stops a test that would hang: on a machine loaded by parallel tests under
// the sanitizers a good answer can take several times its usual time.
constexpr int kLimitScale = 3;

bool handleEventsUntil(const std::function<bool()> &cond, long long maxMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    while (!cond()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                .count();
        if (left <= 0)
            return false;
        kv::waitForEvents(static_cast<int>(std::min<long long>(10, left)));
    }
    return true;
}

} // namespace

bool pumpUntil(const std::function<bool()> &cond, int maxMs)
{
    return handleEventsUntil(cond, static_cast<long long>(maxMs) * kLimitScale);
}

void pump(int ms)
{
    handleEventsUntil([] { return false; }, ms);
}

void runAfter(QTimer &timer, int ms, std::function<void()> fn)
{
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, std::move(fn));
    timer.start(ms);
}

} // namespace kvtest

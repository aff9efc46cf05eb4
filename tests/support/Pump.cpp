#include "Pump.h"

#include "EventLoop.h"

#include <algorithm>
#include <chrono>

namespace kvtest {

bool pumpUntil(const std::function<bool()> &cond, int maxMs)
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

void pump(int ms)
{
    pumpUntil([] { return false; }, ms);
}

} // namespace kvtest

#include "EventLoop.h"

#include "Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kv {

namespace {
std::function<void(std::exception_ptr)> &uncaughtHandler()
{
    static std::function<void(std::exception_ptr)> handler;
    return handler;
}
} // namespace

void chooseLeanEventLoop()
{
    ::setenv("QT_NO_GLIB", "1", 0);
    ::setenv("QT_XCB_NO_MITSHM", "1", 0);
}

void setUncaughtExceptionHandler(std::function<void(std::exception_ptr)> handler)
{
    uncaughtHandler() = std::move(handler);
}

void invokeGuarded(const std::function<void()> &fn)
{
    if (!fn)
        return;
    try {
        fn();
    } catch (...) {
        auto &handler = uncaughtHandler();
        if (handler) {
            try {
                handler(std::current_exception());
            } catch (...) {
                std::fputs("exception in the uncaught-exception handler\n", stderr);
            }
        } else {
            std::fputs("uncaught exception in an event handler\n", stderr);
        }
    }
}

namespace {

// Delivers readiness straight from the event, without a signal in between: sockets of
// transfers and requests fire once per packet.
class DirectNotifier : public QSocketNotifier {
public:
    DirectNotifier(int fd, Type type, const std::function<void()> &onReady)
        : QSocketNotifier(fd, type), m_onReady(onReady)
    {
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::SockAct)
            return QSocketNotifier::event(e);
        if (isEnabled())
            invokeGuarded(m_onReady);
        return true;
    }

private:
    const std::function<void()> &m_onReady;
};

} // namespace

SocketWatcher::SocketWatcher(int fd, Kind kind, std::function<void()> onReady)
    : m_fd(fd), m_onReady(std::move(onReady)),
      m_notifier(std::make_unique<DirectNotifier>(
          fd, kind == Kind::Read ? QSocketNotifier::Read : QSocketNotifier::Write, m_onReady))
{
}

SocketWatcher::~SocketWatcher() = default;

void SocketWatcher::setEnabled(bool enabled)
{
    m_notifier->setEnabled(enabled);
}

bool SocketWatcher::isEnabled() const
{
    return m_notifier->isEnabled();
}

Timer::Timer() : m_timer(std::make_unique<QTimer>())
{
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { invokeGuarded(onTimeout); });
}

Timer::~Timer() = default;

void Timer::start(int intervalMs)
{
    m_interval = intervalMs;
    m_timer->start(Clock::instance().timerIntervalMs(intervalMs));
}

void Timer::stop()
{
    m_timer->stop();
}

bool Timer::isActive() const
{
    return m_timer->isActive();
}

int Timer::remainingMs() const
{
    return m_timer->isActive() ? m_timer->remainingTime() : -1;
}

void Timer::setSingleShot(bool singleShot)
{
    m_timer->setSingleShot(singleShot);
}

PostGuard::PostGuard() : m_token(std::make_shared<int>(0))
{
}
PostGuard::~PostGuard() = default;

void postCall(std::function<void()> fn)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [fn = std::move(fn)] { invokeGuarded(fn); }, Qt::QueuedConnection);
}

void postCall(const PostGuard &guard, std::function<void()> fn)
{
    std::weak_ptr<int> token = guard.token();
    postCall([token, fn = std::move(fn)] {
        if (!token.expired())
            fn();
    });
}

void processMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void processMessagesEvery(int minIntervalMs)
{
    using Steady = std::chrono::steady_clock;
    static Steady::time_point last;
    static bool ran = false;
    const Steady::time_point now = Steady::now();
    if (ran && now - last < std::chrono::milliseconds(minIntervalMs))
        return;
    ran = true;
    processMessages();
    // Counted from the end: the time the handling itself took does not eat the interval.
    last = Steady::now();
}

void waitForEvents(int maxMs)
{
    // The timer is itself an event, so the blocking wait ends after maxMs at the latest.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxMs < 0 ? 0 : maxMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

namespace {

// Every UserWait that exists, and the event-loop level at which the innermost one sleeps (-1:
// none sleeps); input is dropped at that level only.
struct UserWaits : QObject {
    std::vector<UserWait *> open;
    int sleepingLevel = -1;
    bool givingUp = false;

    static bool isWindow(QObject *o)
    {
        auto *widget = qobject_cast<QWidget *>(o);
        return qobject_cast<QWindow *>(o) != nullptr || (widget != nullptr && widget->isWindow());
    }

    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (sleepingLevel < 0 || QThread::currentThread()->loopLevel() != sleepingLevel)
            return false;
        switch (e->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape)
                UserWait::giveUpAll();
            return true;
        case QEvent::Close:
            // Only the close box sends it: forms close without it.
            if (isWindow(o))
                UserWait::giveUpAll();
            return false;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }
};

UserWaits &userWaits()
{
    static UserWaits waits;
    return waits;
}

} // namespace

UserWait::UserWait()
{
    UserWaits &w = userWaits();
    if (w.open.empty() && QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(&w);
    w.open.push_back(this);
}

UserWait::~UserWait()
{
    UserWaits &w = userWaits();
    w.open.erase(std::remove(w.open.begin(), w.open.end(), this), w.open.end());
    if (w.open.empty() && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(&w);
}

bool UserWait::wait(int maxMs)
{
    if (givenUp())
        return false;
    UserWaits &w = userWaits();
    const int outer = w.sleepingLevel;
    w.sleepingLevel = QThread::currentThread()->loopLevel();
    waitForEvents(maxMs);
    w.sleepingLevel = outer;
    return !givenUp();
}

void UserWait::giveUpAll()
{
    UserWaits &w = userWaits();
    for (UserWait *wait : w.open)
        wait->m_givenUp = true;
    if (w.givingUp || !QCoreApplication::instance())
        return;
    w.givingUp = true;
    postCall([] { userWaits().givingUp = false; });
}

bool UserWait::givingUp()
{
    return userWaits().givingUp;
}

namespace {

// The signal handler only writes a byte; the event loop reads it and runs the newest fn.
struct SignalRoute {
    int pipe[2] = {-1, -1};
    std::vector<std::function<void()> *> handlers;
    std::unique_ptr<SocketWatcher> watcher;
    struct sigaction oldTerm {};
    struct sigaction oldInt {};
};

SignalRoute &signalRoute()
{
    static SignalRoute route;
    return route;
}

void onTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 's';
    [[maybe_unused]] const auto written = ::write(signalRoute().pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> fn) : m_fn(std::move(fn))
{
    SignalRoute &route = signalRoute();
    if (route.pipe[0] < 0 && ::pipe2(route.pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    if (route.handlers.empty()) {
        route.watcher = std::make_unique<SocketWatcher>(route.pipe[0], SocketWatcher::Kind::Read, [] {
            SignalRoute &r = signalRoute();
            char drain[64];
            while (::read(r.pipe[0], drain, sizeof drain) > 0) {
            }
            // A wait for a device ends first, so that the handler's close goes through.
            UserWait::giveUpAll();
            if (!r.handlers.empty() && *r.handlers.back())
                (*r.handlers.back())();
        });
        struct sigaction sa {};
        sa.sa_handler = onTerminationSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, &route.oldTerm);
        ::sigaction(SIGINT, &sa, &route.oldInt);
    }
    route.handlers.push_back(&m_fn);
}

TerminationSignals::~TerminationSignals()
{
    SignalRoute &route = signalRoute();
    route.handlers.erase(std::remove(route.handlers.begin(), route.handlers.end(), &m_fn),
                         route.handlers.end());
    if (route.handlers.empty() && route.watcher) {
        ::sigaction(SIGTERM, &route.oldTerm, nullptr);
        ::sigaction(SIGINT, &route.oldInt, nullptr);
        route.watcher.reset();
    }
}

bool handleEventsUntil(const std::function<bool()> &done, std::int64_t maxMs)
{
    const std::int64_t end = Clock::instance().monotonicMs() + maxMs;
    while (!done()) {
        const std::int64_t left = end - Clock::instance().monotonicMs();
        if (left <= 0)
            return false;
        waitForEvents(static_cast<int>(std::min<std::int64_t>(left, 50)));
    }
    return true;
}

} // namespace kv

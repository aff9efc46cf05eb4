#pragma once
// The GUI thread's event primitives: socket readiness, timers and posted calls.
// Everything runs on the one GUI thread; an exception that escapes a handler is
// caught here and passed to the uncaught-exception handler, and the loop goes on.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace kv {

// Called before the application object exists: Qt's own event dispatcher, which costs less
// per wake-up than the glib one, and repaints sent to the X server in the request itself
// rather than through shared memory, which waits for the server after every small repaint.
// Either stays as the environment sets it.
void chooseLeanEventLoop();

// Runs fn; an escaping exception goes to the uncaught-exception handler.
void invokeGuarded(const std::function<void()> &fn);
// Who sees exceptions that escape event handlers (the application shows the error box).
void setUncaughtExceptionHandler(std::function<void(std::exception_ptr)> handler);

// Readiness of one file descriptor, delivered as events on the GUI thread.
class SocketWatcher {
public:
    enum class Kind { Read, Write };
    SocketWatcher(int fd, Kind kind, std::function<void()> onReady);
    ~SocketWatcher();
    SocketWatcher(const SocketWatcher &) = delete;
    SocketWatcher &operator=(const SocketWatcher &) = delete;

    void setEnabled(bool enabled);
    bool isEnabled() const;
    int fd() const { return m_fd; }

private:
    int m_fd;
    std::function<void()> m_onReady;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

// A repeating or single-shot timer; its interval passes through the installed Clock,
// so tests can shorten it.
class Timer {
public:
    Timer();
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    std::function<void()> onTimeout;

    void start(int intervalMs);
    void stop();
    bool isActive() const;
    // Milliseconds until the next timeout (as the installed Clock runs it); -1 when stopped.
    int remainingMs() const;
    void setSingleShot(bool singleShot);
    int interval() const { return m_interval; }

private:
    int m_interval = 0;
    std::unique_ptr<QTimer> m_timer;
};

// Handle for a posted call; destroying the guard drops a call that has not run yet.
class PostGuard {
public:
    PostGuard();
    ~PostGuard();
    PostGuard(const PostGuard &) = delete;
    PostGuard &operator=(const PostGuard &) = delete;
    std::weak_ptr<int> token() const { return m_token; }

private:
    std::shared_ptr<int> m_token;
};

// Queues fn to run from the event loop (never from inside the caller).
void postCall(std::function<void()> fn);
// The same, dropped when guard is gone by the time it would run.
void postCall(const PostGuard &guard, std::function<void()> fn);

// Handles pending events once without waiting (the framework's ProcessMessages).
void processMessages();
// processMessages, unless it last ran less than minIntervalMs ago (real time): keeps windows
// live during a long loop on the GUI thread without repainting them after every step.
void processMessagesEvery(int minIntervalMs);
// Sleeps in the event loop until an event arrives or maxMs passes; handles what came.
void waitForEvents(int maxMs);
// A wait for something outside the program (a device) that the user may give up. While one
// sleeps, painting, timers, sockets and posted calls go on, and keyboard and mouse input is
// dropped rather than acted on later: Escape gives the wait up, as do a window's close box (a
// close event) and a termination signal; the close itself then goes on as the window decides.
// Input in an event loop nested inside the wait (a message box) is that loop's own. Giving up
// ends every wait that exists.
class UserWait {
public:
    UserWait();
    ~UserWait();
    UserWait(const UserWait &) = delete;
    UserWait &operator=(const UserWait &) = delete;

    // Sleeps in the event loop for up to maxMs, handling what comes; false once given up.
    bool wait(int maxMs);
    bool givenUp() const { return m_givenUp || givingUp(); }
    static void giveUpAll();
    // A wait was given up and the program has not gone back to its event loop since: what it
    // still does in the same step (the next read of a Refresh) is given up from the start.
    static bool givingUp();

private:
    bool m_givenUp = false;
};

// Handles events until done() holds or maxMs have passed on the installed Clock, sleeping in
// the event loop between events (never spinning). True when done() held.
bool handleEventsUntil(const std::function<bool()> &done, std::int64_t maxMs);

// Runs fn from the event loop when the process gets SIGTERM or SIGINT, instead of the signal
// ending the process. Objects nest: the newest one's fn runs; when the last goes, the signals
// end the process again.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> fn);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

private:
    std::function<void()> m_fn;
};

} // namespace kv

#include "FtpLogin.h"

#include "EventLoop.h"

#include <curl/curl.h>

#include <map>
#include <mutex>
#include <vector>

namespace kv {

namespace {

void globalInitOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Watchers {
    std::unique_ptr<SocketWatcher> read;
    std::unique_ptr<SocketWatcher> write;
};

} // namespace

struct FtpLoginCheck::Impl {
    CURLM *multi = nullptr;
    CURL *easy = nullptr;
    std::string url;
    std::string user;
    std::string password;
    std::function<void(const FtpLoginOutcome &)> done;
    std::map<int, Watchers> sockets;
    // Watchers let go of inside their own handlers, freed from the event loop later.
    std::vector<std::unique_ptr<SocketWatcher>> retired;
    Timer timer;
    PostGuard guard;
    bool running = false;

    Impl()
    {
        timer.setSingleShot(true);
        timer.onTimeout = [this] { act(CURL_SOCKET_TIMEOUT, 0); };
    }
    ~Impl() { clear(); }

    void retire(std::unique_ptr<SocketWatcher> &w)
    {
        if (!w)
            return;
        w->setEnabled(false);
        retired.push_back(std::move(w));
    }

    void clear()
    {
        timer.stop();
        if (easy) {
            if (multi)
                curl_multi_remove_handle(multi, easy);
            curl_easy_cleanup(easy);
            easy = nullptr;
        }
        for (auto &[fd, w] : sockets) {
            retire(w.read);
            retire(w.write);
        }
        sockets.clear();
        if (multi) {
            curl_multi_cleanup(multi);
            multi = nullptr;
        }
        running = false;
    }

    static int onSocket(CURL *, curl_socket_t fd, int what, void *user, void *)
    {
        auto *self = static_cast<Impl *>(user);
        Watchers &w = self->sockets[fd];
        const bool wantRead = what == CURL_POLL_IN || what == CURL_POLL_INOUT;
        const bool wantWrite = what == CURL_POLL_OUT || what == CURL_POLL_INOUT;
        if (wantRead && !w.read)
            w.read = std::make_unique<SocketWatcher>(fd, SocketWatcher::Kind::Read,
                                                     [self, fd] { self->act(fd, CURL_CSELECT_IN); });
        if (!wantRead)
            self->retire(w.read);
        if (wantWrite && !w.write)
            w.write = std::make_unique<SocketWatcher>(fd, SocketWatcher::Kind::Write,
                                                      [self, fd] { self->act(fd, CURL_CSELECT_OUT); });
        if (!wantWrite)
            self->retire(w.write);
        if (what == CURL_POLL_REMOVE)
            self->sockets.erase(fd);
        return 0;
    }

    static int onTimer(CURLM *, long timeoutMs, void *user)
    {
        auto *self = static_cast<Impl *>(user);
        if (timeoutMs < 0)
            self->timer.stop();
        else
            self->timer.start(static_cast<int>(timeoutMs));
        return 0;
    }

    void act(curl_socket_t fd, int events)
    {
        if (!multi)
            return;
        int still = 0;
        curl_multi_socket_action(multi, fd, events, &still);
        int left = 0;
        while (CURLMsg *msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg != CURLMSG_DONE)
                continue;
            FtpLoginOutcome outcome;
            outcome.LoggedIn = msg->data.result == CURLE_OK;
            outcome.Refused = msg->data.result == CURLE_LOGIN_DENIED;
            if (!outcome.LoggedIn)
                outcome.Reason = curl_easy_strerror(msg->data.result);
            finish(outcome);
            return;
        }
        postCall(guard, [this] { retired.clear(); });
    }

    // Ends the check (closing the connection) and reports from the event loop.
    void finish(const FtpLoginOutcome &outcome)
    {
        clear();
        auto handler = std::move(done);
        done = nullptr;
        postCall(guard, [this, handler, outcome] {
            retired.clear();
            if (handler)
                handler(outcome);
        });
    }
};

FtpLoginCheck::FtpLoginCheck() : m(std::make_unique<Impl>())
{
}

FtpLoginCheck::~FtpLoginCheck() = default;

bool FtpLoginCheck::Running() const
{
    return m->running;
}

void FtpLoginCheck::Start(const FtpLoginTarget &target, std::function<void(const FtpLoginOutcome &)> done)
{
    globalInitOnce();
    m->clear();
    m->done = std::move(done);
    m->running = true;
    m->url = "ftp://" + target.Host + ":" + std::to_string(target.Port) + "/";
    m->user = target.User;
    m->password = target.Password;
    m->multi = curl_multi_init();
    m->easy = curl_easy_init();
    if (!m->multi || !m->easy) {
        m->finish({false, false, "the FTP client could not be set up"});
        return;
    }
    CURL *e = m->easy;
    curl_easy_setopt(e, CURLOPT_URL, m->url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(e, CURLOPT_USERNAME, m->user.c_str());
    curl_easy_setopt(e, CURLOPT_PASSWORD, m->password.c_str());
    // Connect and log in, then stop: the check transfers nothing.
    curl_easy_setopt(e, CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(target.ConnectTimeoutMs));
    const long replySeconds = (target.ReplyTimeoutMs + 999) / 1000;
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, replySeconds < 1 ? 1L : replySeconds);
    // The whole check: the connect and the replies of the login.
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS,
                     static_cast<long>(target.ConnectTimeoutMs) +
                         4L * static_cast<long>(target.ReplyTimeoutMs));
    curl_multi_setopt(m->multi, CURLMOPT_SOCKETFUNCTION, &Impl::onSocket);
    curl_multi_setopt(m->multi, CURLMOPT_SOCKETDATA, m.get());
    curl_multi_setopt(m->multi, CURLMOPT_TIMERFUNCTION, &Impl::onTimer);
    curl_multi_setopt(m->multi, CURLMOPT_TIMERDATA, m.get());
    if (curl_multi_add_handle(m->multi, e) != CURLM_OK)
        m->finish({false, false, "the FTP client could not be set up"});
}

} // namespace kv

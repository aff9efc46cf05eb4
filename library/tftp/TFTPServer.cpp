#include "TFTPServer.h"

#include "Clock.h"
#include "EventLoop.h"
#include "Exception.h"
#include "TFTPPacket.h"
#include "TFTPSession.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

const char *const gKvTFTPTexts[18] = {
    "(KvTFTP) Success to transfer file.",
    "(KvTFTP) File is transferring...",
    "(KvTFTP) A TFTP session is connected...",
    "(KvTFTP) A TFTP session is disconnected...",
    "(KvTFTP) Undefined error:",
    "(KvTFTP) File not found!",
    "(KvTFTP) Access violation!",
    "(KvTFTP) Disk full!",
    "(KvTFTP) Bad operation!",
    "(KvTFTP) Unknown port!",
    "(KvTFTP) File already exist!",
    "(KvTFTP) No such user!",
    "(KvTFTP) Fail to open socket!Please check if the network is ready.",
    "(KvTFTP) Fail to send or receive socket packet!",
    "(KvTFTP) Socket is not ready!",
    "(KvTFTP) Bad packet!",
    "(KvTFTP) Timeout!",
    "(KvTFTP) Transfer has been canceled.",
};

const char *KvTFTPStatusTextOf(std::int32_t code)
{
    if (code >= 0 && code <= 3)
        return gKvTFTPTexts[3 - code];
    if (code <= -1101 && code >= -1114)
        return gKvTFTPTexts[-1097 - code];
    return "";
}

AnsiString KvTFTPStatusText(std::int32_t code)
{
    return KvTFTPStatusTextOf(code);
}

namespace {

constexpr int TickMs = 20;
constexpr std::int64_t StopWaitMs = 10000;

// The PC's own address for the status records: the first IPv4 address of an interface
// that is up and not loopback, found without asking any name service.
AnsiString firstLocalAddress()
{
    AnsiString result = "127.0.0.1";
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) != 0)
        return result;
    for (ifaddrs *i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        auto *a = reinterpret_cast<sockaddr_in *>(i->ifa_addr);
        if (::inet_ntop(AF_INET, &a->sin_addr, text, sizeof text)) {
            result = text;
            break;
        }
    }
    ::freeifaddrs(list);
    return result;
}

[[noreturn]] void raiseOpenFailure(int err, int port)
{
    AnsiString reason;
    AnsiString where = "UDP port " + std::to_string(port);
    if (err == EACCES || err == EPERM)
        reason = where + ": permission denied; ports below 1024 need the cap_net_bind_service capability";
    else if (err == EADDRINUSE)
        reason = where + ": already in use by another program";
    else
        reason = where + ": " + std::strerror(err);
    throw Exception(KvTFTPStatusText(TFTP_ERR_SOCKET_OPEN) + " (" + reason + ")", TFTP_ERR_SOCKET_OPEN);
}

} // namespace

KvTFTPServer::KvTFTPServer()
    : Timer(std::make_unique<kv::Timer>()), m_freeGuard(std::make_unique<kv::PostGuard>())
{
    Template.Code = TFTP_ERR_NOT_READY;
    Template.Message = KvTFTPStatusText(TFTP_ERR_NOT_READY);
    Template.LocalIP = firstLocalAddress();
    Timer->onTimeout = [this] { OnTimer(); };
}

KvTFTPServer::~KvTFTPServer()
{
    // The owner is going away: no session may call into it any more.
    OnStatus = nullptr;
    for (auto &s : Sessions)
        s->OnStatus = nullptr;
    if (IsListening())
        Stop();
    Timer->stop();
    Sessions.clear();
    m_listenWatcher.reset();
    m_retiredWatchers.clear();
}

void KvTFTPServer::SetTimeout(int timeout, int retries)
{
    Template.Timeout = timeout;
    Retries = retries;
}

void KvTFTPServer::SetOnStatus(KvTFTPStatusEvent handler)
{
    OnStatus = std::move(handler);
}

int KvTFTPServer::ListeningPort() const
{
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (ListenSocket < 0 || ::getsockname(ListenSocket, reinterpret_cast<sockaddr *>(&a), &len) != 0)
        return 0;
    return ntohs(a.sin_port);
}

void KvTFTPServer::Start(const AnsiString &rootDir, int port)
{
    if (rootDir.empty() || rootDir.back() == '/' || rootDir.back() == '\\')
        RootDir = rootDir;
    else
        RootDir = rootDir + "/";
    if (IsListening()) {
        if (m_boundAddress == m_listenAddress)
            return;
        // Same port, new address: running sessions keep their own sockets.
        port = ListeningPort();
        CloseListenSocket();
    }
    Template.Port = port;

    in_addr bindAddress{};
    if (::inet_pton(AF_INET, m_listenAddress.c_str(), &bindAddress) != 1)
        raiseOpenFailure(EINVAL, port);
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        raiseOpenFailure(errno, port);
    // Bound exclusively (no address reuse): a second server on the port must fail to start
    // rather than share, and so possibly steal, the first one's requests.
    int on = 1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr = bindAddress;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port < 0 || port > 65535 || ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
        int err = (port < 0 || port > 65535) ? EINVAL : errno;
        ::close(fd);
        raiseOpenFailure(err, port);
    }
    ListenSocket = fd;
    m_boundAddress = m_listenAddress;
    Template.Port = ListeningPort();
    m_listenWatcher =
        std::make_unique<kv::SocketWatcher>(fd, kv::SocketWatcher::Kind::Read, [this] { ReceiveRequest(); });
    Timer->start(TickMs);
}

void KvTFTPServer::CloseListenSocket()
{
    if (ListenSocket < 0)
        return;
    if (m_listenWatcher) {
        m_listenWatcher->setEnabled(false);
        // Its handler may be the caller (a status handler stopping the server): freed later.
        if (m_requestDepth > 0)
            m_retiredWatchers.push_back(std::move(m_listenWatcher));
        m_listenWatcher.reset();
    }
    ::close(ListenSocket);
    ListenSocket = -1;
}

void KvTFTPServer::Stop()
{
    CloseListenSocket();
    auto anyActive = [this] {
        return std::any_of(Sessions.begin(), Sessions.end(),
                           [](const auto &s) { return s->State == _TFTPSession::Active; });
    };
    kv::handleEventsUntil([&] { return !anyActive(); }, StopWaitMs);
    // Finished sessions go now, except one whose handler is the caller.
    for (std::size_t i = 0; i < Sessions.size();) {
        _TFTPSession *s = Sessions[i].get();
        if (s->State != _TFTPSession::Active && s->Busy == 0) {
            FreeSession(s);
            i = 0;
        } else {
            ++i;
        }
    }
    // Sessions still running keep their time-outs, so they end and are freed in time.
    if (Sessions.empty())
        Timer->stop();
}

bool KvTFTPServer::FindSession(const KvTFTPMsg &tmpl) const
{
    return std::any_of(Sessions.begin(), Sessions.end(), [&](const auto &s) { return s->Matches(tmpl); });
}

bool KvTFTPServer::IsBeingWritten(const AnsiString &fileName, const _TFTPSession *except) const
{
    return std::any_of(Sessions.begin(), Sessions.end(),
                       [&](const auto &s) { return s.get() != except && s->IsWriting(fileName); });
}

void KvTFTPServer::ReceiveRequest()
{
    ++m_requestDepth;
    struct Leave {
        int &depth;
        ~Leave() { --depth; }
    } leave{m_requestDepth};
    // A burst of requests is taken in one go; stops when the socket is drained or closed.
    for (int i = 0; i < 16 && ListenSocket >= 0; ++i) {
        std::uint8_t buffer[2048];
        sockaddr_in from{};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
        iovec iov{buffer, sizeof buffer};
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = sizeof from;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        ssize_t n = ::recvmsg(ListenSocket, &msg, MSG_DONTWAIT);
        if (n < 0)
            break;
        if (n < 4 || from.sin_family != AF_INET)
            continue;
        // Replies leave from the address the request was sent to.
        in_addr localAddress{};
        for (cmsghdr *c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info;
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                localAddress = info.ipi_addr;
            }
        }
        auto request = kv::tftp::parseRequest(
            std::span<const std::uint8_t>(buffer, std::min(static_cast<std::size_t>(n), sizeof buffer)));
        if (!request)
            continue;

        Template.Code = TFTP_CONNECTED;
        Template.Message = KvTFTPStatusText(TFTP_CONNECTED);
        Template.Kind = request->opcode == kv::tftp::OpRRQ ? 1 : 2;
        Template.FileName = request->fileName;
        Template.Mode = request->mode;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        Template.RemoteIP = text;
        Template.RemotePort = ntohs(from.sin_port);
        if (RefuseUnaccepted(from))
            continue;
        // A client repeating its request does not start a second transfer.
        if (FindSession(Template))
            continue;
        if (AtSessionLimit(from.sin_addr)) {
            std::uint8_t error[kv::tftp::MaxErrorPacket];
            const std::size_t length = kv::tftp::buildError(error, kv::tftp::ErrNotDefined,
                                                            "Too many transfers at once, try again later.");
            ::sendto(ListenSocket, error, length, MSG_DONTWAIT, reinterpret_cast<const sockaddr *>(&from),
                     sizeof from);
            continue;
        }
        Template.RetryCount = 0;
        Template.SessionNo = Template.SessionNo + 1;

        Sessions.push_back(
            std::make_unique<_TFTPSession>(*this, RootDir, OnStatus, Template, from, localAddress));
        _TFTPSession *session = Sessions.back().get();
        ++session->Busy;
        session->Open();
        session->Start();
        --session->Busy;
        // A request refused at once (a missing file, say) holds no socket any longer.
        FreeEndedSessions();
    }
}

bool KvTFTPServer::AtSessionLimit(const in_addr &peer) const
{
    if (static_cast<int>(Sessions.size()) >= MaxSessions)
        return true;
    const auto samePeer = std::count_if(Sessions.begin(), Sessions.end(), [&](const auto &s) {
        return s->Peer.sin_addr.s_addr == peer.s_addr;
    });
    return samePeer >= MaxSessionsPerPeer;
}

void KvTFTPServer::FreeEndedSessions()
{
    const std::int64_t now = kv::Clock::instance().monotonicMs();
    auto ended = [now](const std::unique_ptr<_TFTPSession> &s) {
        if (s->State == _TFTPSession::Active || s->Busy > 0)
            return false;
        return !(s->State == _TFTPSession::Done && now < s->Linger);
    };
    // Each free reports to the handler, which may change the list: look again from the start.
    for (auto it = std::find_if(Sessions.begin(), Sessions.end(), ended); it != Sessions.end();
         it = std::find_if(Sessions.begin(), Sessions.end(), ended))
        FreeSession(it->get());
}

void KvTFTPServer::FreeEndedSessionsSoon()
{
    if (m_freeScheduled)
        return;
    m_freeScheduled = true;
    kv::postCall(*m_freeGuard, [this] {
        m_freeScheduled = false;
        FreeEndedSessions();
    });
}

void KvTFTPServer::FreeSession(_TFTPSession *session)
{
    auto it =
        std::find_if(Sessions.begin(), Sessions.end(), [&](const auto &s) { return s.get() == session; });
    if (it == Sessions.end())
        return;
    std::unique_ptr<_TFTPSession> owned = std::move(*it);
    Sessions.erase(it);
    owned->ReportDisconnected();
}

void KvTFTPServer::OnTimer()
{
    if (m_inTimer)
        return;
    m_inTimer = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_inTimer};

    // Retired watchers belong to sockets closed inside a handler; the tick is not such a handler.
    if (m_requestDepth == 0)
        m_retiredWatchers.clear();

    std::int64_t now = kv::Clock::instance().monotonicMs();
    for (std::size_t i = 0; i < Sessions.size(); ++i) {
        _TFTPSession *s = Sessions[i].get();
        if (s->Busy > 0 || s->State != _TFTPSession::Active)
            continue;
        if (s->Deadline != 0 && now >= s->Deadline) {
            s->Retransmit(Retries);
            // The status handler may have changed the list.
            auto it =
                std::find_if(Sessions.begin(), Sessions.end(), [&](const auto &p) { return p.get() == s; });
            if (it == Sessions.end())
                break;
            i = static_cast<std::size_t>(it - Sessions.begin());
        }
    }
    FreeEndedSessions();
    if (!IsListening() && Sessions.empty())
        Timer->stop();
}

bool KvTFTPServer::RefuseUnaccepted(const sockaddr_in &from)
{
    if (!m_acceptFilter || m_acceptFilter(Template))
        return false;
    std::uint8_t error[kv::tftp::MaxErrorPacket];
    const std::size_t length = kv::tftp::buildError(error, kv::tftp::ErrAccessViolation);
    ::sendto(ListenSocket, error, length, MSG_DONTWAIT, reinterpret_cast<const sockaddr *>(&from),
             sizeof from);
    // On record for the handler (who asked, for what); no session was made.
    if (OnStatus) {
        KvTFTPMsg refused = Template;
        refused.Code = TFTP_ERR_ACCESS;
        refused.Message = KvTFTPStatusText(TFTP_ERR_ACCESS);
        bool cancel = false;
        OnStatus(this, &refused, &cancel);
    }
    return true;
}

#include "IcmpProbe.h"

#include "EventLoop.h"
#include "IcmpPacket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <vector>

namespace kv {

namespace {

std::shared_ptr<IcmpProber> &current()
{
    static std::shared_ptr<IcmpProber> prober;
    return prober;
}

// Stands in until the program installs its prober: nothing is ever sent.
class NoIcmpProber : public IcmpProber {
public:
    std::unique_ptr<IcmpProbe> Start(uint32_t, Done done) override
    {
        IcmpProbeOutcome outcome;
        outcome.reason = "no ICMP probe is installed";
        return PostIcmpOutcome(std::move(outcome), std::move(done));
    }
};

class PostedProbe : public IcmpProbe {
public:
    PostedProbe(IcmpProbeOutcome outcome, IcmpProber::Done done)
    {
        postCall(m_guard, [outcome = std::move(outcome), done = std::move(done)] {
            if (done)
                done(outcome);
        });
    }

private:
    PostGuard m_guard;
};

std::string errnoText(const char *what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

class SocketProbe : public IcmpProbe {
public:
    SocketProbe(uint32_t address, const SocketIcmpProber::Options &options, IcmpProber::Done done)
        : m_address(address), m_options(options), m_done(std::move(done))
    {
        std::string error;
        m_socket = IcmpSocket::Open(options.AllowPingSocket, options.AllowRawSocket, error);
        if (!m_socket.IsOpen()) {
            m_outcome.reason = error;
            finish(IcmpProbeOutcome::Verdict::CannotRun);
            return;
        }
        m_outcome.socket = m_socket.Kind();
        m_watcher = std::make_unique<SocketWatcher>(m_socket.Fd(), SocketWatcher::Kind::Read,
                                                    [this] { readAnswers(); });
        m_timer.setSingleShot(true);
        m_timer.onTimeout = [this] { nextAttempt(); };
        // The first request goes out from the event loop, like every later step.
        postCall(m_guard, [this] { nextAttempt(); });
    }

private:
    void nextAttempt()
    {
        if (m_finished)
            return;
        if (m_attempt >= m_options.Attempts) {
            finish(m_outcome.requestsSent > 0 ? IcmpProbeOutcome::Verdict::Free
                                              : IcmpProbeOutcome::Verdict::CannotRun);
            return;
        }
        ++m_attempt;
        std::array<uint8_t, kIcmpReceiveBufferSize> packet{};
        const std::size_t size = FillIcmpEchoRequest(packet, 0, m_socket.Identifier());
        m_sequences.push_back(IcmpEchoSequence(std::span<const uint8_t>(packet.data(), size)));
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(m_address);
        const ssize_t sent = ::sendto(m_socket.Fd(), packet.data(), size, 0,
                                      reinterpret_cast<const sockaddr *>(&to), sizeof to);
        if (sent != static_cast<ssize_t>(size)) {
            // A request that cannot leave proves nothing; the next attempt follows at once.
            m_outcome.reason = errnoText("cannot send the echo request", errno);
            postCall(m_guard, [this] { nextAttempt(); });
            return;
        }
        ++m_outcome.requestsSent;
        m_outcome.reason.clear();
        m_timer.start(m_options.WaitMs);
    }

    void readAnswers()
    {
        std::array<uint8_t, kIcmpReceiveBufferSize> buffer{};
        const IcmpEchoExpectation expected{m_address, m_socket.Identifier(), m_sequences};
        const bool withIpHeader = m_socket.Kind() == IcmpSocketKind::Raw;
        while (!m_finished) {
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = ::recvfrom(m_socket.Fd(), buffer.data(), buffer.size(), 0,
                                         reinterpret_cast<sockaddr *>(&from), &fromSize);
            if (n <= 0)
                return; // drained (or an error the next attempt will meet)
            const std::span<const uint8_t> packet(buffer.data(), static_cast<std::size_t>(n));
            if (AnswersEchoProbe(packet, withIpHeader, ntohl(from.sin_addr.s_addr), expected))
                finish(IcmpProbeOutcome::Verdict::InUse);
        }
    }

    void finish(IcmpProbeOutcome::Verdict verdict)
    {
        m_finished = true;
        m_timer.stop();
        if (m_watcher)
            m_watcher->setEnabled(false);
        m_outcome.verdict = verdict;
        if (verdict != IcmpProbeOutcome::Verdict::CannotRun)
            m_outcome.reason.clear();
        // From the event loop: the caller may destroy this probe in its handler.
        postCall(m_guard, [this] {
            IcmpProber::Done done = std::move(m_done);
            m_done = nullptr;
            const IcmpProbeOutcome outcome = m_outcome;
            if (done)
                done(outcome);
        });
    }

    uint32_t m_address;
    SocketIcmpProber::Options m_options;
    IcmpProber::Done m_done;
    IcmpSocket m_socket;
    std::unique_ptr<SocketWatcher> m_watcher;
    Timer m_timer;
    std::vector<uint16_t> m_sequences;
    IcmpProbeOutcome m_outcome;
    int m_attempt = 0;
    bool m_finished = false;
    PostGuard m_guard; // last: dropped first, so no posted step outlives the members
};

} // namespace

IcmpProber &IcmpProber::instance()
{
    static NoIcmpProber none;
    IcmpProber *installed = current().get();
    return installed ? *installed : none;
}

void IcmpProber::setInstance(std::shared_ptr<IcmpProber> prober)
{
    current() = std::move(prober);
}

ScopedIcmpProber::ScopedIcmpProber(std::shared_ptr<IcmpProber> prober) : m_previous(current())
{
    IcmpProber::setInstance(std::move(prober));
}

ScopedIcmpProber::~ScopedIcmpProber()
{
    current() = m_previous;
}

std::unique_ptr<IcmpProbe> PostIcmpOutcome(IcmpProbeOutcome outcome, IcmpProber::Done done)
{
    return std::make_unique<PostedProbe>(std::move(outcome), std::move(done));
}

std::unique_ptr<IcmpProbe> SocketIcmpProber::Start(uint32_t address, Done done)
{
    return std::make_unique<SocketProbe>(address, m_options, std::move(done));
}

IcmpSocket::~IcmpSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

IcmpSocket::IcmpSocket(IcmpSocket &&other) noexcept
    : m_fd(other.m_fd), m_kind(other.m_kind), m_identifier(other.m_identifier)
{
    other.m_fd = -1;
    other.m_kind = IcmpSocketKind::None;
}

IcmpSocket &IcmpSocket::operator=(IcmpSocket &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        m_kind = other.m_kind;
        m_identifier = other.m_identifier;
        other.m_fd = -1;
        other.m_kind = IcmpSocketKind::None;
    }
    return *this;
}

IcmpSocket IcmpSocket::Open(bool allowPing, bool allowRaw, std::string &error)
{
    IcmpSocket s;
    std::string pingError;
    if (allowPing) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd >= 0) {
            s.m_fd = fd;
            // Bound now, so the identifier the kernel gives the requests is known.
            sockaddr_in local{};
            local.sin_family = AF_INET;
            socklen_t size = sizeof local;
            if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0 &&
                ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &size) == 0) {
                s.m_kind = IcmpSocketKind::Ping;
                s.m_identifier = local.sin_port; // as the packet holds it
                return s;
            }
            pingError = errnoText("ping socket", errno);
            s = IcmpSocket();
        } else {
            pingError = errnoText("ping socket (net.ipv4.ping_group_range)", errno);
        }
    }
    if (allowRaw) {
        const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd >= 0) {
            s.m_fd = fd;
            s.m_kind = IcmpSocketKind::Raw;
            s.m_identifier = static_cast<uint16_t>(getpid() & 0xFFFF);
            // Only echo replies, so the host's other ICMP traffic does not wake the probe.
            icmp_filter filter{};
            filter.data = ~(1u << kIcmpEchoReply);
            ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
            return s;
        }
        const std::string rawError = errnoText("raw socket (CAP_NET_RAW)", errno);
        error = pingError.empty() ? rawError : pingError + "; " + rawError;
        return s;
    }
    error = pingError.empty() ? "no ICMP socket allowed" : pingError;
    return s;
}

} // namespace kv

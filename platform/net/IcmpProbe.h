#pragma once
// The echo probe of an address: is something already answering there? It runs as events on
// the GUI thread (the socket's readiness and a timer), so the window stays responsive while
// it waits; the answer comes back through a callback.
//
// Sockets, in order of preference: an unprivileged ICMP ("ping") socket where the system
// allows it (net.ipv4.ping_group_range holds the process's group), a raw ICMP socket (needs
// CAP_NET_RAW), else the probe reports that it cannot run. Names are never looked up.
//
// The program installs the socket prober at start (IcmpProber::setInstance). Until one is
// installed, and so in every test that installs none, a probe sends nothing and reports that
// it cannot run.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kv {

enum class IcmpSocketKind { None, Ping, Raw };

struct IcmpProbeOutcome {
    enum class Verdict {
        Free,      // no attempt got a matching echo reply
        InUse,     // an attempt got one
        CannotRun, // no socket could be opened or no request could be sent (Reason says why)
    };
    Verdict verdict = Verdict::CannotRun;
    IcmpSocketKind socket = IcmpSocketKind::None;
    std::string reason;
    int requestsSent = 0;
};

// A running probe; destroying it stops it and drops its answer.
class IcmpProbe {
public:
    virtual ~IcmpProbe() = default;
};

class IcmpProber {
public:
    using Done = std::function<void(const IcmpProbeOutcome &)>;
    virtual ~IcmpProber() = default;

    // Probes the IPv4 address (host byte order). done runs once, later, from the event loop,
    // unless the returned probe is destroyed first.
    virtual std::unique_ptr<IcmpProbe> Start(uint32_t address, Done done) = 0;

    static IcmpProber &instance();
    // Installs the program's prober (nullptr: none, every probe cannot run).
    static void setInstance(std::shared_ptr<IcmpProber> prober);
};

// Installs a prober for one scope and puts the previous one back on exit.
class ScopedIcmpProber {
public:
    explicit ScopedIcmpProber(std::shared_ptr<IcmpProber> prober);
    ~ScopedIcmpProber();
    ScopedIcmpProber(const ScopedIcmpProber &) = delete;
    ScopedIcmpProber &operator=(const ScopedIcmpProber &) = delete;

private:
    std::shared_ptr<IcmpProber> m_previous;
};

// A probe that answers from the event loop with a fixed outcome (no socket).
std::unique_ptr<IcmpProbe> PostIcmpOutcome(IcmpProbeOutcome outcome, IcmpProber::Done done);

// The probe over a socket: up to Attempts echo requests, each followed by a wait of WaitMs
// (through the swappable clock); any attempt answered by a matching reply ends it "in use".
class SocketIcmpProber : public IcmpProber {
public:
    struct Options {
        int Attempts = 3;
        int WaitMs = 1000;
        bool AllowPingSocket = true;
        bool AllowRawSocket = true;
    };
    SocketIcmpProber() = default;
    explicit SocketIcmpProber(Options options) : m_options(options) {}
    std::unique_ptr<IcmpProbe> Start(uint32_t address, Done done) override;

private:
    Options m_options;
};

// An open ICMP socket (closed by its destructor).
class IcmpSocket {
public:
    IcmpSocket() = default;
    ~IcmpSocket();
    IcmpSocket(IcmpSocket &&other) noexcept;
    IcmpSocket &operator=(IcmpSocket &&other) noexcept;
    IcmpSocket(const IcmpSocket &) = delete;
    IcmpSocket &operator=(const IcmpSocket &) = delete;

    // A non-blocking socket of the preferred kind the options allow; on failure the result
    // is not open and error says why.
    static IcmpSocket Open(bool allowPing, bool allowRaw, std::string &error);

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    IcmpSocketKind Kind() const { return m_kind; }
    // The identifier replies carry: the kernel's for a ping socket, the process's for a raw one.
    uint16_t Identifier() const { return m_identifier; }

private:
    int m_fd = -1;
    IcmpSocketKind m_kind = IcmpSocketKind::None;
    uint16_t m_identifier = 0;
};

} // namespace kv

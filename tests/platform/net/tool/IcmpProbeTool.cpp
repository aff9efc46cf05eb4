// Runs one echo probe of a loopback address and prints its outcome. With --isolated it first
// prepares the network namespace it was started in (unshare -n): loopback up and the echo and
// ping-socket settings asked for; it refuses when it sees any interface besides loopback, so
// it never changes the settings of a real host.
//
//   icmp-probe-tool [--isolated] [--echo-ignore] [--ping-group] [--drop-raw] [--wait-ms N] ADDRESS
// Prints "verdict=in-use|free|cannot-run socket=ping|raw|none sent=N"; exit 0 when probed,
// 1 for bad usage, 2 when the namespace could not be prepared, 3 outside a namespace of its own.
#include "IcmpProbe.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <linux/capability.h>
#include <net/if.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool onlyLoopback()
{
    struct if_nameindex *names = if_nameindex();
    if (!names)
        return false;
    bool only = true;
    for (struct if_nameindex *n = names; n->if_index != 0; ++n)
        if (std::strcmp(n->if_name, "lo") != 0)
            only = false;
    if_freenameindex(names);
    return only;
}

bool loopbackUp()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    ok = ok && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    close(fd);
    return ok;
}

bool writeSetting(const std::string &name, const std::string &value)
{
    std::ofstream out("/proc/sys/net/ipv4/" + name);
    out << value << '\n';
    out.close();
    return static_cast<bool>(out);
}

bool dropRawCapability()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned bit = 1u << CAP_NET_RAW;
    data[0].effective &= ~bit;
    data[0].permitted &= ~bit;
    data[0].inheritable &= ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}

const char *kindName(kv::IcmpSocketKind kind)
{
    return kind == kv::IcmpSocketKind::Ping ? "ping" : kind == kv::IcmpSocketKind::Raw ? "raw" : "none";
}

const char *verdictName(kv::IcmpProbeOutcome::Verdict verdict)
{
    using V = kv::IcmpProbeOutcome::Verdict;
    return verdict == V::InUse ? "in-use" : verdict == V::Free ? "free" : "cannot-run";
}

} // namespace

int main(int argc, char **argv)
{
    bool isolated = false, echoIgnore = false, pingGroup = false, dropRaw = false;
    kv::SocketIcmpProber::Options options;
    std::string address;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--isolated")
            isolated = true;
        else if (a == "--echo-ignore")
            echoIgnore = true;
        else if (a == "--ping-group")
            pingGroup = true;
        else if (a == "--drop-raw")
            dropRaw = true;
        else if (a == "--wait-ms" && i + 1 < argc)
            options.WaitMs = std::atoi(argv[++i]);
        else if (address.empty() && a[0] != '-')
            address = a;
        else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            return 1;
        }
    }
    in_addr parsed{};
    if (address.empty() || inet_pton(AF_INET, address.c_str(), &parsed) != 1 ||
        (ntohl(parsed.s_addr) >> 24) != 127) {
        std::fprintf(stderr, "a loopback address (127.0.0.0/8) is required\n");
        return 1;
    }
    if (isolated) {
        if (!onlyLoopback()) {
            std::fprintf(stderr, "refused: interfaces besides loopback, not a namespace of its own\n");
            return 3;
        }
        const std::string group = std::to_string(getgid());
        if (!loopbackUp() || !writeSetting("icmp_echo_ignore_all", echoIgnore ? "1" : "0") ||
            (pingGroup && !writeSetting("ping_group_range", group + " " + group))) {
            std::fprintf(stderr, "setup: cannot prepare the namespace: %s\n", std::strerror(errno));
            return 2;
        }
    }
    if (dropRaw && !dropRawCapability()) {
        std::fprintf(stderr, "setup: cannot drop CAP_NET_RAW: %s\n", std::strerror(errno));
        return 2;
    }

    QCoreApplication app(argc, argv);
    kv::SocketIcmpProber prober(options);
    kv::IcmpProbeOutcome result;
    auto probe = prober.Start(ntohl(parsed.s_addr), [&](const kv::IcmpProbeOutcome &o) {
        result = o;
        app.quit();
    });
    app.exec();
    std::printf("verdict=%s socket=%s sent=%d\n", verdictName(result.verdict), kindName(result.socket),
                result.requestsSent);
    if (!result.reason.empty())
        std::printf("reason=%s\n", result.reason.c_str());
    return 0;
}

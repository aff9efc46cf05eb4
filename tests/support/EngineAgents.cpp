#include "EngineAgents.h"
#include "EventLoop.h"
#include "TestEnv.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace enginetest {

namespace {

// The object tree of the pass_persist script: a scalar of each syntax, tables with
// integer, string, address and two-part indexes, and a walk table of N rows.
const char *kScript = R"PERL(#!/usr/bin/perl
use strict; $| = 1;
my $base = ".1.3.6.1.4.1.32473.99";
my $rows = $ARGV[0] || 3;
my %t;
sub put { my ($o, $ty, $v) = @_; $t{"$base.$o"} = [$ty, $v]; }
put("1.1.0", "integer", "42");
put("1.2.0", "string", "hello");
put("1.3.0", "objectid", ".1.3.6.1.4.1.32473");
put("1.4.0", "timeticks", "12345");
put("1.5.0", "ipaddress", "192.168.0.1");
put("1.6.0", "counter", "4000000000");
put("1.7.0", "gauge", "77");
put("1.8.0", "counter64", "5000000000");
put("1.9.0", "octet", "00 1A FF");
put("1.10.0", "integer", "7");
put("1.11.0", "string", "writable");
for my $i (1, 2, 5) { put("2.1.1.$i", "integer", $i); put("2.1.2.$i", "string", "row$i"); put("2.1.3.$i", "integer", $i * 10); }
for my $i (1 .. $rows) { put("3.1.1.$i", "integer", $i); put("3.1.2.$i", "string", "name$i"); put("3.1.3.$i", "gauge", $i * 3); put("3.1.4.$i", "timeticks", $i * 100); }
put("4.1.2.2.97.98", "string", "ab-row"); put("4.1.2.2.99.100", "string", "cd-row");
put("5.1.2.10.0.0.1", "integer", "1"); put("5.1.2.192.168.0.1", "integer", "2");
put("6.1.3.3.2.97.98", "string", "three-ab"); put("6.1.3.4.1.120", "string", "four-x");
my %writable = map { ("$base.$_" => 1) } ("1.10.0", "1.11.0", "2.1.2.1", "2.1.3.1");
sub cmpoid { my @a = split /\./, substr($_[0], 1); my @b = split /\./, substr($_[1], 1);
  for (my $i = 0; $i < @a && $i < @b; $i++) { return $a[$i] <=> $b[$i] if $a[$i] != $b[$i]; } return @a <=> @b; }
my @keys;
sub resort { @keys = sort { cmpoid($a, $b) } keys %t; }
resort();
while (my $cmd = <STDIN>) {
  chomp $cmd;
  next if $cmd eq "";
  if ($cmd eq "PING") { print "PONG\n"; next; }
  my $oid = <STDIN>; chomp $oid;
  if ($cmd eq "set") {
    my $v = <STDIN>; chomp $v; my ($ty, $val) = split / /, $v, 2;
    if (!$writable{$oid}) { print "not-writable\n"; next; }
    if ($ty ne $t{$oid}[0]) { print "wrong-type\n"; next; }
    $val =~ s/^"(.*)"$/$1/; $t{$oid} = [$ty, $val]; print "DONE\n"; next;
  }
  my $found;
  if ($cmd eq "get") { $found = $oid if exists $t{$oid}; }
  else {
    # The first key after $oid, by binary search.
    my ($lo, $hi) = (0, scalar @keys);
    while ($lo < $hi) { my $mid = int(($lo + $hi) / 2); if (cmpoid($keys[$mid], $oid) > 0) { $hi = $mid; } else { $lo = $mid + 1; } }
    $found = $keys[$lo] if $lo < @keys;
  }
  if (defined $found) { print "$found\n$t{$found}[0]\n$t{$found}[1]\n"; } else { print "NONE\n"; }
}
)PERL";

std::vector<std::uint8_t> encodeLength(std::size_t n)
{
    if (n < 128)
        return {static_cast<std::uint8_t>(n)};
    std::vector<std::uint8_t> bytes;
    while (n) {
        bytes.insert(bytes.begin(), static_cast<std::uint8_t>(n & 0xFF));
        n >>= 8;
    }
    bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80 | bytes.size()));
    return bytes;
}

std::vector<std::uint8_t> tlv(std::uint8_t tag, const std::vector<std::uint8_t> &content)
{
    std::vector<std::uint8_t> out{tag};
    auto len = encodeLength(content.size());
    out.insert(out.end(), len.begin(), len.end());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

std::vector<std::uint8_t> encodeInt(std::int32_t v)
{
    std::vector<std::uint8_t> bytes;
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 3; i >= 0; --i)
        bytes.push_back(static_cast<std::uint8_t>(u >> (i * 8)));
    while (bytes.size() > 1 &&
           ((bytes[0] == 0 && !(bytes[1] & 0x80)) || (bytes[0] == 0xFF && (bytes[1] & 0x80))))
        bytes.erase(bytes.begin());
    return bytes;
}

std::vector<std::uint8_t> encodeOid(const std::vector<std::uint32_t> &oid)
{
    std::vector<std::uint8_t> out;
    if (oid.size() < 2)
        return {0};
    auto put = [&](std::uint32_t v) {
        std::vector<std::uint8_t> tmp{static_cast<std::uint8_t>(v & 0x7F)};
        v >>= 7;
        while (v) {
            tmp.insert(tmp.begin(), static_cast<std::uint8_t>(0x80 | (v & 0x7F)));
            v >>= 7;
        }
        out.insert(out.end(), tmp.begin(), tmp.end());
    };
    put(oid[0] * 40 + oid[1]);
    for (std::size_t i = 2; i < oid.size(); ++i)
        put(oid[i]);
    return out;
}

struct Reader {
    const std::uint8_t *p;
    const std::uint8_t *end;
    bool ok = true;
    bool next(std::uint8_t &tag, const std::uint8_t *&content, std::size_t &len)
    {
        if (end - p < 2)
            return ok = false;
        tag = *p++;
        std::size_t n = *p++;
        if (n & 0x80) {
            int k = n & 0x7F;
            n = 0;
            while (k-- > 0 && p < end)
                n = (n << 8) | *p++;
        }
        if (static_cast<std::size_t>(end - p) < n)
            return ok = false;
        content = p;
        len = n;
        p += n;
        return true;
    }
};

std::int32_t decodeInt(const std::uint8_t *c, std::size_t n)
{
    std::int32_t v = (n && (c[0] & 0x80)) ? -1 : 0;
    for (std::size_t i = 0; i < n; ++i)
        v = static_cast<std::int32_t>((static_cast<std::uint32_t>(v) << 8) | c[i]);
    return v;
}

std::vector<std::uint32_t> decodeOid(const std::uint8_t *c, std::size_t n)
{
    std::vector<std::uint32_t> out;
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        v = (v << 7) | (c[i] & 0x7F);
        if (!(c[i] & 0x80)) {
            if (out.empty()) {
                out.push_back(v < 80 ? v / 40 : 2);
                out.push_back(v < 80 ? v % 40 : v - 80);
            } else {
                out.push_back(v);
            }
            v = 0;
        }
    }
    return out;
}

bool decodeRequest(const std::uint8_t *data, std::size_t size, WireRequest &req)
{
    Reader top{data, data + size};
    std::uint8_t tag;
    const std::uint8_t *c;
    std::size_t n;
    if (!top.next(tag, c, n) || tag != 0x30)
        return false;
    Reader msg{c, c + n};
    if (!msg.next(tag, c, n) || tag != 0x02)
        return false;
    req.version = decodeInt(c, n);
    if (!msg.next(tag, c, n) || tag != 0x04)
        return false;
    req.community.assign(reinterpret_cast<const char *>(c), n);
    if (!msg.next(tag, c, n))
        return false;
    req.pduType = tag;
    Reader pdu{c, c + n};
    if (!pdu.next(tag, c, n))
        return false;
    req.requestId = decodeInt(c, n);
    pdu.next(tag, c, n);
    pdu.next(tag, c, n);
    if (!pdu.next(tag, c, n) || tag != 0x30)
        return false;
    Reader list{c, c + n};
    while (list.p < list.end) {
        if (!list.next(tag, c, n) || tag != 0x30)
            return false;
        Reader vb{c, c + n};
        WireVb w;
        if (!vb.next(tag, c, n) || tag != 0x06)
            return false;
        w.oid = decodeOid(c, n);
        if (!vb.next(tag, c, n))
            return false;
        w.tag = tag;
        w.value.assign(c, c + n);
        req.vbs.push_back(std::move(w));
    }
    return true;
}

std::vector<std::uint8_t> encodeReply(const WireRequest &req, const WireReply &reply)
{
    std::vector<std::uint8_t> list;
    const auto &vbs = reply.echo ? req.vbs : reply.vbs;
    for (const auto &vb : vbs) {
        auto item = tlv(0x06, encodeOid(vb.oid));
        auto value = tlv(vb.tag, vb.value);
        item.insert(item.end(), value.begin(), value.end());
        auto seq = tlv(0x30, item);
        list.insert(list.end(), seq.begin(), seq.end());
    }
    std::vector<std::uint8_t> pdu;
    for (auto part : {tlv(0x02, encodeInt(req.requestId)), tlv(0x02, encodeInt(reply.errorStatus)),
                      tlv(0x02, encodeInt(reply.errorIndex)), tlv(0x30, list)})
        pdu.insert(pdu.end(), part.begin(), part.end());
    std::vector<std::uint8_t> msg;
    std::vector<std::uint8_t> community(req.community.begin(), req.community.end());
    for (auto part : {tlv(0x02, encodeInt(req.version)), tlv(0x04, community), tlv(0xA2, pdu)})
        msg.insert(msg.end(), part.begin(), part.end());
    return tlv(0x30, msg);
}

int bindLoopback(int &port)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr));
    socklen_t len = sizeof(addr);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

// True when the agent on the port answers an SNMPv2c get of oid within waitMs.
bool answersGet(int port, const std::string &community, const std::string &oid, int waitMs)
{
    int localPort = 0;
    int fd = bindLoopback(localPort);
    WireRequest req;
    req.version = 1;
    req.community = community;
    req.requestId = 1;
    req.vbs.push_back(WireVb{parseOid(oid), 0x05, {}});
    auto bytes = encodeReply(req, WireReply{false, 0, 0, 0, true, {}});
    // encodeReply writes a response PDU; turn it into a get request.
    for (std::size_t k = 0; k + 1 < bytes.size(); ++k) {
        if (bytes[k] == 0xA2) {
            bytes[k] = 0xA0;
            break;
        }
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof(to));
    pollfd p{fd, POLLIN, 0};
    const bool answered = ::poll(&p, 1, waitMs) > 0;
    ::close(fd);
    return answered;
}

} // namespace

std::vector<std::uint32_t> parseOid(const std::string &dotted)
{
    std::vector<std::uint32_t> out;
    std::uint32_t v = 0;
    bool any = false;
    for (char c : dotted) {
        if (c == '.') {
            if (any)
                out.push_back(v);
            v = 0;
            any = false;
        } else {
            v = v * 10 + static_cast<std::uint32_t>(c - '0');
            any = true;
        }
    }
    if (any)
        out.push_back(v);
    return out;
}

WireVb intVb(const std::string &oid, std::int32_t value)
{
    return WireVb{parseOid(oid), 0x02, encodeInt(value)};
}

WireVb strVb(const std::string &oid, const std::string &value)
{
    return WireVb{parseOid(oid), 0x04, std::vector<std::uint8_t>(value.begin(), value.end())};
}

WireVb tagVb(const std::string &oid, std::uint8_t tag)
{
    return WireVb{parseOid(oid), tag, {}};
}

FakeAgent::FakeAgent(Script script) : m_script(std::move(script))
{
    m_fd = bindLoopback(m_port);
    m_thread = std::thread([this] { run(); });
}

FakeAgent::~FakeAgent()
{
    m_stop = true;
    m_thread.join();
    ::close(m_fd);
}

void FakeAgent::setScript(Script script)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_script = std::move(script);
}

void FakeAgent::run()
{
    std::uint8_t buf[65536];
    while (!m_stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        sockaddr_in from{};
        socklen_t fromLen = sizeof(from);
        ssize_t n = ::recvfrom(m_fd, buf, sizeof(buf), 0, reinterpret_cast<sockaddr *>(&from), &fromLen);
        if (n <= 0)
            continue;
        WireRequest req;
        if (!decodeRequest(buf, static_cast<std::size_t>(n), req))
            continue;
        ++m_requests;
        WireReply reply;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            reply = m_script(req);
        }
        if (reply.drop)
            continue;
        if (reply.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
        auto bytes = encodeReply(req, reply);
        ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&from), fromLen);
    }
}

SilentAgent::SilentAgent()
{
    m_fd = bindLoopback(m_port);
}

SilentAgent::~SilentAgent()
{
    ::close(m_fd);
}

int SilentAgent::drain()
{
    char buffer[2048];
    int n = 0;
    while (::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT) >= 0)
        ++n;
    return n;
}

SnmpdAgent::SnmpdAgent(int tableRows, const std::string &extraConfig)
{
    m_dir = kvtest::makeTempDir("kv-snmpd");
    const std::string script = m_dir + "/tree.pl";
    {
        std::ofstream out(script);
        out << kScript;
    }
    ::chmod(script.c_str(), 0755);
    ::mkdir((m_dir + "/persist").c_str(), 0700);
    ::mkdir((m_dir + "/mibs").c_str(), 0700);
    const std::string conf = m_dir + "/snmpd.conf";
    {
        std::ofstream out(conf);
        out << "[snmp] persistentDir " << m_dir << "/persist\n"
            << "rocommunity mardle 127.0.0.1\n"
            << "rwcommunity quintel 127.0.0.1\n"
            << "createUser " << kShaUser << " SHA \"" << kShaAuth << "\" DES \"" << kShaPriv << "\"\n"
            << "createUser " << kMd5User << " MD5 \"" << kMd5Auth << "\" DES \"" << kMd5Priv << "\"\n"
            << "createUser " << kMd5AuthOnly << " MD5 \"" << kMd5AuthOnlyPass << "\"\n"
            << "rwuser " << kShaUser << " priv\n"
            << "rwuser " << kMd5User << " priv\n"
            << "rwuser " << kMd5AuthOnly << " auth\n"
            << "pass_persist .1.3.6.1.4.1.32473.99 " << script << " " << tableRows << "\n"
            << extraConfig;
    }
    for (int attempt = 0; attempt < 5 && !m_ok; ++attempt) {
        m_port = kvtest::freeUdpPort();
        const std::string endpoint = "udp:127.0.0.1:" + std::to_string(m_port);
        const std::string log = m_dir + "/snmpd.log";
        const std::string pidFile = m_dir + "/snmpd.pid";
        pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("MIBS", "", 1);
            ::setenv("MIBDIRS", (m_dir + "/mibs").c_str(), 1);
            ::setenv("SNMP_PERSISTENT_DIR", (m_dir + "/persist").c_str(), 1);
            FILE *f = std::freopen(log.c_str(), "w", stdout);
            (void)f;
            ::dup2(1, 2);
            ::execl("/usr/sbin/snmpd", "snmpd", "-f", "-Lo", "-C", "-c", conf.c_str(), "-p", pidFile.c_str(),
                    endpoint.c_str(), static_cast<char *>(nullptr));
            ::_exit(127);
        }
        m_pid = pid;
        // Ready when the agent answers a plain get on the wire.
        for (int i = 0; i < 100 && !m_ok; ++i) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                m_pid = -1;
                break;
            }
            m_ok = answersGet(m_port, "mardle", "1.3.6.1.4.1.32473.99.1.1.0", 100);
        }
        if (!m_ok && m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    if (!m_ok)
        m_why = "snmpd did not start; see " + m_dir + "/snmpd.log";
}

SnmpdAgent::~SnmpdAgent()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    std::string cmd = "rm -rf '" + m_dir + "'";
    if (m_ok)
        (void)std::system(cmd.c_str());
}

SnmpsimAgent::SnmpsimAgent(const std::string &snmprec, const std::vector<std::string> &communities)
{
    // snmpsim drops root's rights to nobody, who must reach its files: a folder of its own
    // outside the test's private temporary folder.
    std::string pattern = "/tmp/kv-snmpsimXXXXXX";
    if (!::mkdtemp(pattern.data())) {
        m_why = "no folder for snmpsim";
        return;
    }
    m_dir = pattern.data();
    ::chmod(m_dir.c_str(), 0755);
    ::mkdir((m_dir + "/data").c_str(), 0755);
    ::mkdir((m_dir + "/cache").c_str(), 0777);
    ::chmod((m_dir + "/cache").c_str(), 0777);
    for (const std::string &community : communities) {
        std::ofstream out(m_dir + "/data/" + community + ".snmprec");
        out << snmprec;
    }
    const bool root = ::geteuid() == 0;
    for (int attempt = 0; attempt < 3 && !m_ok; ++attempt) {
        m_port = kvtest::freeUdpPort();
        const std::string endpoint = "--agent-udpv4-endpoint=127.0.0.1:" + std::to_string(m_port);
        std::vector<std::string> args = {"snmpsimd",
                                         "--data-dir=" + m_dir + "/data",
                                         "--cache-dir=" + m_dir + "/cache",
                                         endpoint,
                                         std::string("--v3-user=") + kUser,
                                         std::string("--v3-auth-key=") + kAuth,
                                         "--v3-auth-proto=MD5",
                                         std::string("--v3-priv-key=") + kPriv,
                                         "--v3-priv-proto=DES",
                                         "--logging-method=file:" + m_dir + "/cache/log"};
        if (root) {
            args.push_back("--process-user=nobody");
            args.push_back("--process-group=nogroup");
        }
        pid_t pid = ::fork();
        if (pid == 0) {
            FILE *f = std::freopen((m_dir + "/out").c_str(), "w", stdout);
            (void)f;
            ::dup2(1, 2);
            std::vector<char *> argv;
            for (std::string &a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execvp("snmpsimd", argv.data());
            ::_exit(127);
        }
        m_pid = pid;
        // The interpreter and the data's index take a few seconds.
        for (int i = 0; i < 150 && !m_ok; ++i) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                m_pid = -1;
                break;
            }
            m_ok = answersGet(m_port, communities.front(), "1.3.6.1.2.1.1.1.0", 100);
        }
        if (!m_ok && m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    if (!m_ok)
        m_why = "snmpsimd did not start; see " + m_dir + "/out";
}

SnmpsimAgent::~SnmpsimAgent()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_ok && !m_dir.empty())
        std::filesystem::remove_all(m_dir);
}

} // namespace enginetest

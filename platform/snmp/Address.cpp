#include "Address.h"
#include "SmiValues.h"

#include <charconv>
#include <map>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

std::map<std::string, std::uint32_t> &resolverCache()
{
    static std::map<std::string, std::uint32_t> cache;
    return cache;
}

int gLookups = 0;
UdpAddress::Resolver gResolver = nullptr;

bool systemLookup(const std::string &name, std::uint32_t &ip)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *result = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || !result)
        return false;
    bool found = false;
    for (addrinfo *ai = result; ai; ai = ai->ai_next) {
        if (ai->ai_family == AF_INET && ai->ai_addr) {
            ip = ntohl(reinterpret_cast<const sockaddr_in *>(ai->ai_addr)->sin_addr.s_addr);
            found = true;
            break;
        }
    }
    freeaddrinfo(result);
    return found;
}

bool resolveName(const std::string &name, std::uint32_t &ip)
{
    auto &cache = resolverCache();
    if (auto it = cache.find(name); it != cache.end()) {
        ip = it->second;
        return true;
    }
    ++gLookups;
    const bool found = gResolver ? gResolver(name, ip) : systemLookup(name, ip);
    if (found)
        cache[name] = ip;
    return found;
}

} // namespace

UdpAddress::UdpAddress(std::string_view text)
{
    std::string_view host = text;
    // An optional "/port" or, for a name or dotted address, ":port" suffix.
    auto sep = host.find('/');
    if (sep == std::string_view::npos)
        sep = host.find(':');
    if (sep != std::string_view::npos) {
        std::string_view portText = host.substr(sep + 1);
        unsigned value = 0;
        auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
        if (ec != std::errc() || end != portText.data() + portText.size() || value > 65535 ||
            portText.empty())
            return;
        m_port = static_cast<std::uint16_t>(value);
        host = host.substr(0, sep);
    }
    if (host.empty())
        return;
    std::array<std::uint8_t, 4> octets{};
    if (IpAddress::parseDottedQuad(host, octets)) {
        m_ip = static_cast<std::uint32_t>(octets[0]) << 24 | static_cast<std::uint32_t>(octets[1]) << 16 |
               static_cast<std::uint32_t>(octets[2]) << 8 | octets[3];
        m_valid = true;
        return;
    }
    // Only plausible host names go to the resolver.
    for (char c : host) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                  c == '.' || c == '_';
        if (!ok)
            return;
    }
    std::uint32_t ip = 0;
    if (resolveName(std::string(host), ip)) {
        m_ip = ip;
        m_valid = true;
    }
}

namespace {

void appendDecimal(std::string &text, unsigned value)
{
    char digits[5];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 5);
    while (n > 0)
        text += digits[--n];
}

// "a.b.c.d", then "/port" when withPort.
std::string addressText(std::uint32_t ip, std::uint16_t port, bool withPort)
{
    std::string text;
    text.reserve(21);
    for (int shift = 24; shift >= 0; shift -= 8) {
        appendDecimal(text, (ip >> shift) & 0xFF);
        if (shift > 0)
            text += '.';
    }
    if (withPort) {
        text += '/';
        appendDecimal(text, port);
    }
    return text;
}

} // namespace

std::string UdpAddress::ip_text() const
{
    return addressText(m_ip, m_port, false);
}

std::string UdpAddress::get_printable() const
{
    return addressText(m_ip, m_port, true);
}

void UdpAddress::clear_resolver_cache()
{
    resolverCache().clear();
}

int UdpAddress::resolver_lookups()
{
    return gLookups;
}

void UdpAddress::set_resolver(Resolver resolver)
{
    gResolver = resolver;
}

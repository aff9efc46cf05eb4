#pragma once
// IPv4 agent addresses with a UDP port. A name is resolved once for the process and the
// answer kept; a failed lookup is not kept, so a later attempt asks again.
#include <cstdint>
#include <string>
#include <string_view>

class Address {
public:
    virtual ~Address() = default;
    virtual bool valid() const = 0;
    virtual std::string get_printable() const = 0;
};

class UdpAddress : public Address {
public:
    UdpAddress() = default;
    // A dotted IPv4 address or a host name, optionally followed by "/port" or ":port".
    explicit UdpAddress(std::string_view text);

    bool valid() const override { return m_valid; }
    // "a.b.c.d/port".
    std::string get_printable() const override;
    void set_port(std::uint16_t port) { m_port = port; }
    std::uint16_t get_port() const { return m_port; }
    // Address in host byte order (0 when not valid).
    std::uint32_t ipv4() const { return m_ip; }
    // "a.b.c.d" without the port.
    std::string ip_text() const;

    friend bool operator==(const UdpAddress &a, const UdpAddress &b)
    {
        return a.m_valid == b.m_valid && a.m_ip == b.m_ip && a.m_port == b.m_port;
    }

    // Forgets every kept name lookup (tests).
    static void clear_resolver_cache();
    // Number of lookups that went to the resolver so far (tests).
    static int resolver_lookups();
    // Replaces the system's name lookup (tests, which must not reach a name server); nullptr
    // puts the system's back. The resolver gives the address in host byte order.
    using Resolver = bool (*)(const std::string &name, std::uint32_t &ip);
    static void set_resolver(Resolver resolver);

private:
    std::uint32_t m_ip = 0;
    std::uint16_t m_port = 0;
    bool m_valid = false;
};

// Holds any address kind; here always a UDP address.
class GenAddress : public Address {
public:
    GenAddress() = default;
    explicit GenAddress(std::string_view text) : m_udp(text) {}
    GenAddress(const UdpAddress &udp) : m_udp(udp) {}
    GenAddress &operator=(const UdpAddress &udp)
    {
        m_udp = udp;
        return *this;
    }
    bool valid() const override { return m_udp.valid(); }
    std::string get_printable() const override { return m_udp.get_printable(); }
    const UdpAddress &udp() const { return m_udp; }

private:
    UdpAddress m_udp;
};

#pragma once
// Who a request goes to and how: community targets for SNMPv1/v2c, user targets for SNMPv3.
#include "Address.h"
#include "OctetStr.h"

#include <cstdint>

enum snmp_version { version1 = 0, version2c = 1, version2stern = 2, version3 = 3 };

constexpr int SNMP_SECURITY_MODEL_V1 = 1;
constexpr int SNMP_SECURITY_MODEL_V2 = 2;
constexpr int SNMP_SECURITY_MODEL_USM = 3;

class SnmpTarget {
public:
    virtual ~SnmpTarget() = default;

    bool valid() const { return m_address.valid(); }
    void set_address(const UdpAddress &address) { m_address = address; }
    int get_address(GenAddress &address) const
    {
        address = m_address;
        return m_address.valid() ? 1 : 0;
    }
    const UdpAddress &udp_address() const { return m_address; }

    // Version code as numbered by the settings (0 v1, 1 v2c, 3 v3; 2 counts as v2c).
    void set_version(int version) { m_version = version; }
    int get_version() const { return m_version; }
    void set_retry(int retries) { m_retries = retries; }
    int get_retry() const { return m_retries; }
    // Time-out of one try in units of 10 ms.
    void set_timeout(unsigned long timeout) { m_timeout = timeout; }
    unsigned long get_timeout() const { return m_timeout; }

    virtual bool is_user_target() const = 0;
    virtual SnmpTarget *clone() const = 0;

protected:
    SnmpTarget() = default;
    explicit SnmpTarget(const UdpAddress &address) : m_address(address) {}

private:
    UdpAddress m_address;
    int m_version = version1;
    int m_retries = 1;
    unsigned long m_timeout = 100;
};

class CTarget : public SnmpTarget {
public:
    CTarget() = default;
    explicit CTarget(const UdpAddress &address) : SnmpTarget(address) {}

    void set_readcommunity(const OctetStr &community) { m_read = community; }
    void set_writecommunity(const OctetStr &community) { m_write = community; }
    const OctetStr &get_readcommunity() const { return m_read; }
    const OctetStr &get_writecommunity() const { return m_write; }

    bool is_user_target() const override { return false; }
    SnmpTarget *clone() const override { return new CTarget(*this); }

private:
    OctetStr m_read{"public"};
    OctetStr m_write{"public"};
};

class UTarget : public SnmpTarget {
public:
    UTarget() { set_version(version3); }
    explicit UTarget(const UdpAddress &address) : SnmpTarget(address) { set_version(version3); }

    void set_security_model(int model) { m_model = model; }
    int get_security_model() const { return m_model; }
    void set_security_name(const OctetStr &name) { m_name = name; }
    const OctetStr &get_security_name() const { return m_name; }

    bool is_user_target() const override { return true; }
    SnmpTarget *clone() const override { return new UTarget(*this); }

private:
    int m_model = SNMP_SECURITY_MODEL_USM;
    OctetStr m_name;
};

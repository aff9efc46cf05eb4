#pragma once
// A protocol data unit: its type, request id, error status and index, the variable
// bindings, and the SNMPv3 scope (security level, context name, context engine id).
#include "OctetStr.h"
#include "Vb.h"

#include <cstdint>
#include <vector>

constexpr unsigned short sNMP_PDU_GET = 0xA0;
constexpr unsigned short sNMP_PDU_GETNEXT = 0xA1;
constexpr unsigned short sNMP_PDU_RESPONSE = 0xA2;
constexpr unsigned short sNMP_PDU_SET = 0xA3;
constexpr unsigned short sNMP_PDU_REPORT = 0xA8;

class Pdu {
public:
    Pdu() = default;
    Pdu(const Vb *vbs, int count);

    Pdu &operator+=(const Vb &vb)
    {
        m_vbs.push_back(vb);
        return *this;
    }
    Pdu &operator+=(Vb &&vb)
    {
        m_vbs.push_back(std::move(vb));
        return *this;
    }
    void reserve(int count) { m_vbs.reserve(count > 0 ? static_cast<std::size_t>(count) : 0); }
    // Exactly count bindings: new ones are empty, the ones kept keep their storage.
    void resize(int count) { m_vbs.resize(count > 0 ? static_cast<std::size_t>(count) : 0); }
    int get_vb_count() const { return static_cast<int>(m_vbs.size()); }
    // False (vb untouched) when index is outside 0 .. count-1.
    bool get_vb(Vb &vb, int index) const;
    bool set_vb(const Vb &vb, int index);
    const Vb &operator[](int index) const { return m_vbs[static_cast<std::size_t>(index)]; }
    Vb &operator[](int index) { return m_vbs[static_cast<std::size_t>(index)]; }
    const std::vector<Vb> &vbs() const { return m_vbs; }
    // Keeps the first count bindings.
    void trim(int count);
    // Removes every binding and resets status, index and request id.
    void clear();

    int get_error_status() const { return m_errorStatus; }
    void set_error_status(int status) { m_errorStatus = status; }
    int get_error_index() const { return m_errorIndex; }
    void set_error_index(int index) { m_errorIndex = index; }
    std::int32_t get_request_id() const { return m_requestId; }
    void set_request_id(std::int32_t id) { m_requestId = id; }
    unsigned short get_type() const { return m_type; }
    void set_type(unsigned short type) { m_type = type; }

    int get_security_level() const { return m_securityLevel; }
    void set_security_level(int level) { m_securityLevel = level; }
    const OctetStr &get_context_name() const { return m_contextName; }
    void set_context_name(const OctetStr &name) { m_contextName = name; }
    const OctetStr &get_context_engine_id() const { return m_contextEngineId; }
    void set_context_engine_id(const OctetStr &id) { m_contextEngineId = id; }

private:
    std::vector<Vb> m_vbs;
    unsigned short m_type = sNMP_PDU_GET;
    std::int32_t m_requestId = 0;
    int m_errorStatus = 0;
    int m_errorIndex = 0;
    int m_securityLevel = 1;
    OctetStr m_contextName;
    OctetStr m_contextEngineId;
};

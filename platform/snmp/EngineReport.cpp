#include "EngineReport.h"

#include <cstring>

namespace kv::snmp {

namespace {

constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kOctetString = 0x04;
constexpr std::uint8_t kObjectId = 0x06;
constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kReportPdu = 0xA8;

// One BER element of a bounded buffer; nothing is read past its end.
class BerReader {
public:
    BerReader() = default;
    explicit BerReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    // Takes the next element if it has the wanted tag and fits.
    bool expect(std::uint8_t wanted, BerReader &body)
    {
        if (m_bytes.size() < 2 || m_bytes[0] != wanted)
            return false;
        std::size_t at = 2;
        std::size_t length = m_bytes[1];
        if (length & 0x80) {
            const std::size_t count = length & 0x7F;
            if (count == 0 || count > 4 || m_bytes.size() < at + count)
                return false;
            length = 0;
            for (std::size_t i = 0; i < count; ++i)
                length = length << 8 | m_bytes[at++];
        }
        if (m_bytes.size() - at < length)
            return false;
        body = BerReader(m_bytes.subspan(at, length));
        m_bytes = m_bytes.subspan(at + length);
        return true;
    }
    std::span<const std::uint8_t> bytes() const { return m_bytes; }

private:
    std::span<const std::uint8_t> m_bytes;
};

} // namespace

bool isEngineReport(std::span<const std::uint8_t> message)
{
    BerReader whole(message);
    BerReader msg, field, header, scoped, pdu, list, binding, name;
    if (!whole.expect(kSequence, msg) || !msg.expect(kInteger, field) || field.bytes().size() != 1 ||
        field.bytes()[0] != 3)
        return false;
    // Header, then the security parameters; a report of this kind is never encrypted.
    if (!msg.expect(kSequence, header) || !msg.expect(kOctetString, field) || !msg.expect(kSequence, scoped))
        return false;
    if (!scoped.expect(kOctetString, field) || !scoped.expect(kOctetString, field) ||
        !scoped.expect(kReportPdu, pdu))
        return false;
    for (int i = 0; i < 3; ++i)
        if (!pdu.expect(kInteger, field))
            return false;
    if (!pdu.expect(kSequence, list) || !list.expect(kSequence, binding) || !binding.expect(kObjectId, name))
        return false;
    // 1.3.6.1.6.3.15.1.1 followed by 4 (unknown engine id) or 2 (not in time window).
    static const std::uint8_t usmStats[] = {0x2B, 6, 1, 6, 3, 15, 1, 1};
    const auto id = name.bytes();
    if (id.size() < sizeof usmStats + 1 || std::memcmp(id.data(), usmStats, sizeof usmStats) != 0)
        return false;
    const std::uint8_t which = id[sizeof usmStats];
    return which == 4 || which == 2;
}

} // namespace kv::snmp

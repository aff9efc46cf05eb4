// The recognition of an agent's engine reports in received bytes.
#include "EngineReport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using kv::snmp::isEngineReport;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes tlv(std::uint8_t tag, const Bytes &body)
{
    Bytes out{tag};
    if (body.size() < 0x80) {
        out.push_back(static_cast<std::uint8_t>(body.size()));
    } else if (body.size() < 0x100) {
        out.push_back(0x81);
        out.push_back(static_cast<std::uint8_t>(body.size()));
    } else {
        out.push_back(0x82);
        out.push_back(static_cast<std::uint8_t>(body.size() >> 8));
        out.push_back(static_cast<std::uint8_t>(body.size()));
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// An SNMPv3 message whose scoped PDU has the given tag and first binding name.
Bytes message(std::uint8_t version, std::uint8_t pduTag, const Bytes &name, bool encrypted = false)
{
    const Bytes integer0 = tlv(0x02, {0});
    const Bytes header =
        tlv(0x30, cat({tlv(0x02, {1}), tlv(0x02, {0x05, 0xDC}), tlv(0x04, {0}), tlv(0x02, {3})}));
    const Bytes engine = tlv(0x04, {0x80, 0x00, 0x1F, 0x88, 0x04, 'n', 'e', 'w'});
    const Bytes security = tlv(0x04, tlv(0x30, cat({engine, tlv(0x02, {1}), tlv(0x02, {9}), tlv(0x04, {}),
                                                    tlv(0x04, {}), tlv(0x04, {})})));
    const Bytes binding = tlv(0x30, cat({tlv(0x06, name), tlv(0x41, {7})}));
    const Bytes pdu = tlv(pduTag, cat({integer0, integer0, integer0, tlv(0x30, binding)}));
    const Bytes scoped = cat({engine, tlv(0x04, {}), pdu});
    return tlv(0x30, cat({tlv(0x02, {version}), header, security,
                          encrypted ? tlv(0x04, scoped) : tlv(0x30, scoped)}));
}

const Bytes kUnknownEngineId = {0x2B, 6, 1, 6, 3, 15, 1, 1, 4, 0};
const Bytes kNotInTimeWindow = {0x2B, 6, 1, 6, 3, 15, 1, 1, 2, 0};
const Bytes kUnknownUser = {0x2B, 6, 1, 6, 3, 15, 1, 1, 3, 0};

} // namespace

TEST(EngineReport, UnknownEngineIdAndTimeWindowReportsAreRecognised)
{
    EXPECT_TRUE(isEngineReport(message(3, 0xA8, kUnknownEngineId)));
    EXPECT_TRUE(isEngineReport(message(3, 0xA8, kNotInTimeWindow)));
    // A long-form length is read as well.
    Bytes longName = kUnknownEngineId;
    longName.resize(200, 1);
    EXPECT_TRUE(isEngineReport(message(3, 0xA8, longName)));
}

TEST(EngineReport, EverythingElseIsNot)
{
    EXPECT_FALSE(isEngineReport(message(3, 0xA8, kUnknownUser)));
    EXPECT_FALSE(isEngineReport(message(3, 0xA2, kUnknownEngineId))); // a response
    EXPECT_FALSE(isEngineReport(message(1, 0xA8, kUnknownEngineId))); // not SNMPv3
    EXPECT_FALSE(isEngineReport(message(3, 0xA8, kUnknownEngineId, true)));
    EXPECT_FALSE(isEngineReport(message(3, 0xA8, {0x2B, 6, 1, 6, 3, 15, 1, 1})));
    EXPECT_FALSE(isEngineReport({}));
    // Cut anywhere, the message is refused without reading past its end.
    const Bytes whole = message(3, 0xA8, kUnknownEngineId);
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(isEngineReport(std::span<const std::uint8_t>(whole.data(), n))) << n;
}

#include "IcmpPacket.h"

#include "Clock.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

uint16_t gIcmpSequence = 0;

namespace {

void store16(uint8_t *at, uint16_t value)
{
    std::memcpy(at, &value, sizeof value);
}

uint16_t load16(const uint8_t *at)
{
    uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

} // namespace

uint16_t IcmpChecksum(const uint8_t *buffer, std::size_t length)
{
    if (buffer == nullptr)
        length = 0;
    uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < length; i += 2)
        sum += load16(buffer + i);
    if (i < length) {
        uint8_t last[2] = {buffer[i], 0};
        sum += load16(last);
    }
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum += sum >> 16;
    return static_cast<uint16_t>(~sum);
}

std::size_t FillIcmpEchoRequest(std::span<uint8_t> packet, std::size_t dataSize)
{
    return FillIcmpEchoRequest(packet, dataSize, static_cast<uint16_t>(getpid() & 0xFFFF));
}

std::size_t FillIcmpEchoRequest(std::span<uint8_t> packet, std::size_t dataSize, uint16_t identifier)
{
    if (dataSize > packet.size() || packet.size() - dataSize < kIcmpEchoRequestSize)
        return 0;
    const std::size_t size = kIcmpEchoRequestSize + dataSize;
    uint8_t *p = packet.data();
    std::fill(p, p + size, uint8_t{0});
    p[0] = kIcmpEchoRequest;
    p[1] = 0;
    store16(p + 4, identifier);
    store16(p + 6, gIcmpSequence++);
    const auto ticks = static_cast<uint32_t>(kv::Clock::instance().monotonicMs());
    std::memcpy(p + 8, &ticks, sizeof ticks);
    store16(p + 2, IcmpChecksum(p, size));
    return size;
}

uint16_t IcmpEchoIdentifier(std::span<const uint8_t> message)
{
    return message.size() >= kIcmpHeaderSize ? load16(message.data() + 4) : 0;
}

uint16_t IcmpEchoSequence(std::span<const uint8_t> message)
{
    return message.size() >= kIcmpHeaderSize ? load16(message.data() + 6) : 0;
}

bool IsIcmpEchoReply(const uint8_t *packet, std::size_t length)
{
    if (packet == nullptr || length == 0)
        return false;
    const std::size_t h = 4u * (packet[0] & 0x0F);
    if (h + 12 > length)
        return false;
    return packet[h] == kIcmpEchoReply;
}

bool AnswersEchoProbe(std::span<const uint8_t> packet, bool withIpHeader, uint32_t from,
                      const IcmpEchoExpectation &expected)
{
    if (from != expected.Address)
        return false;
    std::span<const uint8_t> message = packet;
    if (withIpHeader) {
        if (packet.size() < 20 || (packet[0] >> 4) != 4 || packet[9] != 1)
            return false;
        const std::size_t h = 4u * (packet[0] & 0x0F);
        if (h < 20 || h > packet.size())
            return false;
        const uint32_t source = (uint32_t{packet[12]} << 24) | (uint32_t{packet[13]} << 16) |
                                (uint32_t{packet[14]} << 8) | uint32_t{packet[15]};
        if (source != expected.Address)
            return false;
        message = packet.subspan(h);
    }
    if (message.size() < kIcmpHeaderSize || message[0] != kIcmpEchoReply || message[1] != 0)
        return false;
    if (IcmpEchoIdentifier(message) != expected.Identifier)
        return false;
    const uint16_t sequence = IcmpEchoSequence(message);
    return std::find(expected.Sequences.begin(), expected.Sequences.end(), sequence) !=
           expected.Sequences.end();
}

// Feeds the echo reply checks with arbitrary received packets (what any host on the network
// may send): every read stays inside the packet, a packet taken as our answer really is an
// echo reply carrying our identifier and one of our sequence numbers, and the checksum of a
// packet with its checksum stored in it is zero.
#include "IcmpPacket.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const uint8_t> packet(data, size);
    const uint16_t sequences[] = {7, 8, 9};
    uint32_t from = 0;
    if (size >= 16)
        from = (uint32_t{data[12]} << 24) | (uint32_t{data[13]} << 16) | (uint32_t{data[14]} << 8) | data[15];
    const IcmpEchoExpectation expected{from, 0x1234, sequences};

    if (AnswersEchoProbe(packet, true, from, expected)) {
        const std::size_t h = 4u * (data[0] & 0x0F);
        if (h + 8 > size || data[h] != 0 || IcmpEchoIdentifier(packet.subspan(h)) != 0x1234)
            __builtin_trap();
    }
    if (AnswersEchoProbe(packet, false, from, expected)) {
        const uint16_t seq = IcmpEchoSequence(packet);
        if (size < 8 || data[0] != 0 || (seq != 7 && seq != 8 && seq != 9))
            __builtin_trap();
    }
    if (IsIcmpEchoReply(data, size) && 4u * (data[0] & 0x0F) + 12 > size)
        __builtin_trap();

    if (size >= 4 && size % 2 == 0) {
        std::vector<uint8_t> copy(data, data + size);
        copy[2] = copy[3] = 0;
        const uint16_t sum = IcmpChecksum(copy.data(), copy.size());
        std::memcpy(&copy[2], &sum, 2);
        if (IcmpChecksum(copy.data(), copy.size()) != 0)
            __builtin_trap();
    }
    return 0;
}

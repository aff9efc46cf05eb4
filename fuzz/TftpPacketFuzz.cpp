// Feeds the TFTP request and packet parsers with arbitrary datagrams and checks that what
// they return stays inside the datagram and survives a round trip through the builders.
#include "TFTPPacket.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

using namespace kv::tftp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::span<const std::uint8_t> datagram(data, size);

    if (auto request = parseRequest(datagram)) {
        if (request->opcode != OpRRQ && request->opcode != OpWRQ)
            __builtin_trap();
        if (2 + request->fileName.size() + 1 + request->mode.size() + 1 > size)
            __builtin_trap();
        if (request->fileName.find('\0') != std::string::npos ||
            request->mode.find('\0') != std::string::npos)
            __builtin_trap();
        if (std::memcmp(data + 2, request->fileName.data(), request->fileName.size()) != 0)
            __builtin_trap();
        if (isAcceptableFileName(request->fileName)) {
            const std::string &n = request->fileName;
            if (n.empty() || n == "." || n == ".." || n.size() > MaxFileNameLength ||
                n.find_first_of("/\\") != std::string::npos)
                __builtin_trap();
        }
    }

    // The same bytes as a session packet, whole and as if truncated by the receive buffer.
    for (std::size_t received : {size, size / 2}) {
        auto packet = parsePacket(datagram.first(received), size);
        if (!packet) {
            if (received >= HeaderSize && size >= HeaderSize)
                __builtin_trap();
            continue;
        }
        if (packet->kind == Packet::Kind::Data) {
            if (size > MaxDataPacket || packet->data.size() > BlockSize)
                __builtin_trap();
            if (!packet->data.empty() &&
                (packet->data.data() < data || packet->data.data() + packet->data.size() > data + received))
                __builtin_trap();
            std::uint8_t out[MaxDataPacket];
            std::size_t n = buildData(out, packet->block, packet->data);
            auto again = parsePacket(std::span<const std::uint8_t>(out, n));
            if (!again || again->kind != Packet::Kind::Data || again->block != packet->block ||
                again->data.size() != packet->data.size() ||
                (n > HeaderSize && std::memcmp(again->data.data(), packet->data.data(), n - HeaderSize) != 0))
                __builtin_trap();
        } else if (packet->kind == Packet::Kind::OversizedData) {
            if (size <= MaxDataPacket)
                __builtin_trap();
        } else if (packet->kind == Packet::Kind::Error) {
            // The peer's message stays inside what was received and holds no zero.
            const std::string message = errorMessage(datagram.first(received));
            if (message.size() + HeaderSize > received || message.find('\0') != std::string::npos)
                __builtin_trap();
        } else if (packet->kind == Packet::Kind::Ack) {
            std::uint8_t out[HeaderSize];
            auto again = parsePacket(std::span<const std::uint8_t>(out, buildAck(out, packet->block)));
            if (!again || again->kind != Packet::Kind::Ack || again->block != packet->block)
                __builtin_trap();
        }
    }
    return 0;
}

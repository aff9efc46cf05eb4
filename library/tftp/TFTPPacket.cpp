#include "TFTPPacket.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kv::tftp {

namespace {

std::uint16_t read16(std::span<const std::uint8_t> d, std::size_t at)
{
    return static_cast<std::uint16_t>((d[at] << 8) | d[at + 1]);
}

void write16(std::span<std::uint8_t> out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<std::uint8_t>(v >> 8);
    out[at + 1] = static_cast<std::uint8_t>(v & 0xff);
}

// The zero-ended text starting at `from`; nothing when no zero byte follows inside d.
std::optional<std::string> zeroEnded(std::span<const std::uint8_t> d, std::size_t from, std::size_t &next)
{
    if (from >= d.size())
        return std::nullopt;
    auto begin = d.begin() + static_cast<std::ptrdiff_t>(from);
    auto end = std::find(begin, d.end(), std::uint8_t{0});
    if (end == d.end())
        return std::nullopt;
    next = static_cast<std::size_t>(end - d.begin()) + 1;
    return std::string(begin, end);
}

void requireRoom(std::span<std::uint8_t> out, std::size_t n)
{
    if (out.size() < n)
        throw std::length_error("TFTP packet buffer too small");
}

} // namespace

std::optional<Request> parseRequest(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < 4)
        return std::nullopt;
    std::uint16_t opcode = read16(datagram, 0);
    if (opcode != OpRRQ && opcode != OpWRQ)
        return std::nullopt;
    std::size_t next = 2;
    auto name = zeroEnded(datagram, next, next);
    if (!name)
        return std::nullopt;
    auto mode = zeroEnded(datagram, next, next);
    if (!mode)
        return std::nullopt;
    return Request{opcode, std::move(*name), std::move(*mode)};
}

std::optional<Packet> parsePacket(std::span<const std::uint8_t> datagram, std::size_t length)
{
    if (length < HeaderSize || datagram.size() < HeaderSize)
        return std::nullopt;
    Packet p;
    p.opcode = read16(datagram, 0);
    p.block = read16(datagram, 2);
    switch (p.opcode) {
    case OpDATA:
        if (length > MaxDataPacket) {
            p.kind = Packet::Kind::OversizedData;
        } else {
            p.kind = Packet::Kind::Data;
            std::size_t have = std::min(length, datagram.size());
            p.data = datagram.subspan(HeaderSize, have - HeaderSize);
        }
        break;
    case OpACK:
        p.kind = Packet::Kind::Ack;
        break;
    case OpERROR:
        p.kind = Packet::Kind::Error;
        break;
    default:
        p.kind = Packet::Kind::Other;
        break;
    }
    return p;
}

bool isAcceptableFileName(std::string_view name)
{
    if (name.empty() || name.size() > MaxFileNameLength)
        return false;
    if (name == "." || name == "..")
        return false;
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7f)
            return false;
    }
    return true;
}

std::size_t buildData(std::span<std::uint8_t> out, std::uint16_t block, std::span<const std::uint8_t> data)
{
    if (data.size() > BlockSize)
        throw std::length_error("TFTP block too long");
    requireRoom(out, HeaderSize + data.size());
    write16(out, 0, OpDATA);
    write16(out, 2, block);
    if (!data.empty())
        std::memmove(out.data() + HeaderSize, data.data(), data.size());
    return HeaderSize + data.size();
}

std::size_t buildAck(std::span<std::uint8_t> out, std::uint16_t block)
{
    requireRoom(out, HeaderSize);
    write16(out, 0, OpACK);
    write16(out, 2, block);
    return HeaderSize;
}

std::string_view errorText(std::uint16_t code)
{
    static constexpr std::string_view texts[] = {
        "Not defined, see error message (if any).",
        "File not found.",
        "Access violation.",
        "Disk full or allocation exceeded.",
        "Illegal TFTP operation.",
        "Unknown transfer ID.",
        "File already exists.",
        "No such user.",
    };
    return code < std::size(texts) ? texts[code] : texts[0];
}

std::size_t buildError(std::span<std::uint8_t> out, std::uint16_t code)
{
    return buildError(out, code, errorText(code));
}

std::size_t buildError(std::span<std::uint8_t> out, std::uint16_t code, std::string_view message)
{
    // The message is one zero-terminated text: it ends at a zero of its own.
    message = message.substr(0, message.find('\0'));
    requireRoom(out, HeaderSize + message.size() + 1);
    write16(out, 0, OpERROR);
    write16(out, 2, code);
    if (!message.empty())
        std::memcpy(out.data() + HeaderSize, message.data(), message.size());
    out[HeaderSize + message.size()] = 0;
    return HeaderSize + message.size() + 1;
}

std::string errorMessage(std::span<const std::uint8_t> datagram)
{
    std::string message;
    for (std::size_t i = HeaderSize; i < datagram.size() && datagram[i] != 0; ++i)
        message += static_cast<char>(datagram[i]);
    return message;
}

} // namespace kv::tftp

#pragma once
// TFTP wire format (RFC 1350): parsing and building of packets, free of sockets so that
// the parser can be exercised on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kv::tftp {

enum Opcode : std::uint16_t { OpRRQ = 1, OpWRQ = 2, OpDATA = 3, OpACK = 4, OpERROR = 5 };

// TFTP error codes carried by ERROR packets.
enum ErrorCode : std::uint16_t {
    ErrNotDefined = 0,
    ErrFileNotFound = 1,
    ErrAccessViolation = 2,
    ErrDiskFull = 3,
    ErrIllegalOperation = 4,
    ErrUnknownTransferId = 5,
    ErrFileExists = 6,
    ErrNoSuchUser = 7,
};

constexpr std::size_t BlockSize = 512;
constexpr std::size_t HeaderSize = 4;
constexpr std::size_t MaxDataPacket = HeaderSize + BlockSize;
// Longest file name a request may carry; leaves room for the temporary name of a write.
constexpr std::size_t MaxFileNameLength = 200;

// A read or write request from the listening port.
struct Request {
    std::uint16_t opcode = 0; // OpRRQ or OpWRQ
    std::string fileName;
    std::string mode;
};

// Parses RRQ/WRQ: opcode, name, zero, mode, zero, all inside the datagram. Anything after the
// mode (option extensions) is ignored. Other opcodes and malformed requests give nothing.
std::optional<Request> parseRequest(std::span<const std::uint8_t> datagram);

// A packet arriving on a session's own socket.
struct Packet {
    enum class Kind { Data, Ack, Error, Other, OversizedData };
    Kind kind = Kind::Other;
    std::uint16_t opcode = 0;
    std::uint16_t block = 0;            // block number, or the error code of an ERROR packet
    std::span<const std::uint8_t> data; // DATA payload (at most BlockSize bytes)
};

// Parses a session packet of `length` bytes of which `datagram` holds what was received
// (length may exceed datagram.size() when the datagram was truncated). Fewer than 4 bytes
// give nothing.
std::optional<Packet> parsePacket(std::span<const std::uint8_t> datagram, std::size_t length);
inline std::optional<Packet> parsePacket(std::span<const std::uint8_t> datagram)
{
    return parsePacket(datagram, datagram.size());
}

// A name the server may serve or create: one bare file name of the root folder.
bool isAcceptableFileName(std::string_view name);

// Builders write into out (which must hold the packet) and return the packet length.
std::size_t buildData(std::span<std::uint8_t> out, std::uint16_t block, std::span<const std::uint8_t> data);
std::size_t buildAck(std::span<std::uint8_t> out, std::uint16_t block);
// The error message RFC 1350 gives for a code ("Not defined, see error message (if any)."
// for codes it does not know).
std::string_view errorText(std::uint16_t code);
// An ERROR packet with the message of its code, or the given one.
std::size_t buildError(std::span<std::uint8_t> out, std::uint16_t code);
std::size_t buildError(std::span<std::uint8_t> out, std::uint16_t code, std::string_view message);
// The message of an ERROR packet (up to its terminating zero, or the end of the datagram).
std::string errorMessage(std::span<const std::uint8_t> datagram);
// Room an ERROR packet of this module needs.
constexpr std::size_t MaxErrorPacket = 128;

} // namespace kv::tftp

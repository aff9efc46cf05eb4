#pragma once
// ICMP echo packets of the address probe. The request is 12 bytes: the 8-byte header and
// the 4-byte millisecond tick count; its 16- and 32-bit fields are written in the PC's own
// byte order and the checksum is taken over the bytes as stored, so it is valid on the wire.
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr std::size_t kIcmpHeaderSize = 8;
inline constexpr std::size_t kIcmpEchoRequestSize = 12;
inline constexpr std::size_t kIcmpReceiveBufferSize = 1024;
inline constexpr uint8_t kIcmpEchoReply = 0;
inline constexpr uint8_t kIcmpEchoRequest = 8;

// Sequence number of the next echo request the program builds (wraps at 65536).
extern uint16_t gIcmpSequence;

// The Internet checksum (RFC 1071) of the bytes, read as 16-bit words in the PC's byte order
// (a last odd byte is the low byte of a word); stored the same way it makes the sum zero.
uint16_t IcmpChecksum(const uint8_t *buffer, std::size_t length);

// Builds an echo request in packet: type 8, code 0, the identifier (the low 16 bits of the
// process id), the next sequence number, the tick count, dataSize zero bytes after it, and
// the checksum over those 12 + dataSize bytes. Returns that size, or 0 (nothing built, no
// sequence number used) when packet is too small.
std::size_t FillIcmpEchoRequest(std::span<uint8_t> packet, std::size_t dataSize);
// The same with the identifier given (a ping socket's, which the kernel puts in anyway).
std::size_t FillIcmpEchoRequest(std::span<uint8_t> packet, std::size_t dataSize, uint16_t identifier);

// Identifier and sequence number of an echo message, as its bytes hold them.
uint16_t IcmpEchoIdentifier(std::span<const uint8_t> message);
uint16_t IcmpEchoSequence(std::span<const uint8_t> message);

// True when the IPv4 packet (IP header first, as a raw socket delivers it) carries an ICMP
// echo reply; false for a missing or short packet.
bool IsIcmpEchoReply(const uint8_t *packet, std::size_t length);

// What a probe waits for: an echo reply from the probed address with the probe's identifier
// and one of the sequence numbers it sent.
struct IcmpEchoExpectation {
    uint32_t Address = 0; // host byte order
    uint16_t Identifier = 0;
    std::span<const uint16_t> Sequences;
};

// Whether a received packet answers the probe. A raw socket delivers the IPv4 header first
// (withIpHeader), a ping socket only the ICMP message; from is the sender as the socket
// reported it (host byte order). Requests (our own on loopback), other types, other
// identifiers, sequences and senders do not count.
bool AnswersEchoProbe(std::span<const uint8_t> packet, bool withIpHeader, uint32_t from,
                      const IcmpEchoExpectation &expected);

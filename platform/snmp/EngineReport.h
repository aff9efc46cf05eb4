#pragma once
// Recognises, in a received SNMP message, the report an agent sends when it does not know the
// sender's idea of its engine (a restarted or replaced agent). Pure function of the bytes, so
// that it can be exercised on arbitrary input.
#include <cstdint>
#include <span>

namespace kv::snmp {

// True for an SNMPv3 message carrying a report of usmStatsUnknownEngineIDs or
// usmStatsNotInTimeWindows in plain text; false for anything else, malformed input included.
bool isEngineReport(std::span<const std::uint8_t> message);

} // namespace kv::snmp

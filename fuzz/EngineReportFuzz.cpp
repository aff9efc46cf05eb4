// Feeds the recognition of an agent's engine reports with arbitrary received messages: it
// must never read outside them, and bytes after a complete message must not change its answer.
#include "EngineReport.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const bool report = kv::snmp::isEngineReport(std::span<const std::uint8_t>(data, size));
    // Only the message's own element is read: bytes after it change nothing.
    std::vector<std::uint8_t> longer(data, data + size);
    longer.insert(longer.end(), {0x30, 0x03, 0x02, 0x01, 0x03});
    if (report && !kv::snmp::isEngineReport(longer))
        __builtin_trap();
    return 0;
}

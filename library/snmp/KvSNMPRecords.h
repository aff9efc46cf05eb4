#pragma once
// The agent, SNMPv3 scope and security parameters that a request carries, and the status
// record handed to result callbacks.
#include "AnsiString.h"

#include <cstdint>

struct KvSNMPDevice {
    AnsiString Address; // agent IP address or DNS name
    uint16_t Port = 161;
};

struct KvSNMPScope {
    AnsiString ContextEngineId;
    AnsiString ContextName;
};

struct KvSNMPSecurity {
    uint8_t Version = 0; // 0 SNMPv1, 1 SNMPv2c, 3 SNMPv3
    AnsiString ReadCommunity;
    AnsiString WriteCommunity;
    int32_t SecurityModel = 1;
    int32_t SecurityLevel = 1;
    AnsiString SecurityName;
    AnsiString AuthPassPhrase;
    AnsiString PrivPassPhrase;
    int32_t AuthProtocol = 1;
    int32_t PrivProtocol = 1;
};

struct KvSNMPError {
    int32_t Code = 0;       // 0 on success, else a negative library code
    int32_t ErrorIndex = 0; // the response's error index (asynchronous completions)
    AnsiString Message;
    AnsiString AgentAddress; // asynchronous completions only
    uint16_t AgentPort = 0;
    uint8_t Finished = 0; // asynchronous completions: no further row follows
    int64_t Failures = 0; // the request's FailureCount when the record was made
};

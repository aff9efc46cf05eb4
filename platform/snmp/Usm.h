#pragma once
// SNMPv3 users of the process, one entry per user name, as the session looks them up when a
// request for that name goes out.
#include "OctetStr.h"

#include <cstdint>
#include <string>

constexpr int SNMP_SECURITY_LEVEL_NOAUTH_NOPRIV = 1;
constexpr int SNMP_SECURITY_LEVEL_AUTH_NOPRIV = 2;
constexpr int SNMP_SECURITY_LEVEL_AUTH_PRIV = 3;

constexpr int SNMP_AUTHPROTOCOL_NONE = 1;
constexpr int SNMP_AUTHPROTOCOL_HMACMD5 = 2;
constexpr int SNMP_AUTHPROTOCOL_HMACSHA = 3;

constexpr int SNMP_PRIVPROTOCOL_NONE = 1;
constexpr int SNMP_PRIVPROTOCOL_DES = 2;
constexpr int SNMP_PRIVPROTOCOL_IDEA = 9;

// Adds or replaces the user. Returns SNMPv3_USM_OK, SNMPv3_USM_UNSUPPORTED_AUTHPROTOCOL,
// SNMPv3_USM_UNSUPPORTED_PRIVPROTOCOL (IDEA among them) or SNMPv3_USM_ERROR (a pass phrase
// shorter than 8 characters); on failure the name has no entry afterwards and
// usmLastErrorText() says why.
int usmAddUserName(const OctetStr &name, int authProtocol, int privProtocol, const OctetStr &authPassword,
                   const OctetStr &privPassword);
// Removes the user; SNMPv3_USM_OK also when there was none.
int usmDeleteUserName(const OctetStr &name);
// Why the last usmAddUserName failed (empty after a success).
const std::string &usmLastErrorText();

namespace kv::snmp {

struct UsmUser {
    std::string name;
    int authProtocol = SNMP_AUTHPROTOCOL_NONE;
    int privProtocol = SNMP_PRIVPROTOCOL_NONE;
    std::string authPassword;
    std::string privPassword;
    // Grows with every change of the entry, so sessions built on older keys are replaced.
    std::uint64_t generation = 0;
};

// The entry for a name, or nullptr.
const UsmUser *findUsmUser(const std::string &name);

} // namespace kv::snmp

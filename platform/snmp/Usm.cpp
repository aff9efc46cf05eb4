#include "Usm.h"
#include "SnmpStatus.h"

#include <map>

namespace {

std::map<std::string, kv::snmp::UsmUser> &users()
{
    static std::map<std::string, kv::snmp::UsmUser> table;
    return table;
}

std::string &lastError()
{
    static std::string text;
    return text;
}

std::uint64_t gGeneration = 0;

} // namespace

int usmAddUserName(const OctetStr &name, int authProtocol, int privProtocol, const OctetStr &authPassword,
                   const OctetStr &privPassword)
{
    const std::string key = name.to_string();
    lastError().clear();
    auto fail = [&](int status, std::string why) {
        users().erase(key);
        lastError() = std::move(why);
        return status;
    };
    if (authProtocol != SNMP_AUTHPROTOCOL_NONE && authProtocol != SNMP_AUTHPROTOCOL_HMACMD5 &&
        authProtocol != SNMP_AUTHPROTOCOL_HMACSHA)
        return fail(SNMPv3_USM_UNSUPPORTED_AUTHPROTOCOL,
                    "authentication protocol " + std::to_string(authProtocol) + " is not supported");
    if (privProtocol != SNMP_PRIVPROTOCOL_NONE && privProtocol != SNMP_PRIVPROTOCOL_DES)
        return fail(SNMPv3_USM_UNSUPPORTED_PRIVPROTOCOL,
                    "privacy protocol " + std::to_string(privProtocol) + " is not supported");
    if (privProtocol != SNMP_PRIVPROTOCOL_NONE && authProtocol == SNMP_AUTHPROTOCOL_NONE)
        return fail(SNMPv3_USM_UNSUPPORTED_PRIVPROTOCOL, "privacy needs an authentication protocol");
    // Key derivation refuses short pass phrases (RFC 3414 asks for at least 8 characters).
    if (authProtocol != SNMP_AUTHPROTOCOL_NONE && authPassword.len() < 8)
        return fail(SNMPv3_USM_ERROR, "the authentication pass phrase is shorter than 8 characters");
    if (privProtocol != SNMP_PRIVPROTOCOL_NONE && privPassword.len() < 8)
        return fail(SNMPv3_USM_ERROR, "the privacy pass phrase is shorter than 8 characters");

    kv::snmp::UsmUser user;
    user.name = key;
    user.authProtocol = authProtocol;
    user.privProtocol = privProtocol;
    user.authPassword = authProtocol == SNMP_AUTHPROTOCOL_NONE ? std::string() : authPassword.to_string();
    user.privPassword = privProtocol == SNMP_PRIVPROTOCOL_NONE ? std::string() : privPassword.to_string();
    auto it = users().find(key);
    if (it != users().end()) {
        const auto &old = it->second;
        if (old.authProtocol == user.authProtocol && old.privProtocol == user.privProtocol &&
            old.authPassword == user.authPassword && old.privPassword == user.privPassword)
            return SNMPv3_USM_OK; // unchanged: sessions keep their keys
    }
    user.generation = ++gGeneration;
    users()[key] = std::move(user);
    return SNMPv3_USM_OK;
}

int usmDeleteUserName(const OctetStr &name)
{
    users().erase(name.to_string());
    return SNMPv3_USM_OK;
}

const std::string &usmLastErrorText()
{
    return lastError();
}

namespace kv::snmp {

const UsmUser *findUsmUser(const std::string &name)
{
    auto it = users().find(name);
    return it == users().end() ? nullptr : &it->second;
}

} // namespace kv::snmp

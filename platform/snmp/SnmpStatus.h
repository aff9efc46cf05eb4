#pragma once
// Status numbers of the SNMP session surface. They keep the numbering the library's error
// mapping is written against: class errors -1 .. -23, agent error status 1 .. 19,
// SNMPv3 message processing -1401 .. -1418 and user-based security 1400 .. 1414.
#include "SnmpSyntax.h"

// Class errors (SNMP_CLASS_SUCCESS 0 and SNMP_CLASS_INVALID -10 come with the value types).
constexpr int SNMP_CLASS_ERROR = -1;
constexpr int SNMP_CLASS_RESOURCE_UNAVAIL = -2;
constexpr int SNMP_CLASS_INTERNAL_ERROR = -3;
constexpr int SNMP_CLASS_UNSUPPORTED = -4;
constexpr int SNMP_CLASS_TIMEOUT = -5;
constexpr int SNMP_CLASS_ASYNC_RESPONSE = -6;
constexpr int SNMP_CLASS_NOTIFICATION = -7;
constexpr int SNMP_CLASS_SESSION_DESTROYED = -8;
constexpr int SNMP_CLASS_INVALID_PDU = -11;
constexpr int SNMP_CLASS_INVALID_TARGET = -12;
constexpr int SNMP_CLASS_INVALID_CALLBACK = -13;
constexpr int SNMP_CLASS_INVALID_REQID = -14;
constexpr int SNMP_CLASS_INVALID_OPERATION = -16;
constexpr int SNMP_CLASS_INVALID_OID = -17;
constexpr int SNMP_CLASS_INVALID_ADDRESS = -18;
constexpr int SNMP_CLASS_ERR_STATUS_SET = -19;
constexpr int SNMP_CLASS_TL_UNSUPPORTED = -20;
constexpr int SNMP_CLASS_TL_IN_USE = -21;
constexpr int SNMP_CLASS_TL_FAILED = -22;
constexpr int SNMP_CLASS_SHUTDOWN = -23;

// Agent error status values (RFC 3416).
constexpr int SNMP_ERROR_SUCCESS = 0;
constexpr int SNMP_ERROR_TOO_BIG = 1;
constexpr int SNMP_ERROR_NO_SUCH_NAME = 2;
constexpr int SNMP_ERROR_BAD_VALUE = 3;
constexpr int SNMP_ERROR_READ_ONLY = 4;
constexpr int SNMP_ERROR_GENERAL_VB_ERR = 5;
constexpr int SNMP_ERROR_NO_ACCESS = 6;

// SNMPv3 message processing.
constexpr int SNMPv3_MP_OK = -1401;
constexpr int SNMPv3_MP_UNSUPPORTED_SECURITY_MODEL = -1402;
constexpr int SNMPv3_MP_NOT_IN_TIME_WINDOW = -1403;
constexpr int SNMPv3_MP_DOUBLED_MESSAGE = -1404;
constexpr int SNMPv3_MP_INVALID_MESSAGE = -1405;
constexpr int SNMPv3_MP_INVALID_ENGINEID = -1406;
constexpr int SNMPv3_MP_NOT_INITIALIZED = -1407;
constexpr int SNMPv3_MP_PARSE_ERROR = -1408;
constexpr int SNMPv3_MP_UNKNOWN_MSGID = -1409;
constexpr int SNMPv3_MP_MATCH_ERROR = -1410;
constexpr int SNMPv3_MP_COMMUNITY_ERROR = -1411;
constexpr int SNMPv3_MP_WRONG_USER_NAME = -1412;
constexpr int SNMPv3_MP_BUILD_ERROR = -1413;
constexpr int SNMPv3_MP_USM_ERROR = -1414;
constexpr int SNMPv3_MP_UNKNOWN_PDU_HANDLERS = -1415;
constexpr int SNMPv3_MP_UNAVAILABLE_CONTEXT = -1416;
constexpr int SNMPv3_MP_UNKNOWN_CONTEXT = -1417;
constexpr int SNMPv3_MP_REPORT_SENT = -1418;

// SNMPv3 user-based security.
constexpr int SNMPv3_USM_OK = 1400;
constexpr int SNMPv3_USM_ERROR = 1401;
constexpr int SNMPv3_USM_CONFIGFILE_WRITE_ERROR = 1402;
constexpr int SNMPv3_USM_UNSUPPORTED_SECURITY_LEVEL = 1403;
constexpr int SNMPv3_USM_UNKNOWN_SECURITY_NAME = 1404;
constexpr int SNMPv3_USM_ENCRYPTION_ERROR = 1405;
constexpr int SNMPv3_USM_DECRYPTION_ERROR = 1406;
constexpr int SNMPv3_USM_AUTHENTICATION_ERROR = 1407;
constexpr int SNMPv3_USM_AUTHENTICATION_FAILURE = 1408;
constexpr int SNMPv3_USM_PARSE_ERROR = 1409;
constexpr int SNMPv3_USM_UNKNOWN_ENGINEID = 1410;
constexpr int SNMPv3_USM_NOT_IN_TIME_WINDOW = 1411;
constexpr int SNMPv3_USM_UNSUPPORTED_AUTHPROTOCOL = 1412;
constexpr int SNMPv3_USM_UNSUPPORTED_PRIVPROTOCOL = 1413;
constexpr int SNMPv3_USM_ADDRESS_ERROR = 1414;

// Engine-boots counter file.
constexpr int SNMPv3_OK = 0;
constexpr int SNMPv3_NO_ENTRY_ERROR = -1;
constexpr int SNMPv3_FILEOPEN_ERROR = -2;
constexpr int SNMPv3_FILECREATE_ERROR = -3;
constexpr int SNMPv3_FILERENAME_ERROR = -4;
constexpr int SNMPv3_FILEREAD_ERROR = -5;
constexpr int SNMPv3_FILEWRITE_ERROR = -6;

#include "KvSNMPErrors.h"

#include "Exception.h"

namespace {

const std::array<AnsiString, 19> kStatusTexts = {
    "(SNMP) Response PDU Too Big!",
    "(SNMP) Variable does not exist!",
    "(SNMP) Cannot modify variable: Bad Value!",
    "(SNMP) Cannot modify object, Read Only!",
    "(SNMP) Cannot perform operation, General Error!",
    "(SNMP) Cannot access variable, No Access!",
    "(SNMP) Cannot create/modify variable, Wrong Type!",
    "(SNMP) Cannot create/set variable, Wrong Length!",
    "(SNMP) Cannot create/set variable, Wrong Encoding!",
    "(SNMP) Cannot create/set variable, Wrong Value!",
    "(SNMP) Cannot create variable, Creation Not Allowed!",
    "(SNMP) Cannot create/set variable, Inconsistent Value!",
    "(SNMP) Cannot create/set variable, Resource Unavailable!",
    "(SNMP) Cannot create/set variable, Commit Failed!",
    "(SNMP) Cannot create/set variable, Undo Failed!",
    "(SNMP) Cannot perform operation, Authorization Error!",
    "(SNMP) Cannot create/set variable, Not Writable!",
    "(SNMP) Cannot create variable, Inconsistent Name!",
    "(SNMP) Cannot download the overdue firmware!",
};

const std::array<AnsiString, 17> kV3MpTexts = {
    "(SNMPv3) Unsupported Security Model!",
    "(SNMPv3) Message not in Time Window!",
    "(SNMPv3) Received same Message twice!",
    "(SNMPv3) Invalid Message!",
    "(SNMPv3) Invalid EngineID!",
    "(SNMPv3) v3MP not initialized!",
    "(SNMPv3) Parse Error!",
    "(SNMPv3) Received Message with unknown MsgID!",
    "(SNMPv3) Message does not match known message!",
    "(SNMPv3) Community format error!",
    "(SNMPv3) Unknown UserName!",
    "(SNMPv3) Build error!",
    "(SNMPv3) USM: error!",
    "(SNMPv3) Unknown pdu handlers!",
    "(SNMPv3) Unavailable Context!",
    "(SNMPv3) Unknown Context!",
    "(SNMPv3) Report sent!",
};

const std::array<AnsiString, 14> kV3UsmTexts = {
    "(SNMPv3USM) error!",
    "(SNMPv3USM) Configfile write error!",
    "(SNMPv3USM) Unsupported SecurityLevel!",
    "(SNMPv3USM) Unknown SecurityName!",
    "(SNMPv3USM) Encryption error!",
    "(SNMPv3USM) Decryption error!",
    "(SNMPv3USM) Authentication error!",
    "(SNMPv3USM) Authentication failure!",
    "(SNMPv3USM) Parse error!",
    "(SNMPv3USM) Unknown EngineID!",
    "(SNMPv3USM) Message not in TimeWindow!",
    "(SNMPv3USM) Unsupported AuthProtocol!",
    "(SNMPv3USM) Unsupported PrivProtocol!",
    "(SNMPv3USM) Address error!",
};

const std::array<AnsiString, 23> kClassTexts = {
    "(SNMPClass) Operation failed!",
    "(SNMPClass) Resource unavailable!",
    "(SNMPClass) Internal error!",
    "(SNMPClass) Unsupported function!",
    "(SNMPClass) SNMP request timed out!",
    "(SNMPClass) Received SNMP Response!",
    "(SNMPClass) Received SNMP Notification (trap or inform)!",
    "(SNMPClass) Closing session with outstanding requests!",
    "(SNMPClass)Unknown error code!",
    "(SNMPClass) Class not valid!",
    "(SNMPClass) Invalid Pdu!",
    "(SNMPClass) Invalid Target!",
    "(SNMPClass) Invalid (null) Callback Function!",
    "(SNMPClass) Invalid Request Id!",
    "(SNMPClass) Invalid Notification Id!",
    "(SNMPClass) SNMP Operation not supported on specified Target!",
    "(SNMPClass) Invalid Object Identifier!",
    "(SNMPClass) Invalid Address!",
    "(SNMPClass) Agent indicates error in SNMP request!",
    "(SNMP Class) Transport is not supported!",
    "(SNMPClass) Transport is in use!",
    "(SNMPClass) Transport operation failed!",
    "(SNMPClass) Blocked Mode Shutdown!",
};

const std::array<AnsiString, 29> kKvSNMPTexts = {
    "(KvSNMP++) Ok!",
    "(KvSNMP++) Fail to read SNMP variables from file([FILENAME])!",
    "(KvSNMP++) Bad format at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KvSNMP++) Bad item type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KvSNMP++) Bad syntax at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KvSNMP++) Bad access type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(KvSNMP++) Cannot create the global KvSNMP++ session!",
    "(KvSNMP++) Error when loading SNMP engine boots counter!",
    "(KvSNMP++) Error when saving SNMP engine boots counter!",
    "(KvSNMP++) Invalid IP Address or DNS name!",
    "(KvSNMP++) Can't send get-next command for a SNMP variable list with single value!",
    "(KvSNMP++) Bad SNMP syntax!",
    "(KvSNMP++) Null value in the expression!",
    "(KvSNMP++) Bad SNMP syntax in the expression!",
    "(KvSNMP++) Bad key count of SNMP variable list!",
    "(KvSNMP++) Bad item type of SNMP variable list!",
    "(KvSNMP++) Bad item type of associated SNMP variable list!",
    "(KvSNMP++) Bad syntax of the associated SNMP variable's (partial) data!",
    "(KvSNMP++) Bad value of the associated SNMP variable's (partial) data!",
    "(KvSNMP++) Out of range for the bit(byte) index of the associated SNMP variable's (partial) data!",
    "(KvSNMP++) No reference option list for a SNMP variable's (partial) data associating with a optional "
    "visual control!",
    "(KvSNMP++) Bad type of the associated visual control!",
    "(KvSNMP++) Count of the associated visual controls is not enough!",
    "(KvSNMP++) No system start time for the time whose data source is the SNMP variable's (partial) data "
    "with syntax timeticks!",
    "(KvSNMP++) Count of the value items for the chart's history data is not enough!",
    "(KvSNMP++) Log database is not connected!",
    "(KvSNMP++) Log database field not found!",
    "(KvSNMP++) Bad syntax for the history chart of log!",
    "(KvSNMP++) Unknown error code!",
};

const std::array<AnsiString, 2> kLogFormats = {
    "Get: [ERROR] Request:[VARLIST]. Receive at [TIME].",
    "Set: [ERROR] Request:[VARLIST]. Receive at [TIME].",
};

} // namespace

std::array<AnsiString, 19> gSnmpStatusTexts = kStatusTexts;
std::array<AnsiString, 17> gSnmpV3MpTexts = kV3MpTexts;
std::array<AnsiString, 14> gSnmpV3UsmTexts = kV3UsmTexts;
std::array<AnsiString, 23> gSnmpClassTexts = kClassTexts;
std::array<AnsiString, 29> gKvSNMPTexts = kKvSNMPTexts;
std::array<AnsiString, 2> gKvSNMPLogFormats = kLogFormats;

void KvSNMPResetTexts()
{
    gSnmpStatusTexts = kStatusTexts;
    gSnmpV3MpTexts = kV3MpTexts;
    gSnmpV3UsmTexts = kV3UsmTexts;
    gSnmpClassTexts = kClassTexts;
    gKvSNMPTexts = kKvSNMPTexts;
    gKvSNMPLogFormats = kLogFormats;
}

void KvSNMPMapError(int status, int &code, AnsiString &message)
{
    if (status == 0 || status == -1401 || status == 1400) {
        code = 0;
        message = gKvSNMPTexts[0];
    } else if (status >= 1401 && status <= 1414) {
        code = 1100 - status;
        message = gSnmpV3UsmTexts[static_cast<std::size_t>(status - 1401)];
    } else if (status >= -1418 && status <= -1402) {
        code = status + 1201;
        message = gSnmpV3MpTexts[static_cast<std::size_t>(-1402 - status)];
    } else if (status >= 1 && status <= 19) {
        code = -100 - status;
        message = gSnmpStatusTexts[static_cast<std::size_t>(status - 1)];
    } else if (status >= -23 && status <= -1) {
        code = status - 400;
        message = gSnmpClassTexts[static_cast<std::size_t>(-status - 1)];
    } else {
        code = KvSNMPCode::UnknownError;
        message = gKvSNMPTexts[28];
    }
}

AnsiString KvSNMPText(int code)
{
    if (code == 0)
        return gKvSNMPTexts[0];
    if (code <= -501 && code >= -528)
        return gKvSNMPTexts[static_cast<std::size_t>(-code - 500)];
    return gKvSNMPTexts[28];
}

void KvSNMPRaise(int code)
{
    throw Exception(KvSNMPText(code), code);
}

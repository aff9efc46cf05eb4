#include "WirlessItems.h"

#include "Misc.h"

namespace wirless {

namespace {
constexpr int32_t kInt = KvSyntax::Integer;
constexpr int32_t kText = KvSyntax::DisplayStr;
constexpr int32_t kMac = KvSyntax::MacAddress;
constexpr uint32_t kRW = KvAccess::ReadWrite;
constexpr uint32_t kRO = KvAccess::ReadOnly;
constexpr uint32_t kOff = KvAccess::Invalid;
constexpr uint32_t kKey = KvAccess::NotAccess;
} // namespace

const FormItemTable kSSIDItems = {
    {"1.1.1.1.1", "hSSID", kText, kOff},
    {"1.1.1.2.1", "hSSIDBroadcast", kInt, kOff, &gHSSIDBroadcastNames},
    {"1.1.1.3.1", "hChannel", kInt, kOff},
    {"1.1.1.4.1", "hChannelList", kText, kOff},
    {"1.1.1.5.1", "hRadioFrequency", kText, kOff},
    {"1.1.1.1.2", "hSSID", kText, kOff},
    {"1.1.1.2.2", "hSSIDBroadcast", kInt, kOff, &gHSSIDBroadcastNames},
    {"1.1.1.3.2", "hChannel", kInt, kOff},
    {"1.1.1.4.2", "hChannelList", kText, kOff},
    {"1.1.1.5.2", "hRadioFrequency", kText, kOff},
};

const FormItemTable kBgModeItems = {{"2.3.1.24", "adbgMode", kInt, kRW, &gAdbgModeNames}};
const FormItemTable kSuperModeItems = {{"2.3.1.11", "adSuperMode", kInt, kRW, &gAdSuperModeNames}};
const FormItemTable kSuperModeItems2 = {{"2.3.1.11", "adSuperMode", kInt, kRW, &gAdSuperModeNames2}};
const FormItemTable kDynChannelItems = {{"2.3.1.15", "adDynamicChannelList", kText, kRO}};
const FormItemTable kStatChannelItems = {{"2.3.1.16", "adStaticChannelList", kText, kRO}};
const FormItemTable kRadioWaveItems = {{"2.3.1.12.1", "adRadioWave", kInt, kRW, &gAdRadioWaveNames}};
const FormItemTable kMultiOverWDSItems = {
    {"2.3.1.26.1", "multioverwdsconsistent", kInt, kRW, &gMultioverwdsconsistentNames}};
const FormItemTable kAutoScanItems = {
    {"2.3.1.14.1", "adAutoChannelScan", kInt, kRW, &gAdAutoChannelScanNames}};

const FormItemTable kAPModeItems = {
    {"2.1.1.1.1", "adAPMode", kInt, kRW, &gAdAPModeNames2},
    {"2.2.1.2.1.1", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.2.1.2.1.2", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.2.1.2.1.3", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.2.1.2.1.4", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.2.1.2.1.5", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.2.1.2.1.6", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.2.1.2.1.7", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.2.1.2.1.8", "adPtPRemoteAPMACAddress", kMac, kRW},
    {"2.1.1.3.1", "adAPRRootAPMACAddress", kMac, kOff},
    {"1.1.1.1.1", "hSSID", kText, kOff},
};

const FormItemTable kSecurityItems = {
    {"2.5.1.1.1.1", "adSecAuthentication-a", kInt, kOff, &gAdSecAuthenticationNames},
    {"2.5.1.1.2.1", "adSecEncryption-a", kInt, kOff, &gAdSecEncryptionNames},
    {"2.5.1.1.3.1", "adSecValidKey-a", kInt, kOff, &gAdSecValidKeyNames},
    {"2.5.1.1.1.2", "adSecAuthentication-g", kInt, kOff, &gAdSecAuthenticationNames},
    {"2.5.1.1.2.2", "adSecEncryption-g", kInt, kOff, &gAdSecEncryptionNames},
    {"2.5.1.1.3.2", "adSecValidKey-g", kInt, kOff, &gAdSecValidKeyNames},
    {"2.5.3.1.1.1.1", "adSecKey-80211a-1", kText, kOff},
    {"2.5.3.1.1.1.2", "adSecKey-80211a-2", kText, kOff},
    {"2.5.3.1.1.1.3", "adSecKey-80211a-3", kText, kOff},
    {"2.5.3.1.1.1.4", "adSecKey-80211a-4", kText, kOff},
    {"2.5.3.1.1.2.1", "adSecKey-80211g-1", kText, kOff},
    {"2.5.3.1.1.2.2", "adSecKey-80211g-2", kText, kOff},
    {"2.5.3.1.1.2.3", "adSecKey-80211g-3", kText, kOff},
    {"2.5.3.1.1.2.4", "adSecKey-80211g-4", kText, kOff},
};

const FormItemTable kKeyTypeItems = {{"2.5.1.1.7", "adSecKeyType", kInt, kRW, &gAdSecKeyTypeNames}};
const FormItemTable kMSSIDStateItems = {{"2.9.3.1.1", "adMSSIDState", kInt, kRW, &gAdMSSIDStateNames2}};

const FormItemTable kSSIDTableItems = {
    {"2.9.2.1.0", "ifIndex", kInt, kKey},
    {"2.9.2.1.1", "adMSSIDIndex", kInt, kKey},
    {"2.9.2.1.3", "adMSSIDSSID", kText, kRO},
    {"2.9.2.1.2", "adMSSIDIdvState", kInt, kRO, &gAdMSSIDIdvStateNames},
    {"2.9.2.1.4", "adMSSIDAuth", kInt, kRO, &gAdMSSIDAuthNames2},
    {"2.9.2.1.5", "adMSSIDEncryption", kInt, kRO, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.6", "adMSSIDKeyIndex", kInt, kRO, &gAdMSSIDKeyIndexNames2},
    {"2.9.2.1.7", "adMSSIDKey", kText, kRO},
    {"2.9.2.1.8", "adVlanTagID", kInt, kRO},
    {"2.9.2.1.11", "adMSSIDCipherType", kInt, kRO, &gAdMSSIDCipherTypeNames},
    {"2.9.2.1.12", "adMSSIDPassPhrase", kText, kRO},
    {"2.9.2.1.13", "adMSSIDKeyType", kInt, kRO, &gAdMSSIDKeyTypeNames},
    {"2.9.2.1.15", "adMSSIDIdvAccountMode", kInt, kRO, &gAdMSSIDIdvAccountModeNames},
    {"2.9.2.1.16", "adMSSIDIdvAccountServer", kText, kRO},
    {"2.9.2.1.17", "adMSSIDIdvAccountPort", kInt, kRO},
    {"2.9.2.1.14", "adMSSIDSuppress", kInt, kRO, &gAdMSSIDSuppressNames},
    {"2.9.2.1.18", "adMSSIDWmm", kInt, kRO, &gAdMSSIDWmmNames},
};

const FormItemTable kGuestStateItems = {
    {"2.9.1.1.1.1", "adVlanState", kInt, kRW, &gAdVlanStateNames},
    {"2.9.2.1.2.1.2", "adMSSIDState", kInt, kRW, &gAdMSSIDStateNames},
    {"2.9.2.1.2.1.3", "adMSSIDState", kInt, kRW, &gAdMSSIDStateNames},
    {"2.9.2.1.2.1.4", "adMSSIDState", kInt, kRW, &gAdMSSIDStateNames},
    {"2.9.2.1.5.1.2", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames},
    {"2.9.2.1.5.1.3", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames},
    {"2.9.2.1.5.1.4", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames},
};

const FormItemTable kGuestKeyIndexItems = {
    {"2.9.2.1.6.1.2", "adMSSIDKeyIndex", kInt, kRW, &gAdMSSIDKeyIndexNames},
    {"2.9.2.1.6.1.3", "adMSSIDKeyIndex", kInt, kRW, &gAdMSSIDKeyIndexNames},
    {"2.9.2.1.6.1.4", "adMSSIDKeyIndex", kInt, kRW, &gAdMSSIDKeyIndexNames},
};

const FormItemTable kRadiusItems = {
    {"2.5.1.1.5.1", "adSecCipherType", kInt, kRW, &gAdSecCipherTypeNames},
    {"2.5.2.4.0", "Sec RADIUS Port", kInt, kRW},
    {"2.5.1.1.6.1", "adSecGroupKeyUpdateInterval", kInt, kRW},
    {"2.5.2.3.0", "Sec RADIUS Server", kText, kRW},
    {"2.5.2.5.0", "Sec RADIUS Secret", kText, kRW},
};

const FormItemTable kRadiusBackupSupportItems = {{"99.1.1.45", "secBackupRadiusSupported", kInt, kRO}};
const FormItemTable kAccountBackupSupportItems = {{"99.1.1.46", "secBackupAccountSupported", kInt, kRO}};

const FormItemTable kBackupRadiusItems = {
    {"2.5.2.6", "adSecbackupRADIUSServer", kText, kRW},
    {"2.5.2.7", "adSecbackupRADIUSPort", kInt, kRW},
    {"2.5.2.9", "adSecbackupRADIUSSecret", kText, kRW},
    {"2.5.2.10", "adSecbackupRADIUSStatus", kInt, kRW, &gAdSecbackupRADIUSStatusNames},
};

const FormItemTable kBackupAccountingItems = {
    {"2.5.1.1.11.1", "adSecBackupAccountMode", kInt, kRW, &gAdSecBackupAccountModeNames},
    {"2.5.1.1.12.1", "adSecBackupAccountServer", kText, kRW},
    {"2.5.1.1.13.1", "adSecBackupAccountPort", kInt, kRW},
};

const FormItemTable kAccountingItems = {
    {"2.5.1.1.8.1", "adSecAccountMode", kInt, kRW, &gAdSecAccountModeNames},
    {"2.5.1.1.9.1", "adSecAccountServer", kText, kRW},
    {"2.5.1.1.10.1", "adSecAccountPort", kInt, kRW},
};

const FormItemTable kPassPhraseItems = {
    {"2.5.1.1.5.1", "adSecCipherType", kInt, kRW, &gAdSecCipherTypeNames},
    {"2.5.1.1.6.1", "adSecGroupKeyUpdateInterval", kInt, kRW},
    {"2.5.1.1.4.1", "adSecPassPhrase", kText, kRW},
};

const FormItemTable kSiteScanItems = {{"2.8.1.1.1", "adRefresh", kInt, kRW, &gAdRefreshNames}};

const FormItemTable kSiteSurveyItems = {
    {"2.8.2.1.1", "Index", kInt, kKey},   {"2.8.2.1.2", " Type", kText, kRO},
    {"2.8.2.1.3", " Channel", kInt, kRO}, {"2.8.2.1.4", " Signal (%)", kInt, kRO},
    {"2.8.2.1.5", " BSSID", kMac, kRO},   {"2.8.2.1.6", " Security ", kText, kRO},
    {"2.8.2.1.7", " SSID", kText, kRO},   {"2.8.2.1.9", " Support WDS", kInt, kRO},
};

const FormItemTable kGuestItems = {
    {"2.9.2.1.5.1.2", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.5.1.3", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.5.1.4", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.5.1.5", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.5.1.6", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.5.1.7", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.5.1.8", "adMSSIDEncryption", kInt, kRW, &gAdMSSIDEncryptionNames2},
    {"2.9.2.1.4.1.2", "adMSSIDAuth", kInt, kRW, &gAdMSSIDAuthNames},
    {"2.9.2.1.4.1.3", "adMSSIDAuth", kInt, kRW, &gAdMSSIDAuthNames},
    {"2.9.2.1.4.1.4", "adMSSIDAuth", kInt, kRW, &gAdMSSIDAuthNames},
    {"2.9.2.1.4.1.5", "adMSSIDAuth", kInt, kRW, &gAdMSSIDAuthNames},
    {"2.9.2.1.4.1.6", "adMSSIDAuth", kInt, kRW, &gAdMSSIDAuthNames},
    {"2.9.2.1.4.1.7", "adMSSIDAuth", kInt, kRW, &gAdMSSIDAuthNames},
    {"2.9.2.1.4.1.8", "adMSSIDAuth", kInt, kRW, &gAdMSSIDAuthNames},
};

} // namespace wirless

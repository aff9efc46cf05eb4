#include "Misc.h"

namespace {

// Pair tables in list order (not always ascending: the order is the order of the combo box).
const KvOptionPair kHSSIDBroadcastNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kSysRestartNames[] = {{0, "nothing"}, {1, "reboot"}, {}};
const KvOptionPair kHGetIPFromNames[] = {{1, "Static (Manual)"}, {2, "Dynamic (DHCP)"}, {}};
const KvOptionPair kAdAPModeNames[] = {{1, "Access Point"}, {2, "PtP Bridge"}, {3, "PtMP Bridge"}, {}};
const KvOptionPair kAdAPModeNames2[] = {
    {1, "Access Point"}, {2, "PtP Bridge"},  {3, "PtMP Bridge"},  {4, "Universal Repeater"},
    {5, "AP Client"},    {6, "PtP Without"}, {7, "P2MP Without"}, {}};
const KvOptionPair kAdTransmitPowerNames[] = {{1, "Full"},         {2, "Half(-3dB)"}, {3, "Quarter(-6dB)"},
                                              {4, "Eighth(-9dB)"}, {5, "Min"},        {}};
const KvOptionPair kAdSuperModeNames[] = {{1, "Enable without Turbo"},
                                          {2, "Enable with Static Turbo"},
                                          {3, "Enable with Dynamic Turbo"},
                                          {4, "Disable"},
                                          {}};
const KvOptionPair kAdSuperModeNames2[] = {
    {1, "Enable without Turbo"}, {3, "Enable with Dynamic Turbo"}, {4, "Disable"}, {}};
const KvOptionPair kAdSuperModeNames3[] = {{1, "Enable without Turbo"},
                                           {2, "Enable with Static Turbo"},
                                           {3, "Enable with Dynamic Turbo"},
                                           {4, "Disable"},
                                           {}};
const KvOptionPair kDisable4Enable1Names[] = {{4, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdRadioWaveNames[] = {{0, "Off"}, {1, "On"}, {}};
const KvOptionPair kAdWMMNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdPreambleNames[] = {{0, "Long Only"}, {1, "Short and Long"}, {}};
const KvOptionPair kAd80211gonlyNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdAutoChannelScanNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdXRNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdAccSettingWirelessAccessControlNames[] = {
    {1, "Accept"}, {2, "Reject"}, {3, "Disable"}, {}};
const KvOptionPair kAdInternalStationConnectionNames[] = {{1, "Enable"}, {0, "Disable"}, {}};
const KvOptionPair kAdEthernet2WLANAccessNames[] = {{1, "Enable"}, {0, "Disable"}, {}};
const KvOptionPair kAdInternaStationConnectionBetweenagNames[] = {{1, "Enable"}, {0, "Disable"}, {}};
const KvOptionPair kAdAccSettingWirelessAccessControlNames2[] = {
    {1, "Accept"}, {2, "Reject"}, {3, "Disable"}, {}};
const KvOptionPair kAdInternalStationConnectionNames2[] = {{0, "Disabled"}, {1, "Enabled"}, {}};
const KvOptionPair kAdEthernet2WLANAccessNames2[] = {{0, "Disabled"}, {1, "Enabled"}, {}};
const KvOptionPair kAdSecAuthenticationNames[] = {{1, "Open System"},
                                                  {2, "Shared Key"},
                                                  {3, "Open System / Shared Key"},
                                                  {4, "WPA-Personal"},
                                                  {5, "WPA-Enterprise"},
                                                  {6, "WPA2-Personal"},
                                                  {7, "WPA2-Enterprise"},
                                                  {8, "WPA-Auto-Personal"},
                                                  {9, "WPA-Auto-Enterprise"},
                                                  {}};
const KvOptionPair kAdSecEncryptionNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdSecValidKeyNames[] = {{1, "First"}, {2, "Second"}, {3, "Third"}, {4, "Fourth"}, {}};
const KvOptionPair kAdSecCipherTypeNames[] = {{1, "Auto"}, {2, "AES"}, {3, "TKIP"}, {}};
const KvOptionPair kLoadBalanceNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kLinkIntegrateNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kStaticStatusNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kRestartNames[] = {{1, "True"}, {2, "False"}, {}};
const KvOptionPair kFactoryDefaultNames[] = {{1, "True"}, {2, "False"}, {}};
const KvOptionPair kTftpcommandNames[] = {{1, "Connect"}, {2, "Get"}, {3, "Put"}, {4, "Nothing"}, {}};
const KvOptionPair kUpgradesettingcommandNames[] = {{1, "Firmwareupdate"},
                                                    {2, "Configsetting"},
                                                    {3, "Configsave"},
                                                    {4, "Reboot"},
                                                    {5, "Factoryreset"},
                                                    {6, "Nothing"},
                                                    {}};
const KvOptionPair kUSSLCertUpdateNames[] = {{1, "sslcertupdate"}, {2, "nothing"}, {}};
const KvOptionPair kAdmlimitIPStatusNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kTelnetNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kTimeoutNames[] = {
    {0, "Never"}, {1, "1 Min"}, {2, "3 Mins"}, {3, "5 Mins"}, {4, "10 Mins"}, {5, "15 Mins"}, {}};
const KvOptionPair kSshNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kGetIPFromNames[] = {{1, "Manual"}, {2, "Dynamic"}, {}};
const KvOptionPair kTurboNames[] = {{1, "Turbo"}, {2, "Static"}, {3, "Dynamic"}, {4, "Disable"}, {}};
const KvOptionPair kOpensystemNames[] = {{1, "Opensystem"}, {2, "Sharedkey"}, {3, "Opensystemsharedkey"},
                                         {4, "Wpa-psk"},    {5, "Wpa-eap"},   {}};
const KvOptionPair kEnableDisableNames[] = {{1, "Enable"}, {0, "Disable"}, {}};
const KvOptionPair kEnableDisableNames2[] = {{1, "Enable"}, {0, "Disable"}, {}};
const KvOptionPair kStSuperModeNames[] = {{1, "Enable without Turbo"},
                                          {2, "Enable with Static Turbo"},
                                          {3, "Enable with Dynamic Turbo"},
                                          {4, "Disabled"},
                                          {}};
const KvOptionPair kStSuperModeNames2[] = {{1, "Enable without Turbo"},
                                           {2, "Enable with Static Turbo"},
                                           {3, "Enable with Dynamic Turbo"},
                                           {4, "Disabled"},
                                           {}};
const KvOptionPair kAdGetClientNames[] = {{0, "Nothing"}, {1, "acquire"}, {}};
const KvOptionPair kClientAuthenticationNames[] = {{0, "Open System"},
                                                   {1, "Shared Key"},
                                                   {2, "WPA-Enterprise"},
                                                   {3, "WPA-Personal"},
                                                   {4, "Auto"},
                                                   {5, "WPA2-Enterprise"},
                                                   {6, "WPA2-Personal"},
                                                   {7, "WPA-Auto-Enterprise"},
                                                   {8, "WPA-Auto-Personal"},
                                                   {}};
const KvOptionPair kDynamicIPFunctionNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kDynamicStatusNames[] = {{0, "OFF"}, {1, "ON"}, {}};
const KvOptionPair kStatusNames[] = {{0, "OFF"}, {1, "ON"}, {}};
const KvOptionPair kAdRefreshNames[] = {{0, "nothing"}, {1, "refresh"}, {}};
const KvOptionPair kAdVlanStateNames[] = {{0, "disabled"}, {1, "enabled"}, {}};
const KvOptionPair kAdMSSIDStateNames[] = {{0, "disabled"}, {1, "enabled"}, {}};
const KvOptionPair kAdMSSIDAuthNames[] = {{1, "Open System"},
                                          {2, "Shared Key"},
                                          {3, "Open System / Shared Key"},
                                          {4, "WPA-Personal"},
                                          {5, "WPA-Enterprise"},
                                          {6, "WPA2-Personal"},
                                          {7, "WPA2-Enterprise"},
                                          {8, "WPA-Auto-Personal"},
                                          {9, "WPA-Auto-Enterprise"},
                                          {}};
const KvOptionPair kAdMSSIDEncryptionNames[] = {{0, "disabled"}, {1, "enabled"}, {}};
const KvOptionPair kAdMSSIDKeyIndexNames[] = {{1, "first"}, {2, "second"}, {3, "third"}, {4, "fourth"}, {}};
const KvOptionPair kAdVlanStateNames2[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDIdvStateNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDAuthNames2[] = {{1, "Open System"},
                                           {2, "Shared Key"},
                                           {3, "Open System / Shared Key"},
                                           {4, "WPA-Personal"},
                                           {5, "WPA-Enterprise"},
                                           {6, "WPA2-Personal"},
                                           {7, "WPA2-Enterprise"},
                                           {8, "WPA-Auto-Personal"},
                                           {9, "WPA-Auto-Enterprise"},
                                           {}};
const KvOptionPair kAdMSSIDEncryptionNames2[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDKeyIndexNames2[] = {{1, "First"}, {2, "Second"}, {3, "Third"}, {4, "Fourth"}, {}};
const KvOptionPair kAdMSSIDCipherTypeNames[] = {{1, "Auto"}, {2, "AES"}, {3, "TKIP"}, {}};
const KvOptionPair kAdMSSIDKeyTypeNames[] = {{2, "HEX"}, {1, "ASCII"}, {}};
const KvOptionPair kAdMSSIDIdvAccountModeNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDSuppressNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDWmmNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDdyVlanStateNames[] = {{1, "Manual"}, {2, "Dynamic"}, {}};
const KvOptionPair kAdMSSIDEthernetWithoutTagNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDStateNames2[] = {{0, "Disabled"}, {1, "Enabled"}, {}};
const KvOptionPair kAdMSSIDEncryptionNames3[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kBssTypeDetectedNames[] = {{1, "AP BSS"}, {2, "Ad Hoc"}, {3, "Both"}, {}};
const KvOptionPair kRogueAPDetectNames[] = {{0, "nothing"}, {1, "detect"}, {}};
const KvOptionPair kRogueModeNames[] = {{0, "a"}, {2, "b"}, {3, "g"}, {}};
const KvOptionPair kRogueSecurityNames[] = {{0, "OFF"},
                                            {1, "WEP"},
                                            {2, "WPA-Enterprise"},
                                            {3, "WPA-Personal"},
                                            {4, "WPA2-Enterprise"},
                                            {5, "WPA2-Personal"},
                                            {6, "WPA-Auto-Enterprise"},
                                            {7, "WPA-Auto-Personal"},
                                            {}};
const KvOptionPair kRogueModeNames2[] = {{0, "a"}, {2, "b"}, {3, "g"}, {}};
const KvOptionPair kRogueSecurityNames2[] = {{0, "OFF"},
                                             {1, "WEP"},
                                             {2, "WPA-Enterprise"},
                                             {3, "WPA-Personal"},
                                             {4, "WPA2-Enterprise"},
                                             {5, "WPA2-Personal"},
                                             {6, "WPA-Auto-Enterprise"},
                                             {7, "WPA-Auto-Personal"},
                                             {}};
const KvOptionPair kAdSystemLevelNames[] = {{0, "disable"}, {1, "enable"}, {}};
const KvOptionPair kAdWirelessLevelNames[] = {{0, "disable"}, {1, "enable"}, {}};
const KvOptionPair kAdNoticeLevelNames[] = {{0, "disable"}, {1, "enable"}, {}};
const KvOptionPair kSystemLogGetLogNames[] = {{0, "nothing"}, {1, "get"}, {}};
const KvOptionPair kDisableEnableNames[] = {{0, "disable"}, {1, "enable"}, {}};
const KvOptionPair kAdRemoteLogStateNames[] = {{0, "disable"}, {1, "enable"}, {}};
const KvOptionPair kAdClearLocalLogNames[] = {{0, "nothing"}, {1, "clear"}, {}};
const KvOptionPair kSmtpStateNames[] = {{1, "Disable"}, {2, "Enable"}, {}};
const KvOptionPair kAdSecKeyTypeNames[] = {{2, "HEX"}, {1, "ASCII"}, {}};
const KvOptionPair kAdAntennaNames[] = {{0, "Diversity"}, {1, "Left Antenna"}, {2, "Right Antenna"}, {}};
const KvOptionPair kAdbgModeNames[] = {{0, "11g only"}, {1, "11b only"}, {2, "Mixed"}, {}};
const KvOptionPair kWdsGetNames[] = {{0, "nothing"}, {1, "get"}, {}};
const KvOptionPair kWdsBandNames[] = {{0, "A"}, {1, "B"}, {2, "G"}, {}};
const KvOptionPair kWdsAuthenticationNames[] = {{0, "Open System"},
                                                {1, "Shared Key"},
                                                {2, "WPA-Enterprise"},
                                                {3, "WPA-Personal"},
                                                {4, "Open System / Shared Key"},
                                                {5, "WPA2-Enterprise"},
                                                {6, "WPA2-Personal"},
                                                {7, "WPA-Auto-Enterprise"},
                                                {8, "WPA-Auto-Personal"},
                                                {}};
const KvOptionPair kWdsChannelNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdSecAccountModeNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kCSaveActivateNames[] = {{0, "Nothing"}, {1, "Activate"}, {}};
const KvOptionPair kCDiscardChangesNames[] = {{0, "Nothing"}, {1, "Discard"}, {}};
const KvOptionPair kAdAPModeNames3[] = {
    {1, "ap"}, {2, "ptpBridge"}, {3, "ptmpBridge"}, {6, "ptpBridgeNoap"}, {7, "ptmpBridgeNoap"}, {}};
const KvOptionPair kAdmLedStatusNames[] = {{0, "Disabled"}, {1, "Enabled"}, {}};
const KvOptionPair kAdDatarateControlstatusNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdDataRateStatusNames[] = {{0, "Disable"}, {1, "Enable"}, {2, "Basic"}, {}};
const KvOptionPair kAdSecbackupRADIUSStatusNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdSecBackupAccountModeNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kMultioverwdsconsistentNames[] = {{0, "nothing"}, {1, "consistent"}, {}};
const KvOptionPair kUsedSntpServNames[] = {{1, "usedSntpServ"}, {2, "manually"}, {}};
const KvOptionPair kAdmManagerVLANIDStatusNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kIgmpSnoopingNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdministrateApWithWlanNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdmManagerVLANIDStatusNames2[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kSnmpTrapStatusNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kSnmpTrapSystemLevelNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kSnmpTrapWirelessLevelNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kPingcontrolNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kManagementSSIDstateNames[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDIdvStateNames2[] = {{0, "Disable"}, {1, "Enable"}, {}};
const KvOptionPair kAdMSSIDPriorityStateNames[] = {{0, "Disable"}, {1, "Enable"}, {}};

} // namespace

// Defined in one unit so that they are built in this order and destroyed in the reverse one.
KvOptionList gHSSIDBroadcastNames(kHSSIDBroadcastNames, okNumber, 0);
KvOptionList gSysRestartNames(kSysRestartNames, okNumber, 0);
KvOptionList gHGetIPFromNames(kHGetIPFromNames, okNumber, 0);
KvOptionList gAdAPModeNames(kAdAPModeNames, okNumber, 0);
KvOptionList gAdAPModeNames2(kAdAPModeNames2, okNumber, 0);
KvOptionList gAdTransmitPowerNames(kAdTransmitPowerNames, okNumber, 0);
KvOptionList gAdSuperModeNames(kAdSuperModeNames, okNumber, 0);
KvOptionList gAdSuperModeNames2(kAdSuperModeNames2, okNumber, 0);
KvOptionList gAdSuperModeNames3(kAdSuperModeNames3, okNumber, 0);
KvOptionList gDisable4Enable1Names(kDisable4Enable1Names, okNumber, 0);
KvOptionList gAdRadioWaveNames(kAdRadioWaveNames, okNumber, 0);
KvOptionList gAdWMMNames(kAdWMMNames, okNumber, 0);
KvOptionList gAdPreambleNames(kAdPreambleNames, okNumber, 0);
KvOptionList gAd80211gonlyNames(kAd80211gonlyNames, okNumber, 0);
KvOptionList gAdAutoChannelScanNames(kAdAutoChannelScanNames, okNumber, 0);
KvOptionList gAdXRNames(kAdXRNames, okNumber, 0);
KvOptionList gAdAccSettingWirelessAccessControlNames(kAdAccSettingWirelessAccessControlNames, okNumber, 0);
KvOptionList gAdInternalStationConnectionNames(kAdInternalStationConnectionNames, okNumber, 0);
KvOptionList gAdEthernet2WLANAccessNames(kAdEthernet2WLANAccessNames, okNumber, 0);
KvOptionList gAdInternaStationConnectionBetweenagNames(kAdInternaStationConnectionBetweenagNames, okNumber,
                                                       0);
KvOptionList gAdAccSettingWirelessAccessControlNames2(kAdAccSettingWirelessAccessControlNames2, okNumber, 0);
KvOptionList gAdInternalStationConnectionNames2(kAdInternalStationConnectionNames2, okNumber, 0);
KvOptionList gAdEthernet2WLANAccessNames2(kAdEthernet2WLANAccessNames2, okNumber, 0);
KvOptionList gAdSecAuthenticationNames(kAdSecAuthenticationNames, okNumber, 0);
KvOptionList gAdSecEncryptionNames(kAdSecEncryptionNames, okNumber, 0);
KvOptionList gAdSecValidKeyNames(kAdSecValidKeyNames, okNumber, 0);
KvOptionList gAdSecCipherTypeNames(kAdSecCipherTypeNames, okNumber, 0);
KvOptionList gLoadBalanceNames(kLoadBalanceNames, okNumber, 0);
KvOptionList gLinkIntegrateNames(kLinkIntegrateNames, okNumber, 0);
KvOptionList gStaticStatusNames(kStaticStatusNames, okNumber, 0);
KvOptionList gRestartNames(kRestartNames, okNumber, 0);
KvOptionList gFactoryDefaultNames(kFactoryDefaultNames, okNumber, 0);
KvOptionList gTftpcommandNames(kTftpcommandNames, okNumber, 0);
KvOptionList gUpgradesettingcommandNames(kUpgradesettingcommandNames, okNumber, 0);
KvOptionList gUSSLCertUpdateNames(kUSSLCertUpdateNames, okNumber, 0);
KvOptionList gAdmlimitIPStatusNames(kAdmlimitIPStatusNames, okNumber, 0);
KvOptionList gTelnetNames(kTelnetNames, okNumber, 0);
KvOptionList gTimeoutNames(kTimeoutNames, okNumber, 0);
KvOptionList gSshNames(kSshNames, okNumber, 0);
KvOptionList gGetIPFromNames(kGetIPFromNames, okNumber, 0);
KvOptionList gTurboNames(kTurboNames, okNumber, 0);
KvOptionList gOpensystemNames(kOpensystemNames, okNumber, 0);
KvOptionList gEnableDisableNames(kEnableDisableNames, okNumber, 0);
KvOptionList gEnableDisableNames2(kEnableDisableNames2, okNumber, 0);
KvOptionList gStSuperModeNames(kStSuperModeNames, okNumber, 0);
KvOptionList gStSuperModeNames2(kStSuperModeNames2, okNumber, 0);
KvOptionList gAdGetClientNames(kAdGetClientNames, okNumber, 0);
KvOptionList gClientAuthenticationNames(kClientAuthenticationNames, okNumber, 0);
KvOptionList gDynamicIPFunctionNames(kDynamicIPFunctionNames, okNumber, 0);
KvOptionList gDynamicStatusNames(kDynamicStatusNames, okNumber, 0);
KvOptionList gStatusNames(kStatusNames, okNumber, 0);
KvOptionList gAdRefreshNames(kAdRefreshNames, okNumber, 0);
KvOptionList gAdVlanStateNames(kAdVlanStateNames, okNumber, 0);
KvOptionList gAdMSSIDStateNames(kAdMSSIDStateNames, okNumber, 0);
KvOptionList gAdMSSIDAuthNames(kAdMSSIDAuthNames, okNumber, 0);
KvOptionList gAdMSSIDEncryptionNames(kAdMSSIDEncryptionNames, okNumber, 0);
KvOptionList gAdMSSIDKeyIndexNames(kAdMSSIDKeyIndexNames, okNumber, 0);
KvOptionList gAdVlanStateNames2(kAdVlanStateNames2, okNumber, 0);
KvOptionList gAdMSSIDIdvStateNames(kAdMSSIDIdvStateNames, okNumber, 0);
KvOptionList gAdMSSIDAuthNames2(kAdMSSIDAuthNames2, okNumber, 0);
KvOptionList gAdMSSIDEncryptionNames2(kAdMSSIDEncryptionNames2, okNumber, 0);
KvOptionList gAdMSSIDKeyIndexNames2(kAdMSSIDKeyIndexNames2, okNumber, 0);
KvOptionList gAdMSSIDCipherTypeNames(kAdMSSIDCipherTypeNames, okNumber, 0);
KvOptionList gAdMSSIDKeyTypeNames(kAdMSSIDKeyTypeNames, okNumber, 0);
KvOptionList gAdMSSIDIdvAccountModeNames(kAdMSSIDIdvAccountModeNames, okNumber, 0);
KvOptionList gAdMSSIDSuppressNames(kAdMSSIDSuppressNames, okNumber, 0);
KvOptionList gAdMSSIDWmmNames(kAdMSSIDWmmNames, okNumber, 0);
KvOptionList gAdMSSIDdyVlanStateNames(kAdMSSIDdyVlanStateNames, okNumber, 0);
KvOptionList gAdMSSIDEthernetWithoutTagNames(kAdMSSIDEthernetWithoutTagNames, okNumber, 0);
KvOptionList gAdMSSIDStateNames2(kAdMSSIDStateNames2, okNumber, 0);
KvOptionList gAdMSSIDEncryptionNames3(kAdMSSIDEncryptionNames3, okNumber, 0);
KvOptionList gBssTypeDetectedNames(kBssTypeDetectedNames, okNumber, 0);
KvOptionList gRogueAPDetectNames(kRogueAPDetectNames, okNumber, 0);
KvOptionList gRogueModeNames(kRogueModeNames, okNumber, 0);
KvOptionList gRogueSecurityNames(kRogueSecurityNames, okNumber, 0);
KvOptionList gRogueModeNames2(kRogueModeNames2, okNumber, 0);
KvOptionList gRogueSecurityNames2(kRogueSecurityNames2, okNumber, 0);
KvOptionList gAdSystemLevelNames(kAdSystemLevelNames, okNumber, 0);
KvOptionList gAdWirelessLevelNames(kAdWirelessLevelNames, okNumber, 0);
KvOptionList gAdNoticeLevelNames(kAdNoticeLevelNames, okNumber, 0);
KvOptionList gSystemLogGetLogNames(kSystemLogGetLogNames, okNumber, 0);
KvOptionList gDisableEnableNames(kDisableEnableNames, okNumber, 0);
KvOptionList gAdRemoteLogStateNames(kAdRemoteLogStateNames, okNumber, 0);
KvOptionList gAdClearLocalLogNames(kAdClearLocalLogNames, okNumber, 0);
KvOptionList gSmtpStateNames(kSmtpStateNames, okNumber, 0);
KvOptionList gAdSecKeyTypeNames(kAdSecKeyTypeNames, okNumber, 0);
KvOptionList gAdAntennaNames(kAdAntennaNames, okNumber, 0);
KvOptionList gAdbgModeNames(kAdbgModeNames, okNumber, 0);
KvOptionList gWdsGetNames(kWdsGetNames, okNumber, 0);
KvOptionList gWdsBandNames(kWdsBandNames, okNumber, 0);
KvOptionList gWdsAuthenticationNames(kWdsAuthenticationNames, okNumber, 0);
KvOptionList gWdsChannelNames(kWdsChannelNames, okNumber, 0);
KvOptionList gAdSecAccountModeNames(kAdSecAccountModeNames, okNumber, 0);
KvOptionList gCSaveActivateNames(kCSaveActivateNames, okNumber, 0);
KvOptionList gCDiscardChangesNames(kCDiscardChangesNames, okNumber, 0);
KvOptionList gAdAPModeNames3(kAdAPModeNames3, okNumber, 0);
KvOptionList gAdmLedStatusNames(kAdmLedStatusNames, okNumber, 0);
KvOptionList gAdDatarateControlstatusNames(kAdDatarateControlstatusNames, okNumber, 0);
KvOptionList gAdDataRateStatusNames(kAdDataRateStatusNames, okNumber, 0);
KvOptionList gAdSecbackupRADIUSStatusNames(kAdSecbackupRADIUSStatusNames, okNumber, 0);
KvOptionList gAdSecBackupAccountModeNames(kAdSecBackupAccountModeNames, okNumber, 0);
KvOptionList gMultioverwdsconsistentNames(kMultioverwdsconsistentNames, okNumber, 0);
KvOptionList gUsedSntpServNames(kUsedSntpServNames, okNumber, 0);
KvOptionList gAdmManagerVLANIDStatusNames(kAdmManagerVLANIDStatusNames, okNumber, 0);
KvOptionList gIgmpSnoopingNames(kIgmpSnoopingNames, okNumber, 0);
KvOptionList gAdministrateApWithWlanNames(kAdministrateApWithWlanNames, okNumber, 0);
KvOptionList gAdmManagerVLANIDStatusNames2(kAdmManagerVLANIDStatusNames2, okNumber, 0);
KvOptionList gSnmpTrapStatusNames(kSnmpTrapStatusNames, okNumber, 0);
KvOptionList gSnmpTrapSystemLevelNames(kSnmpTrapSystemLevelNames, okNumber, 0);
KvOptionList gSnmpTrapWirelessLevelNames(kSnmpTrapWirelessLevelNames, okNumber, 0);
KvOptionList gPingcontrolNames(kPingcontrolNames, okNumber, 0);
KvOptionList gManagementSSIDstateNames(kManagementSSIDstateNames, okNumber, 0);
KvOptionList gAdMSSIDIdvStateNames2(kAdMSSIDIdvStateNames2, okNumber, 0);
KvOptionList gAdMSSIDPriorityStateNames(kAdMSSIDPriorityStateNames, okNumber, 0);

KvOptionList *const gMibOptionLists[kMibOptionListCount] = {
    &gHSSIDBroadcastNames,
    &gSysRestartNames,
    &gHGetIPFromNames,
    &gAdAPModeNames,
    &gAdAPModeNames2,
    &gAdTransmitPowerNames,
    &gAdSuperModeNames,
    &gAdSuperModeNames2,
    &gAdSuperModeNames3,
    &gDisable4Enable1Names,
    &gAdRadioWaveNames,
    &gAdWMMNames,
    &gAdPreambleNames,
    &gAd80211gonlyNames,
    &gAdAutoChannelScanNames,
    &gAdXRNames,
    &gAdAccSettingWirelessAccessControlNames,
    &gAdInternalStationConnectionNames,
    &gAdEthernet2WLANAccessNames,
    &gAdInternaStationConnectionBetweenagNames,
    &gAdAccSettingWirelessAccessControlNames2,
    &gAdInternalStationConnectionNames2,
    &gAdEthernet2WLANAccessNames2,
    &gAdSecAuthenticationNames,
    &gAdSecEncryptionNames,
    &gAdSecValidKeyNames,
    &gAdSecCipherTypeNames,
    &gLoadBalanceNames,
    &gLinkIntegrateNames,
    &gStaticStatusNames,
    &gRestartNames,
    &gFactoryDefaultNames,
    &gTftpcommandNames,
    &gUpgradesettingcommandNames,
    &gUSSLCertUpdateNames,
    &gAdmlimitIPStatusNames,
    &gTelnetNames,
    &gTimeoutNames,
    &gSshNames,
    &gGetIPFromNames,
    &gTurboNames,
    &gOpensystemNames,
    &gEnableDisableNames,
    &gEnableDisableNames2,
    &gStSuperModeNames,
    &gStSuperModeNames2,
    &gAdGetClientNames,
    &gClientAuthenticationNames,
    &gDynamicIPFunctionNames,
    &gDynamicStatusNames,
    &gStatusNames,
    &gAdRefreshNames,
    &gAdVlanStateNames,
    &gAdMSSIDStateNames,
    &gAdMSSIDAuthNames,
    &gAdMSSIDEncryptionNames,
    &gAdMSSIDKeyIndexNames,
    &gAdVlanStateNames2,
    &gAdMSSIDIdvStateNames,
    &gAdMSSIDAuthNames2,
    &gAdMSSIDEncryptionNames2,
    &gAdMSSIDKeyIndexNames2,
    &gAdMSSIDCipherTypeNames,
    &gAdMSSIDKeyTypeNames,
    &gAdMSSIDIdvAccountModeNames,
    &gAdMSSIDSuppressNames,
    &gAdMSSIDWmmNames,
    &gAdMSSIDdyVlanStateNames,
    &gAdMSSIDEthernetWithoutTagNames,
    &gAdMSSIDStateNames2,
    &gAdMSSIDEncryptionNames3,
    &gBssTypeDetectedNames,
    &gRogueAPDetectNames,
    &gRogueModeNames,
    &gRogueSecurityNames,
    &gRogueModeNames2,
    &gRogueSecurityNames2,
    &gAdSystemLevelNames,
    &gAdWirelessLevelNames,
    &gAdNoticeLevelNames,
    &gSystemLogGetLogNames,
    &gDisableEnableNames,
    &gAdRemoteLogStateNames,
    &gAdClearLocalLogNames,
    &gSmtpStateNames,
    &gAdSecKeyTypeNames,
    &gAdAntennaNames,
    &gAdbgModeNames,
    &gWdsGetNames,
    &gWdsBandNames,
    &gWdsAuthenticationNames,
    &gWdsChannelNames,
    &gAdSecAccountModeNames,
    &gCSaveActivateNames,
    &gCDiscardChangesNames,
    &gAdAPModeNames3,
    &gAdmLedStatusNames,
    &gAdDatarateControlstatusNames,
    &gAdDataRateStatusNames,
    &gAdSecbackupRADIUSStatusNames,
    &gAdSecBackupAccountModeNames,
    &gMultioverwdsconsistentNames,
    &gUsedSntpServNames,
    &gAdmManagerVLANIDStatusNames,
    &gIgmpSnoopingNames,
    &gAdministrateApWithWlanNames,
    &gAdmManagerVLANIDStatusNames2,
    &gSnmpTrapStatusNames,
    &gSnmpTrapSystemLevelNames,
    &gSnmpTrapWirelessLevelNames,
    &gPingcontrolNames,
    &gManagementSSIDstateNames,
    &gAdMSSIDIdvStateNames2,
    &gAdMSSIDPriorityStateNames,
};

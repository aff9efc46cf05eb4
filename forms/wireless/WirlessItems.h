#pragma once
// Item tables of the Home \ Wireless form, one per binding group, and the indexes of the items
// the form switches between written and not written.
#include "FormItems.h"

namespace wirless {

extern const FormItemTable kSSIDItems;         // both bands: SSID, broadcast, channel, list, frequency
extern const FormItemTable kBgModeItems;       // b/g mode
extern const FormItemTable kSuperModeItems;    // super mode, the four-entry list
extern const FormItemTable kSuperModeItems2;   // super mode, the list without static turbo
extern const FormItemTable kDynChannelItems;   // channels of the dynamic turbo mode
extern const FormItemTable kStatChannelItems;  // channels of the static turbo mode
extern const FormItemTable kRadioWaveItems;    // radio on or off
extern const FormItemTable kMultiOverWDSItems; // Multi-SSID over WDS kept consistent
extern const FormItemTable kAutoScanItems;     // auto channel scan
extern const FormItemTable kAPModeItems;       // AP mode, eight WDS partners, root AP, its SSID
extern const FormItemTable kSecurityItems;     // authentication, WEP and keys of both bands
extern const FormItemTable kKeyTypeItems;      // HEX or ASCII keys
extern const FormItemTable kMSSIDStateItems;   // Multi-SSID on or off
extern const FormItemTable kSSIDTableItems;    // the SSID table (two index columns)
extern const FormItemTable kGuestStateItems;   // VLAN, guests 1 to 3 and their encryption
extern const FormItemTable kGuestKeyIndexItems;
extern const FormItemTable kRadiusItems;
extern const FormItemTable kRadiusBackupSupportItems;
extern const FormItemTable kAccountBackupSupportItems;
extern const FormItemTable kBackupRadiusItems;
extern const FormItemTable kBackupAccountingItems;
extern const FormItemTable kAccountingItems;
extern const FormItemTable kPassPhraseItems;
extern const FormItemTable kSiteScanItems;
extern const FormItemTable kSiteSurveyItems;
extern const FormItemTable kGuestItems; // encryption and authentication of SSIDs 2 to 8

// SSID group: the first band's five items; the second band's follow.
enum SSIDItem { kSSID = 0, kBroadcast, kChannel, kChannelList, kFrequency, kSecondBand };
// AP-mode group.
enum APModeItem { kAPMode = 0, kRemoteMAC1 = 1, kRootMAC = 9, kAPModeSSID = 10 };
// Security group: the first band's authentication, encryption, valid key and keys 1 to 4.
enum SecurityItem { kAuth = 0, kEncryption = 1, kValidKey = 2, kKey1 = 6 };
// RADIUS group, pass-phrase group, accounting group.
enum RadiusItem { kRadiusCipher = 0, kRadiusPort, kRadiusInterval, kRadiusServer, kRadiusSecret };
enum PassPhraseItem { kPassCipher = 0, kPassInterval, kPassPhrase };
enum AccountingItem { kAcntMode = 0, kAcntServer, kAcntPort };
// Site-survey table: the column whose "0" marks an access point without WDS.
inline constexpr int kSurveyWDSColumn = 7;
inline constexpr int kSurveyIndexColumn = 0;

} // namespace wirless

#pragma once
// The main window's menu tree, and the rules that show or hide its entries and choose form
// variants from the capability controls. The rules are plain functions of the controls' texts
// so they can be checked without a window.
#include "AnsiString.h"

#include <cstdint>
#include <optional>
#include <vector>

class TComponent;
class TMainMenu;
class TMenuItem;

// A capability control's text as a number: 0 when empty or not a number.
int32_t CapabilityNumber(const AnsiString &text);

// What the menu rules read, as the texts of the main window's controls.
struct MenuCapabilities {
    AnsiString ModelName = "QRN-5290AP";
    AnsiString FwVer;                // Ed_FwVer
    AnsiString Countrycode;          // Ed_Countrycode
    AnsiString MultiSSID;            // ifMultiSSID_Edit
    AnsiString Rogue;                // Ed_Rogue
    AnsiString Grouping;             // Ed_Grouping
    AnsiString SNTP;                 // Ed_spSNTP
    AnsiString ManagerIP;            // Ed_ManagerIP
    AnsiString IpRangeSupported;     // Ed_ipRangeSupported
    AnsiString SSLSupport;           // Ed_SSLSupport
    AnsiString NewMultiSupport;      // NewMultiSupport
    AnsiString SyslogSupport;        // SyslogSupport
    AnsiString PacketStatNotSupport; // Ed_PacketStatNotSupport
    bool LastPollTimedOut = false;   // the last status poll ended in a time-out
};

// Characters 5 to 8 of the model name ("5290").
AnsiString ModelNumber(const AnsiString &modelName);

// The Multi-SSID device test: model "5170" with firmware "2.10" and country "EU", "NA" or
// "GB", or model "5230"/"5290" with mssidsupported "1". On such a device the wireless settings
// form edits AP mode and security itself, and Advanced offers Multi-SSID instead of Mode and
// Encryption.
bool IsMultiSSIDDevice(const MenuCapabilities &c);
// The same over the main window's capability controls as they are now; false without one.
bool IsMultiSSIDDevice();

// A rule's verdict for one entry: shown, hidden, or left as it was (nullopt).
using MenuVisibility = std::optional<bool>;

struct AdvancedMenuState {
    bool Mode = true;
    bool Encryption = true;
    bool MultiSSID = false;
    MenuVisibility RogueAP;
    MenuVisibility Grouping;
};
AdvancedMenuState AdvancedMenuRule(const MenuCapabilities &c);

struct ToolsMenuState {
    bool DateAndTime = true;
    bool Miscellaneous = true;
};
ToolsMenuState ToolsMenuRule(const MenuCapabilities &c);

// Whether opening Status reads clientinfosupported at all.
bool StatusMenuReadsClientInfo(const MenuCapabilities &c);

struct StatusMenuState {
    MenuVisibility ClientInfo;
    MenuVisibility Log;
    MenuVisibility Stats;
};
// clientInfo: the text read from clientinfosupported, or nullopt when the read failed (or was
// not made). A firmware text without a digit where the major version belongs hides Client
// Info instead of failing, and the Log and Stats rules still apply.
StatusMenuState StatusMenuRule(const MenuCapabilities &c, const std::optional<AnsiString> &clientInfo);

// Form variants: the class a menu entry opens (null: nothing opens).
const char *AdminFormClass(const MenuCapabilities &c);
const char *FirmwareFormClass(const MenuCapabilities &c);
const char *MultiSSIDFormClass(const MenuCapabilities &c);

// Every entry of the main menu, by the names the handlers use.
struct MainMenuItems {
    TMenuItem *Home1 = nullptr;
    TMenuItem *Information1 = nullptr;
    TMenuItem *hWirelessBand1 = nullptr;
    TMenuItem *hLan1 = nullptr;
    TMenuItem *advanced2 = nullptr;
    TMenuItem *adMode1 = nullptr;
    TMenuItem *adPerformance1 = nullptr;
    TMenuItem *adFilters2 = nullptr;
    TMenuItem *WirelessMACACL1 = nullptr;
    TMenuItem *WirelessPatrition1 = nullptr;
    TMenuItem *adEncryption2 = nullptr;
    TMenuItem *adGrouping2 = nullptr;
    TMenuItem *adDHCPServer2 = nullptr;
    TMenuItem *Ad_MultiSSID = nullptr;
    TMenuItem *RogueAP = nullptr;
    TMenuItem *tools2 = nullptr;
    TMenuItem *tAdmin2 = nullptr;
    TMenuItem *tSystem2 = nullptr;
    TMenuItem *Firmware1 = nullptr;
    TMenuItem *tUpdate2 = nullptr;
    TMenuItem *tMisc1 = nullptr;
    TMenuItem *SNTP1 = nullptr;
    TMenuItem *status2 = nullptr;
    TMenuItem *stDeviceInfo2 = nullptr;
    TMenuItem *stStats1 = nullptr;
    TMenuItem *Ethernet1 = nullptr;
    TMenuItem *WLAN80211G1 = nullptr;
    TMenuItem *stStatsHidden = nullptr; // the Stats submenu's invisible entry
    TMenuItem *Client1 = nullptr;
    TMenuItem *SystemLog = nullptr;
    TMenuItem *stViewLog1 = nullptr;
    TMenuItem *stLogSetting1 = nullptr;
    TMenuItem *Configration1 = nullptr;
    TMenuItem *cfgSave1 = nullptr;
    TMenuItem *cfgDiscard1 = nullptr;
    TMenuItem *Help1 = nullptr;
    TMenuItem *About1 = nullptr;
    // Top menus that are never shown.
    TMenuItem *WirelessLAN1 = nullptr;
    TMenuItem *MIBII1 = nullptr;
    TMenuItem *Exit1 = nullptr;
    TMenuItem *APManagement1 = nullptr;
};

// One entry that opens a form through its registered opener.
struct FormMenuEntry {
    TMenuItem *MainMenuItems::*Item;
    const char *FormClass; // null: the class is chosen by a variant rule
};
const std::vector<FormMenuEntry> &FormMenuEntries();

// Builds the whole tree into menu; the items are owned by owner. Status \ Configuration
// starts hidden (start-up shows it for a device with deferred saving).
MainMenuItems BuildMainMenuTree(TComponent *owner, TMainMenu *menu);

// Applies a verdict to an entry.
void ApplyVisibility(TMenuItem *item, const MenuVisibility &visible);

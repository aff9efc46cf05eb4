#include "MainMenu.h"

#include "Menus.h"

#include <charconv>

int32_t CapabilityNumber(const AnsiString &text)
{
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && text[from] == ' ')
        ++from;
    while (to > from && text[to - 1] == ' ')
        --to;
    if (from < to && text[from] == '+')
        ++from;
    int32_t value = 0;
    const char *first = text.data() + from;
    const char *last = text.data() + to;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last)
        return 0;
    return value;
}

AnsiString ModelNumber(const AnsiString &modelName)
{
    return kv::subString(modelName, 5, 4);
}

bool IsMultiSSIDDevice(const MenuCapabilities &c)
{
    const AnsiString model = ModelNumber(c.ModelName);
    const AnsiString country = c.Countrycode;
    return (model == "5170" && kv::subString(c.FwVer, 2, 4) == "2.10" &&
            (country == "EU" || country == "NA" || country == "GB")) ||
           ((model == "5230" || model == "5290") && c.MultiSSID == "1");
}

AdvancedMenuState AdvancedMenuRule(const MenuCapabilities &c)
{
    const bool multiSSID = IsMultiSSIDDevice(c);

    AdvancedMenuState s;
    s.Mode = !multiSSID;
    s.Encryption = !multiSSID;
    s.MultiSSID = multiSSID;
    const int32_t rogue = CapabilityNumber(c.Rogue);
    if (rogue == 0 || rogue == 1)
        s.RogueAP = rogue == 1;
    const int32_t grouping = CapabilityNumber(c.Grouping);
    if (grouping == 0 || grouping == 1)
        s.Grouping = grouping == 1;
    return s;
}

ToolsMenuState ToolsMenuRule(const MenuCapabilities &c)
{
    ToolsMenuState s;
    s.DateAndTime = CapabilityNumber(c.SNTP) != 0;
    s.Miscellaneous = CapabilityNumber(c.ManagerIP) == 0;
    return s;
}

bool StatusMenuReadsClientInfo(const MenuCapabilities &c)
{
    return !c.LastPollTimedOut;
}

namespace {

// A decimal digit's value, or nullopt.
std::optional<int> digitAt(const AnsiString &text, std::ptrdiff_t position)
{
    const char ch = kv::charAt(text, position);
    if (ch < '0' || ch > '9')
        return std::nullopt;
    return ch - '0';
}

} // namespace

StatusMenuState StatusMenuRule(const MenuCapabilities &c, const std::optional<AnsiString> &clientInfo)
{
    StatusMenuState s;
    if (c.LastPollTimedOut) {
        s.ClientInfo = false;
        return s;
    }
    if (clientInfo) {
        s.ClientInfo = *clientInfo == "1";
    } else {
        // Without the object, the model's second digit and the firmware's major digit decide.
        const std::optional<int> d = digitAt(c.ModelName, 6);
        const std::optional<int> f = digitAt(c.FwVer, 2);
        if (!d || !f)
            s.ClientInfo = false;
        else if (*d == 1)
            s.ClientInfo = *f == 2;
        else if (*d == 2)
            s.ClientInfo = *f == 1;
        else
            s.ClientInfo = false;
    }
    const int32_t syslog = CapabilityNumber(c.SyslogSupport);
    if (syslog == 0 || syslog == 1)
        s.Log = syslog == 1;
    s.Stats = CapabilityNumber(c.PacketStatNotSupport) != 1;
    return s;
}

const char *AdminFormClass(const MenuCapabilities &c)
{
    if (CapabilityNumber(c.ManagerIP) == 0)
        return "TFM_Admin";
    if (CapabilityNumber(c.IpRangeSupported) == 1)
        return "TFM_Admin3";
    return "TFM_Admin2";
}

const char *FirmwareFormClass(const MenuCapabilities &c)
{
    return CapabilityNumber(c.SSLSupport) == 1 ? "TFM_FirewareSSL" : "TFM_Firmware";
}

const char *MultiSSIDFormClass(const MenuCapabilities &c)
{
    switch (CapabilityNumber(c.NewMultiSupport)) {
    case 0:
        return "TFM_MultiSSIDForm";
    case 1:
        return "TFM_MultiSSIDNewForm";
    default:
        return nullptr;
    }
}

const std::vector<FormMenuEntry> &FormMenuEntries()
{
    using M = MainMenuItems;
    static const std::vector<FormMenuEntry> entries = {
        {&M::hWirelessBand1, "TFM_Wirless"},
        {&M::hLan1, "TFM_LanCfg"},
        {&M::adMode1, "TFM_ModeCFG"},
        {&M::adPerformance1, "TFM_Performace"},
        {&M::WirelessMACACL1, "TFM_WMACACL"},
        {&M::WirelessPatrition1, "TFM_WPart"},
        {&M::adEncryption2, "TFM_Encrypt"},
        {&M::adGrouping2, "TFM_Group"},
        {&M::adDHCPServer2, "TFM_DHCP"},
        {&M::Ad_MultiSSID, nullptr},
        {&M::RogueAP, "TFM_RogueForm"},
        {&M::tAdmin2, nullptr},
        {&M::tSystem2, "TFM_Sytem"},
        {&M::Firmware1, nullptr},
        {&M::tUpdate2, "TFM_CfgFile"},
        {&M::tMisc1, "TFM_Misc"},
        {&M::SNTP1, "TSNTPForm"},
        {&M::stDeviceInfo2, "TFM_DevInfo"},
        {&M::Ethernet1, "TFM_Ethernet"},
        {&M::WLAN80211G1, "TFM_Static"},
        {&M::Client1, "TClientInformation"},
        {&M::stViewLog1, "TLogForm"},
        {&M::stLogSetting1, "TFM_LogSet"},
    };
    return entries;
}

namespace {

TMenuItem *makeItem(TComponent *owner, TMenuItem *parent, const char *name, const char *caption)
{
    auto *item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

} // namespace

MainMenuItems BuildMainMenuTree(TComponent *owner, TMainMenu *menu)
{
    MainMenuItems m;
    TMenuItem *root = menu->Items();

    m.Home1 = makeItem(owner, root, "Home1", "Home");
    m.Information1 = makeItem(owner, m.Home1, "Information1", "Information");
    m.hWirelessBand1 = makeItem(owner, m.Home1, "hWirelessBand1", "Wireless");
    m.hLan1 = makeItem(owner, m.Home1, "hLan1", "LAN");

    m.advanced2 = makeItem(owner, root, "advanced2", "Advanced");
    m.adMode1 = makeItem(owner, m.advanced2, "adMode1", "Mode");
    m.adPerformance1 = makeItem(owner, m.advanced2, "adPerformance1", "Performance");
    m.adFilters2 = makeItem(owner, m.advanced2, "adFilters2", "Filter");
    m.WirelessMACACL1 = makeItem(owner, m.adFilters2, "WirelessMACACL1", "Wireless MAC ACL");
    m.WirelessPatrition1 = makeItem(owner, m.adFilters2, "WirelessPatrition1", "WLAN Patrition");
    m.adEncryption2 = makeItem(owner, m.advanced2, "adEncryption2", "Encryption");
    m.adGrouping2 = makeItem(owner, m.advanced2, "adGrouping2", "Grouping");
    m.adDHCPServer2 = makeItem(owner, m.advanced2, "adDHCPServer2", "DHCP Server");
    m.Ad_MultiSSID = makeItem(owner, m.advanced2, "Ad_MultiSSID", "Multi-SSID");
    m.RogueAP = makeItem(owner, m.advanced2, "RogueAP", "Rogue AP");

    m.tools2 = makeItem(owner, root, "tools2", "Tools");
    m.tAdmin2 = makeItem(owner, m.tools2, "tAdmin2", "Admin");
    m.tSystem2 = makeItem(owner, m.tools2, "tSystem2", "System");
    m.Firmware1 = makeItem(owner, m.tools2, "Firmware1", "Firmware");
    m.tUpdate2 = makeItem(owner, m.tools2, "tUpdate2", "Configuration File");
    m.tMisc1 = makeItem(owner, m.tools2, "tMisc1", "Miscellaneous");
    m.SNTP1 = makeItem(owner, m.tools2, "SNTP1", "Date and Time");

    m.status2 = makeItem(owner, root, "status2", "Status");
    m.stDeviceInfo2 = makeItem(owner, m.status2, "stDeviceInfo2", "Device Info");
    m.stStats1 = makeItem(owner, m.status2, "stStats1", "Stats");
    m.Ethernet1 = makeItem(owner, m.stStats1, "Ethernet1", "Ethernet");
    m.WLAN80211G1 = makeItem(owner, m.stStats1, "WLAN80211G1", "WLAN");
    m.stStatsHidden = makeItem(owner, m.stStats1, "N1", "");
    m.stStatsHidden->SetVisible(false);
    m.Client1 = makeItem(owner, m.status2, "Client1", "Client Info");
    m.SystemLog = makeItem(owner, m.status2, "SystemLog", "Log");
    m.stViewLog1 = makeItem(owner, m.SystemLog, "stViewLog1", "View Log");
    m.stLogSetting1 = makeItem(owner, m.SystemLog, "stLogSetting1", "Log Setting");
    m.Configration1 = makeItem(owner, m.status2, "Configration1", "Configuration");
    m.cfgSave1 = makeItem(owner, m.Configration1, "cfgSave1", "Save and Active");
    m.cfgDiscard1 = makeItem(owner, m.Configration1, "cfgDiscard1", "Discard Changes");
    m.Configration1->SetVisible(false);

    m.Help1 = makeItem(owner, root, "Help1", "Help");
    m.About1 = makeItem(owner, m.Help1, "About1", "About");

    m.WirelessLAN1 = makeItem(owner, root, "WirelessLAN1", "Wireless LAN");
    m.WirelessLAN1->SetVisible(false);
    m.MIBII1 = makeItem(owner, root, "MIBII1", "MIB II");
    m.Exit1 = makeItem(owner, m.MIBII1, "Exit1", "Exit");
    m.MIBII1->SetVisible(false);
    m.APManagement1 = makeItem(owner, root, "APManagement1", "AP Management");
    m.APManagement1->SetVisible(false);
    return m;
}

void ApplyVisibility(TMenuItem *item, const MenuVisibility &visible)
{
    if (item != nullptr && visible)
        item->SetVisible(*visible);
}

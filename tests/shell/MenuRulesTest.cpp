// The menu rules as plain functions of the capability texts, and the form openers.
#include "EventLoop.h"
#include "FormGlobals.h"
#include "FormOpeners.h"
#include "Forms.h"
#include "MainMenu.h"
#include "Menus.h"

#include <QAction>

#include <gtest/gtest.h>

#include <stdexcept>

TEST(MenuRules, CapabilityNumberReadsZeroForAnythingButANumber)
{
    const std::pair<const char *, int32_t> cases[] = {
        {"", 0},    {"0", 0},   {"1", 1},   {"46", 46},      {" 2 ", 2},         {"+3", 3},
        {"-1", -1}, {"abc", 0}, {"12x", 0}, {"Ed_Rogue", 0}, {"99999999999", 0}, {"-", 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(CapabilityNumber(text), value) << '"' << text << '"';
}

TEST(MenuRules, ModelNumberIsCharactersFiveToEight)
{
    EXPECT_EQ(ModelNumber("QRN-5290AP"), "5290");
    EXPECT_EQ(ModelNumber("QRN-51"), "51");
    EXPECT_EQ(ModelNumber(""), "");
}

namespace {

struct AdvancedCase {
    const char *model, *fw, *country, *multi, *rogue, *grouping;
    bool multiSSID;
    MenuVisibility rogueAP, groupingEntry;
};

} // namespace

TEST(MenuRules, AdvancedMenu)
{
    const AdvancedCase cases[] = {
        {"QRN-5290AP", "v2.00", "NA", "1", "1", "1", true, true, true},
        {"QRN-5290AP", "v2.00", "NA", "0", "0", "0", false, false, false},
        {"QRN-5290AP", "v2.00", "NA", "", "2", "7", false, std::nullopt, std::nullopt},
        {"QRN-5290AP", "v2.00", "NA", " 1", "x", "", false, false, false}, // "1" compared as text
        {"QRN-5230AP", "v2.00", "NA", "1", "1", "0", true, true, false},
        {"QRN-5170AP", "v2.10", "EU", "0", "1", "0", true, true, false},
        {"QRN-5170AP", "v2.10", "GB", "0", "1", "0", true, true, false},
        {"QRN-5170AP", "v2.10", "JP", "1", "1", "0", false, true, false},
        {"QRN-5170AP", "v2.11", "NA", "1", "1", "0", false, true, false},
        {"QRN-5170AP", "", "NA", "1", "1", "0", false, true, false},
    };
    for (const AdvancedCase &c : cases) {
        MenuCapabilities caps;
        caps.ModelName = c.model;
        caps.FwVer = c.fw;
        caps.Countrycode = c.country;
        caps.MultiSSID = c.multi;
        caps.Rogue = c.rogue;
        caps.Grouping = c.grouping;
        const AdvancedMenuState s = AdvancedMenuRule(caps);
        SCOPED_TRACE(std::string(c.model) + " " + c.fw + " " + c.country + " " + c.multi);
        EXPECT_EQ(s.MultiSSID, c.multiSSID);
        EXPECT_EQ(IsMultiSSIDDevice(caps), c.multiSSID);
        EXPECT_EQ(s.Mode, !c.multiSSID);
        EXPECT_EQ(s.Encryption, !c.multiSSID);
        EXPECT_EQ(s.RogueAP, c.rogueAP);
        EXPECT_EQ(s.Grouping, c.groupingEntry);
    }
}

TEST(MenuRules, ToolsMenuAndVariants)
{
    struct Case {
        const char *sntp, *manager, *range, *ssl, *multi;
        bool dateAndTime, misc;
        const char *admin, *firmware, *multiForm;
    };
    const Case cases[] = {
        {"1", "0", "1", "1", "0", true, true, "TFM_Admin", "TFM_FirewareSSL", "TFM_MultiSSIDForm"},
        {"0", "1", "1", "0", "1", false, false, "TFM_Admin3", "TFM_Firmware", "TFM_MultiSSIDNewForm"},
        {"", "1", "0", "2", "3", false, false, "TFM_Admin2", "TFM_Firmware", nullptr},
        {"Ed_spSNTP", "Ed_ManagerIP", "Ed_ipRangeSupported", "Ed_SSLSupport", "NewMultiSupport", false, true,
         "TFM_Admin", "TFM_Firmware", "TFM_MultiSSIDForm"},
        {"5", "2", "1", "", "", true, false, "TFM_Admin3", "TFM_Firmware", "TFM_MultiSSIDForm"},
    };
    for (const Case &c : cases) {
        MenuCapabilities caps;
        caps.SNTP = c.sntp;
        caps.ManagerIP = c.manager;
        caps.IpRangeSupported = c.range;
        caps.SSLSupport = c.ssl;
        caps.NewMultiSupport = c.multi;
        SCOPED_TRACE(std::string(c.sntp) + "/" + c.manager + "/" + c.range);
        const ToolsMenuState s = ToolsMenuRule(caps);
        EXPECT_EQ(s.DateAndTime, c.dateAndTime);
        EXPECT_EQ(s.Miscellaneous, c.misc);
        EXPECT_STREQ(AdminFormClass(caps), c.admin);
        EXPECT_STREQ(FirmwareFormClass(caps), c.firmware);
        if (c.multiForm == nullptr)
            EXPECT_EQ(MultiSSIDFormClass(caps), nullptr);
        else
            EXPECT_STREQ(MultiSSIDFormClass(caps), c.multiForm);
    }
}

TEST(MenuRules, StatusMenu)
{
    struct Case {
        const char *model, *fw;
        bool timedOut;
        std::optional<AnsiString> clientInfo;
        const char *syslog, *packetStat;
        MenuVisibility client, log, stats;
    };
    const Case cases[] = {
        {"QRN-5290AP", "v2.00", false, "1", "1", "0", true, true, true},
        {"QRN-5290AP", "v2.00", false, "0", "0", "1", false, false, false},
        {"QRN-5290AP", "v2.00", false, "2", "2", "2", false, std::nullopt, true},
        // Timed out: only Client Info is touched.
        {"QRN-5290AP", "v2.00", true, "1", "1", "1", false, std::nullopt, std::nullopt},
        // Fallback on the model's second digit and the firmware's major digit.
        {"QRN-5290AP", "v1.10", false, std::nullopt, "1", "0", true, true, true},
        {"QRN-5290AP", "v2.00", false, std::nullopt, "1", "0", false, true, true},
        {"QRN-5170AP", "v2.00", false, std::nullopt, "1", "0", true, true, true},
        {"QRN-5170AP", "v1.00", false, std::nullopt, "1", "0", false, true, true},
        {"QRN-5370AP", "v1.00", false, std::nullopt, "1", "0", false, true, true},
        // No digit where the major version belongs: hidden, and the other rules still apply.
        {"QRN-5290AP", "", false, std::nullopt, "0", "1", false, false, false},
        {"QRN-5290AP", "vX.1", false, std::nullopt, "1", "0", false, true, true},
        {"QRN-", "v1.0", false, std::nullopt, "1", "0", false, true, true},
    };
    for (const Case &c : cases) {
        MenuCapabilities caps;
        caps.ModelName = c.model;
        caps.FwVer = c.fw;
        caps.LastPollTimedOut = c.timedOut;
        caps.SyslogSupport = c.syslog;
        caps.PacketStatNotSupport = c.packetStat;
        SCOPED_TRACE(std::string(c.model) + " " + c.fw +
                     (c.clientInfo ? " read " + *c.clientInfo : " no read"));
        EXPECT_EQ(StatusMenuReadsClientInfo(caps), !c.timedOut);
        const StatusMenuState s = StatusMenuRule(caps, c.clientInfo);
        EXPECT_EQ(s.ClientInfo, c.client);
        EXPECT_EQ(s.Log, c.log);
        EXPECT_EQ(s.Stats, c.stats);
    }
}

TEST(MenuTree, EveryEntryOfTheTreeWithItsCaption)
{
    TMainMenu menu(nullptr);
    TComponent owner(nullptr);
    const MainMenuItems m = BuildMainMenuTree(&owner, &menu);
    const std::pair<TMenuItem *, const char *> entries[] = {
        {m.Information1, "Information"},
        {m.hWirelessBand1, "Wireless"},
        {m.hLan1, "LAN"},
        {m.adMode1, "Mode"},
        {m.adPerformance1, "Performance"},
        {m.WirelessMACACL1, "Wireless MAC ACL"},
        {m.WirelessPatrition1, "WLAN Patrition"},
        {m.adEncryption2, "Encryption"},
        {m.adGrouping2, "Grouping"},
        {m.adDHCPServer2, "DHCP Server"},
        {m.Ad_MultiSSID, "Multi-SSID"},
        {m.RogueAP, "Rogue AP"},
        {m.tAdmin2, "Admin"},
        {m.tSystem2, "System"},
        {m.Firmware1, "Firmware"},
        {m.tUpdate2, "Configuration File"},
        {m.tMisc1, "Miscellaneous"},
        {m.SNTP1, "Date and Time"},
        {m.stDeviceInfo2, "Device Info"},
        {m.Ethernet1, "Ethernet"},
        {m.WLAN80211G1, "WLAN"},
        {m.Client1, "Client Info"},
        {m.stViewLog1, "View Log"},
        {m.stLogSetting1, "Log Setting"},
        {m.cfgSave1, "Save and Active"},
        {m.cfgDiscard1, "Discard Changes"},
        {m.About1, "About"},
    };
    for (const auto &[item, caption] : entries) {
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Caption(), caption);
        EXPECT_TRUE(item->Visible()) << caption;
    }
    EXPECT_EQ(m.WLAN80211G1->Parent(), m.stStats1);
    EXPECT_EQ(m.stViewLog1->Parent(), m.SystemLog);
    EXPECT_EQ(m.WirelessPatrition1->Parent(), m.adFilters2);
    EXPECT_EQ(m.stStats1->Count(), 3); // with its invisible entry
    EXPECT_FALSE(m.stStatsHidden->Visible());
    EXPECT_FALSE(m.Configration1->Visible());
    EXPECT_FALSE(m.WirelessLAN1->Visible());
    EXPECT_FALSE(m.MIBII1->Visible());
    EXPECT_FALSE(m.APManagement1->Visible());
    EXPECT_EQ(m.Exit1->Parent(), m.MIBII1);
    EXPECT_EQ(FormMenuEntries().size(), 23u);
}

TEST(MenuTree, TopMenusShowTheirCaptionsWithALetterEachForAlt)
{
    TForm form(nullptr);
    auto *menu = new TMainMenu(&form);
    const MainMenuItems m = BuildMainMenuTree(&form, menu);
    const std::pair<TMenuItem *, const char *> tops[] = {
        {m.Home1, "&Home"},     {m.advanced2, "&Advanced"}, {m.tools2, "&Tools"},
        {m.status2, "&Status"}, {m.Help1, "H&elp"},
    };
    for (const auto &[item, text] : tops) {
        EXPECT_EQ(item->Action()->text().toStdString(), text);
        EXPECT_EQ(item->Caption(), QString(text).remove('&').toStdString());
    }
}

// ---- form openers ----------------------------------------------------------------------

class TFM_FirewareSSL : public TForm {
public:
    static inline int Alive = 0;
    static inline bool FailInConstructor = false;
    static inline bool FailInCreate = false;
    static inline TFM_FirewareSSL *SeenWhileShown = nullptr;

    explicit TFM_FirewareSSL(TComponent *owner) : TForm(owner)
    {
        if (FailInConstructor)
            throw std::runtime_error("no resources");
        ++Alive;
        OnCreate = [](TObject *) {
            if (FailInCreate)
                throw std::runtime_error("create failed");
        };
        OnShow = [this](TObject *) {
            SeenWhileShown = FM_FirewareSSL;
            Post([this] { SetModalResult(mrOk); });
        };
    }
    ~TFM_FirewareSSL() override { --Alive; }
};

namespace {

struct OpenerFixture : ::testing::Test {
    std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
    OpenerFixture()
    {
        TFM_FirewareSSL::FailInConstructor = false;
        TFM_FirewareSSL::FailInCreate = false;
        TFM_FirewareSSL::SeenWhileShown = nullptr;
        RegisterModalForm<TFM_FirewareSSL>("TFM_FirewareSSL", FM_FirewareSSL);
    }
    ~OpenerFixture() override { UnregisterFormOpener("TFM_FirewareSSL"); }
};

} // namespace

TEST_F(OpenerFixture, ShowsTheFormModallyInItsGlobalThenDeletesItAndResetsTheGlobal)
{
    EXPECT_TRUE(HasFormOpener("TFM_FirewareSSL"));
    EXPECT_TRUE(OpenRegisteredForm("TFM_FirewareSSL"));
    EXPECT_NE(TFM_FirewareSSL::SeenWhileShown, nullptr);
    EXPECT_EQ(FM_FirewareSSL, nullptr);
    EXPECT_EQ(TFM_FirewareSSL::Alive, 0);
    EXPECT_EQ(app->ComponentCount(), 0);
}

TEST_F(OpenerFixture, AFailingCreationLeavesNoFormAndANullGlobal)
{
    for (bool inConstructor : {true, false}) {
        TFM_FirewareSSL::FailInConstructor = inConstructor;
        TFM_FirewareSSL::FailInCreate = !inConstructor;
        bool raised = false;
        try {
            OpenRegisteredForm("TFM_FirewareSSL");
        } catch (const std::exception &) {
            raised = true;
        }
        // A failing creation handler is reported by the framework and the form still shows.
        EXPECT_EQ(raised, inConstructor);
        EXPECT_EQ(FM_FirewareSSL, nullptr);
        EXPECT_EQ(TFM_FirewareSSL::Alive, 0);
        EXPECT_EQ(TFM_FirewareSSL::SeenWhileShown != nullptr, !inConstructor);
        EXPECT_EQ(app->ComponentCount(), 0);
    }
}

TEST_F(OpenerFixture, UnknownClassOpensNothing)
{
    EXPECT_FALSE(HasFormOpener("TFM_Nothing"));
    EXPECT_FALSE(OpenRegisteredForm("TFM_Nothing"));
    RegisterFormOpener("TFM_Nothing", nullptr); // an empty opener registers nothing
    EXPECT_FALSE(HasFormOpener("TFM_Nothing"));
}

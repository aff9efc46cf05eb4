// The menu tree against the simulated access point: which entries each top menu shows and
// which form variant an entry opens, over the device's capability settings.
#include "FormOpeners.h"
#include "GUIConfigForm.h"
#include "KvSNMPRequest2Edits.h"
#include "MainWindowSupport.h"

#include <cctype>

using namespace mainwintest;

namespace {

const char *const kAllFormClasses[] = {
    "TFM_Wirless",        "TFM_LanCfg",        "TFM_ModeCFG",          "TFM_Performace",
    "TFM_WMACACL",        "TFM_WPart",         "TFM_Encrypt",          "TFM_Group",
    "TFM_DHCP",           "TFM_MultiSSIDForm", "TFM_MultiSSIDNewForm", "TFM_RogueForm",
    "TFM_Admin",          "TFM_Admin2",        "TFM_Admin3",           "TFM_Sytem",
    "TFM_FirewareSSL",    "TFM_Firmware",      "TFM_CfgFile",          "TFM_Misc",
    "TSNTPForm",          "TFM_DevInfo",       "TFM_Ethernet",         "TFM_Static",
    "TClientInformation", "TLogForm",          "TFM_LogSet",
};

// Openers that only note which class was asked for; removed again at the end of the test.
struct RecordingOpeners {
    std::vector<std::string> opened;
    RecordingOpeners()
    {
        for (const char *name : kAllFormClasses)
            RegisterFormOpener(name, [this, name] { opened.emplace_back(name); });
    }
    ~RecordingOpeners()
    {
        for (const char *name : kAllFormClasses)
            UnregisterFormOpener(name);
    }
    std::string take()
    {
        std::string last = opened.empty() ? std::string() : opened.back();
        opened.clear();
        return last;
    }
};

bool isNumber(const std::string &text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

struct MenuCase {
    const char *name;
    const char *named;   // one of devsim's profiles, or ""
    std::string profile; // lines over the default catalog
    std::string firmware;
    // Advanced
    bool mode, encryption, multiSSID, rogueAP, grouping;
    // Tools
    bool dateAndTime, misc;
    // Status
    bool clientInfo, log, stats;
    // Variants ("" for nothing opened)
    std::string admin, firmwareForm, multiSSIDForm;
};

class MenuRules : public ::testing::TestWithParam<MenuCase> {};

} // namespace

TEST_P(MenuRules, ShowsEntriesAndChoosesVariantsByCapabilities)
{
    const MenuCase &c = GetParam();
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    HostFolders host;
    const std::string profile = host.root + "/case.cat";
    writeText(profile, c.profile + "\n");
    std::vector<std::string> args;
    if (*c.named != '\0')
        args = {"--profile", c.named};
    args.insert(args.end(), {"--profile", profile});
    devsimtest::Devsim sim(args);
    ASSERT_TRUE(sim.ok());
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    RecordingOpeners openers;
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    MainMenuItems &menu = f.MenuItems;
    ASSERT_TRUE(pumpUntil(
        [&] {
            return f.Ed_FwVer->Text() == c.firmware && isNumber(f.ifMultiSSID_Edit->Text()) &&
                   isNumber(f.Ed_Rogue->Text()) && isNumber(f.NewMultiSupport->Text()) &&
                   isNumber(f.SyslogSupport->Text()) && isNumber(f.Ed_PacketStatNotSupport->Text()) &&
                   isNumber(f.Ed_SSLSupport->Text()) && isNumber(f.Ed_ManagerIP->Text()) &&
                   isNumber(f.Ed_Grouping->Text()) && isNumber(f.Ed_spSNTP->Text());
        },
        5000))
        << f.Ed_FwVer->Text();

    // Entries whose rule may leave them alone start hidden, so "left as it was" shows.
    menu.RogueAP->SetVisible(false);
    menu.adGrouping2->SetVisible(false);
    menu.SystemLog->SetVisible(false);

    menu.advanced2->Click();
    EXPECT_EQ(menu.adMode1->Visible(), c.mode);
    EXPECT_EQ(menu.adEncryption2->Visible(), c.encryption);
    EXPECT_EQ(menu.Ad_MultiSSID->Visible(), c.multiSSID);
    EXPECT_EQ(menu.RogueAP->Visible(), c.rogueAP);
    EXPECT_EQ(menu.adGrouping2->Visible(), c.grouping);

    menu.tools2->Click();
    EXPECT_EQ(menu.SNTP1->Visible(), c.dateAndTime);
    EXPECT_EQ(menu.tMisc1->Visible(), c.misc);

    menu.status2->Click();
    EXPECT_EQ(menu.Client1->Visible(), c.clientInfo);
    EXPECT_EQ(menu.SystemLog->Visible(), c.log);
    EXPECT_EQ(menu.stStats1->Visible(), c.stats);
    EXPECT_TRUE(kv::MessageBoxService::instance().calls().empty());

    menu.tAdmin2->Click();
    EXPECT_EQ(openers.take(), c.admin);
    menu.Firmware1->Click();
    EXPECT_EQ(openers.take(), c.firmwareForm);
    menu.Ad_MultiSSID->Click();
    EXPECT_EQ(openers.take(), c.multiSSIDForm);
    EXPECT_EQ(menu.Ad_MultiSSID->Enabled(), !c.multiSSIDForm.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Capabilities, MenuRules,
    ::testing::Values(
        //       name            named, profile                                       firmware     mode   enc    mssid  rogue  group  sntp   misc   client log    stats  admin         firmware           multi-SSID
        MenuCase{"Default",      "", "",                                           "v2.00.15",  false, false, true,  true,  false, true,  true,  true,  true,  true,  "TFM_Admin",  "TFM_Firmware",    "TFM_MultiSSIDForm"},
        MenuCase{"OldFirmware",  "oldfirmware", "",                        "v1.10.02",  true,  true,  false, true,  false, true,  true,  true,  true,  true,  "TFM_Admin",  "TFM_Firmware",    "TFM_MultiSSIDForm"},
        MenuCase{"Admin3",       "admin3", "",                             "v2.00.15",  false, false, true,  true,  true,  true,  false, true,  true,  true,  "TFM_Admin3", "TFM_Firmware",    "TFM_MultiSSIDForm"},
        MenuCase{"Admin2",       "admin2", "",                             "v2.00.15",  false, false, true,  true,  true,  true,  false, true,  true,  true,  "TFM_Admin2", "TFM_Firmware",    "TFM_MultiSSIDForm"},
        MenuCase{"Ssl",          "ssl", "",                                "v2.00.15",  false, false, true,  true,  false, true,  true,  true,  true,  true,  "TFM_Admin",  "TFM_FirewareSSL", "TFM_MultiSSIDForm"},
        MenuCase{"NewMultiSSID", "newmssid", "",                           "v2.00.15",  false, false, true,  true,  false, true,  true,  true,  true,  true,  "TFM_Admin",  "TFM_Firmware",    "TFM_MultiSSIDNewForm"},
        MenuCase{"AllOff",       "", "set rogueapsupported 0\nset syslogsupported 0\nset packetStatisticnotsupported 1\nset accounting 0\nset clientinfosupported 0\nset mssidsupported 0",
                                                                               "v2.00.15",  true,  true,  false, false, false, false, true,  false, false, false, "TFM_Admin",  "TFM_Firmware",    "TFM_MultiSSIDForm"},
        MenuCase{"LeftAlone",    "", "set rogueapsupported 2\nset syslogsupported 2\nset groupingsupported 2\nset mssidisolatedsecurity 3\nset mssidsupported 2",
                                                                               "v2.00.15",  true,  true,  false, false, false, true,  false, true,  false, true,  "TFM_Admin2", "TFM_Firmware",    ""},
        MenuCase{"NoClientObjectV2", "", "remove clientinfosupported",            "v2.00.15",  false, false, true,  true,  false, true,  true,  false, true,  true,  "TFM_Admin",  "TFM_Firmware",    "TFM_MultiSSIDForm"},
        MenuCase{"NoClientObjectNoDigit", "", "remove clientinfosupported\nset stFirmwareVersion \"vX\"",
                                                                               "vX",        false, false, true,  true,  false, true,  true,  false, true,  true,  "TFM_Admin",  "TFM_Firmware",    "TFM_MultiSSIDForm"}),
    [](const auto &testInfo) { return std::string(testInfo.param.name); });
// clang-format on

TEST(MenuDevice, TimedOutPollHidesClientInfoWithoutReading)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    TMainForm &f = *m.form;
    ASSERT_TRUE(pumpUntil([&] { return m.probed(); }, 5000));
    f.MenuItems.status2->Click();
    EXPECT_TRUE(f.MenuItems.Client1->Visible());

    sim.process().pause();
    // The status bar shows the prefixed text; the code is what says "timed out".
    EXPECT_TRUE(pumpUntil([&] { return IsPollTimeout(f.LastStatusCode); }, 8000)) << f.LastStatusText;
    EXPECT_EQ(f.LastStatusText, "(SNMPClass) SNMP request timed out!");
    f.ClientInfoReq.reset();
    f.MenuItems.SystemLog->SetVisible(false);
    f.MenuItems.status2->Click();
    EXPECT_FALSE(f.MenuItems.Client1->Visible());
    EXPECT_EQ(f.ClientInfoReq, nullptr);            // no read was made
    EXPECT_FALSE(f.MenuItems.SystemLog->Visible()); // Log and Stats keep their state
    sim.process().resume();
}

TEST(MenuDevice, EntriesWithoutOpenerAreDisabledAndInformationIsNot)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    MainMenuItems &menu = m.form->MenuItems;
    ASSERT_TRUE(pumpUntil([&] { return m.probed(); }, 5000));
    menu.Home1->Click();
    EXPECT_TRUE(menu.Information1->Enabled());
    EXPECT_FALSE(menu.hWirelessBand1->Enabled());
    EXPECT_FALSE(menu.hLan1->Enabled());
    menu.tools2->Click();
    EXPECT_FALSE(menu.tAdmin2->Enabled());
    EXPECT_TRUE(menu.About1->Enabled());

    RegisterFormOpener("TFM_LanCfg", [] {});
    menu.Home1->Click();
    EXPECT_TRUE(menu.hLan1->Enabled());
    UnregisterFormOpener("TFM_LanCfg");
    menu.Home1->Click();
    EXPECT_FALSE(menu.hLan1->Enabled());
    // Choosing a disabled entry opens nothing and raises nothing.
    menu.hLan1->Click();
    EXPECT_TRUE(kv::MessageBoxService::instance().calls().empty());
}

TEST(MenuDevice, InformationReadsTheSystemGroupIntoTheGenericForm)
{
    kv::ScopedClock clock(std::make_shared<FastClock>(10));
    devsimtest::Devsim sim;
    ASSERT_TRUE(sim.ok());
    HostFolders host;
    host.deviceSettings("127.0.0.1", v2cSettings(sim.port()));
    Module m({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    ASSERT_TRUE(pumpUntil([&] { return m.probed(); }, 5000));

    std::string caption;
    std::vector<std::string> names;
    std::vector<std::string> values;
    int32_t timeout = 0;
    kv::Timer watch;
    watch.onTimeout = [&] {
        for (int i = 0; i < Application->ComponentCount(); ++i) {
            auto *form = dynamic_cast<TConfigForm *>(Application->Components(i));
            if (form == nullptr || !form->Modal() || form->Requests.empty() || form->Requests[0]->Busy)
                continue;
            const KvSNMPVarList &list = form->Requests[0]->Request.VarList;
            if (list.Count() != 6 || list.GetItem(4)->Value.empty())
                continue;
            caption = form->Text();
            timeout = form->Requests[0]->Request.Timeout;
            for (int k = 0; k < list.Count(); ++k) {
                names.push_back(list.GetItem(k)->Name);
                values.push_back(list.GetItem(k)->Value);
            }
            form->Close();
        }
    };
    watch.start(5);
    m.form->MenuItems.Information1->Click();
    watch.stop();
    EXPECT_EQ(caption, "Home \\ Information");
    EXPECT_EQ(timeout, 3000);
    EXPECT_EQ(names, (std::vector<std::string>{"System Description", "System Object ID", "System Uptime",
                                               "System Contact", "System Name", "System Location"}));
    ASSERT_EQ(values.size(), 6u);
    EXPECT_EQ(values[0], "QRN-5290AP 802.11g Wireless Access Point");
    EXPECT_EQ(values[4], "QRN-5290AP");
    for (int i = 0; i < Application->ComponentCount(); ++i)
        EXPECT_EQ(dynamic_cast<TConfigForm *>(Application->Components(i)), nullptr); // deleted
}

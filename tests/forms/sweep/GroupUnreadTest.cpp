// One group of a form whose read fails (the device answers that object with an error at once,
// as a lost answer fails its own group), early, in the middle or last in the form's read order:
// that group shows nothing and is not written back, every other group shows what a normal
// opening shows and is written as an unchanged Apply writes it, and Apply refuses nothing for
// the group the user never typed in. One device a case, opened normally, then with the fault.
#include "FormFixture.h"
#include "FormSnapshot.h"
#include "NetworkFormSupport.h"
#include "TFM_Admin.h"
#include "TFM_Admin2.h"
#include "TFM_Admin3.h"
#include "TFM_DHCP.h"
#include "TFM_Encrypt.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_LogSet.h"
#include "TFM_Misc.h"
#include "TFM_ModeCFG.h"
#include "TFM_MultiSSIDForm.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Performace.h"
#include "TFM_RogueForm.h"
#include "TFM_WMACACL.h"
#include "TFM_WPart.h"
#include "TFM_Wirless.h"
#include "TSNTPForm.h"
#include "TestEnv.h"
#include "TransferRoad.h"

#include <set>

using namespace formtest;

namespace {

class GroupUnread;

struct GroupUnreadRow {
    const char *what;
    std::vector<std::string> profile;
    const char *object;                 // every read of it is answered with genErr
    std::vector<std::string> unwritten; // objects whose sets the Apply then leaves out
    const char *status;                 // Apply's status text; null: the normal one, then named
    const char *named;                  // the groups named as not written ("" none)
    std::set<std::string> empty;        // the group's controls, which show nothing
    std::set<std::string> derived;      // controls that follow the group's values
    std::function<void(GroupUnread &)> run;
    const char *opening = nullptr; // how the status of the opening ends, where checked
};

void PrintTo(const GroupUnreadRow &row, std::ostream *out)
{
    *out << row.what;
}

// The form's status text (a form with a status bar per page writes into one of them).
AnsiString StatusText(TForm &form)
{
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto *bar = dynamic_cast<TStatusBar *>(form.Components(i)); bar && !bar->SimpleText().empty())
            return bar->SimpleText();
    return AnsiString();
}

class GroupUnread : public FormTest, public ::testing::WithParamInterface<GroupUnreadRow> {
public:
    template <class T> void Check(T *&global, const std::function<void(T &)> &apply)
    {
        const GroupUnreadRow &row = GetParam();
        std::vector<std::string> normalArgs = row.profile;
        normalArgs.insert(normalArgs.end(), extraArgs.begin(), extraArgs.end());
        startDevice(normalArgs);
        sweep::Snapshot normal;
        std::string normalStatus;
        {
            auto f = openForm(global);
            ASSERT_TRUE(WaitUntilClosable(*f));
            normal = sweep::TakeSnapshot(*f);
            apply(*f);
            ASSERT_TRUE(WaitUntilClosable(*f));
            normalStatus = StatusText(*f);
        }
        std::vector<std::string> expected;
        for (const std::string &set : sets())
            if (std::none_of(row.unwritten.begin(), row.unwritten.end(), [&](const std::string &object) {
                    return set.find(object + "=") != std::string::npos;
                }))
                expected.push_back(set);

        sim.reset();
        std::vector<std::string> args = normalArgs;
        args.insert(args.end(), {"--fault", std::string(row.object) + "=error:genErr@get"});
        startDevice(args);
        auto f = openForm(global);
        ASSERT_TRUE(WaitUntilClosable(*f));
        if (row.opening) {
            const std::string status = StatusText(*f), end = row.opening;
            EXPECT_EQ(status.size() >= end.size() ? status.substr(status.size() - end.size()) : status, end);
        }
        for (const std::string &name : row.empty) {
            TControl *c = sweep::NamedControl(*f, name);
            ASSERT_NE(c, nullptr) << name;
            EXPECT_TRUE(sweep::ShowsNothing(c)) << name << " shows " << sweep::ControlValue(c);
        }
        const sweep::Snapshot shown = sweep::TakeSnapshot(*f);
        for (const auto &[name, state] : normal) {
            if (row.empty.count(name) || row.derived.count(name) ||
                dynamic_cast<TStatusBar *>(sweep::NamedControl(*f, name)))
                continue;
            EXPECT_EQ(shown.at(name), state) << name << " differs from a normal opening";
        }
        apply(*f);
        ASSERT_TRUE(WaitUntilClosable(*f));
        expectSets(expected);
        const std::string named =
            *row.named ? std::string(" Not read, so not written: ") + row.named + "." : "";
        EXPECT_EQ(StatusText(*f), row.status ? std::string(row.status) : normalStatus + named);
    }

    // Given to devsim after the row's profile, both times.
    std::vector<std::string> extraArgs;
};

void ApplyWireless(TFM_Wirless &f)
{
    f.Bt_Apply->Click();
    EXPECT_TRUE(pumpUntil([&] { return !f.Applying(); }, 5000));
}

void ApplyPerformance(TFM_Performace &f)
{
    f.Bt_Apply_a->Click();
}

void ApplyEncryption(TFM_Encrypt &f)
{
    f.Bt_Apply->Click();
}

template <class T> std::function<void(T &)> Press(TButton *T::*button)
{
    return [button](T &form) { (form.*button)->Click(); };
}

// The current password typed, as the form asks for it (it is not shown).
void ApplyAdmin(TFM_Admin &f)
{
    for (TEdit *e : {f.Ed_OPwd, f.Ed_NPwd, f.Ed_CNP})
        e->SetText(f.Ed_Pwd->Text());
    f.OK->Click();
}

void Admin(GroupUnread &t)
{
    t.Check<TFM_Admin>(FM_Admin, ApplyAdmin);
}

void Admin2(GroupUnread &t)
{
    t.Check<TFM_Admin2>(FM_Admin2, [](TFM_Admin2 &f) { f.OK->Click(); });
}

void Admin3(GroupUnread &t)
{
    t.Check<TFM_Admin3>(FM_Admin3, [](TFM_Admin3 &f) { f.OK->Click(); });
}

void Misc(GroupUnread &t)
{
    t.Check<TFM_Misc>(FM_Misc, [](TFM_Misc &f) { f.Bt_Apply->Click(); });
}

void Wireless(GroupUnread &t)
{
    t.Check<TFM_Wirless>(FM_Wirless, ApplyWireless);
}

void Performance(GroupUnread &t)
{
    t.Check<TFM_Performace>(FM_Performace, ApplyPerformance);
}

void Encryption(GroupUnread &t)
{
    t.Check<TFM_Encrypt>(FM_Encrypt, ApplyEncryption);
}

void Mode(GroupUnread &t)
{
    t.Check<TFM_ModeCFG>(FM_ModeCFG, Press(&TFM_ModeCFG::Bt_Apply));
}

void MultiSSIDOlder(GroupUnread &t)
{
    t.Check<TFM_MultiSSIDForm>(FM_MultiSSIDForm, Press(&TFM_MultiSSIDForm::Bt_Apply));
}

void MultiSSIDNewer(GroupUnread &t)
{
    t.Check<TFM_MultiSSIDNewForm>(FM_MultiSSIDNewForm, Press(&TFM_MultiSSIDNewForm::ApplyBtn));
}

void WLANPartition(GroupUnread &t)
{
    t.Check<TFM_WPart>(FM_WPart, Press(&TFM_WPart::BT_Apply));
}

void RogueAP(GroupUnread &t)
{
    t.Check<TFM_RogueForm>(FM_RogueForm, Press(&TFM_RogueForm::Apply_Btn));
}

void MACACL(GroupUnread &t)
{
    t.Check<TFM_WMACACL>(FM_WMACACL, Press(&TFM_WMACACL::Bt_Apply));
}

void DHCP(GroupUnread &t)
{
    t.Check<TFM_DHCP>(FM_DHCP, [](TFM_DHCP &f) { f.Bt_Apply->Click(); });
}

void LAN(GroupUnread &t)
{
    t.Check<TFM_LanCfg>(FM_LanCfg, [](TFM_LanCfg &f) { f.BT_LanCfgOk->Click(); });
}

void Grouping(GroupUnread &t)
{
    t.Check<TFM_Group>(FM_Group, [](TFM_Group &f) { f.Bt_Apply->Click(); });
}

void LogSetting(GroupUnread &t)
{
    t.Check<TFM_LogSet>(FM_LogSet, [](TFM_LogSet &f) { f.Bt_Apply->Click(); });
}

// The form's server and the device's client meet on a port of this case; the PC's clock, which
// the form writes as it opens, stands still.
void DateAndTime(GroupUnread &t)
{
    const std::string port = std::to_string(kvtest::freeUdpPort());
    setenv(kTftpPortVariable, port.c_str(), 1);
    t.extraArgs = {"--tftp-port", port};
    auto clock = std::make_shared<kvtest::FastClock>(50);
    clock->setWallTime(std::time(nullptr));
    const kv::ScopedClock still(clock);
    t.Check<TSNTPForm>(SNTPForm, [](TSNTPForm &f) {
        f.Bt_Apply->Click();
        EXPECT_TRUE(pumpUntil([&] { return f.Idle && !f.SntpReq->Busy; }, 10000));
    });
    unsetenv(kTftpPortVariable);
}

const std::vector<GroupUnreadRow> &Rows()
{
    static const std::vector<GroupUnreadRow> rows = {
        {"Wireless AP mode early",
         {},
         "adAPMode",
         {"adAPMode"},
         nullptr,
         "AP Mode",
         {"ED_APModeTempComboBox", "ED_APModeComboBox", "Ed_SSID"},
         {"CB_SSIDBcasta"},
         Wireless,
         " Not read: AP Mode."},
        {"Wireless SSID",
         {},
         "hSSID",
         {"hSSID", "adAPMode"},
         nullptr,
         "SSID, AP Mode",
         {"Ed_SSIDa", "CB_SSIDBcasta", "CB_Chana", "Ed_Chana", "Ed_ChanLista", "Ed_RaFreqa",
          "ED_APModeTempComboBox", "ED_APModeComboBox", "Ed_SSID"},
         {},
         Wireless,
         " Not read: SSID, AP Mode."},
        // Not written, as the authentication needs no RADIUS server; its re-read fails again.
        {"Wireless RADIUS in the middle",
         {},
         "SecRADIUSPort",
         {},
         "Setting Success! Not read: RADIUS Server.",
         "",
         {"RadiusportEdit", "RadiusServerEdit", "RadiusSecretEdit", "GroupKeyEdit", "CiphertypeComboBox"},
         {},
         Wireless,
         " Not read: RADIUS Server."},
        {"Wireless super mode last",
         {},
         "adSuperMode",
         {"adSuperMode"},
         nullptr,
         "Super G Mode",
         {"AD_SuperMode", "CB_SuperMode_jp"},
         {},
         Wireless,
         " Not read: Super G Mode."},
        // The guests and the VLAN are not switched off for a super G or an AP mode not read.
        {"Wireless super mode with guests on",
         {"--profile", "configured"},
         "adSuperMode",
         {"adSuperMode"},
         nullptr,
         "Super G Mode",
         {"AD_SuperMode", "CB_SuperMode_jp"},
         {},
         Wireless,
         " Not read: Super G Mode."},
        {"Wireless AP mode with guests on",
         {"--profile", "configured"},
         "adAPMode",
         {"adAPMode"},
         nullptr,
         "AP Mode",
         {"ED_APModeTempComboBox", "ED_APModeComboBox", "Ed_SSID", "Ed_ReMAddra0", "Ed_ReMAddra1",
          "Ed_ReMAddra2", "Ed_RoMAddra0"},
         {"CB_SSIDBcasta"},
         Wireless,
         " Not read: AP Mode."},
        // The older guest scheme takes an authentication not read for plain WEP: the guests keep
        // their encryption.
        {"Wireless authentication with guests on",
         {"--profile", "configured"},
         "adSecAuthentication-a",
         {"adSecAuthentication-a"},
         nullptr,
         "Authentication",
         {"Ed_SecAutha", "Ed_SecAuthaTemp", "Ed_SecEncypa", "Ed_SecValKeya", "Ed_Key1a", "Ed_Key2a",
          "Ed_Key3a", "Ed_Key4a"},
         // The key settings, hidden without an authentication.
         {"Ed_KeySize", "Ed_KeyType", "GroupBox4", "Label8", "Label9", "Label10", "Label11", "LabelKey1",
          "LabelKey2", "LabelKey3", "LabelKey4"},
         Wireless,
         " Not read: Authentication."},
        {"Performance AP mode early", {}, "adAPMode", {}, nullptr, "", {"CB_APModea"}, {}, Performance},
        {"Performance radio in the middle",
         {},
         "adDTIM",
         {"adDTIM"},
         nullptr,
         "Data Rate, Beacon Interval, DTIM, Fragment Length, RTS Length, Transmit Power, Radio",
         {"Ed_Freqa", "Ed_DtRta", "Ed_DtLista", "CB_DtRta", "Ed_BeInta", "Ed_DTIMa", "Ed_FragLena", "Ed_RTSa",
          "CB_TranPa", "CB_RadWava"},
         {},
         Performance},
        {"Performance channel late",
         {},
         "hChannel",
         {"hChannel"},
         nullptr,
         "Channel",
         {"Ed_Chana", "CB_Chana"},
         {},
         Performance},
        {"Encryption security early",
         {"--profile", "enterprise"},
         "adSecAuthentication-a",
         {"adSecCipherType", "SecRADIUSServer"},
         "Not read, so not written: Authentication.",
         "",
         {"CB_SecAutha", "CB_SecEncypa", "CB_SecValKeya", "CB_KeyTypeA", "CB_KeySizeA", "Ed_Key1a",
          "Ed_Key2a", "Ed_Key3a", "Ed_Key4a"},
         {"Ed_Key1t", "Ed_Key2t", "Ed_Key3t", "Ed_Key4t"},
         Encryption},
        {"Encryption servers in the middle",
         {"--profile", "enterprise"},
         "SecRADIUSServer",
         {"SecRADIUSServer"},
         nullptr,
         "Security Server Settings",
         {"Ed_DNSIP", "Ed_DNS", "Ed_RadiusSrv", "Ed_RadiusSrv2", "Ed_RadiusPort", "Ed_RadiusSec"},
         {},
         Encryption},
        {"Encryption pass phrase last",
         {"--profile", "enterprise"},
         "adSecPassPhrase",
         {"adSecCipherType"},
         nullptr,
         "PassPhrase, Cipher Type, Group Key Update Interval",
         {"Ed_PassPha", "CB_CipherTypea", "Ed_GKUIa"},
         {},
         Encryption},
        // The one group Mode writes: nothing else to write, and nothing checked.
        {"Mode page",
         {"--profile", "ptmpbridge"},
         "adPtPRemoteAPMACAddress.1.4",
         {"adAPMode"},
         "Not read, so not written: AP Mode, Remote AP MAC Address, Root AP MAC Address, SSID.",
         "",
         {"CB_11a_APM", "Ed_ReMAddra0", "Ed_ReMAddra1", "Ed_ReMAddra2", "Ed_ReMAddra3", "Ed_ReMAddra4",
          "Ed_ReMAddra5", "Ed_ReMAddra6", "Ed_ReMAddra7", "Ed_RoMAddra0", "Ed_SSID"},
         {},
         Mode},
        {"Multi-SSID (older) guest in the middle",
         {"--profile", "mssidguests"},
         "adMSSIDSSID.1.3",
         {"adMSSIDIdvState.1.3"},
         nullptr,
         "Guest SSID2",
         {"Guest2CheckBox", "GuestSSIDEdit2", "TempComboBox2", "GuestKey2", "GuestKeyvalueEdit2",
          "GuestGroupID2", "GuestKeyType2", "GuestKeySize2", "GuestSSID2", "GuestSecurity2",
          "EnableEncryption2"},
         {},
         MultiSSIDOlder},
        {"Multi-SSID (newer) VLAN state",
         {"--profile", "newmssid", "--profile", "mssidguests"},
         "adVlanState.0",
         {"adVlanState.0"},
         nullptr,
         "VLAN State",
         {"CB_VLanState"},
         {"IfEnabMuSSID"},
         MultiSSIDNewer},
        {"WLAN Partition",
         {},
         "adInternalStationConnection",
         {"adInternalStationConnection"},
         "Not read, so not written: WLAN Partition.",
         "",
         {"CB_statconneta", "CB_WLANAccessa"},
         {},
         WLANPartition},
        {"Rogue AP filters",
         {},
         "securityTypeDetected",
         {"bssTypeDetected"},
         "Not read, so not written: BSS Type, Band and Security.",
         "",
         {"BSSTypRadGrp", "BandEdit", "SecEdit", "CheckBox_11b", "CheckBox_11g", "ChcBxo_off", "ChcBxo_wep",
          "ChcBxo_eap", "ChcBxo_psk", "WPA2EAPCkBox", "WPA2PSKCkBox", "WPA2AUTECkBox", "WPA2AUTPCkBox"},
         {},
         RogueAP},
        {"MAC ACL access control",
         {},
         "adAccSettingWirelessAccessControl",
         {"adAccSettingWirelessAccessControl"},
         "Not read, so not written: Access Control.",
         "",
         {"CB_FilterCtrl"},
         {"Ed_MacAdd"},
         MACACL},
        {"Admin login",
         {},
         "UserName",
         {"UserName"},
         "Not read, so not written: Login.",
         "",
         {"Ed_Usr", "Ed_Pwd"},
         {},
         Admin},
        {"Admin2 manager addresses",
         {"--profile", "configured"},
         "admManagerIP.1",
         {"admManagerIP.1"},
         nullptr,
         "Limit Administrator IP 1 and 2",
         {"Ed_IP1", "Ed_IP2"},
         {},
         Admin2},
        // Not written by the form: an unread state refuses no manager VLAN the device holds.
        {"Admin2 VLAN state",
         {"--profile", "configured"},
         "adVlanState.0",
         {},
         nullptr,
         "",
         {"CB_VLanState"},
         {},
         Admin2},
        {"Admin3 console",
         {},
         "telnet",
         {"telnet", "ssh"},
         nullptr,
         "Console Settings",
         {"CB_Telnet", "CB_Timeout"},
         {"RB_None", "RB_Telnet", "RB_SHH"},
         Admin3},
        {"Miscellaneous console",
         {},
         "telnet",
         {"telnet", "ssh"},
         "Not read, so not written: Console Settings.",
         "",
         {"TelnetCoBox", "CB_Timeout"},
         {"CB_Status", "CB_Telnet", "CB_SSH"},
         Misc},
        {"DHCP dynamic pool",
         {},
         "dynamicLease",
         {"dynamicIPStart"},
         nullptr,
         "Dynamic Pool Settings",
         {"Ed_IPAF", "Ed_PoolRan", "Ed_SubMask", "Ed_Gateway", "Ed_Wins", "Ed_DNS", "Ed_DomNa", "Ed_Lease",
          "CB_Status"},
         {},
         DHCP},
        {"LAN",
         {"--profile", "configured"},
         "hSubnetMask",
         {"hGetIPFrom"},
         "Not read, so not written: LAN.",
         "",
         {"CB_IPFrom", "ED_IpAddr", "ED_SubMask", "ED_DefGw", "ED_Restart"},
         {},
         LAN},
        {"Grouping",
         {"--profile", "grouping"},
         "UserLimit",
         {"LoadBalance"},
         "Not read, so not written: AP Grouping Settings.",
         "",
         {"CB_LoadB", "Ed_UsrL", "CB_LinkInt"},
         {},
         Grouping},
        {"Log Setting SMTP",
         {},
         "smtpRecipient",
         {"smtpState"},
         nullptr,
         "SMTP Setting",
         {"CB_SMTPStatus", "EDT_Server", "EDT_Sender", "EDT_Recipient"},
         {},
         LogSetting},
        {"Date and Time method",
         {},
         "sntptimesetmethod",
         {"sntptimesetmethod"},
         nullptr,
         "SNTP/NTP or Manual Setting",
         {"RB_Sntp", "RB_Manual", "Ed_sntpmethod"},
         {"Ed_WSNTPServ", "CB_WSNTPTimeZone", "CHB_DayLight", "CB_Year", "CB_Month", "CB_Day", "CB_Hour",
          "CB_Minute", "CB_Second", "Btn_Copy"},
         DateAndTime},
    };
    return rows;
}

TEST_P(GroupUnread, ShowsNothingOfItAndTheRestAsUsual)
{
    GetParam().run(*this);
}

INSTANTIATE_TEST_SUITE_P(Forms, GroupUnread, ::testing::ValuesIn(Rows()), CaseName());

} // namespace

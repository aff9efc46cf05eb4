// One lost answer while a form opens from its menu, on a device that answers everything else:
// the group whose read asked for it fails, and every other group of the form is still asked
// for and read. One object dropped early, in the middle and last in each form's read order.
// Where a row says so, the opening's status names the lost group, an unchanged Apply writes
// the rest and names it, and a Refresh then names it again as the opening did. With the status
// poll off, a probe of the agent tells whether it still answers: answered, the form reads on;
// unanswered too, the device is taken for silent and the reads after it end unsent.
#include "CloseQuery.h"
#include "FormFixture.h"
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
#include "TFM_Sytem.h"
#include "TFM_WMACACL.h"
#include "TFM_WPart.h"
#include "TFM_Wirless.h"
#include "TSNTPForm.h"
#include "TestEnv.h"
#include "TransferRoad.h"

#include <algorithm>
#include <cstring>
#include <sstream>

using namespace formtest;

namespace {

// A group the form reads as it opens, and an object only that group's read names (as devsim's
// request log names it).
template <class T> struct Group {
    std::unique_ptr<FormBinding> T::*binding;
    const char *asks;
};

const std::vector<Group<TFM_Wirless>> kWirless = {
    {&TFM_Wirless::AutoScanBinding, "adAutoChannelScan"},
    {&TFM_Wirless::APModeBinding, "adPtPRemoteAPMACAddress.1.1"},
    {&TFM_Wirless::SecurityBinding, "adSecAuthentication-a"},
    {&TFM_Wirless::KeyTypeBinding, "adSecKeyType"},
    {&TFM_Wirless::GuestStateBinding, "adMSSIDEncryption.1.2"},
    {&TFM_Wirless::GuestKeyIndexBinding, "adMSSIDKeyIndex.1.2"},
    {&TFM_Wirless::RadiusBinding, "SecRADIUSServer"},
    {&TFM_Wirless::RadiusBackupSupportBinding, "secBackupRadiusSupported"},
    {&TFM_Wirless::AccountBackupSupportBinding, "secBackupAccountSupported"},
    {&TFM_Wirless::AccountingBinding, "adSecAccountMode"},
    {&TFM_Wirless::PassPhraseBinding, "adSecPassPhrase"},
    {&TFM_Wirless::SSIDBinding, "hSSIDBroadcast"},
    {&TFM_Wirless::BgModeBinding, "adbgMode"},
    {&TFM_Wirless::SuperModeBinding, "adSuperMode"},
    {&TFM_Wirless::DynChannelListBinding, "adDynamicChannelList"},
    {&TFM_Wirless::StatChannelListBinding, "adStaticChannelList"},
    {&TFM_Wirless::RadioWaveBinding, "adRadioWave"},
    {&TFM_Wirless::MultiOverWDSBinding, "multioverwdsconsistent"},
};

const std::vector<Group<TFM_Performace>> kPerformace = {
    {&TFM_Performace::APModeReq, "adAPMode"},
    {&TFM_Performace::MSSIDStateReq, "adMSSIDState"},
    {&TFM_Performace::PriorityReq, "adMSSIDPriorityState"},
    {&TFM_Performace::GonlyReq, "ad80211gonly"},
    {&TFM_Performace::XRReq, "adXR"},
    {&TFM_Performace::WMMReq, "adWMM"},
    {&TFM_Performace::PreambleReq, "adPreamble"},
    {&TFM_Performace::BgModeReq, "adbgMode"},
    {&TFM_Performace::AntennaReq, "adAntenna"},
    {&TFM_Performace::SuperModeReq, "adSuperMode"},
    {&TFM_Performace::IgmpReq, "igmpSnooping"},
    {&TFM_Performace::RadioReq, "adBeaconInterval"},
    {&TFM_Performace::ChannelReq, "hChannel"},
    {&TFM_Performace::ChannelListReq, "hChannelList.2"},
    {&TFM_Performace::DynChannelListReq, "adDynamicChannelList"},
    {&TFM_Performace::StatChannelListReq, "adStaticChannelList"},
    {&TFM_Performace::AutoScanReq, "adAutoChannelScan"},
    {&TFM_Performace::DataRateSupportReq, "dataratecontrolsupport"},
};

const std::vector<Group<TFM_Encrypt>> kEncrypt = {
    {&TFM_Encrypt::SecurityReq, "adSecAuthentication-a"},
    {&TFM_Encrypt::ServersReq, "SecDNSIPAddress"},
    {&TFM_Encrypt::APModeReq, "adAPMode.0"},
    {&TFM_Encrypt::CodebaseReq, "codebase"},
    {&TFM_Encrypt::PassPhraseReq, "adSecPassPhrase"},
};

const std::vector<Group<TFM_ModeCFG>> kModeCFG = {
    {&TFM_ModeCFG::PageAReq, "adPtPRemoteAPMACAddress.1.1"},
    {&TFM_ModeCFG::AuthReq, "adSecAuthentication-a"},
};

const std::vector<Group<TFM_MultiSSIDNewForm>> kMultiSSIDNew = {
    {&TFM_MultiSSIDNewForm::ManagerVlanBinding, "admManagerVLANIDStatus"},
    {&TFM_MultiSSIDNewForm::PriorityBinding, "adMSSIDPriorityState"},
    {&TFM_MultiSSIDNewForm::APModeBinding, "adSuperMode.1"},
    {&TFM_MultiSSIDNewForm::MSSIDStateBinding, "adMSSIDState"},
    {&TFM_MultiSSIDNewForm::VlanStateBinding, "adVlanState.0"},
    {&TFM_MultiSSIDNewForm::GroupKeyBinding, "adSecGroupKeyUpdateInterval.0"},
    {&TFM_MultiSSIDNewForm::RadiusBinding, "SecRADIUSServer"},
    {&TFM_MultiSSIDNewForm::SSIDTableBinding, "adMSSIDSSID.1.1"},
};

// The guests' groups (an array) are not listed: the status names a lost one.
const std::vector<Group<TFM_MultiSSIDForm>> kMultiSSIDOld = {
    {&TFM_MultiSSIDForm::VlanBinding, "adVlanState.0"},
    {&TFM_MultiSSIDForm::MasterBinding, "adMSSIDSSID.1.1"},
    {&TFM_MultiSSIDForm::APModeBinding, "adSuperMode.1"},
};

const std::vector<Group<TFM_WPart>> kWPart = {{&TFM_WPart::Req, "adEthernet2WLANAccess"}};

// The walks and commands are read too; the groups a lost answer may hit are these.
const std::vector<Group<TFM_RogueForm>> kRogue = {
    {&TFM_RogueForm::RadioBinding, "adRadioWave"},
    {&TFM_RogueForm::FilterBinding, "bandTypeDetected"},
    {&TFM_RogueForm::DetectBinding, "rogueAPDetect"},
};

const std::vector<Group<TFM_WMACACL>> kWMACACL = {
    {&TFM_WMACACL::ModeReq, "adAccSettingWirelessAccessControl"},
    {&TFM_WMACACL::TableReq, "adEthernetFilterMACAddr.1"},
};

// Presses Apply; the status is then looked for in the form's status bar as it comes.
template <class T> std::function<std::string(T &)> Apply(TButton *T::*button)
{
    return [button](T &form) {
        (form.*button)->Click();
        return std::string();
    };
}

// A form with a status bar per page writes into one of them.
std::string StatusText(TForm &form)
{
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto *bar = dynamic_cast<TStatusBar *>(form.Components(i)); bar && !bar->SimpleText().empty())
            return bar->SimpleText();
    return std::string();
}

const std::vector<Group<TFM_Misc>> kMisc = {
    {&TFM_Misc::ConsoleReq, "telnet"},
    {&TFM_Misc::SSHReq, "ssh"},
};

const std::vector<Group<TFM_Admin>> kAdmin = {{&TFM_Admin::LoginReq, "UserName"}};

const std::vector<Group<TFM_Admin2>> kAdmin2 = {
    {&TFM_Admin2::ConsoleReq, "telnet"},
    {&TFM_Admin2::SshReq, "ssh"},
    {&TFM_Admin2::LoginReq, "UserName"},
    {&TFM_Admin2::ManagerIPReq, "admManagerIP.1"},
    {&TFM_Admin2::LedReq, "admLedStatus"},
    {&TFM_Admin2::LimitReq, "admlimitIPStatus"},
    {&TFM_Admin2::PingSupportReq, "pingControlSupported"},
    {&TFM_Admin2::PingReq, "pingcontrol"},
    {&TFM_Admin2::VlanStateReq, "adVlanState.0"},
    {&TFM_Admin2::ManagerVlanReq, "admManagerVLANIDStatus"},
    {&TFM_Admin2::ManagerVlanIdReq, "admManagerVLANID"},
};

const std::vector<Group<TFM_Admin3>> kAdmin3 = {
    {&TFM_Admin3::VlanStateReq, "adVlanState.0"},
    {&TFM_Admin3::WlanReq, "administrateApWithWlan"},
    {&TFM_Admin3::ManagerVlanReq, "admManagerVLANIDStatus"},
    {&TFM_Admin3::ManagerVlanIdReq, "admManagerVLANID"},
    {&TFM_Admin3::LimitReq, "admlimitIPStatus"},
    {&TFM_Admin3::ManagerIPReq, "admManagerIP.1"},
    {&TFM_Admin3::ConsoleReq, "telnet"},
    {&TFM_Admin3::SshReq, "ssh"},
    {&TFM_Admin3::LoginReq, "UserName"},
    {&TFM_Admin3::LedReq, "admLedStatus"},
    {&TFM_Admin3::PingSupportReq, "pingControlSupported"},
    {&TFM_Admin3::PingReq, "pingcontrol"},
};

const std::vector<Group<TFM_Sytem>> kSytem = {
    {&TFM_Sytem::APModeReq, "adAPMode"},
    {&TFM_Sytem::RestartReq, "sysRestart"},
};

const std::vector<Group<TFM_DHCP>> kDHCP = {
    {&TFM_DHCP::DynamicPoolReq, "dynamicLease"},
    {&TFM_DHCP::FunctionReq, "dynamicIPFunction"},
    {&TFM_DHCP::StaticRowReq, "1.3.6.1.4.1.32473.11.37.4.2.7.3.1.1.1"}, // staticIP.1
    {&TFM_DHCP::SystemIPReq, "hIPAddress"},
};

const std::vector<Group<TFM_LanCfg>> kLanCfg = {
    {&TFM_LanCfg::LanReq, "hGetIPFrom"},
    {&TFM_LanCfg::DynamicPoolReq, "dynamicLease"},
};

const std::vector<Group<TFM_Group>> kGroup = {
    {&TFM_Group::APModeReq, "adAPMode"},
    {&TFM_Group::GroupReq, "UserLimit"},
    {&TFM_Group::LinkStatusReq, "EthernetLinkStatus"},
};

const std::vector<Group<TFM_LogSet>> kLogSet = {
    {&TFM_LogSet::LogReq, "adLogServerIP"},
    {&TFM_LogSet::SmtpReq, "smtpSender"},
};

const std::vector<Group<TSNTPForm>> kSntp = {
    {&TSNTPForm::SntpReq, "timeOfDay"},
    {&TSNTPForm::MethodReq, "sntptimesetmethod"},
};

enum class Judge {
    StatusPoll,     // the main window's status poll, answered meanwhile
    Probe,          // no poll: the probe of the agent (sysUpTime.0), which is answered
    ProbeUnanswered // no poll, and the probe gets no answer either: the device is taken for
                    // silent, so the reads after the lost one in the same batch end unsent
};

struct Lost {
    const char *form;
    const char *dropped;
    // The groups whose read names it (by what they ask for); the object may be in two.
    std::vector<std::string> failing;
    // The lost group's label, which the opening's status names once its reads have ended (null:
    // not looked at); then what an unchanged Apply says and the sets it sends, since it began
    // ("object=value ..."), or only their objects where a row gives no values (null: no Apply).
    const char *label = nullptr;
    const char *applied = nullptr;
    std::vector<std::string> written = {};
    // devsim's profiles for the row, after those its form always has.
    std::vector<std::string> profile = {};
    // After the Apply, a Refresh shows the opening's status again (a form whose Refresh reads).
    bool refreshed = false;
    // Who tells whether the device still answers once the read timed out.
    Judge judge = Judge::StatusPoll;
};

std::string caseText(const Lost &lost)
{
    return std::string(lost.form) + "_" + lost.dropped +
           (lost.judge == Judge::Probe             ? "_judged_by_the_probe"
            : lost.judge == Judge::ProbeUnanswered ? "_probe_unanswered"
                                                   : "");
}

void PrintTo(const Lost &lost, std::ostream *out)
{
    *out << caseText(lost);
}

// The objects a set names, without their values ("a=1 b=\"x\"" gives "a b").
std::string SetObjects(const std::string &set)
{
    std::istringstream words(set);
    std::string objects;
    for (std::string word; words >> word;)
        if (const std::size_t equals = word.find('='); equals != std::string::npos && equals > 0)
            objects += (objects.empty() ? "" : " ") + word.substr(0, equals);
    return objects;
}

std::string caseName(const ::testing::TestParamInfo<Lost> &info)
{
    std::string name = caseText(info.param);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

class LostAnswer : public FormTest, public ::testing::WithParamInterface<Lost> {
protected:
    // Request PDUs since the form was chosen that named the object.
    int asked(const std::string &object) const
    {
        std::istringstream log(sim->requestLog().substr(m_from));
        int n = 0;
        for (std::string line; std::getline(log, line);)
            n += (line + " ").find(" " + object + " ") != std::string::npos ? 1 : 0;
        return n;
    }

    // apply presses the form's Apply as it opened and returns its status once Apply has ended
    // (empty: the form's status bar shows it once it has); refresh presses its Refresh.
    template <class T>
    void openAndCheck(TMenuItem *item, const std::vector<Group<T>> &groups,
                      const std::function<std::string(T &)> &apply = {},
                      const std::function<std::string(T &)> &refresh = {})
    {
        const std::vector<std::string> &failing = GetParam().failing;
        auto fails = [&](const Group<T> &g) {
            return std::find(failing.begin(), failing.end(), g.asks) != failing.end();
        };
        // Only the form asks, and the status poll, which shows that the device answers.
        mainWindow().Timer1->SetEnabled(false);
        pump(100);
        m_from = sim->requestLog().size();
        const bool shown = openFromMenu<T>(item, [&](T &f) {
            auto done = [&] {
                for (const Group<T> &g : groups)
                    if (const FormBinding *b = (f.*g.binding).get(); b && b->LastRead() == ReadState::Reading)
                        return false;
                return true;
            };
            EXPECT_TRUE(pumpUntil(done, 10000));
            for (const Group<T> &g : groups) {
                const FormBinding *b = (f.*g.binding).get();
                ASSERT_NE(b, nullptr) << g.asks;
                if (fails(g)) {
                    EXPECT_EQ(b->LastRead(), ReadState::Failed) << g.asks;
                } else {
                    EXPECT_TRUE(b->WasRead()) << g.asks << ": " << b->ReadFailure();
                    EXPECT_GT(asked(g.asks), 0) << g.asks;
                }
            }
            std::string opened;
            if (GetParam().label != nullptr)
                opened = namesTheLostGroup(f);
            if (apply && GetParam().applied != nullptr)
                applyUnchanged(f, apply);
            if (refresh && GetParam().refreshed) {
                refresh(f);
                EXPECT_TRUE(pumpUntil([&] { return StatusText(f) == opened; }, 10000)) << StatusText(f);
            }
        });
        EXPECT_TRUE(shown);
    }

    // The opening's status names the lost group; the status, once it does.
    template <class T> std::string namesTheLostGroup(T &f)
    {
        const std::string named = std::string(" Not read: ") + GetParam().label + ".";
        const auto names = [&] {
            const std::string text = StatusText(f);
            return text.size() > named.size() &&
                   text.compare(text.size() - named.size(), named.size(), named) == 0;
        };
        EXPECT_TRUE(pumpUntil(names, 10000)) << StatusText(f);
        return StatusText(f);
    }

    // An unchanged Apply writes the rest and names the lost group.
    template <class T> void applyUnchanged(T &f, const std::function<std::string(T &)> &apply)
    {
        const Lost &lost = GetParam();
        markSets();
        std::string status = apply(f);
        if (status.empty()) {
            // Until it says so, or until the Apply has ended saying something else: a wrong text
            // fails then, not at the bound.
            EXPECT_TRUE(pumpUntil(
                [&] { return StatusText(f) == lost.applied || (canClose(f) && !StatusText(f).empty()); },
                10000));
            status = StatusText(f);
        }
        EXPECT_EQ(status, lost.applied);
        const std::vector<std::string> all = sets();
        std::vector<std::string> written;
        for (std::size_t i = m_setsBefore; i < all.size(); ++i) {
            const std::string &set = all[i];
            const bool values = i - m_setsBefore < lost.written.size() &&
                                lost.written[i - m_setsBefore].find('=') != std::string::npos;
            written.push_back(values ? set : SetObjects(set));
        }
        EXPECT_EQ(written, lost.written);
    }

    void openWritingForm(const std::string &form, const MainMenuItems &menu);
    // The Apply's sets are those after this.
    void markSets() { m_setsBefore = sets().size(); }

private:
    std::size_t m_from = 0;
    std::size_t m_setsBefore = 0;
};

} // namespace

TEST_P(LostAnswer, FailsOnlyTheGroupThatAskedForIt)
{
    const Lost &lost = GetParam();
    // Time-outs 20 times shorter: a lost answer costs its group a second or a few, not a minute.
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    std::vector<std::string> args = {"--fault", std::string(lost.dropped) + "=drop"};
    if (lost.judge == Judge::ProbeUnanswered)
        args.insert(args.end(), {"--fault", "sysUpTime=drop"});
    const std::string form = lost.form;
    if (form == "MultiSSIDNew")
        args.insert(args.end(), {"--profile", "newmssid"});
    if (form == "MultiSSIDOld")
        args.insert(args.end(), {"--profile", "mssidguests"});
    if (form == "Admin2" || form == "Admin3")
        args.insert(args.end(), {"--profile", form == "Admin2" ? "admin2" : "admin3"});
    if (form == "LanCfg")
        args.insert(args.end(), {"--profile", "configured"});
    for (const std::string &profile : lost.profile)
        args.insert(args.end(), {"--profile", profile});
    if (form == "Group")
        args.insert(args.end(), {"--profile", "grouping"});
    // The date and time form's server and the device's client meet on a port of this case.
    const std::string tftpPort = std::to_string(kvtest::freeUdpPort());
    if (form == "Sntp") {
        setenv(kTftpPortVariable, tftpPort.c_str(), 1);
        args.insert(args.end(), {"--tftp-port", tftpPort});
    }
    startDevice(args);
    if (lost.judge != Judge::StatusPoll) {
        // A poll still out switches its timer on again when it ends.
        ASSERT_TRUE(pumpUntil(
            [this] {
                mainWindow().LedStatus->SetEnabled(false);
                return mainWindow().SysDescrReq->Outstanding == 0;
            },
            5000));
        mainWindow().LedStatus->SetEnabled(false);
    }
    const MainMenuItems &menu = mainWindow().MenuItems;
    // The Tools entries are enabled as their menu opens.
    menu.tools2->Click();
    if (form == "Misc")
        openAndCheck(menu.tMisc1, kMisc, Apply(&TFM_Misc::Bt_Apply));
    else if (form == "Admin")
        openAndCheck(menu.tAdmin2, kAdmin, Apply<TFM_Admin>(&TFM_Admin::OK));
    else if (form == "Admin2")
        openAndCheck(menu.tAdmin2, kAdmin2, Apply<TFM_Admin2>(&TFM_Admin2::OK));
    else if (form == "Admin3")
        openAndCheck(menu.tAdmin2, kAdmin3, Apply<TFM_Admin3>(&TFM_Admin3::OK));
    else if (form == "Sytem")
        openAndCheck(menu.tSystem2, kSytem);
    else if (form == "Wirless")
        openAndCheck(menu.hWirelessBand1, kWirless, Apply(&TFM_Wirless::Bt_Apply));
    else if (form == "Performace")
        openAndCheck(menu.adPerformance1, kPerformace, Apply(&TFM_Performace::Bt_Apply_a));
    else if (form == "Encrypt")
        openAndCheck(menu.adEncryption2, kEncrypt, Apply(&TFM_Encrypt::Bt_Apply));
    else if (form == "ModeCFG")
        openAndCheck(menu.adMode1, kModeCFG, Apply(&TFM_ModeCFG::Bt_Apply), Apply(&TFM_ModeCFG::Bt_Refresh));
    else if (form == "MultiSSIDNew")
        openAndCheck(menu.Ad_MultiSSID, kMultiSSIDNew, Apply(&TFM_MultiSSIDNewForm::ApplyBtn));
    else if (form == "MultiSSIDOld")
        openAndCheck(menu.Ad_MultiSSID, kMultiSSIDOld, Apply(&TFM_MultiSSIDForm::Bt_Apply));
    else if (form == "WPart")
        openAndCheck(menu.WirelessPatrition1, kWPart, Apply(&TFM_WPart::BT_Apply));
    else if (form == "Rogue")
        openAndCheck(menu.RogueAP, kRogue, Apply(&TFM_RogueForm::Apply_Btn));
    else if (form == "WMACACL")
        openAndCheck(menu.WirelessMACACL1, kWMACACL, Apply(&TFM_WMACACL::Bt_Apply));
    else
        openWritingForm(form, menu);
    unsetenv(kTftpPortVariable);
}

// The network forms that write, each with its unchanged Apply.
void LostAnswer::openWritingForm(const std::string &form, const MainMenuItems &menu)
{
    auto status = [](TStatusBar *bar) { return std::string(bar->SimpleText()); };
    if (form == "DHCP")
        openAndCheck<TFM_DHCP>(menu.adDHCPServer2, kDHCP, [&](TFM_DHCP &f) {
            EXPECT_TRUE(pumpUntil([&] { return f.Idle && !f.Busy; }, 10000));
            f.Bt_Apply->Click();
            return status(f.StatusBar1);
        });
    else if (form == "LanCfg")
        openAndCheck<TFM_LanCfg>(menu.hLan1, kLanCfg, [&](TFM_LanCfg &f) {
            f.BT_LanCfgOk->Click();
            return status(f.StatusBar);
        });
    else if (form == "Group")
        openAndCheck<TFM_Group>(menu.adGrouping2, kGroup, [&](TFM_Group &f) {
            f.Bt_Apply->Click();
            return status(f.StatusBar);
        });
    else if (form == "LogSet")
        openAndCheck<TFM_LogSet>(menu.stLogSetting1, kLogSet, [&](TFM_LogSet &f) {
            f.Bt_Apply->Click();
            return status(f.StatusBar1);
        });
    else
        openAndCheck<TSNTPForm>(menu.SNTP1, kSntp, [&](TSNTPForm &f) {
            // Once the zone list has come (the opening writes for it).
            EXPECT_TRUE(pumpUntil([&] { return f.Bt_Apply->Enabled() && f.Idle; }, 10000));
            markSets();
            f.Bt_Apply->Click();
            EXPECT_TRUE(pumpUntil([&] { return f.Idle && !f.SntpReq->Busy; }, 10000));
            return status(f.StatusBar);
        });
}

INSTANTIATE_TEST_SUITE_P(
    Dropped, LostAnswer,
    ::testing::Values(
        Lost{"Wirless", "adAutoChannelScan", {"adAutoChannelScan"}},
        Lost{"Wirless", "hSSID", {"adPtPRemoteAPMACAddress.1.1", "hSSIDBroadcast"}},
        Lost{"Wirless", "multioverwdsconsistent", {"multioverwdsconsistent"}},
        Lost{"Performace", "adAPMode", {"adAPMode"}, "AP Mode"},
        Lost{"Encrypt", "adSecAuthentication-a", {"adSecAuthentication-a"}, "Authentication"},
        Lost{"Encrypt", "codebase", {"codebase"}, "Code Base"},
        Lost{"Encrypt",
             "adSecPassPhrase",
             {"adSecPassPhrase"},
             "PassPhrase, Cipher Type, Group Key Update Interval"},
        Lost{"ModeCFG",
             "adPtPRemoteAPMACAddress.1.4",
             {"adPtPRemoteAPMACAddress.1.1"},
             "AP Mode, Remote AP MAC Address, Root AP MAC Address, SSID"},
        // Never written by the form's Apply: only the opening names it.
        Lost{"MultiSSIDNew", "admManagerVLANIDStatus", {"admManagerVLANIDStatus"}, "Manage VLAN Status"},
        Lost{"MultiSSIDNew", "adVlanState.0", {"adVlanState.0"}},
        Lost{"MultiSSIDNew", "SecRADIUSServer", {"SecRADIUSServer"}},
        // The groups an opening could not read are named in its status.
        Lost{"Sytem", "adAPMode", {"adAPMode"}, "AP Mode"},
        Lost{.form = "Encrypt",
             .dropped = "adSecAuthentication-a",
             .failing = {"adSecAuthentication-a"},
             .judge = Judge::Probe},
        Lost{.form = "Encrypt",
             .dropped = "adSecAuthentication-a",
             .failing = {"adSecAuthentication-a", "adAPMode.0", "codebase", "adSecPassPhrase"},
             .judge = Judge::ProbeUnanswered}),
    caseName);

// An unchanged Performance Apply's sets, less the one of the optional row whose answer was lost.
std::vector<std::string> PerformanceSetsWithout(const std::string &object)
{
    std::vector<std::string> sets = {
        "hChannel=6",
        "adbgMode=2",
        "adSuperMode=4",
        "adDataRate adBeaconInterval adDTIM adFragmentLength adRTSLength adTransmitPower adRadioWave",
        "adXR=0",
        "ad80211gonly=0",
        "adWMM=1",
        "adPreamble=1",
        "adAntenna=0",
        "igmpSnooping=0"};
    sets.erase(std::find_if(sets.begin(), sets.end(),
                            [&](const std::string &set) { return set.rfind(object + "=", 0) == 0; }));
    return sets;
}

Lost PerformanceRowLost(const char *object, const char *label, const char *applied)
{
    return Lost{"Performace", object, {object}, label, applied, PerformanceSetsWithout(object)};
}

// The forms whose Apply follows: the status names the lost group, the rest is written.
INSTANTIATE_TEST_SUITE_P(
    Applied, LostAnswer,
    ::testing::Values(
        Lost{"MultiSSIDNew",
             "adVlanState.0",
             {"adVlanState.0"},
             "VLAN State",
             "Setting success! Not read, so not written: VLAN State.",
             {"adMSSIDState=0", "adMSSIDPriorityState=0"}},
        Lost{"MultiSSIDOld",
             "adMSSIDSSID.1.3",
             {},
             "Guest SSID2",
             "Set Success! Not read, so not written: Guest SSID2.",
             {"adAPMode=1 adSuperMode.1=4", "adVlanState.0=1",
              "adMSSIDSSID.1.1=\"primary\" adVlanTagID.1.1=10",
              "adMSSIDIdvState.1.2=1 adMSSIDSSID.1.2=\"guest1\" adMSSIDAuth.1.2=2 adMSSIDEncryption.1.2=1 "
              "adMSSIDKeyIndex.1.2=2 adMSSIDKey.1.2=\"0a1b2c3d4e\" adVlanTagID.1.2=12",
              "adMSSIDIdvState.1.4=0 adVlanTagID.1.4=14"}},
        Lost{"WPart",
             "adEthernet2WLANAccess",
             {"adEthernet2WLANAccess"},
             "WLAN Partition",
             "Not read, so not written: WLAN Partition."},
        Lost{"Rogue",
             "bandTypeDetected",
             {"bandTypeDetected"},
             "BSS Type, Band and Security",
             "Not read, so not written: BSS Type, Band and Security."},
        Lost{"WMACACL",
             "adAccSettingWirelessAccessControl",
             {"adAccSettingWirelessAccessControl"},
             "Access Control",
             "Not read, so not written: Access Control."},
        Lost{"Wirless",
             "adSuperMode",
             {"adSuperMode"},
             "Super G Mode",
             "Setting Success! Not read, so not written: Super G Mode.",
             {"adVlanState=0 adMSSIDIdvState.1.2=0 adMSSIDIdvState.1.3=0 adMSSIDIdvState.1.4=0 "
              "adMSSIDEncryption.1.2=0 adMSSIDEncryption.1.3=0 adMSSIDEncryption.1.4=0",
              "hSSID=\"QRN-5290AP\" hSSIDBroadcast=1 hChannel=6", "adAPMode=1", "adAutoChannelScan=0",
              "adRadioWave=1", "adSecAuthentication-a=1 adSecEncryption-a=0", "adSecKeyType=2",
              "adSecAccountMode=0"}},
        // An optional row whose answer was lost is no row the device lacks.
        Lost{"Performace",
             "adPreamble",
             {"adPreamble"},
             "Preamble",
             "IEEE802.11g Setting Success! Not read, so not written: Preamble.",
             {"hChannel=6", "adbgMode=2", "adSuperMode=4",
              "adDataRate adBeaconInterval adDTIM adFragmentLength adRTSLength adTransmitPower adRadioWave",
              "adXR=0", "ad80211gonly=0", "adWMM=1", "adAntenna=0", "igmpSnooping=0"}},
        PerformanceRowLost("adbgMode", "Wireless B/G Mode",
                           "IEEE802.11g Setting Success! Not read, so not written: Wireless B/G Mode."),
        PerformanceRowLost("adXR", "XR", "IEEE802.11g Setting Success! Not read, so not written: XR."),
        PerformanceRowLost("ad80211gonly", "802.11g Only",
                           "IEEE802.11g Setting Success! Not read, so not written: 802.11g Only."),
        PerformanceRowLost("adWMM", "WMM", "IEEE802.11g Setting Success! Not read, so not written: WMM."),
        PerformanceRowLost("adAntenna", "Antenna Diversity",
                           "IEEE802.11g Setting Success! Not read, so not written: Antenna Diversity."),
        PerformanceRowLost("igmpSnooping", "IGMP Snooping",
                           "IEEE802.11g Setting Success! Not read, so not written: IGMP Snooping."),
        // On a device with data-rate control: neither the control nor the rates were read.
        Lost{"Performace",
             "dataratecontrolsupport",
             {"dataratecontrolsupport"},
             "Data Rate Control Support",
             "IEEE802.11g Setting Success! Not read, so not written: Data Rate Control Support.",
             {"hChannel=6", "adbgMode=2", "adSuperMode=4",
              "adDataRate adBeaconInterval adDTIM adFragmentLength adRTSLength adTransmitPower adRadioWave",
              "adXR=0", "ad80211gonly=0", "adWMM=1", "adPreamble=1", "adAntenna=0", "igmpSnooping=0"},
             {"datarate"}},
        // WPA2-Enterprise, which the list lacks, is kept: the security group sends nothing.
        Lost{"Encrypt",
             "SecRADIUSServer",
             {"SecDNSIPAddress"},
             "Security Server Settings",
             "Setting Success! Not read, so not written: Security Server Settings.",
             {"adSecCipherType=2 adSecGroupKeyUpdateInterval=3600"},
             {"enterprise"}},
        // Read and never written: the Apply's outcome names it all the same, and so does a Refresh.
        Lost{"ModeCFG",
             "adSecAuthentication-a",
             {"adSecAuthentication-a"},
             "Authentication",
             "IEEE802.11g Setting Success! Not read: Authentication.",
             {"adAPMode=1"},
             {},
             true},
        Lost{"MultiSSIDNew",
             "adMSSIDPriorityState",
             {"adMSSIDPriorityState"},
             "Priority",
             "Setting success! Not read, so not written: Priority.",
             {"adMSSIDState=0", "adVlanState.0=0"}},
        Lost{"Misc",
             "ssh",
             {"ssh"},
             "SSH",
             "Setting Success! Not read, so not written: SSH.",
             {"telnet=1 timeout=2"}},
        Lost{"Admin", "UserName", {"UserName"}, "Login", "Not read, so not written: Login.", {}},
        Lost{"Admin2",
             "admLedStatus",
             {"admLedStatus"},
             "LED Setting",
             "Set OK! Not read, so not written: LED Setting.",
             {"UserName=\"admin\" Password=\"password\"", "admlimitIPStatus=0", "telnet=1 timeout=2", "ssh=0",
              "pingcontrol=1", "admManagerVLANIDStatus=0", "admManagerVLANID=1"}},
        Lost{"Admin3",
             "administrateApWithWlan",
             {"administrateApWithWlan"},
             "Administrate AP with WLAN",
             "Set OK! Not read, so not written: Administrate AP with WLAN.",
             {"UserName=\"admin\" Password=\"password\"", "admlimitIPStatus=0", "admManagerVLANIDStatus=0",
              "admManagerVLANID=1", "admLedStatus=1", "telnet=1 timeout=2", "ssh=0", "pingcontrol=1"}}),
    caseName);

// The network forms that write: their unchanged Apply writes the rest and names the group lost.
const Lost kNetworkLost[] = {
    {"DHCP",
     "dynamicLease",
     {"dynamicLease"},
     "Dynamic Pool Settings",
     "Setting Success! Not read, so not written: Dynamic Pool Settings.",
     {"dynamicIPFunction"}},
    {"LanCfg",
     "dynamicLease",
     {"dynamicLease"},
     "DHCP Dynamic Pool",
     "Set Success! Not read: DHCP Dynamic Pool.",
     {"hGetIPFrom hIPAddress hSubnetMask hDefaultGateway"}},
    {"Group",
     "UserLimit",
     {"UserLimit"},
     "AP Grouping Settings",
     "Not read, so not written: AP Grouping Settings.",
     {}},
    {"LogSet",
     "smtpSender",
     {"smtpSender"},
     "SMTP Setting",
     "Set Success! Not read, so not written: SMTP Setting.",
     {"adSystemLevel adWirelessLevel adNoticeLevel adRemoteLogState adLogServerIP"}},
    {"Sntp",
     "sntptimesetmethod",
     {"sntptimesetmethod"},
     "SNTP/NTP or Manual Setting",
     "Setting success! Not read, so not written: SNTP/NTP or Manual Setting.",
     {"sntpServerIP sntpTZoneIdx dayLightSaving", "sntpsetTimeofDay"}},
};

INSTANTIATE_TEST_SUITE_P(DroppedWriting, LostAnswer, ::testing::ValuesIn(kNetworkLost), caseName);

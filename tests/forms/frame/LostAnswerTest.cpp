// One lost answer while a form opens from its menu, on a device that answers everything else:
// the group whose read asked for it fails, and every other group of the form is still asked
// for and read. One object dropped early, in the middle and last in each form's read order.
#include "FormFixture.h"
#include "TFM_DHCP.h"
#include "TFM_Encrypt.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_LogSet.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Performace.h"
#include "TFM_Wirless.h"
#include "TSNTPForm.h"
#include "TestEnv.h"
#include "TransferRoad.h"

#include <algorithm>
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

struct Lost {
    const char *form;
    const char *dropped;
    // The groups whose read names it (by what they ask for); the object may be in two.
    std::vector<std::string> failing;
    // A form that writes: the status of the unchanged Apply that follows, and the objects of
    // each set it sends (the groups it writes).
    const char *applied = nullptr;
    std::vector<std::string> written = {};
};

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
    std::string name = std::string(info.param.form) + "_" + info.param.dropped;
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

    // apply presses the form's Apply as it opened and returns its status once Apply has ended.
    template <class T>
    void openAndCheck(TMenuItem *item, const std::vector<Group<T>> &groups,
                      const std::function<std::string(T &)> &apply = {})
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
            if (!apply || GetParam().applied == nullptr)
                return;
            markSets();
            EXPECT_EQ(apply(f), GetParam().applied);
            std::vector<std::string> written;
            for (std::size_t i = m_setsBefore; i < sets().size(); ++i)
                written.push_back(SetObjects(sets()[i]));
            EXPECT_EQ(written, GetParam().written);
        });
        EXPECT_TRUE(shown);
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
    const std::string form = lost.form;
    if (form == "MultiSSIDNew")
        args.insert(args.end(), {"--profile", "newmssid"});
    if (form == "LanCfg")
        args.insert(args.end(), {"--profile", "configured"});
    if (form == "Group")
        args.insert(args.end(), {"--profile", "grouping"});
    // The date and time form's server and the device's client meet on a port of this case.
    const std::string tftpPort = std::to_string(kvtest::freeUdpPort());
    if (form == "Sntp") {
        setenv(kTftpPortVariable, tftpPort.c_str(), 1);
        args.insert(args.end(), {"--tftp-port", tftpPort});
    }
    startDevice(args);
    const MainMenuItems &menu = mainWindow().MenuItems;
    if (form == "Wirless")
        openAndCheck(menu.hWirelessBand1, kWirless);
    else if (form == "Performace")
        openAndCheck(menu.adPerformance1, kPerformace);
    else if (form == "Encrypt")
        openAndCheck(menu.adEncryption2, kEncrypt);
    else if (form == "MultiSSIDNew")
        openAndCheck(menu.Ad_MultiSSID, kMultiSSIDNew);
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
    ::testing::Values(Lost{"Wirless", "adAutoChannelScan", {"adAutoChannelScan"}},
                      Lost{"Wirless", "hSSID", {"adPtPRemoteAPMACAddress.1.1", "hSSIDBroadcast"}},
                      Lost{"Wirless", "multioverwdsconsistent", {"multioverwdsconsistent"}},
                      Lost{"Performace", "adAPMode", {"adAPMode"}},
                      Lost{"Performace", "adPreamble", {"adPreamble"}},
                      Lost{"Performace", "dataratecontrolsupport", {"dataratecontrolsupport"}},
                      Lost{"Encrypt", "adSecAuthentication-a", {"adSecAuthentication-a"}},
                      Lost{"Encrypt", "codebase", {"codebase"}},
                      Lost{"Encrypt", "adSecPassPhrase", {"adSecPassPhrase"}},
                      Lost{"MultiSSIDNew", "admManagerVLANIDStatus", {"admManagerVLANIDStatus"}},
                      Lost{"MultiSSIDNew", "adVlanState.0", {"adVlanState.0"}},
                      Lost{"MultiSSIDNew", "SecRADIUSServer", {"SecRADIUSServer"}}),
    caseName);

// The network forms that write: their unchanged Apply writes the rest and names the group lost.
const Lost kNetworkLost[] = {
    {"DHCP",
     "dynamicLease",
     {"dynamicLease"},
     "Setting Success! Not read, so not written: Dynamic Pool Settings.",
     {"dynamicIPFunction"}},
    {"LanCfg",
     "dynamicLease",
     {"dynamicLease"},
     "Set Success! Not read: DHCP Dynamic Pool.",
     {"hGetIPFrom hIPAddress hSubnetMask hDefaultGateway"}},
    {"Group", "UserLimit", {"UserLimit"}, "Not read, so not written: AP Grouping Settings.", {}},
    {"LogSet",
     "smtpSender",
     {"smtpSender"},
     "Set Success! Not read, so not written: SMTP Setting.",
     {"adSystemLevel adWirelessLevel adNoticeLevel adRemoteLogState adLogServerIP"}},
    {"Sntp",
     "sntptimesetmethod",
     {"sntptimesetmethod"},
     "Setting success! Not read, so not written: SNTP/NTP or Manual Setting.",
     {"sntpServerIP sntpTZoneIdx dayLightSaving", "sntpsetTimeofDay"}},
};

INSTANTIATE_TEST_SUITE_P(DroppedWriting, LostAnswer, ::testing::ValuesIn(kNetworkLost), caseName);

// One lost answer while a form opens from its menu, on a device that answers everything else:
// the group whose read asked for it fails, and every other group of the form is still asked
// for and read. One object dropped early, in the middle and last in each form's read order. With
// the status poll off, a probe of the agent tells whether it still answers: answered, the form
// reads on; unanswered too, the device is taken for silent and the reads after it end unsent.
#include "FormFixture.h"
#include "TFM_Encrypt.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Performace.h"
#include "TFM_Wirless.h"

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

    template <class T> void openAndCheck(TMenuItem *item, const std::vector<Group<T>> &groups)
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
        });
        EXPECT_TRUE(shown);
    }

private:
    std::size_t m_from = 0;
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
    if (form == "Wirless")
        openAndCheck(menu.hWirelessBand1, kWirless);
    else if (form == "Performace")
        openAndCheck(menu.adPerformance1, kPerformace);
    else if (form == "Encrypt")
        openAndCheck(menu.adEncryption2, kEncrypt);
    else
        openAndCheck(menu.Ad_MultiSSID, kMultiSSIDNew);
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
                      Lost{"MultiSSIDNew", "SecRADIUSServer", {"SecRADIUSServer"}},
                      Lost{"Encrypt", "adSecAuthentication-a", {"adSecAuthentication-a"}, Judge::Probe},
                      Lost{"Encrypt",
                           "adSecAuthentication-a",
                           {"adSecAuthentication-a", "adAPMode.0", "codebase", "adSecPassPhrase"},
                           Judge::ProbeUnanswered}),
    caseName);

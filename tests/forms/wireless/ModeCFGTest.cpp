// The Mode form against the simulated device.
#include "CountdownWatch.h"
#include "FormFixture.h"
#include "ProfileText.h"
#include "ShellTexts.h"
#include "TFM_ModeCFG.h"

using namespace formtest;

namespace {

class ModeCFG : public FormTest {
public:
    static std::string macs(const char *first, const char *second)
    {
        std::string out = std::string(" adPtPRemoteAPMACAddress.1.1=0x") + first +
                          " adPtPRemoteAPMACAddress.1.2=0x" + second;
        for (int i = 3; i <= 8; ++i)
            out += " adPtPRemoteAPMACAddress.1." + std::to_string(i) + "=0x000000000000";
        return out;
    }
};

} // namespace

// Shown on devices without Multi-SSID, whose older firmware has no SSID row.
TEST_F(ModeCFG, OpensFromTheMenuOnADeviceWithoutMultiSSID)
{
    startDevice({"--profile", "oldfirmware", "--profile",
                 writeProfile("set adAPMode 2\nset adPtPRemoteAPMACAddress.1.1 0x00112233AABB\n")});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    ASSERT_TRUE(menu.adMode1->Visible());
    EXPECT_TRUE(openFromMenu<TFM_ModeCFG>(menu.adMode1, [&](TFM_ModeCFG &f) {
        EXPECT_EQ(f.Text(), "Advanced \\ Mode");
        EXPECT_EQ(f.TS_80211a->Text(), "IEEE 802.11g");
        EXPECT_EQ(f.CB_11a_APM->Text(), "PtP Bridge");
        EXPECT_EQ(f.Ed_ReMAddra[0]->Text(), "00112233AABB");
        EXPECT_EQ(f.Ed_ReMAddra[1]->Text(), ""); // the empty slot shows empty
        EXPECT_FALSE(f.Ed_ReMAddra[0]->ReadOnly());
        EXPECT_TRUE(f.Ed_ReMAddra[1]->ReadOnly());
        EXPECT_FALSE(f.Ed_SSID->Visible());
    }));
    expectNoSet();
}

struct PartnerWrite {
    int item;
    std::string set;
};

class ModeCFGPartners : public ModeCFG, public ::testing::WithParamInterface<PartnerWrite> {};

// The bridges without an access point take their partners as the bridges do: one for PtP,
// all eight (empty slots as the empty MAC) for multipoint.
TEST_P(ModeCFGPartners, AreWrittenWithTheMode)
{
    startDevice();
    auto f = openForm(FM_ModeCFG);
    f->CB_11a_APM->SetItemIndex(GetParam().item);
    f->CB_11a_APMChange(nullptr);
    type(f->Ed_ReMAddra[0], "00112233AABB");
    type(f->Ed_ReMAddra[1], "a0b1c2d3e4f5");
    click(f->Bt_Apply);
    expectSets({GetParam().set});
    EXPECT_EQ(f->StatusBar->SimpleText(), "IEEE802.11g Setting Success!");
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(f->Ed_ReMAddra[i]->Text(), "") << i;
    EXPECT_EQ(f->Ed_ReMAddra[1]->Text(), "a0b1c2d3e4f5");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeCFGPartners,
    ::testing::Values(PartnerWrite{2, "adAPMode=3" + ModeCFG::macs("00112233AABB", "A0B1C2D3E4F5")},
                      PartnerWrite{6, "adAPMode=7" + ModeCFG::macs("00112233AABB", "A0B1C2D3E4F5")},
                      PartnerWrite{5, "adAPMode=6 adPtPRemoteAPMACAddress.1.1=0x00112233AABB"}));

// A refused length leaves no empty-slot text in the edits: once mended, the next Apply passes.
TEST_F(ModeCFG, ARefusedLengthLeavesTheEditsAsTyped)
{
    startDevice();
    auto f = openForm(FM_ModeCFG);
    f->CB_11a_APM->SetItemIndex(2);
    f->CB_11a_APMChange(nullptr);
    type(f->Ed_ReMAddra[0], "00112233AABB");
    type(f->Ed_ReMAddra[2], "00112233445");
    expectBox("The length is 12 in IEEE802.11g MAC address.", "Error");
    click(f->Bt_Apply);
    for (int i : {1, 3, 4, 5, 6, 7})
        EXPECT_EQ(f->Ed_ReMAddra[i]->Text(), "") << i;
    EXPECT_EQ(f->Ed_ReMAddra[2]->Text(), "00112233445");
    type(f->Ed_ReMAddra[2], "001122334455");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(), "IEEE802.11g Setting Success!");
    EXPECT_EQ(sets().size(), 1u);
}

struct MacRefusal {
    const char *Name;
    int Mode;
    std::vector<const char *> Macs;
    const char *Box; // a check's message; null: the device refuses the write
    const char *Caption;
    std::vector<std::string> Device = {};
    std::string Set = {}; // the refused write
};

class ModeCFGRefusal : public ModeCFG, public ::testing::WithParamInterface<MacRefusal> {};

// A refusal, by a check or by the device, leaves the edits as the user left them (no empty-slot
// text in them), so that the next Apply, nothing changed, acts again as the first did.
TEST_P(ModeCFGRefusal, SendsNothingOrTheRefusedWriteAgain)
{
    const MacRefusal &c = GetParam();
    startDevice(c.Device);
    auto f = openForm(FM_ModeCFG);
    f->CB_11a_APM->SetItemIndex(c.Mode);
    f->CB_11a_APMChange(nullptr);
    for (std::size_t i = 0; i < c.Macs.size(); ++i)
        type(f->Ed_ReMAddra[i], c.Macs[i]);
    std::vector<std::string> left;
    for (TEdit *edit : f->Ed_ReMAddra)
        left.push_back(edit->Text());
    std::vector<std::string> refused;
    for (int apply = 0; apply < 2; ++apply) {
        if (c.Box)
            expectBox(c.Box, c.Caption);
        else
            refused.push_back(c.Set + " (genErr)");
        click(f->Bt_Apply);
        expectSets(refused);
        for (std::size_t i = 0; i < left.size(); ++i)
            EXPECT_EQ(f->Ed_ReMAddra[i]->Text(), left[i]) << i;
    }
    if (!c.Box) {
        EXPECT_EQ(f->StatusBar->SimpleText(), "IEEE802.11g Setting Error! Not written: AP Mode, Remote AP "
                                              "MAC Address, Root AP MAC Address, SSID.");
    } else {
        // A failed MAC check says so in the bar too; the duplicate check only in its box.
        const bool duplicate = std::string(c.Box) == "Exsit same MAC address.";
        EXPECT_EQ(f->StatusBar->SimpleText(), duplicate ? "" : "IEEE802.11g Setting Error!");
    }
}

const char kBridgePartners[] =
    " adPtPRemoteAPMACAddress.1.1=0x0012AB000101 adPtPRemoteAPMACAddress.1.2=0x0012AB000202"
    " adPtPRemoteAPMACAddress.1.3=0x0012AB000303 adPtPRemoteAPMACAddress.1.4=0x000000000000"
    " adPtPRemoteAPMACAddress.1.5=0x000000000000 adPtPRemoteAPMACAddress.1.6=0x000000000000"
    " adPtPRemoteAPMACAddress.1.7=0x000000000000 adPtPRemoteAPMACAddress.1.8=0x000000000000";

INSTANTIATE_TEST_SUITE_P(
    Cases, ModeCFGRefusal,
    ::testing::Values(
        MacRefusal{"ElevenInTheThird",
                   2,
                   {"00112233AABB", "001122334455", "00112233445"},
                   "The length is 12 in IEEE802.11g MAC address.",
                   "Error"},
        MacRefusal{"ShortPointToPoint",
                   1,
                   {"0011"},
                   "The length is 12 in IEEE802.11g Root AP MAC Address.",
                   "Error"},
        // Partners differing only in letter case are one partner.
        MacRefusal{
            "SameInOtherCase", 2, {"00112233aabb", "00112233AABB"}, "Exsit same MAC address.", "Warning"},
        // A PtP bridge with partners, PtMP chosen: the mode refused.
        MacRefusal{"ModeRefused",
                   2,
                   {},
                   nullptr,
                   nullptr,
                   {"--profile", "nomssid", "--profile", "bridge", "--profile", "partners", "--fault",
                    "adAPMode=error:genErr@set"},
                   std::string("adAPMode=3") + kBridgePartners},
        // A PtMP bridge: an empty slot refused.
        MacRefusal{"EmptySlotRefused",
                   2,
                   {},
                   nullptr,
                   nullptr,
                   {"--profile", "ptmpbridge", "--fault", "adPtPRemoteAPMACAddress.1.4=error:genErr@set"},
                   std::string("adAPMode=3") + kBridgePartners},
        // The point-to-point partner left empty, the mode refused.
        MacRefusal{"EmptyPartnerRefused",
                   1,
                   {},
                   nullptr,
                   nullptr,
                   {"--fault", "adAPMode=error:genErr@set"},
                   "adAPMode=2 adPtPRemoteAPMACAddress.1.1=0x000000000000"}),
    [](const auto &test) { return std::string(test.param.Name); });

TEST_F(ModeCFG, AccessPointWritesOnlyTheModeThenRestarts)
{
    startDevice({"--profile", "nodeferred", "--profile", writeProfile("set adAPMode 2\n"), "--reboot-silence",
                 "0.1"});
    auto f = openForm(FM_ModeCFG);
    type(f->Ed_ReMAddra[0], "00112233AABB");
    f->CB_11a_APM->SetItemIndex(0);
    f->CB_11a_APMChange(nullptr);
    CountdownWatch watch;
    click(f->Bt_Apply);
    EXPECT_TRUE(watch.shown());
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, 3000));
    expectSets({"adAPMode=1", "upgradesettingcommand=4"});
}

// A device that keeps changes pending does not restart: no countdown to wait through.
TEST_F(ModeCFG, DeferredSavingStillShowsTheCountdownButSendsNoRestart)
{
    startDevice();
    auto f = openForm(FM_ModeCFG);
    f->CB_11a_APM->SetItemIndex(1);
    CountdownWatch watch;
    click(f->Bt_Apply);
    EXPECT_TRUE(watch.shown());
    EXPECT_EQ(watch.ticksLeftAtReboot(), -1);
    expectSets({"adAPMode=2 adPtPRemoteAPMACAddress.1.1=0x000000000000"});
}

class ModeCFGPartnerless : public ModeCFG, public ::testing::WithParamInterface<std::pair<int, int>> {};

// The repeater and the client name no partner here: whatever the partner slots hold, only the
// mode goes out.
TEST_P(ModeCFGPartnerless, WritesOnlyTheMode)
{
    const auto [item, value] = GetParam();
    startDevice(
        {"--profile", writeProfile("set adAPMode 3\nset adPtPRemoteAPMACAddress.1.1 0x00112233AABB\n")});
    auto f = openForm(FM_ModeCFG);
    type(f->Ed_ReMAddra[1], "A0B1C2D3E4F5");
    f->CB_11a_APM->SetItemIndex(item);
    f->CB_11a_APMChange(nullptr);
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(), "IEEE802.11g Setting Success!");
    expectSets({"adAPMode=" + std::to_string(value)});
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeCFGPartnerless, ::testing::Values(std::pair{3, 4}, std::pair{4, 5}));

TEST_F(ModeCFG, UnreadPartnersAreNotWritten)
{
    startDevice({"--fault", "adPtPRemoteAPMACAddress.1.4=error:genErr@get"});
    auto f = openForm(FM_ModeCFG);
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar->SimpleText(),
              "Not read, so not written: AP Mode, Remote AP MAC Address, Root AP MAC Address, SSID.");
    expectNoSet();
}

TEST_F(ModeCFG, RefusedWriteShowsTheError)
{
    startDevice({"--fault", "adAPMode=error:genErr@set"});
    auto f = openForm(FM_ModeCFG);
    click(f->Bt_Apply);
    EXPECT_EQ(
        f->StatusBar->SimpleText(),
        "IEEE802.11g Setting Error! Not written: AP Mode, Remote AP MAC Address, Root AP MAC Address, SSID.");
    expectSets({"adAPMode=1 (genErr)"});
}

TEST_F(ModeCFG, EditablePartnersFollowTheMode)
{
    startDevice();
    auto f = openForm(FM_ModeCFG);
    const std::vector<std::pair<int, std::string>> cases = {{0, "--------"}, {1, "E-------"}, {2, "EEEEEEEE"},
                                                            {3, "--------"}, {4, "--------"}, {5, "E-------"},
                                                            {6, "EEEEEEEE"}};
    for (const auto &[mode, expected] : cases) {
        f->CB_11a_APM->SetItemIndex(mode);
        f->CB_11a_APMChange(nullptr);
        std::string editable;
        for (TEdit *e : f->Ed_ReMAddra)
            editable += e->ReadOnly() ? '-' : 'E';
        EXPECT_EQ(editable, expected) << mode;
        EXPECT_EQ(f->Ed_RoMAddra0->ReadOnly(), mode != 3) << mode;
    }
}

// The model has no root AP or SSID row: both hidden and the buttons 60 pixels higher.
TEST_F(ModeCFG, Layout)
{
    startDevice();
    auto f = openForm(FM_ModeCFG);
    EXPECT_FALSE(f->Ed_SSID->Visible());
    EXPECT_FALSE(f->Label7->Visible());
    EXPECT_FALSE(f->Ed_RoMAddra0->Visible());
    EXPECT_EQ(f->Bt_Apply->Top(), 306 - 60);
    EXPECT_EQ(f->ClientHeight(), 364 - 60);
    checkLayout(f.get(), "TFM_ModeCFG");
}

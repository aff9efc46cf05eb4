// The wireless MAC access-control form against the simulated device.
#include "CountdownWatch.h"
#include "FormFixture.h"
#include "ProfileText.h"
#include "TFM_WMACACL.h"

#include <cstdio>

using namespace formtest;

namespace {

// Slots 1 and 3 used, slot 2 empty.
const char kTwoUsed[] = "set adEthernetFilterMACAddr.1 0x00112233AABB\n"
                        "set adEthernetFilterMACAddr.3 0x0011223344CC\n";

class WMACACL : public FormTest {
protected:
    FormHandle<TFM_WMACACL> open()
    {
        auto f = openForm(FM_WMACACL);
        EXPECT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 5000));
        return f;
    }
    static std::vector<std::string> listed(TFM_WMACACL &f)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < f.LV_UerMACAddress->Items()->Count(); ++i) {
            TListItem *row = f.LV_UerMACAddress->Items()->Item(i);
            rows.push_back(row->Caption() + " " + row->SubItems()->Strings(0));
        }
        return rows;
    }
};

} // namespace

TEST_F(WMACACL, OpensFromTheMenuAndListsTheUsedSlots)
{
    startDevice(
        {"--profile", writeProfile(kTwoUsed + std::string("set adAccSettingWirelessAccessControl 2\n"))});
    MainMenuItems &menu = mainWindow().MenuItems;
    EXPECT_TRUE(openFromMenu<TFM_WMACACL>(menu.WirelessMACACL1, [&](TFM_WMACACL &f) {
        EXPECT_TRUE(pumpUntil([&] { return f.Idle && !f.UsedReq->Busy; }, 5000));
        EXPECT_EQ(listed(f), (std::vector<std::string>{"1 00112233AABB", "2 0011223344CC"}));
        EXPECT_EQ(f.LV_GetMAC->Items()->Count(), 16);
        EXPECT_EQ(f.CB_FilterCtrl->Text(), "Reject");
        EXPECT_EQ(f.StatusBar1->SimpleText(), "Get OK!");
    }));
    expectNoSet();
}

TEST_F(WMACACL, AddWritesTheModeThenTheFirstFreeSlot)
{
    startDevice({"--profile", writeProfile(kTwoUsed)});
    auto f = open();
    f->CB_FilterCtrl->SetItemIndex(0);
    type(f->Ed_MacAdd, "a0b1c2d3e4f5");
    click(f->Bt_Apply);
    EXPECT_FALSE(f->Idle);
    EXPECT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 5000));
    expectSets({"adAccSettingWirelessAccessControl=1", "adEthernetFilterMACAddr.2=0xA0B1C2D3E4F5"});
    EXPECT_EQ(listed(*f), (std::vector<std::string>{"1 00112233AABB", "2 A0B1C2D3E4F5", "3 0011223344CC"}));
}

// The added address leaves the edit: a later change of the mode alone is no second add.
TEST_F(WMACACL, AfterAnAddTheModeAloneCanBeChanged)
{
    startDevice({"--profile", writeProfile(kTwoUsed)});
    auto f = open();
    f->CB_FilterCtrl->SetItemIndex(0);
    type(f->Ed_MacAdd, "a0b1c2d3e4f5");
    click(f->Bt_Apply);
    EXPECT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 5000));
    EXPECT_EQ(f->Ed_MacAdd->Text(), "");
    f->CB_FilterCtrl->SetItemIndex(1);
    click(f->Bt_Apply);
    expectSets({"adAccSettingWirelessAccessControl=1", "adEthernetFilterMACAddr.2=0xA0B1C2D3E4F5",
                "adAccSettingWirelessAccessControl=2"});
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set OK!");
}

struct Refusal {
    const char *Name;
    std::string Profile;
    const char *Typed;
    const char *Box;
    const char *Caption;
};

class WMACACLRefusal : public WMACACL, public ::testing::WithParamInterface<Refusal> {};

// Each refusal comes before the mode is written: nothing at all goes out.
TEST_P(WMACACLRefusal, SendsNothing)
{
    startDevice({"--profile", writeProfile(GetParam().Profile)});
    auto f = open();
    f->CB_FilterCtrl->SetItemIndex(0);
    type(f->Ed_MacAdd, GetParam().Typed);
    expectBox(GetParam().Box, GetParam().Caption);
    click(f->Bt_Apply);
    EXPECT_TRUE(f->Idle);
    pump(100);
    expectNoSet();
}

std::string FullTable()
{
    std::string lines;
    for (int slot = 1; slot <= 16; ++slot) {
        char mac[13];
        std::snprintf(mac, sizeof mac, "%012X", slot);
        lines += "set adEthernetFilterMACAddr." + std::to_string(slot) + " 0x" + mac + "\n";
    }
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WMACACLRefusal,
    ::testing::Values(
        Refusal{"DuplicateInOtherCase", kTwoUsed, "00112233aabb", "Reject: The MAC already exists ",
                "Warning"},
        Refusal{"ElevenCharacters", kTwoUsed, "00112233AAB", "The length is 12 in MAC Address.", "Error"},
        Refusal{"AllZero", kTwoUsed, "000000000000", "Please input a valid MAC Address.", "Warning"},
        Refusal{"FullTable", FullTable(), "A0B1C2D3E4F5",
                "The MAC address table is full: delete an address before adding another.", "Warning"}),
    [](const auto &test) { return std::string(test.param.Name); });

TEST_F(WMACACL, DisableWritesOnlyTheModeAndRestarts)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto f = open();
    f->CB_FilterCtrl->SetItemIndex(2);
    f->CB_FilterCtrlChange(nullptr);
    EXPECT_FALSE(f->Ed_MacAdd->Enabled());
    type(f->Ed_MacAdd, "A0B1C2D3E4F5");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set OK!");
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, 3000));
    expectSets({"adAccSettingWirelessAccessControl=3", "upgradesettingcommand=4"});
}

TEST_F(WMACACL, DeleteEmptiesTheSlotAndTheListShrinks)
{
    startDevice({"--profile", writeProfile(kTwoUsed)});
    auto f = open();
    f->LV_UerMACAddress->SetItemIndex(1);
    click(f->Bt_Del);
    EXPECT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 5000));
    expectSets({"adEthernetFilterMACAddr.3=0x000000000000"});
    EXPECT_EQ(listed(*f), (std::vector<std::string>{"1 00112233AABB"}));
}

// The restart comes after the slot was emptied, never while the write is still out.
TEST_F(WMACACL, DeleteCountdownStartsWhenTheWriteCompleted)
{
    startDevice({"--profile", "nodeferred", "--profile", writeProfile(kTwoUsed), "--reboot-silence", "0.1",
                 "--fault", "adEthernetFilterMACAddr.1=delay:300"});
    auto f = open();
    std::string statusWhenShown;
    CountdownWatch watch([&] { statusWhenShown = f->StatusBar1->SimpleText(); });
    f->LV_UerMACAddress->SetItemIndex(0);
    click(f->Bt_Del);
    EXPECT_TRUE(pumpUntil([&] { return watch.shown() && FM_Waiting == nullptr && f->Idle; }, 8000));
    EXPECT_EQ(statusWhenShown, "Refresh..."); // the write's answer had come
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, 3000));
    expectSets({"adEthernetFilterMACAddr.1=0x000000000000", "upgradesettingcommand=4"});
}

TEST_F(WMACACL, FailedDeleteShowsTheErrorAndNoCountdown)
{
    startDevice({"--profile", "nodeferred", "--profile", writeProfile(kTwoUsed), "--fault",
                 "adEthernetFilterMACAddr.1=error:genErr@set"});
    auto f = open();
    CountdownWatch watch;
    f->LV_UerMACAddress->SetItemIndex(0);
    click(f->Bt_Del);
    EXPECT_TRUE(pumpUntil([&] { return f->Idle; }, 5000));
    pump(200);
    EXPECT_FALSE(watch.shown());
    EXPECT_TRUE(f->Bt_Apply->Enabled());
    EXPECT_NE(f->StatusBar1->SimpleText(), "Refresh...");
    expectSets({"adEthernetFilterMACAddr.1=0x000000000000 (genErr)"});
}

// A failed write of an add says what was written before it in the form's words; a mode that
// could not be read is left out and named, and the address still goes in.
struct FailedAdd {
    const char *name;
    const char *fault;
    std::vector<std::string> expected;
    std::string status; // once the form is idle again
};

class WMACACLFailedAdd : public WMACACL, public ::testing::WithParamInterface<FailedAdd> {};

TEST_P(WMACACLFailedAdd, SaysWhatWasWritten)
{
    // Time-outs 20 times shorter: a write left unanswered ends in a second or so.
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    startDevice({"--profile", writeProfile(kTwoUsed), "--fault", GetParam().fault});
    auto f = open();
    f->CB_FilterCtrl->SetItemIndex(0);
    type(f->Ed_MacAdd, "a0b1c2d3e4f5");
    click(f->Bt_Apply);
    EXPECT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 5000));
    EXPECT_EQ(f->StatusBar1->SimpleText(), GetParam().status);
    expectSets(GetParam().expected);
}

namespace {
const char *const kAdded = "adEthernetFilterMACAddr.2=0xA0B1C2D3E4F5";
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Faults, WMACACLFailedAdd,
    ::testing::Values(
        FailedAdd{"ModeRefused",
                  "adAccSettingWirelessAccessControl=error:genErr@set",
                  {"adAccSettingWirelessAccessControl=1 (genErr)"},
                  "Set error! Not written: Access Control."},
        FailedAdd{
            "AddressRefused",
            "adEthernetFilterMACAddr.2=error:genErr@set",
            {"adAccSettingWirelessAccessControl=1", kAdded + std::string(" (genErr)")},
            "(SNMP) Cannot perform operation, General Error! Not written: MAC Address. Written before it: "
            "Access Control."},
        // Not a refusal: the device may still take it (the write log shows its one retry too).
        FailedAdd{
            "AddressUnanswered",
            "adEthernetFilterMACAddr.2=drop@set",
            {"adAccSettingWirelessAccessControl=1", kAdded + std::string(" (genErr)"),
             kAdded + std::string(" (genErr)")},
            "(SNMPClass) SNMP request timed out! The device did not answer; it may still take the setting. "
            "Not answered: MAC Address. Written before it: Access Control."},
        FailedAdd{"ModeNotRead",
                  "adAccSettingWirelessAccessControl=error:genErr@get",
                  {kAdded},
                  "(SNMP) Cannot perform operation, General Error! Not read: Access Control."}),
    [](const auto &test) { return std::string(test.param.name); });

// The device took an address it answered too late: the next add finds the slot taken, by
// reading the table again first, instead of writing over it.
TEST_F(WMACACL, AnAddAfterAnUnansweredOneLooksForTheFreeSlotAgain)
{
    startDevice({"--profile", writeProfile(kTwoUsed), "--fault", "adEthernetFilterMACAddr.2=delay:4000@set"});
    auto f = open();
    // The first add's wait is short; the table's reads and the second add wait as usual.
    const auto readTimeout = f->TableReq->Request.Timeout;
    f->TableReq->Request.Timeout = 50;
    f->CB_FilterCtrl->SetItemIndex(0);
    type(f->Ed_MacAdd, "a0b1c2d3e4f5");
    click(f->Bt_Apply);
    ASSERT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 10000));
    ASSERT_NE(std::string(f->StatusBar1->SimpleText())
                  .find("The device did not answer; it may still take the setting."),
              std::string::npos)
        << f->StatusBar1->SimpleText();
    f->TableReq->Request.Timeout = readTimeout;
    type(f->Ed_MacAdd, "a0b1c2d3e4f6");
    click(f->Bt_Apply);
    ASSERT_TRUE(pumpUntil(
        [&] {
            return f->Idle && !f->UsedReq->Busy && f->StatusBar1->SimpleText() == "Get OK!" &&
                   f->Ed_MacAdd->Text().empty();
        },
        10000))
        << f->StatusBar1->SimpleText();
    EXPECT_EQ(sets().back(), "adEthernetFilterMACAddr.4=0xA0B1C2D3E4F6");
    EXPECT_EQ(listed(*f), (std::vector<std::string>{"1 00112233AABB", "2 A0B1C2D3E4F5", "3 0011223344CC",
                                                    "4 A0B1C2D3E4F6"}));
}

TEST_F(WMACACL, CloseIsRefusedWhileTheTableIsRead)
{
    startDevice({"--fault", "adEthernetFilterMACAddr.1=delay:300@get"});
    auto f = openForm(FM_WMACACL);
    EXPECT_FALSE(f->Idle);
    EXPECT_FALSE(f->Bt_Apply->Enabled());
    f->Close();
    EXPECT_TRUE(f->Visible());
    EXPECT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 10000));
    f->Close();
    EXPECT_FALSE(f->Visible());
}

// A second refresh while the table is walked is refused by the walk; the flag still comes back.
TEST_F(WMACACL, RefreshDuringAWalkLeavesTheFormClosable)
{
    startDevice({"--profile", writeProfile(kTwoUsed), "--fault", "adEthernetFilterMACAddr.1=delay:100@get"});
    auto f = openForm(FM_WMACACL);
    f->RefreshTables();
    EXPECT_FALSE(f->Idle);
    EXPECT_TRUE(pumpUntil([&] { return f->Idle && !f->UsedReq->Busy; }, 10000));
    EXPECT_EQ(f->LV_GetMAC->Items()->Count(), 16);
    EXPECT_EQ(listed(*f).size(), 2u);
}

TEST_F(WMACACL, Layout)
{
    startDevice({"--profile", writeProfile(kTwoUsed)});
    auto f = open();
    checkLayout(f.get(), "TFM_WMACACL");
}

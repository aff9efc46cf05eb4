// The newer Multi-SSID form (SSID index table) against the simulated device, opened as the
// Advanced menu opens it on a device of that generation.
#include "ComboChoice.h"
#include "CountdownWatch.h"
#include "FormFixture.h"
#include "ProfileText.h"
#include "TFM_MultiSSIDNewForm.h"
#include "WindowFit.h"

using namespace formtest;

namespace {

// Rows: primary (open, VLAN 10); Multi-SSID 1 "guest1" with a shared WEP key in slot 2; Multi-SSID
// 2 "staff" with WPA2-Personal; Multi-SSID 3 "lab" switched off (catalog profile mssidguests).
class MultiSSIDNew : public FormTest {
protected:
    // The device of the newer generation with its SSIDs in use, and lines of a further profile.
    FormHandle<TFM_MultiSSIDNewForm> open(const std::string &extraProfile = "",
                                          std::vector<std::string> args = {})
    {
        std::vector<std::string> all = {"--profile", "newmssid", "--profile", "mssidguests"};
        if (!extraProfile.empty())
            all.insert(all.end(), {"--profile", writeProfile(extraProfile)});
        all.insert(all.end(), args.begin(), args.end());
        startDevice(all);
        auto form = openForm(FM_MultiSSIDNewForm);
        EXPECT_TRUE(pumpUntil([] { return gMultiSSIDIdle; }, 5000));
        return form;
    }
    static std::vector<std::string> rows(TListView *view)
    {
        std::vector<std::string> out;
        for (int i = 0; i < view->Items()->Count(); ++i) {
            TListItem *item = view->Items()->Item(i);
            std::string row = item->Caption();
            for (int k = 0; k < item->SubItems()->Count(); ++k)
                row += "|" + item->SubItems()->Strings(k);
            out.push_back(row);
        }
        return out;
    }
    static void clickUserItem(TFM_MultiSSIDNewForm &f, const std::string &caption)
    {
        TListItems *items = f.LV_MultiSSID_User->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (items->Item(i)->Caption() == caption) {
                f.LV_MultiSSID_User->SetSelected(items->Item(i));
                f.LV_MultiSSID_User->Click();
                return;
            }
        ADD_FAILURE() << "no user list item " << caption;
    }
    // Asks the form to close as its close box does; true when it went.
    static bool closes(TForm &f)
    {
        f.Close();
        return !f.Visible();
    }
    static void waitIdle()
    {
        EXPECT_TRUE(pumpUntil([] { return gMultiSSIDIdle; }, 5000));
    }
};

// Without the optional columns: a Save sends the row's own settings and nothing else.
const char *const kPlainDevice = "set sntp 0\nset mSSIDSuppress 0\nset mSSIDWmmSupported 0\n"
                                 "set dynamicVlanSupported 0\n";
const char *const kSwitches[] = {"adMSSIDPriorityState=0", "adMSSIDState=1", "adVlanState.0=1"};
const std::string kKey26 = "00112233445566778899aabbcc";
// Saving a WPA row while another uses WEP in the second slot.
const char *const kMsgKeySlots =
    "WPA-Enterprise or WPA-Personal will use second and third key slot .\nOther "
    "Multiple SSID which uses second and third key for WEP will be set to no security.";

} // namespace

TEST_F(MultiSSIDNew, TheMenuOpensThisVariantWhichShowsTheSSIDsInUse)
{
    startDevice({"--profile", "newmssid", "--profile", "mssidguests"});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    std::vector<std::string> users, columns;
    int tableColumns = 0;
    EXPECT_TRUE(openFromMenu<TFM_MultiSSIDNewForm>(menu.Ad_MultiSSID, [&](TFM_MultiSSIDNewForm &f) {
        ASSERT_TRUE(pumpUntil([] { return gMultiSSIDIdle; }, 5000));
        EXPECT_EQ(f.Text(), "Advanced \\ Multi-SSID");
        EXPECT_EQ(f.StatusBar1->SimpleText(), "Get OK!");
        EXPECT_EQ(f.CB_Idx->Text(), "Primary SSID");
        EXPECT_EQ(f.Ed_SSID->Text(), "primary");
        EXPECT_FALSE(f.Ed_SSID->Enabled()); // of the primary SSID only VLAN and priority
        EXPECT_EQ(f.BandComboBox->Text(), "IEEE 802.11g");
        EXPECT_FALSE(f.BandComboBox->Enabled());
        EXPECT_TRUE(f.IfEnabMuSSID->Checked());
        EXPECT_TRUE(f.CB_DyVlan->Visible());
        EXPECT_TRUE(f.Cb_Priority->Visible());
        EXPECT_TRUE(f.CheckBox_Priority->Visible());
        tableColumns = f.MulSSIDListView->Columns()->Count();
        for (int i = 0; i < f.LV_MultiSSID_User->Columns()->Count(); ++i)
            columns.push_back(f.LV_MultiSSID_User->Columns()->Items(i)->Caption());
        users = rows(f.LV_MultiSSID_User);
    }));
    EXPECT_EQ(tableColumns, 20);
    EXPECT_EQ(columns, (std::vector<std::string>{"Index", "SSID", "Encryption", "VLAN ID ", "Band"}));
    EXPECT_EQ(users, (std::vector<std::string>{"Primary|primary|OFF|10|11g", "Multi-SSID1|guest1|WEP|12|11g",
                                               "Multi-SSID2|staff|WPA2-Personal|13|11g"}));
    expectNoSet();
}

TEST_F(MultiSSIDNew, WithoutPriorityBySSIDTheNarrowVariantHidesItsControls)
{
    auto f = open("set prioritybySSIDSupported 0\n");
    EXPECT_EQ(f->MulSSIDListView->Columns()->Count(), 17);
    EXPECT_FALSE(f->HasDynamicVlan()); // the variant lacks the column
    EXPECT_FALSE(f->CB_DyVlan->Visible());
    EXPECT_FALSE(f->Cb_Priority->Visible());
    EXPECT_FALSE(f->CheckBox_EthernetTag->Visible());
    EXPECT_EQ(f->Lab_VLANID->Left(), f->Label_VlanTag->Left());
    // Neither optional line: one line less, WMM in the untagged-Ethernet line.
    EXPECT_EQ(f->CB_WMM->Top(), f->CheckBox_EthernetTag->Top());
    EXPECT_EQ(f->GP_KeySetting->Top(), f->Cb_Priority->Top());
    EXPECT_EQ(rows(f->LV_MultiSSID_User)[2], "Multi-SSID2|staff|WPA2-Personal|13|11g");
}

TEST_F(MultiSSIDNew, SaveOfAWepRowWritesExactlyThatRow)
{
    auto f = open(kPlainDevice);
    choose(f->CB_Idx, "Multi-SSID 3");
    EXPECT_EQ(f->Ed_SSID->Text(), "lab");
    choose(f->CB_SecShow, "Open System");
    EXPECT_TRUE(f->GP_KeySetting->Visible());
    choose(f->CB_KeySize, "128 Bits");
    type(f->Ed_KeyValue, kKey26);
    // Multi-SSID 2 uses WPA: the second and third key slots are taken.
    EXPECT_EQ(f->CB_IdxTmp->Items()->Count(), 2);
    choose(f->CB_IdxTmp, "Fourth");
    click(f->SaveButton);
    EXPECT_FALSE(gMultiSSIDIdle);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Save Multi-SSID...!");
    waitIdle();
    expectSets({kSwitches[0], kSwitches[1], kSwitches[2],
                "adMSSIDSSID.1.4=\"lab\" adMSSIDIdvState.1.4=1 adMSSIDAuth.1.4=1 adMSSIDEncryption.1.4=1 "
                "adMSSIDKeyIndex.1.4=4 adMSSIDKey.1.4=\"" +
                    kKey26 + "\" adVlanTagID.1.4=14 adMSSIDKeyType.1.4=2"});
    // Read again: the row is in use now.
    EXPECT_EQ(rows(f->LV_MultiSSID_User).size(), 4u);
}

TEST_F(MultiSSIDNew, ARefusedKeyWritesNothingAtAll)
{
    auto f = open(kPlainDevice);
    choose(f->CB_Idx, "Multi-SSID 3");
    choose(f->CB_SecShow, "Shared Key");
    choose(f->CB_KeySize, "128 Bits");
    type(f->Ed_KeyValue, kKey26.substr(0, 25));
    expectBox("The Length of key value must be 26!", "Warning");
    click(f->SaveButton);
    EXPECT_TRUE(gMultiSSIDIdle);
    expectNoSet(); // not even the priority state
}

struct RefusedRow {
    std::string profile;
    std::string index;
    std::string ssid;
    std::string text;
    std::string caption;
    std::string vlan = "13";
};

class MultiSSIDNewRefused : public MultiSSIDNew, public ::testing::WithParamInterface<RefusedRow> {};

TEST_P(MultiSSIDNewRefused, SendsNothing)
{
    const RefusedRow &c = GetParam();
    auto f = open(c.profile);
    choose(f->CB_Idx, c.index);
    type(f->Ed_SSID, c.ssid);
    type(f->Ed_WLANID, c.vlan);
    expectBox(c.text, c.caption);
    click(f->SaveButton);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Checks, MultiSSIDNewRefused,
    ::testing::Values(
        RefusedRow{"", "Multi-SSID 3", "", "Please input SSID!", "Warning"},
        RefusedRow{"", "Multi-SSID 3", " lab", "The first character can't be blank!", "Warning"},
        RefusedRow{"", "Multi-SSID 3", std::string(33, 'x'), "The Max Length of SSID is 32!", "Warning"},
        RefusedRow{"", "Multi-SSID 2", "primary", "The 11g Multi-SSID 2's SSID is same as Primary SSID",
                   "Warning"},
        RefusedRow{"set adMSSIDIdvState.1.6 1\nset adMSSIDSSID.1.6 \"six\"\n", "Multi-SSID 2", "six",
                   "The 11g Multi-SSID 2's SSID is same as Multi-SSID 5", "Warning"},
        RefusedRow{"set adMSSIDPassPhrase.1.3 \"short\"\n", "Multi-SSID 2", "staff",
                   "The length of 802.11g PassPhrase is between 8 and 63.", "Error"},
        RefusedRow{"", "Multi-SSID 3", "lab", "Please input VLAN ID!", "Warning", ""},
        // The narrow table has no tag mode: every tag is fixed, dynamic VLAN or not.
        RefusedRow{"set prioritybySSIDSupported 0\n", "Multi-SSID 3", "lab", "Please input VLAN ID!",
                   "Warning", ""}));

TEST_F(MultiSSIDNew, APrimaryRowSaveWritesItsVlanColumnsOnlyAndHoldsTheClose)
{
    auto f = open("", {"--fault", "adVlanTagID.1.1=delay:600@set"});
    type(f->Ed_WLANID, "20");
    type(f->Ed_SSID, "renamed"); // not the primary SSID's editor here
    click(f->SaveButton);
    EXPECT_FALSE(gMultiSSIDIdle);
    EXPECT_FALSE(closes(*f));
    waitIdle();
    EXPECT_TRUE(closes(*f));
    expectSets({kSwitches[0], kSwitches[1], kSwitches[2],
                "adVlanTagID.1.1=20 adMSSIDdyVlanState.1.1=1 adMSSIDEthernetWithoutTag.1.1=0 "
                "adMSSIDPriority.1.1=0"});
}

TEST_F(MultiSSIDNew, DeleteSwitchesOffTheRowChosenInTheList)
{
    auto f = open("", {"--fault", "adMSSIDIdvState.1.3=delay:600@set"});
    clickUserItem(*f, "Multi-SSID2");
    EXPECT_EQ(f->CB_Idx->Text(), "Multi-SSID 2");
    EXPECT_TRUE(f->DelButton->Enabled());
    choose(f->CB_Idx, "Multi-SSID 1"); // the editors move on; the list's choice stands
    click(f->DelButton);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Deleting...");
    EXPECT_FALSE(closes(*f));
    waitIdle();
    expectSets({"adMSSIDIdvState.1.3=0"});
    EXPECT_EQ(rows(f->LV_MultiSSID_User).size(), 2u);
}

TEST_F(MultiSSIDNew, RowsAreFoundByTheirIndexNotTheirPosition)
{
    // Row 3 is missing: Multi-SSID 3 is the third row walked, Multi-SSID 2 has none.
    std::string removeRow3;
    for (const char *column :
         {"adMSSIDIdvState", "adMSSIDSSID", "adMSSIDAuth", "adMSSIDEncryption", "adMSSIDKeyIndex",
          "adMSSIDKey", "adVlanTagID", "adMSSIDCipherType", "adMSSIDPassPhrase", "adMSSIDKeyType",
          "adMSSIDSuppress", "adMSSIDIdvAccountMode", "adMSSIDIdvAccountServer", "adMSSIDIdvAccountPort",
          "adMSSIDWmm", "adMSSIDdyVlanState", "adMSSIDEthernetWithoutTag", "adMSSIDPriority"})
        removeRow3 += std::string("remove ") + column + ".1.3\n";
    auto f = open(removeRow3);
    choose(f->CB_Idx, "Multi-SSID 2");
    EXPECT_TRUE(f->EditedIndex().empty());
    expectBox("The settings of this SSID have not been read from the device: nothing was saved.", "Warning");
    click(f->SaveButton);
    expectNoSet();

    choose(f->CB_Idx, "Multi-SSID 3");
    EXPECT_EQ(f->Ed_SSID->Text(), "lab");
    click(f->SaveButton);
    waitIdle();
    ASSERT_EQ(sets().size(), 4u);
    EXPECT_EQ(setAt(3).rfind("adMSSIDSSID.1.4=\"lab\"", 0), 0u) << setAt(3);
}

TEST_F(MultiSSIDNew, ATableThatCouldNotBeReadIsNotWritten)
{
    auto f = open("", {"--fault", "adMSSIDSSID.1.5=error:genErr@get"});
    EXPECT_EQ(f->StatusBar1->SimpleText(),
              "(SNMP) Cannot perform operation, General Error! Not read: SSID Settings.");
    EXPECT_TRUE(closes(*f));
    expectBox("The settings of this SSID have not been read from the device: nothing was saved.", "Warning");
    click(f->SaveButton);
    expectNoSet();
}

TEST_F(MultiSSIDNew, AFailedSwitchWriteIsReportedNotComplete)
{
    auto f = open("", {"--fault", "adMSSIDState=error:genErr@set"});
    type(f->Ed_WLANID, "21");
    click(f->SaveButton);
    waitIdle();
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Save Multi-SSID complete, but the device refused: Multi-SSID.");
    ASSERT_FALSE(sets().empty());
    EXPECT_EQ(sets().back(), "adVlanTagID.1.1=21 adMSSIDdyVlanState.1.1=1 adMSSIDEthernetWithoutTag.1.1=0 "
                             "adMSSIDPriority.1.1=0");
}

// A switch refused on the way is still named when the row's write fails after it.
TEST_F(MultiSSIDNew, ARefusedSwitchIsNamedWhenTheRowFailsToo)
{
    auto f =
        open("", {"--fault", "adMSSIDState=error:genErr@set", "--fault", "adVlanTagID.1.1=error:genErr@set"});
    type(f->Ed_WLANID, "21");
    click(f->SaveButton);
    waitIdle();
    EXPECT_EQ(f->StatusBar1->SimpleText(),
              "Save Multi-SSID failed! Not written: SSID Settings. Written before it: Priority, VLAN State. "
              "Refused: Multi-SSID. (SNMP) Cannot perform operation, General Error!");
}

TEST_F(MultiSSIDNew, ApplyWritesTheThreeSwitchesInOrderWithoutCountdownWhenSavingIsDeferred)
{
    auto f = open();
    click(f->CheckBox_Priority);
    CountdownWatch watch;
    click(f->ApplyBtn);
    EXPECT_FALSE(watch.shown());
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting success!");
    type(f->Ed_WLANID, "33"); // a row edit: Save alone writes it, and Apply says so
    click(f->ApplyBtn);
    EXPECT_EQ(f->StatusBar1->SimpleText(),
              "Setting success! Primary SSID: edits not saved (Save writes them).");
    expectSets({"adMSSIDState=1", "adVlanState.0=1", "adMSSIDPriorityState=1", "adMSSIDState=1",
                "adVlanState.0=1", "adMSSIDPriorityState=1"});
}

// A write the device refuses or leaves unanswered ends the writes of a Save or Apply; the
// status says so and names, in the form's words, what was written before it.
struct NewerFailedWrite {
    const char *name;
    const char *fault;
    bool save; // Save of the primary row, else Apply
    std::vector<std::string> expected;
    std::string status;
};

class MultiSSIDNewFailedWrite : public MultiSSIDNew,
                                public ::testing::WithParamInterface<NewerFailedWrite> {};

TEST_P(MultiSSIDNewFailedWrite, SaysWhatWasWrittenBeforeIt)
{
    // Time-outs 20 times shorter: a write left unanswered ends in a second or so.
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20));
    const NewerFailedWrite &c = GetParam();
    auto f = open("", {"--fault", c.fault});
    CountdownWatch watch;
    click(c.save ? f->SaveButton : f->ApplyBtn);
    waitIdle();
    EXPECT_FALSE(watch.shown());
    EXPECT_EQ(f->StatusBar1->SimpleText(), c.status);
    expectSets(c.expected);
}

namespace {
const std::string kPrimaryRow = "adVlanTagID.1.1=10 adMSSIDdyVlanState.1.1=1 adMSSIDEthernetWithoutTag.1.1=0 "
                                "adMSSIDPriority.1.1=0";
const char *const kUnanswered = " The device did not answer; it may still take the setting.";
// A set whose answer was dropped, and its one retry, as the write log shows them.
const char *const kDropped = " (genErr)";
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Faults, MultiSSIDNewFailedWrite,
    ::testing::Values(
        NewerFailedWrite{"RowRefused",
                         "adVlanTagID.1.1=error:genErr@set",
                         true,
                         {kSwitches[0], kSwitches[1], kSwitches[2], kPrimaryRow + " (genErr)"},
                         "Save Multi-SSID failed! Not written: SSID Settings. Written before it: "
                         "Priority, Multi-SSID, VLAN State. (SNMP) Cannot perform operation, "
                         "General Error!"},
        NewerFailedWrite{
            "RowUnanswered",
            "adVlanTagID.1.1=drop@set",
            true,
            {kSwitches[0], kSwitches[1], kSwitches[2], kPrimaryRow + kDropped, kPrimaryRow + kDropped},
            std::string("Save Multi-SSID failed!") + kUnanswered +
                " Not answered: SSID Settings. Written before it: Priority, "
                "Multi-SSID, VLAN State. (SNMPClass) SNMP request timed out!"},
        // A switch the device refuses does not stop Save; one it leaves unanswered does.
        NewerFailedWrite{"SwitchUnanswered",
                         "adMSSIDState=drop@set",
                         true,
                         {kSwitches[0], "adMSSIDState=1" + std::string(kDropped),
                          "adMSSIDState=1" + std::string(kDropped)},
                         std::string("Save Multi-SSID failed!") + kUnanswered +
                             " Not answered: Multi-SSID. Written before it: Priority."},
        NewerFailedWrite{"ApplyRefused",
                         "adVlanState.0=error:genErr@set",
                         false,
                         {"adMSSIDState=1", "adVlanState.0=1 (genErr)"},
                         "Set error! Not written: VLAN State. Written before it: Multi-SSID."}),
    [](const ::testing::TestParamInfo<NewerFailedWrite> &p) { return std::string(p.param.name); });

// The write ends while a read of the table is under way: the form stays busy until that read
// has ended, and no second one is started.
TEST_F(MultiSSIDNew, AWriteEndingDuringAReadOfTheTableWaitsForThatRead)
{
    auto f =
        open("", {"--fault", "adVlanTagID.1.1=delay:100@set", "--fault", "adMSSIDSSID.1.8=delay:1500@get"});
    const int walks = requestsNaming("adMSSIDSSID.1.7", "getnext");
    type(f->Ed_WLANID, "22");
    click(f->SaveButton);
    ASSERT_TRUE(f->SSIDTableBinding->Get());
    ASSERT_TRUE(pumpUntil([&] { return f->StatusBar1->SimpleText() == "Save Multi-SSID complete!"; }, 5000));
    EXPECT_TRUE(f->SSIDTableBinding->Walking());
    EXPECT_FALSE(gMultiSSIDIdle);
    EXPECT_FALSE(closes(*f));
    waitIdle();
    // The read's log line does not take the Save's place.
    EXPECT_TRUE(pumpUntil([&] { return f->StatusBar1->SimpleText() == "Save Multi-SSID complete!"; }, 1000))
        << f->StatusBar1->SimpleText();
    EXPECT_EQ(requestsNaming("adMSSIDSSID.1.7", "getnext"), walks + 1); // that read alone
    ASSERT_FALSE(sets().empty());
    EXPECT_EQ(sets().back(), "adVlanTagID.1.1=22 adMSSIDdyVlanState.1.1=1 adMSSIDEthernetWithoutTag.1.1=0 "
                             "adMSSIDPriority.1.1=0");
    EXPECT_TRUE(closes(*f));
}

// One group of the opening could not be read: it alone shows nothing and is neither checked
// nor written; the rest is shown and written.
struct OneUnread {
    std::string fault;
    std::string control;            // the group's control, which shows nothing
    std::vector<std::string> apply; // what Apply writes
    std::string applyText;
    std::string saveText = ""; // after Save of Multi-SSID 2 (WPA2-Personal) and the re-read
};

class MultiSSIDNewOneUnread : public MultiSSIDNew, public ::testing::WithParamInterface<OneUnread> {};

TEST_P(MultiSSIDNewOneUnread, FillsTheRestAndWritesOnlyWhatWasRead)
{
    const OneUnread &c = GetParam();
    auto f = open("", {"--fault", c.fault});
    const std::string object = c.fault.substr(0, c.fault.find('='));
    for (int i = 0; i < f->ComponentCount(); ++i) {
        auto *control = dynamic_cast<TControl *>(f->Components(i));
        if (control != nullptr && control->Name() == c.control) {
            const auto *box = dynamic_cast<TCheckBox *>(control);
            EXPECT_TRUE(box ? !box->Checked() : control->Text().empty()) << c.control;
        }
    }
    const bool tableRead = c.control != "Ed_SSID";
    EXPECT_EQ(rows(f->LV_MultiSSID_User).size(), tableRead ? 3u : 0u);
    click(f->ApplyBtn);
    EXPECT_EQ(f->StatusBar1->SimpleText(), c.applyText);
    expectSets(c.apply);
    choose(f->CB_Idx, "Multi-SSID 2");
    expectBox(tableRead ? kMsgKeySlots
                        : "The settings of this SSID have not been read from the device: nothing was saved.",
              "Warning");
    click(f->SaveButton);
    waitIdle();
    for (const std::string &set : sets())
        EXPECT_EQ(set.find(object), std::string::npos) << set;
    if (tableRead) {
        EXPECT_EQ(f->StatusBar1->SimpleText(), c.saveText);
        EXPECT_EQ(sets().back().rfind("adMSSIDSSID.1.3=\"staff\"", 0), 0u) << sets().back();
    }
}

namespace {
const std::vector<std::string> kAllSwitches = {"adMSSIDState=1", "adVlanState.0=1", "adMSSIDPriorityState=0"};
const char *const kNotRead = "Save Multi-SSID complete! Not read, so not written: ";
} // namespace

INSTANTIATE_TEST_SUITE_P(
    InReadOrder, MultiSSIDNewOneUnread,
    ::testing::Values(
        // An optional group: the form goes without it.
        OneUnread{"adMSSIDPriorityState=error:genErr@get",
                  "CheckBox_Priority",
                  {"adMSSIDState=1", "adVlanState.0=1"},
                  "Setting success!",
                  "Get OK!"},
        // Its answer lost, the device may well have it: named.
        OneUnread{"adMSSIDPriorityState=drop",
                  "CheckBox_Priority",
                  {"adMSSIDState=1", "adVlanState.0=1"},
                  "Setting success! Not read, so not written: Priority.",
                  std::string(kNotRead) + "Priority."},
        // No warning about an AP mode that was not read.
        OneUnread{"adAPMode=error:genErr@get", "CB_ApMode", kAllSwitches, "Setting success!", "Get OK!"},
        // The walk of the table ends at this object: an error there would end the walk too.
        OneUnread{"adMSSIDState=absent",
                  "IfEnabMuSSID",
                  {"adVlanState.0=1", "adMSSIDPriorityState=0"},
                  "Setting success! Not read, so not written: Multi-SSID.",
                  std::string(kNotRead) + "Multi-SSID."},
        // A WPA row is saved without the interval, which is not asked for.
        OneUnread{"adSecGroupKeyUpdateInterval.0=error:genErr@get", "Ed_GrpKey", kAllSwitches,
                  "Setting success!", std::string(kNotRead) + "Group Key Update Interval."},
        // The table is read last.
        OneUnread{"adMSSIDSSID.1.5=error:genErr@get", "Ed_SSID", kAllSwitches, "Setting success!"}),
    [](const ::testing::TestParamInfo<OneUnread> &p) { return std::to_string(p.index); });

// WMM shows what the device holds, but "Enable" while priority, which needs it, is on.
TEST_F(MultiSSIDNew, WmmShowsTheDevicesValueUnlessPriorityIsOn)
{
    auto f = open("set adMSSIDWmm.1.2 1\n");
    choose(f->CB_Idx, "Multi-SSID 2");
    EXPECT_EQ(f->CB_WMM->Text(), "Disable");
    click(f->CheckBox_Priority);
    EXPECT_EQ(f->CB_WMM->Text(), "Enable");
    click(f->CheckBox_Priority);
    EXPECT_EQ(f->CB_WMM->Text(), "Disable");
    choose(f->CB_Idx, "Multi-SSID 1");
    EXPECT_EQ(f->CB_WMM->Text(), "Enable");
}

// A row value a list lacks is shown as the device names it, an unchanged Save (and the read
// after it) leaves it as the device holds it, and another entry picked is written.
struct KeptRowValue {
    std::string lines;             // of a further profile
    std::vector<std::string> args; // further device arguments
    std::string index;
    TComboBox *TFM_MultiSSIDNewForm::*list;
    std::string shown;
    std::string picked;
    std::string written; // the column the pick writes, as the write log shows it
};

class MultiSSIDNewKept : public MultiSSIDNew, public ::testing::WithParamInterface<KeptRowValue> {};

TEST_P(MultiSSIDNewKept, IsShownLeftByAnUnchangedSaveAndReplacedByAPick)
{
    const KeptRowValue &c = GetParam();
    auto f = open(c.lines, c.args);
    choose(f->CB_Idx, c.index);
    TComboBox *list = (*f).*c.list;
    EXPECT_EQ(list->Text(), c.shown);
    kvtest::expectChoiceFits(list);
    click(f->SaveButton);
    waitIdle();
    ASSERT_FALSE(sets().empty());
    const std::string column = c.written.substr(0, c.written.find('=') + 1);
    EXPECT_EQ(sets().back().find(column), std::string::npos) << sets().back();
    EXPECT_EQ(list->Text(), c.shown); // read again
    choose(list, c.picked);
    click(f->SaveButton);
    waitIdle();
    EXPECT_NE(sets().back().find(c.written), std::string::npos) << sets().back();
}

namespace {
using Newer = TFM_MultiSSIDNewForm;
const std::vector<std::string> kGuestSecurity = {"--profile", "guestsecurity"};
// Priority on, and a device whose priorities go beyond the form's list.
const char *const kPriority9 =
    "set adMSSIDPriorityState 1\nE.2.9.2.1.21.1.2 adMSSIDPriority.1.2 integer readwrite range:0..15 9\n";
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Lists, MultiSSIDNewKept,
    ::testing::Values(
        // Multi-SSID 2 uses WPA, which takes the second and third key slots.
        KeptRowValue{"", {}, "Multi-SSID 1", &Newer::CB_IdxTmp, "Second", "First", "adMSSIDKeyIndex.1.2=1"},
        KeptRowValue{"", kGuestSecurity, "Multi-SSID 2", &Newer::CB_SecShow, "Open System / Shared Key",
                     "Shared Key", "adMSSIDAuth.1.3=2"},
        // The full list while the primary SSID uses an Enterprise kind.
        KeptRowValue{"set adMSSIDAuth.1.1 5\nset adMSSIDEncryption.1.1 1\n", kGuestSecurity, "Multi-SSID 2",
                     &Newer::CB_Sec, "Open System / Shared Key", "Shared Key", "adMSSIDAuth.1.3=2"},
        KeptRowValue{"", kGuestSecurity, "Multi-SSID 1", &Newer::CB_SecShow, "WPA-Auto-Enterprise", "None",
                     "adMSSIDAuth.1.2=1 adMSSIDEncryption.1.2=0"},
        KeptRowValue{kPriority9, {}, "Multi-SSID 1", &Newer::Cb_Priority, "9", "3", "adMSSIDPriority.1.2=3"}),
    [](const ::testing::TestParamInfo<KeptRowValue> &p) { return std::to_string(p.index); });

TEST_F(MultiSSIDNew, EnablingVlanEnablesMultiSSIDAndTheWarningComesOnce)
{
    expectBox("If you enable Multi-SSID,\nAP Mode will be Access Point and Super G will be Disabled!",
              "Warning");
    auto f = open("set adMSSIDState 0\nset adVlanState 0\nset adAPMode 4\nset adSuperMode 2\n");
    EXPECT_FALSE(f->IfEnabMuSSID->Checked());
    EXPECT_FALSE(f->SaveButton->Enabled());
    click(f->CB_VLanState);
    EXPECT_TRUE(f->IfEnabMuSSID->Checked());
    EXPECT_FALSE(f->IfEnabMuSSID->Enabled());
    EXPECT_TRUE(f->SaveButton->Enabled());
    click(f->CB_VLanState); // off again, and on: no second warning while Multi-SSID stayed on
    click(f->CB_VLanState);
    expectNoSet();
}

TEST_F(MultiSSIDNew, Layout)
{
    auto f = open();
    choose(f->CB_Idx, "Multi-SSID 1");
    f->LV_MultiSSID_User->SetItemIndex(1);
    click(f->LV_MultiSSID_User);
    checkLayout(f.get(), "TFM_MultiSSIDNewForm");
}

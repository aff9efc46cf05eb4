// The Performance form against the simulated device.
#include "ComboChoice.h"
#include "CountdownWatch.h"
#include "FormFixture.h"
#include "ProfileText.h"
#include "TFM_Performace.h"

#include <algorithm>

using namespace formtest;

namespace {

const char kRadio[] =
    "adDataRate=\"Auto\" adBeaconInterval=100 adDTIM=1 adFragmentLength=2346 adRTSLength=2346 "
    "adTransmitPower=1 adRadioWave=1";

// The radio group's rows, as a status text names the group.
const std::string kRadioLabel =
    "Data Rate, Beacon Interval, DTIM, Fragment Length, RTS Length, Transmit Power, Radio";

std::string rateSet(int row, int value)
{
    return "adDataRateStatus." + std::to_string(row) + "=" + std::to_string(value);
}

class Performace : public FormTest {
protected:
    FormHandle<TFM_Performace> open()
    {
        auto f = openForm(FM_Performace);
        EXPECT_TRUE(pumpUntil([&] { return f->Bt_Apply_a->Enabled(); }, 5000));
        return f;
    }
    static std::vector<std::string> items(TComboBox *combo)
    {
        std::vector<std::string> out;
        for (int i = 0; i < combo->Items()->Count(); ++i)
            out.push_back(combo->Items()->Strings(i));
        return out;
    }
    // The sets of a whole Apply on the catalog's values, optional rows included.
    static std::vector<std::string> fullApply()
    {
        return {"hChannel=6",     "adbgMode=2", "adSuperMode=4", kRadio,        "adXR=0",
                "ad80211gonly=0", "adWMM=1",    "adPreamble=1",  "adAntenna=0", "igmpSnooping=0"};
    }
};

} // namespace

TEST_F(Performace, OpensFromTheMenuAndShowsWhatItRead)
{
    startDevice({"--profile", writeProfile("set adDataRate \"5.5\"\nset hChannel 3\n")});
    MainMenuItems &menu = mainWindow().MenuItems;
    EXPECT_TRUE(openFromMenu<TFM_Performace>(menu.adPerformance1, [&](TFM_Performace &f) {
        EXPECT_EQ(f.CB_Chana->Items()->Count(), 11);
        EXPECT_EQ(f.CB_Chana->Text(), "3");
        EXPECT_EQ(items(f.CB_SupModea),
                  (std::vector<std::string>{"Enable without Turbo", "Enable with Dynamic Turbo", "Disable"}));
        EXPECT_EQ(f.CB_DtRta->Text(), "5.5 Mbps");
        EXPECT_EQ(f.Ed_BeInta->Text(), "100");
        EXPECT_EQ(f.TabSheetA->Text(), "IEEE 802.11g");
        EXPECT_TRUE(f.CB_XRa->Visible());
        EXPECT_TRUE(f.CB_Antenna->Visible());
    }));
    expectNoSet();
}

TEST_F(Performace, ApplyWritesEveryGroupInOrder)
{
    startDevice();
    auto f = open();
    click(f->Bt_Apply_a);
    expectSets(fullApply());
    EXPECT_EQ(f->StatusBar->SimpleText(), "IEEE802.11g Setting Success!");
}

// Each row the device lacks leaves no gap: the form is a row shorter for each. Lacking them,
// and the data-rate control's support, is no failure: none is named.
TEST_F(Performace, AbsentRowsShortenTheFormAndAreNotWritten)
{
    startDevice();
    int fullHeight = 0;
    {
        auto f = open();
        fullHeight = f->ClientHeight();
    }
    sim.reset();
    startDevice({"--profile", "absent", "--fault", "dataratecontrolsupport=absent"});
    auto f = open();
    for (TControl *row : std::initializer_list<TControl *>{f->CB_Gonly, f->CB_XRa, f->CB_WMM, f->CB_Preamble,
                                                           f->CB_Snooping, f->CB_Antenna})
        EXPECT_FALSE(row->Visible()) << row->Name();
    EXPECT_EQ(f->ClientHeight(), fullHeight - 6 * 26);
    EXPECT_EQ(f->StatusBar->SimpleText().find("Not read"), std::string::npos) << f->StatusBar->SimpleText();
    click(f->Bt_Apply_a);
    expectSets({"hChannel=6", "adbgMode=2", "adSuperMode=4", kRadio});
    EXPECT_EQ(f->StatusBar->SimpleText(), "IEEE802.11g Setting Success!");
}

// A group the device answered with an error was answered: Refresh reads the form's groups
// again and does not open it anew, as it does after a read the device left unanswered.
TEST_F(Performace, RefreshAfterAnErrorAnswerDoesNotOpenTheFormAnew)
{
    startDevice({"--fault", "adPreamble=error:genErr@get"});
    auto f = open();
    ASSERT_EQ(f->PreambleReq->LastRead(), ReadState::Failed);
    // Only an opening reads the data-rate control's support.
    const int asked = requestsNaming("dataratecontrolsupport");
    click(f->Bt_Refresh_a);
    EXPECT_TRUE(pumpUntil([&] { return f->Bt_Refresh_a->Enabled(); }, 3000));
    EXPECT_EQ(requestsNaming("dataratecontrolsupport"), asked);
}

struct RangeCase {
    TEdit *TFM_Performace::*Edit;
    const char *Text;
    const char *Message; // null: accepted
};

class PerformaceRange : public Performace, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PerformaceRange, ApplyChecksTheRanges)
{
    startDevice();
    auto f = open();
    TEdit *edit = (*f).*GetParam().Edit;
    type(edit, GetParam().Text);
    if (GetParam().Message)
        expectBox(GetParam().Message, "Error");
    click(f->Bt_Apply_a);
    if (GetParam().Message) {
        EXPECT_EQ(edit->Text(), "");
        expectNoSet();
    } else {
        EXPECT_EQ(sets().size(), fullApply().size());
    }
}

const char kBeacon[] = "Please input a number between 20 and 1000.";
const char kDtim[] = "Please input a number between 1 and 255.";
const char kLength[] = "Please input a number between 256 and 2346.";

INSTANTIATE_TEST_SUITE_P(Cases, PerformaceRange,
                         ::testing::Values(RangeCase{&TFM_Performace::Ed_BeInta, "19", kBeacon},
                                           RangeCase{&TFM_Performace::Ed_BeInta, "1001", kBeacon},
                                           RangeCase{&TFM_Performace::Ed_BeInta, "", kBeacon},
                                           RangeCase{&TFM_Performace::Ed_BeInta, "20", nullptr},
                                           RangeCase{&TFM_Performace::Ed_BeInta, "1000", nullptr},
                                           RangeCase{&TFM_Performace::Ed_DTIMa, "0", kDtim},
                                           RangeCase{&TFM_Performace::Ed_DTIMa, "256", kDtim},
                                           RangeCase{&TFM_Performace::Ed_DTIMa, "255", nullptr},
                                           RangeCase{&TFM_Performace::Ed_FragLena, "255", kLength},
                                           RangeCase{&TFM_Performace::Ed_FragLena, "2346", nullptr},
                                           RangeCase{&TFM_Performace::Ed_RTSa, "2347", kLength},
                                           RangeCase{&TFM_Performace::Ed_RTSa, "256", nullptr}));

// The control status and all twelve rows are written, each awaited, before the countdown.
TEST_F(Performace, DataRateRowsComeBeforeTheCountdown)
{
    startDevice({"--profile", "nodeferred", "--profile", "datarate", "--reboot-silence", "0.1"});
    auto f = open();
    EXPECT_TRUE(f->GroupBox2->Visible());
    EXPECT_EQ(f->CB_DRate[0]->Text(), "Basic");
    click(f->Bt_Apply_a);
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == fullApply().size() + 14; }, 3000));
    std::vector<std::string> expected = fullApply();
    expected.push_back("adDatarateControlstatus=0");
    for (int row = 1; row <= 12; ++row)
        expected.push_back(rateSet(row, row <= 4 ? 2 : 1));
    expected.push_back("upgradesettingcommand=4");
    expectSets(expected);
}

TEST_F(Performace, ResetIn11bOnlyWritesItsDefaults)
{
    startDevice({"--profile", "datarate", "--profile", writeProfile("set adbgMode 1\n")});
    auto f = open();
    expectBox("It will Reset Data Rate Settings to Default Status! Continue?", "Warning", IDCANCEL);
    click(f->BT_RDateRate);
    expectNoSet();
    expectBox("It will Reset Data Rate Settings to Default Status! Continue?", "Warning", IDOK);
    click(f->BT_RDateRate);
    std::vector<std::string> expected = {rateSet(1, 2), rateSet(2, 2), rateSet(3, 1), rateSet(4, 1)};
    for (int row = 5; row <= 12; ++row)
        expected.push_back(rateSet(row, 0));
    expectSets(expected);
}

struct ResetFault {
    const char *fault;
    std::size_t sets; // rows written, the last one refused; none: the table was not read
};

class PerformaceReset : public Performace, public ::testing::WithParamInterface<ResetFault> {};

// Reset writes nothing of a table it could not read, and stops at a refused row saying so.
TEST_P(PerformaceReset, ShowsWhyItStopped)
{
    const ResetFault c = GetParam();
    startDevice({"--profile", "datarate", "--fault", c.fault});
    auto f = open();
    expectBox("It will Reset Data Rate Settings to Default Status! Continue?", "Warning", IDOK);
    click(f->BT_RDateRate);
    EXPECT_EQ(f->StatusBar->SimpleText(),
              c.sets == 0 ? "Nothing was set: the values could not be read from the device."
                          : "IEEE802.11g Setting Error! Not written: Advanced Data Rate Settings.");
    const std::vector<std::string> written = sets();
    ASSERT_EQ(written.size(), c.sets);
    if (c.sets > 0) {
        EXPECT_EQ(written.back().rfind("adDataRateStatus.3=", 0), 0u) << written.back();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PerformaceReset,
                         ::testing::Values(ResetFault{"adDataRateStatus.1=error:genErr@get", 0},
                                           ResetFault{"adDataRateStatus.3=error:genErr@set", 3}));

// Without the table nothing of it is written, and the status says so; its combos cannot be
// changed. The rest is written, and Refresh works again.
TEST_F(Performace, FailedTableReadWritesNoRow)
{
    startDevice({"--profile", "datarate", "--profile", writeProfile("set adDatarateControlstatus 1\n"),
                 "--fault", "adDataRateStatus.1=error:genErr@get"});
    auto f = open();
    EXPECT_TRUE(f->Bt_Refresh_a->Enabled());
    EXPECT_TRUE(f->CB_DateStatus->Enabled());
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(f->CB_DRate[static_cast<std::size_t>(i)]->Enabled()) << i;
    EXPECT_FALSE(f->BT_RDateRate->Enabled());
    click(f->Bt_Apply_a);
    std::vector<std::string> expected = fullApply();
    expected.push_back("adDatarateControlstatus=1");
    expectSets(expected);
    EXPECT_EQ(f->StatusBar->SimpleText(),
              "IEEE802.11g Setting Success! Not read, so not written: Advanced Data Rate Settings.");
    click(f->Bt_Refresh_a);
    EXPECT_TRUE(pumpUntil([&] { return f->Bt_Refresh_a->Enabled(); }, 3000));
    EXPECT_FALSE(f->CB_DRate[5]->Enabled());
}

// With the rows read, the control lets the rates be chosen.
TEST_F(Performace, ReadRowsAreEditableUnderTheControl)
{
    startDevice({"--profile", "datarate", "--profile", writeProfile("set adDatarateControlstatus 1\n")});
    auto f = open();
    EXPECT_TRUE(f->CB_DRate[5]->Enabled()); // 9 Mbps
    EXPECT_FALSE(f->CB_DRate[0]->Enabled());
    EXPECT_TRUE(f->BT_RDateRate->Enabled());
}

struct KeptChannel {
    const char *profile;
    bool autoScan; // auto channel scan on: no channel is written whatever is chosen
};

class PerformaceChannel : public Performace, public ::testing::WithParamInterface<KeptChannel> {};

// A channel the list lacks, or a list that reads empty: the device's channel is shown and kept,
// never written. Once another one is chosen and written the device no longer holds the kept
// one, and the list stops offering it; with auto channel scan no channel is written, and the
// device's stays offered.
TEST_P(PerformaceChannel, TheDevicesChannelIsKept)
{
    startDevice({"--profile", writeProfile(GetParam().profile)});
    auto f = open();
    const std::string channel = std::string(GetParam().profile).find("13") != std::string::npos ? "13" : "6";
    EXPECT_EQ(f->CB_Chana->Text(), channel);
    click(f->Bt_Apply_a);
    click(f->Bt_Apply_a);
    const std::vector<std::string> all = sets();
    ASSERT_EQ(all.size(), 2 * (fullApply().size() - 1));
    EXPECT_EQ(requestsNaming("hChannel", "set"), 0);
    EXPECT_EQ(f->CB_Chana->Text(), channel);
    if (channel != "13")
        return;
    choose(f->CB_Chana, "6");
    click(f->Bt_Apply_a);
    EXPECT_EQ(requestsNaming("hChannel", "set"), GetParam().autoScan ? 0 : 1);
    EXPECT_EQ(f->CB_Chana->Items()->IndexOf("13") >= 0, GetParam().autoScan);
}

INSTANTIATE_TEST_SUITE_P(Lists, PerformaceChannel,
                         ::testing::Values(KeptChannel{"set hChannel 13\n", false},
                                           KeptChannel{"set hChannelList \"\"\n", false},
                                           KeptChannel{"set hChannel 13\nset adAutoChannelScan 1\n", true}));

// A rate the list lacks is shown as the device names it and written only once the user picks
// another.
TEST_F(Performace, ARateTheListLacksIsKeptUntilAnotherIsChosen)
{
    startDevice({"--profile", writeProfile("set adDataRate \"7\"\n")});
    auto f = open();
    EXPECT_EQ(f->CB_DtRta->Text(), "7 Mbps");
    click(f->Bt_Apply_a);
    click(f->Bt_Refresh_a);
    click(f->Bt_Apply_a);
    EXPECT_EQ(f->CB_DtRta->Text(), "7 Mbps");
    EXPECT_EQ(requestsNaming("adDataRate", "set"), 0);
    EXPECT_EQ(sets().size(), 2 * fullApply().size());
    choose(f->CB_DtRta, "11 Mbps");
    click(f->Bt_Apply_a);
    EXPECT_EQ(setAt(2 * fullApply().size() + 3).rfind("adDataRate=\"11\"", 0), 0u)
        << setAt(2 * fullApply().size() + 3);
}

namespace {

struct PerformaceKeptCase {
    const char *what;
    const char *profile;
    TComboBox *TFM_Performace::*combo;
    const char *device; // as the list shows the device's value
    const char *other;  // the entry the user then writes
    const char *object;
    const char *refused = nullptr; // the fault that keeps its group from being written
};

void PrintTo(const PerformaceKeptCase &c, std::ostream *out)
{
    *out << c.what;
}

class PerformaceKept : public Performace, public ::testing::WithParamInterface<PerformaceKeptCase> {};

} // namespace

// A device value the list lacks is offered until another entry is written: the device no
// longer holds it then, and chosen again it would be left out under a success text.
TEST_P(PerformaceKept, GoesFromTheListOnceAnotherIsWritten)
{
    const PerformaceKeptCase &c = GetParam();
    std::vector<std::string> args = {"--profile", writeProfile(c.profile)};
    if (c.refused)
        args.insert(args.end(), {"--fault", c.refused});
    startDevice(args);
    auto f = open();
    TComboBox *combo = (*f).*c.combo;
    EXPECT_EQ(combo->Text(), c.device);
    choose(combo, c.other);
    click(f->Bt_Apply_a);
    EXPECT_EQ(requestsNaming(c.object, "set"), 1);
    EXPECT_EQ(combo->Text(), c.other);
    // A group not written leaves the device's value where it was: still offered.
    EXPECT_EQ(combo->Items()->IndexOf(c.device) >= 0, c.refused != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PerformaceKept,
    ::testing::Values(PerformaceKeptCase{"rate", "set adDataRate \"7\"\n", &TFM_Performace::CB_DtRta,
                                         "7 Mbps", "11 Mbps", "adDataRate"},
                      PerformaceKeptCase{"channel", "set hChannel 13\n", &TFM_Performace::CB_Chana, "13", "6",
                                         "hChannel"},
                      PerformaceKeptCase{"rate_refused", "set adDataRate \"7\"\n", &TFM_Performace::CB_DtRta,
                                         "7 Mbps", "11 Mbps", "adDataRate", "adDataRate=error:genErr@set"},
                      PerformaceKeptCase{"channel_refused", "set hChannel 13\n", &TFM_Performace::CB_Chana,
                                         "13", "6", "hChannel", "hChannel=error:genErr@set"}),
    [](const ::testing::TestParamInfo<PerformaceKeptCase> &p) { return std::string(p.param.what); });

TEST_F(Performace, FewerRowsAreWrittenAsTheyAre)
{
    std::string lines;
    for (int row = 5; row <= 12; ++row)
        lines += "remove adDataRateStatus." + std::to_string(row) + "\n";
    startDevice({"--profile", "datarate", "--profile", writeProfile(lines)});
    auto f = open();
    EXPECT_EQ(f->ListView1->Items()->Count(), 4);
    click(f->Bt_Apply_a);
    const std::vector<std::string> all = sets();
    ASSERT_EQ(all.size(), fullApply().size() + 5);
    EXPECT_EQ(all.back(), rateSet(4, 2));
}

// A status the combo does not offer goes back as read, not as "Disable".
TEST_F(Performace, AStatusNotInItsListIsKept)
{
    startDevice({"--profile", "datarate", "--profile", writeProfile("set adDataRateStatus.5 2\n")});
    auto f = open();
    EXPECT_EQ(f->CB_DRate[4]->ItemIndex(), -1); // 6 Mbps offers no "Basic" in mixed mode
    click(f->Bt_Apply_a);
    const std::vector<std::string> all = sets();
    ASSERT_EQ(all.size(), fullApply().size() + 13);
    EXPECT_EQ(all[fullApply().size() + 5], rateSet(5, 2));
}

// In 11b only the super mode goes to "Disable" by its value, also in the four-entry list.
TEST_F(Performace, ElevenBOnlyWritesSuperModeDisable)
{
    startDevice({"--profile", writeProfile("set rogueapsupported 0\nset adbgMode 1\nset adSuperMode 1\n")});
    auto f = open();
    EXPECT_EQ(f->CB_SupModea->Items()->Count(), 4);
    EXPECT_EQ(f->CB_SupModea->Text(), "Disable");
    EXPECT_FALSE(f->CB_SupModea->Enabled());
    EXPECT_EQ(items(f->CB_DtRta),
              (std::vector<std::string>{"Auto", "1 Mbps", "2 Mbps", "5.5 Mbps", "11 Mbps"}));
    click(f->Bt_Apply_a);
    EXPECT_EQ(setAt(2), "adSuperMode=4");
}

// The turbo channel list is a text of channels, kept as text.
TEST_F(Performace, TurboChannelListIsText)
{
    startDevice({"--profile", writeProfile("set adSuperMode 3\nset adDynamicChannelList \"2 6 10\"\n")});
    auto f = open();
    EXPECT_EQ(items(f->CB_Chana), (std::vector<std::string>{"2", "6", "10"}));
    EXPECT_EQ(f->CB_Chana->Text(), "6");
}

// With auto channel scan no channel goes out; IGMP snooping still does.
TEST_F(Performace, AutoScanSkipsOnlyTheChannel)
{
    startDevice({"--profile", writeProfile("set adAutoChannelScan 1\n")});
    auto f = open();
    click(f->Bt_Apply_a);
    std::vector<std::string> expected = fullApply();
    expected.erase(expected.begin());
    expectSets(expected);
}

TEST_F(Performace, SuperModeListFollowsTheDevice)
{
    startDevice({"--profile", writeProfile("set rogueapsupported 2\n")});
    auto f = open();
    EXPECT_EQ(f->CB_SupModea->Items()->Count(), 0);
    click(f->Bt_Apply_a);
    EXPECT_EQ(requestsNaming("adSuperMode"), 0);
    EXPECT_EQ(sets().size(), fullApply().size() - 1);
}

// The radio group read badly is neither checked nor written back, and is named; the rest goes out.
TEST_F(Performace, UnreadRadioIsNamedAndTheRestWritten)
{
    startDevice({"--fault", "adDTIM=error:genErr@get"});
    auto f = open();
    EXPECT_EQ(f->Ed_BeInta->Text(), "");
    // The opening says so, not that it read everything.
    const std::string unread = " Not read: " + kRadioLabel + ".";
    EXPECT_EQ(f->StatusBar->SimpleText().rfind(unread), f->StatusBar->SimpleText().size() - unread.size())
        << f->StatusBar->SimpleText();
    click(f->Bt_Apply_a);
    EXPECT_EQ(f->StatusBar->SimpleText(),
              "IEEE802.11g Setting Success! Not read, so not written: " + kRadioLabel + ".");
    std::vector<std::string> expected = fullApply();
    expected.erase(std::find(expected.begin(), expected.end(), kRadio));
    expectSets(expected);
}

TEST_F(Performace, ClosingWaitsForTheRateTable)
{
    startDevice({"--profile", "datarate", "--fault", "adDataRateStatus.1=delay:300@get"});
    auto f = openForm(FM_Performace);
    EXPECT_FALSE(f->Bt_Apply_a->Enabled());
    f->Close();
    EXPECT_TRUE(f->Visible());
    EXPECT_TRUE(pumpUntil([&] { return f->Bt_Apply_a->Enabled(); }, 3000));
    f->Close();
    EXPECT_FALSE(f->Visible());
}

struct WriteRefusal {
    const char *name;
    const char *fault;
    std::size_t written; // sets of fullApply() that go out, the last one refused unless unanswered
    const char *before;  // the groups named as written before the failure (after a channel's)
    bool unanswered;
    const char *failed; // the group it stopped at
};

class PerformaceRefusal : public Performace, public ::testing::WithParamInterface<WriteRefusal> {};

// A refused write stops the chain and the status names, in the form's words, what was written
// before it; a write left unanswered says so. A refused channel stops only IGMP snooping.
TEST_P(PerformaceRefusal, StopsTheChainAndNamesWhatWasWritten)
{
    const WriteRefusal &c = GetParam();
    startDevice({"--fault", c.fault});
    auto f = open();
    click(f->Bt_Apply_a);
    std::string text = "IEEE802.11g Setting Error!";
    if (c.unanswered)
        text += " The device did not answer; it may still take the setting.";
    text += (c.unanswered ? " Not answered: " : " Not written: ") + std::string(c.failed) + ".";
    // The channel goes first; what follows it is written after its refusal.
    const bool channel = std::string(c.fault).rfind("hChannel=", 0) == 0;
    EXPECT_EQ(f->StatusBar->SimpleText(),
              text + (channel ? " Written after it: " : " Written before it: ") + c.before + ".");
    std::vector<std::string> expected = fullApply();
    expected.resize(c.written);
    if (channel)
        expected.front() += " (genErr)";
    else if (!c.unanswered)
        expected.back() += " (genErr)";
    const std::vector<std::string> written = sets();
    // An unanswered set may have been taken: the log lists it once for each try.
    EXPECT_EQ(std::vector<std::string>(written.begin(),
                                       written.begin() + std::min(written.size(), expected.size())),
              expected);
    if (!c.unanswered) {
        EXPECT_EQ(written.size(), expected.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PerformaceRefusal,
    ::testing::Values(
        WriteRefusal{"Radio", "adRadioWave=error:genErr@set", 4, "Channel, Wireless B/G Mode, Super G Mode",
                     false,
                     "Data Rate, Beacon Interval, DTIM, Fragment Length, RTS Length, Transmit Power, Radio"},
        WriteRefusal{
            "Antenna", "adAntenna=error:genErr@set", 9,
            "Channel, Wireless B/G Mode, Super G Mode, Data Rate, Beacon Interval, DTIM, Fragment Length, "
            "RTS Length, Transmit Power, Radio, XR, 802.11g Only, WMM, Preamble",
            false, "Antenna Diversity"},
        WriteRefusal{
            "AntennaUnanswered", "adAntenna=drop@set", 8,
            "Channel, Wireless B/G Mode, Super G Mode, Data Rate, Beacon Interval, DTIM, Fragment Length, "
            "RTS Length, Transmit Power, Radio, XR, 802.11g Only, WMM, Preamble",
            true, "Antenna Diversity"},
        WriteRefusal{
            "Channel", "hChannel=error:genErr@set", 9,
            "Wireless B/G Mode, Super G Mode, Data Rate, Beacon Interval, DTIM, Fragment Length, RTS Length, "
            "Transmit Power, Radio, XR, 802.11g Only, WMM, Preamble, Antenna Diversity",
            false, "Channel"}),
    [](const auto &test) { return std::string(test.param.name); });

// A refused row ends the Apply there: the error shows and the device is not restarted.
TEST_F(Performace, RefusedDataRateRowStopsTheApplyWithoutCountdown)
{
    startDevice({"--profile", "nodeferred", "--profile", "datarate", "--fault",
                 "adDataRateStatus.3=error:genErr@set"});
    auto f = open();
    CountdownWatch watch;
    click(f->Bt_Apply_a);
    EXPECT_FALSE(watch.shown());
    EXPECT_EQ(f->StatusBar->SimpleText(),
              "IEEE802.11g Setting Error! Not written: Advanced Data Rate Settings. Written before it: "
              "Channel, Wireless B/G Mode, Super G Mode, " +
                  kRadioLabel +
                  ", XR, 802.11g Only, WMM, Preamble, Antenna Diversity, IGMP Snooping, "
                  "Enable Data Rate Control.");
    std::vector<std::string> expected = fullApply();
    expected.insert(expected.end(),
                    {"adDatarateControlstatus=0", rateSet(1, 2), rateSet(2, 2), rateSet(3, 2) + " (genErr)"});
    expectSets(expected);
}

TEST_F(Performace, Layout)
{
    startDevice({"--profile", "datarate"});
    auto f = open();
    checkLayout(f.get(), "TFM_Performace");
}

struct SuperModeRate {
    int superMode;      // the device's, with the four-entry list
    const char *chosen; // by the user, or null
    const char *written;
    bool rateFree;
};

class PerformaceSuperMode : public Performace, public ::testing::WithParamInterface<SuperModeRate> {};

// "Disable" is known by its value in either list (in the four-entry one it is not the third
// entry): the data rate is free under it and "Auto" under a turbo mode the user chooses. A
// rate the device holds is written back as read.
TEST_P(PerformaceSuperMode, DataRateFollowsDisableByValue)
{
    const SuperModeRate c = GetParam();
    startDevice({"--profile", writeProfile("set rogueapsupported 0\nset adDataRate \"11\"\nset adSuperMode " +
                                           std::to_string(c.superMode) + "\n")});
    auto f = open();
    if (c.chosen)
        choose(f->CB_SupModea, c.chosen);
    EXPECT_EQ(f->CB_DtRta->Enabled(), c.rateFree);
    click(f->Bt_Apply_a);
    EXPECT_EQ(setAt(3).substr(0, setAt(3).find(' ')), std::string("adDataRate=") + c.written) << setAt(3);
}

INSTANTIATE_TEST_SUITE_P(FourEntries, PerformaceSuperMode,
                         ::testing::Values(SuperModeRate{3, nullptr, "\"11\"", false},
                                           SuperModeRate{4, nullptr, "\"11\"", true},
                                           SuperModeRate{4, "Enable with Dynamic Turbo", "\"Auto\"", false},
                                           SuperModeRate{3, "Disable", "\"11\"", true}));

// The rule that switches the data-rate control off under a turbo mode follows the user's choice;
// a device holding the control on keeps it until then (the sweep covers the unchanged Apply).
TEST_F(Performace, ChoosingATurboModeSwitchesTheRateControlOff)
{
    startDevice({"--profile", "datarate", "--profile", "ratecontrolon"});
    auto f = open();
    EXPECT_EQ(f->CB_DateStatus->Text(), "Enable");
    choose(f->CB_SupModea, "Enable with Dynamic Turbo");
    EXPECT_EQ(f->CB_DateStatus->Text(), "Disable");
    EXPECT_FALSE(f->CB_DateStatus->Enabled());
    click(f->Bt_Apply_a);
    EXPECT_TRUE(pumpUntil([&] { return f->Bt_Apply_a->Enabled(); }, 5000));
    const std::vector<std::string> written = sets();
    EXPECT_NE(std::find(written.begin(), written.end(), "adDatarateControlstatus=0"), written.end())
        << ::testing::PrintToString(written);
}

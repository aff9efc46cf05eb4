// The date and time form against the simulated device, which sends its SNTPFile.RD fixture.
#include "NetworkFormSupport.h"
#include "TSNTPForm.h"
#include "TestEnv.h"
#include "TransferFixture.h"
#include "Waiting.h"

#include <filesystem>

using namespace formtest;
namespace fs = std::filesystem;

namespace {

class Sntp : public TransferTest {
protected:
    // Waits until the zone list has been read and Apply is offered (a ceiling only: a machine
    // busy with builds makes every answer slow).
    bool ready(TSNTPForm &f)
    {
        return pumpUntil([&] { return f.Bt_Apply->Enabled() && !f.SntpReq->Busy; }, 20000);
    }
    void setClock(int year, int month, int day, int hour, int minute, int second)
    {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        t.tm_sec = second;
        t.tm_isdst = -1;
        clock->setWallTime(std::mktime(&t));
    }
    std::shared_ptr<kvtest::FastClock> clock = std::make_shared<kvtest::FastClock>(50);
    kv::ScopedClock scoped{clock};
};

} // namespace

// Years past the old list's end used to go out empty.
TEST_F(Sntp, OpeningWritesThePcClockInTheDevicesFormat)
{
    startTransferDevice();
    setClock(2031, 7, 4, 21, 5, 9);
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    const std::vector<std::string> written = sets();
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written[0], "sntptimerefresh=\"2031:07:04:21:05:09\"");
    EXPECT_EQ(written[1], "sntpTFTPServerIP=127.0.0.1 sntpListFileName=\"SNTPFile.RD\" sntpGetList=1");
    EXPECT_EQ(form->CB_Year->Text(), "2031");
    EXPECT_EQ(form->StatusBar->SimpleText(), "Get Complete.");
    EXPECT_EQ(form->CB_WSNTPTimeZone->Text(),
              "(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London");
    EXPECT_EQ(form->Ed_WSNTPServ->Text(), "");
    EXPECT_TRUE(form->RB_Sntp->Checked());
}

TEST_F(Sntp, YearListRunsFrom2002To2037)
{
    startTransferDevice();
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    TStrings *years = form->CB_Year->Items();
    ASSERT_EQ(years->Count(), 36);
    EXPECT_EQ(years->Strings(0), "2002");
    EXPECT_EQ(years->Strings(years->Count() - 1), "2037");
}

struct ZoneCase {
    const char *zone;
    bool daylight;
};

class SntpZones : public Sntp, public ::testing::WithParamInterface<ZoneCase> {};

TEST_P(SntpZones, DaylightBoxFollowsTheListsFlag)
{
    startTransferDevice();
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    form->CB_WSNTPTimeZone->SetItemIndex(form->CB_WSNTPTimeZone->Items()->IndexOf(GetParam().zone));
    form->CB_WSNTPTimeZoneChange(form.get());
    EXPECT_EQ(form->CHB_DayLight->Enabled(), GetParam().daylight);
}

INSTANTIATE_TEST_SUITE_P(Zones, SntpZones,
                         ::testing::Values(ZoneCase{"(GMT-09:00) Alaska", true},
                                           ZoneCase{"(GMT-10:00) Hawaii", false},
                                           ZoneCase{"(GMT+13:00) Nuku'alofa", false},
                                           ZoneCase{"(GMT+12:00) Auckland, Wellington", true}));

struct ListCase {
    const char *name;
    std::string text;
    std::vector<int> daylightZones; // 1-based
};

class SntpListFile : public ::testing::TestWithParam<ListCase> {};

TEST_P(SntpListFile, FirstCharacterOfTheFirst75LinesSetsTheFlags)
{
    const std::string dir = kvtest::makeTempDir("kv-sntpfile-");
    kvtest::writeText(dir + "/SNTPFile.RD", GetParam().text);
    TApplication app;
    TSNTPForm form(&app);
    EXPECT_TRUE(form.LoadSntpFile(dir + "/SNTPFile.RD"));
    std::vector<int> on;
    for (std::size_t i = 0; i < form.ZoneFlags.size(); ++i)
        if (form.ZoneFlags[i])
            on.push_back(static_cast<int>(i) + 1);
    EXPECT_EQ(on, GetParam().daylightZones);
    fs::remove_all(dir);
}

std::string lines(int count, char first)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += std::string(1, first) + " zone\n";
    return s;
}

INSTANTIATE_TEST_SUITE_P(Files, SntpListFile,
                         ::testing::Values(ListCase{"digits", "0\n1\n9x\na1\n\n5\n", {2, 3, 6}},
                                           ListCase{"long", lines(75, '0') + "1 past the end\n", {}},
                                           ListCase{"last", lines(74, '0') + "2\n", {75}}),
                         [](const auto &test) { return std::string(test.param.name); });

TEST_F(Sntp, ApplyWritesTheSntpGroupThenTheMethodThenTheManualTime)
{
    startTransferDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    setClock(2026, 3, 1, 9, 30, 0);
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    type(form->Ed_WSNTPServ, "127.0.0.5");
    form->CB_WSNTPTimeZone->SetItemIndex(3); // Alaska, daylight saving
    form->CB_WSNTPTimeZoneChange(form.get());
    form->CHB_DayLight->SetChecked(true);
    const std::size_t before = sets().size();
    click(form->Bt_Apply);
    ASSERT_TRUE(pumpUntil([&] { return form->StatusBar->SimpleText() == "Setting success!"; }, 10000));
    const std::vector<std::string> written = sets();
    const std::vector<std::string> applied(written.begin() + static_cast<long>(before), written.end());
    const std::vector<std::string> expected = {
        "sntpServerIP=127.0.0.5 sntpTZoneIdx=4 dayLightSaving=1", "sntptimesetmethod=1",
        "sntpsetTimeofDay=\"2026:03:01:09:30:00\"", "upgradesettingcommand=4"};
    EXPECT_EQ(applied, expected);
    EXPECT_TRUE(form->Bt_Apply->Enabled());
}

TEST_F(Sntp, ApplyRefusesABadServerAndAnEmptyField)
{
    startTransferDevice();
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    const std::size_t before = sets().size();
    type(form->Ed_WSNTPServ, "300.1.1.1");
    expectBox("Please input valid IP address", "Waring");
    click(form->Bt_Apply);
    EXPECT_EQ(form->Ed_WSNTPServ->Text(), "");
    form->CB_Day->SetItemIndex(-1);
    expectBox("Please select the date and time.", "Waring");
    click(form->Bt_Apply);
    EXPECT_EQ(sets().size(), before);
}

TEST_F(Sntp, RefusedSntpWriteSendsNothingElseAndComesBackIdle)
{
    startTransferDevice({"--fault", "sntpServerIP=error:genErr@set"});
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    click(form->Bt_Apply);
    ASSERT_TRUE(pumpUntil(
        [&] { return form->StatusBar->SimpleText() == "Setting error! Not written: SNTP/NTP Settings."; },
        5000))
        << form->StatusBar->SimpleText();
    EXPECT_EQ(requestsNaming("sntptimesetmethod", "set"), 0);
    EXPECT_EQ(requestsNaming("sntpsetTimeofDay", "set"), 0);
    EXPECT_TRUE(form->Idle);
    EXPECT_TRUE(form->Bt_Apply->Enabled());
}

// A method the device did not send shows neither option; Apply writes the rest and names it,
// and writes what the user chose once one is.
TEST_F(Sntp, UnreadMethodIsWrittenOnlyOnceChosen)
{
    startTransferDevice({"--profile", "nodeferred", "--fault", "sntptimesetmethod=error:genErr@get"});
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    EXPECT_FALSE(form->RB_Sntp->Checked());
    EXPECT_FALSE(form->RB_Manual->Checked());
    click(form->Bt_Apply);
    ASSERT_TRUE(pumpUntil([&] { return form->Idle && form->StatusBar->SimpleText() != "Set..."; }, 10000));
    EXPECT_EQ(form->StatusBar->SimpleText(),
              "Setting success! Not read, so not written: SNTP/NTP or Manual Setting.");
    EXPECT_EQ(requestsNaming("sntptimesetmethod", "set"), 0);
    EXPECT_EQ(requestsNaming("sntpsetTimeofDay", "set"), 1);
    form->RB_Sntp->SetChecked(true);
    click(form->RB_Sntp);
    click(form->Bt_Apply);
    ASSERT_TRUE(pumpUntil([&] { return form->StatusBar->SimpleText() == "Setting success!"; }, 10000))
        << form->StatusBar->SimpleText();
    EXPECT_EQ(requestsNaming("sntptimesetmethod", "set"), 1);
}

// A write refused, or a device that stops once every write was answered: the status keeps what
// was written and says what failed; what could not be read back shows nothing.
struct SntpOutcome {
    const char *what;
    std::vector<std::string> device;
    bool stopBeforeReadBack;
    std::vector<std::string> sets; // the Apply's, in order
    const char *status;
};

void PrintTo(const SntpOutcome &c, std::ostream *out)
{
    *out << c.what;
}

class SntpApplyOutcome : public Sntp, public ::testing::WithParamInterface<SntpOutcome> {};

TEST_P(SntpApplyOutcome, StatusTellsWhatWasWritten)
{
    const SntpOutcome &c = GetParam();
    // Time-outs half as long: the read the stopped device leaves unanswered fails sooner, and
    // the read the device delays at opening still gets its answer.
    setClock(2026, 3, 1, 9, 30, 0);
    auto shorter = std::make_shared<kvtest::FastClock>(50, 2);
    shorter->setWallTime(clock->wallTime());
    const kv::ScopedClock scopedShorter(shorter);
    startTransferDevice(c.device);
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    const std::size_t before = sets().size();
    click(form->Bt_Apply);
    if (c.stopBeforeReadBack) {
        // The read back is held by the device's delay: it stops before answering it.
        ASSERT_TRUE(pumpUntil([&] { return requestsNaming("timeOfDay", "get") == 2; }, kWaitMs));
        sim->process().pause();
    }
    // The Apply's end, whatever it says: a wrong text fails then, not at the bound.
    const bool ended = pumpUntil([&] { return form->Idle && !form->SntpReq->Busy; }, 60000);
    if (c.stopBeforeReadBack)
        sim->process().resume();
    ASSERT_TRUE(ended) << form->StatusBar->SimpleText();
    EXPECT_EQ(form->StatusBar->SimpleText(), c.status);
    const std::vector<std::string> written = sets();
    EXPECT_EQ(std::vector<std::string>(written.begin() + static_cast<long>(before), written.end()), c.sets);
    EXPECT_TRUE(form->Idle);
    EXPECT_TRUE(form->Bt_Apply->Enabled());
    if (c.stopBeforeReadBack) {
        EXPECT_EQ(form->CB_WSNTPTimeZone->ItemIndex(), -1);
        EXPECT_EQ(form->LabRLocalTime->Text(), "");
    }
}

const char *const kSntpAsRead = "sntpServerIP=0.0.0.0 sntpTZoneIdx=27 dayLightSaving=0";

INSTANTIATE_TEST_SUITE_P(
    Faults, SntpApplyOutcome,
    ::testing::Values(
        SntpOutcome{"method refused",
                    {"--fault", "sntptimesetmethod=error:genErr@set"},
                    false,
                    {kSntpAsRead, "sntptimesetmethod=1 (genErr)"},
                    "Setting error! Not written: SNTP/NTP or Manual Setting. Written before it: "
                    "SNTP/NTP Settings."},
        SntpOutcome{"device stopped before the read back",
                    {"--fault", "timeOfDay=delay:2000@get"},
                    true,
                    {kSntpAsRead, "sntptimesetmethod=1", "sntpsetTimeofDay=\"2026:03:01:09:30:00\""},
                    "Setting success! Not read back: SNTP/NTP Settings."},
        // What was read is set; the daylight saving, which the list governs, is not.
        SntpOutcome{"time zone list not sent",
                    {"--tftp-client", "/bin/true"},
                    false,
                    {"sntpServerIP=0.0.0.0 sntpTZoneIdx=27", "sntptimesetmethod=1",
                     "sntpsetTimeofDay=\"2026:03:01:09:30:00\""},
                    "Setting success! Not read, so not written: Daylight Saving Time."}),
    CaseName());

// A list left by an earlier opening never passes for the new one.
TEST_F(Sntp, ListThatDidNotArriveLeavesEveryZoneWithoutDaylightSaving)
{
    startTransferDevice({"--tftp-client", "/bin/true"});
    kvtest::writeText(receivedFolder() + "/SNTPFile.RD", lines(75, '1'));
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(pumpUntil([&] { return form->Idle; }, 5000));
    EXPECT_EQ(form->StatusBar->SimpleText(),
              "Get fail. The time zone list was not read: Daylight Saving Time is not written.");
    EXPECT_FALSE(fs::exists(receivedFolder() + "/SNTPFile.RD"));
    EXPECT_TRUE(form->Bt_Apply->Enabled());
    EXPECT_FALSE(form->CHB_DayLight->Enabled());
    form->Close();
    EXPECT_FALSE(form->Visible());
}

TEST_F(Sntp, ClosingIsRefusedWhileTheListIsOnItsWay)
{
    startTransferDevice({"--fault", "sntpGetList=delay:600@set"});
    auto form = openForm(SNTPForm);
    form->Close();
    EXPECT_TRUE(form->Visible());
    ASSERT_TRUE(ready(*form));
    form->Close();
    EXPECT_FALSE(form->Visible());
}

TEST_F(Sntp, Layout)
{
    startTransferDevice();
    auto form = openForm(SNTPForm);
    ASSERT_TRUE(ready(*form));
    checkLayout(form.get(), "TSNTPForm");
}

// The log viewer against the simulated device, which sends its LogFile.RD fixture.
#include "Misc.h"
#include "Startup.h"
#include "TLogForm.h"
#include "TestEnv.h"
#include "TransferFixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace formtest;
namespace fs = std::filesystem;

namespace {

class LogView : public TransferTest {
protected:
    std::vector<std::vector<std::string>> rows(TLogForm &f)
    {
        std::vector<std::vector<std::string>> out;
        for (int i = 0; i < f.ViewListView->Items()->Count(); ++i) {
            TListItem *row = f.ViewListView->Items()->Item(i);
            out.push_back({row->Caption(), row->SubItems()->Strings(0), row->SubItems()->Strings(1)});
        }
        return out;
    }
    bool fetched(TLogForm &f)
    {
        return pumpUntil([&] { return f.StatusBar1->SimpleText().rfind("Get ", 0) == 0; }, 8000);
    }
};

struct Split {
    const char *line, *time, *type, *message;
};

class LogLineSplit : public ::testing::TestWithParam<Split> {};

} // namespace

TEST_P(LogLineSplit, TakesTimeTypeAndMessage)
{
    const Split s = GetParam();
    const LogLine l = SplitLogLine(s.line);
    EXPECT_EQ(l.Time, s.time);
    EXPECT_EQ(l.Type, s.type);
    EXPECT_EQ(l.Message, s.message);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LogLineSplit,
    ::testing::Values(Split{"08:15:02 am\t<6>[System]started", "08:15:02 am", "System", "started"},
                      Split{"  1:00 pm \t[ A ] b ", "1:00 pm", " A ", " b "},
                      Split{"t\t[x]y]z", "t", "x", "y]z"}, Split{"no tab [T]m", "", "T", "m"},
                      Split{"t\tno type", "t", "", "no type"}, Split{"t\t[open only", "t", "", "open only"},
                      Split{"   ", "", "", "   "}));

TEST_F(LogView, OpeningListsTheDevicesLog)
{
    startTransferDevice();
    auto form = openForm(LogForm);
    ASSERT_TRUE(fetched(*form));
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Get OK.");
    const std::vector<std::vector<std::string>> expected = {
        {"08:15:02 am", "System", "Wireless access point started"},
        {"08:15:09 am", "Wireless", "Radio on channel 6"},
        {"08:17:40 am", "Wireless", " Station 00:11:22:33:44:55 associated "},
        {"08:20:01 am", "Security", "Authentication [PSK] failed for 00:11:22:33:44:66"},
        {"08:21:30 am", "", "message without a type"},
    };
    EXPECT_EQ(rows(*form), expected);
    expectSets({"adTFTPServerIP=127.0.0.1 adLogFileName=\"LogFile.RD\"", "systemLogGetLog=1"});
    EXPECT_EQ(fileText(receivedFolder() + "/LogFile.RD"), fileText(sim->stateDir() + "/device/LogFile.RD"));
}

// What the device sends lands in received/ of the device's own data folder.
TEST_F(LogView, ReceivedFilesLandInTheDevicesDataFolder)
{
    startTransferDevice();
    const std::string folder = std::string(std::getenv("XDG_DATA_HOME")) + "/qrn5290ap/127.0.0.1/received";
    EXPECT_EQ(DeviceDataFolder(mainWindow().AgentAddress) + "/received", folder);
    EXPECT_EQ(ReceivedFilesFolder(), folder);
    auto form = openForm(LogForm);
    ASSERT_TRUE(fetched(*form));
    EXPECT_EQ(fileText(folder + "/LogFile.RD"), fileText(sim->stateDir() + "/device/LogFile.RD"));
}

// A log left by an earlier fetch never passes for the new one.
TEST_F(LogView, FetchWithoutArrivalNeverShowsTheOldFile)
{
    startTransferDevice({"--tftp-client", "/bin/true"});
    kvtest::writeText(receivedFolder() + "/LogFile.RD", "old\t[Old]entry\n");
    auto form = openForm(LogForm);
    ASSERT_TRUE(fetched(*form));
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Get fail.");
    EXPECT_EQ(form->ViewListView->Items()->Count(), 0);
    EXPECT_FALSE(fs::exists(receivedFolder() + "/LogFile.RD"));
}

TEST_F(LogView, RefusedFetchShowsTheErrorAndListsNothing)
{
    startTransferDevice({"--fault", "systemLogGetLog=error:genErr@set"});
    kvtest::writeText(receivedFolder() + "/LogFile.RD", "old\t[Old]entry\n");
    auto form = openForm(LogForm);
    ASSERT_TRUE(pumpUntil([&] { return form->StatusBar1->SimpleText().find("(SNMP)") == 0; }, 5000))
        << form->StatusBar1->SimpleText();
    EXPECT_EQ(form->ViewListView->Items()->Count(), 0);
    expectSets({"adTFTPServerIP=127.0.0.1 adLogFileName=\"LogFile.RD\"", "systemLogGetLog=1 (genErr)"});
}

TEST_F(LogView, ClearEmptiesTheListOnceTheDeviceConfirmed)
{
    startTransferDevice();
    auto form = openForm(LogForm);
    ASSERT_TRUE(fetched(*form));
    click(form->Clear_Btn);
    EXPECT_EQ(form->ViewListView->Items()->Count(), 5);
    ASSERT_TRUE(pumpUntil([&] { return form->ViewListView->Items()->Count() == 0; }, 3000));
    click(form->GetBtn);
    ASSERT_TRUE(pumpUntil([&] { return form->StatusBar1->SimpleText() == "Get OK."; }, 8000));
    EXPECT_EQ(form->ViewListView->Items()->Count(), 0);
    const std::vector<std::string> written = sets();
    EXPECT_EQ(written.back(), "systemLogGetLog=1");
    EXPECT_EQ(std::count(written.begin(), written.end(), "adClearLocalLog=1"), 1);
}

TEST_F(LogView, RefusedClearKeepsTheListAndSaysSo)
{
    startTransferDevice({"--fault", "adClearLocalLog=error:genErr@set"});
    auto form = openForm(LogForm);
    ASSERT_TRUE(fetched(*form));
    click(form->Clear_Btn);
    ASSERT_TRUE(pumpUntil([&] { return form->StatusBar1->SimpleText() != "Get OK."; }, 3000));
    EXPECT_EQ(form->ViewListView->Items()->Count(), 5);
}

// While LogFile.RD is on its way, nothing else is served or taken.
TEST_F(LogView, ServerAcceptsOnlyTheAnnouncedFileAndDirection)
{
    startTransferDevice({"--fault", "systemLogGetLog=delay:1500@set"});
    auto form = openForm(LogForm);
    ASSERT_TRUE(pumpUntil([&] { return form->Server->Pending() && form->Server->Arrived(); }, 5000));
    const std::pair<int, int> accessViolation{5, 2};
    EXPECT_EQ(tftpRequest(2, "other.txt"), accessViolation);
    EXPECT_EQ(tftpRequest(1, "LogFile.RD"), accessViolation);
    EXPECT_FALSE(fs::exists(receivedFolder() + "/other.txt"));
    ASSERT_TRUE(fetched(*form));
    EXPECT_EQ(form->StatusBar1->SimpleText(), "Get OK.");
    // Nothing is pending any more: the announced name is refused too.
    EXPECT_EQ(tftpRequest(2, "LogFile.RD"), accessViolation);
    EXPECT_EQ(form->ViewListView->Items()->Count(), 5);
}

TEST_F(LogView, ClosingIsRefusedWhileAFetchRuns)
{
    startTransferDevice({"--fault", "systemLogGetLog=delay:800@set"});
    auto form = openForm(LogForm);
    ASSERT_TRUE(pumpUntil([&] { return static_cast<bool>(form->GetReq->Busy); }, 3000));
    form->Close();
    EXPECT_TRUE(form->Visible());
    ASSERT_TRUE(fetched(*form));
    form->Close();
    EXPECT_FALSE(form->Visible());
}

// A form whose bindings could not all be made fetches nothing and shows why.
TEST_F(LogView, FailedSetUpStartsNoFetch)
{
    startTransferDevice();
    // Binding the command's combo to a list of text prefixes raises: it wants a second control.
    struct Swap {
        KvOptionList kept = gSystemLogGetLogNames;
        Swap() { gSystemLogGetLogNames = KvOptionList(nullptr, okPrefix, 0); }
        ~Swap() { gSystemLogGetLogNames = kept; }
    } swap;
    auto form = openForm(LogForm);
    EXPECT_NE(form->StatusBar1->SimpleText().find("(KvSNMP++)"), std::string::npos)
        << form->StatusBar1->SimpleText();
    // A read sent now reaches the device after anything the opening sent.
    ASSERT_TRUE(form->TargetReq && form->TargetReq->Get());
    ASSERT_TRUE(pumpUntil([&] { return requestsNaming("adTFTPServerIP", "get") == 1; }, 5000));
    EXPECT_EQ(requestsNaming("adTFTPServerIP", "set"), 0);
    EXPECT_EQ(requestsNaming("systemLogGetLog"), 0);
    expectNoSet();
}

TEST_F(LogView, Layout)
{
    startTransferDevice();
    auto form = openForm(LogForm);
    ASSERT_TRUE(fetched(*form));
    checkLayout(form.get(), "TLogForm");
}

// The client information form against the simulated device.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "TClientInformation.h"
#include "TestEnv.h"

using namespace formtest;

namespace {

// Long enough for a loaded machine; a passing wait ends as soon as its condition holds.
constexpr int kWait = 10000;

class ClientInfo : public FormTest {
protected:
    static std::vector<std::string> rows(TListView *view)
    {
        std::vector<std::string> out;
        for (int i = 0; i < view->Items()->Count(); ++i) {
            const TListItem *row = view->Items()->Item(i);
            std::string line = row->Caption();
            for (int k = 0; k < row->SubItems()->Count(); ++k)
                line += "|" + row->SubItems()->Strings(k);
            out.push_back(line);
        }
        return out;
    }
    static bool listed(TClientInformation &f)
    {
        return pumpUntil([&] { return !f.ClientBusy && f.User_ListView->Items()->Count() > 0; }, kWait);
    }
    static std::string status(TClientInformation &f) { return f.StatusBar->Panels()->Items(0)->Text(); }
};

// Slots 2, 5 and 7 of the device's table are empty.
const std::vector<std::string> kClients = {
    "1|00A0C5112233|G|Open System|80  %|Off",
    "2|00A0C5445566|A|WPA-Personal|45  %|On",
    "3|00A0C5778899|B|WPA2-Personal|62  %|Off",
    "4|00A0C5AABBCC|G|Shared Key|17  %| ",
    "5|00A0C5DDEEFF| | |99  %|On",
};

} // namespace

TEST_F(ClientInfo, OpensFromTheMenuAndListsTheUsedSlots)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.status2->Click();
    EXPECT_TRUE(openFromMenu<TClientInformation>(menu.Client1, [&](TClientInformation &f) {
        EXPECT_EQ(f.Text(), "Status\\Client Info");
        EXPECT_TRUE(listed(f));
        EXPECT_EQ(rows(f.User_ListView), kClients);
        EXPECT_EQ(f.NumOfRecord->Text(), "5");
        EXPECT_EQ(f.User_ListView->Columns()->Items(6)->Width(), 0); // no SSID column
        EXPECT_FALSE(f.TS_WDSInfo->TabVisible());
    }));
    EXPECT_EQ(requestsNaming("wdsGet"), 0);
    EXPECT_GE(requestsNaming("adGetClient", "set"), 1);
    EXPECT_EQ(sets().front(), "adGetClient=1");
}

TEST_F(ClientInfo, WithTheSsidColumnTheWalkedNamesStand)
{
    const std::string profile = kvtest::makeTempDir("kv-clients-") + "/ssid.cat";
    kvtest::writeText(profile, "set mssidindication 1\n");
    startDevice({"--profile", profile});
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(listed(*f));
    EXPECT_EQ(rows(f->User_ListView)[1], "2|00A0C5445566|A|WPA-Personal|45  %|On|guest");
    EXPECT_NE(f->User_ListView->Columns()->Items(6)->Width(), 0);
}

TEST_F(ClientInfo, OnlyEmptySlotsListNothing)
{
    const std::string profile = kvtest::makeTempDir("kv-clients-") + "/empty.cat";
    std::string lines;
    for (int i = 1; i <= 8; ++i)
        lines += "set clientMACAddress." + std::to_string(i) + " 0x000000000000\n";
    kvtest::writeText(profile, lines);
    startDevice({"--profile", profile});
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(pumpUntil([&] { return !f->ClientBusy; }, kWait));
    EXPECT_EQ(f->User_ListView->Items()->Count(), 0);
    EXPECT_EQ(f->NumOfRecord->Text(), "0");
}

TEST_F(ClientInfo, BridgeModesShowTheWdsPeers)
{
    startDevice({"--profile", "bridge"});
    auto f = openForm(ClientInformation);
    EXPECT_TRUE(f->TS_WDSInfo->TabVisible());
    ASSERT_TRUE(pumpUntil([&] { return !f->WdsBusy; }, kWait));
    EXPECT_EQ(rows(f->LV_WDSInfo_User),
              (std::vector<std::string>{"1|0012AB000101|G|Open System|70|Enable|bridge-a",
                                        "2|0012AB000202|B|WPA-Personal|35|Disable|bridge-b",
                                        "3|000000000000|A|Open System|0|Disable|",
                                        "4|000000000000|A|Open System|0|Disable|"}));
    EXPECT_EQ(f->Lab_WDSRecordNum->Text(), "4");
    EXPECT_EQ(requestsNaming("wdsGet", "set"), 1);
}

TEST_F(ClientInfo, TheTimerGathersTheListAgain)
{
    startDevice();
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(listed(*f));
    EXPECT_TRUE(pumpUntil([&] { return requestsNaming("adGetClient", "set") >= 3; }, kWait));
}

// The device answers after 600 ms: a tick during a cycle is skipped, so no second detection
// goes out while one runs, the walk is never refused and the list fills; an idle tick starts one.
TEST_F(ClientInfo, NoOverlappingCyclesWithADelayedDevice)
{
    startDevice({"--fault", "adGetClient=delay:600@set"});
    auto f = openForm(ClientInformation);
    f->Timer1->SetEnabled(false); // the test gives the ticks
    ASSERT_TRUE(f->ClientBusy);
    ASSERT_TRUE(pumpUntil([&] { return requestsNaming("adGetClient", "set") == 1; }, kWait));
    for (int i = 0; i < 3; ++i)
        f->Timer1->OnTimer(f->Timer1);
    EXPECT_TRUE(pumpUntil([&] { return !f->ClientBusy && f->User_ListView->Items()->Count() == 5; }, kWait));
    EXPECT_EQ(status(*f).find("Detect timed out!"), std::string::npos);
    EXPECT_EQ(requestsNaming("adGetClient", "set"), 1);
    f->Timer1->OnTimer(f->Timer1);
    EXPECT_TRUE(f->ClientBusy);
    EXPECT_TRUE(pumpUntil([&] { return requestsNaming("adGetClient", "set") == 2; }, kWait));
}

TEST_F(ClientInfo, AFailedDetectionSaysSoAndListsNothing)
{
    startDevice({"--fault", "adGetClient=error:genErr@set"});
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(pumpUntil([&] { return !f->ClientBusy; }, kWait));
    EXPECT_EQ(status(*f).rfind("Detect timed out!", 0), 0u);
    EXPECT_EQ(f->NumOfRecord->Text(), "0");
}

TEST_F(ClientInfo, ClosingIsRefusedOnlyWhileBothCyclesRun)
{
    // The WDS detection goes unanswered for its one-second time-out.
    startDevice({"--profile", "bridge", "--fault", "wdsGet=drop@set"});
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(f->ClientBusy && f->WdsBusy);
    EXPECT_FALSE(canClose(*f));
    EXPECT_TRUE(f->Timer1->Enabled());
    ASSERT_TRUE(pumpUntil([&] { return !f->ClientBusy || !f->WdsBusy; }, kWait));
    EXPECT_TRUE(canClose(*f)); // one cycle still runs
    EXPECT_FALSE(f->Timer1->Enabled());
}

TEST_F(ClientInfo, Layout)
{
    const std::string ssid = kvtest::makeTempDir("kv-clients-") + "/ssid.cat";
    kvtest::writeText(ssid, "set mssidindication 1\n");
    startDevice({"--profile", "bridge", "--profile", ssid});
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(listed(*f));
    ASSERT_TRUE(pumpUntil([&] { return !f->WdsBusy; }, kWait));
    checkLayout(f.get(), "TClientInformation");
    f->PageControl1->SetActivePage(f->TS_WDSInfo);
    checkLayout(f.get(), "TClientInformation-2");
}

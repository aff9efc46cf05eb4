// The client information form against the simulated device.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "TClientInformation.h"
#include "TestEnv.h"

using namespace formtest;

namespace {

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
        return pumpUntil([&] { return !f.ClientBusy && f.User_ListView->Items()->Count() > 0; }, 3000);
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
    ASSERT_TRUE(pumpUntil([&] { return !f->ClientBusy; }, 3000));
    EXPECT_EQ(f->User_ListView->Items()->Count(), 0);
    EXPECT_EQ(f->NumOfRecord->Text(), "0");
}

TEST_F(ClientInfo, BridgeModesShowTheWdsPeers)
{
    startDevice({"--profile", "bridge"});
    auto f = openForm(ClientInformation);
    EXPECT_TRUE(f->TS_WDSInfo->TabVisible());
    ASSERT_TRUE(pumpUntil([&] { return !f->WdsBusy; }, 3000));
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
    EXPECT_TRUE(pumpUntil([&] { return requestsNaming("adGetClient", "set") >= 3; }, 3000));
}

// Ticks come every 200 ms here, the device answers after 600 ms: a tick during a cycle is
// skipped, so the walk is never refused and the list fills.
TEST_F(ClientInfo, NoOverlappingCyclesWithADelayedDevice)
{
    startDevice({"--fault", "adGetClient=delay:600@set"});
    auto f = openForm(ClientInformation);
    int filled = 0;
    for (int i = 0; i < 30; ++i) {
        pump(50);
        filled += f->User_ListView->Items()->Count() == 5 ? 1 : 0;
    }
    EXPECT_LE(requestsNaming("adGetClient", "set"), 3);
    EXPECT_GT(filled, 0);
    EXPECT_EQ(status(*f).find("Detect timed out!"), std::string::npos);
}

TEST_F(ClientInfo, AFailedDetectionSaysSoAndListsNothing)
{
    startDevice({"--fault", "adGetClient=error:genErr@set"});
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(pumpUntil([&] { return !f->ClientBusy; }, 3000));
    EXPECT_EQ(status(*f).rfind("Detect timed out!", 0), 0u);
    EXPECT_EQ(f->NumOfRecord->Text(), "0");
}

TEST_F(ClientInfo, ClosingIsRefusedOnlyWhileBothCyclesRun)
{
    startDevice(
        {"--profile", "bridge", "--fault", "adGetClient=delay:300@set", "--fault", "wdsGet=delay:900@set"});
    auto f = openForm(ClientInformation);
    EXPECT_FALSE(canClose(*f));
    ASSERT_TRUE(pumpUntil([&] { return !f->ClientBusy; }, 3000));
    EXPECT_TRUE(f->WdsBusy);
    EXPECT_TRUE(canClose(*f));
    EXPECT_FALSE(f->Timer1->Enabled());
}

TEST_F(ClientInfo, Layout)
{
    startDevice({"--profile", "bridge"});
    auto f = openForm(ClientInformation);
    ASSERT_TRUE(listed(*f));
    checkLayout(f.get(), "TClientInformation");
}

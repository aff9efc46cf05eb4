// Home \ Wireless: the site survey against the simulated device's air, the partner picked
// from it, the newer guest scheme's awaited writes, and closing while work is under way.
#include "StatusTrail.h"
#include "WirlessTestSupport.h"

using namespace formtest;

namespace {

std::vector<std::string> listed(TListView *view, int cell)
{
    std::vector<std::string> out;
    for (int i = 0; i < view->Items()->Count(); ++i)
        out.push_back(view->Items()->Item(i)->SubItems()->Strings(cell));
    return out;
}

void pick(TFM_Wirless &f, int row)
{
    f.SiteServeyListView->SetSelected(f.SiteServeyListView->Items()->Item(row));
    f.SiteServeyListView->Click();
}

constexpr int kBSSID = 3;
constexpr int kSSID = 5;

} // namespace

class WirlessSurvey : public Wirless {
protected:
    void scan(TFM_Wirless &f)
    {
        click(f.SiteScan);
        EXPECT_TRUE(pumpUntil([&] { return f.SurveyIdle; }, 5000));
    }
};

TEST_F(WirlessSurvey, WDSModeListsOnlyAccessPointsWithWDS)
{
    startDevice();
    auto f = openWireless();
    chooseMode(*f, "WDS with AP");
    ASSERT_TRUE(f->GroupBox3->Visible());
    click(f->SiteScan);
    StatusTrail trail(f->StatusBar1);
    trail.look();
    EXPECT_FALSE(f->SiteScan->Enabled());
    EXPECT_TRUE(pumpUntil([&] { return f->SurveyIdle; }, 5000));
    trail.look();
    EXPECT_EQ(trail.texts,
              (std::vector<std::string>{"Scan...", "Site survey success,please wait ...", "Get complete."}));
    EXPECT_TRUE(f->SiteScan->Enabled());
    EXPECT_EQ(listed(f->SiteServeyListView, kBSSID),
              (std::vector<std::string>{"00904C910001", "00904C910002", "00904C910006"}));
    expectSets({"adRefresh=1"});
    EXPECT_EQ(requestsNaming("adRefresh", "set"), 1);
}

TEST_F(WirlessSurvey, RepeaterListsEveryAccessPointAndTakesTheChosenOne)
{
    startDevice();
    auto f = openWireless();
    chooseMode(*f, "Universal Repeater");
    EXPECT_EQ(f->GroupBox2->Text(), " Universal Repeater ");
    scan(*f);
    ASSERT_EQ(f->SiteServeyListView->Items()->Count(), 6);
    EXPECT_EQ(listed(f->SiteServeyListView, kSSID)[3], "Warehouse");
    pick(*f, 3);
    EXPECT_EQ(f->Ed_RoMAddra0->Text(), "001310AABB04");
    EXPECT_EQ(f->Ed_SSID->Text(), "Warehouse");
    EXPECT_TRUE(f->Ed_SSID->ReadOnly());
}

TEST_F(WirlessSurvey, SameAccessPointTwiceIsRefusedWhateverTheCase)
{
    startDevice();
    auto f = openWireless();
    chooseMode(*f, "WDS");
    scan(*f);
    pick(*f, 1);
    EXPECT_EQ(f->Ed_ReMAddra0->Text(), "00904C910002");
    type(f->Ed_ReMAddra0, "00904c910002");
    expectBox("The same MAC address has been added!", "Warning");
    pick(*f, 1);
    pick(*f, 0);
    EXPECT_EQ(f->Ed_ReMAddra1->Text(), "00904C910001");
    expectSets({"adRefresh=1"}); // picking writes nothing
}

TEST_F(WirlessSurvey, FailedScanSaysWhyAndCanScanAgain)
{
    startDevice({"--fault", "adRefresh=error:genErr@set"});
    auto f = openWireless();
    chooseMode(*f, "WDS");
    scan(*f);
    EXPECT_EQ(f->StatusBar1->SimpleText().rfind("Site survey : ", 0), 0u) << f->StatusBar1->SimpleText();
    EXPECT_TRUE(f->SiteScan->Enabled());
    EXPECT_EQ(f->SiteServeyListView->Items()->Count(), 0);
}

// A walk that raises must not leave the form unable to close.
TEST_F(WirlessSurvey, WalkThatRaisesGivesTheFormBack)
{
    startDevice();
    auto f = openWireless();
    chooseMode(*f, "WDS");
    f->SiteSurveyBinding->KeyColumn = 99;
    scan(*f);
    EXPECT_TRUE(f->SiteScan->Enabled());
    f->Close();
    EXPECT_FALSE(f->Visible());
}

TEST_F(WirlessSurvey, CloseIsRefusedWhileScanningAndWorksAfter)
{
    startDevice({"--fault", "adRefresh=delay:400@set"});
    auto f = openWireless();
    chooseMode(*f, "WDS");
    click(f->SiteScan);
    f->Close();
    EXPECT_TRUE(f->Visible());
    EXPECT_TRUE(pumpUntil([&] { return f->SurveyIdle; }, 5000));
    f->Close();
    EXPECT_FALSE(f->Visible());
}

// Refresh in a repeater mode walks the list again, but not while a scan runs: the scan's own
// walk ends it.
TEST_F(WirlessSurvey, RefreshDuringAScanLeavesTheScanRunning)
{
    startDevice({"--profile", profile("set adAPMode 4\n")});
    auto f = openWireless();
    // A Refresh that outlasted the scan's answer would see the scan end in its own reads.
    const int delayMs = delaySetsBeyond(
        "adRefresh", 400, [&] { click(f->Bt_Refresh); }, &f->SiteScanBinding->Request);
    click(f->SiteScan);
    click(f->Bt_Refresh);
    EXPECT_EQ(f->ED_APModeTempComboBox->Text(), "Universal Repeater");
    EXPECT_FALSE(f->SurveyIdle);
    EXPECT_FALSE(f->SiteScan->Enabled());
    EXPECT_TRUE(pumpUntil([&] { return f->SurveyIdle; }, delayMs + 5000));
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Get complete.");
    EXPECT_EQ(f->SiteServeyListView->Items()->Count(), 6);
}

// Newer guest scheme: an Enterprise guest loses its security when the primary leaves
// Enterprise; those writes are awaited, and the form does not close in between.
TEST_F(WirlessSurvey, GuestWritesAreAwaitedAndHoldTheClose)
{
    startDevice({"--profile", "newmssid", "--profile",
                 profile("set adMSSIDState 1\nset adMSSIDIdvState.1.3 1\nset adMSSIDEncryption.1.3 1\n"
                         "set adMSSIDAuth.1.3 5\nset adSecAuthentication-a 5\nset adSecEncryption-a 1\n"
                         "set SecRADIUSServer \"127.0.0.20\"\n"),
                 "--fault", "adMSSIDEncryption.1.3=delay:300@set"});
    auto f = openWireless();
    EXPECT_EQ(f->CB_MultEnable->Text(), "Enabled");
    chooseAuth(*f, "Open System");
    expectBox(
        "To change authentication type of Primary SSID will change WPA-Enterprise of Secondary SSID to non "
        "security.",
        "Warning");
    click(f->Bt_Apply);
    f->Close();
    EXPECT_TRUE(f->Visible());
    EXPECT_TRUE(pumpUntil([&] { return !f->Applying(); }, 5000));
    const std::vector<std::string> s = sets();
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ(s[0], "adMSSIDEncryption.1.3=0");
    EXPECT_EQ(s[1], "adMSSIDAuth.1.3=1");
    EXPECT_EQ(s[2], "hSSID=\"QRN-5290AP\" hSSIDBroadcast=1 hChannel=6");
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Setting Success!");
    EXPECT_TRUE(pumpUntil([&] { return !f->Visible(); }, 2000)); // the close asked for comes now
}

TEST_F(WirlessSurvey, Layout)
{
    startDevice();
    auto f = openWireless();
    chooseMode(*f, "WDS with AP");
    scan(*f);
    ASSERT_GT(f->SiteServeyListView->Items()->Count(), 1);
    pick(*f, 1);
    checkLayout(f.get(), "TFM_Wirless-2");
}

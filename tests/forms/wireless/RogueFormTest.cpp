// The rogue AP detection form against the simulated device and the air around it (the air
// fixture: five access points and one ad hoc network, see tools/devsim/catalog/fixtures/air.txt).
#include "FormFixture.h"
#include "ProfileText.h"
#include "TFM_RogueForm.h"

using namespace formtest;

namespace {

class Rogue : public FormTest {
protected:
    FormHandle<TFM_RogueForm> open(const std::vector<std::string> &args = {})
    {
        startDevice(args);
        auto form = openForm(FM_RogueForm);
        waitIdle(*form);
        return form;
    }
    static void waitIdle(TFM_RogueForm &f)
    {
        EXPECT_TRUE(pumpUntil([&] { return f.Closable(); }, 5000));
    }
    static std::vector<std::string> ssids(TListView *view)
    {
        std::vector<std::string> out;
        for (int i = 0; i < view->Items()->Count(); ++i)
            out.push_back(view->Items()->Item(i)->SubItems()->Strings(5));
        return out;
    }
    static bool closes(TForm &f)
    {
        f.Close();
        return !f.Visible();
    }
    void detect(TFM_RogueForm &f)
    {
        click(f.DetectBtn);
        waitIdle(f);
    }
};

} // namespace

TEST_F(Rogue, TheMenuOpensItAndItShowsTheFiltersAndListsItRead)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    EXPECT_TRUE(menu.RogueAP->Visible());
    EXPECT_TRUE(openFromMenu<TFM_RogueForm>(menu.RogueAP, [&](TFM_RogueForm &f) {
        ASSERT_TRUE(pumpUntil([&] { return f.Closable(); }, 5000));
        EXPECT_EQ(f.Text(), "Advanced\\Rogue AP");
        EXPECT_EQ(f.BSSTypRadGrp->ItemIndex(), 0);
        EXPECT_TRUE(f.CheckBox_11b->Checked());
        EXPECT_TRUE(f.CheckBox_11g->Checked());
        EXPECT_TRUE(f.WPA2AUTPCkBox->Checked());
        EXPECT_TRUE(f.DetectBtn->Enabled());
        EXPECT_TRUE(f.Cancel_Btn->Enabled());
        EXPECT_EQ(f.StatusBar1->SimpleText(), "Get OK!");
        EXPECT_EQ(f.RogueListView->Items()->Count(), 0);
        EXPECT_EQ(f.RogueListView->Columns()->Items(0)->Width(), 0);
    }));
    expectNoSet();
}

struct FilterCase {
    const char *band;
    const char *security;
    std::vector<bool> bands;     // 11a, 11b, 11g
    std::vector<bool> security8; // in bit order
};

class RogueFilters : public Rogue, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(RogueFilters, AreShownAsBoxesByBit)
{
    const FilterCase &c = GetParam();
    auto f = open({"--profile", writeProfile(std::string("set bandTypeDetected ") + c.band +
                                             "\nset securityTypeDetected " + c.security + "\n")});
    EXPECT_EQ((std::vector<bool>{f->CheckBox_11a->Checked(), f->CheckBox_11b->Checked(),
                                 f->CheckBox_11g->Checked()}),
              c.bands);
    std::vector<bool> security;
    for (TCheckBox *box : {f->ChcBxo_off, f->ChcBxo_wep, f->ChcBxo_eap, f->ChcBxo_psk, f->WPA2EAPCkBox,
                           f->WPA2PSKCkBox, f->WPA2AUTECkBox, f->WPA2AUTPCkBox})
        security.push_back(box->Checked());
    EXPECT_EQ(security, c.security8);
    EXPECT_EQ(f->BandEdit->Text(), c.band); // shown, not changed
}

INSTANTIATE_TEST_SUITE_P(
    Bits, RogueFilters,
    ::testing::Values(
        FilterCase{"2", "0", {false, false, false}, std::vector<bool>(8, false)},
        FilterCase{"13", "5", {true, true, true}, {true, false, true, false, false, false, false, false}},
        FilterCase{
            "8", "160", {false, false, true}, {false, false, false, false, false, true, false, true}}));

TEST_F(Rogue, DetectionWritesTheFiltersFirstAndShowsTheMatchingAirAfterThePause)
{
    auto f = open();
    click(f->CheckBox_11b); // 11g only
    click(f->DetectBtn);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Detecting...");
    EXPECT_FALSE(f->Cancel_Btn->Enabled());
    // Answered, then paused: nothing walked yet, and the form stays busy.
    ASSERT_TRUE(pumpUntil([&] { return sets().size() == 2; }, 5000));
    EXPECT_GT(f->Outstanding(), 0);
    EXPECT_FALSE(closes(*f));
    waitIdle(*f);
    expectSets({"bssTypeDetected=1 bandTypeDetected=8 securityTypeDetected=255", "rogueAPDetect=1"});
    EXPECT_EQ(ssids(f->RogueListView), (std::vector<std::string>{"Office AP", "Lobby", "Warehouse", ""}));
    const std::vector<std::string> office = {"AP", "6", "00904C910001", "WPA2-Personal", "g", "Office AP"};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(f->RogueListView->Items()->Item(0)->SubItems()->Strings(k),
                  office[static_cast<std::size_t>(k)]);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Get OK!");
    EXPECT_TRUE(f->AddBtn->Enabled());
    EXPECT_TRUE(closes(*f));
}

TEST_F(Rogue, AdHocSendsOnlyTheOffAndWepBitsAndFindsTheAdHocNetwork)
{
    auto f = open();
    f->BSSTypRadGrp->SetItemIndex(1); // as a click on "Ad Hoc"
    EXPECT_FALSE(f->ChcBxo_eap->Enabled());
    EXPECT_FALSE(f->WPA2AUTPCkBox->Enabled());
    EXPECT_TRUE(f->WPA2AUTPCkBox->Checked()); // kept, not sent
    EXPECT_TRUE(f->ChcBxo_wep->Enabled());
    EXPECT_EQ(f->SecEdit->Text(), "3");
    detect(*f);
    expectSets({"bssTypeDetected=2 bandTypeDetected=12 securityTypeDetected=3", "rogueAPDetect=1"});
    EXPECT_EQ(ssids(f->RogueListView), std::vector<std::string>{"laptop-adhoc"});
}

TEST_F(Rogue, AddMovesTheDetectedRowAndWalksBothLists)
{
    auto f = open();
    detect(*f);
    f->RogueListView->SetSelected(f->RogueListView->Items()->Item(1)); // Lobby
    click(f->AddBtn);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Adding...");
    waitIdle(*f);
    expectSets({"bssTypeDetected=1 bandTypeDetected=12 securityTypeDetected=255", "rogueAPDetect=1",
                "addRogueAPtoAPList=2"});
    EXPECT_EQ(ssids(f->AP_ListView), std::vector<std::string>{"Lobby"});
    EXPECT_EQ(ssids(f->RogueListView).size(), 4u);
    // Known now: a new detection leaves it out.
    detect(*f);
    EXPECT_EQ(ssids(f->RogueListView).size(), 4u);
}

TEST_F(Rogue, AddWithoutASelectedRowDoesNothing)
{
    auto f = open();
    detect(*f);
    click(f->AddBtn);
    EXPECT_EQ(f->Outstanding(), 0);
    EXPECT_EQ(sets().size(), 2u);
}

TEST_F(Rogue, AFullKnownListRefusesTheAddAndSendsNothing)
{
    auto f = open({"--profile", "knownapsfull"});
    EXPECT_EQ(f->AP_ListView->Items()->Count(), 30);
    detect(*f);
    f->RogueListView->SetSelected(f->RogueListView->Items()->Item(0));
    expectBox("Miximum number of AP list is 30!", "Warning");
    click(f->AddBtn);
    EXPECT_TRUE(f->AddBtn->Enabled());
    EXPECT_EQ(requestsNaming("addRogueAPtoAPList", "set"), 0);
}

TEST_F(Rogue, DeletesRemoveARowFromEitherList)
{
    auto f = open({"--fault", "deleteRogueAPfromAPList=delay:300@set"});
    detect(*f);
    f->RogueListView->SetSelected(f->RogueListView->Items()->Item(2)); // cafe-guest
    click(f->DelBtn);
    waitIdle(*f);
    EXPECT_EQ(ssids(f->RogueListView), (std::vector<std::string>{"Office AP", "Lobby", "Warehouse", ""}));
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Get OK!");
    f->RogueListView->SetSelected(f->RogueListView->Items()->Item(0));
    click(f->AddBtn);
    waitIdle(*f);
    f->AP_ListView->SetSelected(f->AP_ListView->Items()->Item(0));
    click(f->ListDelBtn);
    for (TButton *b : {f->DetectBtn, f->AddBtn, f->DelBtn, f->ListDelBtn, f->Apply_Btn, f->Cancel_Btn})
        EXPECT_FALSE(b->Enabled()) << b->Name();
    waitIdle(*f);
    EXPECT_EQ(f->AP_ListView->Items()->Count(), 0);
    const std::vector<std::string> all = sets();
    EXPECT_EQ(std::vector<std::string>(all.begin() + 2, all.end()),
              (std::vector<std::string>{"deleteRogueAPFromResult=3", "addRogueAPtoAPList=1",
                                        "deleteRogueAPfromAPList=1"}));
}

TEST_F(Rogue, CommandsAreSentOnceWithoutRetries)
{
    auto f = open({"--fault", "rogueAPDetect=drop@set"});
    f->DetectBinding->Request.Timeout = 30; // a short wait for the answer that never comes
    click(f->DetectBtn);
    waitIdle(*f);
    EXPECT_EQ(requestsNaming("rogueAPDetect", "set"), 1);
    EXPECT_NE(f->StatusBar1->SimpleText(), "Detecting...");
    EXPECT_TRUE(f->DetectBtn->Enabled());
    EXPECT_TRUE(closes(*f));
}

struct RowCommandCase {
    const char *command;
    const char *profile; // besides the catalog's
    std::unique_ptr<FormBinding> TFM_RogueForm::*binding;
    TListView *TFM_RogueForm::*list;
    TButton *TFM_RogueForm::*button;
};

class RogueRowCommands : public Rogue, public ::testing::WithParamInterface<RowCommandCase> {};

// The row commands too: one set each, however long the answer is awaited.
TEST_P(RogueRowCommands, AreSentOnceWithoutRetries)
{
    const RowCommandCase &c = GetParam();
    std::vector<std::string> args = {"--fault", std::string(c.command) + "=drop@set"};
    if (*c.profile)
        args.insert(args.end(), {"--profile", c.profile});
    auto f = open(args);
    detect(*f);
    TListView *list = (*f).*c.list;
    ASSERT_GT(list->Items()->Count(), 0);
    list->SetSelected(list->Items()->Item(0));
    ((*f).*c.binding)->Request.Timeout = 30; // a short wait for the answer that never comes
    click((*f).*c.button);
    waitIdle(*f);
    EXPECT_EQ(requestsNaming(c.command, "set"), 1);
    EXPECT_NE(f->StatusBar1->SimpleText().find("timed out"), std::string::npos)
        << f->StatusBar1->SimpleText();
    EXPECT_TRUE(((*f).*c.button)->Enabled());
    EXPECT_TRUE(closes(*f));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RogueRowCommands,
    ::testing::Values(RowCommandCase{"addRogueAPtoAPList", "", &TFM_RogueForm::AddBinding,
                                     &TFM_RogueForm::RogueListView, &TFM_RogueForm::AddBtn},
                      RowCommandCase{"deleteRogueAPFromResult", "", &TFM_RogueForm::DelResultBinding,
                                     &TFM_RogueForm::RogueListView, &TFM_RogueForm::DelBtn},
                      RowCommandCase{"deleteRogueAPfromAPList", "knownapsfull",
                                     &TFM_RogueForm::DelListBinding, &TFM_RogueForm::AP_ListView,
                                     &TFM_RogueForm::ListDelBtn}),
    [](const ::testing::TestParamInfo<RowCommandCase> &p) { return std::string(p.param.command); });

TEST_F(Rogue, AWalkAskedForWhileOneRunsIsMadeAfterItAndTheFormBecomesIdle)
{
    // The first walk of the detected list is slow; the detection's walk comes while it runs.
    startDevice({"--fault", "rogueDetectedTable=delay:400@get"});
    auto f = openForm(FM_RogueForm);
    click(f->DetectBtn);
    waitIdle(*f);
    EXPECT_EQ(f->Outstanding(), 0);
    EXPECT_EQ(ssids(f->RogueListView).size(), 5u);
    EXPECT_TRUE(f->Cancel_Btn->Enabled());
    EXPECT_TRUE(closes(*f));
}

class RogueAdHocRead : public Rogue, public ::testing::WithParamInterface<bool> {};

// "Ad Hoc" as the device holds it: its WPA bits are shown but not sent, by Apply or Detect.
TEST_P(RogueAdHocRead, SendsOnlyTheOffAndWepBits)
{
    auto f = open({"--profile", writeProfile("set bssTypeDetected 2\n")});
    EXPECT_EQ(f->BSSTypRadGrp->ItemIndex(), 1);
    EXPECT_TRUE(f->WPA2AUTPCkBox->Checked());
    EXPECT_FALSE(f->WPA2AUTPCkBox->Enabled());
    if (GetParam())
        detect(*f);
    else
        click(f->Apply_Btn);
    EXPECT_EQ(setAt(0), "bssTypeDetected=2 bandTypeDetected=12 securityTypeDetected=3");
}

INSTANTIATE_TEST_SUITE_P(Detect, RogueAdHocRead, ::testing::Bool());

TEST_F(Rogue, WithTheRadioOffDetectionIsRefused)
{
    expectBox("Radio has been turned off,the rogue ap detection will be invalid! ", "Warning");
    auto f = open({"--profile", "radiooff"});
    EXPECT_FALSE(f->DetectBtn->Enabled());
    EXPECT_TRUE(f->Cancel_Btn->Enabled());
}

TEST_F(Rogue, ApplyWritesTheFilters)
{
    auto f = open();
    click(f->ChcBxo_off);
    click(f->Apply_Btn);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set Success!");
    expectSets({"bssTypeDetected=1 bandTypeDetected=12 securityTypeDetected=254"});
}

// An unchanged Apply, refused or left unanswered (the log shows a set and its one retry then).
struct ApplyOutcome {
    std::vector<std::string> args;
    std::string status;
    std::vector<std::string> logged;
};

class RogueApply : public Rogue, public ::testing::WithParamInterface<ApplyOutcome> {};

TEST_P(RogueApply, TellsTheOutcome)
{
    const kv::ScopedClock shorter(std::make_shared<kvtest::FastClock>(50, 20)); // time-outs 20 times shorter
    auto f = open(GetParam().args);
    click(f->Apply_Btn);
    EXPECT_EQ(f->StatusBar1->SimpleText(), GetParam().status);
    expectSets(GetParam().logged);
}

namespace {
const std::string kFilters = "bssTypeDetected=1 bandTypeDetected=12 securityTypeDetected=255";
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Faults, RogueApply,
    ::testing::Values(ApplyOutcome{{"--fault", "bandTypeDetected=error:genErr@set"},
                                   "Set Error! Not written: BSS Type, Band and Security.",
                                   {kFilters + " (genErr)"}},
                      ApplyOutcome{{"--fault", "bandTypeDetected=drop@set"},
                                   "Set Error! The device did not answer; it may still take the setting. Not "
                                   "answered: BSS Type, Band and Security.",
                                   {kFilters + " (genErr)", kFilters + " (genErr)"}}));

TEST_F(Rogue, Layout)
{
    auto f = open();
    detect(*f);
    checkLayout(f.get(), "TFM_RogueForm");
}

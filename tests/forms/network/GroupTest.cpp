// The Grouping form against the simulated device.
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "TFM_Group.h"

using namespace formtest;

namespace {

class Group : public FormTest {};

} // namespace

TEST_F(Group, OpensFromTheMenuWhereGroupingIsSupported)
{
    startDevice({"--profile", "grouping"});
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.advanced2->Click();
    EXPECT_TRUE(menu.adGrouping2->Visible());
    std::string caption, load, limit, link, status;
    EXPECT_TRUE(openFromMenu<TFM_Group>(menu.adGrouping2, [&](TFM_Group &f) {
        caption = f.Text();
        load = f.CB_LoadB->Text();
        limit = f.Ed_UsrL->Text();
        link = f.CB_LinkInt->Text();
        status = f.Ed_EthLS->Text();
    }));
    EXPECT_EQ(caption, "Advanced \\ Grouping");
    EXPECT_EQ(load, "Enable");
    EXPECT_EQ(limit, "32");
    EXPECT_EQ(link, "Disable");
    EXPECT_EQ(status, "Up 100M Full");
    expectNoSet();
}

TEST_F(Group, UserLimitOutsideZeroToSixtyFourSendsNothing)
{
    startDevice();
    auto form = openForm(FM_Group);
    struct Case {
        const char *typed;
        const char *set; // null: refused
    };
    // The edit takes digits only ("-1" cannot be typed); an empty one counts -1.
    const Case cases[] = {{"65", nullptr},
                          {"99", nullptr},
                          {"", nullptr},
                          {"0", "LoadBalance=1 UserLimit=0 LinkIntegrate=0"},
                          {"64", "LoadBalance=1 UserLimit=64 LinkIntegrate=0"}};
    std::vector<std::string> expected;
    for (const Case &c : cases) {
        type(form->Ed_UsrL, c.typed);
        if (c.set == nullptr)
            expectBox("Please input a number between 0 and 64.", "Error");
        else
            expected.push_back(c.set);
        click(form->Bt_Apply);
        EXPECT_EQ(form->Ed_UsrL->Text(), c.set ? c.typed : "") << c.typed;
        EXPECT_EQ(sets(), expected) << c.typed;
    }
    EXPECT_EQ(form->StatusBar->SimpleText(), "Setting OK!");
}

// The read-only link status is never written, with or without it.
TEST_F(Group, OneSetWithTheLinkStatusShownOrNot)
{
    for (const char *profile : {"grouping", "nolinkstatus"}) {
        startDevice({"--profile", profile});
        auto form = openForm(FM_Group);
        const bool shown = std::string(profile) == "grouping";
        EXPECT_EQ(form->Ed_EthLS->Visible(), shown) << profile;
        EXPECT_EQ(form->Label4->Visible(), shown) << profile;
        click(form->Bt_Apply);
        expectSets({"LoadBalance=1 UserLimit=32 LinkIntegrate=0"});
        EXPECT_EQ(requestsNaming("EthernetLinkStatus", "set"), 0);
    }
}

TEST_F(Group, OnlyAnAccessPointMayChangeGrouping)
{
    startDevice({"--profile", "bridge"});
    auto form = openForm(FM_Group);
    EXPECT_FALSE(form->CB_LoadB->Enabled());
    EXPECT_FALSE(form->CB_LinkInt->Enabled());
    form->CB_LoadB->SetItemIndex(0);
    form->CB_LoadB->OnChange(form->CB_LoadB);
    EXPECT_FALSE(form->Ed_UsrL->Enabled());
}

TEST_F(Group, CountdownSendsTheRestartAfterFiveTicks)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto form = openForm(FM_Group);
    CountdownsSeen watch;
    click(form->Bt_Apply);
    ASSERT_EQ(watch.seen().size(), 1u);
    EXPECT_EQ(watch.seen()[0].RebootDelay, 5);
    EXPECT_EQ(watch.seen()[0].Countdown, 26);
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, kWaitMs));
    expectSets({"LoadBalance=1 UserLimit=32 LinkIntegrate=0", "upgradesettingcommand=4"});
}

TEST_F(Group, UnreadGroupSendsNothing)
{
    startDevice({"--fault", "UserLimit=error:genErr@get"});
    auto form = openForm(FM_Group);
    type(form->Ed_UsrL, "10");
    click(form->Bt_Apply);
    EXPECT_EQ(form->StatusBar->SimpleText(), "Not read, so not written: AP Grouping Settings.");
    expectNoSet();
}

TEST_F(Group, Layout)
{
    startDevice({"--profile", "grouping"});
    auto form = openForm(FM_Group);
    checkLayout(form.get(), "TFM_Group");
}

// A write that fails is told as refused or as left unanswered (the device may still take it).
class GroupWriteFails : public FormTest,
                        public ::testing::WithParamInterface<std::pair<const char *, const char *>> {};

TEST_P(GroupWriteFails, SaysHowAndRunsNoCountdown)
{
    startDevice({"--profile", "nodeferred", "--fault", GetParam().first});
    auto form = openForm(FM_Group);
    form->GroupReq->Request.Timeout = 50; // an answer that never comes, waited for less long
    CountdownsSeen watch;
    click(form->Bt_Apply);
    EXPECT_EQ(form->StatusBar->SimpleText(), GetParam().second);
    EXPECT_TRUE(watch.seen().empty());
    EXPECT_EQ(requestsNaming("upgradesettingcommand", "set"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GroupWriteFails,
    ::testing::Values(
        std::make_pair("UserLimit=error:genErr@set", "Setting Error! Not written: AP Grouping Settings."),
        std::make_pair("UserLimit=drop@set", "Setting Error! The device did not answer; it may "
                                             "still take the setting. Not answered: AP Grouping "
                                             "Settings."),
        std::make_pair("LoadBalance=drop@set", "Setting Error! The device did not answer; it may "
                                               "still take the setting. Not answered: AP Grouping "
                                               "Settings.")));

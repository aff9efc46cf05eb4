// The rules every form gets from the frame, checked once here against the simulated device.
#include "FormFixture.h"
#include "FormFrame.h"
#include "Waiting.h"
#include "WriteChain.h"

using namespace formtest;

namespace {

const FormItemTable kGroup = {
    {"2.4.3.1.1.1", "adInternalStationConnection", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.4.3.1.2.1", "adEthernet2WLANAccess", KvSyntax::Integer, KvAccess::ReadWrite},
};

class Frame : public FormTest {
protected:
    void TearDown() override
    {
        form.reset(); // before the application that owns it
        FormTest::TearDown();
    }
    void open(const std::vector<std::string> &devsimArgs = {})
    {
        startDevice(devsimArgs);
        form = std::make_unique<TForm>(Application);
        bar = Make<TStatusBar>(form.get(), "StatusBar1");
        edit = Make<TEdit>(form.get(), "Ed_Station", {8, 8, 60, 21});
        access = Make<TEdit>(form.get(), "Ed_Access", {8, 36, 60, 21});
    }
    std::unique_ptr<FormBinding> bind(BindMode mode, TObject *log = nullptr)
    {
        auto b = MakeBinding(form.get(), {.Items = kGroup, .Mode = mode, .Timeout = 50, .Log = log});
        b->AssociateEdits(0, "%u", edit);
        b->AssociateEdits(1, "%u", access);
        return b;
    }
    std::unique_ptr<TForm> form;
    TStatusBar *bar = nullptr;
    TEdit *edit = nullptr;
    TEdit *access = nullptr;
};

} // namespace

TEST(FrameItems, SuffixesUnderThePrefixEndedByAnEmptyRecord)
{
    const FormItemTable system{"1.3.6.1.2.1.1",
                               {{"5.0", "sysName", KvSyntax::DisplayStr, KvAccess::ReadWrite}}};
    EXPECT_EQ(kGroup.Count(), 2);
    EXPECT_EQ(kGroup.Items()[1].Oid, "1.3.6.1.4.1.32473.11.37.4.2.4.3.1.2.1");
    EXPECT_TRUE(kGroup.Items()[2].Oid.empty());
    EXPECT_EQ(KvSNMPItemTableCount(system), 1);
    EXPECT_EQ(kGroup.IndexOf("adEthernet2WLANAccess"), 1);
    EXPECT_THROW(kGroup.IndexOf("sysName"), std::out_of_range);
    EXPECT_THROW(FormItemTable({{"", "none", KvSyntax::Integer, KvAccess::ReadWrite}}),
                 std::invalid_argument);
}

TEST_F(Frame, AGroupIsWrittenOnlyAfterAGoodRead)
{
    open({"--fault", "adEthernet2WLANAccess=drop@get"});
    auto sync = bind(BindMode::Sync);
    EXPECT_EQ(sync->LastRead(), ReadState::NotRead);
    EXPECT_EQ(sync->Write(), WriteResult::Unread);
    EXPECT_FALSE(sync->Get());
    EXPECT_EQ(sync->LastRead(), ReadState::Failed);
    EXPECT_EQ(sync->Write(), WriteResult::Unread);

    // Asynchronous: unread while the answer is out, and after it failed to come.
    auto async = bind(BindMode::Async);
    async->Get();
    EXPECT_EQ(async->LastRead(), ReadState::Reading);
    EXPECT_EQ(async->Write(), WriteResult::Unread);
    ASSERT_TRUE(pumpUntil([&] { return !async->Busy; }, 5000));
    EXPECT_EQ(async->LastRead(), ReadState::Failed);
    EXPECT_EQ(requestsNaming("adEthernet2WLANAccess", "set"), 0);
    expectNoSet();
}

TEST_F(Frame, GoodReadsAllowWritesAndNothingWritableSendsNothing)
{
    open();
    auto async = bind(BindMode::Async);
    async->Get();
    ASSERT_TRUE(pumpUntil([&] { return async->WasRead(); }, 5000));
    EXPECT_EQ(edit->Text(), "1");
    edit->SetText("0");
    EXPECT_EQ(async->Write(), WriteResult::Started);
    ASSERT_TRUE(pumpUntil([&] { return sets().size() == 1; }, 5000));

    auto sync = bind(BindMode::Sync);
    ASSERT_TRUE(sync->Get());
    {
        // Patched away for one write, whatever leaves the scope.
        AccessPatch patch(*sync, {{0, KvAccess::Invalid}});
        EXPECT_EQ(sync->Write(), WriteResult::Written);
        AccessPatch readOnly(*sync, {{1, KvAccess::ReadOnly}});
        EXPECT_EQ(sync->Write(), WriteResult::Empty);
    }
    try {
        AccessPatch patch(*sync, {{1, KvAccess::Invalid}});
        throw std::runtime_error("leaves early");
    } catch (const std::runtime_error &) {
    }
    EXPECT_THROW(AccessPatch(*sync, {{0, KvAccess::Invalid}, {7, KvAccess::Invalid}}), std::out_of_range);
    EXPECT_EQ(sync->Request.VarList.GetItem(0)->Access, KvAccess::ReadWrite);
    EXPECT_EQ(sync->Request.VarList.GetItem(1)->Access, KvAccess::ReadWrite);
    expectSets({"adInternalStationConnection=0 adEthernet2WLANAccess=1", "adEthernet2WLANAccess=1"});
    EXPECT_EQ(requestsNaming("adEthernet2WLANAccess", "set"), 2); // no empty request either
}

TEST_F(Frame, CloseIsRefusedWhileBusyOrNotIdleAndAskingChangesNothing)
{
    open({"--fault", "adEthernet2WLANAccess=delay:300@get"});
    std::unique_ptr<FormBinding> b = bind(BindMode::Async);
    bool idle = true;
    TCloseGuard guard;
    guard.Watch(b);
    guard.WatchIdle(idle);
    guard.Install(form.get());
    form->Show();
    b->Get();
    form->Close();
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(guard.CanClose());
    ASSERT_TRUE(pumpUntil([&] { return b->WasRead(); }, 5000)); // the refusal stopped nothing
    idle = false;
    EXPECT_FALSE(guard.CanClose());
    idle = true;
    b.reset();
    form->Close();
    EXPECT_FALSE(form->Visible());
}

TEST_F(Frame, CreationStopsAtAnExceptionAndShowsItsText)
{
    open();
    std::unique_ptr<FormBinding> b;
    EXPECT_FALSE(GuardCreate(bar, [&] {
        b = bind(BindMode::Sync, bar);
        b->Get();
        b->Associate(5, edit); // no such item
        edit->SetText("not reached");
    }));
    EXPECT_EQ(edit->Text(), "1");
    EXPECT_NE(bar->SimpleText().find("(KvSNMP++)"), std::string::npos) << bar->SimpleText();
    EXPECT_TRUE(GuardCreate(bar, [] {}));
}

TEST_F(Frame, LoggingBindingShowsTheLibraryTextOfAFailedRead)
{
    open({"--fault", "adInternalStationConnection=error:genErr@get"});
    auto b = bind(BindMode::Sync, bar);
    EXPECT_FALSE(b->Get());
    EXPECT_EQ(bar->SimpleText().rfind("Get: (SNMP) ", 0), 0u) << bar->SimpleText();
}

TEST_F(Frame, CountdownRunsOnlyWithoutDeferredSaving)
{
    open();
    ASSERT_TRUE(gSaveActivateSupported);
    EXPECT_FALSE(RunRestartCountdown());
    gSaveActivateSupported = false;
    std::string caption;
    kv::Timer watch;
    watch.onTimeout = [&] {
        if (FM_Waiting != nullptr)
            caption = FM_Waiting->Text() + " " + FM_Waiting->Label1->Text();
    };
    watch.start(1);
    EXPECT_TRUE(
        RunRestartCountdown({.Countdown = 3, .SendReboot = false, .Caption = "Restart", .Label1 = "Wait"}));
    watch.stop();
    EXPECT_EQ(caption, "Restart Wait");
    EXPECT_EQ(FM_Waiting, nullptr);
    pump(100);
    expectNoSet();
}

// A device value the list lacks: added under its name and shown, marked kept until the user
// picks another entry or the list is filled anew, gone when another value is read; nothing
// read, nothing chosen.
TEST_F(Frame, AValueTheListLacksIsKeptUntilAnotherIsChosen)
{
    startApplication();
    form = std::make_unique<TForm>(Application);
    auto *combo = Make<TComboBox>(form.get(), "CB_Chana", {8, 8, 60, 21}, {"1", "2"});
    EXPECT_EQ(ShowDeviceValue(combo, "13"), 2);
    EXPECT_EQ(combo->Text(), "13");
    EXPECT_TRUE(ShowsKeptValue(combo));
    EXPECT_EQ(ShowDeviceValue(combo, "13"), 2); // shown again, not added twice
    EXPECT_EQ(combo->Items()->Count(), 3);
    combo->SetItemIndex(0);
    EXPECT_FALSE(ShowsKeptValue(combo));
    EXPECT_EQ(ShowDeviceValue(combo, "14"), 2); // a value read anew takes the earlier one's place
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(ShowDeviceValue(combo, "2"), 1);
    EXPECT_FALSE(ShowsKeptValue(combo));
    EXPECT_EQ(combo->Items()->Count(), 2); // "14" is no choice: the device holds "2"
    EXPECT_EQ(ShowDeviceValue(combo, ""), -1);
    EXPECT_FALSE(ShowsKeptValue(combo));
    FillChannelList("1 2 13", combo, "13");
    EXPECT_FALSE(ShowsKeptValue(combo)); // listed now
}

// The writes of an Apply, group after group: what was written before a failure is named in the
// form's words, a group not read is skipped and named, a refusal and a write the device left
// unanswered are told apart, and an asynchronous group goes on from its completion.
TEST_F(Frame, AChainOfWritesNamesWhatItWroteSkippedAndStoppedAt)
{
    const FormItemTable stationItems = {
        {"2.4.3.1.1.1", "adInternalStationConnection", KvSyntax::Integer, KvAccess::ReadWrite}};
    const FormItemTable accessItems = {
        {"2.4.3.1.2.1", "adEthernet2WLANAccess", KvSyntax::Integer, KvAccess::ReadWrite}};
    const FormItemTable levelItems = {{"2.11.1.0", "adSystemLevel", KvSyntax::Integer, KvAccess::ReadWrite}};
    const struct {
        const char *name;
        std::vector<std::string> args;
        bool asyncMiddle; // the middle group writes asynchronously
        bool stopBeforeWrites;
        bool goOn; // the rest does not depend on the first group
        // The first group is put back when the last one does not come (1), or after any later
        // stop, as the first's own declared put-back (2).
        int putBack;
        std::string text;
        std::vector<std::string> sets;
    } cases[] = {
        {"all written",
         {},
         false,
         false,
         false,
         0,
         "Done!",
         {"adInternalStationConnection=1", "adEthernet2WLANAccess=1", "adSystemLevel=1"}},
        {"refused in the middle",
         {"--fault", "adEthernet2WLANAccess=error:genErr@set"},
         false,
         false,
         false,
         0,
         "Failed! Not written: Access. Written before it: Station.",
         {"adInternalStationConnection=1", "adEthernet2WLANAccess=1 (genErr)"}},
        {"asynchronous, refused",
         {"--fault", "adEthernet2WLANAccess=error:genErr@set"},
         true,
         false,
         false,
         0,
         "Failed! Not written: Access. Written before it: Station.",
         {"adInternalStationConnection=1", "adEthernet2WLANAccess=1 (genErr)"}},
        {"asynchronous, all written",
         {},
         true,
         false,
         false,
         0,
         "Done!",
         {"adInternalStationConnection=1", "adEthernet2WLANAccess=1", "adSystemLevel=1"}},
        {"middle not read",
         {"--fault", "adEthernet2WLANAccess=error:genErr@get"},
         false,
         false,
         false,
         0,
         "Done! Not read, so not written: Access.",
         {"adInternalStationConnection=1", "adSystemLevel=1"}},
        {"refused first, the rest goes on",
         {"--fault", "adInternalStationConnection=error:genErr@set"},
         true,
         false,
         true,
         0,
         "Failed! Not written: Station. Written after it: Access, Level.",
         {"adInternalStationConnection=1 (genErr)", "adEthernet2WLANAccess=1", "adSystemLevel=1"}},
        {"refused last, the first put back",
         {"--fault", "adSystemLevel=error:genErr@set"},
         false,
         false,
         false,
         1,
         "Failed! Not written: Level. Written before it: Station, Access. Put back as before: Station.",
         {"adInternalStationConnection=1", "adEthernet2WLANAccess=1", "adSystemLevel=1 (genErr)",
          "adInternalStationConnection=1"}},
        {"refused last, the first's own put-back after the stop",
         {"--fault", "adSystemLevel=error:genErr@set"},
         true,
         false,
         false,
         2,
         "Failed! Not written: Level. Written before it: Station, Access. Put back as before: Station.",
         {"adInternalStationConnection=1", "adEthernet2WLANAccess=1", "adSystemLevel=1 (genErr)",
          "adInternalStationConnection=1"}},
        {"all written, the first's own put-back not needed",
         {},
         true,
         false,
         false,
         2,
         "Done!",
         {"adInternalStationConnection=1", "adEthernet2WLANAccess=1", "adSystemLevel=1"}},
        {"device stopped",
         {},
         false,
         true,
         false,
         0,
         "Failed! The device did not answer; it may still take the setting. Not answered: Station.",
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        open(c.args);
        WriteChain chain(form.get());
        auto make = [&](const FormItemTable &items, const char *label, BindMode mode) {
            auto b = MakeBinding(form.get(), {.Items = items, .Label = label, .Mode = mode, .Timeout = 50});
            b->Get();
            EXPECT_TRUE(pumpUntil([&] { return !b->Busy; }, 5000));
            return b;
        };
        auto first = make(stationItems, "Station", BindMode::Sync);
        auto middle = make(accessItems, "Access", c.asyncMiddle ? BindMode::Async : BindMode::Sync);
        auto last = make(levelItems, "Level", BindMode::Sync);
        if (c.stopBeforeWrites)
            sim->process().pause();
        chain.Begin();
        bool ended = false;
        // Sent as the groups hold them (read from the device), not read again.
        const GroupWrite asHeld = {.After = AfterSet::KeepShown, .Values = SendValues::AsHeld};
        GroupWrite firstHow = asHeld;
        if (c.goOn)
            firstHow.Failure = OnFailure::GoOn;
        if (c.putBack == 2)
            firstHow.IfStoppedLater = [&] {
                chain.PutBack({.Group = first.get(), .Values = SendValues::AsHeld});
            };
        const bool firstWritten = chain.Put(first.get(), firstHow) == GroupResult::Written;
        ASSERT_TRUE(firstWritten || c.stopBeforeWrites || c.goOn);
        GroupWrite lastHow = asHeld;
        if (c.putBack == 1)
            lastHow.PutBack = {.Group = first.get(), .Values = SendValues::AsHeld};
        chain.PutThen(middle.get(), asHeld, [&](bool goesOn) {
            if (goesOn)
                chain.Put(last.get(), lastHow);
            ended = true;
        });
        ASSERT_TRUE(pumpUntil([&] { return ended; }, 10000));
        sim->process().resume();
        // Twice: a declared put-back runs once.
        chain.PutBackAfterStop();
        chain.PutBackAfterStop();
        EXPECT_EQ(chain.Text("Done!", "Failed!"), c.text);
        EXPECT_EQ(chain.Wrote(first.get()), firstWritten);
        if (!c.stopBeforeWrites)
            expectSets(c.sets);
        first.reset();
        middle.reset();
        last.reset();
        form.reset();
        sim.reset();
    }
}

// What a group says by name of how it goes into the chain: a refusal named while the rest goes
// on (not a write left unanswered), a part it keeps out named, a value that cannot go out noted
// as the group's failure.
TEST_F(Frame, AGroupSaysByNameHowItGoesIntoTheChain)
{
    const FormItemTable levelItems = {{"2.11.1.0", "adSystemLevel", KvSyntax::Integer, KvAccess::ReadWrite}};
    const struct {
        const char *name;
        std::vector<std::string> args;
        bool stopped;   // the device stops before the writes
        bool throws;    // the first group's write throws (a value that cannot go out)
        GroupWrite how; // the first group's options
        std::string text;
        std::vector<std::string> sets;
    } cases[] = {
        {"refused, named, the rest goes on",
         {"--fault", "adInternalStationConnection=error:genErr@set"},
         false,
         false,
         {.Failure = OnFailure::GoOnIfRefused},
         "Done! Refused: Station.",
         {"adInternalStationConnection=1 adEthernet2WLANAccess=1 (genErr)", "adSystemLevel=1"}},
        {"left unanswered, the rest does not go on",
         {},
         true,
         false,
         {.Failure = OnFailure::GoOnIfRefused},
         "Failed! The device did not answer; it may still take the setting. Not answered: Station.",
         {}},
        {"a part kept out is named",
         {},
         false,
         false,
         {.LeftOut = {"Daylight Saving"}},
         "Done! Not read, so not written: Daylight Saving.",
         {"adInternalStationConnection=1 adEthernet2WLANAccess=1", "adSystemLevel=1"}},
        {"a write that throws", {}, false, true, {}, "Failed! Not written: Station.", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        open(c.args);
        WriteChain chain(form.get());
        auto first = MakeBinding(
            form.get(), {.Items = kGroup, .Label = "Station", .Mode = BindMode::Sync, .Timeout = 50});
        first->AssociateEdits(0, "%u", edit);
        first->AssociateEdits(1, "%u", access);
        auto last = MakeBinding(
            form.get(), {.Items = levelItems, .Label = "Level", .Mode = BindMode::Sync, .Timeout = 50});
        ASSERT_TRUE(first->Get());
        ASSERT_TRUE(last->Get());
        if (c.stopped)
            sim->process().pause();
        chain.Begin();
        if (c.throws)
            EXPECT_THROW(
                chain.PutOwn(
                    first.get(), []() -> WriteResult { throw std::runtime_error("cannot go out"); }, c.how),
                std::runtime_error);
        else
            chain.Put(first.get(), c.how);
        chain.Put(last.get(), {.Values = SendValues::AsHeld});
        sim->process().resume();
        EXPECT_EQ(chain.Text("Done!", "Failed!"), c.text);
        EXPECT_EQ(chain.FailureDetail(), c.throws ? "cannot go out" : "");
        if (!c.stopped)
            expectSets(c.sets);
        first.reset();
        last.reset();
        form.reset();
        sim.reset();
    }
}

// A kept value goes only from the lists whose group the Apply wrote.
TEST_F(Frame, KeptValuesGoOnlyWithTheirWrittenGroup)
{
    open();
    WriteChain chain(form.get());
    auto written = bind(BindMode::Sync);
    auto unread = MakeBinding(form.get(), {.Items = kGroup, .Label = "Other", .Mode = BindMode::Sync});
    ASSERT_TRUE(written->Get());
    auto *a = Make<TComboBox>(form.get(), "CB_A", {8, 60, 60, 21}, {"1", "2"});
    auto *b = Make<TComboBox>(form.get(), "CB_B", {8, 90, 60, 21}, {"1", "2"});
    ShowDeviceValue(a, "13");
    ShowDeviceValue(b, "13");
    a->SetItemIndex(0);
    b->SetItemIndex(0);
    chain.Begin();
    ASSERT_EQ(chain.Put(written.get()), GroupResult::Written);
    ASSERT_EQ(chain.Put(unread.get()), GroupResult::NotRead);
    EXPECT_EQ(chain.Skipped(), std::vector<AnsiString>{"Other"});
    ForgetKeptValues(chain, {{a, written.get()}, {b, unread.get()}});
    EXPECT_EQ(a->Items()->Count(), 2);
    EXPECT_EQ(b->Items()->Count(), 3);
}

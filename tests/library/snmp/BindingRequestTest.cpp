// Get and Set of form bindings against the simulated access point and scripted agents: the
// steps around them, the busy flag, the request log and destruction while answers are due.
#include "BindingSupport.h"
#include "ComCtrls.h"
#include "KvSNMPErrors.h"
#include "StdCtrls.h"

using namespace bindtest;

namespace {

const std::string kSysName = "1.3.6.1.2.1.1.5";
const std::string kSysDescr = "1.3.6.1.2.1.1.1";

// Records the steps it goes through.
class Recorder : public KvSNMPRequest2Edits {
public:
    using KvSNMPRequest2Edits::KvSNMPRequest2Edits;
    std::vector<std::string> steps;
    std::function<void()> onShow;
    void DoBeforeGet() override
    {
        steps.push_back("beforeGet");
        KvSNMPRequest2Edits::DoBeforeGet();
    }
    void DoBeforeSet() override
    {
        steps.push_back("beforeSet");
        KvSNMPRequest2Edits::DoBeforeSet();
    }
    void ShowValues() override
    {
        steps.push_back("show");
        KvSNMPRequest2Edits::ShowValues();
        // A copy: the handler may delete this binding.
        if (auto f = onShow)
            f();
    }
    void TakeValues() override
    {
        steps.push_back("take");
        KvSNMPRequest2Edits::TakeValues();
    }
    void DoAfterGet() override
    {
        steps.push_back("afterGet");
        KvSNMPRequest2Edits::DoAfterGet();
    }
    void DoAfterSet() override
    {
        steps.push_back("afterSet");
        KvSNMPRequest2Edits::DoAfterSet();
    }
    int count(const std::string &step) const
    {
        return static_cast<int>(std::count(steps.begin(), steps.end(), step));
    }
};

// Each test has a device of its own: what one test writes is never what another reads.
class BindingRequest : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        devsim = std::make_unique<Devsim>();
        if (!devsim->ok())
            KV_PEER_MISSING(devsim->why());
    }
    std::unique_ptr<Recorder> make(KvSNMPVarList list, int port = 0)
    {
        auto b = std::make_unique<Recorder>(form);
        target(b->Request, port ? port : devsim->port());
        b->Request.VarList = list;
        b->Request.OnResult = [this](KvSNMPError *e) { results.push_back(*e); };
        b->OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *e) { getDone.push_back(*e); };
        b->OnSetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *e) { setDone.push_back(*e); };
        return b;
    }
    KvSNMPVarList scalars()
    {
        return makeList({{kSysDescr, "sysDescr", KvSyntax::DisplayStr, KvAccess::ReadOnly},
                         {kSysName, "sysName", KvSyntax::DisplayStr, KvAccess::ReadWrite}},
                        SVT_SV, 0, "System");
    }

    std::unique_ptr<Devsim> devsim;
    std::vector<KvSNMPError> results;
    std::vector<KvSNMPError> getDone;
    std::vector<KvSNMPError> setDone;
};

TEST_F(BindingRequest, SynchronousScalarGetShowsAndReportsOk)
{
    auto b = make(scalars());
    b->Mode = 0;
    auto *descr = new TEdit(form);
    b->Associate(0, descr);
    EXPECT_TRUE(b->Get());
    EXPECT_EQ(descr->Text(), "QRN-5290AP 802.11g Wireless Access Point");
    EXPECT_EQ(b->RowCount, 1);
    EXPECT_FALSE(b->Busy);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].Code, 0);
    EXPECT_EQ(results[0].Message, "(KvSNMP++) Ok!");
    EXPECT_EQ(results[0].Failures, -1);
    EXPECT_EQ(b->steps, (std::vector<std::string>{"beforeGet", "show", "afterGet"}));
}

TEST_F(BindingRequest, SynchronousGetOfAnEmptyTable)
{
    auto b = make(makeList(
        {{std::string(kTableBase) + ".9", "Nothing", KvSyntax::Integer, KvAccess::ReadOnly}}, MVT_FMV, 0));
    b->Mode = 0;
    EXPECT_TRUE(b->Get());
    EXPECT_EQ(b->RowCount, 0);
    EXPECT_EQ(b->steps, (std::vector<std::string>{"beforeGet", "afterGet"}));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].Code, 0);
}

TEST_F(BindingRequest, OtherModesSendNothing)
{
    auto b = make(scalars());
    b->Mode = 2;
    EXPECT_TRUE(b->Get());
    EXPECT_TRUE(b->Set(true, true));
    EXPECT_EQ(b->steps, (std::vector<std::string>{"beforeGet", "beforeSet", "take"}));
    EXPECT_TRUE(results.empty());
    EXPECT_FALSE(b->Busy);
}

TEST_F(BindingRequest, AsynchronousGetAndSetComplete)
{
    auto b = make(scalars());
    auto *name = new TEdit(form);
    b->Associate(1, name);
    EXPECT_TRUE(b->Get());
    EXPECT_TRUE(b->Busy);
    ASSERT_TRUE(pumpUntil([&] { return !getDone.empty(); }));
    EXPECT_FALSE(b->Busy);
    EXPECT_EQ(name->Text(), "QRN-5290AP");
    EXPECT_EQ(getDone[0].Code, 0);

    b->Request.VarList.GetItem(0)->Access |= KvAccess::Invalid;
    name->SetText("renamed");
    EXPECT_TRUE(b->Set(true, true));
    ASSERT_TRUE(pumpUntil([&] { return !setDone.empty(); }));
    EXPECT_EQ(setDone[0].Code, 0);
    EXPECT_FALSE(b->Busy);
    EXPECT_NE(devsim->writeLog().find("sysName=\"renamed\""), std::string::npos);
    EXPECT_EQ(b->Operation, 1);
}

// Once the module is ending (a signal while a countdown ran), the step after the countdown
// must not command the device: no Set goes out, in either mode.
TEST_F(BindingRequest, AnEndingApplicationSendsNoSet)
{
    for (const uint8_t mode : {uint8_t{0}, uint8_t{1}}) {
        auto b = make(scalars());
        b->Mode = mode;
        auto *name = new TEdit(form);
        b->Associate(1, name);
        name->SetText("late");
        app->Terminate();
        EXPECT_FALSE(b->Set(true, true)) << int(mode);
        kvtest::pump(200);
        EXPECT_FALSE(b->Busy);
        EXPECT_TRUE(setDone.empty());
        EXPECT_EQ(devsim->writeLog().find("late"), std::string::npos) << int(mode);
    }
}

TEST_F(BindingRequest, SeveralScalarReadsMayBeOutstanding)
{
    auto b = make(scalars());
    auto *descr = new TLabel(form);
    b->Associate(0, descr);
    EXPECT_TRUE(b->Get());
    EXPECT_TRUE(b->Get());
    EXPECT_TRUE(b->Busy);
    ASSERT_TRUE(pumpUntil([&] { return getDone.size() == 2; }));
    EXPECT_FALSE(b->Busy);
    EXPECT_EQ(b->count("show"), 2);
    EXPECT_EQ(b->count("afterGet"), 2);
}

TEST_F(BindingRequest, BusyEndsOnEveryOutcome)
{
    // Time-out: a port that never answers.
    enginetest::SilentAgent silent;
    auto quiet = make(scalars(), silent.port());
    quiet->Request.Timeout = 20;
    EXPECT_TRUE(quiet->Get());
    EXPECT_TRUE(quiet->Busy);
    ASSERT_TRUE(pumpUntil([&] { return !getDone.empty(); }));
    EXPECT_FALSE(quiet->Busy);
    EXPECT_NE(getDone.back().Code, 0);

    // Agent error: a set of a read-only object.
    auto refused = make(scalars());
    refused->Request.VarList.GetItem(0)->Access = KvAccess::ReadWrite;
    refused->Request.VarList.GetItem(0)->Value = "x";
    refused->Request.VarList.GetItem(1)->Access |= KvAccess::Invalid;
    EXPECT_TRUE(refused->Set(true, false));
    ASSERT_TRUE(pumpUntil([&] { return !setDone.empty(); }));
    EXPECT_FALSE(refused->Busy);
    EXPECT_LT(setDone.back().Code, 0);
    EXPECT_EQ(refused->count("afterSet"), 0);

    // A failed send: values that do not fit the index list.
    auto bad = make(scalars());
    auto lines = std::make_unique<TStringList>();
    EXPECT_TRUE(bad->Set(false, false, "0,1", lines.get()));
    ASSERT_TRUE(pumpUntil([&] { return setDone.size() == 2; }));
    EXPECT_FALSE(bad->Busy);

    // An answer that cannot be taken in: an item whose syntax has no conversion.
    auto odd = make(makeList({{kSysDescr, "odd", 7, KvAccess::ReadOnly}}, SVT_SV, 0));
    const auto before = getDone.size();
    EXPECT_TRUE(odd->Get());
    ASSERT_TRUE(pumpUntil([&] { return getDone.size() == before + 1; }));
    EXPECT_FALSE(odd->Busy);
    EXPECT_EQ(getDone.back().Code, KvSNMPCode::BadSyntax);

    // A request stopped by its form: nothing more arrives, and the binding is not busy.
    auto stopped = make(tableList());
    EXPECT_TRUE(stopped->Get());
    stopped->Request.Alive = 0;
    ASSERT_TRUE(pumpUntil([&] { return !stopped->Busy; }));
    EXPECT_FALSE(stopped->Get() && stopped->Busy);
}

TEST_F(BindingRequest, HooksThatRaiseInACompletionStillEndBusy)
{
    auto b = make(scalars());
    auto *bar = new TStatusBar(form);
    b->SetStatusBar(bar);
    b->OnAfterGet = [] { throw Exception("(test) after get", -517); };
    EXPECT_TRUE(b->Get());
    ASSERT_TRUE(pumpUntil([&] { return !b->Busy; }));
    EXPECT_NE(bar->SimpleText().find("(test) after get"), std::string::npos);
    EXPECT_TRUE(getDone.empty());
    EXPECT_TRUE(results.empty());

    b->OnAfterSet = [] { throw Exception("(test) after set", -517); };
    b->Request.VarList.GetItem(1)->Value = "ap";
    EXPECT_TRUE(b->Set(false, false));
    ASSERT_TRUE(pumpUntil([&] { return !b->Busy; }));
    EXPECT_EQ(bar->SimpleText().rfind("Set: (test) after set", 0), 0u);
    EXPECT_TRUE(setDone.empty());
    // The binding is usable again.
    b->OnAfterGet = nullptr;
    EXPECT_TRUE(b->Get());
    ASSERT_TRUE(pumpUntil([&] { return !getDone.empty(); }));
    EXPECT_FALSE(b->Busy);
}

TEST_F(BindingRequest, ShowingARowThatFailsEndsTheGetInTheLog)
{
    auto b = make(scalars());
    auto *bar = new TStatusBar(form);
    b->SetStatusBar(bar);
    b->Associate(0, new TDateTimePicker(form)); // no control class the binding can fill
    EXPECT_TRUE(b->Get());
    ASSERT_TRUE(pumpUntil([&] { return !b->Busy; }));
    EXPECT_TRUE(getDone.empty());
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(b->count("afterGet"), 0);
    EXPECT_NE(bar->SimpleText().find("Bad type of the associated visual control"), std::string::npos);
    EXPECT_EQ(bar->SimpleText().rfind("Get: ", 0), 0u);
}

TEST_F(BindingRequest, SynchronousTableSetFailureStillReReads)
{
    auto b = make(tableList());
    b->Mode = 0;
    auto *number = new TEdit(form);
    b->Associate(2, number);
    b->Request.VarList.GetItem(0)->Value = "77"; // a row the table does not have
    b->Request.VarList.GetItem(1)->Access |= KvAccess::Invalid;
    b->Request.VarList.GetItem(3)->Access |= KvAccess::Invalid;
    number->SetText("5");
    EXPECT_FALSE(b->Set(true, false));
    EXPECT_EQ(b->count("beforeGet"), 1);
    EXPECT_EQ(b->RowCount, 3);

    auto a = make(tableList());
    a->Request.VarList.GetItem(0)->Value = "77";
    a->Request.VarList.GetItem(1)->Access |= KvAccess::Invalid;
    a->Request.VarList.GetItem(3)->Access |= KvAccess::Invalid;
    a->Request.VarList.GetItem(2)->Value = "5";
    EXPECT_TRUE(a->Set(true, false));
    ASSERT_TRUE(pumpUntil([&] { return !setDone.empty(); }));
    EXPECT_LT(setDone[0].Code, 0);
    kv::processMessages();
    EXPECT_EQ(a->count("beforeGet"), 0);
}

TEST_F(BindingRequest, NewWalkRefusedWhileOneRuns)
{
    auto b = make(tableList());
    auto *list = new TListView(form);
    b->SetupListView(list, false);
    EXPECT_TRUE(b->Get());
    EXPECT_FALSE(b->Get());
    int refusedInside = 0;
    b->onShow = [&] { refusedInside += b->Get() ? 0 : 1; };
    ASSERT_TRUE(pumpUntil([&] { return !getDone.empty(); }));
    EXPECT_EQ(list->Items()->Count(), 3);
    EXPECT_EQ(refusedInside, 3);
    EXPECT_EQ(b->count("beforeGet"), 1);
    // Once it has ended, a new walk starts.
    b->onShow = nullptr;
    EXPECT_TRUE(b->Get());
    ASSERT_TRUE(pumpUntil([&] { return getDone.size() == 2; }));
    EXPECT_EQ(list->Items()->Count(), 3);
}

TEST_F(BindingRequest, DestroyedWhileAnswersAreDue)
{
    // Deleted right after the start: the destructor waits, and nothing reaches the form.
    auto b = make(tableList());
    int shown = 0;
    b->onShow = [&] { ++shown; };
    EXPECT_TRUE(b->Get());
    b.reset();
    kv::processMessages();
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(getDone.empty());
    EXPECT_TRUE(results.empty());

    // Deleted from inside the walk, while showing its first row.
    auto c = make(tableList());
    auto *list = new TListView(form);
    c->SetupListView(list, true);
    c->onShow = [&] { c.reset(); };
    EXPECT_TRUE(c->Get());
    ASSERT_TRUE(pumpUntil([&] { return !c; }));
    kvtest::pump(200);
    EXPECT_TRUE(getDone.empty());
    EXPECT_EQ(list->Items()->Count(), 1);
    // The list view's selection no longer reaches the binding.
    list->SetItemIndex(0);
}

TEST_F(BindingRequest, WalkStopsWhenTheRequestIsStopped)
{
    auto b = make(tableList());
    b->onShow = [&] { b->Request.Alive = 0; };
    EXPECT_TRUE(b->Get());
    ASSERT_TRUE(pumpUntil([&] { return !getDone.empty(); }));
    EXPECT_EQ(b->RowCount, 1);
    EXPECT_EQ(b->count("afterGet"), 1);
    EXPECT_FALSE(b->Busy);
}

// ---- the request log line ---------------------------------------------------------------

class BindingLog : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        enginetest::ensureGlobalSession();
        b = std::make_unique<KvSNMPRequest2Edits>(form);
    }
    void TearDown() override
    {
        b.reset();
        KvSNMPResetTexts();
        BindingTest::TearDown();
    }
    std::unique_ptr<KvSNMPRequest2Edits> b;
};

std::string withoutTime(std::string line)
{
    const auto at = line.find("Receive at ");
    if (at != std::string::npos)
        line = line.substr(0, at + 11) + "T" + line.substr(line.find('.', at + 11));
    return line;
}

TEST_F(BindingLog, LinesByFormatAndListName)
{
    auto *memo = new TMemo(form);
    b->SetLogControl(memo);
    struct Case {
        const char *format;
        const char *listName;
        int operation;
        const char *expected;
    } cases[] = {
        {nullptr, "", 0, "Get: boom. Receive at T."},
        {nullptr, "System", 0, "Get: boom Request:System. Receive at T."},
        {nullptr, "", 1, "Set: boom. Receive at T."},
        {"[VARLIST] then [ERROR]. Receive at [TIME].", "", 0, "[VARLIST] then boom. Receive at T."},
        {"[ERROR] [ERROR]/[VARLIST]/[VARLIST]", "L", 0, "boom boom/L/L"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        KvSNMPResetTexts();
        if (c.format)
            gKvSNMPLogFormats[0] = c.format;
        b->Request.VarList.ListName = c.listName;
        b->Operation = c.operation;
        b->ShowRequestLog("boom");
        EXPECT_EQ(withoutTime(memo->Lines()->Strings(memo->Lines()->Count() - 1)), c.expected);
    }
    // The time is the local clock's, on a 12-hour clock.
    const std::string last = memo->Lines()->Strings(0);
    EXPECT_TRUE(last.find(" AM.") != std::string::npos || last.find(" PM.") != std::string::npos) << last;
}

TEST_F(BindingLog, TargetsByClass)
{
    auto *bar = new TStatusBar(form);
    b->SetStatusBar(bar);
    b->ShowRequestLog("to bar");
    EXPECT_EQ(withoutTime(bar->SimpleText()), "Get: to bar. Receive at T.");

    bar->Panels()->Add();
    b->SetStatusBar(bar->Panels()->Items(0));
    b->ShowRequestLog("to panel");
    EXPECT_EQ(withoutTime(bar->Panels()->Items(0)->Text()), "Get: to panel. Receive at T.");

    auto *label = new TLabel(form);
    label->SetText("untouched");
    b->SetStatusBar(label);
    b->ShowRequestLog("lost");
    EXPECT_EQ(label->Text(), "untouched");
}

TEST_F(BindingLog, ResultsWithoutTargetGoToABox)
{
    KvSNMPError e;
    e.Message = "(SNMP) failed";
    b->ShowSetResult(e);
    EXPECT_EQ(b->Operation, 1);
    ASSERT_NE(boxes().lastCall(), nullptr);
    EXPECT_EQ(boxes().lastCall()->text, "(SNMP) failed");
    EXPECT_EQ(boxes().lastCall()->caption, "QRN-5290AP");
    auto *memo = new TMemo(form);
    b->SetLogControl(memo);
    b->ShowGetResult(e);
    EXPECT_EQ(b->Operation, 0);
    EXPECT_EQ(boxes().calls().size(), 1u);
    EXPECT_EQ(memo->Lines()->Count(), 1);
}

TEST_F(BindingLog, FilterConditionTakesTheSourcesValues)
{
    KvSNMPRequest source;
    source.VarList =
        makeList({{"1.3.6.1.9", "v", KvSyntax::Integer, KvAccess::ReadOnly, nullptr, "5"}}, SVT_SV, 0);
    EXPECT_EQ(b->BuildFilterCondition(), "");
    b->FilterCondition = "$0 = #0";
    EXPECT_EQ(b->BuildFilterCondition(), "");
    b->FilterSource = &source;
    EXPECT_EQ(b->BuildFilterCondition(), "$0 = 5");
}

} // namespace

// Every form opened on a device that stopped answering (SIGSTOP after the main window came
// up: no answer, no ICMP error) shows no value it did not read: no text in an edit, nothing
// chosen in a list, no box checked, no option picked, no label changed from its caption.
// Once the device answers again, the form's Refresh shows what a normal opening shows. One
// case per form, each with its own device.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "TFM_Misc.h"
#include "TFM_MultiSSIDForm.h"
#include "TFM_MultiSSIDNewForm.h"

#include <QWidget>

#include <csignal>
#include <map>
#include <set>
#include <sstream>

using namespace formtest;

namespace {

// What a control shows: its kind, visibility, enabled state and value, as one text.
using Snapshot = std::map<std::string, std::string>;

std::string ControlState(TControl *c)
{
    std::ostringstream s;
    s << (c->Widget()->isVisibleTo(c->Widget()->window()) ? "shown" : "hidden") << ","
      << (c->Enabled() ? "enabled" : "disabled") << ",";
    if (auto *combo = dynamic_cast<TComboBox *>(c))
        s << "index " << combo->ItemIndex() << " \"" << combo->Text() << "\" of " << combo->Items()->Count();
    else if (auto *box = dynamic_cast<TCheckBox *>(c))
        s << (box->Checked() ? "checked" : "unchecked");
    else if (auto *radio = dynamic_cast<TRadioButton *>(c))
        s << (radio->Checked() ? "checked" : "unchecked");
    else if (auto *group = dynamic_cast<TRadioGroup *>(c))
        s << "index " << group->ItemIndex();
    else if (auto *list = dynamic_cast<TListView *>(c))
        s << list->Items()->Count() << " rows";
    else
        s << "\"" << c->Text() << "\"";
    return s.str();
}

Snapshot TakeSnapshot(TForm &form)
{
    Snapshot shot;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto *c = dynamic_cast<TControl *>(form.Components(i)); c && !c->Name().empty())
            shot[c->Name()] = ControlState(c);
    return shot;
}

// The texts of the form's labels as it was made: its captions.
std::map<std::string, std::string> Captions(TForm &form)
{
    std::map<std::string, std::string> captions;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto *c = dynamic_cast<TControl *>(form.Components(i)))
            if (dynamic_cast<TLabel *>(c) || dynamic_cast<TStaticText *>(c))
                captions[c->Name()] = c->Text();
    return captions;
}

// The value a control shows that was not read: empty where the control takes input, or a
// label's text other than its caption.
std::string ShownValue(TControl *c, const std::map<std::string, std::string> &captions)
{
    if (!c->Widget()->isVisibleTo(c->Widget()->window()))
        return "";
    if (auto *combo = dynamic_cast<TComboBox *>(c))
        return combo->ItemIndex() >= 0 || !combo->Text().empty() ? "\"" + combo->Text() + "\" chosen" : "";
    if (auto *box = dynamic_cast<TCheckBox *>(c))
        return box->Checked() ? "checked" : "";
    if (auto *radio = dynamic_cast<TRadioButton *>(c))
        return radio->Checked() ? "checked" : "";
    if (auto *group = dynamic_cast<TRadioGroup *>(c))
        return group->ItemIndex() >= 0 ? "option " + std::to_string(group->ItemIndex()) + " picked" : "";
    if (auto *list = dynamic_cast<TListView *>(c))
        return list->Items()->Count() > 0 ? std::to_string(list->Items()->Count()) + " rows" : "";
    if (dynamic_cast<TEdit *>(c) || dynamic_cast<TMemo *>(c))
        return c->Text().empty() ? "" : "\"" + c->Text() + "\"";
    if (dynamic_cast<TLabel *>(c) || dynamic_cast<TStaticText *>(c)) {
        const auto caption = captions.find(c->Name());
        const bool same = caption != captions.end() && caption->second == c->Text();
        return same || c->Text().empty() ? "" : "\"" + c->Text() + "\"";
    }
    return "";
}

class UnreadSweep;

// One row: a form, how to refresh it, the device it is opened on, and the controls that hold
// no device value (the form's own choices and captions it writes itself).
struct UnreadRow {
    std::string what;
    std::vector<std::string> profile;
    std::function<void(UnreadSweep &)> run;
};

void PrintTo(const UnreadRow &row, std::ostream *out)
{
    *out << row.what;
}

class UnreadSweep : public ProbedFormTest, public ::testing::WithParamInterface<UnreadRow> {
public:
    // Opens the form on the device as it is, then on the stopped device, and after the device
    // answers again refreshes it: refresh is empty for a form without Refresh.
    template <class T>
    void Check(T *&global, const std::function<void(T &)> &refresh,
               const std::set<std::string> &notDeviceValues)
    {
        Snapshot normal;
        {
            auto form = openForm(global);
            normal = TakeSnapshot(*form);
            ASSERT_TRUE(WaitUntilClosable(*form));
        }
        stop();
        auto made = std::make_unique<T>(Application);
        const auto captions = Captions(*made);
        FormHandle<T> form(global, std::move(made));
        form->DoCreate();
        form->Show();
        ASSERT_TRUE(WaitUntilClosable(*form, 60000));
        for (int i = 0; i < form->ComponentCount(); ++i) {
            auto *c = dynamic_cast<TControl *>(form->Components(i));
            if (!c || c->Name().empty() || notDeviceValues.count(c->Name()))
                continue;
            const std::string shown = ShownValue(c, captions);
            EXPECT_EQ(shown, "") << c->Name() << " shows a value the device never sent";
        }
        resume();
        if (!refresh)
            return;
        // Refreshed once the device is seen to answer again, as its LEDs show the user.
        ASSERT_TRUE(pumpUntil([this] { return mainWindow().LastStatusCode == 0; }, 60000))
            << "the device does not answer the status poll after SIGCONT";
        refresh(*form);
        ASSERT_TRUE(WaitUntilClosable(*form));
        const Snapshot again = TakeSnapshot(*form);
        for (const auto &[name, state] : normal) {
            const auto it = again.find(name);
            EXPECT_EQ(it == again.end() ? std::string("(gone)") : it->second, state)
                << name << " after Refresh differs from a normal opening";
        }
    }

protected:
    void TearDown() override
    {
        if (m_stopped)
            resume();
        ProbedFormTest::TearDown();
    }

private:
    void stop()
    {
        ::kill(sim->process().pid(), SIGSTOP);
        m_stopped = true;
    }
    void resume()
    {
        ::kill(sim->process().pid(), SIGCONT);
        m_stopped = false;
    }
    bool m_stopped = false;
};

template <class T> std::function<void(T &)> Press(TButton *T::*button)
{
    return [button](T &form) { (form.*button)->Click(); };
}

const std::vector<UnreadRow> &Rows()
{
    static const std::vector<UnreadRow> rows = {
        {"Misc",
         {"--profile", "telnetoff"},
         [](UnreadSweep &t) { t.Check<TFM_Misc>(FM_Misc, Press(&TFM_Misc::Bt_Rfresh), {}); }},
        {"MultiSSIDOlder",
         {"--profile", "mssidguests"},
         [](UnreadSweep &t) {
             t.Check<TFM_MultiSSIDForm>(FM_MultiSSIDForm, Press(&TFM_MultiSSIDForm::Bt_Refresh), {});
         }},
        // No Refresh. The form's own choices: the SSID the editors show and the one band.
        {"MultiSSIDNewer",
         {"--profile", "newmssid", "--profile", "mssidguests"},
         [](UnreadSweep &t) {
             t.Check<TFM_MultiSSIDNewForm>(FM_MultiSSIDNewForm, {}, {"CB_Idx", "BandComboBox"});
         }},
    };
    return rows;
}

TEST_P(UnreadSweep, ShowsNothingUnreadAndRefreshesOnceTheDeviceAnswers)
{
    const UnreadRow &row = GetParam();
    startDevice(row.profile);
    if (HasFatalFailure())
        return;
    row.run(*this);
}

INSTANTIATE_TEST_SUITE_P(Forms, UnreadSweep, ::testing::ValuesIn(Rows()), CaseName());

} // namespace

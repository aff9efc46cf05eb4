// Every form opened on a device that stopped answering (SIGSTOP after the main window came
// up: no answer, no ICMP error) shows no value it did not read: no text in an edit, nothing
// chosen in a list, no box checked, no option picked, no label changed from its caption.
// Once the device answers again, the form's Refresh shows what a normal opening shows. One
// case per form, each with its own device.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "FormSnapshot.h"
#include "KvSNMPReadBatch.h"
#include "NetworkFormSupport.h"
#include "TClientInformation.h"
#include "TFM_Admin.h"
#include "TFM_Admin2.h"
#include "TFM_Admin3.h"
#include "TFM_DHCP.h"
#include "TFM_DevInfo.h"
#include "TFM_Encrypt.h"
#include "TFM_Ethernet.h"
#include "TFM_FirewareSSL.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_LogSet.h"
#include "TFM_Misc.h"
#include "TFM_ModeCFG.h"
#include "TFM_MultiSSIDForm.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Performace.h"
#include "TFM_RogueForm.h"
#include "TFM_Static.h"
#include "TFM_Sytem.h"
#include "TFM_WMACACL.h"
#include "TFM_WPart.h"
#include "TFM_Wirless.h"
#include "TLogForm.h"
#include "TSNTPForm.h"
#include "TestEnv.h"
#include "TransferRoad.h"
#include "WaitBound.h"

#include <QWidget>

#include <map>
#include <optional>
#include <set>

using namespace formtest;

namespace {

using sweep::Snapshot;
using sweep::TakeSnapshot;

constexpr int kSilentDeviceBoundMs = 25000;

// The main window's capability controls, which a stopped device's re-reads empty.
std::vector<std::string> CapabilityTexts()
{
    std::vector<std::string> texts;
    for (const CapabilityRow &row : CapabilityRows())
        for (TControl *c : MainForm->Probe->ControlsOf(row.Row))
            texts.push_back(c->Text());
    return texts;
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

void ExpectNothingUnread(TForm &form, const std::map<std::string, std::string> &captions,
                         const std::set<std::string> &notDeviceValues)
{
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto *c = dynamic_cast<TControl *>(form.Components(i));
        if (!c || c->Name().empty() || notDeviceValues.count(c->Name()))
            continue;
        const std::string shown = ShownValue(c, captions);
        EXPECT_EQ(shown, "") << c->Name() << " shows a value the device never sent";
    }
}

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
    // answers again refreshes it: refresh is empty for a form without Refresh. settled, when
    // given, says that the form's reads have ended (for a form whose refused close says so).
    template <class T>
    void Check(T *&global, const std::function<void(T &)> &refresh,
               const std::set<std::string> &notDeviceValues, const std::function<bool(T &)> &settled = {})
    {
        const auto wait = [&settled](T &form, int ms) {
            return settled ? kvtest::pumpUntil([&] { return settled(form); }, ms)
                           : WaitUntilClosable(form, ms);
        };
        Snapshot normal;
        {
            auto form = openForm(global);
            // Once its asynchronous reads have shown what they read.
            ASSERT_TRUE(wait(*form, kWaitMs));
            normal = TakeSnapshot(*form);
        }
        const std::vector<std::string> capabilities = CapabilityTexts();
        stoppedDeviceTimeOuts();
        stop();
        auto made = std::make_unique<T>(Application);
        const auto captions = Captions(*made);
        FormHandle<T> form(global, std::move(made));
        {
            // The opening may hold the program no longer than a user waits for a silent device.
            const WaitBound bound(kSilentDeviceBoundMs);
            std::optional<KvSNMPReadBatch> reads;
            if (m_asMenu)
                reads.emplace();
            form->DoCreate();
            EXPECT_FALSE(bound.passed()) << "the opening held the program past 25 s on a stopped device";
        }
        form->Show();
        ASSERT_TRUE(wait(*form, 60000));
        ExpectNothingUnread(*form, captions, notDeviceValues);
        resume();
        if (!refresh)
            return;
        // Refreshed once the device is seen to answer again, as its LEDs show the user.
        ASSERT_TRUE(pumpUntil([this] { return mainWindow().LastStatusCode == 0; }, 60000))
            << "the device does not answer the status poll after SIGCONT";
        // As a user would: once the main window shows the device answering again.
        const bool back = pumpUntil([&] { return CapabilityTexts() == capabilities; }, 30000);
        if (!back) {
            const auto now = CapabilityTexts();
            for (std::size_t i = 0; i < now.size(); ++i)
                if (now[i] != capabilities[i])
                    ADD_FAILURE() << i << ": " << now[i] << " was " << capabilities[i];
        }
        ASSERT_TRUE(back);
        patientTimeOuts();
        refresh(*form);
        ASSERT_TRUE(wait(*form, kWaitMs));
        const Snapshot again = TakeSnapshot(*form);
        for (const auto &[name, state] : normal) {
            const auto it = again.find(name);
            EXPECT_EQ(it == again.end() ? std::string("(gone)") : it->second, state)
                << name << " after Refresh differs from a normal opening";
        }
    }

    // Opened on the device as it is, then refreshed once it stopped: what the good read showed
    // goes, since the failed reads of the Refresh no longer say what the device holds.
    template <class T>
    void CheckRefresh(T *&global, const std::function<void(T &)> &refresh,
                      const std::set<std::string> &notDeviceValues)
    {
        const auto captions = Captions(*std::make_unique<T>(Application));
        auto form = openForm(global);
        ASSERT_TRUE(WaitUntilClosable(*form, kWaitMs));
        stoppedDeviceTimeOuts();
        stop();
        {
            const WaitBound bound(kSilentDeviceBoundMs);
            refresh(*form);
            EXPECT_FALSE(bound.passed()) << "the Refresh held the program past 25 s on a stopped device";
        }
        ASSERT_TRUE(WaitUntilClosable(*form, 60000));
        ExpectNothingUnread(*form, captions, notDeviceValues);
        resume();
    }

    // The same, opened as the menu opens it: the reads of the opening in one batch, given up
    // together on silence (a form of many groups would wait a time-out for each).
    template <class T>
    void CheckAsMenu(T *&global, const std::function<void(T &)> &refresh,
                     const std::set<std::string> &notDeviceValues = {})
    {
        m_asMenu = true;
        Check(global, refresh, notDeviceValues);
    }

protected:
    // What is looked at on the stopped device is what a form shows, not how long it waits:
    // its own time-outs, ten times shorter (a table walk's twenty seconds a try would hold
    // the case for forty), and the silence limit with them. The reads of a normal opening
    // and of the Refresh get the fixture's longer ones.
    void stoppedDeviceTimeOuts()
    {
        formsOwnTimeOut();
        changeTimeOuts(1, 10);
    }
    void TearDown() override
    {
        if (m_stopped)
            resume();
        ProbedFormTest::TearDown();
        unsetenv(kTftpPortVariable);
    }

private:
    void stop()
    {
        // Through the process, which never signals a pid it no longer has (kill(-1) stops all).
        sim->process().pause();
        m_stopped = true;
    }
    void resume()
    {
        sim->process().resume();
        m_stopped = false;
    }
    bool m_stopped = false;
    bool m_asMenu = false;
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
        {"LAN", {"--profile", "configured"}, [](UnreadSweep &t) { t.Check<TFM_LanCfg>(FM_LanCfg, {}, {}); }},
        {"DHCP", {"--profile", "configured"}, [](UnreadSweep &t) { t.Check<TFM_DHCP>(FM_DHCP, {}, {}); }},
        {"Grouping",
         {"--profile", "grouping"},
         [](UnreadSweep &t) { t.Check<TFM_Group>(FM_Group, Press(&TFM_Group::Bt_Refresh), {}); }},
        // A Refresh that fails after a good read empties what that read showed.
        {"Grouping refreshed on the stopped device",
         {"--profile", "grouping"},
         [](UnreadSweep &t) { t.CheckRefresh<TFM_Group>(FM_Group, Press(&TFM_Group::Bt_Refresh), {}); }},
        {"Admin", {}, [](UnreadSweep &t) { t.Check<TFM_Admin>(FM_Admin, {}, {}); }},
        {"Admin2",
         {"--profile", "admin2", "--profile", "configured"},
         [](UnreadSweep &t) { t.Check<TFM_Admin2>(FM_Admin2, {}, {}); }},
        {"Admin3",
         {"--profile", "admin3", "--profile", "configured"},
         [](UnreadSweep &t) { t.Check<TFM_Admin3>(FM_Admin3, {}, {}); }},
        // The manual date and time show the PC's clock, which the form sends; the device's
        // own is never read into them.
        {"Date and Time",
         {"--profile", "configured"},
         [](UnreadSweep &t) {
             t.Check<TSNTPForm>(SNTPForm, {},
                                {"CB_Year", "CB_Month", "CB_Day", "CB_Hour", "CB_Minute", "CB_Second"});
         }},
        {"Log Setting",
         {"--profile", "configured"},
         [](UnreadSweep &t) { t.Check<TFM_LogSet>(FM_LogSet, {}, {}); }},
        // Get Log needs the device's address, which the main window empties while the device
        // is silent and reads again once it answers.
        {"Log viewer",
         {},
         [](UnreadSweep &t) {
             t.Check<TLogForm>(LogForm,
                               [](TLogForm &f) {
                                   kvtest::pumpUntil([] { return !MainForm->IPAddressEdit->Text().empty(); },
                                                     kWaitMs);
                                   f.GetBtn->Click();
                               },
                               {});
         }},
        {"Device Info",
         {},
         [](UnreadSweep &t) { t.Check<TFM_DevInfo>(FM_DevInfo, Press(&TFM_DevInfo::Bt_Refa), {}); }},
        {"Statistics",
         {},
         [](UnreadSweep &t) { t.Check<TFM_Static>(FM_Static, Press(&TFM_Static::Bt_RfrshA), {}); }},
        {"Client Information",
         {},
         [](UnreadSweep &t) {
             t.Check<TClientInformation>(ClientInformation, Press(&TClientInformation::Bt_Rfrsh), {});
         }},
        {"Ethernet",
         {},
         [](UnreadSweep &t) { t.Check<TFM_Ethernet>(FM_Ethernet, Press(&TFM_Ethernet::Bt_RfrshE), {}); }},
        {"System", {}, [](UnreadSweep &t) { t.Check<TFM_Sytem>(FM_Sytem, {}, {}); }},
        {"Firmware and SSL",
         {"--profile", "ssl"},
         [](UnreadSweep &t) {
             t.Check<TFM_FirewareSSL>(FM_FirewareSSL, {}, {},
                                      [](TFM_FirewareSSL &f) { return !f.FtpReq->Busy && !f.InfoReq->Busy; });
         }},
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
        {"Wireless",
         {"--profile", "configured"},
         [](UnreadSweep &t) { t.CheckAsMenu<TFM_Wirless>(FM_Wirless, Press(&TFM_Wirless::Bt_Refresh), {}); }},
        {"Wireless without Multi-SSID",
         {"--profile", "nomssid"},
         [](UnreadSweep &t) { t.CheckAsMenu<TFM_Wirless>(FM_Wirless, Press(&TFM_Wirless::Bt_Refresh), {}); }},
        {"Performance",
         {"--profile", "datarate"},
         [](UnreadSweep &t) {
             t.CheckAsMenu<TFM_Performace>(FM_Performace, Press(&TFM_Performace::Bt_Refresh_a), {});
         }},
        {"Encryption",
         {"--profile", "configured"},
         [](UnreadSweep &t) { t.CheckAsMenu<TFM_Encrypt>(FM_Encrypt, Press(&TFM_Encrypt::Bt_Ref), {}); }},
        {"Mode",
         {"--profile", "ptmpbridge"},
         [](UnreadSweep &t) { t.CheckAsMenu<TFM_ModeCFG>(FM_ModeCFG, Press(&TFM_ModeCFG::Bt_Refresh), {}); }},
        // No Refresh: the form reads only when it opens.
        {"Rogue AP", {}, [](UnreadSweep &t) { t.CheckAsMenu<TFM_RogueForm>(FM_RogueForm, {}, {}); }},
        // The band lists name the form's one radio, not a device value.
        {"MAC ACL",
         {"--profile", "configured"},
         [](UnreadSweep &t) { t.CheckAsMenu<TFM_WMACACL>(FM_WMACACL, {}, {"CB_Band"}); }},
        {"WLAN Partition", {}, [](UnreadSweep &t) { t.CheckAsMenu<TFM_WPart>(FM_WPart, {}, {"CB_Wband"}); }},
    };
    return rows;
}

TEST_P(UnreadSweep, ShowsNothingUnreadAndRefreshesOnceTheDeviceAnswers)
{
    const UnreadRow &row = GetParam();
    // The transfer forms' servers and the device's client meet on a port of this case.
    const std::string tftpPort = std::to_string(kvtest::freeUdpPort());
    setenv(kTftpPortVariable, tftpPort.c_str(), 1);
    std::vector<std::string> args = row.profile;
    args.insert(args.end(), {"--tftp-port", tftpPort});
    startDevice(args);
    if (HasFatalFailure())
        return;
    row.run(*this);
}

INSTANTIATE_TEST_SUITE_P(Forms, UnreadSweep, ::testing::ValuesIn(Rows()), CaseName());

} // namespace

// The sweep over every form that writes: opened against a simulated device of each profile,
// read, and written without a change (Apply twice in a row; Refresh then Apply; controls
// changed, Refresh, then Apply), every message box answered with OK, the form must leave what
// the device holds as it was. One case per form, profile and sequence, each with its own
// device, so ctest runs them side by side. A changed object fails its case as
// "object: before -> after".
#include "CloseQuery.h"
#include "ComboChoice.h"
#include "FormFixture.h"
#include "HeldValues.h"
#include "NetworkFormSupport.h"
#include "TFM_Admin.h"
#include "TFM_Admin2.h"
#include "TFM_Admin3.h"
#include "TFM_DHCP.h"
#include "TFM_Encrypt.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_LogSet.h"
#include "TFM_Misc.h"
#include "TFM_ModeCFG.h"
#include "TFM_MultiSSIDForm.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Performace.h"
#include "TFM_RogueForm.h"
#include "TFM_StaticIP.h"
#include "TFM_Sytem.h"
#include "TFM_WMACACL.h"
#include "TFM_WPart.h"
#include "TFM_Wirless.h"
#include "TSNTPForm.h"
#include "TestEnv.h"
#include "TransferRoad.h"
#include "Waiting.h"

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include <unistd.h>

using namespace formtest;
using namespace sweep;

namespace {

// ---- what a case does with its form -------------------------------------------------------

class SweptForm {
public:
    virtual ~SweptForm() = default;
    virtual TForm &Form() = 0;
    // No work of the form's own is outstanding (beyond what its close rule watches).
    virtual bool Idle() = 0;
    virtual void Write() = 0;
    virtual void Refresh() = 0;
};

template <class T> using Press = std::function<void(T &)>;
template <class T> using IdleTest = std::function<bool(T &)>;

// A click as the user makes it: a disabled or hidden button does nothing.
inline void ClickEnabled(TButton *button)
{
    if (button->Enabled() && button->Visible())
        button->Click();
}

template <class T> Press<T> Click(TButton *T::*button)
{
    return [button](T &form) { ClickEnabled(form.*button); };
}

template <class T> class Swept : public SweptForm {
public:
    Swept(FormHandle<T> handle, Press<T> write, Press<T> refresh, IdleTest<T> idle)
        : m_handle(std::move(handle)), m_write(std::move(write)), m_refresh(std::move(refresh)),
          m_idle(std::move(idle))
    {
    }
    TForm &Form() override { return *m_handle; }
    bool Idle() override { return !m_idle || m_idle(*m_handle); }
    void Write() override { m_write(*m_handle); }
    void Refresh() override { m_refresh(*m_handle); }

private:
    FormHandle<T> m_handle;
    Press<T> m_write, m_refresh;
    IdleTest<T> m_idle;
};

class FormSweep;

// A change a form's own rules make on a write nobody touched: the object (or its column) may
// take this value.
struct Demanded {
    const char *object;
    const char *value; // null: any value
    const char *rule;
    const char *profiles = nullptr; // the profiles it applies on ("a|b"); null: every one
    bool AppliesOn(const std::string &profile) const
    {
        if (!profiles)
            return true;
        std::istringstream names(profiles);
        for (std::string name; std::getline(names, name, '|');)
            if (name == profile)
                return true;
        return false;
    }
};

// One line of the table: a form (or one of its writes) and the device profiles it is swept on.
struct SweptRow {
    std::string name;
    std::function<std::unique_ptr<SweptForm>(FormSweep &)> open;
    bool hasRefresh = false;
    // "default", or profile names joined by "+"; a leading "-" marks a device on which the form
    // refuses the unchanged write and sends nothing.
    std::vector<std::string> profiles;
    std::vector<Demanded> demanded;
};

enum class Sequence { ApplyTwice, RefreshThenApply, ChangeRefreshApply };

struct SweepCase {
    const SweptRow *row;
    std::string profile;
    Sequence sequence;
    bool refuses;     // the form sends nothing on this device (a check refuses, or Apply is disabled)
    std::string what; // the case's name: form, profile and sequence
};

void PrintTo(const SweepCase &c, std::ostream *out)
{
    *out << c.row->name << " on " << c.profile
         << (c.sequence == Sequence::ApplyTwice         ? ", Apply twice"
             : c.sequence == Sequence::RefreshThenApply ? ", Refresh then Apply"
                                                        : ", controls changed, Refresh, then Apply");
}

// ---- a user's change, taken back by Refresh --------------------------------------------------

// The control and every parent up to its form are shown (a hidden tab's page counts as shown:
// the user can turn to it).
bool Shown(const TControl *control)
{
    for (const TControl *c = control; c && !dynamic_cast<const TForm *>(c); c = c->Parent()) {
        const auto *page = dynamic_cast<const TTabSheet *>(c);
        if (!c->Visible() || (page && !page->TabVisible()))
            return false;
    }
    return true;
}

// Another text of the same kind and length: its last letter or digit moves by one, a digit
// towards the middle (a number stays near its value, inside its range), a letter within hex
// or the alphabet.
std::string OtherText(std::string text)
{
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        char &ch = *it;
        const bool down = (ch >= '5' && ch <= '9') || ch == 'f' || ch == 'F' || ch == 'z' || ch == 'Z';
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            continue;
        ch = static_cast<char>(down ? ch - 1 : ch + 1);
        return text;
    }
    return text;
}

// The changes of a user who goes over a form: each enabled shown control once, a combo box to
// its next entry, a check box toggled, a radio group to another button, a filled edit to
// another text; each runs the control's handler, which may enable, fill or hide others.
class UserChanges {
public:
    // Last made first (mostly bottom up), so that a control is changed before one above it
    // disables it; then in order, for the controls a change enabled.
    void Make(TWinControl &form)
    {
        Pass(form, true);
        Pass(form, false);
    }
    const std::vector<std::string> &Made() const { return m_made; }

private:
    void Pass(TWinControl &parent, bool backwards)
    {
        const int count = parent.ControlCount();
        for (int n = 0; n < count && n < parent.ControlCount(); ++n) {
            TControl *c = parent.Controls(backwards ? parent.ControlCount() - 1 - n : n);
            if (c->Enabled() && Shown(c) && !m_done.count(c))
                Change(c, backwards);
        }
    }
    void Change(TControl *c, bool backwards)
    {
        if (auto *combo = dynamic_cast<TComboBox *>(c)) {
            if (combo->Items()->Count() < 2)
                return;
            m_done.insert(c);
            const std::string was = combo->Text();
            combo->SetItemIndex((combo->ItemIndex() + 1) % combo->Items()->Count());
            m_made.push_back(combo->Name() + ": " + was + " -> " + combo->Text());
            if (combo->OnChange)
                combo->OnChange(combo);
        } else if (auto *box = dynamic_cast<TCheckBox *>(c)) {
            m_done.insert(c);
            m_made.push_back(box->Name() + (box->Checked() ? ": unchecked" : ": checked"));
            box->SetChecked(!box->Checked());
        } else if (auto *radio = dynamic_cast<TRadioButton *>(c)) {
            // One button of a group: the group is changed once.
            if (radio->Checked() || m_done.count(radio->Parent()))
                return;
            m_done.insert(radio->Parent());
            m_made.push_back(radio->Name() + ": chosen");
            radio->SetChecked(true);
        } else if (auto *edit = dynamic_cast<TEdit *>(c)) {
            if (edit->ReadOnly() || edit->Text().empty())
                return;
            m_done.insert(c);
            const std::string was = edit->Text();
            edit->SetText(OtherText(was));
            m_made.push_back(edit->Name() + ": " + was + " -> " + edit->Text());
        } else if (auto *inner = dynamic_cast<TWinControl *>(c)) {
            Pass(*inner, backwards);
        }
    }
    std::set<const TControl *> m_done;
    std::vector<std::string> m_made;
};

class FormSweep : public ProbedFormTest, public ::testing::WithParamInterface<SweepCase> {
public:
    template <class T> FormHandle<T> Open(T *&global) { return openForm(global); }

protected:
    void SetUp() override
    {
        ProbedFormTest::SetUp();
        // Every box is answered with OK, and noted for the report of a failed case.
        kv::MessageBoxService::instance().hook = [this](const kv::MessageBoxCall &call) {
            m_boxes.push_back("\"" + call.text + "\" (" + call.caption + ")");
            return IDOK;
        };
    }
    void TearDown() override
    {
        ProbedFormTest::TearDown();
        unsetenv(kTftpPortVariable);
    }
    void StartSweptDevice(const std::string &profiles);
    // Waits until the form and the device are quiet: the form would close, has no work of its
    // own outstanding, no countdown shows, and the device has had no request for a while.
    // Empty when it did; else what still ran.
    std::string Settle(SweptForm &form);
    // Fails the case for each object that differs from before (commands and the changes the
    // row's form demands aside).
    void ExpectUnchanged(const HeldValues &before, const SweepCase &c, const std::string &when);

    std::vector<std::string> m_boxes;
    std::vector<long> m_settleMs;
    std::set<std::string> m_excused;
};

// ---- the table ---------------------------------------------------------------------------

template <class T>
SweptRow Row(const char *name, T *&global, Press<T> write, Press<T> refresh,
             std::vector<std::string> profiles, IdleTest<T> idle = {}, std::vector<Demanded> demanded = {})
{
    const bool hasRefresh = static_cast<bool>(refresh);
    auto open = [&global, write, refresh, idle](FormSweep &test) -> std::unique_ptr<SweptForm> {
        return std::make_unique<Swept<T>>(test.Open(global), write, refresh, idle);
    };
    return {name, open, hasRefresh, std::move(profiles), std::move(demanded)};
}

// A row Save of the newer Multi-SSID form writes the row in the editors.
Press<TFM_MultiSSIDNewForm> SaveRow(const char *row)
{
    return [row](TFM_MultiSSIDNewForm &f) {
        choose(f.CB_Idx, row);
        ClickEnabled(f.SaveButton);
    };
}

// The DHCP form's Set on the first used static row, the dialog's Apply pressed as it opened
// (an unchanged row is refused).
void SetFirstStaticRow(TFM_DHCP &f)
{
    if (f.User_ListView->Items()->Count() == 0)
        return;
    f.User_ListView->SetSelected(f.User_ListView->Items()->Item(0));
    WhenModal<TFM_StaticIP> dialog([](TFM_StaticIP &d) {
        ClickEnabled(d.Apply);
        pumpUntil([&] { return !d.Probing(); }, kWaitMs);
        if (d.Visible())
            d.Close();
    });
    ClickEnabled(f.Bt_Set);
}

const std::vector<Demanded> kSavedRowRules = {
    {"adMSSIDIdvState", "1", "a row Save switches the saved row on"},
};

// The profiles, those named marked as refusing.
std::vector<std::string> Refusing(std::vector<std::string> profiles,
                                  std::initializer_list<const char *> refused)
{
    for (const char *name : refused)
        for (std::string &p : profiles)
            if (p == name)
                p = "-" + p;
    return profiles;
}

const char *const kGuestsNeedAccessPoint =
    "with VLAN or a guest SSID on, Apply sets the AP mode to Access Point "
    "and Super G to Disable";

const char *const kGuestsFollowPrimary =
    "older guest scheme: outside Access Point mode, or with Super G on, the VLAN and the guests go off; "
    "the guests keep WEP only beside a primary SSID with Open System or Shared Key";

const char *const kWPAEncrypts = "a WPA authentication always encrypts: Apply sets the encryption to Enable";

// Devices whose older-scheme guests are out of line with the primary SSID.
const char *const kGuestsOutOfLine = "configured+enterprise|configured+repeater";

const std::vector<SweptRow> &Table()
{
    // Device profiles (catalog profiles joined by "+"), by the devices a form is offered on.
    const std::vector<std::string> anyDevice = {"default",     "nodeferred", "configured",
                                                "servicesoff", "nomssid",    "newmssid+mssidguests"};
    const std::vector<std::string> olderMSSID = {"default",
                                                 "nodeferred",
                                                 "mssidguests",
                                                 "guestsecurity",
                                                 "configured",
                                                 "configured+nodeferred",
                                                 "configured+outside",
                                                 "configured+staticturbo"};
    const std::vector<std::string> newerMSSID = {"newmssid",
                                                 "newmssid+mssidguests",
                                                 "newmssid+mssidguests+nodeferred",
                                                 "newmssid+mssidguests+nopriority",
                                                 "newmssid+configured",
                                                 "newmssid+configured+outside",
                                                 "newmssid+configured+staticturbo",
                                                 "newmssid+guestsecurity"};
    const std::vector<std::string> noMSSID = {"nomssid",
                                              "nomssid+nodeferred",
                                              "nomssid+bridge",
                                              "nomssid+bridge+partners",
                                              "nomssid+ptmpbridge",
                                              "nomssid+repeater",
                                              "nomssid+apclient",
                                              "nomssid+withoutmodes",
                                              "nomssid+enterprise",
                                              "nomssid+wepascii",
                                              "nomssid+configured",
                                              "nomssid+outside",
                                              "nomssid+wpaplain",
                                              "oldfirmware"};
    // The Wireless form and the radio forms on every kind of device and AP mode.
    const std::vector<std::string> radio = {"default",
                                            "nodeferred",
                                            "nomssid",
                                            "newmssid+mssidguests",
                                            "newmssid+guestsecurity",
                                            "mssidguests",
                                            "backup",
                                            "configured",
                                            "configured+nodeferred",
                                            "configured+backup",
                                            "configured+enterprise",
                                            "configured+repeater",
                                            "bridge",
                                            "bridge+partners",
                                            "ptmpbridge",
                                            "repeater",
                                            "apclient",
                                            "withoutmodes",
                                            "enterprise",
                                            "enterprise+backup",
                                            "ptmpbridge+enterprise",
                                            "apclient+enterprise",
                                            "norogue+ptmpbridge",
                                            "norogue+enterprise",
                                            "wepascii",
                                            "channel13",
                                            "outside",
                                            "staticturbo",
                                            "rate11",
                                            "norogue",
                                            "norogue+rate11",
                                            "norogue+configured",
                                            "wpaplain",
                                            "ptmpbridge+wpaplain"};
    // Save is disabled while Multi-SSID is off.
    const std::vector<std::string> savedRows = Refusing(newerMSSID, {"newmssid"});
    const auto idleMSSID = [](TFM_MultiSSIDNewForm &) { return gMultiSSIDIdle; };
    const auto idleDHCP = [](TFM_DHCP &f) { return f.Idle && !f.Busy; };
    using Wireless = TFM_Wirless;
    using Newer = TFM_MultiSSIDNewForm;
    static const std::vector<SweptRow> table = {
        Row<Wireless>("Wireless", FM_Wirless, Click(&Wireless::Bt_Apply), Click(&Wireless::Bt_Refresh), radio,
                      [](Wireless &f) { return !f.Applying() && f.SurveyIdle; },
                      {{"adSecEncryption-a", "1", kWPAEncrypts, "wpaplain|ptmpbridge+wpaplain"},
                       {"adVlanState", "0", kGuestsFollowPrimary, kGuestsOutOfLine},
                       {"adMSSIDIdvState", "0", kGuestsFollowPrimary, kGuestsOutOfLine},
                       {"adMSSIDEncryption", "0", kGuestsFollowPrimary, kGuestsOutOfLine}}),
        Row<TFM_Performace>("Performance", FM_Performace, Click(&TFM_Performace::Bt_Apply_a),
                            Click(&TFM_Performace::Bt_Refresh_a),
                            [&] {
                                std::vector<std::string> p = radio;
                                p.insert(p.end(),
                                         {"datarate", "datarate+configured", "absent", "radiooff",
                                          "ratecontrolon", "ratecontrolon+configured", "ratecontrolon+bridge",
                                          "ratecontrolon+repeater", "ratecontrolon+staticturbo",
                                          "ratecontrolon+norogue+staticturbo"});
                                return p;
                            }(),
                            {}),
        Row<TFM_ModeCFG>("Mode", FM_ModeCFG, Click(&TFM_ModeCFG::Bt_Apply), Click(&TFM_ModeCFG::Bt_Refresh),
                         noMSSID),
        Row<TFM_Encrypt>("Encryption", FM_Encrypt, Click(&TFM_Encrypt::Bt_Apply), Click(&TFM_Encrypt::Bt_Ref),
                         noMSSID),
        Row<TFM_WMACACL>("MAC ACL", FM_WMACACL, Click(&TFM_WMACACL::Bt_Apply), {}, anyDevice,
                         [](TFM_WMACACL &f) { return f.Idle; }),
        Row<TFM_WPart>("WLAN Partition", FM_WPart, Click(&TFM_WPart::BT_Apply), {}, anyDevice),
        Row<TFM_MultiSSIDForm>("Multi-SSID (older)", FM_MultiSSIDForm, Click(&TFM_MultiSSIDForm::Bt_Apply),
                               Click(&TFM_MultiSSIDForm::Bt_Refresh),
                               Refusing(olderMSSID, {"default", "nodeferred"}), {},
                               {{"adSuperMode", "4", kGuestsNeedAccessPoint, "configured+staticturbo"},
                                {"adAPMode", "1", kGuestsNeedAccessPoint, "configured+staticturbo"}}),
        Row<Newer>("Multi-SSID (newer) Apply", FM_MultiSSIDNewForm, Click(&Newer::ApplyBtn), {}, newerMSSID,
                   idleMSSID),
        Row<Newer>("Multi-SSID (newer) Save Primary", FM_MultiSSIDNewForm, SaveRow("Primary SSID"), {},
                   savedRows, idleMSSID, kSavedRowRules),
        Row<Newer>("Multi-SSID (newer) Save 1", FM_MultiSSIDNewForm, SaveRow("Multi-SSID 1"), {}, savedRows,
                   idleMSSID, kSavedRowRules),
        Row<Newer>("Multi-SSID (newer) Save 2", FM_MultiSSIDNewForm, SaveRow("Multi-SSID 2"), {}, savedRows,
                   idleMSSID, kSavedRowRules),
        Row<Newer>("Multi-SSID (newer) Save 3", FM_MultiSSIDNewForm, SaveRow("Multi-SSID 3"), {}, savedRows,
                   idleMSSID, kSavedRowRules),
        Row<TFM_RogueForm>("Rogue AP", FM_RogueForm, Click(&TFM_RogueForm::Apply_Btn), {},
                           {"default", "nodeferred", "configured", "servicesoff", "knownapsfull", "adhoc",
                            "norogue+configured"},
                           {},
                           {{"securityTypeDetected", "3",
                             "with Ad Hoc only the OFF and WEP bits of the "
                             "security filter go out",
                             "adhoc"}}),
        Row<TFM_LanCfg>(
            "LAN", FM_LanCfg, Click(&TFM_LanCfg::BT_LanCfgOk), {},
            {"-default", "configured", "configured+nodeferred", "dhcpclient", "dhcpclient+nodeferred"},
            [](TFM_LanCfg &f) { return !f.Probing(); }),
        Row<TFM_DHCP>("DHCP", FM_DHCP, Click(&TFM_DHCP::Bt_Apply), {},
                      {"default", "nodeferred", "configured", "outside", "servicesoff"}, idleDHCP),
        Row<TFM_DHCP>("DHCP static function", FM_DHCP, Click(&TFM_DHCP::StaticApply), {},
                      {"default", "nodeferred", "configured", "servicesoff"}, idleDHCP),
        Row<TFM_DHCP>("DHCP static row", FM_DHCP, Press<TFM_DHCP>(SetFirstStaticRow), {},
                      {"-default", "-staticpoolfull", "-configured"}, idleDHCP),
        Row<TFM_Group>("Grouping", FM_Group, Click(&TFM_Group::Bt_Apply), Click(&TFM_Group::Bt_Refresh),
                       {"grouping", "grouping+nodeferred", "grouping+nolinkstatus", "grouping+bridge",
                        "grouping+configured", "grouping+outside", "grouping+servicesoff"}),
        Row<TFM_Misc>(
            "Miscellaneous", FM_Misc, Click(&TFM_Misc::Bt_Apply), Click(&TFM_Misc::Bt_Rfresh),
            {"default", "nodeferred", "nossh", "configured", "outside", "telnetoff", "telnetoff+nossh"}),
        Row<TFM_LogSet>("Log Setting", FM_LogSet, Click(&TFM_LogSet::Bt_Apply), {},
                        {"default", "nodeferred", "nosmtp", "configured", "servicesoff"}),
        Row<TSNTPForm>(
            "Date and Time", SNTPForm, Click(&TSNTPForm::Bt_Apply), {},
            {"default", "nodeferred", "configured", "outside", "manualtime", "manualtime+nodeferred"},
            [](TSNTPForm &f) { return f.Idle; }),
        // Without the current password typed, OK is refused.
        Row<TFM_Admin>("Admin", FM_Admin, Click(&TFM_Admin::OK), {},
                       {"-default", "-nodeferred", "-configured"}),
        Row<TFM_Admin2>("Admin2", FM_Admin2, Click(&TFM_Admin2::OK), {},
                        {"admin2", "admin2+nodeferred", "admin2+adminlite", "admin2+nossh",
                         "admin2+configured", "admin2+outside", "admin2+servicesoff", "admin2+telnetoff",
                         "admin2+telnetoff+nossh"}),
        Row<TFM_Admin3>("Admin3", FM_Admin3, Click(&TFM_Admin3::OK), {},
                        {"admin3", "admin3+nodeferred", "admin3+adminlite", "admin3+nossh",
                         "admin3+configured", "admin3+outside", "admin3+servicesoff", "admin3+telnetoff",
                         "admin3+telnetoff+nossh"}),
        Row<TFM_Sytem>("System restart", FM_Sytem, Click(&TFM_Sytem::Button1), {}, {"default", "nodeferred"}),
    };
    return table;
}

// Objects that commands write or fill: their values change by design.
struct CommandObject {
    const char *object;
    const char *reason;
};
const CommandObject kCommandObjects[] = {
    {"sntptimerefresh", "the PC's clock, written when Date and Time opens: the device's clock refresh"},
    {"sntpTFTPServerIP", "the server of the time-zone list transfer Date and Time asks for at opening"},
    {"sntpListFileName", "the file of the time-zone list transfer Date and Time asks for at opening"},
    {"sntpsetTimeofDay", "sets the device's clock: Date and Time sends the time of its lists on every Apply"},
};

std::vector<SweepCase> Cases()
{
    std::vector<SweepCase> cases;
    for (const SweptRow &row : Table())
        for (const std::string &entry : row.profiles) {
            const bool refuses = entry[0] == '-';
            const std::string profile = refuses ? entry.substr(1) : entry;
            cases.push_back(
                {&row, profile, Sequence::ApplyTwice, refuses, row.name + " " + profile + " ApplyTwice"});
            if (!row.hasRefresh)
                continue;
            cases.push_back({&row, profile, Sequence::RefreshThenApply, refuses,
                             row.name + " " + profile + " RefreshThenApply"});
            cases.push_back({&row, profile, Sequence::ChangeRefreshApply, refuses,
                             row.name + " " + profile + " ChangeRefreshApply"});
        }
    return cases;
}

void FormSweep::StartSweptDevice(const std::string &profiles)
{
    // A short restart: the countdown's reboot is over before the next write. The forms' TFTP
    // servers and the device's client meet on a port of this case.
    const std::string tftpPort = std::to_string(kvtest::freeUdpPort());
    setenv(kTftpPortVariable, tftpPort.c_str(), 1);
    // Communities of this case alone: requests meant for another test's device on a port used
    // again are refused unlogged, so the device's log holds this form's requests only.
    static int cases = 0;
    const std::string community = "sweep" + std::to_string(::getpid()) + "x" + std::to_string(++cases);
    readCommunity = community + "r";
    writeCommunity = community + "w";
    std::vector<std::string> args = {"--reboot-silence", "0.2",         "--tftp-port",       tftpPort,
                                     "--read-community", readCommunity, "--write-community", writeCommunity};
    std::istringstream names(profiles);
    for (std::string name; std::getline(names, name, '+');)
        if (name != "default")
            args.insert(args.end(), {"--profile", name});
    startDevice(args);
    if (HasFatalFailure())
        return;
    // The main window's polls stay out of the way: only the form talks to the device. A poll
    // under way turns its timer on again when it ends, so they go off once none runs.
    TMainForm &m = mainWindow();
    ASSERT_TRUE(pumpUntil(
        [&m] {
            for (TTimer *t : {m.Timer1, m.LedStatus, m.LedBlink})
                t->SetEnabled(false);
            return (!m.SysDescrReq || m.SysDescrReq->Outstanding == 0) &&
                   (!m.LedStatusReq || !m.LedStatusReq->Busy);
        },
        kWaitMs));
}

std::string FormSweep::Settle(SweptForm &form)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const std::string log = sim->stateDir() + "/requests.log";
    auto size = [&log] {
        std::error_code ec;
        const auto s = std::filesystem::file_size(log, ec);
        return ec ? std::uintmax_t{0} : s;
    };
    std::uintmax_t last = size();
    Clock::time_point since = Clock::now();
    std::string busy;
    const bool settled = pumpUntil(
        [&] {
            const std::uintmax_t now = size();
            busy = FM_Waiting != nullptr    ? "a countdown shows"
                   : !canClose(form.Form()) ? "the form refuses to close"
                   : !form.Idle()           ? "the form's own work runs"
                   : now != last            ? "the device is asked"
                                            : "";
            if (!busy.empty()) {
                last = now;
                since = Clock::now();
                return false;
            }
            return Clock::now() - since >= std::chrono::milliseconds(250);
        },
        kWaitMs);
    m_settleMs.push_back(static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()));
    if (settled)
        return std::string();
    // The last requests the device logged tell who kept asking.
    const std::string requests = sim->requestLog();
    const std::size_t tail = requests.size() > 600 ? requests.size() - 600 : 0;
    return (busy.empty() ? std::string("never quiet") : busy) + "; last requests:\n" + requests.substr(tail);
}

void FormSweep::ExpectUnchanged(const HeldValues &before, const SweepCase &c, const std::string &when)
{
    for (const Change &change : Changes(before, ReadHeldValues(*sim))) {
        bool expected = false;
        for (const CommandObject &command : kCommandObjects)
            expected = expected || NameCovers(command.object, change.object);
        for (const Demanded &d : c.row->demanded)
            expected = expected || (d.AppliesOn(c.profile) && NameCovers(d.object, change.object) &&
                                    (!d.value || change.after == d.value));
        if (expected) {
            m_excused.insert(change.Text());
            continue;
        }
        std::string boxes;
        for (const std::string &box : m_boxes)
            boxes += "\n  box " + box;
        ADD_FAILURE() << when << ": " << change.Text() << boxes;
    }
}

TEST_P(FormSweep, WriteWithoutChangeKeepsTheDevice)
{
    const SweepCase &c = GetParam();
    StartSweptDevice(c.profile);
    if (HasFatalFailure())
        return;
    const HeldValues before = ReadHeldValues(*sim);
    std::unique_ptr<SweptForm> form = c.row->open(*this);
    ASSERT_EQ(Settle(*form), "") << "after opening";
    ExpectUnchanged(before, c, "after opening");
    const std::size_t setsAtOpening = sets().size();
    std::string when = "after the write";
    UserChanges changes;
    if (c.sequence == Sequence::ChangeRefreshApply) {
        changes.Make(form->Form());
        ASSERT_EQ(Settle(*form), "") << "after the changes";
        when = "after the changes, Refresh and the write; changed:";
        for (const std::string &change : changes.Made())
            when += "\n  " + change;
    }
    if (c.sequence != Sequence::ApplyTwice) {
        form->Refresh();
        ASSERT_EQ(Settle(*form), "") << "after Refresh";
    }
    form->Write();
    ASSERT_EQ(Settle(*form), "") << "after the write";
    ExpectUnchanged(before, c, when);
    if (c.sequence == Sequence::ApplyTwice) {
        form->Write();
        ASSERT_EQ(Settle(*form), "") << "after the second write";
        ExpectUnchanged(before, c, "after the second write");
    }
    // A case sweeps a write only where the form writes: a refusal is expected of the table.
    const std::size_t written = sets().size() - setsAtOpening;
    if (c.refuses)
        EXPECT_EQ(written, 0u) << "the table says the form refuses here";
    else
        EXPECT_GT(written, 0u) << "the form wrote nothing (mark the profile with \"-\" if it refuses)";
    std::cout << "[ sweep    ] " << written << " sets";
    if (c.sequence == Sequence::ChangeRefreshApply)
        std::cout << " after " << changes.Made().size() << " controls changed";
    std::cout << "; settled in";
    for (long ms : m_settleMs)
        std::cout << " " << ms;
    for (const std::string &box : m_boxes)
        std::cout << "; box " << box;
    for (const std::string &change : m_excused)
        std::cout << "; excused " << change;
    std::cout << "\n";
}

INSTANTIATE_TEST_SUITE_P(Forms, FormSweep, ::testing::ValuesIn(Cases()), CaseName());

} // namespace

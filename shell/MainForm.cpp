#include "MainForm.h"

#include "About.h"
#include "Clock.h"
#include "Exception.h"
#include "FrontPanel.h"
#include "KvExpression.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "KvSNMPRequest2Edits.h"
#include "KvSNMPSession.h"
#include "Misc.h"
#include "Snmp.h"
#include "Startup.h"
#include "Waiting.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

TMainForm *MainForm = nullptr;
TFM_Waiting *gWaitingForm = nullptr;
bool gSaveActivatePending = false;

namespace {

const KvSNMPItem kSysDescrItems[] = {
    {"1.3.6.1.2.1.1.1", "sysDescr", KvSyntax::DisplayStr, KvAccess::ReadOnly}, {}};
const KvSNMPItem kLedStatusItems[] = {
    {"1.3.6.1.4.1.32473.11.37.4.3.1.5", "admLedStatus", KvSyntax::Integer, KvAccess::ReadWrite,
     &gAdmLedStatusNames},
    {},
};

constexpr int kBlinkSteps = 100;

TImage *makePicture(TMainForm *form, const char *name, const char *picture, int left, int top)
{
    auto *image = new TImage(form);
    image->SetName(name);
    image->SetParent(form);
    image->SetImage(ShellPicture(picture));
    image->SetBounds(left, top, image->PictureWidth(), image->PictureHeight());
    return image;
}

TTimer *makeTimer(TMainForm *form, const char *name, int interval, bool enabled)
{
    auto *timer = new TTimer(form);
    timer->SetName(name);
    timer->SetEnabled(enabled);
    timer->SetInterval(interval);
    return timer;
}

} // namespace

AnsiString PollStatusText(const AnsiString &format, const AnsiString &message, std::time_t now)
{
    AnsiString line = format;
    const std::ptrdiff_t p = kv::pos("[ERROR]", line);
    const std::ptrdiff_t q = kv::pos("[VARLIST]", line);
    // Cut " Request:[VARLIST]" (what lies after "[ERROR]" up to the end of "[VARLIST]"),
    // only when both are there in that order: a replaced format may have neither.
    if (p > 0 && q > p) {
        const auto from = static_cast<std::size_t>(p - 1 + 7);
        if (from <= line.size())
            line.erase(from, static_cast<std::size_t>(q - p + 2));
    }
    std::tm local{};
    localtime_r(&now, &local);
    int hour = local.tm_hour % 12;
    if (hour == 0)
        hour = 12;
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d %s", hour, local.tm_min, local.tm_sec,
                  local.tm_hour < 12 ? "AM" : "PM");
    line = ReplaceAll(line, "[ERROR]", message);
    line = ReplaceAll(line, "[TIME]", time);
    return line;
}

TMainForm::TMainForm(TComponent *AOwner) : TForm(AOwner)
{
    SetName("MainForm");
    SetText(gModelName);
    BuildControls();
    BuildMenu();
    LoadMessageFilesFirst(ProgramDataFolder(ProgramFolder()));
    gKvSNMPDefaultSecurity.Version = 3;
    gWaitingForm = nullptr;
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *, bool &canClose) {
        // Asked while the start-up reads wait: they give up, and the window closes after them.
        if (m_startingUp) {
            m_closeAsked = true;
            canClose = false;
            kv::UserWait::giveUpAll();
        }
    };
    OnClose = [this](TObject *s, TCloseAction &a) { FormClose(s, a); };
    // SIGTERM and SIGINT close the window as the user's close does.
    m_signals = std::make_unique<kv::TerminationSignals>([this] { Close(); });
    m_waitListener = KvSNMPAddWaitListener([this](bool waiting, const AnsiString &address) {
        // Waits nest (a request made while another waits): the note goes with the last of them.
        m_waitsTold += waiting ? 1 : -1;
        if (waiting && !ShuttingDown)
            WaitNote.show(WaitingForDeviceText(address) + "\n" + kWaitGiveUpText);
        else if (waiting || m_waitsTold <= 0)
            WaitNote.hide();
    });
}

TMainForm::~TMainForm()
{
    KvSNMPRemoveWaitListener(m_waitListener);
    StopEverything();
    if (MainForm == this)
        MainForm = nullptr;
}

TEdit *TMainForm::HiddenEdit(const char *name, const char *text)
{
    auto *edit = new TEdit(this);
    edit->SetName(name);
    edit->SetParent(this);
    edit->SetVisible(false);
    edit->SetText(text);
    return edit;
}

TComboBox *TMainForm::HiddenCombo(const char *name)
{
    auto *combo = new TComboBox(this);
    combo->SetName(name);
    combo->SetParent(this);
    combo->SetVisible(false);
    return combo;
}

void TMainForm::BuildControls()
{
    Image1 = makePicture(this, "Image1", "front-panel.jpg", 8, 0);
    // The LEDs sit in their windows of the panel picture.
    LED_WLan = makePicture(this, "LED_WLan", "led-wlan.png", 89, 181);
    LED_Lan = makePicture(this, "LED_Lan", "led-lan.png", 106, 181);
    LED_Power = makePicture(this, "LED_Power", "led-power.png", 158, 180);
    Image2 = makePicture(this, "Image2", "alarm.png", 112, 200);
    // They show and hide in place over the panel: a blink step repaints the LED's own pixels
    // and nothing else.
    for (TImage *mark : {LED_WLan, LED_Lan, LED_Power, Image2})
        mark->SetShownOver(*Image1);

    MainStatusBar = new TStatusBar(this);
    MainStatusBar->SetName("MainStatusBar");
    MainStatusBar->SetParent(this);
    MainStatusBar->SetHeight(19);
    MainStatusBar->SetSimplePanel(true);

    CB_LedStatus = HiddenCombo("CB_LedStatus");
    LedStatus = makeTimer(this, "LedStatus", 2000, true);
    LedStatus->OnTimer = [this](TObject *s) { LedStatusTimer(s); };
    LedBlink = makeTimer(this, "LedBlink", 30, true);
    LedBlink->OnTimer = [this](TObject *s) { LedBlinkTimer(s); };
    Timer1 = makeTimer(this, "Timer1", 2000, false);
    Timer1->OnTimer = [this](TObject *s) { Timer1Timer(s); };

    Ed_FwVer = HiddenEdit("Ed_FwVer", "");
    Ed_Countrycode = HiddenEdit("Ed_Countrycode", "Ed_Countrycode");
    ED_Turbomode = HiddenEdit("ED_Turbomode", "ED_Turbomode");
    APModeSupport = HiddenEdit("APModeSupport", "APModeSupport");
    ifMultiSSID_Edit = HiddenEdit("ifMultiSSID_Edit", "ifMultiSSID_Edit");
    Ed_Rogue = HiddenEdit("Ed_Rogue", "ifRogueAPsupport");
    IPAddressEdit = HiddenEdit("IPAddressEdit", "IPAddressEdit");
    SubMaskEdit = HiddenEdit("SubMaskEdit", "SubMaskEdit");
    NewMultiSupport = HiddenEdit("NewMultiSupport", "NewMultiSupport");
    SyslogSupport = HiddenEdit("SyslogSupport", "SyslogSupport");
    Ed_ClientAddSSID = HiddenEdit("Ed_ClientAddSSID", "Ed_ClientAddSSID");
    Ed_KeyTypeSup = HiddenEdit("Ed_KeyTypeSup", "Ed_KeyTypeSup");
    Ed_spWDSSite = HiddenEdit("Ed_spWDSSite", "Ed_spWDSSite");
    Ed_spSNTP = HiddenEdit("Ed_spSNTP", "Ed_spSNTP");
    Ed_spAccounting = HiddenEdit("Ed_spAccounting", "Ed_spAcnt");
    ApmodeStringChangeSupport = HiddenEdit("ApmodeStringChangeSupport", "ApmodeStringChangeSupport");
    Ed_SpSmtp = HiddenEdit("Ed_SpSmtp", "Ed_SpSmtp");
    Ed_Suppress = HiddenEdit("Ed_Suppress", "Ed_Suppress");
    Ed_WMM = HiddenEdit("Ed_WMM", "Ed_WMM");
    Ed_Grouping = HiddenEdit("Ed_Grouping", "Ed_Grouping");
    Ed_ManagerIP = HiddenEdit("Ed_ManagerIP", "Ed_ManagerIP");
    CB_Active = HiddenCombo("CB_Active");
    CB_Discard = HiddenCombo("CB_Discard");
    Ed_WDSInfoNotSupport = HiddenEdit("Ed_WDSInfoNotSupport", "Ed_WDSInfoNotSupport");
    Ed_SSLSupport = HiddenEdit("Ed_SSLSupport", "Ed_SSLSupport");
    Ed_PacketStatNotSupport = HiddenEdit("Ed_PacketStatNotSupport", "Ed_PacketStatNotSupport");
    Ed_LinkStatusNotSupport = HiddenEdit("Ed_LinkStatusNotSupport", "Ed_LinkStatusNotSupport");
    ED_APModeComboBox = HiddenCombo("ED_APModeComboBox");
    mssidAndWdssupport = HiddenEdit("mssidAndWdssupport", "mssidAndWdssupport");
    Ed_Sntpmethod = HiddenEdit("Ed_Sntpmethod", "Ed_Sntpmethod");
    Ed_Datetime = HiddenEdit("Ed_Datetime", "Ed_Datetime");
    Ed_DyvlanSupport = HiddenEdit("Ed_DyvlanSupport", "Ed_DyvlanSupport");
    Ed_wmmOverWDSSupported = HiddenEdit("Ed_wmmOverWDSSupported", "Ed_wmmOverWDSSupported");
    Ed_prioritybySSIDSupported = HiddenEdit("Ed_prioritybySSIDSupported", "Ed_prioritybySSIDSupported");
    Ed_ipRangeSupported = HiddenEdit("Ed_ipRangeSupported", "Ed_ipRangeSupported");
    CB_IPStatusSupport = HiddenCombo("CB_IPStatusSupport");
    Ed_SysIpaddress = HiddenEdit("Ed_SysIpaddress", "Ed_SysIpaddress");
    Ifclientinfosupported = HiddenEdit("Ifclientinfosupported", "Ifclientinfosupported");
}

void TMainForm::BuildMenu()
{
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    MenuItems = BuildMainMenuTree(this, MainMenu1);
    Status1 = MenuItems.status2;
    Configration1 = MenuItems.Configration1;
    cfgSave1 = MenuItems.cfgSave1;
    cfgDiscard1 = MenuItems.cfgDiscard1;
    Help1 = MenuItems.Help1;
    About1 = MenuItems.About1;
    WireMenu();
}

void TMainForm::ShowPanelAtRest()
{
    LED_Power->SetVisible(true);
    LED_Lan->SetVisible(true);
    LED_WLan->SetVisible(true);
    Image2->SetVisible(true);
}

void TMainForm::FormCreate(TObject *)
{
    SetClientWidth(Image1->Width() + 16);
    SetClientHeight(Image1->Height() + MainStatusBar->Height());
    SetBorderStyle(bsSingle);
    SetBorderIcons(true, false);

    const HostSettings host = ReadHostSettings(HostSettingsPath());
    LoadMessageFilesSecond(host.ModuleFolder);

    auto endStartup = [this](StartupOutcome outcome, const AnsiString &message) {
        Timer1->SetEnabled(false);
        m_outcome = outcome;
        if (outcome == StartupOutcome::NoArguments)
            ShowMessage(message);
        else
            Application->MessageBox(message, "Warning", MB_OK);
        Application->Terminate();
    };

    if (gCommandLine.empty()) {
        endStartup(StartupOutcome::NoArguments, kMsgNoArguments);
        return;
    }

    // The arguments are checked before anything is created for the device they name, with the
    // version start-up will use (the session's default, SNMPv1) as the one to begin with.
    StartupDefaults initial{gKvSNMPDefaultDevice, gKvSNMPDefaultScope, gKvSNMPDefaultSecurity};
    initial.Security.Version = 0;
    const StartupArguments checked = ParseStartupArguments(gCommandLine, host.SettingsFolder, initial);
    if (checked.outcome != StartupArguments::Outcome::Run) {
        endStartup(StartupOutcome::Refused, checked.Message);
        return;
    }

    try {
        const AnsiString dataFolder = DeviceDataFolder(checked.AgentAddress);
        std::error_code ec;
        std::filesystem::create_directories(dataFolder, ec);
        KvSNMPCreateGlobalSession(dataFolder);
    } catch (const std::exception &e) {
        endStartup(StartupOutcome::Failed, e.what());
        return;
    }
    gKvSNMPDefaultSecurity.Version = 0;

    initial = StartupDefaults{gKvSNMPDefaultDevice, gKvSNMPDefaultScope, gKvSNMPDefaultSecurity};
    const StartupArguments parsed = ParseStartupArguments(gCommandLine, host.SettingsFolder, initial);
    gKvSNMPDefaultDevice = parsed.Defaults.Device;
    gKvSNMPDefaultScope = parsed.Defaults.Scope;
    gKvSNMPDefaultSecurity = parsed.Defaults.Security;
    AgentAddress = parsed.AgentAddress;
    CfgVersionText = parsed.CfgVersionText;

    SetText(StartupCaption(Text(), AgentAddress));
    m_lock = InstanceLock::Acquire(InstanceLockPath(AgentAddress));
    if (!m_lock) {
        endStartup(StartupOutcome::AnotherInstance, gMsgAnotherInstance);
        Close();
        return;
    }

    // The window shows at once and says which device it waits for; it stays painted while the
    // start-up reads wait for the device.
    MainStatusBar->SetSimpleText(WaitingForDeviceText(AgentAddress));
    Show();
    {
        StartupReads reads(*this);
        try {
            StartStatusPoll();
            Probe = std::make_unique<TCapabilityProbe>(*this);
            Probe->Run();
        } catch (const std::exception &e) {
            Application->ShowException(e);
        }
    }
    if (m_closeAsked) {
        Close();
        return;
    }
    Timer1->SetEnabled(true);
}

TMainForm::StartupReads::StartupReads(TMainForm &form) : m_form(form)
{
    m_form.m_startingUp = true;
}

TMainForm::StartupReads::~StartupReads()
{
    m_form.m_startingUp = false;
}

namespace {

// The status poll and the capability re-read both run every two seconds: when one falls due
// this close to the other, both run in the same wake-up of the program (and their answers
// arrive together).
constexpr int kTogetherMs = 20;

bool dueSoon(const TTimer &timer)
{
    const int left = timer.RemainingMs();
    return left >= 0 && left <= kv::Clock::instance().timerIntervalMs(kTogetherMs);
}

} // namespace

void TMainForm::StartStatusPoll()
{
    LedStatusReq = std::make_unique<KvSNMPRequest2Edits>(this);
    LedStatusReq->Request.VarList = KvSNMPVarList(kLedStatusItems, SVT_SV, 0);
    LedStatusReq->OnGetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { LedStatusReadDone(s, e); };
    LedStatusReq->AssociateCombo(0, CB_LedStatus);
    LedStatusReadable = LedStatusReq->Get();

    SysDescrReq = std::make_unique<KvSNMPRequest>();
    SysDescrReq->VarList = KvSNMPVarList(kSysDescrItems, SVT_SV, 0);
    LedStatusTimer(this);
}

void TMainForm::LedStatusTimer(TObject *Sender)
{
    if (!SysDescrReq)
        return;
    LedStatus->SetEnabled(false);
    try {
        std::weak_ptr<int> life = m_life;
        SysDescrReq->GetAsync(
            [this, life](KvSNMPError *e, KvSNMPVarList *) {
                if (!life.expired() && SysDescrReq && !ShuttingDown)
                    SysDescrPollDone(e);
            },
            true);
    } catch (const std::exception &e) {
        LED_Power->SetVisible(true);
        LED_Lan->SetVisible(false);
        LED_WLan->SetVisible(false);
        Image2->SetVisible(true);
        MainStatusBar->SetSimpleText(e.what());
        LastStatusText = MainStatusBar->SimpleText();
        const auto *framework = dynamic_cast<const Exception *>(&e);
        LastStatusCode = framework != nullptr ? framework->HelpContext : KvSNMPCode::UnknownError;
        LedStatus->SetEnabled(true);
    }
    if (Sender == LedStatus && dueSoon(*Timer1)) {
        // Its two seconds run from now on.
        Timer1->SetEnabled(false);
        Timer1->SetEnabled(true);
        Timer1Timer(this);
    }
}

void TMainForm::SysDescrPollDone(KvSNMPError *e)
{
    AnsiString text = e != nullptr ? e->Message : AnsiString();
    LastStatusCode = e != nullptr ? e->Code : KvSNMPCode::UnknownError;
    if (e == nullptr || e->Code != 0) {
        LED_Power->SetVisible(true);
        LED_Lan->SetVisible(false);
        LED_WLan->SetVisible(false);
        Image2->SetVisible(true);
    } else {
        if (LedStatusReadable)
            Image2->SetVisible(CB_LedStatus->ItemIndex() == 0);
        text = PollStatusText(gKvSNMPLogFormats[0], e->Message, kv::Clock::instance().wallTime());
        LedBlinkTimer(this);
    }
    MainStatusBar->SetSimpleText(text);
    LastStatusText = MainStatusBar->SimpleText();
    LedStatus->SetEnabled(true);
}

void TMainForm::LedBlinkTimer(TObject *)
{
    if (!LedBlink->Enabled()) {
        LedBlink->Tag = 0;
        LedBlink->SetEnabled(true);
    }
    LED_Power->SetVisible(false);
    LED_Lan->SetVisible(!LED_Lan->Visible());
    if (LedBlink->Tag % 4 == 0)
        LED_WLan->SetVisible(!LED_WLan->Visible());
    ++LedBlink->Tag;
    if (LedBlink->Tag >= kBlinkSteps)
        LedBlink->SetEnabled(false);
}

void TMainForm::LedStatusReadDone(KvSNMPRequest2Controls *, KvSNMPError *e)
{
    LedStatusReadable = e != nullptr && e->Code == 0;
}

void TMainForm::Timer1Timer(TObject *Sender)
{
    if (Sender == Timer1 && SysDescrReq && dueSoon(*LedStatus))
        LedStatusTimer(this);
    if (Probe)
        Probe->Tick(LedStatusReq.get());
}

void TMainForm::UpdateConfigurationMenu()
{
    Configration1->SetVisible(gSaveActivateSupported);
}

void TMainForm::About1Click(TObject *)
{
    auto *about = new TAboutForm(Application);
    AboutForm = about;
    about->ShowModal();
    delete about;
    AboutForm = nullptr;
}

void TMainForm::StopEverything()
{
    ShutDown();
}

void TMainForm::FormClose(TObject *, TCloseAction &)
{
    StopEverything();
}

bool TMainForm::IsValidIPAddress(AnsiString text) const
{
    return ::IsValidIPAddress(std::move(text));
}

bool TMainForm::IsValidSubnetMask(const AnsiString &text) const
{
    return ::IsValidSubnetMask(text);
}

void TMainForm::GetLocalIPAddresses()
{
    ::GetLocalIPAddresses(LocalAddresses);
}

void TMainForm::GetLocalIPAddresses(std::vector<AnsiString> &addresses)
{
    ::GetLocalIPAddresses(LocalAddresses, addresses);
}

AnsiString TMainForm::NetworkAddressOf(const AnsiString &address, const AnsiString &mask) const
{
    return ::NetworkAddressOf(address, mask);
}

#include "TSNTPForm.h"

#include "FormGlobals.h"
#include "KvOptionList.h"
#include "KvPath.h"
#include "NetUtils.h"
#include "Startup.h"
#include "WriteChain.h"

#include <cstdio>
#include <fstream>
#include <optional>

namespace {

const KvOptionPair kDayLightSavingPairs[] = {{0, "Disabled"}, {1, "Enabled"}, {}};
const KvOptionPair kSntpGetListPairs[] = {{0, "nothing"}, {1, "get"}, {}};
KvOptionList gDayLightSavingNames(kDayLightSavingPairs, okNumber, 0);
KvOptionList gSntpGetListNames(kSntpGetListPairs, okNumber, 0);

const FormItemTable kMethodItems = {
    {"3.5.7", "sntptimesetmethod", KvSyntax::Integer, KvAccess::ReadWrite},
};
const FormItemTable kRefreshItems = {
    {"3.5.9", "sntptimerefresh", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};
const FormItemTable kSntpItems = {
    {"3.5.1", "sntpServerIP", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"3.5.2", "sntpTZoneIdx", KvSyntax::Integer, KvAccess::ReadWrite, &gSntpTimeZoneNames},
    {"3.5.4", "dayLightSaving", KvSyntax::Integer, KvAccess::ReadWrite, &gDayLightSavingNames},
    {"3.5.5", "timeOfDay", KvSyntax::DisplayStr, KvAccess::ReadOnly},
};
const FormItemTable kManualItems = {
    {"3.5.8", "sntpsetTimeofDay", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};
const FormItemTable kListItems = {
    {"3.5.6.1", "sntpTFTPServerIP", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"3.5.6.2", "sntpListFileName", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"3.5.6.3", "sntpGetList", KvSyntax::Integer, KvAccess::ReadWrite, &gSntpGetListNames},
};

const char *const kListFileName = "SNTPFile.RD";
const char *const kDaylightLabel = "Daylight Saving Time";
const char *const kNoListText = "The time zone list was not read: Daylight Saving Time is not written.";
constexpr int kFirstYear = 2002, kLastYear = 2037;

TComboBox *timeCombo(TWinControl *parent, const char *name, Bounds b, int from, int to, int width)
{
    auto *combo = Make<TComboBox>(parent, name, b);
    combo->SetStyle(csDropDownList);
    for (int v = from; v <= to; ++v) {
        char text[8];
        std::snprintf(text, sizeof text, "%0*d", width, v);
        combo->Items()->Add(text);
    }
    return combo;
}

} // namespace

TSNTPForm::TSNTPForm(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"SNTPForm", "Tools \\ Date and Time", 460, 300});
    RB_Sntp = Make<TRadioButton>(this, "RB_Sntp", {10, 10, 220, 18}, "SNTP/NTP Settings");
    Label1 = Make<TLabel>(this, "Label1", {30, 38, 170, 16}, "SNTP/NTP Server IP");
    Ed_WSNTPServ = Make<TEdit>(this, "Ed_WSNTPServ", {210, 34, 150, 21});
    Label2 = Make<TLabel>(this, "Label2", {30, 64, 170, 16}, "SNTP/NTP Server Time Zone");
    CB_WSNTPTimeZone = Make<TComboBox>(this, "CB_WSNTPTimeZone", {210, 60, 240, 21});
    CB_WSNTPTimeZone->SetStyle(csDropDownList);
    Label3 = Make<TLabel>(this, "Label3", {30, 90, 170, 16}, "Daylight Saving Time");
    CHB_DayLight = Make<TCheckBox>(this, "CHB_DayLight", {210, 88, 100, 18}, " Enabled");
    Label4 = Make<TLabel>(this, "Label4", {30, 116, 170, 16}, "Local Time");
    LabRLocalTime = Make<TEdit>(this, "LabRLocalTime", {210, 114, 240, 18});
    LabRLocalTime->SetReadOnly(true);
    LabRLocalTime->SetBorderStyle(bsNone);
    RB_Manual = Make<TRadioButton>(this, "RB_Manual", {10, 146, 220, 18}, "Set Date and Time manually");
    CB_Year = timeCombo(this, "CB_Year", {30, 172, 62, 21}, kFirstYear, kLastYear, 4);
    CB_Month = timeCombo(this, "CB_Month", {98, 172, 46, 21}, 1, 12, 2);
    CB_Day = timeCombo(this, "CB_Day", {150, 172, 46, 21}, 1, 31, 2);
    CB_Hour = timeCombo(this, "CB_Hour", {212, 172, 46, 21}, 0, 23, 2);
    CB_Minute = timeCombo(this, "CB_Minute", {264, 172, 46, 21}, 0, 59, 2);
    CB_Second = timeCombo(this, "CB_Second", {316, 172, 46, 21}, 0, 59, 2);
    Btn_Copy = Make<TButton>(this, "Btn_Copy", {30, 202, 260, 25}, "Copy Your Computer's Time Settings");
    Ed_sntpmethod = Make<TEdit>(this, "Ed_sntpmethod", {0, 0, 10, 21});
    Ed_datetime = Make<TEdit>(this, "Ed_datetime", {0, 0, 10, 21});
    Ed_manual = Make<TEdit>(this, "Ed_manual", {0, 0, 10, 21});
    Ed_TFTPServ = Make<TEdit>(this, "Ed_TFTPServ", {0, 0, 10, 21});
    Ed_FileName = Make<TEdit>(this, "Ed_FileName", {0, 0, 10, 21});
    CB_Get = Make<TComboBox>(this, "CB_Get", {0, 0, 10, 21});
    LB_File = Make<TListBox>(this, "LB_File", {0, 0, 10, 10});
    LabRSNTPServ = Make<TLabel>(this, "LabRSNTPServ", {0, 0, 10, 16});
    LabRSNTPTimeZone = Make<TLabel>(this, "LabRSNTPTimeZone", {0, 0, 10, 16});
    for (TControl *hidden :
         std::initializer_list<TControl *>{Ed_sntpmethod, Ed_datetime, Ed_manual, Ed_TFTPServ, Ed_FileName,
                                           CB_Get, LB_File, LabRSNTPServ, LabRSNTPTimeZone})
        hidden->SetVisible(false);
    Bt_Apply = Make<TButton>(this, "Bt_Apply", {140, 240, 75, 25}, "Apply");
    Bt_Cancel = Make<TButton>(this, "Bt_Cancel", {240, 240, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(this, "StatusBar");
    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(1000);
    Timer1->SetEnabled(false);

    Bt_Apply->SetEnabled(false);
    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Cancel->OnClick = [this](TObject *) { Close(); };
    RB_Sntp->OnClick = [this](TObject *s) { RB_SntpClick(s); };
    RB_Manual->OnClick = [this](TObject *s) { RB_SntpClick(s); };
    CB_WSNTPTimeZone->OnChange = [this](TObject *s) { CB_WSNTPTimeZoneChange(s); };
    Btn_Copy->OnClick = [this](TObject *s) { Btn_CopyClick(s); };
    Timer1->OnTimer = [this](TObject *s) { Timer1Timer(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnShow = [this](TObject *) { Bt_Cancel->SetFocus(); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };
}

TSNTPForm::~TSNTPForm()
{
    Timer1->SetEnabled(false);
}

// The groups of the form, bound and read (the PC's time sent as it opens).
void TSNTPForm::BindAndRead()
{
    MethodReq = MakeBinding(this, {.Items = kMethodItems,
                                   .Label = "SNTP/NTP or Manual Setting",
                                   .Type = SVT_SV,
                                   .Mode = BindMode::Sync,
                                   .Timeout = 1000});
    MethodReq->AssociateEdits(0, "%u", Ed_sntpmethod);
    RefreshReq = MakeBinding(this, {.Items = kRefreshItems,
                                    .Label = "Computer's Time",
                                    .Type = SVT_SV,
                                    .Mode = BindMode::Sync,
                                    .Timeout = 1000});
    RefreshReq->AssociateEdits(0, "%s", Ed_datetime);
    FillTimeCombosFromPC();
    // The PC's clock in the device's format, whatever the year.
    Ed_datetime->SetText(SntpClockTextNow());
    SendGroup(*RefreshReq);
    SntpReq = MakeBinding(this, {.Items = kSntpItems,
                                 .Label = "SNTP/NTP Settings",
                                 .Type = SVT_SV,
                                 .Timeout = 1000,
                                 .OnGetDone = [this](auto *s, auto *e) { OnSntpGetDone(s, e); }});
    SntpReq->AssociateEdits(0, "%s", Ed_WSNTPServ);
    SntpReq->Associate(1, CB_WSNTPTimeZone);
    SntpReq->Associate(2, CHB_DayLight);
    SntpReq->AssociateEdits(3, "%s", LabRLocalTime);
    SntpReq->Get();
    MethodReq->Get();
    ManualReq = MakeBinding(this, {.Items = kManualItems,
                                   .Label = "Date and Time",
                                   .Type = SVT_SV,
                                   .Mode = BindMode::Sync,
                                   .Timeout = 1000});
    ManualReq->AssociateEdits(0, "%s", Ed_manual);
}

void TSNTPForm::FormCreate(TObject *)
{
    StatusBar->SetSimpleText("Getting...");
    Guard.Watch(SntpReq);
    Guard.Watch(ListReq);
    Guard.WatchIdle(Idle);
    const bool bound = GuardCreate(StatusBar, [this] { BindAndRead(); });
    const AnsiString folder = ReceivedFilesFolder();
    Server = std::make_unique<TransferServer>(this, 5000, StatusBar);
    if (!Server->Start(folder, InitialServerAddress()) || !bound)
        return;
    SntpFilePath = kListFileName;
    GuardCreate(StatusBar, [this] {
        ListReq = MakeBinding(this, {.Items = kListItems,
                                     .Label = "Time Zone List",
                                     .Type = SVT_SV,
                                     .Timeout = 1000,
                                     .OnSetDone = [this](auto *s, auto *e) { OnSntpListRequested(s, e); }});
        ListReq->AssociateEdits(0, "%s", Ed_TFTPServ);
        ListReq->AssociateEdits(1, "%s", Ed_FileName);
        ListReq->Associate(2, CB_Get);
        SendOnce(*ListReq);
    });
    if (!ListReq)
        return;
    if (!RequestList(folder))
        ListNotRead("Get fail.");
    // A method that could not be read is neither.
    const bool read = MethodReq && MethodReq->WasRead();
    const bool sntp = Ed_sntpmethod->Text() == "1";
    RB_Sntp->SetChecked(read && sntp);
    RB_Manual->SetChecked(read && !sntp);
    RB_SntpClick(this);
}

bool TSNTPForm::RequestList(const AnsiString &folder)
{
    if (!SelectInterfaceTftpAddress(Ed_TFTPServ)) {
        ShowMessage("Invalid Server IP Address or SNMP timed out!");
        Application->MessageBox("Get IP Error!", "Warning", MB_OK);
        return false;
    }
    Ed_FileName->SetText(kListFileName);
    CB_Get->SetItemIndex(1);
    SntpFilePath = JoinPath(folder, kListFileName);
    if (!Server->Start(folder, Ed_TFTPServ->Text()))
        return false;
    // A list left by an earlier opening must never pass for the new one.
    std::remove(SntpFilePath.c_str());
    Server->Expect(kListFileName, false);
    Idle = false;
    if (SendGroup(*ListReq))
        return true;
    Server->Finish();
    Idle = true;
    return false;
}

void TSNTPForm::ListNotRead(const AnsiString &failure)
{
    // What was read can still be set; only the daylight saving, which the list governs, is
    // left as the device holds it. Groups that could not be read stay named first.
    AnsiString text = failure + " " + kNoListText;
    if (ShowReadFailure(StatusBar, {SntpReq.get(), MethodReq.get()}))
        text = StatusBar->SimpleText() + " " + text;
    StatusBar->SetSimpleText(text);
    Idle = true;
    Bt_Apply->SetEnabled(true);
}

void TSNTPForm::FillTimeCombosFromPC()
{
    const AnsiString text = SntpClockTextNow();
    TComboBox *combos[] = {CB_Year, CB_Month, CB_Day, CB_Hour, CB_Minute, CB_Second};
    const std::size_t starts[] = {0, 5, 8, 11, 14, 17};
    const std::size_t lengths[] = {4, 2, 2, 2, 2, 2};
    for (std::size_t i = 0; i < 6; ++i) {
        const AnsiString field =
            text.size() >= starts[i] + lengths[i] ? text.substr(starts[i], lengths[i]) : "";
        combos[i]->SetItemIndex(combos[i]->Items()->IndexOf(field));
    }
}

AnsiString TSNTPForm::ComboTimeText() const
{
    return CB_Year->Text() + ":" + CB_Month->Text() + ":" + CB_Day->Text() + ":" + CB_Hour->Text() + ":" +
           CB_Minute->Text() + ":" + CB_Second->Text();
}

bool TSNTPForm::LoadSntpFile(const AnsiString &path)
{
    std::ifstream in(path, std::ios::binary);
    const bool found = static_cast<bool>(in);
    if (found) {
        LB_File->Items()->Clear();
        for (std::string line; std::getline(in, line);)
            LB_File->Items()->Add(line);
    }
    for (int i = 0; i < LB_File->Items()->Count() && i < static_cast<int>(ZoneFlags.size()); ++i) {
        const AnsiString line = LB_File->Items()->Strings(i);
        ZoneFlags[static_cast<std::size_t>(i)] = !line.empty() && line[0] >= '1' && line[0] <= '9' ? 1 : 0;
    }
    return found;
}

void TSNTPForm::OnSntpListRequested(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    const bool arrived = Server->Arrived();
    Server->Finish();
    if (Status == nullptr || Status->Code != 0 || !arrived) {
        ListNotRead(Status != nullptr && Status->Code != 0 ? FailureText(Status) : AnsiString("Get fail."));
        return;
    }
    Ticks = 2;
    Timer1->SetEnabled(true);
}

void TSNTPForm::Timer1Timer(TObject *)
{
    if (Ticks >= 1) {
        --Ticks;
        return;
    }
    if (!ShowReadFailure(StatusBar, {SntpReq.get(), MethodReq.get()}))
        StatusBar->SetSimpleText("Get Complete.");
    m_listRead = LoadSntpFile(SntpFilePath);
    CB_WSNTPTimeZoneChange(this);
    RB_SntpClick(this);
    Timer1->SetEnabled(false);
    Idle = true;
    Bt_Apply->SetEnabled(true);
}

void TSNTPForm::CB_WSNTPTimeZoneChange(TObject *)
{
    const int zone = CB_WSNTPTimeZone->ItemIndex();
    // Without the list the device's value stays as read.
    if (!m_listRead || zone < 0 || zone >= static_cast<int>(ZoneFlags.size()))
        return;
    if (ZoneFlags[static_cast<std::size_t>(zone)] == 0) {
        CHB_DayLight->SetChecked(false);
        CHB_DayLight->SetEnabled(false);
    } else {
        CHB_DayLight->SetEnabled(true);
    }
}

void TSNTPForm::RB_SntpClick(TObject *)
{
    const bool sntp = RB_Sntp->Checked();
    Ed_WSNTPServ->SetEnabled(sntp);
    CB_WSNTPTimeZone->SetEnabled(sntp);
    CHB_DayLight->SetEnabled(sntp && m_listRead);
    for (TControl *c : std::initializer_list<TControl *>{CB_Year, CB_Month, CB_Day, CB_Hour, CB_Minute,
                                                         CB_Second, Btn_Copy})
        c->SetEnabled(!sntp);
    const int zone = CB_WSNTPTimeZone->ItemIndex();
    if (sntp && zone >= 0 && zone < static_cast<int>(ZoneFlags.size()))
        CHB_DayLight->SetEnabled(ZoneFlags[static_cast<std::size_t>(zone)] != 0);
}

void TSNTPForm::Btn_CopyClick(TObject *)
{
    FillTimeCombosFromPC();
    Ed_manual->SetText(ComboTimeText());
}

void TSNTPForm::ShowServerEmptyWhenNone()
{
    if (Ed_WSNTPServ->Text() == "0.0.0.0")
        Ed_WSNTPServ->SetText("");
}

void TSNTPForm::OnSntpGetDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    ShowServerEmptyWhenNone();
    if (Status == nullptr || Status->Code != 0) {
        // After an Apply its outcome stays: what was written could not be read back.
        if (m_readingBack)
            StatusBar->SetSimpleText(ReadBackText(m_applied, Chain, {SntpReq.get()}));
        else
            ShowReadFailure(StatusBar, {SntpReq.get(), MethodReq.get()});
        m_readingBack = false;
        return;
    }
    m_readingBack = false;
    LabRSNTPServ->SetText(Ed_WSNTPServ->Text());
    LabRSNTPTimeZone->SetText(CB_WSNTPTimeZone->Text());
    Btn_CopyClick(this);
}

void TSNTPForm::Bt_ApplyClick(TObject *)
{
    const AnsiString server = Ed_WSNTPServ->Text();
    if (SntpReq && SntpReq->WasRead() && !server.empty() && !IsValidIPAddress(server)) {
        Application->MessageBox("Please input valid IP address", "Waring", MB_OK);
        Ed_WSNTPServ->SetText("");
        Ed_WSNTPServ->SetFocus();
        return;
    }
    // An empty field would write a clock the device cannot read.
    for (TComboBox *c : {CB_Year, CB_Month, CB_Day, CB_Hour, CB_Minute, CB_Second}) {
        if (c->ItemIndex() < 0) {
            Application->MessageBox("Please select the date and time.", "Waring", MB_OK);
            c->SetFocus();
            return;
        }
    }
    if (!SntpReq || !MethodReq || !ManualReq)
        return;
    if (server.empty() && SntpReq->WasRead())
        Ed_WSNTPServ->SetText("0.0.0.0");
    StatusBar->SetSimpleText("Set...");
    Idle = false;
    Bt_Apply->SetEnabled(false);
    m_readingBack = false;
    Ed_sntpmethod->SetText(RB_Sntp->Checked() ? "1" : "2");
    Ed_manual->SetText(ComboTimeText());
    Chain.Begin();
    // Without the zone list the daylight saving, which it governs, stays as the device holds it.
    std::optional<AccessPatch> noDaylight;
    GroupWrite sntp;
    if (!m_listRead && SntpReq->WasRead()) {
        noDaylight.emplace(*SntpReq, std::initializer_list<std::pair<int, uint32_t>>{{2, KvAccess::Invalid}});
        sntp.LeftOut = {kDaylightLabel};
    }
    // The method and the manual time follow only once the server settings were taken.
    Chain.PutThen(SntpReq.get(), sntp, [this](bool goesOn) {
        if (goesOn)
            WriteMethodAndTime();
        EndApply();
    });
}

void TSNTPForm::WriteMethodAndTime()
{
    // A method that could not be read and was not chosen is neither: it is not written. The
    // manual time is the form's own (the combos or the PC's clock), read or not.
    const bool chosen = RB_Sntp->Checked() || RB_Manual->Checked();
    Chain.Put(MethodReq.get(), {.IfUnread = chosen ? Unread::Write : Unread::Skip});
    Chain.Put(ManualReq.get(), {.IfUnread = Unread::Write});
}

void TSNTPForm::EndApply()
{
    ShowServerEmptyWhenNone();
    m_applied = Chain.Text("Setting success!", "Setting error!");
    StatusBar->SetSimpleText(m_applied);
    Idle = true;
    Bt_Apply->SetEnabled(true);
    if (Chain.Stopped())
        return;
    // The settings as the device holds them now; a read that fails keeps the outcome above.
    m_readingBack = true;
    SntpReq->Get();
    if (Chain.WroteAny())
        RunRestartCountdown();
}

void TSNTPForm::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = Guard.CanClose();
    if (CanClose && Server)
        Server->Stop();
}

#include "TFM_LogSet.h"

#include "FormGlobals.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "Misc.h"
#include "NetUtils.h"
#include "WriteChain.h"

namespace {

const FormItemTable kLogItems = {
    {"2.11.1.0", "adSystemLevel", KvSyntax::Integer, KvAccess::ReadWrite, &gAdSystemLevelNames},
    {"2.11.2.0", "adWirelessLevel", KvSyntax::Integer, KvAccess::ReadWrite, &gAdWirelessLevelNames},
    {"2.11.3.0", "adNoticeLevel", KvSyntax::Integer, KvAccess::ReadWrite, &gAdNoticeLevelNames},
    {"2.11.8.0", "adRemoteLogState", KvSyntax::Integer, KvAccess::ReadWrite, &gAdRemoteLogStateNames},
    {"2.11.9.0", "adLogServerIP", KvSyntax::IpAddress, KvAccess::ReadWrite},
};
const FormItemTable kSmtpItems = {
    {"2.12.1", "smtpState", KvSyntax::Integer, KvAccess::ReadWrite, &gSmtpStateNames},
    {"2.12.2", "smtpServerIP", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.12.3", "smtpSender", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.12.4", "smtpRecipient", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};

void EmptyNoAddress(TEdit *edit)
{
    if (edit->Text() == "0.0.0.0")
        edit->SetText("");
}

void Warn(const char *text)
{
    Application->MessageBox(text, "Warning", MB_OK);
}

} // namespace

TFM_LogSet::TFM_LogSet(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_LogSet", "Status \\  Log Setting", 360, 372});
    Panel1 = Make<TPanel>(this, "Panel1", {8, 8, 344, 306});
    GroupBox1 = Make<TGroupBox>(Panel1, "GroupBox1", {8, 8, 328, 150}, "Log Settings ");
    Label1 = Make<TLabel>(GroupBox1, "Label1", {12, 24, 150, 16}, "Log Server / IP address ");
    LogServerEdit = Make<TEdit>(GroupBox1, "LogServerEdit", {170, 22, 146, 21});
    GroupBox2 = Make<TGroupBox>(GroupBox1, "GroupBox2", {12, 52, 304, 88}, "Log Type");
    SysLevCeBox = Make<TCheckBox>(GroupBox2, "SysLevCeBox", {12, 20, 160, 17}, "System Activity");
    WirelessLevCeBox = Make<TCheckBox>(GroupBox2, "WirelessLevCeBox", {12, 42, 160, 17}, "Wireless Activity");
    NoticeLevCeBox = Make<TCheckBox>(GroupBox2, "NoticeLevCeBox", {12, 64, 160, 17}, "Notice ");
    RemoteStateComBox = Make<TComboBox>(GroupBox2, "RemoteStateComBox", {180, 20, 100, 21});
    LocalStateComBox = Make<TComboBox>(GroupBox2, "LocalStateComBox", {180, 42, 100, 21});
    RemoteStateComBox->SetVisible(false);
    LocalStateComBox->SetVisible(false);

    Panel2 = Make<TPanel>(Panel1, "Panel2", {8, 164, 328, 134});
    Panel2->SetBevelOuter(bvNone);
    GroupBox3 = Make<TGroupBox>(Panel2, "GroupBox3", {0, 0, 328, 134}, "SMTP Setting");
    Label2 = Make<TLabel>(GroupBox3, "Label2", {12, 24, 150, 16}, "SMTP");
    CB_SMTPStatus = Make<TCheckBox>(GroupBox3, "CB_SMTPStatus", {170, 22, 100, 17}, "Enable");
    Label3 = Make<TLabel>(GroupBox3, "Label3", {12, 50, 150, 16}, "SMTP Server/IP Address ");
    EDT_Server = Make<TEdit>(GroupBox3, "EDT_Server", {170, 48, 146, 21});
    Label4 = Make<TLabel>(GroupBox3, "Label4", {12, 78, 150, 16}, "SMTP Sender");
    EDT_Sender = Make<TEdit>(GroupBox3, "EDT_Sender", {170, 76, 146, 21});
    Label5 = Make<TLabel>(GroupBox3, "Label5", {12, 106, 150, 16}, "SMTP Recipient");
    EDT_Recipient = Make<TEdit>(GroupBox3, "EDT_Recipient", {170, 104, 146, 21});
    GroupBox3->SetVisible(false); // until the device says it has e-mail alerts

    Bt_Apply = Make<TButton>(this, "Bt_Apply", {96, 324, 75, 25}, "Apply");
    Bt_Cancel = Make<TButton>(this, "Bt_Cancel", {188, 324, 75, 25}, "Cancel");
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");

    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Cancel->OnClick = [this](TObject *s) { Bt_CancelClick(s); };
    CB_SMTPStatus->OnClick = [this](TObject *s) { CB_SMTPStatusClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnShow = [this](TObject *s) { FormShow(s); };
    OnClose = [this](TObject *s, TCloseAction &a) { FormClose(s, a); };
}

void TFM_LogSet::FormCreate(TObject *)
{
    // Read once: the capability may read empty later while the device does not answer.
    m_smtp = MainForm != nullptr && CapabilityNumber(MainForm->Ed_SpSmtp->Text()) == 1;
    GuardCreate(nullptr, [this] {
        LogReq = MakeBinding(
            this, {.Items = kLogItems, .Label = "Log Settings", .Type = MVT_SV, .Mode = BindMode::Sync});
        LogReq->Associate(0, SysLevCeBox);
        LogReq->Associate(1, WirelessLevCeBox);
        LogReq->Associate(2, NoticeLevCeBox);
        LogReq->AssociateCombo(3, RemoteStateComBox);
        LogReq->AssociateEdits(4, "%s", LogServerEdit);
        LogReq->Get();
        if (!m_smtp)
            return;
        SmtpReq = MakeBinding(
            this, {.Items = kSmtpItems, .Label = "SMTP Setting", .Type = SVT_SV, .Mode = BindMode::Sync});
        SmtpReq->Associate(0, CB_SMTPStatus);
        SmtpReq->AssociateEdits(1, "%s", EDT_Server);
        SmtpReq->AssociateEdits(2, "%s", EDT_Sender);
        SmtpReq->AssociateEdits(3, "%s", EDT_Recipient);
        SmtpReq->Get();
    });
    CB_SMTPStatusClick(this);
    SetEditLimits();
    EmptyNoAddress(LogServerEdit);
    m_serverRead = LogServerEdit->Text();
    ShowReadFailure(StatusBar1, {LogReq.get(), SmtpReq.get()});
}

void TFM_LogSet::FormShow(TObject *)
{
    if (m_shown)
        return;
    m_shown = true;
    if (!m_smtp) {
        // The window closes the gap the SMTP group leaves.
        const int gap = GroupBox3->Height();
        Panel1->SetHeight(Panel1->Height() - gap);
        Bt_Apply->SetTop(Bt_Apply->Top() - gap);
        Bt_Cancel->SetTop(Bt_Cancel->Top() - gap);
        SetClientHeight(ClientHeight() - gap);
        return;
    }
    GroupBox3->SetVisible(true);
    EmptyNoAddress(EDT_Server);
    CB_SMTPStatusClick(this);
}

void TFM_LogSet::FormClose(TObject *, TCloseAction &)
{
    LogReq.reset();
    SmtpReq.reset();
}

void TFM_LogSet::CB_SMTPStatusClick(TObject *)
{
    const bool on = CB_SMTPStatus->Checked();
    for (TEdit *e : {EDT_Server, EDT_Sender, EDT_Recipient})
        e->SetEnabled(on);
}

void TFM_LogSet::SetEditLimits()
{
    LogServerEdit->SetMaxLength(15);
    EDT_Server->SetMaxLength(15);
    EDT_Sender->SetMaxLength(64);
    EDT_Recipient->SetMaxLength(64);
}

bool TFM_LogSet::CheckInput()
{
    // Checks only: a refusal leaves every control as the user left it. A group that was not
    // read is not checked: its controls show nothing the user typed.
    const AnsiString server = LogServerEdit->Text();
    if (LogReq && LogReq->WasRead() && !server.empty() && !IsValidIPAddress(server)) {
        Warn("Please input valid IP Address.");
        LogServerEdit->SetText("");
        return false;
    }
    if (!SmtpReq || !SmtpReq->WasRead() || !CB_SMTPStatus->Checked())
        return true;
    if (!IsValidIPAddress(EDT_Server->Text())) {
        Warn("Please input valid IP Address.");
        EDT_Server->SetText("");
        EDT_Server->SetFocus();
        return false;
    }
    if (EDT_Sender->Text().empty()) {
        Warn("You must input SMTP Sender!");
        EDT_Sender->SetFocus();
        return false;
    }
    if (EDT_Recipient->Text().empty()) {
        Warn("You must input SMTP Recipient!");
        EDT_Recipient->SetFocus();
        return false;
    }
    return true;
}

void TFM_LogSet::TakeLogServer()
{
    // Remote logging follows the server the user gives; a server left as read leaves it as
    // read (a device may keep its server with remote logging off). No server goes out as
    // 0.0.0.0, which the read back shows as an empty edit again.
    const bool serverChanged = LogServerEdit->Text() != m_serverRead;
    if (LogServerEdit->Text().empty()) {
        if (serverChanged)
            RemoteStateComBox->SetItemIndex(0);
        LogServerEdit->SetText("0.0.0.0");
    } else if (serverChanged) {
        RemoteStateComBox->SetItemIndex(1);
    }
}

void TFM_LogSet::Bt_ApplyClick(TObject *)
{
    if (!CheckInput())
        return;
    // A group that could not be read is not written back (a blank server, events off).
    if (LogReq && LogReq->WasRead())
        TakeLogServer();
    Chain.Begin();
    Chain.Put(LogReq.get());
    if (Chain.GoesOn() && SmtpReq) {
        // SMTP off: only its state goes out; the server and addresses stay on the device.
        std::optional<AccessPatch> off;
        if (!CB_SMTPStatus->Checked())
            off.emplace(*SmtpReq, std::initializer_list<std::pair<int, uint32_t>>{{1, KvAccess::Invalid},
                                                                                  {2, KvAccess::Invalid},
                                                                                  {3, KvAccess::Invalid}});
        Chain.Put(SmtpReq.get());
    }
    if (!Chain.Stopped() && Chain.WroteAny())
        RunRestartCountdown();
    ReadBack();
    Chain.Show(StatusBar1, Chain.Text("Set Success!", "Set Error!"), {LogReq.get(), SmtpReq.get()});
}

void TFM_LogSet::ReadBack()
{
    // The device's values as they stand now, written or not.
    if (LogReq)
        LogReq->Get();
    if (SmtpReq)
        SmtpReq->Get();
    CB_SMTPStatusClick(this);
    SetEditLimits();
    EmptyNoAddress(LogServerEdit);
    EmptyNoAddress(EDT_Server);
    m_serverRead = LogServerEdit->Text();
}

void TFM_LogSet::Bt_CancelClick(TObject *)
{
    Close();
}

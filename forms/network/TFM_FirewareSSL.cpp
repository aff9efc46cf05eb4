#include "TFM_FirewareSSL.h"

#include "FormGlobals.h"
#include "MainForm.h"
#include "Misc.h"
#include "NetUtils.h"
#include "TFM_Firmware.h"
#include "Waiting.h"

namespace {

const FormItemTable kFtpItems = {
    {"3.3.6.1", "uFTPSrvIP", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"3.3.6.2", "uFTPUserName", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"3.3.6.3", "uFTPPassword", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};
const FormItemTable kInfoItems = {
    {"4.1.1.1", "Firmware Version", KvSyntax::DisplayStr, KvAccess::ReadOnly},
    {"4.1.1.2", "MAC Address", KvSyntax::MacAddress, KvAccess::Invalid},
    {"4.1.1.3", "Get IP From", KvSyntax::Integer, KvAccess::Invalid, &gGetIPFromNames},
    {"4.1.1.4", "IP Address", KvSyntax::IpAddress, KvAccess::Invalid},
    {"4.1.1.5", "Subnet Mask", KvSyntax::IpAddress, KvAccess::Invalid},
    {"4.1.1.6", "Default Gateway", KvSyntax::IpAddress, KvAccess::Invalid},
};
const FormItemTable kSslItems = {
    {"3.3.6.4.1", "uSSLCertFileName", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"3.3.6.4.2", "uSSLKeyFileName", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"3.3.6.4.3", "uSSLCertUpdate", KvSyntax::Integer, KvAccess::ReadWrite, &gUSSLCertUpdateNames},
};
const FormItemTable kRestartItems = {
    {"3.2.1", "Restart", KvSyntax::Integer, KvAccess::ReadWrite, &gRestartNames},
    {"3.2.2", "FactoryDefault", KvSyntax::Integer, KvAccess::Invalid, &gFactoryDefaultNames},
};

constexpr int kSslCertUpdate = 0;

void warn(const AnsiString &text)
{
    Application->MessageBox(text, "Warning", MB_OK);
}

} // namespace

TFM_FirewareSSL::TFM_FirewareSSL(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_FirewareSSL", "Tools \\ Firmware Update and  SSL", 440, 330});
    GB_Firmware =
        Make<TGroupBox>(this, "GB_Firmware", {8, 6, 424, 86}, "Update Firmware From Local Hard Drive");
    Label1 = Make<TLabel>(GB_Firmware, "Label1", {10, 24, 110, 16}, "Fireware Version:");
    Ed_FwVersion = Make<TEdit>(GB_Firmware, "Ed_FwVersion", {124, 22, 160, 18});
    Ed_FwVersion->SetReadOnly(true);
    Ed_FwVersion->SetBorderStyle(bsNone);
    Label2 = Make<TLabel>(GB_Firmware, "Label2", {10, 54, 110, 16}, "Upgrade File:");
    Ed_UpgFile = Make<TEdit>(GB_Firmware, "Ed_UpgFile", {124, 50, 140, 21});
    Bt_Browse = Make<TButton>(GB_Firmware, "Bt_Browse", {272, 48, 68, 25}, "Browse");
    Bt_Upload = Make<TButton>(GB_Firmware, "Bt_Upload", {346, 48, 68, 25}, "Upload");
    Ed_TfpSrv = Make<TEdit>(GB_Firmware, "Ed_TfpSrv", {0, 0, 10, 21});
    CB_TfpCom = Make<TComboBox>(GB_Firmware, "CB_TfpCom", {0, 0, 10, 21});
    CB_UpgCom = Make<TComboBox>(GB_Firmware, "CB_UpgCom", {0, 0, 10, 21});
    CB_FwUpdt = Make<TComboBox>(GB_Firmware, "CB_FwUpdt", {0, 0, 10, 21});

    GB_Ssl =
        Make<TGroupBox>(this, "GB_Ssl", {8, 98, 424, 96}, "Update SSL Certification From Local Hard Drive");
    Label3 = Make<TLabel>(GB_Ssl, "Label3", {10, 26, 190, 16}, "Upload Certificate From File :");
    EDT_Certificate = Make<TEdit>(GB_Ssl, "EDT_Certificate", {204, 22, 134, 21});
    Label4 = Make<TLabel>(GB_Ssl, "Label4", {10, 58, 190, 16}, "Upload Key From File : ");
    EDT_Key = Make<TEdit>(GB_Ssl, "EDT_Key", {204, 54, 134, 21});
    Bt_CUpload = Make<TButton>(GB_Ssl, "Bt_CUpload", {346, 52, 68, 25}, "Upload");
    Bt_CBrowse = Make<TButton>(GB_Ssl, "Bt_CBrowse", {0, 0, 10, 25}, "Browse");
    Bt_KBrowse = Make<TButton>(GB_Ssl, "Bt_KBrowse", {0, 0, 10, 25}, "Browse");
    CB_SslUpdt = Make<TComboBox>(GB_Ssl, "CB_SslUpdt", {0, 0, 10, 21});
    CB_Reboot = Make<TComboBox>(GB_Ssl, "CB_Reboot", {0, 0, 10, 21});

    GB_Ftp = Make<TGroupBox>(this, "GB_Ftp", {8, 200, 424, 104}, "FTP Settings");
    Label5 = Make<TLabel>(GB_Ftp, "Label5", {10, 24, 110, 16}, "FTP Server IP :");
    Ed_FtpSrv = Make<TEdit>(GB_Ftp, "Ed_FtpSrv", {124, 20, 160, 21});
    Label6 = Make<TLabel>(GB_Ftp, "Label6", {10, 50, 110, 16}, "User Name :");
    Ed_UserName = Make<TEdit>(GB_Ftp, "Ed_UserName", {124, 46, 160, 21});
    Label7 = Make<TLabel>(GB_Ftp, "Label7", {10, 76, 110, 16}, "Password :");
    Ed_Password = Make<TEdit>(GB_Ftp, "Ed_Password", {124, 72, 160, 21});
    Ed_Password->SetPasswordChar('*');
    for (TControl *hidden : std::initializer_list<TControl *>{Ed_TfpSrv, CB_TfpCom, CB_UpgCom, CB_FwUpdt,
                                                              Bt_CBrowse, Bt_KBrowse, CB_SslUpdt, CB_Reboot})
        hidden->SetVisible(false);
    StatusBar = Make<TStatusBar>(this, "StatusBar");
    OD_File = new TOpenDialog(this);
    OD_File->SetName("OD_File");
    OD_File->Filter = "All File(*.*)|*.*";

    Bt_Browse->OnClick = [this](TObject *) {
        if (OD_File->Execute())
            Ed_UpgFile->SetText(OD_File->FileName);
    };
    Bt_CBrowse->OnClick = [this](TObject *) {
        if (OD_File->Execute())
            EDT_Certificate->SetText(OD_File->FileName);
    };
    Bt_KBrowse->OnClick = [this](TObject *) {
        if (OD_File->Execute())
            EDT_Key->SetText(OD_File->FileName);
    };
    Bt_Upload->OnClick = [this](TObject *s) { Bt_UploadClick(s); };
    Bt_CUpload->OnClick = [this](TObject *s) { Bt_CUploadClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };
}

TFM_FirewareSSL::~TFM_FirewareSSL() = default;

void TFM_FirewareSSL::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        // A failed read of either group at opening stays in the status bar.
        const auto readDone = [this](auto *, auto *) {
            ShowReadFailure(StatusBar, {FtpReq.get(), InfoReq.get()});
        };
        FtpReq = MakeBinding(
            this, {.Items = kFtpItems, .Label = "FTP Settings", .Type = SVT_SV, .OnGetDone = readDone});
        FtpReq->AssociateEdits(0, "%s", Ed_FtpSrv);
        FtpReq->AssociateEdits(1, "%s", Ed_UserName);
        FtpReq->AssociateEdits(2, "%s", Ed_Password);
        FtpReq->Get();
        InfoReq = MakeBinding(
            this, {.Items = kInfoItems, .Label = "Fireware Version", .Type = SVT_SV, .OnGetDone = readDone});
        InfoReq->AssociateEdits(0, "%s", Ed_FwVersion);
        InfoReq->Get();
        SslReq = MakeBinding(
            this, {.Items = kSslItems, .Label = "SSL Certification", .Type = SVT_SV, .Timeout = 30000});
        SslReq->AssociateEdits(0, "%s", EDT_Certificate);
        SslReq->AssociateEdits(1, "%s", EDT_Key);
        SslReq->Associate(2, CB_SslUpdt);
        SendOnce(*SslReq);
        RestartReq = MakeBinding(this, {.Items = kRestartItems, .Type = SVT_SV});
        RestartReq->Associate(0, CB_Reboot);
        TargetReq = MakeBinding(this, {.Items = kTransferTargetItems,
                                       .Type = SVT_SV,
                                       .Log = StatusBar,
                                       .OnSetDone = [this](auto *s, auto *e) { OnSslTargetDone(s, e); }});
        TargetReq->AssociateEdits(0, "%s", Ed_TfpSrv);
        TargetReq->AssociateEdits(1, "%s", Ed_UpgFile);
        TftpReq = MakeBinding(this, {.Items = kTftpCommandItems,
                                     .Type = SVT_SV,
                                     .Timeout = 15000,
                                     .Log = StatusBar,
                                     .OnSetDone = [this](auto *s, auto *e) { OnSslTftpDone(s, e); }});
        TftpReq->Associate(0, CB_TfpCom);
        SendOnce(*TftpReq);
        UpgReq = MakeBinding(this, {.Items = kUpgradeCommandItems,
                                    .Type = SVT_SV,
                                    .Timeout = 30000,
                                    .Log = StatusBar,
                                    .OnSetDone = [this](auto *s, auto *e) { OnSslUpgradeDone(s, e); }});
        UpgReq->Associate(0, CB_UpgCom);
        SendOnce(*UpgReq);
    });
    for (auto *b : {&FtpReq, &InfoReq, &SslReq, &RestartReq, &TargetReq, &TftpReq, &UpgReq})
        Guard.Watch(*b);
    Guard.WatchIdle(m_uploadIdle);
    Guard.WatchIdle(m_sslIdle);
    // Started at the first upload, on the address that upload chooses.
    Server = std::make_unique<TransferServer>(this, 3000, StatusBar);
}

void TFM_FirewareSSL::Bt_UploadClick(TObject *)
{
    SetEnabled(false);
    const AnsiString path = Ed_UpgFile->Text();
    if (AnsiString problem = FirmwarePathProblem(path); !problem.empty()) {
        warn(problem);
        SetEnabled(true);
        return;
    }
    if (!TargetReq || !TftpReq || !UpgReq || !SelectLocalTftpAddress(Ed_TfpSrv)) {
        SetEnabled(true);
        return;
    }
    AnsiString folder, name;
    if (!SplitTransferPath(ResolveChosenFile(path), folder, name)) {
        warn("The file path is error.");
        SetEnabled(true);
        return;
    }
    if (!Server->Start(folder, Ed_TfpSrv->Text())) {
        SetEnabled(true);
        return;
    }
    Server->Expect(name, true);
    Ed_UpgFile->SetText(name);
    const bool started = SendGroup(*TargetReq);
    Ed_UpgFile->SetText(path);
    if (!started) {
        Server->Finish();
        SetEnabled(true);
        return;
    }
    m_uploadIdle = false;
    Bt_Upload->SetEnabled(false);
    m_loadWait = std::make_unique<TFM_Waiting>(Application);
    FM_Waiting = m_loadWait.get();
    m_loadWait->Countdown = 5;
    m_loadWait->SendReboot = false;
    m_loadWait->Label3->SetText("Loading firmware file...");
    m_loadWait->Show();
}

void TFM_FirewareSSL::OnSslTargetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status)
{
    // The command goes only once the device knows the new name: else it fetches the old one.
    if (Status == nullptr || Status->Code != 0) {
        OnSslTftpDone(Sender, Status);
        return;
    }
    CB_TfpCom->SetItemIndex(kTftpGetItem);
    if (!SendGroup(*TftpReq))
        EndUpload();
}

void TFM_FirewareSSL::OnSslTftpDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    Server->Finish();
    if (Status == nullptr || Status->Code != 0) {
        warn("Cant Perform Operation,Please try again!");
        StatusBar->SetSimpleText(FailureText(Status));
        EndUpload();
        return;
    }
    StatusBar->SetSimpleText(Status->Message + "!");
    StartFirmwareUpdate();
}

void TFM_FirewareSSL::StartFirmwareUpdate()
{
    if (m_loadWait) {
        if (FM_Waiting == m_loadWait.get())
            FM_Waiting = nullptr;
        m_loadWait.reset();
    }
    CB_UpgCom->SetItemIndex(kFirmwareUpdateItem);
    m_restartSent = false;
    UpgReq->Request.Timeout = 4000;
    if (!SendGroup(*UpgReq)) {
        EndUpload();
        return;
    }
    RunCountdownWindow({.Countdown = 40, .SendReboot = false, .Label3 = "Updating firmware file..."});
    SetEnabled(true);
    if (MainForm != nullptr)
        MainForm->SetEnabled(true);
}

void TFM_FirewareSSL::OnSslUpgradeDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    SetEnabled(true);
    if (Status == nullptr || Status->Code != 0) {
        StatusBar->SetSimpleText(FailureText(Status));
        EndUpload();
        return;
    }
    StatusBar->SetSimpleText(Status->Message + "!");
    if (m_restartSent) {
        EndUpload();
        return;
    }
    m_restartSent = true;
    CB_UpgCom->SetItemIndex(kRebootItem);
    UpgReq->Request.Timeout = 500;
    if (!SendGroup(*UpgReq)) {
        ShowMessage("Set error!");
        EndUpload();
        return;
    }
    // This form sent the restart itself: the wait must not send a second one.
    RunCountdownWindow({.Countdown = 30, .SendReboot = false, .Label3 = "Reboot..."});
}

void TFM_FirewareSSL::EndUpload()
{
    m_uploadIdle = true;
    Bt_Upload->SetEnabled(true);
    SetEnabled(true);
}

void TFM_FirewareSSL::Bt_CUploadClick(TObject *)
{
    if (!IsValidIPAddress(Ed_FtpSrv->Text())) {
        warn("Please input valid IP Address for FTP Server.");
        Ed_FtpSrv->SetText("");
        return;
    }
    for (TEdit *edit : {EDT_Certificate, EDT_Key}) {
        if (edit->Text().empty()) {
            warn("Empty file is not accepted!");
            edit->SetFocus();
            return;
        }
        if (edit->Text().find(".der") == AnsiString::npos) {
            warn("File format error! Please try again.");
            edit->SetFocus();
            return;
        }
    }
    if (!FtpReq || !SslReq)
        return;
    SetEnabled(false);
    m_sslIdle = false;
    StatusBar->SetSimpleText("Test FTP Server, please wait...!");
    m_ftp = std::make_unique<kv::FtpLoginCheck>();
    kv::FtpLoginTarget target{Ed_FtpSrv->Text(),   TransferFtpPort(), Ed_UserName->Text(),
                              Ed_Password->Text(), FtpTimeoutMs,      FtpTimeoutMs};
    m_ftp->Start(target, [this](const kv::FtpLoginOutcome &outcome) { OnFtpTested(outcome); });
}

void TFM_FirewareSSL::OnFtpTested(const kv::FtpLoginOutcome &outcome)
{
    SetEnabled(true);
    if (!outcome.LoggedIn) {
        warn("Please input valid FTP Address and UserName Password.");
        StatusBar->SetSimpleText("FTP is not valid!");
        m_sslIdle = true;
        return;
    }
    StatusBar->SetSimpleText("Load file, please wait...!");
    CB_SslUpdt->SetItemIndex(kSslCertUpdate);
    Bt_CUpload->SetEnabled(false);
    Bt_Upload->SetEnabled(false);
    // The device fetches from the server it was told: the settings first, then the command,
    // which goes only once the settings were written.
    Chain.Begin();
    Chain.PutThen(FtpReq.get(), {}, [this](bool goesOn) {
        if (goesOn && Chain.Wrote(FtpReq.get()))
            Chain.PutThen(SslReq.get(), {.IfUnread = Unread::Write}, [this](bool) { OnSslCertDone(); });
        else
            OnSslCertDone();
    });
}

void TFM_FirewareSSL::OnSslCertDone()
{
    StatusBar->SetSimpleText(Chain.Text("Update SSL certificate success!", "Update SSL certificate fail!"));
    Bt_CUpload->SetEnabled(true);
    Bt_Upload->SetEnabled(m_uploadIdle);
    m_sslIdle = true;
    // The box tells it all: the status bar is too narrow for what was written before it.
    if (Chain.Stopped())
        warn(Chain.Text("", "Write file fail!Please check FTP server and file name!"));
}

void TFM_FirewareSSL::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = Guard.CanClose();
    if (!CanClose) {
        // Refused: nothing changes, the requests under way go on.
        ShowMessage("don't close");
        return;
    }
    m_ftp.reset();
    m_loadWait.reset();
    if (Server)
        Server->Stop();
}

#include "TFM_Firmware.h"

#include "FormGlobals.h"
#include "Misc.h"
#include "Waiting.h"

#include <filesystem>

AnsiString FirmwarePathProblem(const AnsiString &path)
{
    if (path.empty() || path.back() == '\\' || path.back() == '/')
        return "Please put in the firmware file & path.";
    std::error_code ec;
    if (path.find(".tfp") == AnsiString::npos || !std::filesystem::is_regular_file(path, ec))
        return "Please put in valid firmware file & path.";
    return {};
}

TFM_Firmware::TFM_Firmware(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Firmware", "Tools \\ Firmware", 420, 96});
    Label1 = Make<TLabel>(this, "Label1", {10, 20, 80, 16}, "Upgrade File:");
    Ed_UpgFile = Make<TEdit>(this, "Ed_UpgFile", {92, 16, 170, 21});
    Bt_Browse = Make<TButton>(this, "Bt_Browse", {270, 14, 66, 25}, "Browse");
    Bt_OK = Make<TButton>(this, "Bt_OK", {344, 14, 66, 25}, "OK");
    Ed_TfpSrv = Make<TEdit>(this, "Ed_TfpSrv", {0, 0, 10, 21});
    CB_TfpCom = Make<TComboBox>(this, "CB_TfpCom", {0, 0, 10, 21});
    CB_UpgCom = Make<TComboBox>(this, "CB_UpgCom", {0, 0, 10, 21});
    StatusBar2 = Make<TStatusBar>(this, "StatusBar2");
    for (TControl *hidden : std::initializer_list<TControl *>{Ed_TfpSrv, CB_TfpCom, CB_UpgCom, StatusBar2})
        hidden->SetVisible(false);
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1", {0, 50, 420, 6});
    StatusBar = Make<TStatusBar>(this, "StatusBar");
    OD_File = new TOpenDialog(this);
    OD_File->SetName("OD_File");

    Bt_Browse->OnClick = [this](TObject *s) { Bt_BrowseClick(s); };
    Bt_OK->OnClick = [this](TObject *s) { Bt_OKClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };
}

TFM_Firmware::~TFM_Firmware() = default;

void TFM_Firmware::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        TargetReq = MakeBinding(this, {.Items = kTransferTargetItems,
                                       .Type = SVT_SV,
                                       .Log = StatusBar,
                                       .OnSetDone = [this](auto *s, auto *e) { OnTargetDone(s, e); }});
        TargetReq->AssociateEdits(0, "%s", Ed_TfpSrv);
        TargetReq->AssociateEdits(1, "%s", Ed_UpgFile);
        TftpReq = MakeBinding(this, {.Items = kTftpCommandItems,
                                     .Type = SVT_SV,
                                     .Timeout = 15000,
                                     .Log = StatusBar,
                                     .OnSetDone = [this](auto *, auto *e) { OnFirmwareTftpDone(e); }});
        TftpReq->Associate(0, CB_TfpCom);
        SendOnce(*TftpReq);
        UpgReq = MakeBinding(this, {.Items = kUpgradeCommandItems,
                                    .Type = SVT_SV,
                                    .Timeout = 30000,
                                    .Log = StatusBar2,
                                    .OnSetDone = [this](auto *, auto *e) { OnFirmwareUpgradeDone(e); }});
        UpgReq->Associate(0, CB_UpgCom);
        SendOnce(*UpgReq);
    });
    Guard.Watch(TargetReq);
    Guard.Watch(TftpReq);
    Guard.Watch(UpgReq);
    Guard.WatchIdle(m_idle);
    Server = std::make_unique<TransferServer>(this, 3000, StatusBar);
    Server->Start("", InitialServerAddress());
}

void TFM_Firmware::Bt_BrowseClick(TObject *)
{
    if (OD_File->Execute())
        Ed_UpgFile->SetText(OD_File->FileName);
}

void TFM_Firmware::Bt_OKClick(TObject *)
{
    const AnsiString path = Ed_UpgFile->Text();
    if (AnsiString problem = FirmwarePathProblem(path); !problem.empty()) {
        Application->MessageBox(problem, "Warning", MB_OK);
        return;
    }
    if (!TargetReq || !TftpReq || !UpgReq || !SelectLocalTftpAddress(Ed_TfpSrv))
        return;
    AnsiString folder, name;
    if (!SplitTransferPath(ResolveChosenFile(path), folder, name)) {
        Application->MessageBox("The file path is error.", "Warning", MB_OK);
        return;
    }
    if (!Server->Start(folder, Ed_TfpSrv->Text()))
        return;
    Server->Expect(name, true);
    Ed_UpgFile->SetText(name);
    const bool started = SendGroup(*TargetReq);
    Ed_UpgFile->SetText(path);
    if (!started) {
        Server->Finish();
        return;
    }
    m_idle = false;
    Bt_OK->SetEnabled(false);
}

void TFM_Firmware::OnTargetDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    // The command goes only once the device knows the new name: else it fetches the old one.
    if (Status == nullptr || Status->Code != 0) {
        OnFirmwareTftpDone(Status);
        return;
    }
    CB_TfpCom->SetItemIndex(kTftpGetItem);
    if (!SendGroup(*TftpReq))
        EndUpload();
}

bool TFM_Firmware::OnFirmwareTftpDone(KvSNMPError *Status)
{
    Server->Finish();
    if (Status == nullptr || Status->Code != 0) {
        Application->MessageBox("Cant Perform Operation,Please try again!", "Warning", MB_OK);
        StatusBar->SetSimpleText(FailureText(Status));
        EndUpload();
        return false;
    }
    StatusBar->SetSimpleText(Status->Message + "!");
    StartFirmwareUpdate();
    return true;
}

void TFM_Firmware::StartFirmwareUpdate()
{
    RunCountdownWindow({.Countdown = 5, .SendReboot = false, .Label3 = "Loading firmware file..."});
    CB_UpgCom->SetItemIndex(kFirmwareUpdateItem);
    if (!SendGroup(*UpgReq)) {
        EndUpload();
        return;
    }
    RunCountdownWindow({.Countdown = 40, .SendReboot = false, .Label3 = "Updating firmware file..."});
    UpgReq->Request.Timeout = 200;
}

bool TFM_Firmware::OnFirmwareUpgradeDone(KvSNMPError *Status)
{
    const bool rebootDone = CB_UpgCom->ItemIndex() == kRebootItem;
    if (Status == nullptr || Status->Code != 0) {
        StatusBar->SetSimpleText(FailureText(Status));
        EndUpload();
        return false;
    }
    StatusBar->SetSimpleText(Status->Message + "!");
    if (rebootDone) {
        EndUpload();
        return true;
    }
    CB_UpgCom->SetItemIndex(kRebootItem);
    if (!SendGroup(*UpgReq)) {
        ShowMessage("Set error!");
        EndUpload();
    }
    return true;
}

void TFM_Firmware::EndUpload()
{
    m_idle = true;
    Bt_OK->SetEnabled(true);
}

void TFM_Firmware::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = Guard.CanClose();
    if (CanClose && Server)
        Server->Stop();
}

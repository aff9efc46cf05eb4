#include "TFM_CfgFile.h"

#include "FormGlobals.h"
#include "Misc.h"
#include "Waiting.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

const FormItemTable kApModeItems = {
    {"2.1.1.1.1", "adAPMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAPModeNames2},
    {"2.3.1.11.1", "adSuperMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdSuperModeNames},
};

const char *const kFilter = "dcf document(*.dcf)|*.dcf|all files(*.*)|*.*";

AnsiString upper(AnsiString s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

bool isFile(const AnsiString &path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

TFM_CfgFile::TFM_CfgFile(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_CfgFile", "Tools \\ Configuration File", 420, 214});
    GB_UpdateFile = Make<TGroupBox>(this, "GB_UpdateFile", {8, 6, 404, 64}, "Update Configuration File ");
    Label2 = Make<TLabel>(GB_UpdateFile, "Label2", {10, 28, 64, 16}, "Update File");
    Ed_UpgFile = Make<TEdit>(GB_UpdateFile, "Ed_UpgFile", {80, 24, 170, 21});
    Bt_Browse = Make<TButton>(GB_UpdateFile, "Bt_Browse", {258, 22, 64, 25}, "Browse");
    Bt_OK = Make<TButton>(GB_UpdateFile, "Bt_OK", {330, 22, 64, 25}, "OK");
    ED_APModeComboBox = Make<TComboBox>(GB_UpdateFile, "ED_APModeComboBox", {0, 0, 10, 21});
    ED_APModeComboBox->SetVisible(false);
    Label1 = Make<TLabel>(this, "Label1", {12, 78, 250, 16}, "Download Configuration File ");
    GB_SaveFile = Make<TGroupBox>(this, "GB_SaveFile", {8, 98, 404, 64}, "Load Settings to Local Hard Drive");
    Label3 = Make<TLabel>(GB_SaveFile, "Label3", {10, 28, 64, 16}, "Save File");
    Ed_SaveFile = Make<TEdit>(GB_SaveFile, "Ed_SaveFile", {80, 24, 170, 21});
    Bt_SavBrw = Make<TButton>(GB_SaveFile, "Bt_SavBrw", {258, 22, 64, 25}, "Browse");
    Bt_Upload = Make<TButton>(GB_SaveFile, "Bt_Upload", {330, 22, 64, 25}, "OK");
    Ed_TfpSrv = Make<TEdit>(this, "Ed_TfpSrv", {0, 0, 10, 21});
    CB_TfpCom = Make<TComboBox>(this, "CB_TfpCom", {0, 0, 10, 21});
    CB_UpgCom = Make<TComboBox>(this, "CB_UpgCom", {0, 0, 10, 21});
    for (TControl *hidden : std::initializer_list<TControl *>{Ed_TfpSrv, CB_TfpCom, CB_UpgCom})
        hidden->SetVisible(false);
    StatusBar = Make<TStatusBar>(this, "StatusBar");
    OD_File = new TOpenDialog(this);
    OD_File->SetName("OD_File");
    OD_File->Filter = kFilter;
    OD_SaveFile = new TSaveDialog(this);
    OD_SaveFile->SetName("OD_SaveFile");
    OD_SaveFile->Filter = kFilter;

    Bt_Browse->OnClick = [this](TObject *s) { Bt_BrowseClick(s); };
    Bt_SavBrw->OnClick = [this](TObject *s) { Bt_SavBrwClick(s); };
    Bt_OK->OnClick = [this](TObject *s) { Bt_OKClick(s); };
    Bt_Upload->OnClick = [this](TObject *s) { Bt_UploadClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };
}

TFM_CfgFile::~TFM_CfgFile() = default;

void TFM_CfgFile::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        ApModeReq = MakeBinding(this, {.Items = kApModeItems, .Type = MVT_SV, .Mode = BindMode::Sync});
        ApModeReq->Associate(0, ED_APModeComboBox);
        TargetReq = MakeBinding(this, {.Items = kTransferTargetItems,
                                       .Type = SVT_SV,
                                       .Mode = BindMode::Sync,
                                       .Timeout = 10000,
                                       .Log = StatusBar});
        TargetReq->AssociateEdits(0, "%s", Ed_TfpSrv);
        TargetReq->AssociateEdits(1, "%s", Ed_UpgFile);
        UpgReq = MakeBinding(this, {.Items = kUpgradeCommandItems,
                                    .Type = SVT_SV,
                                    .Timeout = 30000,
                                    .OnSetDone = [this](auto *s, auto *e) { OnUpgradeCommandDone(s, e); }});
        UpgReq->Associate(0, CB_UpgCom);
        SendOnce(*UpgReq);
        TftpReq = MakeBinding(this, {.Items = kTftpCommandItems,
                                     .Type = SVT_SV,
                                     .Timeout = 10000,
                                     .Log = StatusBar,
                                     .OnSetDone = [this](auto *s, auto *e) { OnTftpCommandDone(s, e); }});
        TftpReq->Associate(0, CB_TfpCom);
        SendOnce(*TftpReq);
    });
    Guard.Watch(UpgReq);
    Guard.Watch(TftpReq);
    Guard.WatchIdle(m_idle);
    Ed_SaveFile->SetReadOnly(true);
    Ed_SaveFile->SetColor(clBtnFace);
    Server = std::make_unique<TransferServer>(this, 300, StatusBar);
    Server->Start("", InitialServerAddress());
}

void TFM_CfgFile::Bt_BrowseClick(TObject *)
{
    if (!OD_File->Execute())
        return;
    Ed_SaveFile->SetText("");
    Ed_UpgFile->SetText(OD_File->FileName);
}

void TFM_CfgFile::Bt_SavBrwClick(TObject *)
{
    if (OD_SaveFile->Execute())
        Ed_SaveFile->SetText(OD_SaveFile->FileName);
}

bool TFM_CfgFile::StartTransfer(const AnsiString &folder, const AnsiString &name, bool toDevice)
{
    if (!TargetReq || !TftpReq || !Server->Start(folder, Ed_TfpSrv->Text()))
        return false;
    Server->Expect(name, toDevice);
    Ed_UpgFile->SetText(name);
    // The device must know the new name before the command, or it moves the previous file.
    if (!SendGroup(*TargetReq)) {
        Server->Finish();
        Application->MessageBox(toDevice ? "The configuration file updated fail!"
                                         : "Fail to save the configuration file!",
                                "Warning", MB_OK);
        return false;
    }
    CB_TfpCom->SetItemIndex(toDevice ? kTftpGetItem : kTftpPutItem);
    if (!SendGroup(*TftpReq)) {
        Server->Finish();
        return false;
    }
    m_idle = false;
    return true;
}

void TFM_CfgFile::Bt_OKClick(TObject *)
{
    const AnsiString path = Ed_UpgFile->Text();
    if (path.empty()) {
        Application->MessageBox("Empty file is not accepted.", "Warning", MB_OK);
        return;
    }
    if (!isFile(path) || upper(path).find(".DCF") == AnsiString::npos) {
        Application->MessageBox("File format error! Please try again!", "Warning", MB_OK);
        return;
    }
    if (!SelectLocalTftpAddress(Ed_TfpSrv))
        return;
    AnsiString folder, name;
    if (!SplitTransferPath(ResolveChosenFile(path), folder, name)) {
        Application->MessageBox("The file path is error.", "Warning", MB_OK);
        return;
    }
    m_saving = false;
    const bool started = StartTransfer(folder, name, true);
    Ed_UpgFile->SetText(path);
    if (!started)
        return;
    SetStatus("Load Configuration file, please wait...!");
    RunTransferWait();
}

void TFM_CfgFile::Bt_UploadClick(TObject *)
{
    const AnsiString path = Ed_SaveFile->Text();
    if (path.empty()) {
        Application->MessageBox("Empty file is not accepted.", "Warning", MB_OK);
        return;
    }
    if (!SelectLocalTftpAddress(Ed_TfpSrv))
        return;
    AnsiString folder, name;
    if (!SplitTransferPath(ResolveChosenFile(path), folder, name)) {
        Application->MessageBox("The file path is error.", "Warning", MB_OK);
        return;
    }
    if (upper(name).find(".DCF") == AnsiString::npos)
        name += ".dcf";
    m_saving = true;
    const bool started = StartTransfer(folder, name, false);
    Ed_UpgFile->SetText("");
    Ed_SaveFile->SetText("");
    if (!started)
        return;
    RunTransferWait();
}

void TFM_CfgFile::RunTransferWait()
{
    RunCountdownWindow({.Countdown = 500,
                        .SendReboot = false,
                        .Label1 = "Please wait ....",
                        .Label3 = "Upload configuration file...!"},
                       [](TFM_Waiting &w) {
                           w.La_Time->SetVisible(false);
                           w.seconds->SetVisible(false);
                       });
}

void TFM_CfgFile::EndWait()
{
    if (FM_Waiting != nullptr)
        FM_Waiting->Countdown = 1;
    m_idle = true;
}

void TFM_CfgFile::OnTftpCommandDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    const bool arrived = Server->Arrived();
    Server->Finish();
    bool ok = Status != nullptr && Status->Code == 0;
    if (m_saving) {
        // The device's word is not enough: the file must have come in whole.
        if (ok && !arrived) {
            ok = false;
            SetStatus("The configuration file did not arrive.");
        } else if (!ok) {
            SetStatus(FailureText(Status));
        }
        if (!ok) {
            Application->MessageBox("Fail to save the configuration file!", "Warning", MB_OK);
            EndWait();
            return;
        }
        EndWait();
        SetStatus("The configuration file saved successfully!");
        if (FM_Waiting != nullptr)
            FM_Waiting->Label3->SetText("Updating configuration file...!");
        return;
    }
    if (!ok) {
        SetStatus(FailureText(Status));
        Application->MessageBox("The configuration file updated fail!", "Warning", MB_OK);
        EndWait();
        return;
    }
    SetStatus("Upload configuration file success!");
    if (FM_Waiting != nullptr)
        FM_Waiting->Label3->SetText("Updating configuration file...!");
    UpgReq->Request.Timeout = 20000;
    CB_UpgCom->SetItemIndex(kConfigSaveItem);
    if (!SendGroup(*UpgReq)) {
        Application->MessageBox("Update file fail!Please try again!", "Warning", MB_OK);
        EndWait();
    }
}

void TFM_CfgFile::OnUpgradeCommandDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    const bool rebootDone = CB_UpgCom->ItemIndex() == kRebootItem;
    const bool ok = Status != nullptr && Status->Code == 0;
    if (rebootDone) {
        // No answer to the restart is the device restarting: the countdown goes on. An error
        // answer is a refusal.
        const bool timedOut = IsNoAnswer(Status);
        if (ok || timedOut) {
            SetStatus("Update configuration success!");
        } else {
            SetStatus(FailureText(Status));
            Application->MessageBox("Update file fail!Please try again!", "Warning", MB_OK);
            EndWait();
        }
        m_idle = true;
        return;
    }
    if (!ok) {
        SetStatus(FailureText(Status));
        Application->MessageBox("Update file fail!Please try again!", "Warning", MB_OK);
        EndWait();
        return;
    }
    SetStatus("Update configuration success!");
    // Read while the device still answers: once restarting it would not, and every device
    // would wait as long as a bridge.
    ApModeReq->Get();
    const int countdown = ED_APModeComboBox->ItemIndex() != 0 ? 50 : 30;
    UpgReq->Request.Timeout = 200;
    CB_UpgCom->SetItemIndex(kRebootItem);
    if (!SendGroup(*UpgReq)) {
        Application->MessageBox("Update file fail!Please try again!", "Warning", MB_OK);
        EndWait();
        return;
    }
    if (FM_Waiting != nullptr) {
        FM_Waiting->Countdown = countdown;
        FM_Waiting->La_Time->SetText(std::to_string(countdown));
        FM_Waiting->Label3->SetText("The device is restarting...");
        FM_Waiting->Label1->SetText("Please waiting for ");
        FM_Waiting->La_Time->SetVisible(true);
        FM_Waiting->seconds->SetVisible(true);
    }
}

void TFM_CfgFile::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = Guard.CanClose();
    if (!CanClose)
        return;
    if (Server)
        Server->Stop();
}

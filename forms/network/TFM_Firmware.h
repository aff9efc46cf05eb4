#pragma once
// Tools \ Firmware: uploads a firmware image into the device, has it burnt and restarts the
// device.
#include "Dialogs.h"
#include "TransferRoad.h"

class TFM_Firmware : public TForm {
public:
    explicit TFM_Firmware(TComponent *AOwner);
    ~TFM_Firmware() override;

    TLabel *Label1;
    TEdit *Ed_UpgFile;
    TButton *Bt_Browse;
    TButton *Bt_OK;
    TEdit *Ed_TfpSrv;
    TComboBox *CB_TfpCom;
    TComboBox *CB_UpgCom;
    TStatusBar *StatusBar;
    TStatusBar *StatusBar1;
    TStatusBar *StatusBar2;
    TOpenDialog *OD_File;

    std::unique_ptr<FormBinding> TargetReq;
    std::unique_ptr<FormBinding> TftpReq;
    std::unique_ptr<FormBinding> UpgReq;
    std::unique_ptr<TransferServer> Server;

    void FormCreate(TObject *Sender);
    void Bt_BrowseClick(TObject *Sender);
    void Bt_OKClick(TObject *Sender);
    void OnTargetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    bool OnFirmwareTftpDone(KvSNMPError *Status);
    bool OnFirmwareUpgradeDone(KvSNMPError *Status);
    void StartFirmwareUpdate();
    void FormCloseQuery(TObject *Sender, bool &CanClose);

private:
    // The upload is over (done or failed): OK again, closing allowed.
    void EndUpload();
    bool m_idle = true;
    TCloseGuard Guard;
};

extern TFM_Firmware *FM_Firmware;

// The checks of a firmware path both firmware forms run: the message to show, or empty.
AnsiString FirmwarePathProblem(const AnsiString &path);

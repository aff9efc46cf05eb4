#pragma once
// Tools \ Configuration File: loads a configuration file into the device (which stores it and
// restarts) or has the device send its configuration into a file on the PC.
#include "Dialogs.h"
#include "TransferRoad.h"

class TFM_CfgFile : public TForm {
public:
    explicit TFM_CfgFile(TComponent *AOwner);
    ~TFM_CfgFile() override;

    TGroupBox *GB_UpdateFile;
    TLabel *Label2;
    TEdit *Ed_UpgFile;
    TButton *Bt_Browse;
    TButton *Bt_OK;
    TComboBox *ED_APModeComboBox;
    TLabel *Label1;
    TGroupBox *GB_SaveFile;
    TLabel *Label3;
    TEdit *Ed_SaveFile;
    TButton *Bt_SavBrw;
    TButton *Bt_Upload;
    TEdit *Ed_TfpSrv;
    TComboBox *CB_TfpCom;
    TComboBox *CB_UpgCom;
    TStatusBar *StatusBar;
    TOpenDialog *OD_File;
    TSaveDialog *OD_SaveFile;

    std::unique_ptr<FormBinding> ApModeReq;
    std::unique_ptr<FormBinding> TargetReq;
    std::unique_ptr<FormBinding> UpgReq;
    std::unique_ptr<FormBinding> TftpReq;
    std::unique_ptr<TransferServer> Server;

    void FormCreate(TObject *Sender);
    void Bt_BrowseClick(TObject *Sender);
    void Bt_SavBrwClick(TObject *Sender);
    void Bt_OKClick(TObject *Sender);
    void Bt_UploadClick(TObject *Sender);
    void OnTftpCommandDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnUpgradeCommandDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void FormCloseQuery(TObject *Sender, bool &CanClose);

private:
    // Tells the device the server and file, then the command; false when nothing was sent.
    bool StartTransfer(const AnsiString &folder, const AnsiString &name, bool toDevice);
    // The wait while the device moves the file: up to 600 s, no restart of its own.
    void RunTransferWait();
    void EndWait();
    void SetStatus(const AnsiString &text) { StatusBar->SetSimpleText(text); }
    bool m_saving = false;
    bool m_idle = true;
    TCloseGuard Guard;
};

extern TFM_CfgFile *FM_CfgFile;

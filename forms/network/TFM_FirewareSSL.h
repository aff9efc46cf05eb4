#pragma once
// Tools \ Firmware on devices with SSL: the firmware upload with its own waits, and the
// update of the device's SSL certificate and key, which the device fetches from an FTP server
// whose login the form checks first.
#include "Dialogs.h"
#include "FtpLogin.h"
#include "TransferRoad.h"
#include "WriteChain.h"

class TFM_FirewareSSL : public TForm {
public:
    explicit TFM_FirewareSSL(TComponent *AOwner);
    ~TFM_FirewareSSL() override;

    TGroupBox *GB_Firmware;
    TLabel *Label1;
    TEdit *Ed_FwVersion;
    TLabel *Label2;
    TEdit *Ed_UpgFile;
    TButton *Bt_Browse;
    TButton *Bt_Upload;
    TEdit *Ed_TfpSrv;
    TComboBox *CB_TfpCom;
    TComboBox *CB_UpgCom;
    TComboBox *CB_FwUpdt;
    TGroupBox *GB_Ssl;
    TButton *Bt_CUpload;
    TLabel *Label3;
    TEdit *EDT_Certificate;
    TLabel *Label4;
    TEdit *EDT_Key;
    TButton *Bt_CBrowse;
    TButton *Bt_KBrowse;
    TComboBox *CB_SslUpdt;
    TComboBox *CB_Reboot;
    TGroupBox *GB_Ftp;
    TLabel *Label5;
    TEdit *Ed_FtpSrv;
    TLabel *Label6;
    TEdit *Ed_UserName;
    TLabel *Label7;
    TEdit *Ed_Password;
    TStatusBar *StatusBar;
    TOpenDialog *OD_File;

    std::unique_ptr<FormBinding> FtpReq;
    std::unique_ptr<FormBinding> InfoReq;
    std::unique_ptr<FormBinding> SslReq;
    std::unique_ptr<FormBinding> RestartReq;
    std::unique_ptr<FormBinding> TargetReq;
    std::unique_ptr<FormBinding> TftpReq;
    std::unique_ptr<FormBinding> UpgReq;
    std::unique_ptr<TransferServer> Server;

    void FormCreate(TObject *Sender);
    void Bt_UploadClick(TObject *Sender);
    void Bt_CUploadClick(TObject *Sender);
    void OnSslTargetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnSslTftpDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void StartFirmwareUpdate();
    void OnSslUpgradeDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnFtpTested(const kv::FtpLoginOutcome &outcome);
    // The end of the certificate update: the chain's outcome, the buttons back.
    void OnSslCertDone();
    void FormCloseQuery(TObject *Sender, bool &CanClose);

    // The login check's connect and reply time-outs.
    int FtpTimeoutMs = 10000;

private:
    void EndUpload();
    std::unique_ptr<TFM_Waiting> m_loadWait;
    std::unique_ptr<kv::FtpLoginCheck> m_ftp;
    bool m_restartSent = false;
    bool m_uploadIdle = true;
    bool m_sslIdle = true;
    WriteChain Chain{this};
    TCloseGuard Guard;
};

extern TFM_FirewareSSL *FM_FirewareSSL;

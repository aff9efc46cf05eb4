#pragma once
// Status \ Log \ Log Setting: which events the device logs, the remote log server, and on
// devices that have them e-mail alerts through an SMTP server.
#include "FormFrame.h"
#include "WriteChain.h"

class TFM_LogSet : public TForm {
public:
    explicit TFM_LogSet(TComponent *AOwner);

    TPanel *Panel1;
    TGroupBox *GroupBox1;
    TLabel *Label1;
    TEdit *LogServerEdit;
    TGroupBox *GroupBox2;
    TCheckBox *SysLevCeBox;
    TCheckBox *WirelessLevCeBox;
    TCheckBox *NoticeLevCeBox;
    TComboBox *RemoteStateComBox;
    TComboBox *LocalStateComBox;
    TPanel *Panel2;
    TGroupBox *GroupBox3;
    TLabel *Label2;
    TCheckBox *CB_SMTPStatus;
    TLabel *Label3;
    TEdit *EDT_Server;
    TLabel *Label4;
    TEdit *EDT_Sender;
    TLabel *Label5;
    TEdit *EDT_Recipient;
    TButton *Bt_Apply;
    TButton *Bt_Cancel;
    TStatusBar *StatusBar1;

    std::unique_ptr<FormBinding> LogReq;
    std::unique_ptr<FormBinding> SmtpReq;

    void FormCreate(TObject *Sender);
    void FormShow(TObject *Sender);
    void FormClose(TObject *Sender, TCloseAction &Action);
    void CB_SMTPStatusClick(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_CancelClick(TObject *Sender);
    void SetEditLimits();

private:
    bool CheckInput();
    // The log group's controls as they go out: remote logging and the filler of no server.
    void TakeLogServer();
    void ReadBack();

    bool m_smtp = false;     // the device said at opening that it sends e-mail alerts
    AnsiString m_serverRead; // the log server as the last read showed it
    bool m_shown = false;
    WriteChain Chain{this};
};

extern TFM_LogSet *FM_LogSet;

#pragma once
// Status \ Log: the device's log, which the device sends as LogFile.RD to the form's TFTP
// server, listed as time, type and message; the device's log can be cleared.
#include "TransferRoad.h"

#include <vector>

class TLogForm : public TForm {
public:
    explicit TLogForm(TComponent *AOwner);
    ~TLogForm() override;

    TPanel *Panel1;
    TPanel *Panel2;
    TGroupBox *ViewGrpBox;
    TListView *ViewListView;
    TListBox *LBLog;
    TEdit *ServerEdit;
    TEdit *FileNameEdit;
    TComboBox *GetCoBox;
    TComboBox *Bt_Clear;
    TStatusBar *StatusBar1;
    TPanel *Panel3;
    TButton *Clear_Btn;
    TButton *GetBtn;
    TButton *CloseBtn;

    std::unique_ptr<FormBinding> TargetReq;
    std::unique_ptr<FormBinding> GetReq;
    std::unique_ptr<FormBinding> ClearReq;
    std::unique_ptr<TransferServer> Server;
    // Where the device's log is written.
    AnsiString LogFilePath;

    void FormCreate(TObject *Sender);
    void GetBtnClick(TObject *Sender);
    void OnLogTargetSetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnLogGetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnClearDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    bool LoadLogFile(const AnsiString &path);
    void Clear_BtnClick(TObject *Sender);
    void FormResize(TObject *Sender);
    void FormCloseQuery(TObject *Sender, bool &CanClose);

private:
    void SetStatus(const AnsiString &text) { StatusBar1->SetSimpleText(text); }
    TCloseGuard Guard;
};

extern TLogForm *LogForm;

// One line of LogFile.RD: the time before the first tab (trimmed), the type between the next
// "[" and "]", and the rest as the message.
struct LogLine {
    AnsiString Time;
    AnsiString Type;
    AnsiString Message;
};
LogLine SplitLogLine(const AnsiString &line);

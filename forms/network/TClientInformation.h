#pragma once
// Status \ Client Info: the wireless stations associated with the access point and, in the
// bridge modes, the WDS peers. The device gathers each table when told to and the form then
// walks it; the client list is gathered again every 10 seconds.
#include "FormFrame.h"

class TClientInformation : public TForm {
public:
    explicit TClientInformation(TComponent *AOwner);
    ~TClientInformation() override;

    TPageControl *PageControl1;
    TTabSheet *TS_ClientInfo;
    TListView *ClientListView;
    TListView *User_ListView;
    TLabel *NumOfRecord;
    TLabel *Label1;
    TButton *Bt_Rfrsh;
    TButton *Bt_Close;
    TComboBox *IfGetInfo0;
    TComboBox *IfGetInfo1;
    TTabSheet *TS_WDSInfo;
    TListView *LV_WDSInfo;
    TListView *LV_WDSInfo_User;
    TLabel *Lab_WDSRecordNum;
    TLabel *Label2;
    TButton *Bt_WDSRefresh;
    TButton *Bt_WDSClose;
    TComboBox *CB_WDSGetA;
    TComboBox *CB_WDSGetG;
    TComboBox *CB_APMode11a;
    TStatusBar *StatusBar;
    TTimer *Timer1;

    std::unique_ptr<FormBinding> ApModeReq;
    std::unique_ptr<FormBinding> ClientDetectReq;
    std::unique_ptr<FormBinding> ClientWalkReq;
    std::unique_ptr<FormBinding> WdsDetectReq;
    std::unique_ptr<FormWalker> WdsWalkReq;

    uint8_t ClientBusy = 1;
    uint8_t WdsBusy = 0;

    void FormCreate(TObject *Sender);
    void FormShow(TObject *Sender);
    void FormCloseQuery(TObject *Sender, bool &CanClose);
    void FormResize(TObject *Sender);
    void Bt_RfrshClick(TObject *Sender);
    void Timer1Timer(TObject *Sender);
    void Bt_WDSRefreshClick(TObject *Sender);
    void Bt_CloseClick(TObject *Sender);
    void OnClientDetectDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnClientWalkDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnWdsDetectDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnWdsWalkDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void FillClientList();

    // The texts of a client row's columns.
    static AnsiString BandText(const AnsiString &walked);
    static AnsiString AuthenticationText(const AnsiString &walked);
    static AnsiString PowerSavingText(const AnsiString &walked);

private:
    // The WDS page and its bindings, shown in the bridge modes.
    void ShowWdsPage();
    void StartClientCycle();
    void StartWdsCycle();
    void EndClientCycle(const AnsiString &status);
    void EndWdsCycle(const AnsiString &status);
    void ShowStatus(const AnsiString &text);

    bool m_ssid = false; // the device's client table has an SSID column
};

extern TClientInformation *ClientInformation;

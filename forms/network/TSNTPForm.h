#pragma once
// Tools \ Date and Time: how the device keeps its clock, from an SNTP server with a time zone
// and daylight saving or from a date and time the user gives. The device's time-zone list,
// fetched over the form's TFTP server, tells which zones observe daylight saving.
#include "TransferRoad.h"
#include "WriteChain.h"

#include <array>
#include <cstdint>

class TSNTPForm : public TForm {
public:
    explicit TSNTPForm(TComponent *AOwner);
    ~TSNTPForm() override;

    TRadioButton *RB_Sntp;
    TRadioButton *RB_Manual;
    TLabel *Label1;
    TEdit *Ed_WSNTPServ;
    TLabel *Label2;
    TComboBox *CB_WSNTPTimeZone;
    TLabel *Label3;
    TCheckBox *CHB_DayLight;
    TLabel *Label4;
    TEdit *LabRLocalTime;
    TComboBox *CB_Year;
    TComboBox *CB_Month;
    TComboBox *CB_Day;
    TComboBox *CB_Hour;
    TComboBox *CB_Minute;
    TComboBox *CB_Second;
    TButton *Btn_Copy;
    TEdit *Ed_sntpmethod;
    TEdit *Ed_datetime;
    TEdit *Ed_manual;
    TEdit *Ed_TFTPServ;
    TEdit *Ed_FileName;
    TComboBox *CB_Get;
    TListBox *LB_File;
    TLabel *LabRSNTPServ;
    TLabel *LabRSNTPTimeZone;
    TButton *Bt_Apply;
    TButton *Bt_Cancel;
    TStatusBar *StatusBar;
    TTimer *Timer1;

    std::unique_ptr<FormBinding> MethodReq;
    std::unique_ptr<FormBinding> RefreshReq;
    std::unique_ptr<FormBinding> SntpReq;
    std::unique_ptr<FormBinding> ManualReq;
    std::unique_ptr<FormBinding> ListReq;
    std::unique_ptr<TransferServer> Server;
    std::array<uint8_t, 75> ZoneFlags{};
    int Ticks = 2;
    // False while the zone list is on its way or an Apply runs.
    bool Idle = true;
    AnsiString SntpFilePath;

    void FormCreate(TObject *Sender);
    void BindAndRead();
    void FillTimeCombosFromPC();
    AnsiString ComboTimeText() const;
    bool LoadSntpFile(const AnsiString &path);
    void OnSntpListRequested(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void Timer1Timer(TObject *Sender);
    void CB_WSNTPTimeZoneChange(TObject *Sender);
    void RB_SntpClick(TObject *Sender);
    void Btn_CopyClick(TObject *Sender);
    void OnSntpGetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void Bt_ApplyClick(TObject *Sender);
    void FormCloseQuery(TObject *Sender, bool &CanClose);

private:
    void ShowServerEmptyWhenNone();
    // Asks the device for the zone list; false when it is not on its way.
    bool RequestList(const AnsiString &folder);
    // The list will not come: Apply is offered without the daylight saving.
    void ListNotRead(const AnsiString &failure);
    // A group the form only sends, through the chain.
    void WriteMethodAndTime();
    void EndApply();
    TCloseGuard Guard;
    WriteChain Chain{this};
    AnsiString m_applied;       // the last Apply's outcome
    bool m_readingBack = false; // the settings are read again after an Apply
    bool m_listRead = false;    // the time zone list arrived: the daylight saving can be set
};

extern TSNTPForm *SNTPForm;

// The time zones 1 to 75 in value order.
extern KvOptionList gSntpTimeZoneNames;

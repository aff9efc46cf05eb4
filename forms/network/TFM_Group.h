#pragma once
// Advanced \ Grouping: load balancing with a user limit, link integrity, and the Ethernet
// link status; changeable only while the device runs as an access point.
#include "FormFrame.h"
#include "WriteChain.h"

class TFM_Group : public TForm {
public:
    explicit TFM_Group(TComponent *AOwner);

    TLabel *Label5;
    TPanel *Panel1;
    TLabel *Label1;
    TComboBox *CB_LoadB;
    TLabel *Label2;
    TEdit *Ed_UsrL;
    TLabel *Label3;
    TComboBox *CB_LinkInt;
    TLabel *Label4;
    TEdit *Ed_EthLS;
    TComboBox *ED_APModeComboBox;
    TButton *Bt_Apply;
    TButton *Bt_Refresh;
    TButton *Bt_Cancel;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> APModeReq;
    std::unique_ptr<FormBinding> GroupReq;
    std::unique_ptr<FormBinding> LinkStatusReq;
    bool LinkStatusBound = false;
    WriteChain Chain{this};

    void FormCreate(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_RefreshClick(TObject *Sender);
    void Bt_CancelClick(TObject *Sender);
    void CB_LoadBChange(TObject *Sender);
    void ED_APModeComboBoxChange(TObject *Sender);
};

extern TFM_Group *FM_Group;

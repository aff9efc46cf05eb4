#pragma once
// Advanced \ WLAN Partition: whether wireless stations may reach each other and whether
// traffic from the Ethernet side reaches the wireless side.
#include "FormFrame.h"
#include "WriteChain.h"

class TFM_WPart : public TForm {
public:
    explicit TFM_WPart(TComponent *AOwner);

    TPanel *Panel1;
    TLabel *Label1;
    TComboBox *CB_Wband;
    TLabel *Label2;
    TCheckBox *CB_statconneta;
    TLabel *Label3;
    TCheckBox *CB_WLANAccessa;
    TButton *BT_Apply;
    TButton *BT_Cancel;
    TStatusBar *StatusBar1;

    std::unique_ptr<FormBinding> Req;

    void FormCreate(TObject *Sender);
    void BT_ApplyClick(TObject *Sender);
    void BT_CancelClick(TObject *Sender);
    void CB_WLANAccessaClick(TObject *Sender);

private:
    WriteChain Chain{this};
};

extern TFM_WPart *FM_WPart;

#pragma once
// Status \ Stats \ WLAN: the radio's twenty traffic counters, read when the form opens and on
// Refresh. Nothing is written.
#include "FormFrame.h"

class TFM_Static : public TForm {
public:
    explicit TFM_Static(TComponent *AOwner);

    TPageControl *PC_Static;
    TTabSheet *TabSheetA;
    TGroupBox *GroupBox1;
    TGroupBox *GroupBox2;
    TGroupBox *GroupBox3;
    TGroupBox *GroupBox4;
    TGroupBox *GroupBox5;
    TEdit *Ed_TranSuRata;
    TEdit *Ed_TranReRata;
    TEdit *Ed_RcvSuRata;
    TEdit *Ed_RcvDuRata;
    TEdit *Ed_RTSSuCnta;
    TEdit *Ed_RTSFaCnta;
    TEdit *Ed_TranFrCnta;
    TEdit *Ed_McastTranFrCnta;
    TEdit *Ed_TranErrCnta;
    TEdit *Ed_TranTtlRtyCnta;
    TEdit *Ed_TranMulRtyCnta;
    TEdit *Ed_RcvFrmCnta;
    TEdit *Ed_MRcvFrmCnta;
    TEdit *Ed_RcvFrmErrCnta;
    TEdit *Ed_RcvFrmDupCnta;
    TEdit *Ed_AckRcvfCnta;
    TEdit *Ed_WEPEFrmCnta;
    TEdit *Ed_WEPIErrCnta;
    TEdit *Ed_TranBytesCnta;
    TEdit *Ed_RecBytesCnta;
    TButton *Bt_RfrshA;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> Req;

    void FormCreate(TObject *Sender);
    void Bt_RfrshAClick(TObject *Sender);

private:
    TCloseGuard m_guard;
};

extern TFM_Static *FM_Static;

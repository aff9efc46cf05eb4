#pragma once
// Status \ Stats \ Ethernet: the four Ethernet counters, read when the form opens and on
// Refresh. Nothing is written.
#include "FormFrame.h"

class TFM_Ethernet : public TForm {
public:
    explicit TFM_Ethernet(TComponent *AOwner);

    TGroupBox *GroupBox1;
    TLabel *Label1;
    TEdit *Ed_TxTfc;
    TLabel *Label2;
    TEdit *Ed_TxTbc;
    TGroupBox *GroupBox2;
    TLabel *Label3;
    TEdit *Ed_RxRfc;
    TLabel *Label4;
    TEdit *Ed_RxRbc;
    TButton *Bt_RfrshE;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> Req;

    void FormCreate(TObject *Sender);
    void Bt_RfrshEClick(TObject *Sender);

private:
    TCloseGuard m_guard;
};

extern TFM_Ethernet *FM_Ethernet;

#pragma once
// Tools \ Admin on devices without manager addresses: the administrator's user name and
// password, and a restart after a change.
#include "FormFrame.h"

class TFM_Admin : public TForm {
public:
    explicit TFM_Admin(TComponent *AOwner);

    TLabel *Label1;
    TEdit *Ed_Usr;
    TLabel *Label2;
    TEdit *Ed_OPwd;
    TLabel *Label3;
    TEdit *Ed_NPwd;
    TLabel *Label4;
    TEdit *Ed_CNP;
    TEdit *Ed_Pwd;
    TButton *OK;
    TButton *Cancel;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> Req;

    void FormCreate(TObject *Sender);
    void OKClick(TObject *Sender);
    void CancelClick(TObject *Sender);
    void SetEditLimits();
    static bool IsValidUserName(const AnsiString &name);
};

extern TFM_Admin *FM_Admin;

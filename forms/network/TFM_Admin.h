#pragma once
// Tools \ Admin on devices without manager addresses: the administrator's user name and
// password, and a restart after a change.
#include "AdminParts.h"

class TFM_Admin : public TForm, public AdminLoginParts {
public:
    explicit TFM_Admin(TComponent *AOwner);

    TButton *OK;
    TButton *Cancel;
    TStatusBar *StatusBar;

    void FormCreate(TObject *Sender);
    void OKClick(TObject *Sender);
    void CancelClick(TObject *Sender);
    void SetEditLimits();
    static bool IsValidUserName(const AnsiString &name);

private:
    WriteChain Chain{this};
};

extern TFM_Admin *FM_Admin;

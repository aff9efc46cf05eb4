#pragma once
// Help \ About: the managed model and the module's version.
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TAboutForm : public TForm {
public:
    explicit TAboutForm(TComponent *AOwner);

    TLabel *Label1;
    TButton *BT_Ok;
    TImage *Image1;
    TLabel *Label2;
    TLabel *Label4; // release stamp, shown by Shift+Alt+F3 on the OK button
    TLabel *La_FwVer;

    void BT_OkClick(TObject *Sender);
    void BT_OkKeyDown(TObject *Sender, std::uint16_t &Key, TShiftState Shift);
};

extern TAboutForm *AboutForm;

#pragma once
// Tools \ System: restarts the access point or restores its factory settings, then waits out
// the restart.
#include "FormFrame.h"

class TFM_Sytem : public TForm {
public:
    explicit TFM_Sytem(TComponent *AOwner);

    TLabel *Label1;
    TButton *Button1;
    TLabel *Label2;
    TButton *Button2;
    TStatusBar *StatusBar;
    TComboBox *CB_Restart;
    TComboBox *CB_Restore;
    TComboBox *ED_APModeComboBox;

    std::unique_ptr<FormBinding> APModeReq;
    std::unique_ptr<FormBinding> RestartReq;

    void FormCreate(TObject *Sender);
    void FormCloseQuery(TObject *Sender, bool &CanClose);
    void Button1Click(TObject *Sender);
    void Button2Click(TObject *Sender);

private:
    // Writes the restart commands (with the factory reset when asked) and waits.
    void RestartDevice(bool factoryDefaults, const CountdownSteps &wait);
    void RestartSetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    // Once the reads of the opening have ended: the groups that could not be read.
    void ShowUnread();
    TCloseGuard Guard;
};

extern TFM_Sytem *FM_Sytem;

#pragma once
// Tools \ Administrator Settings on devices with two single manager addresses: the login, the
// console protocol and its time-out, the manager addresses administration is limited to, the
// LED switch, ping control and the manager VLAN. Optional groups are shown, checked and
// written only where the device answered them.
#include "AdminParts.h"

class TFM_Admin2 : public TForm, public AdminSettingsParts {
public:
    explicit TFM_Admin2(TComponent *AOwner);

    TLabel *LB_AdminSet;
    TGroupBox *GroupBox5;
    TCheckBox *CB_VID;
    TGroupBox *GroupBox4;
    TEdit *Ed_TrapServIP;
    TCheckBox *CkBx_LBS;
    TRadioGroup *RG_PingSet;

    uint8_t LimitManagerIPs = 0;

    void FormCreate(TObject *Sender);
    void OKClick(TObject *Sender);
    void CancelClick(TObject *Sender);
    void RB_NoneClick(TObject *Sender);
    void CkBx_ManagerStateClick(TObject *Sender);
    void CB_VIDClick(TObject *Sender);
    void ShowConsoleState();
    void ClearZeroManagerIPs();
    void OnLimitIPStatusGot(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void SetEditLimits();
    void ArrangeOptionalGroups();
    static bool IsValidUserName(const AnsiString &name);

private:
    bool CheckManagerIPs();
    bool CheckInput();
    // Once every read of the opening has ended: the groups it could not read.
    void ShowUnread();

    WriteChain Chain{this};
    TCloseGuard m_guard;
};

extern TFM_Admin2 *FM_Admin2;
